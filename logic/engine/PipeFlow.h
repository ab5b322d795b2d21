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

// Number of entries of the roughness table (indices 0..13).
inline constexpr int kMaterialCount = 14;

// Mean velocity (m/s) of Q l/min in a full pipe of D mm; 0 when D <= 0.
double VelocityFromFlow(double q, double d);

// Volume flow (l/min) at v m/s in a pipe of D mm; 0 when D <= 0.
double FlowFromVelocity(double v, double d);

// v x D / 1000 / mu x 1e6 x rhoR, mu in cP, rhoR relative density at flow
// conditions.  NaN when mu is 0.
double ReynoldsNumber(double v, double d, double mu, double rhoR);

// Darcy friction factor: 0 for Re <= 0 (or NaN), 64/Re up to 2300,
// (Re - 1500)/30000 below 3500, Haaland from 3500 on.  Never infinite:
// NaN where no friction factor exists (a Reynolds number below about
// 1e-307, where 64/Re overflows, and a roughness of about 3.7 diameters,
// where Haaland's logarithm reaches 0).
double FrictionFactor(double re, double d, double roughness);

// FrictionFactor in two steps, for a pipe whose friction factor is wanted
// at many Reynolds numbers: Haaland's roughness term (roughness / D / 3.7,
// at least 1e-7, to the power 1.11) once, then the factor at each
// Reynolds number.  The same numbers as FrictionFactor.
double HaalandRoughnessTerm(double d, double roughness);
double FrictionFactorWithTerm(double re, double roughnessTerm);

// The zone of a Reynolds number: 2300 is laminar, 3500 turbulent.
enum class FlowRegime { Laminar, Critical, Turbulent };
FlowRegime FlowRegimeOf(double re);

// f x L / (D/1000) x v^2 / 2g, in m.  NaN when D is 0.
double FrictionHeadLoss(double v, double d, double length, double f);

// K x v^2 / 2g, in m.
double FittingsHead(double k, double v);

// Head h (m) of a fluid of relative density rhoR as bar.
double HeadToPressureDrop(double h, double rhoR);

// Pressure p (bar) as the head (m) of a liquid of relative density rhoR.
double PressureToHead(double p, double rhoR);

// Head h (m) of a gas of density rhoG (kg/m3 at atmospheric pressure) at
// volume ratio c, as bar: h x rhoG / 1000 / c x 1000 x 9.81 / 100000.
// NaN when c is 0.
double GasHeadToPressureDrop(double h, double rhoG, double c);

// 1.01325 / (Pg + 1.01325): inlet volume over free volume.  NaN at
// Pg = -1.01325 (absolute zero pressure).
double GasVolumeRatio(double pg);

// mu x (1 + 0.0028 x Pg).
double GasViscosityAtPressure(double mu, double pg);

// Darcy friction factor by the Colebrook-White equation (turbulent flow),
// solved by iteration from Haaland's value; NaN for Re <= 0.
double ColebrookWhite(double reynolds, double relativeRoughness);

// Internal roughness (mm) of pipe material `index`; 0.1 for any index
// outside 0..13.
double MaterialRoughness(int index);

}  // namespace corvane
