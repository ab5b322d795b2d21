#pragma once
// A pipe run: a liquid flowing from a source surface through sections in
// series, with the transitions between sections of different diameters, an
// optional pump after one section, and out into a sink surface.
//
// Each section is a pipe of the panels: its velocity, Reynolds number,
// friction factor (laminar, critical line, Haaland), friction head and
// fittings head come from the same functions as the pressure drop panel's.
// The run adds the entry from the source, the transitions (Transitions.h)
// and the exit into the sink.  Each of these elements has its law in
// ElementLaws.h; one walk over them, from the source to the sink, gives
// the sum of the losses the flow solve balances, the whole result, and
// the bound of the losses that tells the lowest balancing flow.
//
// Heads are energies per unit weight in m of the liquid, gauge: a surface's
// energy head is its level plus its pressure head; a node's is its
// elevation plus its pressure head plus its velocity head v^2/2g.  Walking
// from the source, the energy head falls by each loss in turn and rises by
// the pump's head.  What is left on arriving at the sink, less the sink's
// own energy head, is the sink margin: negative, it is the head a pump
// would have to add.
//
// Transitions.  The transition into a section from the one before is
// charged between the two sections' end nodes.  With a pump after section
// N, a transition from N to N + 1 belongs to the discharge side.  A
// contraction's K refers to the velocity of the smaller section it flows
// into, and uses that section's friction factor; an expansion's K refers to
// the velocity of the smaller section it comes from, and uses that
// section's friction factor.  Each is also given on the velocity of the
// section it flows into (ChangeKBasis).
//
// NPSH available at the pump inlet is the absolute energy head there above
// the pump inlet's elevation, less the vapour pressure head:
//   NPSHa = (Ps + Patm - Pv) / (rho g) + (zs - zpump) - h(suction losses)
// with Ps the source's surface pressure (bar g), Patm 1.01325 bar, Pv the
// vapour pressure (bar a), zs the source's level, zpump the elevation at the
// end of the section before the pump; zs - zpump is positive for a flooded
// suction and negative for a suction lift.
//
// Calculation units: diameters and roughness mm, lengths and levels m,
// flow l/min, velocity m/s, viscosity cSt, density kg/m3, pressure bar g
// (vapour pressure bar a), head m.

#include <optional>
#include <vector>

#include "logic/engine/ElementLaws.h"
#include "logic/engine/Fittings.h"
#include "logic/engine/PipeFlow.h"
#include "logic/engine/PumpCurve.h"
#include "logic/engine/Transitions.h"

namespace corvane {

// The least ratio NPSHa / NPSHr the run accepts without a note, by default
// the lowest that ANSI/HI 9.6.1 ("Rotodynamic Pumps - Guideline for NPSH
// Margin") recommends for any application.
inline constexpr double kNpshMarginRatio = 1.1;
// The flow of a run is found to this fraction of itself.
inline constexpr double kRunFlowTolerance = 1e-9;

struct RunLiquid {
    double viscosity = 0;                  // cSt
    double density = 0;                    // kg/m3
    std::optional<double> vapourPressure;  // bar a
};

struct RunSurface {
    double pressure = 0;  // bar g
    double level = 0;     // m
    bool operator==(const RunSurface&) const = default;
};

struct RunSection {
    double diameter = 0;   // mm
    double roughness = 0;  // mm
    double length = 0;     // m
    double rise = 0;       // m, + up
    FittingsSelection fittings;  // the fittings and an extra K, at this section's diameter
    // The transition into this section from the one before.
    TransitionForm transition = TransitionForm::Sudden;
    double angle = 180.0;  // included angle of a conical transition, degrees
};

struct RunPump {
    PumpCurve curve;  // after its speed ratio
    int afterSection = 1;  // from 1
    double speedRatio = 1.0;
    std::optional<double> efficiencyPercent;
    // (flow l/min, NPSH required m) at speed ratio 1, flows increasing; the
    // speed ratio moves them as the curve's points.  Empty: not known.
    std::vector<PumpPoint> npshRequired;
    double marginRatio = kNpshMarginRatio;
};

struct PipeRun {
    RunLiquid liquid;
    RunSurface source, sink;
    double startElevation = 0;  // m, where the first section begins
    double entryK = kSharpEntranceK;
    double exitK = kExitK;
    std::vector<RunSection> sections;
    std::optional<RunPump> pump;
};

struct TransitionLoss {
    int section = 0;  // the section it flows into, from 1
    bool contraction = false;
    TransitionForm form = TransitionForm::Sudden;
    double k = 0;          // on `velocity`, the smaller section's
    double velocity = 0;   // m/s
    double head = 0;       // m
    double kOnSection = 0; // the same loss on the velocity of the section it flows into
};

enum class NodeKind { Inlet, SectionEnd, PumpDischarge };

struct RunNode {
    NodeKind kind = NodeKind::Inlet;
    int section = 0;  // from 1: the section it ends (the first one's inlet: 1)
    double distance = 0;   // m along the run
    double elevation = 0;  // m
    double velocity = 0;   // m/s
    double pressure = 0;   // bar g
    double hydraulicHead = 0, energyHead = 0;  // m
};

struct PumpDuty {
    double flow = 0, head = 0;  // l/min, m
    // The suction side, m: every loss from the source surface to the pump
    // inlet, summed (the entry, then the sections, then the transitions),
    // and the inlet's elevation.  NPSH available takes the same losses as
    // the fall of the energy head from the source to the inlet, which may
    // differ from this sum in its last bits (for losses of 1e-10 m beside
    // a head of 20 m, in the fourth digit).
    double suctionLoss = 0, inletElevation = 0;
    double fluidPowerW = 0;
    std::optional<double> shaftPowerW;
    std::optional<double> npshAvailable, npshRequired, npshMargin, npshRatio;  // m, m, m, -
};

enum class RunNoteKind {
    BelowVapourPressure,  // node: absolute pressure `value` below the vapour pressure `limit`
    BelowAbsoluteZero,    // node: absolute pressure `value` below 0 (no vapour pressure given)
    NoVapourPressure,     // NPSH available unknown
    NpshBelowRequired,    // NPSHa `value` < NPSHr `limit`: the pump cavitates
    NpshMarginLow,        // ratio `value` below `limit`
    NpshRequiredOutside,  // the flow `value` lies outside the NPSH required curve
    AnotherFlow,          // a higher flow, between `value` and `limit`, balances the run as well
};

struct RunNote {
    RunNoteKind kind;
    int node = 0;  // index into the nodes, for the node notes
    double value = 0, limit = 0;
};

enum class RunFault {
    InvalidRun,            // no section, or a number no calculation takes
    NoValidResult,         // a section's numbers are not finite (`section`)
    NoHeadDifference,      // without a pump, the source's energy head is not above the sink's
    NoBalancingFlow,       // no flow makes the losses as large as the difference
    FlowOutsidePumpCurve,  // the given flow lies outside the pump curve's flows
    PumpCannotOvercome,    // the pump's head at its least flow does not reach the sink's
    PumpCurvesDoNotMeet,   // within the pump curve's flows its head stays above the run's need
};

struct RunResult {
    std::optional<RunFault> fault;
    int faultSection = 0;  // from 1, where the fault names one
    double flow = 0;       // l/min
    std::vector<SectionFlow> sections;
    std::vector<TransitionLoss> transitions;
    std::vector<RunNode> nodes;
    double entryK = 0, entryHead = 0, exitK = 0, exitHead = 0;
    double totalHeadLoss = 0;  // m: sections with fittings, transitions, entry and exit
    double sourceHead = 0, sinkHead = 0;  // m: the surfaces' energy heads
    double sinkMargin = 0;     // m
    std::optional<PumpDuty> pump;
    std::vector<RunNote> notes;
};

// The run at a given flow (l/min, above 0).
RunResult SolveRunAtFlow(const PipeRun& run, double flow);

// The flow at which nothing is left at the sink: with a pump its operating
// point, without one the flow the difference of the surfaces' heads drives.
// The losses rise with the flow except where a section's Reynolds number
// passes 2300 or 3500: there the friction factor, and so the losses, jump
// down, and more than one flow may balance the run.  The lowest flow that
// balances it is found to kRunFlowTolerance of itself, and a note tells of
// a higher one.
RunResult SolveRunFlow(const PipeRun& run);

// NPSH available (m) from the source surface's pressure (bar g) and level,
// the pump inlet's elevation, the suction side's losses (m), the vapour
// pressure (bar a) and the relative density, by the equation above (the
// energy equation from the source surface to the pump inlet, valid for a
// liquid in steady flow).
// Example: water at 5 psig lifted 25 ft with 6 ft of suction losses and a
// vapour pressure of 0.2563 psia has 13.9 ft (test
// PipeRunNpsh.SuctionLiftOfTheHandbookExample).
double NpshAvailable(double sourcePressure, double sourceLevel, double pumpLevel, double suctionLoss,
                     double vapourPressure, double rhoR);

}  // namespace corvane
