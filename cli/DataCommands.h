#pragma once
// corvane-cli data: the fluid and pipe data bases from a script, with the
// dialogs' own rules and files (the duplicate test, the characters a data
// file cannot hold, liquids and gases, writes that survive a kill).
//
//   corvane-cli data list fluids|pipes [--json]
//   corvane-cli data add fluid NAME TEMPERATURE VISCOSITY DENSITY [--gas]
//     (VISCOSITY in cSt; DENSITY a liquid's relative density, water 1, or
//     a gas's kg/m3)
//   corvane-cli data add pipe TYPE NOMINAL DIAMETER_MM
//   corvane-cli data remove fluid NAME TEMPERATURE
//   corvane-cli data remove pipe TYPE NOMINAL
//   corvane-cli data list pumps [--json]
//   corvane-cli data add pump NAME Q1:H1[,Q2:H2...]      (l/min and m)
//   corvane-cli data remove pump NAME
//
// Every command takes --data-dir DIR: the stock and user files in DIR.
// Without it the stock files are those beside the program and the user
// files are where the window keeps them (beside the program when its folder
// may be written, otherwise $XDG_DATA_HOME/corvane).
//
// Exit status 0 done, 1 refused (the dialog's message on stderr), 2 a file
// problem or a command that cannot be understood.

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/ExitStatus.h"
#include "logic/io/DataFiles.h"
#include "logic/io/Outputs.h"
#include "logic/text/Locale.h"

namespace corvane {

struct DataCommandPlace {
    std::string programFolder;                            // the stock files' folder
    std::function<const char*(const char*)> environment;  // for XDG_DATA_HOME and HOME
};

// A data base's files: all in `dataDir` (--data-dir) when given, otherwise
// the stock file beside the program and the user file where the window
// keeps it.
DataFiles DataFilesAt(const std::optional<std::string>& dataDir, const DataCommandPlace& place, const char* stock,
                      const char* user, const char* backup);

// The text with each CR, the models' line break, made the LF a terminal
// and a JSON reader expect.
std::string WithLineFeeds(std::string text);

// The stock and user files of a data base: in `dataDir` when given,
// otherwise the stock files beside the program and the user files where the
// window keeps them.
DataFiles DataFilesAt(const std::optional<std::string>& dataDir, const DataCommandPlace& place, const char* stock,
                      const char* user, const char* backup);

// Every file of the data bases in the folders in use (those of --data-dir
// when given): what no output of a command may be written over.
std::vector<GuardedFile> DataBaseFilesAt(const std::optional<std::string>& dataDir, const DataCommandPlace& place);

// The refusal of a sheet written to `out` where that is one of `guarded`
// (the command's input first, then the data bases'), or nothing.
std::optional<std::string> SheetOverwrites(const std::string& out, const std::vector<GuardedFile>& guarded);

// What is wrong with a folder named by --data-dir (it must exist and be a
// folder; it is never made), or nothing.
std::optional<std::string> CheckDataDir(const std::string& dir);

// Whether the words before any "--" ask for the usage (--help, -h).
bool AsksForHelp(const std::vector<std::string>& args);

// `args` are the words after "data".
ExitStatus RunDataCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                          const Locale& locale, const DataCommandPlace& place);

}  // namespace corvane
