#pragma once
// logic/model/analysis: insight into a panel's case - system curve, Moody
// diagram, standard sizes, second opinions, validity notes, and the
// pictures the analysis window draws.  Includes data, panels and shared
// below it.
//
// Engineering insight into a panel's case, computed with the panels' own
// arithmetic: the system curve, the Moody diagram with a Colebrook-White
// comparison, the standard pipe sizes around the diameter, and notes on
// where the method stops being valid.

#include <optional>
#include <string>
#include <vector>

#include "logic/engine/Solvers.h"
#include "logic/io/DataTable.h"
#include "logic/model/panels/PanelModel.h"

namespace corvane {

// The panel's case solved as its Calculate would solve it.
struct OperatingPoint {
    std::optional<Refusal> refusal;
    SolverInputs inputs;    // calculation units
    SolverResult result;
    double diameter = 0;    // mm: the entry, or the solved diameter
    double length = 0;      // m: the entry, or the solved length
    double flow = 0;        // l/min (free flow for a gas): the entry, or the solved flow
    double pressureDrop = 0;  // bar: calculated (panel 1) or the allowable loss (gas, panels 2 to 4)
    // Whether the panel's solver takes the viscosity at the inlet pressure
    // (a gas; a liquid on the diameter and length panels), and its factor
    // in the Reynolds number there, 1 + 0.0028 P (P in bar g); 1 elsewhere.
    bool viscosityAtPressure = false;
    double viscosityFactor = 1;
};
OperatingPoint SolveOperatingPoint(const PanelModel& panel);

// The pressure-drop calculation at a flow (l/min, free flow for a gas) on
// the case's pipe, with its diameter and length; at no flow only the
// elevation counts.
SolverResult SystemDropAt(const OperatingPoint& op, double flow);

struct CurvePoint {
    double flow;   // in the panel's flow unit
    double value;  // head or pressure drop in the panel's units
};

// Head (or pressure drop) against flow from 0 to 150 % of the panel's flow
// (or to `upToFlow` l/min where that is further), each point by the
// pressure-drop calculation on the panel's pipe.
struct SystemCurve {
    std::optional<Refusal> refusal;
    std::vector<CurvePoint> points;  // ends early where a gas point is refused
    CurvePoint operating{};
    std::string flowUnit;            // "litre/min"
    std::string valueUnit;           // "m hd", "bar", "ft hd", "psi"
};
SystemCurve ComputeSystemCurve(const PanelModel& panel, int points = 31, double upToFlow = 0);

struct MoodyCurve {
    double relativeRoughness;
    std::vector<std::pair<double, double>> points;  // Re, f
};
struct MoodyDiagram {
    std::optional<Refusal> refusal;
    std::vector<MoodyCurve> family;  // the program's friction factor
    MoodyCurve own;                  // at the panel's relative roughness
    MoodyCurve colebrook;            // Colebrook-White at it, turbulent part
    double reynolds = 0;             // the operating point
    double friction = 0;
    std::optional<double> differencePercent;  // the program's f against Colebrook-White there
};
MoodyDiagram ComputeMoody(const PanelModel& panel);
std::vector<double> MoodyRoughnessFamily();

struct SizeOption {
    std::string type, nominal;
    double internalDiameter;  // mm
    double velocity;          // in the panel's units
    double reynolds;
    double value;             // head or pressure drop in the panel's units
    bool refused;
};
// For each pipe type of the table, the next two internal diameters at or
// above the panel's (solved) diameter, at the panel's flow.
std::vector<SizeOption> StandardSizes(const PanelModel& panel, const DataTable& pipes);

// A note on where the method stops being valid (ValidityNotes.h).
struct ValidityNote {
    std::string title;
    std::string reason;
};

// The data behind the plots and the table, as CSV (locale's numbers, quoted
// where they hold a comma).
std::string SystemCurveCsv(const SystemCurve& curve, const Locale& locale);
std::string MoodyCsv(const MoodyDiagram& moody, const Locale& locale);
std::string StandardSizesCsv(const std::vector<SizeOption>& sizes, const PanelModel& panel);

// A liquid's head (m) as the system curve shows it: a head in the panel's
// length unit, or the pressure it stands for in bar or psi.
double ShownValueOfHead(const PanelModel& panel, double headM);

// The unit of the velocity and of the value columns of the size table.
std::string VelocityUnit(const PanelModel& panel);
std::string ValueUnitOf(const PanelModel& panel);
// The internal diameters of the size table in the panel's units: "mm" or
// "inch", and a diameter in mm shown in them.
std::string DiameterUnitOf(const PanelModel& panel);
double ShownDiameter(const PanelModel& panel, double millimetres);

}  // namespace corvane
