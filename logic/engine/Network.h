#pragma once
// A network of pipes and their elements carrying one liquid in steady
// flow: junctions and tanks joined by links (pipes, reducers, pumps and
// valves), solved for every node's energy head and every link's flow by
// the global gradient method (E. Todini and S. Pilati (1988), "A gradient
// algorithm for the analysis of pipe networks", in Computer Applications
// in Water Supply, vol. 1, 1-20).  Every link's head and slope come from
// its element's law (ElementLaws.h), the same laws a pipe run walks.
//
// Conventions.  Node unknowns are energy heads (elevation + pressure head
// + velocity head), as a run's nodes, so that a chain of a network gives a
// run's numbers.  A tank's energy head is its level plus its surface
// pressure head.  A node's pressure is its total pressure, (E - z) rho g;
// a link end's static pressure is its energy head less the link's own
// velocity head there and the end's elevation (at a tank: the tank's
// elevation, after the entry loss where the flow leaves the tank, before
// the exit loss where it enters).  A link's flow is + from `from` to `to`;
// velocities are magnitudes.
//
// Calculation units: diameters and roughness mm, lengths, levels and heads
// m, flow l/min, kinematic viscosity cSt, density kg/m3, pressure bar g
// (vapour pressure bar a), Kv m3/h at 1 bar.
//
// The solver.  Newton's method on the junctions' heads: each pass
// linearises every open link's law about its flow, solves the node
// equations (a sparse symmetric positive definite system, factorised by
// Eigen's SimplicialLDLT) for the heads and moves each flow along its
// tangent to them.  It has converged when every junction's flow imbalance
// is below kNetworkFlowTolerance of the largest link flow and every open
// link's head balance below kNetworkHeadTolerance of the network's head
// range (or below kNetworkFlowFloor and kNetworkHeadFloor where those are
// larger).  Between passes, once the flows have nearly settled, the states
// of the check valves, pumps and regulating valves are checked by the
// rules below, each link at most kNetworkStateChanges times, so that no
// state chatters.  States:
//   - closed (a fixed `closed`, a check valve against reverse flow, a pump
//     that cannot overcome the head against it, a PRV against reverse
//     flow): no flow; a part of the network that closed links cut off
//     from every tank is left out of the solve (its heads none, a note);
//   - active: a PRV holding its outlet node's total pressure at its
//     setting (that node's head is fixed, the valve passes what the
//     outlet side draws), an FCV holding its flow at its setting;
//   - open: every other link, on its law.
// A PRV is active where the inlet allows the setting, else open (a note),
// and closes against reverse flow.  An FCV is active where the heads
// drive at least its setting through it fully open, else open (a note);
// against reverse flow it is open (a note).  A check valve opens where the
// heads drive a flow forwards, a closed pump where the head against it is
// below its shut-off head.
//
// Zone jumps.  A pipe's friction factor, and so its loss, falls as its
// Reynolds number passes 2300 and 3500 (PipeFlow.h).  A link whose flow
// goes back and forth across such a jump is held at the jump's flow while
// the rest settles; then it goes on to the side its head difference calls
// for, or, where that difference lies between its losses just below and
// just above the jump, it stays there with a note giving the head balance
// it leaves.

#include <optional>
#include <vector>

#include "logic/engine/ElementLaws.h"
#include "logic/engine/Fittings.h"
#include "logic/engine/PipeFlow.h"
#include "logic/engine/PipeRun.h"
#include "logic/engine/PumpCurve.h"
#include "logic/engine/Transitions.h"

namespace corvane {

// Converged: every junction's flow imbalance below this fraction of the
// largest link flow, every open link's head balance below this fraction of
// the network's head range.
inline constexpr double kNetworkFlowTolerance = 1e-9;
inline constexpr double kNetworkHeadTolerance = 1e-9;
// Where next to nothing flows (no demand, tanks at one head), the
// tolerances are at least these: 1e-10 l/min, 1e-10 m.
inline constexpr double kNetworkFlowFloor = 1e-10;
inline constexpr double kNetworkHeadFloor = 1e-10;
// Passes of the solver before it gives up, and state changes of one link.
inline constexpr int kNetworkMaxIterations = 200;
inline constexpr int kNetworkStateChanges = 8;

enum class NetworkNodeKind { Junction, Tank };

struct NetworkNode {
    NetworkNodeKind kind = NetworkNodeKind::Junction;
    double elevation = 0;  // m; a tank: where its pipes join it
    double demand = 0;     // l/min, a junction's: + leaves the network, - enters
    double level = 0;      // m, a tank's surface
    double pressure = 0;   // bar g, a tank's surface
};

enum class NetworkLinkKind {
    Pipe,
    Reducer,
    Pump,
    CheckValve,
    Valve,
    ControlValve,
    PressureReducingValve,
    FlowControlValve,
};

// What the file fixes about a link's state; Auto lets the solver decide
// (check valves, pumps, the regulating valves).  Open on a PRV or FCV: a
// plain valve of its k.
enum class FixedStatus { Auto, Open, Closed };

struct NetworkPipe {
    double diameter = 0, roughness = 0, length = 0;  // mm, mm, m
    FittingsSelection fittings;                      // with its extra K
    double entryK = kSharpEntranceK;  // where an end is a tank and the flow leaves it
    double exitK = kExitK;            // where an end is a tank and the flow enters it
    bool checkValve = false;          // closed against reverse flow
};

struct NetworkReducer {
    double diameterFrom = 0, diameterTo = 0;  // mm, at `from` and at `to`
    TransitionForm form = TransitionForm::Sudden;
    double angle = 180.0;                     // degrees, conical only
    // mm; none: the roughness of a pipe joined to its smaller side (one of
    // that diameter first), smooth where no pipe joins it there.
    std::optional<double> roughness;
};

struct NetworkPump {
    PumpCurve curve;  // after its speed ratio
    double speedRatio = 1.0;
    std::optional<double> efficiencyPercent;
    std::vector<PumpPoint> npshRequired;  // (l/min, m) at speed 1; empty: not known
    double marginRatio = kNpshMarginRatio;
};

struct NetworkValve {                     // check valve, isolating valve, PRV, FCV
    double diameter = 0;                  // mm
    double k = 0;                         // on its diameter's velocity, open
    double setting = 0;                   // PRV: bar g at its outlet; FCV: l/min
};

struct NetworkControlValve {
    double kv = 0;                        // m3/h at 1 bar, fully open
    std::optional<double> diameter;       // mm: its ends' static pressures need it
    ValveCharacteristic characteristic = ValveCharacteristic::Linear;
    double rangeability = kDefaultRangeability;
    double openingPercent = 100;
};

struct NetworkLink {
    NetworkLinkKind kind = NetworkLinkKind::Pipe;
    int from = 0, to = 0;  // node indices
    FixedStatus status = FixedStatus::Auto;
    NetworkPipe pipe;
    NetworkReducer reducer;
    NetworkPump pump;
    NetworkValve valve;
    NetworkControlValve control;
};

struct NetworkLiquid {
    double viscosity = 0;                  // cSt
    double density = 0;                    // kg/m3
    std::optional<double> vapourPressure;  // bar a
};

struct Network {
    NetworkLiquid liquid;
    std::vector<NetworkNode> nodes;
    std::vector<NetworkLink> links;
};

enum class LinkState { Open, Closed, Active };  // Active: a valve holding its setting

struct LinkResult {
    double flow = 0;                           // l/min, signed
    std::optional<double> velocity;            // m/s, a magnitude; none without a diameter
    std::optional<double> reynolds, friction;  // pipes, and reducers on their smaller side
    std::optional<FlowRegime> zone;            // pipes
    // m, >= 0 in the direction the flow takes: friction + fittings + minor;
    // a pump's is its head gain taken as negative.
    double headLoss = 0;
    double frictionHead = 0, fittingsHead = 0;  // pipes
    double minorHead = 0;  // a pipe's entry or exit at a tank, a reducer's, a valve's
    LinkState state = LinkState::Open;
    std::optional<double> pressureFrom, pressureTo;  // bar g, static, at both ends
};

struct NodeResult {
    std::optional<double> energyHead;  // m; none where the node is cut off
    std::optional<double> pressure;    // bar g, total: (E - z) rho g
};

struct PumpResult {
    int link = 0;
    double flow = 0;                   // l/min
    std::optional<double> head;        // m; none when closed
    double fluidPowerW = 0;
    std::optional<double> shaftPowerW;  // with an efficiency
    std::optional<double> npshAvailable, npshRequired, npshMargin, npshRatio;  // m, m, m, -
};

enum class NetworkNoteKind {
    BelowVapourPressure,  // link end (`link`, `node`): absolute static pressure `value` < vapour pressure `limit`, bar a
    BelowAbsoluteZero,    // link end: absolute static pressure `value` below 0 (no vapour pressure given)
    PumpClosed,           // `link` cannot overcome the head against it
    PumpBeyondCurve,      // `link` runs at `value` l/min past its curve's last flow `limit`, on its last slope
    CheckValveClosed,     // a check valve or a pipe with one, closed against reverse flow
    PrvClosed,            // a PRV closed against reverse flow
    ValveCannotHold,      // open: a PRV's outlet pressure `value` below its setting `limit` (bar g), an FCV's flow
                          // `value` not its setting `limit` (l/min)
    FcvReverseFlow,       // an FCV with reverse flow `value` l/min, left open
    VelocityAboveLimit,   // a pipe's velocity `value` above kDesignVelocityLimit `limit`
    AtZoneJump,           // `link` held at the flow where its Reynolds number is `limit`, leaving a head balance of
                          // `value` m
    NodeCutOff,           // junction `node` joined to no tank through open links; its demand `value` not met
    NpshBelowRequired,    // pump `link`: NPSH available `value` below required `limit`
    NpshMarginLow,        // pump `link`: ratio `value` below its margin ratio `limit`
    NpshRequiredOutside,  // pump `link`: its flow `value` outside its NPSH required curve
    NoVapourPressure,     // pump `link`: NPSH available unknown
};

struct NetworkNote {
    NetworkNoteKind kind;
    int node = -1, link = -1;
    double value = 0, limit = 0;
};

// What makes a network no network to solve (a reader refuses the file).
enum class NetworkDefect {
    NoTank,           // no node is a tank
    NoSuchNode,       // `link` names a node that does not exist
    LinkToItself,     // `link` runs from a node to itself
    PartWithoutTank,  // `node` lies in a part joined to no tank by any link (one entry per node)
    BadNumber,        // a number of `node` or `link` that no calculation takes
};

struct NetworkDefectAt {
    NetworkDefect defect;
    int node = -1, link = -1;
    bool operator==(const NetworkDefectAt&) const = default;
};

// The topology's defects: no tank, a link to a node that does not exist
// or to its own node, the junctions of a part joined to no tank by any
// link, whatever its state; empty for a network that can be solved.  In
// the order of the nodes and links.
std::vector<NetworkDefectAt> NetworkTopologyFaults(const Network& network);

enum class NetworkFault {
    NoConvergence,   // not settled: unsettledNodes and unsettledLinks name them
    InvalidNetwork,  // what a reader should have refused: `defects` names it
};

struct NetworkResult {
    std::optional<NetworkFault> fault;
    std::vector<int> unsettledNodes, unsettledLinks;
    std::vector<NetworkDefectAt> defects;
    int iterations = 0;
    double flowImbalance = 0;  // l/min, the largest left at a junction
    double headImbalance = 0;  // m, the largest head balance left on an open link (held links aside)
    std::vector<LinkResult> links;
    std::vector<NodeResult> nodes;
    std::vector<PumpResult> pumps;  // in the order of the links
    std::vector<NetworkNote> notes;
};

NetworkResult SolveNetwork(const Network& network);

// A pipe run as a network: the source a tank at the run's start elevation,
// each section a pipe (the source's entry K on the first, the sink's exit K
// on the last), a sudden or conical reducer where two sections' diameters
// differ (with the smaller section's roughness, whose friction factor the
// run's transitions take), the pump after its section, the sink a tank at
// the run's end elevation; a pump after the last section is followed by a
// pipe of no length of the last section's diameter that carries the exit.
// Each node of the run is a junction, or where the run charges the entry
// or the exit inside a node of its own, the end of a pipe at a tank.
struct RunPlace {
    int node = -1;        // the junction of a run node
    int link = -1;        // or the end of this pipe, its `from` end when atFrom
    bool atFrom = false;
};

struct RunAsNetwork {
    Network network;
    std::vector<RunPlace> places;  // one per RunResult::nodes, in that order
    int pumpLink = -1;
};

RunAsNetwork NetworkFromRun(const PipeRun& run);

}  // namespace corvane
