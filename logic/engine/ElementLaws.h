#pragma once
// The laws of the elements a liquid meets in a pipe system: a pipe section
// with its fittings, a transition between two diameters, the end of a pipe
// at a vessel (a run's entry from its source and exit into its sink), and a
// pump.  Each law gives, at a volume flow Q, the element's head h (a loss,
// or for a pump its gain) and the slope dh/dQ: what a solver of a system
// needs from every link, the head to balance and the slope to step by.  A
// pipe run walks its chain of elements with them (PipeRun.cpp); a network
// solver by the global gradient method calls the same laws for its links.
//
// The walk of a run takes the values from the functions that report an
// element's state (PipeSectionAt, TransitionK) and adds no slope; the laws
// (...Law) pair the same value with its slope, for either sign of the flow
// where that means something:
//   - a pipe's loss is odd in Q (the same loss against the flow) and its
//     slope even;
//   - a transition met by a negative flow is the one from its second
//     diameter to its first: a contraction one way is an expansion the
//     other way, each with its own K;
//   - the end of a pipe at a vessel is an entrance for the flow out of the
//     vessel and an exit for the flow into it;
//   - a pump passes no flow backwards: its law has no value for Q < 0 (a
//     network closes the pump instead, as a check valve).
//
// At Q = 0 every loss is 0 and its slope the limit from above: a pipe's is
// the laminar one, 32 nu L / (g D^2) dv/dQ, so that a solver can start
// from no flow.  Where a pipe's Reynolds number passes 2300 or 3500 its
// friction factor jumps (PipeFlow.h); there the loss jumps too, and the
// slope is the one-sided slope of the zone the flow lies in.
//
// Calculation units: diameter and roughness mm, length m, flow Q l/min,
// velocity m/s, kinematic viscosity cSt, density kg/m3, head m of the
// liquid, slope m per l/min.  Every value and slope here agrees with
// python3-fluids' heads and sympy's derivatives over
// tests/data/element_laws_reference.csv (test
// ElementLawsReference.HeadsAndSlopesAgreeWithFluidsAndSympy).

#include "logic/engine/PumpCurve.h"
#include "logic/engine/Transitions.h"

namespace corvane {

// An element's head at a flow and how fast it changes with the flow.
struct LinkHead {
    double head = 0;   // m: a loss; for a pump its gain
    double slope = 0;  // dh/dQ, m per l/min
};

// ---------------------------------------------------------------------
// A pipe section with its fittings.

struct PipeElement {
    double diameter = 0;       // mm
    double length = 0;         // m
    double viscosity = 0;      // cSt, kinematic
    double rhoR = 1;           // relative density, density / 1000 kg/m3
    double roughnessTerm = 0;  // HaalandRoughnessTerm(diameter, roughness)
    double fittingsK = 0;      // the fittings' total K, on this pipe's velocity
};

// A pipe of `diameter` and `roughness` mm, `length` m, with fittings of
// total K `fittingsK`, carrying a liquid of `viscosity` cSt and `density`
// kg/m3: the terms its law needs at every flow, worked out once.
PipeElement MakePipeElement(double diameter, double roughness, double length, double fittingsK, double viscosity,
                            double density);

// A section's state at a flow: what the pressure drop panel shows of a
// liquid, and the head it loses.
struct SectionFlow {
    double velocity = 0, reynolds = 0, friction = 0;
    double frictionHead = 0;  // m
    double fittingsK = 0;
    double fittingsHead = 0;  // m
    double headLoss() const { return frictionHead + fittingsHead; }
};

// The pipe at flow q >= 0 (l/min), as the pressure drop panel calculates a
// liquid (PipeFlow.h):
//   v = q / 60000 / (pi D^2 / 4),  Re = v D / nu,
//   f = 64 / Re, (Re - 1500) / 30000 or Haaland's, by the zone of Re,
//   h = f L / D v^2 / 2g + K v^2 / 2g          (Darcy-Weisbach; fittings K)
// with D in m, nu in m2/s, g = 9.81 m/s2.  Valid for steady, fully
// developed flow of a liquid in a full pipe.  NaN members where the pipe
// gives no result (a diameter of 0).  Example: 400 l/min of water (1.004
// cSt, 998 kg/m3) through 30 m of 52.5 mm steel (0.046 mm) with fittings
// of K 2.5: v = 3.0796 m/s, Re = 161 037, f = 0.020693, h = 6.9243 m.
SectionFlow PipeSectionAt(const PipeElement& pipe, double q);

// dh/dQ (m per l/min) of the pipe in the state `at` (PipeSectionAt's):
//   dh/dQ = dv/dQ [ (L / D) (v^2 / 2g) df/dRe Re / v + (f L / D + K) v / g ]
// in the laminar zone, where f L / D v^2 / 2g = 32 nu L v / (g D^2) is a
// straight line in v, its friction part is 32 nu L / (g D^2), also at no
// flow.  Example: the pipe above at 400 l/min: 0.033619 m per l/min.
double PipeSectionSlope(const PipeElement& pipe, const SectionFlow& at);

// The pipe's law at a flow of either sign: {sign(q) h(|q|), dh/dQ(|q|)}.
// Example: at -400 l/min the pipe above gives {-6.9243, 0.033619}.
LinkHead PipeSectionLaw(const PipeElement& pipe, double q);

// df/dRe of the Darcy friction factor f of FrictionFactorWithTerm at
// Reynolds number re, by the zone:
//   Re <= 2300:        -64 / Re^2
//   2300 < Re < 3500:  1 / 30000
//   Re >= 3500:        with s = t + 6.9 / Re and y = -1.8 log10(s) (f = y^-2),
//                      df/dRe = -2 y^-3 x 1.8 x 6.9 / (s ln 10 Re^2)
// t the roughness term.  0 at Re <= 0 and where Haaland's sum s is held
// at its floor; NaN where f is.  Example: Re 1e5 in 25 mm steel (0.046
// mm, f = 0.024545): -1.4586e-8.
double FrictionFactorSlope(double re, double roughnessTerm);

// The flow (l/min) at which the pipe's Reynolds number is `reynolds`
// (kLaminarLimit or kTurbulentLimit: where its law jumps):
// Q = FlowFromVelocity(Re nu / D).  Example: water (1.004 cSt) in 26.6 mm
// reaches Re 2300 at 2.8946 l/min.
double ZoneLimitFlow(const PipeElement& pipe, double reynolds);

// ---------------------------------------------------------------------
// A transition from one diameter to another (Transitions.h): a sudden or
// conical contraction or expansion.  Its K refers to the velocity in the
// smaller pipe and takes that pipe's friction factor; its head is
//   h = K(fd) v^2 / 2g
// with v and fd the smaller pipe's.

struct TransitionElement {
    double from = 0, to = 0;  // mm: the diameters a positive flow leaves and enters
    TransitionForm form = TransitionForm::Sudden;
    double angle = 180.0;  // degrees, the included angle of a conical one
    // Worked out once, for a positive flow: a sudden one's K, a conical
    // one's geometry.
    double suddenK = 0;
    ConicalTransition conical;
    bool none() const { return from == to; }  // one diameter: no loss
    bool contraction() const { return to < from; }
};

// The transition a positive flow meets going from `from` to `to` mm.
// Example: 77.9 to 52.5 mm sudden: a contraction of K 0.37706.
TransitionElement MakeTransition(double from, double to, TransitionForm form, double angle);

// The same transition met from the other side (what a negative flow meets):
// from 52.5 to 77.9 mm the sudden contraction above is an expansion of K
// 0.29790.
TransitionElement Reversed(const TransitionElement& t);

// The K (on the smaller pipe's velocity) for a positive flow, fd the
// smaller pipe's Darcy friction factor: the sudden K, or the conical
// geometry's K at fd.  Example: 77.9 to 52.5 mm conical at 30 degrees,
// fd 0.020693: 0.041152.
double TransitionK(const TransitionElement& t, double fd);

// The transition's law at a flow of either sign, `smaller` the pipe on its
// smaller side (its diameter, viscosity and roughness give v and fd):
//   positive q:  {K v^2 / 2g,  dv/dQ (dK/dfd df/dRe Re / v v^2 / 2g + K v / g)}
//   negative q:  {-h, slope} of Reversed(t) at -q.
// dK/dfd is the conical form's friction term (0 for a sudden one and a
// conical expansion wider than 60 degrees).  Example: 400 l/min from 77.9
// into 52.5 mm (water, steel) sudden: {0.18227 m, 0.00091134}; at -400
// l/min, the expansion: {-0.14400 m, 0.00072002}.
LinkHead TransitionLaw(const TransitionElement& t, const PipeElement& smaller, double q);

// ---------------------------------------------------------------------
// The end of a pipe at a large vessel: a run's source or sink surface, a
// tank of a network.  The flow out of the vessel into the pipe loses its
// entrance K, the flow from the pipe into the vessel its exit K (all the
// velocity head, 1), each on the pipe's velocity: h = K v^2 / 2g.

struct VesselEnd {
    double diameter = 0;                  // mm, the pipe's
    double entranceK = kSharpEntranceK;   // flow out of the vessel
    double exitK = kExitK;                // flow into the vessel
    bool atStart = true;                  // a positive flow comes out of the vessel
    // The K of a flow of the sign of q (no flow counts as positive).
    double k(double q) const { return (q >= 0) == atStart ? entranceK : exitK; }
};

// The end's law at a flow of either sign:
//   {sign(q) K v^2 / 2g,  K v / g dv/dQ},  v of |q|, K = k(q).
// Example: 400 l/min out of a vessel into 52.5 mm through a sharp
// entrance (K 0.57): {0.27553 m, 0.0013777}; -400 l/min into it (K 1):
// {-0.48339 m, 0.0024170}.
LinkHead VesselEndLaw(const VesselEnd& end, double q);

// ---------------------------------------------------------------------
// A pump: its curve at its speed ratio (MakePumpCurve has moved the points
// by the affinity laws), a gain of head.

// The pump's law at q >= 0: {H(q), dH/dQ} with H the curve's head:
//   one point and three from no flow:  H = A - B Q^C,  dH/dQ = -B C Q^(C-1)
//     (at Q = 0: 0 for C > 1, -B for C = 1, -inf for C < 1)
//   straight lines: the slope of the line q lies on (a point's flow belongs
//     to the line that ends there), 0 outside the first and last flows
//     where the curve holds its end heads.
// NaN for q < 0.  Valid from minFlow() to maxFlow().  Example: (0, 40 m),
// (500 l/min, 30 m), (1000 l/min, 10 m) at 300 l/min: {35.550 m,
// -0.023511 m per l/min}.
LinkHead PumpLaw(const PumpCurve& curve, double q);

// The pump's law at every flow, as a system of several pumps and branches
// may drive it: PumpLaw from no flow to maxFlow(); beyond maxFlow() the
// curve goes on along its slope there (for points given as straight lines,
// the last line's), its head falling below the last point's and below 0;
// below kPumpChordFlow of maxFlow(), and below no flow, along the chord from
// its shut-off head to its head there (a finite slope where a fitted
// curve's is infinite at no flow, so that a flow that rounding leaves a
// few units in the last place off no flow meets the shut-off head; a
// solver passes below no flow on its way to closing the pump: no pump
// delivers a flow backwards).  Example: the pump
// above has no head left at 1199.02 l/min, where its slope is -0.052875 m
// per l/min; 200 l/min further on: {-10.575 m, -0.052875}.
inline constexpr double kPumpChordFlow = 1e-6;
LinkHead PumpLawBeyondEnds(const PumpCurve& curve, double q);

// ---------------------------------------------------------------------
// A control valve: its flow coefficient Kv (m3/h of water at 1 bar) at an
// opening x from 0 (shut) to 1 (fully open) by its inherent
// characteristic, and the pressure drop the liquid takes through it.

enum class ValveCharacteristic {
    Linear,           // Kv(x) = Kv x
    EqualPercentage,  // Kv(x) = Kv R^(x - 1), R the rangeability
    QuickOpening,     // Kv(x) = Kv sqrt(x)
};

// The rangeability R of an equal-percentage valve where none is given.
inline constexpr double kDefaultRangeability = 50.0;

// Kv(x) of a valve of `kv` fully open.  0 for a linear or quick-opening
// valve at x = 0 (shut); an equal-percentage one passes Kv / R there.
// Examples: Kv 10 at half open: linear 5, equal percentage (R 50) 1.4142,
// quick opening 7.0711.
double ControlValveKv(double kv, ValveCharacteristic characteristic, double rangeability, double opening);

// The valve's law at a flow of either sign, Kv(x) = `kvx` (above 0):
//   dp = (Q / Kv(x))^2 rho / 1000   bar, Q in m3/h, rho kg/m3
// (the definition of Kv: 1 m3/h of water of 1000 kg/m3 at 1 bar), as a
// head of the liquid h = dp / (rho g): {sign(q) h, 2 |h| / |q|}, slope 0 at
// no flow.  Valid for a liquid in turbulent flow that does not flash or
// cavitate in the valve (IEC 60534-2-1's basic equation without its FR,
// FP and FL factors).  Example: 100 l/min (6 m3/h) of water (998 kg/m3)
// through Kv 5: dp = 1.43712 bar, {14.679 m, 0.29358 m per l/min}.
LinkHead ControlValveLaw(double kvx, double density, double q);

}  // namespace corvane
