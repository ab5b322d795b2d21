#pragma once
// cli: corvane-cli, the batch tool.  It loads panel files and calculates
// them with the same models as the panels' open and Calculate commands,
// then prints the reports (text or JSON).  It includes logic only.
//
//   corvane-cli [--json] FILE...
//   corvane-cli --sweep NAME=FROM:TO:STEPS FILE
//
// Exit status 0 when every file was calculated, 1 when any calculation was
// refused, 2 when any file was invalid or could not be read.

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "logic/model/PanelControls.h"
#include "logic/text/Locale.h"

namespace corvane {

// The program's exit status, and the status of one file's result: the
// worst of the files' statuses is the program's.
enum class ExitStatus : int { Ok = 0, Refused = 1, Invalid = 2 };

struct BatchResult {
    std::string file;
    std::optional<PanelKind> panel;
    ExitStatus status = ExitStatus::Invalid;
    std::string message;  // line breaks as '\n'
    std::vector<std::pair<std::string, std::string>> fields;  // control name, text
    std::string report;   // line breaks as '\n'
};

// One panel file's bytes, loaded into a fresh panel and calculated.
BatchResult RunPanelFileBytes(const std::string& file, std::string_view bytes, const Locale& locale);

// Reads the file first; a file that cannot be read is invalid with the
// platform's file error text.
BatchResult RunPanelFile(const std::string& path, const Locale& locale);

// The whole program; returns the exit status.
ExitStatus RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Locale& locale);

// A sweep of one entry: NAME=FROM:TO:STEPS.
struct Sweep {
    std::string entry;  // a control name with its panel digit
    double from = 0;
    double to = 0;
    int steps = 1;
    // The value of step i (from 0): FROM, then even steps to TO.
    double valueAt(int i) const { return steps == 1 ? from : from + (to - from) * i / (steps - 1); }
};
inline constexpr int kMaxSweepSteps = 100000;

// The sweep a NAME=FROM:TO:STEPS argument asks for (FROM and TO with a '.'),
// or why it is not one.
std::variant<Sweep, std::string> ParseSweep(const std::string& argument);

// --sweep NAME=FROM:TO:STEPS on one panel file: the entry NAME (a control
// name with its panel digit) set to STEPS values from FROM to TO, each
// calculated; CSV with the value, the panel's result fields and the
// refusal of a refused step.  Returns the exit status.
ExitStatus RunSweep(const std::string& argument, const std::string& file, std::ostream& out, std::ostream& err,
                    const Locale& locale);

// A CSV field, quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);

// The JSON array of the results.
std::string ResultsToJson(const std::vector<BatchResult>& results);

// Largest panel file read; anything longer is not a panel file.
inline constexpr std::size_t kMaxPanelFileBytes = 16u << 20;

}  // namespace corvane
