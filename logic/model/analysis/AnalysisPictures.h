#pragma once
// What the analysis window draws, ready for any chart library: axes with
// round ticks (1-2-5 steps on a linear axis, decades labelled 10², 10³ ...
// with minor lines at 2 to 9 on a logarithmic one), titles with units, and
// the lines in plot coordinates with their names.  Numbers are written in
// the locale's format.  A logarithmic axis is drawn linear in log10 of the
// value: `place` gives the plot coordinate of a value.

#include <optional>
#include <string>
#include <vector>

#include "logic/io/DataTable.h"
#include "logic/model/analysis/Analysis.h"

namespace corvane {

struct AxisTick {
    double at;          // plot coordinate
    std::string label;  // empty for a minor grid line
};

struct ChartAxis {
    std::string title;
    bool logarithmic = false;
    double min = 0;  // plot coordinates
    double max = 1;
    std::vector<AxisTick> ticks;  // labelled ticks, in order
    std::vector<double> minor;    // unlabelled grid lines (logarithmic axes)
    double place(double value) const;
};

// The step of about `intervals` intervals over [lo, hi], rounded to 1, 2 or
// 5 times a power of ten.
double RoundStep(double lo, double hi, int intervals);
// A linear axis over [lo, hi] widened to whole steps.
ChartAxis LinearAxis(std::string title, double lo, double hi, const Locale& locale, int intervals = 6);
// A logarithmic axis over [lo, hi]: widened to whole decades and labelled
// "10ⁿ" when it spans two decades or more, else labelled at 1, 2 and 5
// times the powers of ten in the locale's numbers.  `lo` must be above zero.
ChartAxis LogAxis(std::string title, double lo, double hi, const Locale& locale);
// "10" followed by the exponent in superscript digits: "10³", "10⁻²".
std::string PowerOfTen(int exponent);

// Pump and PumpPoint: a pump's curve and its operating point, drawn apart
// from the pipe's.
// Profile and Energy: a run's elevation and energy grade line.
enum class LineRole { Curve, Family, Own, Reference, Operating, Pump, PumpPoint, Profile, Energy };

struct ChartLine {
    std::string name;                               // legend text (or end label)
    LineRole role = LineRole::Curve;
    std::vector<std::pair<double, double>> points;  // plot coordinates
    bool inLegend = true;                           // false: labelled at its end instead
    std::string label = {};                         // written beside a point
    // Out of the legend: the point its name is written above (centred on
    // it), or none where there is no room for the name.
    std::optional<std::size_t> labelAt = {};
};

struct ChartPicture {
    std::string title;
    ChartAxis x, y;
    std::vector<ChartLine> lines;
    // Shown instead of the chart when the case gives none.
    std::optional<std::string> message;
};

// The window's text while the panel shows no results.
inline constexpr const char* kNoResultText = "No result \u2014 press Calculate";
// Whether the panel shows the results of a calculation.
bool ShowsResults(const PanelModel& panel);
// A refusal's text for a window: its CR line breaks as LF.
std::string ReplaceLineBreaks(std::string text);

// The system curve to 150 % of the panel's flow, or to `upToFlow` l/min
// where that is further.
// Places the names of the lines kept out of the legend above their curves,
// each as far right as it fits inside the plot without touching a name
// placed before it.  A name is taken to be `charWidth` of the x span per
// character wide and `lineHeight` of the y span high (the sheet's plot,
// the smallest these pictures are drawn, with room to spare).
void PlaceLineNames(ChartPicture& picture, double charWidth = 0.012, double lineHeight = 0.06);

ChartPicture SystemCurvePicture(const PanelModel& panel, double upToFlow = 0);
ChartPicture MoodyPicture(const PanelModel& panel);

// The standard sizes as the window's table shows them.
struct SizesTable {
    std::vector<std::string> headers;  // '\n' between a name and its unit
    std::vector<std::vector<std::string>> rows;
};
SizesTable StandardSizesTable(const PanelModel& panel, const DataTable& pipes);

}  // namespace corvane
