#pragma once
// The window's outputs (calculation sheets, pictures, results, data and
// documents saved under a new name) asked before they are written: never
// over a file the program reads or keeps (OutputGuard).

#include <string>
#include <vector>

#include "logic/io/Outputs.h"

class QWidget;

namespace corvane {

class Platform;

// What is written and how the message names it: "The calculation sheet",
// "the sheet".
struct OutputKind {
    std::string output;
    std::string noun;
};
inline const OutputKind kSheetOutput{"The calculation sheet", "the sheet"};

// Whether `path` may take the output; where it is a guarded file, an
// error box names it and false.  `own` is what the output shows (its
// document), `self` the document being saved.
bool MayWriteOutput(Platform& platform, QWidget* parent, const OutputGuard* guard, const std::string& path,
                    const OutputKind& kind, const std::vector<GuardedFile>& own = {}, const std::string& self = {});

// The bytes written whole to `path` where it may take them; a refusal or a
// failure is reported.  True when written.
bool WriteOutput(Platform& platform, QWidget* parent, const OutputGuard* guard, const std::string& path,
                 const std::string& bytes, const OutputKind& kind, const std::vector<GuardedFile>& own = {});

}  // namespace corvane
