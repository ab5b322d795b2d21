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

// Panel 1: the pressure drop of a flow.
//   v = c Q / A,  Re from v, D and nu (a gas's nu at the inlet pressure,
//   GasViscosityAtPressure), f = FrictionFactor(Re),
//   h = f L / D v^2 / 2g + K v^2 / 2g + dz,
//   dp = HeadToPressureDrop(h) (liquid) or GasHeadToPressureDrop(h, rho, c)
// with c = GasVolumeRatio(P) for a gas, 1 for a liquid.  Darcy-Weisbach
// (see PipeFlow.h for the sources and validity of each step); a gas whose
// drop exceeds its inlet pressure is refused (GasPressureDropTooHigh).
// Example: water 1.004 cSt, relative density 0.998, 25 mm steel, 10 m,
// 100 l/min: Re 84544, f 0.025, 3.395 m/s, 5.831 m hd (golden case
// pd-water-defaults, test EngineGolden.SolvesAsThePanelShows).
SolverResult SolvePressureDrop(const SolverInputs& in);

// Panel 2: the flow that spends the available head (liquid) or the
// allowable loss (gas, as a head of the gas at the inlet) over the pipe.
// Fixed-point iteration on the velocity from kFlowIterationStartVelocity:
//   v <- v sqrt(h_available / h_pass),  heads per metre of pipe,
// until they agree within kIterationTolerance (at most kMaxIterations
// passes; the last pass is taken without a message, `converged` says
// which).  Q = v A (/ c for a gas's free flow).  A liquid's viscosity is
// not raised by the inlet pressure here (unlike panels 3 and 4).
// Example: the defaults with 10 m hd available give 132.073 l/min after 4
// passes (golden case flow-water-defaults).
SolverResult SolveFindFlow(const SolverInputs& in);

// Panel 3: the least internal diameter that passes the flow with the head
// available.  Fixed-point iteration from kDiameterIterationStart:
//   D <- D (h_pass / h_available)^(1/4),  heads per metre of pipe,
// The viscosity is taken at the inlet pressure, mu (1 + 0.0028 P), for a
// liquid too (P then the panel's hidden inlet pressure; see Solvers.cpp).
// Example: the defaults with 10 m hd available give 22.514 mm after 10
// passes (golden case diameter-water-defaults).
SolverResult SolveFindDiameter(const SolverInputs& in);

// Panel 4: the greatest length of pipe the head available allows, directly:
//   L = (h_available - dz - K v^2 / 2g) / (f v^2 / (2g D))
// refused where the fittings and the elevation take all the head
// (FittingsTakeAvailablePressure).  Viscosity as panel 3.  Example: the
// defaults with 10 m hd available give 17.132 m (golden case
// length-water-defaults).
SolverResult SolveFindLength(const SolverInputs& in);

inline constexpr int kMaxIterations = 101;
inline constexpr double kIterationTolerance = 0.0001;
// Where the flow panel's iteration starts (velocity, m/s) and the diameter
// panel's (mm).
inline constexpr double kFlowIterationStartVelocity = 2.0;
inline constexpr double kDiameterIterationStart = 50.0;

}  // namespace corvane
