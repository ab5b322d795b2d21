#pragma once
// What the pipe run window shows and does: the run document being edited
// (its entries in metric or imperial units, the document itself always in
// calculation units), the table of sections, the run calculated after
// every change, its results as table rows, and the grade-line picture.
// The window only mirrors these texts and hands back what the user typed.

#include <optional>
#include <string>
#include <vector>

#include "logic/model/analysis/AnalysisPictures.h"
#include "logic/model/panels/PanelControls.h"
#include "logic/model/runs/RunCalculation.h"
#include "logic/model/runs/RunDocument.h"

namespace corvane {

// The entries of the run outside the table of sections.
enum class RunField {
    Title,
    FluidName,
    Viscosity,        // cSt in both unit systems
    RelativeDensity,  // water = 1
    VapourPressure,   // bar a / psi a; empty: not known
    SourcePressure,   // bar g / psi g
    SourceLevel,      // m / ft
    SinkPressure,
    SinkLevel,
    StartElevation,
    Flow,             // l/min / US gpm; empty: solved for
    PumpAfter,        // section number; empty: no pump
    PumpPoints,       // "Q:H, Q:H, ..." in the display's flow and head units
    PumpSpeed,        // ratio
    PumpEfficiency,   // %; empty: not known
    NpshRequired,     // "Q:NPSH, ..." ; empty: not known
};
inline constexpr int kRunFieldCount = 16;

// The columns of the table of sections.
enum class SectionColumn { Name, Diameter, Roughness, Length, Rise, Fittings, ExtraK, Transition };
inline constexpr int kSectionColumnCount = 8;

struct TextTable {
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::size_t> warnRows = {};  // rows to mark: where the liquid boils
};

class RunEditor {
public:
    RunEditor(const Locale& locale, RunDataBases bases);

    // A new run: water at 20 °C from an open tank through one pipe into an
    // open tank 5 m below, as a start to change.
    static RunDocument NewRunDocument();

    const RunDocument& document() const { return document_; }
    // Replaces the document (opened from a file) and calculates it.
    void setDocument(RunDocument document);
    bool modified() const { return modified_; }
    void setSaved() { modified_ = false; }

    bool metric() const { return metric_; }
    void setMetric(bool metric);
    const Locale& locale() const { return locale_; }

    // The entries as the window shows them, and their units.
    std::string text(RunField field) const;
    std::string unit(RunField field) const;
    // Takes what was typed; nothing when taken, else why not (the document
    // is then as it was).
    std::optional<std::string> setText(RunField field, const std::string& text);
    // "Use this data" of the fluid data base: its name, viscosity and
    // relative density, typed into the run.
    std::optional<std::string> useFluid(const FluidChoice& fluid);

    // The table of sections.
    std::vector<std::string> sectionHeaders() const;
    std::vector<std::vector<std::string>> sectionRows() const;
    std::optional<std::string> setSectionText(int row, SectionColumn column, const std::string& text);
    // The fittings of a section as the fittings dialog's selection string,
    // and the dialog's answer taken back.
    std::string fittingsSelection(int row) const;
    std::optional<std::string> setFittingsSelection(int row, const std::string& selection);
    // A section after `row` (-1: at the start) like its neighbour; the row
    // of the new section.  Refused at the most sections a run may have.
    std::optional<int> addSection(int after);
    // A run keeps one section at least; false where it would not.
    bool removeSection(int row);
    // Swaps the section with the one `by` rows away (±1); false at an end.
    bool moveSection(int row, int by);
    int sectionCount() const { return static_cast<int>(document_.sections.size()); }

    // The run calculated with the document as it is.
    const RunOutcome& outcome() const { return outcome_; }
    // The refusal or the notes as one text ('\n' between lines), for the
    // line above the results.
    std::string statusText() const;
    TextTable sectionResults() const;
    TextTable transitionResults() const;
    TextTable nodeResults() const;
    TextTable pumpResults() const;
    // Distance along the run against head: the pipe's elevation, the
    // hydraulic and energy grade lines (the pump's jump where it stands)
    // and the line where the pressure would be the vapour pressure; the
    // nodes below that line and the pump's inlet with its NPSH marked.
    ChartPicture gradeLinePicture() const;
    // Every result table as TAB-separated text, for the clipboard and CSV.
    std::string resultsText() const;

private:
    void recalculate();
    // Checks the changed document as a file would be read (every key and
    // range), takes it and recalculates; or gives the reason.
    std::optional<std::string> take(RunDocument changed);
    double lengthUnit(double metres) const;      // m or ft
    double lengthEntry(double shown) const;      // back to m
    std::string lengthText(double metres) const;
    std::string flowUnitText() const;
    double flowShown(double lmin) const;
    double flowEntry(double shown) const;
    std::string pressureUnitText(bool absolute) const;
    std::string num(double v, int decimals) const;
    std::string pointsText(const std::vector<PumpPoint>& stored) const;
    // The points typed, in calculation units; a point's number whose text
    // is as shown keeps its stored value, so display rounding never
    // reaches the file.
    std::vector<PumpPoint> pointsEntry(const std::vector<PumpPoint>& typed, const std::vector<PumpPoint>& stored) const;

    Locale locale_;
    RunDataBases bases_;
    RunDocument document_;
    RunOutcome outcome_;
    bool metric_ = true;
    bool modified_ = false;
};

// The pump's points as the window shows them, "Q:H, Q:H"; and read back,
// or nothing where the text is not such a list.  Numbers converted from
// the file's units (`converted`) are shown to four significant digits
// (integer digits always kept, at most 3 decimals), others as stored up
// to 3 decimals.
std::string PointNumberText(double value, bool converted, const Locale& locale);
std::string PointsText(const std::vector<PumpPoint>& points, const Locale& locale, bool converted = false);
std::optional<std::vector<PumpPoint>> ReadPointsText(const std::string& text, const Locale& locale);

// A run file's document, read whole under the file's lock.
struct RunFileRead {
    std::optional<RunDocument> document;
    std::string bytes;    // as read, to tell a later change by another program
    std::string message;  // why it was not read
};
RunFileRead ReadRunFile(const std::string& path);

// Writes the document whole, holding the file's lock; where `readBytes` is
// given (what this window read or last wrote), refuses when another program
// has changed the file since.
struct RunFileWrite {
    std::optional<std::string> bytes;  // as written
    std::string message;               // why it was not written
};
RunFileWrite WriteRunFile(const std::string& path, const RunDocument& document,
                          const std::optional<std::string>& readBytes);

// Whether a file is a run document: its extension (either letter case), or
// its first bytes where the name says nothing.
bool IsRunFileName(const std::string& path);
bool LooksLikeRunDocument(std::string_view firstBytes);

// The file chooser's filter of run files, and of every file the program
// opens (panel files and run files).
std::string RunFileFilter();
std::string AnyCorvaneFileFilter();

}  // namespace corvane
