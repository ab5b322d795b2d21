#pragma once
// The four calculations of the panels on numbers in calculation units (mm,
// m, l/min, bar g, cSt, relative density or kg/m3) and a parsed fittings
// selection.  The panel model converts its entries to these units, calls
// one of the solvers, and writes the results back as text.
//
// Each solver follows its panel's steps in order and returns either the
// fault that stops it or the results.  No result that is NaN or infinite is
// ever returned as a success.

#include <optional>

#include "logic/engine/Fittings.h"

namespace corvane {

// What the available entry of a liquid panel holds: a head of the fluid in
// m, or a pressure in bar.
enum class AvailableAs { Head, Pressure };

struct SolverInputs {
    bool gas = false;
    double roughness = 0;      // mm
    double diameter = 0;       // mm (panels 1, 2, 4)
    double length = 0;         // m (panels 1, 2, 3)
    double elevation = 0;      // m, a rise positive and a fall negative
    double flow = 0;           // l/min, for a gas the free flow (panels 1, 3, 4)
    double inletPressure = 0;  // bar g
    double allowableLoss = 0;  // bar (gas, panels 2 to 4)
    double available = 0;      // m hd or bar, as `availableAs` says (liquid, panels 2 to 4)
    AvailableAs availableAs = AvailableAs::Head;
    double viscosity = 0;      // cSt
    double density = 0;        // relative density (liquid) or kg/m3 at 0 bar g (gas)
    FittingsSelection fittings;
};

// Why a calculation gives no results, in the order the solvers test.
enum class SolverFault {
    PressureTooLow,
    GasPressureDropTooHigh,
    AllowableLossTooHigh,
    AvailablePressureTooLow,
    DiameterNotPositive,
    LengthNotPositive,
    FlowNotPositive,
    ViscosityNotPositive,
    DensityNotPositive,
    RoughnessNegative,
    FittingsNegative,
    FittingsTakeAvailablePressure,
    NoValidResult,
};

struct SolverResult {
    std::optional<SolverFault> fault;
    // Total K of the fittings, when the calculation got as far as taking it
    // (also on a fault that came after).
    std::optional<double> fittingsK;
    double velocity = 0;       // m/s
    double reynolds = 0;
    double friction = 0;
    double head = 0;           // m (panel 1)
    double pressureDrop = 0;   // bar (panel 1)
    double flow = 0;           // l/min, free flow (panel 2)
    double diameter = 0;       // mm (panel 3)
    double length = 0;         // m (panel 4)
    double exitPressure = 0;   // bar g (gas)
    int passes = 0;            // iterations run (panels 2 and 3)
    bool converged = false;    // the iteration met its tolerance
};

SolverResult SolvePressureDrop(const SolverInputs& in);
SolverResult SolveFindFlow(const SolverInputs& in);
SolverResult SolveFindDiameter(const SolverInputs& in);
SolverResult SolveFindLength(const SolverInputs& in);

inline constexpr int kMaxIterations = 101;
inline constexpr double kIterationTolerance = 0.0001;

}  // namespace corvane
