#pragma once
// The files of the program's data bases, fluids, pipes and pumps, in the
// folders in use: what no output may be written over, whether the command
// reads them or not.  Beside the pump library, the highest of the three.

#include <string>
#include <vector>

#include "logic/io/Outputs.h"

namespace corvane {

// The stock, user, shared user and backup files of the three data bases,
// the stock files in `programFolder` and the user's in `userFolder`, each
// with what it is ("the user fluid file").
std::vector<GuardedFile> DataBaseFiles(const std::string& programFolder, const std::string& userFolder);

}  // namespace corvane
