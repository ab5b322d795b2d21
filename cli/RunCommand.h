#pragma once
// corvane-cli run: pipe run documents (*.cvrun) calculated, as a readable
// report or as JSON.
//
//   corvane-cli run [--json] [--data-dir DIR] FILE...
//   corvane-cli run --sheet OUT.pdf [--title T] [--case C] [--prepared-by N]
//                   [--checked-by N] [--revision R] [--data-dir DIR] FILE
//
// --data-dir DIR: the fluid and pipe data bases a document names rows of
// are the files in DIR (otherwise those the window uses).  The exit status
// is the worst of the files': 0 calculated, 1 the calculation was refused,
// 2 a file that could not be read or is not a valid run document (or a
// command line that cannot be understood).  --sheet writes the run's
// calculation sheet (never over FILE itself), drawn by `drawer`.

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/DataCommands.h"
#include "cli/ExitStatus.h"
#include "logic/model/runs/RunCalculation.h"
#include "logic/model/sheets/CalculationSheet.h"

namespace corvane {

struct RunFileResult {
    std::string file;
    ExitStatus status = ExitStatus::Invalid;
    std::string message;              // the refusal or the problem, '\n' between lines
    std::optional<RunOutcome> outcome;  // a document that was read
};

// A run document's bytes read and calculated.
RunFileResult RunDocumentBytes(const std::string& file, std::string_view bytes, const RunDataBases& bases,
                               const Locale& locale);

// The file read (through the file module) and calculated.
RunFileResult RunDocumentFile(const std::string& path, const RunDataBases& bases, const Locale& locale);

// One file's JSON object as --json prints it (two-space indent, numbers
// at full precision).
std::string RunResultJson(const RunFileResult& result);

// `args` are the words after "run".
using RunSheetDrawer = std::function<std::optional<std::string>(const CalculationSheet&)>;
ExitStatus RunRunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                         const Locale& locale, const DataCommandPlace& place, const RunSheetDrawer& drawer = {},
                         const std::string& date = TodaysDate());

}  // namespace corvane
