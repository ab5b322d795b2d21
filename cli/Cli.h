#pragma once
// cli: corvane-cli, the batch tool.  It loads panel files and calculates
// them with the same models as the panels' open and Calculate commands,
// then prints the reports (text or JSON).  It includes logic only.
//
//   corvane-cli [--json] [-j N] FILE...
//   corvane-cli --sweep NAME=FROM:TO:STEPS FILE
//   corvane-cli --sheet OUT.pdf FILE   (the calculation sheet, as a PDF)
//   corvane-cli data ...          (the fluid and pipe data bases, DataCommands.h)
//   corvane-cli fluid ...         (a liquid at a temperature, FluidCommand.h)
//   corvane-cli run ...           (pipe run documents, RunCommand.h)
//
// Exit status 0 when every file was calculated, 1 when any calculation was
// refused, 2 when any file was invalid or could not be read.  Files are
// calculated on N threads (-j N, by default one per core) and printed in the
// order given, each as soon as it and all before it are done.

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "cli/DataCommands.h"
#include "cli/ExitStatus.h"
#include "logic/model/sheets/CalculationSheet.h"
#include "logic/model/panels/PanelControls.h"
#include "logic/model/pumps/PumpModel.h"
#include "logic/text/CsvText.h"
#include "logic/model/analysis/SecondOpinion.h"
#include "logic/text/Locale.h"

namespace corvane {


// A pump's operating point on a file's pipe run (--pump).
struct PumpOutcome {
    std::optional<std::string> refusal;  // line breaks as '\n'
    PumpOnPanel point;
    std::vector<PumpRow> rows;
};

// The pump's object of a file's JSON result, as the JSON library writes it
// with an indent of two spaces.
std::string PumpJson(const PumpOutcome& pump);
// A gas result's "isothermal" object, as the JSON output writes it.
std::string IsothermalJson(const IsothermalComparison& comparison);

struct BatchResult {
    std::string file;
    std::optional<PanelKind> panel;
    ExitStatus status = ExitStatus::Invalid;
    std::string message;  // line breaks as '\n'
    std::vector<std::pair<std::string, std::string>> fields;  // control name, text
    std::string report;   // line breaks as '\n'
    // With a pump, for a file that loaded.  A refused pump leaves the
    // file's own status as it is; the exit status counts it as refused.
    std::optional<PumpOutcome> pump;
    // A calculated gas case: its unknown by the isothermal equation.
    std::optional<IsothermalComparison> isothermal;
    // ResultForm::Json: the result's element of the JSON array, written
    // while the panel was at hand; `fields` and `report` are then empty.
    std::string json;
};

// What a file's result carries: its parts, or (for --json) its JSON element
// ready to print, the same bytes as the parts would give.
enum class ResultForm { Parts, Json };

// One panel file's bytes, loaded into a fresh panel and calculated; with a
// pump, its operating point on the panel's pipe run too.
BatchResult RunPanelFileBytes(const std::string& file, std::string_view bytes, const Locale& locale,
                              const PumpEntry* pump = nullptr, ResultForm form = ResultForm::Parts);

// Reads the file first; a file that cannot be read is invalid with the
// platform's file error text.
BatchResult RunPanelFile(const std::string& path, const Locale& locale, const PumpEntry* pump = nullptr,
                         ResultForm form = ResultForm::Parts);

// How many files the batch tool calculates at once (-j N): by default one
// per core.  At most kFilesInFlightPerJob files per thread are in flight:
// being calculated, waiting for the files before them, or being printed.
inline constexpr int kMaxJobs = 1024;
inline constexpr std::size_t kFilesInFlightPerJob = 4;
int DefaultJobs();

// Runs the files (with the pump, when given) on `jobs` threads and hands
// each result to `done` in the
// order of `files`, each as soon as it and every file before it are done.
// `done` is called on the calling thread.
void RunPanelFilesInOrder(const std::vector<std::string>& files, int jobs, const Locale& locale,
                          const PumpEntry* pump, const std::function<void(const BatchResult&)>& done,
                          ResultForm form = ResultForm::Parts);

// Draws a calculation sheet as a PDF document's bytes; nothing when it
// cannot.  The program passes one where it is built with the views.
using SheetDrawer = std::function<std::optional<std::string>(const CalculationSheet&)>;

// The program as started: its arguments, the locale and the user's folders
// from the environment, the stock files beside the program itself; prints
// to the standard streams and returns the exit status.
int CliMain(int argc, char** argv, const SheetDrawer& drawer);

// The program that draws calculation sheets, beside corvane-cli: the batch
// tool itself stays free of the views (its start is a few milliseconds, not
// the views' tens) and hands --sheet to it.
inline constexpr const char* kSheetProgram = "corvane-sheet";

// The whole program; returns the exit status.  `place` tells the data
// commands where the program and the user's data folder are; `drawer`
// draws --sheet's PDF (without one, --sheet is refused as not built).
ExitStatus RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Locale& locale,
                  const DataCommandPlace& place = {}, const SheetDrawer& drawer = {});

// --sheet OUT FILE: the panel file loaded and calculated as the panel
// does, its calculation sheet dated `date` written to OUT (in one piece,
// beside and then in place).  0 written, 1 the calculation was refused (the
// panel's message), 2 the file was invalid or OUT could not be written.
// The sheet's title block and a pump on the pipe run come from the options
// before FILE (ParseSheetOptions).  OUT is never FILE nor one of `dataBases`
// (2, nothing written).
ExitStatus RunSheet(const std::string& outPath, const std::string& file, std::ostream& err, const Locale& locale,
                    const SheetDrawer& drawer, const std::string& date, const SheetTitle& title = {},
                    const std::optional<PumpEntry>& pump = std::nullopt,
                    const std::vector<GuardedFile>& dataBases = {});

// What --sheet OUT is given after OUT: --title (the project), --case,
// --prepared-by, --checked-by, --revision, each with its text; --pump with
// --speed and --efficiency as for the results; then the one FILE.
struct SheetOptions {
    SheetTitle title;
    std::optional<PumpEntry> pump;
    std::string file;
};
std::variant<SheetOptions, std::string> ParseSheetOptions(const std::vector<std::string>& args);

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


// The JSON array of the results.
std::string ResultsToJson(const std::vector<BatchResult>& results);

// Prints each file's result as soon as it is known, so that nothing of a
// file is kept once the next one is read.  The JSON array is opened by the
// first result and closed by finish().
class ResultPrinter {
public:
    ResultPrinter(bool json, std::ostream& out, std::ostream& err) : json_(json), out_(out), err_(err) {}
    void print(const BatchResult& result);
    void finish();

private:
    bool json_;
    std::ostream& out_;
    std::ostream& err_;
    bool first_ = true;
};

}  // namespace corvane
