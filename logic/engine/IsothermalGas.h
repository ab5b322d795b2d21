#pragma once
// The complete isothermal equation for a compressible gas in a pipe, with
// friction and the acceleration term, as a second opinion beside the
// panels' gas method:
//
//   m^2 = (pi D^2 / 4)^2 rho1 (P1^2 - P2^2) / (P1 (f L / D + K + 2 ln(P1 / P2)))
//
// with rho1 the density at the inlet pressure P1 (so rho / P is the same
// all along the pipe), f the Darcy friction factor and K the fittings'
// total.  Below a critical outlet pressure the flow chokes: no lower
// outlet pressure gives more flow.  The elevation change is left out.
// Valid for an ideal gas at constant temperature in steady flow (a long
// pipe, where heat exchange with the surroundings holds the temperature).
// Source: the isothermal flow equation as in Crane Co., Technical Paper
// 410, "Flow of fluids through valves, fittings, and pipe", and
// E. Shashi Menon (2005), "Gas pipeline hydraulics"; the critical pressure
// is where dm/dP2 = 0.  Each function agrees with python fluids'
// isothermal_gas to 1e-9 over the cases of tests/data/isothermal_reference.csv
// (test IsothermalReference.MassFlowCriticalPressureOutletPressureAndLength)
// and whole panel cases with tests/data/isothermal_cases.csv (test
// IsothermalCase.WholeAnswersAsPythonFluidsGivesThem).
//
// The core functions take SI units (Pa absolute, kg/m3, m, kg/s) and
// return NaN where no answer exists.  The case functions take the panels'
// calculation units (SolverInputs: mm, m, l/min free flow, bar g, cSt,
// kg/m3 at 0 bar g) and take the friction factor from the program's own
// rule at the mean conditions (Reynolds number of the mass flux, the
// dynamic viscosity at the mean pressure), iterated to convergence.

#include <optional>

#include "logic/engine/Solvers.h"

namespace corvane {

// Mass flow (kg/s) for outlet pressure p2; NaN unless critical <= p2 < p1.
// `resistance` is f L / D + K.
double IsothermalMassFlow(double rho1, double resistance, double p1, double p2, double d);

// The outlet pressure (Pa) at which the flow chokes.
double IsothermalCriticalPressure(double p1, double resistance);

// The outlet pressure (Pa) that passes mass flow m; NaN when m is above the
// choked flow.
double IsothermalOutletPressure(double rho1, double resistance, double p1, double d, double m);

// f L / D + K that passes mass flow m from p1 to p2.
double IsothermalResistance(double rho1, double p1, double p2, double d, double m);

enum class IsothermalFault {
    NotAGas,          // a liquid case
    Choked,           // the asked flow or pressure drop is beyond the choked flow
    NoLength,         // the fittings and the acceleration alone take the pressure
    NoAnswer,         // no finite answer (a zero viscosity, a pressure drop of zero, ...)
};

struct IsothermalAnswer {
    std::optional<IsothermalFault> fault;
    double pressureDrop = 0;  // bar
    double flow = 0;          // l/min free flow
    double diameter = 0;      // mm
    double length = 0;        // m
    double reynolds = 0;
    double friction = 0;
    double outletPressure = 0;  // bar g
    int passes = 0;             // friction factor iterations
};

// The panel's unknown by the isothermal equation: the pressure drop at the
// flow, the flow at the allowable loss, the least diameter or the longest
// length for the allowable loss.
IsothermalAnswer IsothermalPressureDrop(const SolverInputs& in);
IsothermalAnswer IsothermalFlow(const SolverInputs& in);
IsothermalAnswer IsothermalDiameter(const SolverInputs& in);
IsothermalAnswer IsothermalLength(const SolverInputs& in);

}  // namespace corvane
