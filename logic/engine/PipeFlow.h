#pragma once
// logic/engine: the calculations on numbers in calculation units only -
// formulas, unit factors, the fittings K table, the four solvers, gas
// properties.  It never sees text, a locale, a list index or a display unit,
// and includes nothing above it.
//
// This header: the pipe flow formulas - velocity and flow in a round pipe,
// Reynolds number, Darcy friction factor (laminar, critical line, Haaland;
// Colebrook-White for comparison), head losses, head to pressure, the state
// of a gas at its inlet pressure, and the roughness of the pipe materials.
//
// Calculation units, in and out: diameter and roughness mm, length and
// elevation m, volume flow litre/min (for a gas the free volume flow),
// velocity m/s, kinematic viscosity cSt, dynamic viscosity cP, head m of
// the flowing fluid, pressure bar gauge.
//
// Undefined results.  Where a formula would divide by zero (a dynamic
// viscosity of 0 in the Reynolds number, a diameter of 0 in the head loss)
// the function returns a quiet NaN.  Absurdly large inputs may give +-inf.
// A calculation therefore checks every result with std::isfinite before it
// uses or shows it.  No function here throws; only ColebrookWhite iterates,
// a bounded number of times.

#include "logic/engine/Units.h"

namespace corvane {

inline constexpr double kGravity = 9.81;               // m/s^2
inline constexpr double kLaminarLimit = 2300.0;
inline constexpr double kTurbulentLimit = 3500.0;
inline constexpr double kFrictionFloor = 1e-7;
inline constexpr double kGasViscosityPerBar = 0.0028;
// A usual design limit of a liquid's mean velocity in a pipe (m/s): above
// it erosion, noise and pressure surges grow, and a pipe system notes it.
inline constexpr double kDesignVelocityLimit = 3.0;

// The friction factor's constants (the calculation sheet prints these):
// f = 64 / Re (laminar), f = (Re - 1500) / 30000 (critical zone), and
// Haaland's 1 / sqrt(f) = -1.8 log10[(roughness / D / 3.7)^1.11 + 6.9 / Re].
inline constexpr double kLaminarFactor = 64.0;
inline constexpr double kCriticalOffset = 1500.0;
inline constexpr double kCriticalSlope = 30000.0;
inline constexpr double kHaalandFactor = 1.8;
inline constexpr double kHaalandRoughnessDivisor = 3.7;
inline constexpr double kHaalandExponent = 1.11;
inline constexpr double kHaalandReynoldsTerm = 6.9;

// Number of entries of the roughness table (indices 0..13).
inline constexpr int kMaterialCount = 14;

// Mean velocity (m/s) of Q l/min in a full pipe of D mm; 0 when D <= 0.
//   v = (Q / 60000) / (pi (D / 1000)^2 / 4)   continuity in a full round pipe
// Valid for any full pipe.  Example: 100 l/min in 25 mm gives 3.3953 m/s
// (test VelocityAndFlow.VelocityIsTheFlowOverTheAreaAndBack).
double VelocityFromFlow(double q, double d);

// Volume flow (l/min) at v m/s in a pipe of D mm; 0 when D <= 0.  The
// inverse of VelocityFromFlow: Q = 60000 v pi (D / 1000)^2 / 4.
double FlowFromVelocity(double v, double d);

// Reynolds number, Re = v D / nu, written with the dynamic viscosity:
//   Re = v x D / 1000 / mu x 1e6 x rhoR
// mu in cP, rhoR the relative density at flow conditions (for a gas its
// density over 1000 at the inlet), so that mu / rhoR is nu in cSt.  NaN
// when mu is 0.  Source: O. Reynolds (1883), "An experimental investigation
// of the circumstances which determine whether the motion of water shall be
// direct or sinuous", Phil. Trans. R. Soc. 174.  Example: 2 m/s in 50 mm at
// 1.5 cSt gives 66 667 (test Reynolds.LiquidDensityCancels).
double ReynoldsNumber(double v, double d, double mu, double rhoR);

// Darcy friction factor by the flow zone:
//   Re <= 0 or NaN       f = 0
//   Re <= 2300           f = 64 / Re  (Hagen-Poiseuille, laminar)
//   2300 < Re < 3500     f = (Re - 1500) / 30000, this program's own straight
//                        line across the critical zone (no published source;
//                        it meets neither neighbour exactly)
//   Re >= 3500           1 / sqrt(f) = -1.8 log10[(e / D / 3.7)^1.11 + 6.9 / Re]
//                        S. E. Haaland (1983), "Simple and explicit formulas
//                        for the friction factor in turbulent pipe flow",
//                        J. Fluids Eng. 105(1), 89-90: within about 1.5 % of
//                        Colebrook-White for 4000 <= Re <= 1e8 and
//                        1e-6 <= e / D <= 0.05 (used here from 3500 on).
// A relative roughness term below 1e-7 is taken as 1e-7 (a smooth pipe).
// Never infinite: NaN where no friction factor exists (a Reynolds number
// below about 1e-307, where 64/Re overflows, and a roughness of about 3.7
// diameters, where Haaland's logarithm reaches 0).  Examples: Re 2300 gives
// 0.027826 (test FrictionFactor.LaminarEdgeBelongsToLaminarZone); Re 1e5 in
// a 25 mm steel pipe (0.046 mm) gives 0.02454 (FrictionFactor.SteelPipeExample);
// tests/data/haaland_reference.csv holds python fluids' values.
double FrictionFactor(double re, double d, double roughness);

// FrictionFactor in two steps, for a pipe whose friction factor is wanted
// at many Reynolds numbers: Haaland's roughness term (roughness / D / 3.7,
// at least 1e-7, to the power 1.11) once, then the factor at each
// Reynolds number.  The same numbers as FrictionFactor, bit for bit, with
// its validity and source.
double HaalandRoughnessTerm(double d, double roughness);
double FrictionFactorWithTerm(double re, double roughnessTerm);

// The zone of a Reynolds number, as FrictionFactor takes it: 2300 is
// laminar, 3500 turbulent.
enum class FlowRegime { Laminar, Critical, Turbulent };
FlowRegime FlowRegimeOf(double re);

// Darcy-Weisbach head loss of the pipe, in m:
//   h = f x L / (D / 1000) x v^2 / 2g,  g = 9.81 m/s^2
// NaN when D is 0.  Valid for steady, fully developed, incompressible flow
// in a full pipe (for a gas while the pressure drop is small against the
// inlet pressure).  Source: J. Weisbach (1845), "Lehrbuch der Ingenieur- und
// Maschinen-Mechanik"; H. Darcy (1857), "Recherches experimentales
// relatives au mouvement de l'eau dans les tuyaux".  Example: 3.3953 m/s,
// 25 mm, 10 m, f 0.02481 gives 5.8305 m (checked within the solver by test
// HeadLoss.PressureDropIsTheFormulasInTurn).
double FrictionHeadLoss(double v, double d, double length, double f);

// Head lost in fittings of total resistance coefficient K, in m:
//   h = K x v^2 / 2g
// The K of each fitting is its table's (FittingTable.h).  Source: Crane
// Co., Technical Paper 410, "Flow of fluids through valves, fittings, and
// pipe".  Example: K 6.39 at 2 m/s gives 1.3028 m (test
// HeadLoss.FittingsHeadOfTheFittingsExample).
double FittingsHead(double k, double v);

// Head h (m) of a fluid of relative density rhoR as bar:
//   p = h x rhoR x 1000 x g / 1e5
// Example: 10 m of water (rhoR 1) is 0.981 bar.
double HeadToPressureDrop(double h, double rhoR);

// Pressure p (bar) as the head (m) of a liquid of relative density rhoR,
// the inverse of HeadToPressureDrop: h = p x 1e5 / (rhoR x 1000 x g).
// Example: 0.981 bar of water is 10 m.  Every conversion of a liquid's
// pressure to its head in the engine goes through here.
double PressureToHead(double p, double rhoR);

// Head h (m) of a gas of density rhoG (kg/m3 at atmospheric pressure) at
// volume ratio c, as bar, the gas taken at its inlet density rhoG / c:
//   p = h x rhoG / 1000 / c x 1000 x 9.81 / 1e5
// NaN when c is 0.  Valid while the pressure drop is small against the
// absolute inlet pressure (the density is held at its inlet value; the
// isothermal comparison of IsothermalGas.h says how far that holds).
// Example: 100 m of air (1.2047 kg/m3) at 2 bar g is 0.035145 bar (test
// Gas.HeadToPressureAtInletDensity).
double GasHeadToPressureDrop(double h, double rhoG, double c);

// Pressure p (bar) as the head (m) of the gas at its inlet density, the
// inverse of GasHeadToPressureDrop: h = p x (1e5 / rhoG x c / g).  Valid
// as that one; +-inf when rhoG is 0.  Example: 0.035145 bar of air (1.2047
// kg/m3) at 2 bar g (c = 1.01325 / 3.01325) is 100.0 m.
double GasPressureToHead(double p, double rhoG, double c);

// Inlet volume over free volume of an ideal gas at constant temperature
// (Boyle's law, R. Boyle 1662, "A defence of the doctrine touching the
// spring and weight of the air"):
//   c = 1.01325 / (Pg + 1.01325)
// NaN at Pg = -1.01325 (absolute zero pressure).  Example: 1.01325 bar g
// gives 0.5 (test Gas.VolumeRatioAndViscosity).
double GasVolumeRatio(double pg);

// A gas's viscosity at its inlet pressure, this program's own linear rule:
//   mu x (1 + 0.0028 x Pg)
// (0.28 % per bar; no published source, an allowance the panels have
// always made; real gases vary by gas and temperature).  Example: 0.018 cP
// at 10 bar g gives 0.018504 cP (test Gas.VolumeRatioAndViscosity).
double GasViscosityAtPressure(double mu, double pg);

// Darcy friction factor by the Colebrook-White equation, for comparison:
//   1 / sqrt(f) = -2 log10[e / D / 3.7 + 2.51 / (Re sqrt(f))]
// solved by fixed-point iteration from Haaland's value to a relative 1e-15
// (at most 200 passes); NaN for Re <= 0.  Valid for turbulent flow, Re >
// about 4000.  Source: C. F. Colebrook (1939), "Turbulent flow in pipes,
// with particular reference to the transition region between the smooth
// and rough pipe laws", J. Inst. Civil Eng. 11, 133-156.  Example: Re 1e5,
// e / D 1e-4 gives 0.018514 (reference values in test
// Moody.ColebrookWhiteAgainstReferenceValues).
double ColebrookWhite(double reynolds, double relativeRoughness);

// Internal roughness (mm) of pipe material `index` of the panels' list
// (steel 0.046, stainless steel 0.045 ... wood stave 0.18, as handbook
// tables give them, e.g. L. F. Moody (1944), "Friction factors for pipe
// flow", Trans. ASME 66); 0.1 for any index outside 0..13.  Example: index
// 0 (steel) is 0.046 mm (test Materials.RoughnessTable).
double MaterialRoughness(int index);

}  // namespace corvane
