#pragma once
// logic/model/sheets: the calculation sheets, of a panel (this header,
// with the parts every sheet is made of) and of a run (RunSheet.h).
// Includes runs, pumps, analysis, data, panels and shared below it.
//
// The calculation sheet of a panel's case: everything an engineer files to
// have a calculation checked, as texts in the locale's decimal separator.
// The case with every entry and its unit, the method with its equations and
// how the unknown was solved, the intermediate values, the result with
// every validity note and the second opinions, and the plots.  A view only
// lays the sections out on pages and draws the plots.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "logic/model/analysis/AnalysisPictures.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/model/pumps/PumpModel.h"

namespace corvane {

enum class SheetPaper { A4, Letter };

struct SheetBlock {
    enum class Kind {
        Paragraph,  // text
        Equation,   // one equation line, set apart
        Table,      // headers and rows; the last `boldRows` rows are totals
        Chart,      // the picture
    };
    Kind kind = Kind::Paragraph;
    std::string text;
    std::string note;  // of an equation: what it says
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
    int boldRows = 0;
    ChartPicture chart;
};

struct SheetSection {
    std::string title;
    std::vector<SheetBlock> blocks;
};

// The title block an engineer fills in: any field may stay empty.
struct SheetTitle {
    std::string project;
    std::string caseName;
    std::string preparedBy;
    std::string checkedBy;
    std::string revision;
    bool operator==(const SheetTitle&) const = default;
};

struct CalculationSheet {
    SheetPaper paper = SheetPaper::A4;
    std::string title;       // "Calculation sheet - Find pressure drop"
    std::string program;     // "Corvane 1.12"
    std::string date;        // as given
    std::string file;        // the panel file's name, or "(not saved)"
    // The title block: its captions and values, in order ("Project", ...).
    std::vector<std::pair<std::string, std::string>> titleBlock;
    // The page heading's second line: the file, and the project, case and
    // revision where given.
    std::string pageHeading;
    std::vector<SheetSection> sections;
    // Page footer: "Page 1 of 3".
    static std::string PageText(int page, int pages);
};

// Why no sheet can be made: the panel shows no results.
inline constexpr const char* kSheetNeedsResultText =
    "The calculation sheet shows the panel's results: press Calculate first.";

// The sheet of a panel that shows its results (ShowsResults); `fileName` is
// the panel file's name without its folder (empty: not saved), `date` the
// date to print.  With a pump on the pipe run, the result lists its
// operating point and the system curve shows its curve and that point.
CalculationSheet MakeCalculationSheet(const PanelModel& panel, const std::string& fileName, const std::string& date,
                                      const std::optional<PumpEntry>& pump = std::nullopt,
                                      const SheetTitle& title = {});

// A paragraph, and a table whose last `boldRows` rows are totals.
SheetBlock SheetParagraph(std::string text);
SheetBlock SheetTable(std::vector<std::string> headers, std::vector<std::vector<std::string>> rows, int boldRows = 0);

// The frame every sheet shares: paper, program, date, the title block and
// the page heading ("<fileWord>: <file>", then the project, case and
// revision where given); the sections are the caller's.
CalculationSheet SheetFrame(const std::string& title, const std::string& fileWord, const std::string& fileName,
                            const std::string& date, const SheetTitle& block, const Locale& locale);

// A number of an equation written in the program ("1.01325"), or a constant
// of the engine as an equation prints it (its shortest digits: 0.0028,
// 30000), with the locale's decimal separator.
std::string EquationNumber(std::string text, const Locale& locale);
std::string EquationNumber(double constant, const Locale& locale);

// A value to six significant digits in the locale's numbers: fixed-point
// from 0.001 on ("0.00166667", "84543.9"), below that as a power of ten
// ("1.00400 × 10⁻⁶").
std::string SignificantText(double value, const Locale& locale);

// A4, or Letter for US and Canadian English.
SheetPaper PaperOf(const Locale& locale);

// Today's date as the sheet prints it: 2026-12-09 (local time).
std::string TodaysDate();

// The program's name and version.
std::string ProgramNameAndVersion();

}  // namespace corvane
