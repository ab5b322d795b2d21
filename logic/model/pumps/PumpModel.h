#pragma once
// logic/model/pumps: a pump on a panel's pipe, the analysis window's Pump
// tab and the user's pump library.  Includes analysis, data, panels and
// shared below it.
//
// A pump on a panel's pipe run, as the user gives it and sees it: the
// pump's points with flows in the panel's flow unit and heads in m (metric
// panel) or ft (imperial panel) of the pumped liquid, a speed ratio and an
// efficiency; its operating point on the panel's system curve (on the
// diameter or length panel with the calculated diameter or length), the
// fluid and shaft power, and the texts that show them.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "logic/engine/PumpCurve.h"
#include "logic/model/analysis/Analysis.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/model/shared/Refusal.h"

namespace corvane {

struct PumpEntry {
    std::vector<std::pair<double, double>> points;  // (flow, head) in the panel's units
    double speedRatio = 1.0;
    std::optional<double> efficiencyPercent;         // above 0, at most 100
};

struct PumpOnPanel {
    std::optional<Refusal> refusal;
    PumpCurve curve;                  // calculation units, after the speed ratio
    double flow = 0;                  // the panel's flow unit
    double head = 0;                  // m or ft of the liquid
    double velocity = 0;              // m/s or ft/s
    double reynolds = 0;
    std::string flowType;             // "Laminar", "Critical", "Turbulent"
    double fluidPowerW = 0;
    std::optional<double> shaftPowerW;
};

PumpOnPanel SolvePumpOnPanel(const PanelModel& panel, const PumpEntry& pump);

// The message for points that make no pump curve.
Refusal PumpCurveRefusal(PumpCurveFault fault);

// The pump's curve in the panel's units (flow unit; m hd or ft hd), from
// its least to its greatest flow.
std::vector<CurvePoint> PumpCurvePoints(const PanelModel& panel, const PumpCurve& curve, int points = 41);

// One row of the result: caption, value and unit, as the panel's report
// writes its rows.
struct PumpRow {
    std::string caption, value, unit;
    bool operator==(const PumpRow&) const = default;
};

// The result in the panel's units and locale: flow, head, velocity,
// Reynolds number, flow type, fluid power and, with an efficiency, shaft
// power (W on a metric panel, hp on an imperial one).
std::vector<PumpRow> PumpResultRows(const PanelModel& panel, const PumpOnPanel& pump);

// The factor B and the exponent C of a curve h = A - B Q^C as the help's
// worked example writes them: at most 5 and 3 decimals, without trailing
// zeros ("0.0002", "2").
std::pair<std::string, std::string> PumpCurveFactorTexts(const PumpCurve& curve, const Locale& locale);

// "Q1:H1[,Q2:H2...]" with decimal points: the points of a pump as a command
// line gives them; nothing where the text is not of that form.
std::optional<std::vector<std::pair<double, double>>> ParsePumpPoints(std::string_view text);

// The unit the pump's heads are given in: "m hd" or "ft hd".
std::string PumpHeadUnit(const PanelModel& panel);

namespace refusals {
Refusal PumpInGasMode();
Refusal PumpNoPoints();
Refusal PumpSpeedNotPositive();
Refusal PumpNegativeValue();
Refusal PumpFlowsNotIncreasing();
Refusal PumpHeadsRise();
Refusal PumpNoFallingFit();
Refusal PumpEfficiencyOutOfRange();
Refusal PumpCannotOvercomeElevation();
Refusal PumpCurvesDoNotMeet();
}  // namespace refusals

}  // namespace corvane
