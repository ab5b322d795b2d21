#include "logic/engine/Network.h"

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <Eigen/SparseLU>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>

#include "logic/engine/Units.h"

namespace corvane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
// The relative flow change of a pass below which the flows have nearly
// settled and the states are checked.
constexpr double kStateCheckChange = 1e-2;
// A link crossing one zone jump this often is held at the jump.
constexpr int kJumpCrossings = 4;
// Where a held link is let go, it starts this fraction off its jump.
constexpr double kJumpRelease = 1e-6;
// Its losses just below and just above the jump are taken this fraction
// of the jump's flow away from it.
constexpr double kJumpSide = 1e-10;
// The flow a link starts from (and a reopened one): this velocity where
// it has a diameter, 0.1 bar across a control valve without one, half its
// curve's flows for a pump.
constexpr double kStartVelocity = 0.3;     // m/s
constexpr double kStartValveDrop = 0.1;    // bar
// Slopes below a floor are taken at it in the Newton matrix (a valve of
// k 0, a flat stretch of a pump curve, a wide pipe at a small flow): the
// heads' system stays definite and the balance sought is the same.  The
// floor is this fraction of the largest slope, and at least the slope at
// which the rounding of the heads (kFloorRounding units in the last place
// of the largest) would move a flow by kNetworkFlowTolerance of the
// largest: a flow is its link's conductance times a head difference.
constexpr double kSlopeFloor = 1e-10;
constexpr double kFloorRounding = 4;
constexpr double kSmallestSlope = 1e-14;  // m per l/min

bool IsTank(const NetworkNode& n) { return n.kind == NetworkNodeKind::Tank; }

bool Finite(double x) { return std::isfinite(x); }

double TankHead(const NetworkNode& n, double rhoR) { return n.level + PressureToHead(n.pressure, rhoR); }

// How a link takes part in a pass.
enum class Mode : unsigned char {
    Open,       // on its law
    Closed,     // no flow
    FixedFlow,  // an active FCV at its setting, a link held at a zone jump
    HoldsHead,  // an active PRV: its outlet's head fixed, its flow what the outlet draws
};

// What a node is in a pass.
enum class Role : unsigned char { Free, Tank, HeldByValve, CutOff };

// A link's element, worked out once.
struct Element {
    NetworkLinkKind kind = NetworkLinkKind::Pipe;
    int from = 0, to = 0;
    PipeElement pipe;  // a pipe; a reducer's smaller side; a valve as a pipe of no length with its k
    bool tankFrom = false, tankTo = false;  // a pipe's ends at tanks
    VesselEnd fromEnd, toEnd;
    TransitionElement transition;
    const PumpCurve* curve = nullptr;
    double kvx = 0;                        // a control valve's Kv at its opening
    double diameterFrom = 0, diameterTo = 0;  // at its ends, for their velocities; 0: none
    bool jumps = false;                    // its loss jumps where its Reynolds number passes a zone limit
    double jumpFlow[2] = {0, 0};           // l/min, at Re 2300 and 3500
    bool automatic = false;                // a state the solver decides
    double setting = 0;
};

// The law of a link that is open, with the zone of its flow (0 laminar,
// 1 critical, 2 turbulent) where its loss jumps between zones.
LinkHead LawOf(const Element& e, double density, double q, int* zone) {
    switch (e.kind) {
        case NetworkLinkKind::Pipe: {
            const SectionFlow at = PipeSectionAt(e.pipe, std::fabs(q));
            if (zone) *zone = static_cast<int>(FlowRegimeOf(at.reynolds));
            LinkHead h{q < 0 ? -at.headLoss() : at.headLoss(), PipeSectionSlope(e.pipe, at)};
            if (e.tankFrom) {
                const LinkHead end = VesselEndLaw(e.fromEnd, q);
                h.head += end.head;
                h.slope += end.slope;
            }
            if (e.tankTo) {
                const LinkHead end = VesselEndLaw(e.toEnd, q);
                h.head += end.head;
                h.slope += end.slope;
            }
            return h;
        }
        case NetworkLinkKind::Reducer:
            if (zone) {
                const double v = VelocityFromFlow(std::fabs(q), e.pipe.diameter);
                *zone = static_cast<int>(
                    FlowRegimeOf(ReynoldsNumber(v, e.pipe.diameter, e.pipe.viscosity * e.pipe.rhoR, e.pipe.rhoR)));
            }
            return TransitionLaw(e.transition, e.pipe, q);
        case NetworkLinkKind::Pump: {
            const LinkHead gain = PumpLawBeyondEnds(*e.curve, q);
            return {-gain.head, -gain.slope};
        }
        case NetworkLinkKind::ControlValve: return ControlValveLaw(e.kvx, density, q);
        case NetworkLinkKind::CheckValve:
        case NetworkLinkKind::Valve:
        case NetworkLinkKind::PressureReducingValve:
        case NetworkLinkKind::FlowControlValve: return PipeSectionLaw(e.pipe, q);
    }
    return {kNaN, kNaN};
}

// The law, where a flow so small that its friction factor overflows
// (64 / Re beyond the largest number) is taken on the straight line of
// the law's slope at no flow, as the laminar loss is.
LinkHead SafeLawOf(const Element& e, double density, double q, int* zone) {
    const LinkHead h = LawOf(e, density, q, zone);
    if (std::isfinite(h.head) || !std::isfinite(q) || std::fabs(q) > 1e-100) return h;
    const LinkHead still = LawOf(e, density, 0.0, zone);
    return {still.slope * q, still.slope};
}

int ZoneOf(const Element& e, double density, double q) {
    int zone = 0;
    SafeLawOf(e, density, q, &zone);
    return zone;
}

// The roughness a reducer's smaller side takes where none is given: that
// of a pipe joined to that side, one of the smaller diameter first.
double ReducerRoughness(const Network& net, const NetworkLink& link) {
    const NetworkReducer& r = link.reducer;
    if (r.roughness) return *r.roughness;
    const bool fromSmaller = r.diameterFrom < r.diameterTo;
    const int node = fromSmaller ? link.from : link.to;
    const double smaller = std::min(r.diameterFrom, r.diameterTo);
    std::optional<double> any;
    for (const NetworkLink& other : net.links) {
        if (&other == &link || other.kind != NetworkLinkKind::Pipe || (other.from != node && other.to != node))
            continue;
        if (other.pipe.diameter == smaller) return other.pipe.roughness;
        if (!any) any = other.pipe.roughness;
    }
    return any.value_or(0.0);
}

bool PositiveFinite(double x) { return x > 0 && std::isfinite(x); }
bool NonNegativeFinite(double x) { return x >= 0 && std::isfinite(x); }

// The numbers no calculation takes, as defects.
std::vector<NetworkDefectAt> NumberDefects(const Network& net) {
    std::vector<NetworkDefectAt> bad;
    const NetworkLiquid& l = net.liquid;
    if (!PositiveFinite(l.viscosity) || !PositiveFinite(l.density) ||
        (l.vapourPressure && !NonNegativeFinite(*l.vapourPressure)))
        bad.push_back({NetworkDefect::BadNumber});
    for (std::size_t i = 0; i < net.nodes.size(); ++i) {
        const NetworkNode& n = net.nodes[i];
        if (!Finite(n.elevation) || !Finite(n.demand) || !Finite(n.level) || !Finite(n.pressure))
            bad.push_back({NetworkDefect::BadNumber, static_cast<int>(i)});
    }
    for (std::size_t i = 0; i < net.links.size(); ++i) {
        const NetworkLink& k = net.links[i];
        bool ok = true;
        switch (k.kind) {
            case NetworkLinkKind::Pipe:
                ok = PositiveFinite(k.pipe.diameter) && NonNegativeFinite(k.pipe.roughness) &&
                     NonNegativeFinite(k.pipe.length) && NonNegativeFinite(k.pipe.entryK) &&
                     NonNegativeFinite(k.pipe.exitK) && Finite(k.pipe.fittings.extraK) &&
                     Finite(FittingsTotalK(k.pipe.fittings, k.pipe.diameter));
                break;
            case NetworkLinkKind::Reducer:
                ok = PositiveFinite(k.reducer.diameterFrom) && PositiveFinite(k.reducer.diameterTo) &&
                     (k.reducer.form == TransitionForm::Sudden ||
                      (k.reducer.angle > 0 && k.reducer.angle <= 180)) &&
                     (!k.reducer.roughness || NonNegativeFinite(*k.reducer.roughness));
                break;
            case NetworkLinkKind::Pump:
                ok = !k.pump.curve.points().empty() && PositiveFinite(k.pump.curve.maxFlow()) &&
                     PositiveFinite(k.pump.speedRatio) &&
                     (!k.pump.efficiencyPercent || PositiveFinite(*k.pump.efficiencyPercent)) &&
                     Finite(k.pump.marginRatio);
                break;
            case NetworkLinkKind::ControlValve:
                ok = PositiveFinite(k.control.kv) && k.control.openingPercent >= 0 &&
                     k.control.openingPercent <= 100 &&
                     (k.control.characteristic != ValveCharacteristic::EqualPercentage ||
                      (k.control.rangeability > 1 && std::isfinite(k.control.rangeability))) &&
                     (!k.control.diameter || PositiveFinite(*k.control.diameter));
                break;
            case NetworkLinkKind::FlowControlValve:
                ok = NonNegativeFinite(k.valve.setting) && PositiveFinite(k.valve.diameter) &&
                     NonNegativeFinite(k.valve.k);
                break;
            case NetworkLinkKind::PressureReducingValve:
                ok = Finite(k.valve.setting) && PositiveFinite(k.valve.diameter) && NonNegativeFinite(k.valve.k);
                break;
            case NetworkLinkKind::CheckValve:
            case NetworkLinkKind::Valve:
                ok = PositiveFinite(k.valve.diameter) && NonNegativeFinite(k.valve.k);
                break;
        }
        if (!ok) bad.push_back({NetworkDefect::BadNumber, -1, static_cast<int>(i)});
    }
    return bad;
}

class Solver {
public:
    explicit Solver(const Network& net);
    NetworkResult Run();

private:
    const Network& net_;
    const std::size_t nodeCount_, linkCount_;
    const double rhoR_;
    std::vector<Element> elements_;
    // Links at each node, as a compressed list.
    std::vector<int> adjacencyStart_, adjacency_;

    // Heads are kept from base_, the mean of the tanks' heads, so that
    // their rounding is that of their differences.
    double base_ = 0;
    std::vector<double> head_, flow_;
    std::vector<Mode> mode_;
    std::vector<Role> role_;
    std::vector<int> changes_;         // state changes of each link
    std::vector<int> heldJump_;        // the jump (0, 1) a link is held at, -1 none
    std::vector<int> zone_;            // the zone of each open link's last flow
    std::vector<std::array<int, 2>> crossings_;  // of each jump
    std::vector<int> releases_;        // holds let go
    // The last linearisation: flow = c + p (H_from - H_to).
    std::vector<double> c_, p_, loss_, slope_;
    double lastChange_ = 1;            // relative flow change of the last pass

    Eigen::SparseMatrix<double> matrix_;
    std::vector<int> diagonal_, offDiagonal_;  // value indices: each node's, each link's (-1: none)
    Eigen::SimplicialLDLT<Eigen::SparseMatrix<double>, Eigen::Lower> ldlt_;
    Eigen::VectorXd rhs_, solution_;

    void BuildMatrix();
    double StartFlow(std::size_t k) const;
    void SetMode(std::size_t k, Mode m, bool counted);
    void UpdateRoles();
    bool Pass();
    bool SolveHeads();
    bool SolveHeldHeads();
    bool HasHeldInlets() const;
    int RowOf(std::size_t node, int depth) const;
    void UpdateHeldValveFlows();
    void Evaluate();
    double HeadRange() const;
    double HeadTolerance(std::size_t k, double range) const;
    double NodeImbalance(std::size_t i, double* scale) const;
    bool Converged(std::vector<int>* nodes, std::vector<int>* links, double* flowLeft, double* headLeft) const;
    double MaxFlow() const;
    double FlowTolerance() const;
    bool CheckStates();
    bool CheckHolds();
    bool WatchJumps();
    double SettingHead(std::size_t k) const;
    double PartDemand(int node, std::vector<char>& seen) const;
    NetworkResult Results(int iterations, bool converged);
};

Solver::Solver(const Network& net)
    : net_(net), nodeCount_(net.nodes.size()), linkCount_(net.links.size()), rhoR_(net.liquid.density / 1000.0) {
    const double nu = net.liquid.viscosity, rho = net.liquid.density;
    elements_.resize(linkCount_);
    std::vector<int> degree(nodeCount_ + 1, 0);
    for (std::size_t k = 0; k < linkCount_; ++k) {
        const NetworkLink& l = net.links[k];
        Element& e = elements_[k];
        e.kind = l.kind;
        e.from = l.from;
        e.to = l.to;
        ++degree[static_cast<std::size_t>(l.from) + 1];
        ++degree[static_cast<std::size_t>(l.to) + 1];
        const bool tankFrom = IsTank(net.nodes[static_cast<std::size_t>(l.from)]);
        const bool tankTo = IsTank(net.nodes[static_cast<std::size_t>(l.to)]);
        switch (l.kind) {
            case NetworkLinkKind::Pipe: {
                const NetworkPipe& p = l.pipe;
                e.pipe = MakePipeElement(p.diameter, p.roughness, p.length, FittingsTotalK(p.fittings, p.diameter), nu,
                                         rho);
                e.tankFrom = tankFrom;
                e.tankTo = tankTo;
                e.fromEnd = {p.diameter, p.entryK, p.exitK, true};
                e.toEnd = {p.diameter, p.entryK, p.exitK, false};
                e.diameterFrom = e.diameterTo = p.diameter;
                e.jumps = p.length > 0;
                e.automatic = p.checkValve && l.status == FixedStatus::Auto;
                break;
            }
            case NetworkLinkKind::Reducer: {
                const NetworkReducer& r = l.reducer;
                const double smaller = std::min(r.diameterFrom, r.diameterTo);
                e.pipe = MakePipeElement(smaller, ReducerRoughness(net, l), 0, 0, nu, rho);
                e.transition = MakeTransition(r.diameterFrom, r.diameterTo, r.form, r.angle);
                e.diameterFrom = r.diameterFrom;
                e.diameterTo = r.diameterTo;
                // A sudden form's K takes no friction factor.
                e.jumps = r.form == TransitionForm::Conical && !e.transition.none();
                break;
            }
            case NetworkLinkKind::Pump:
                e.curve = &l.pump.curve;
                e.automatic = l.status == FixedStatus::Auto;
                break;
            case NetworkLinkKind::ControlValve: {
                const NetworkControlValve& c = l.control;
                e.kvx = ControlValveKv(c.kv, c.characteristic, c.rangeability, c.openingPercent / 100.0);
                if (c.diameter) e.diameterFrom = e.diameterTo = *c.diameter;
                break;
            }
            case NetworkLinkKind::CheckValve:
            case NetworkLinkKind::Valve:
            case NetworkLinkKind::PressureReducingValve:
            case NetworkLinkKind::FlowControlValve:
                e.pipe = MakePipeElement(l.valve.diameter, 0, 0, l.valve.k, nu, rho);
                e.diameterFrom = e.diameterTo = l.valve.diameter;
                e.automatic = l.kind != NetworkLinkKind::Valve && l.status == FixedStatus::Auto;
                e.setting = l.valve.setting;
                break;
        }
        if (e.jumps) {
            e.jumpFlow[0] = ZoneLimitFlow(e.pipe, kLaminarLimit);
            e.jumpFlow[1] = ZoneLimitFlow(e.pipe, kTurbulentLimit);
        }
    }
    for (std::size_t i = 0; i < nodeCount_; ++i) degree[i + 1] += degree[i];
    adjacencyStart_ = degree;
    adjacency_.resize(2 * linkCount_);
    for (std::size_t k = 0; k < linkCount_; ++k)
        for (int n : {elements_[k].from, elements_[k].to})
            adjacency_[static_cast<std::size_t>(degree[static_cast<std::size_t>(n)]++)] = static_cast<int>(k);

    head_.assign(nodeCount_, 0.0);
    flow_.assign(linkCount_, 0.0);
    mode_.assign(linkCount_, Mode::Open);
    role_.assign(nodeCount_, Role::Free);
    changes_.assign(linkCount_, 0);
    heldJump_.assign(linkCount_, -1);
    zone_.assign(linkCount_, -1);
    crossings_.assign(linkCount_, {0, 0});
    releases_.assign(linkCount_, 0);
    c_.assign(linkCount_, 0.0);
    p_.assign(linkCount_, 0.0);
    loss_.assign(linkCount_, 0.0);
    slope_.assign(linkCount_, 0.0);

    // Start: the tanks at their heads, the junctions at their mean.
    double tankSum = 0;
    int tanks = 0;
    for (std::size_t i = 0; i < nodeCount_; ++i)
        if (IsTank(net.nodes[i])) {
            head_[i] = TankHead(net.nodes[i], rhoR_);
            tankSum += head_[i];
            ++tanks;
        }
    base_ = tanks ? tankSum / tanks : 0.0;
    for (std::size_t i = 0; i < nodeCount_; ++i) head_[i] = IsTank(net.nodes[i]) ? head_[i] - base_ : 0.0;
    for (std::size_t k = 0; k < linkCount_; ++k) {
        const NetworkLink& l = net.links[k];
        const bool shut = l.status == FixedStatus::Closed ||
                          (l.kind == NetworkLinkKind::ControlValve && !(elements_[k].kvx > 0));
        mode_[k] = shut ? Mode::Closed : Mode::Open;
        flow_[k] = shut ? 0.0 : StartFlow(k);
    }
    BuildMatrix();
}

double Solver::StartFlow(std::size_t k) const {
    const Element& e = elements_[k];
    if (e.kind == NetworkLinkKind::Pump) return 0.5 * (e.curve->minFlow() + e.curve->maxFlow());
    if (e.kind == NetworkLinkKind::ControlValve)
        return e.kvx * std::sqrt(kStartValveDrop * 1000.0 / net_.liquid.density) * 1000.0 / 60.0;
    const double d = e.kind == NetworkLinkKind::Reducer ? e.pipe.diameter : e.diameterFrom;
    return FlowFromVelocity(kStartVelocity, d);
}

// One entry per node on the diagonal and one below it per pair of nodes a
// link joins, whatever the links' states: the pattern is analysed once.
void Solver::BuildMatrix() {
    const auto n = static_cast<Eigen::Index>(nodeCount_);
    std::vector<Eigen::Triplet<double>> entries;
    entries.reserve(nodeCount_ + linkCount_);
    for (Eigen::Index i = 0; i < n; ++i) entries.emplace_back(i, i, 0.0);
    for (const Element& e : elements_)
        entries.emplace_back(std::max(e.from, e.to), std::min(e.from, e.to), 0.0);
    matrix_.resize(n, n);
    matrix_.setFromTriplets(entries.begin(), entries.end());
    matrix_.makeCompressed();
    auto indexOf = [&](int row, int col) {
        const int* outer = matrix_.outerIndexPtr();
        const int* inner = matrix_.innerIndexPtr();
        const int* at = std::lower_bound(inner + outer[col], inner + outer[col + 1], row);
        return static_cast<int>(at - inner);
    };
    diagonal_.resize(nodeCount_);
    for (std::size_t i = 0; i < nodeCount_; ++i) diagonal_[i] = indexOf(static_cast<int>(i), static_cast<int>(i));
    offDiagonal_.resize(linkCount_);
    for (std::size_t k = 0; k < linkCount_; ++k) {
        const Element& e = elements_[k];
        offDiagonal_[k] = indexOf(std::max(e.from, e.to), std::min(e.from, e.to));
    }
    ldlt_.analyzePattern(matrix_);
    rhs_.resize(n);
}

void Solver::SetMode(std::size_t k, Mode m, bool counted) {
    if (mode_[k] == m) return;
    if (counted) ++changes_[k];
    const Mode was = mode_[k];
    mode_[k] = m;
    if (m == Mode::Open && (was == Mode::Closed)) flow_[k] = StartFlow(k);
    if (m == Mode::Closed) flow_[k] = 0;
    if (m == Mode::FixedFlow && elements_[k].kind == NetworkLinkKind::FlowControlValve) flow_[k] = elements_[k].setting;
    if (m != Mode::FixedFlow) heldJump_[k] = -1;
}

// The outlet head an active PRV holds: its setting as the outlet's total
// pressure.
double Solver::SettingHead(std::size_t k) const {
    const Element& e = elements_[k];
    return net_.nodes[static_cast<std::size_t>(e.to)].elevation + PressureToHead(e.setting, rhoR_) - base_;
}

// The nodes' roles for the current modes: junctions joined to no tank
// through links that are not closed are cut off; an active PRV fixes its
// outlet's head; an active valve or a held link that leaves a part with
// no fixed head goes back to its law.
void Solver::UpdateRoles() {
    for (;;) {
        for (std::size_t i = 0; i < nodeCount_; ++i) role_[i] = IsTank(net_.nodes[i]) ? Role::Tank : Role::Free;
        // Cut off: not reached from a tank through links that are not closed.
        std::vector<char> reached(nodeCount_, 0);
        std::vector<int> queue;
        auto spread = [&](bool conductingOnly) {
            while (!queue.empty()) {
                const int n = queue.back();
                queue.pop_back();
                for (int a = adjacencyStart_[static_cast<std::size_t>(n)];
                     a < adjacencyStart_[static_cast<std::size_t>(n) + 1]; ++a) {
                    const auto k = static_cast<std::size_t>(adjacency_[static_cast<std::size_t>(a)]);
                    if (mode_[k] == Mode::Closed || (conductingOnly && mode_[k] != Mode::Open)) continue;
                    const int other = elements_[k].from == n ? elements_[k].to : elements_[k].from;
                    if (!reached[static_cast<std::size_t>(other)]) {
                        reached[static_cast<std::size_t>(other)] = 1;
                        queue.push_back(other);
                    }
                }
            }
        };
        for (std::size_t i = 0; i < nodeCount_; ++i)
            if (role_[i] == Role::Tank) {
                reached[i] = 1;
                queue.push_back(static_cast<int>(i));
            }
        spread(false);
        for (std::size_t i = 0; i < nodeCount_; ++i)
            if (!reached[i]) role_[i] = Role::CutOff;
        // Active PRVs fix their outlets, one each, never a tank's.
        for (std::size_t k = 0; k < linkCount_; ++k) {
            if (mode_[k] != Mode::HoldsHead) continue;
            const auto out = static_cast<std::size_t>(elements_[k].to);
            if (role_[out] == Role::Free && role_[static_cast<std::size_t>(elements_[k].from)] != Role::CutOff) {
                role_[out] = Role::HeldByValve;
                head_[out] = SettingHead(k);
            } else {
                SetMode(k, Mode::Open, true);
            }
        }
        // Every free junction must reach a fixed head through open links.
        std::fill(reached.begin(), reached.end(), 0);
        for (std::size_t i = 0; i < nodeCount_; ++i)
            if (role_[i] == Role::Tank || role_[i] == Role::HeldByValve) {
                reached[i] = 1;
                queue.push_back(static_cast<int>(i));
            }
        spread(true);
        bool released = false;
        for (std::size_t k = 0; k < linkCount_; ++k) {
            if (mode_[k] != Mode::FixedFlow && mode_[k] != Mode::HoldsHead) continue;
            const auto a = static_cast<std::size_t>(elements_[k].from), b = static_cast<std::size_t>(elements_[k].to);
            const bool floating = (role_[a] == Role::Free && !reached[a]) || (role_[b] == Role::Free && !reached[b]);
            if (floating) {
                // An active PRV whose inlet has no head but through the valve
                // would be fed backwards: it closes.
                SetMode(k, mode_[k] == Mode::HoldsHead ? Mode::Closed : Mode::Open, true);
                released = true;
            }
        }
        if (!released) return;
    }
}

// Each open link's loss and slope at its flow.
void Solver::Evaluate() {
    const double density = net_.liquid.density;
    for (std::size_t k = 0; k < linkCount_; ++k) {
        if (mode_[k] != Mode::Open) continue;
        const LinkHead h = SafeLawOf(elements_[k], density, flow_[k], nullptr);
        loss_[k] = h.head;
        slope_[k] = h.slope;
    }
}

// One Newton pass: the heads of the free junctions from the linearised
// laws, then every flow.  False where the system could not be factorised.
bool Solver::Pass() {
    double largest = 0;
    for (std::size_t k = 0; k < linkCount_; ++k)
        if (mode_[k] == Mode::Open && std::isfinite(slope_[k])) largest = std::max(largest, slope_[k]);
    double headScale = 0;  // m
    for (std::size_t i = 0; i < nodeCount_; ++i)
        if (role_[i] != Role::CutOff) headScale = std::max(headScale, std::fabs(head_[i]));
    const double rounding = kFloorRounding * kEpsilon * headScale / FlowTolerance();
    const double floor = std::max({largest * kSlopeFloor, rounding, kSmallestSlope});
    for (std::size_t k = 0; k < linkCount_; ++k) {
        if (mode_[k] != Mode::Open) continue;
        double g = slope_[k];
        if (!(g >= floor)) g = floor;  // also where the slope is not a number
        p_[k] = 1.0 / g;
        c_[k] = flow_[k] - loss_[k] / g;
    }
    const std::vector<double> before = head_;
    if (!(HasHeldInlets() ? SolveHeldHeads() : SolveHeads())) return false;
    // Heads far beyond any the tanks and pumps could give come of a held
    // outlet that its inlet cannot feed: no pass.
    double reach = 0;
    for (std::size_t i = 0; i < nodeCount_; ++i)
        if (role_[i] != Role::CutOff) reach = std::max(reach, std::fabs(before[i]));
    for (const Element& e : elements_)
        if (e.kind == NetworkLinkKind::Pump) reach += std::fabs(e.curve->head(0.0));
    for (std::size_t i = 0; i < nodeCount_; ++i)
        if (role_[i] == Role::Free && !(std::fabs(head_[i]) <= 1e6 * std::max(reach, 1.0))) {
            head_ = before;
            return false;
        }
    double change = 0, total = 0;
    for (std::size_t k = 0; k < linkCount_; ++k) {
        const auto a = static_cast<std::size_t>(elements_[k].from), b = static_cast<std::size_t>(elements_[k].to);
        double q = flow_[k];
        if (role_[a] == Role::CutOff || role_[b] == Role::CutOff) {
            q = 0;
        } else if (mode_[k] == Mode::Open) {
            q = c_[k] + p_[k] * (head_[a] - head_[b]);
        } else if (mode_[k] == Mode::Closed) {
            q = 0;
        }
        change += std::fabs(q - flow_[k]);
        total += std::fabs(q);
        flow_[k] = q;
    }
    UpdateHeldValveFlows();
    // A flow a thousandth of the rounding of the largest is none: a dead
    // end's flow would otherwise shrink pass by pass into the smallest
    // numbers there are.
    const double none = 1e-3 * kEpsilon * MaxFlow();
    for (double& q : flow_)
        if (std::fabs(q) < none) q = 0;
    lastChange_ = total > 0 ? change / total : change;
    return true;
}

// The row whose equation takes a node's flow balance: a free junction's
// own; an active PRV's outlet's goes to its inlet's row, where the valve's
// flow, out of one and into the other, cancels; -1 where none does (a
// tank, or an inlet that is a tank).
int Solver::RowOf(std::size_t node, int depth) const {
    if (role_[node] == Role::Free) return static_cast<int>(node);
    if (role_[node] != Role::HeldByValve || depth > static_cast<int>(linkCount_)) return -1;
    for (int a = adjacencyStart_[node]; a < adjacencyStart_[node + 1]; ++a) {
        const auto k = static_cast<std::size_t>(adjacency_[static_cast<std::size_t>(a)]);
        if (mode_[k] == Mode::HoldsHead && elements_[k].to == static_cast<int>(node))
            return RowOf(static_cast<std::size_t>(elements_[k].from), depth + 1);
    }
    return -1;
}

bool Solver::HasHeldInlets() const {
    for (std::size_t i = 0; i < nodeCount_; ++i)
        if (role_[i] == Role::HeldByValve && RowOf(i, 0) >= 0) return true;
    return false;
}

// The heads where an active PRV's inlet is a junction: its outlet's balance
// joins its inlet's equation, for the valve passes what the outlet side
// draws and the inlet side must supply it.  Those equations are not
// symmetric (the outlet's neighbours appear in the inlet's row, not the
// other way round): a sparse LU factorisation solves them.
bool Solver::SolveHeldHeads() {
    const auto n = static_cast<Eigen::Index>(nodeCount_);
    std::vector<int> row(nodeCount_);
    for (std::size_t i = 0; i < nodeCount_; ++i) row[i] = RowOf(i, 0);
    std::vector<Eigen::Triplet<double>> entries;
    entries.reserve(nodeCount_ + 4 * linkCount_);
    Eigen::VectorXd rhs = Eigen::VectorXd::Zero(n);
    auto term = [&](int r, std::size_t node, double coefficient) {
        if (role_[node] == Role::Free) entries.emplace_back(r, static_cast<int>(node), coefficient);
        else rhs[r] -= coefficient * head_[node];
    };
    for (std::size_t i = 0; i < nodeCount_; ++i)
        if (row[i] >= 0) rhs[row[i]] -= net_.nodes[i].demand;
    for (std::size_t k = 0; k < linkCount_; ++k) {
        const auto a = static_cast<std::size_t>(elements_[k].from), b = static_cast<std::size_t>(elements_[k].to);
        if (role_[a] == Role::CutOff || role_[b] == Role::CutOff) continue;
        const int ra = row[a], rb = row[b];
        if (mode_[k] == Mode::Open) {
            const double p = p_[k], c = c_[k];
            if (ra >= 0) {
                rhs[ra] -= c;
                term(ra, a, p);
                term(ra, b, -p);
            }
            if (rb >= 0) {
                rhs[rb] += c;
                term(rb, a, -p);
                term(rb, b, p);
            }
            continue;
        }
        if (mode_[k] == Mode::HoldsHead && ra == rb) continue;
        if (ra >= 0) rhs[ra] -= flow_[k];
        if (rb >= 0) rhs[rb] += flow_[k];
    }
    for (std::size_t i = 0; i < nodeCount_; ++i)
        if (role_[i] != Role::Free) {
            entries.emplace_back(static_cast<int>(i), static_cast<int>(i), 1.0);
            rhs[static_cast<Eigen::Index>(i)] = head_[i];
        }
    Eigen::SparseMatrix<double> m(n, n);
    m.setFromTriplets(entries.begin(), entries.end());
    m.makeCompressed();
    Eigen::SparseLU<Eigen::SparseMatrix<double>, Eigen::COLAMDOrdering<int>> lu;
    lu.analyzePattern(m);
    lu.factorize(m);
    if (lu.info() != Eigen::Success) return false;
    const Eigen::VectorXd x = lu.solve(rhs);
    if (lu.info() != Eigen::Success) return false;
    for (std::size_t i = 0; i < nodeCount_; ++i)
        if (role_[i] == Role::Free) head_[i] = x[static_cast<Eigen::Index>(i)];
    return true;
}

// The heads from the symmetric node equations, on the pattern analysed
// once.
bool Solver::SolveHeads() {
    double* values = matrix_.valuePtr();
    std::fill(values, values + matrix_.nonZeros(), 0.0);
    for (std::size_t i = 0; i < nodeCount_; ++i)
        rhs_[static_cast<Eigen::Index>(i)] = role_[i] == Role::Free ? -net_.nodes[i].demand : 0.0;
    for (std::size_t k = 0; k < linkCount_; ++k) {
        const auto a = static_cast<std::size_t>(elements_[k].from), b = static_cast<std::size_t>(elements_[k].to);
        const bool freeA = role_[a] == Role::Free, freeB = role_[b] == Role::Free;
        if (role_[a] == Role::CutOff || role_[b] == Role::CutOff) continue;
        if (mode_[k] != Mode::Open) {
            const double q = flow_[k];
            if (freeA) rhs_[static_cast<Eigen::Index>(a)] -= q;
            if (freeB) rhs_[static_cast<Eigen::Index>(b)] += q;
            continue;
        }
        const double p = p_[k], c = c_[k];
        if (freeA) {
            values[diagonal_[a]] += p;
            rhs_[static_cast<Eigen::Index>(a)] -= c;
            if (!freeB) rhs_[static_cast<Eigen::Index>(a)] += p * head_[b];
        }
        if (freeB) {
            values[diagonal_[b]] += p;
            rhs_[static_cast<Eigen::Index>(b)] += c;
            if (!freeA) rhs_[static_cast<Eigen::Index>(b)] += p * head_[a];
        }
        if (freeA && freeB) values[offDiagonal_[k]] -= p;
    }
    for (std::size_t i = 0; i < nodeCount_; ++i)
        if (role_[i] != Role::Free) {
            values[diagonal_[i]] = 1.0;
            rhs_[static_cast<Eigen::Index>(i)] = head_[i];
        }
    ldlt_.factorize(matrix_);
    if (ldlt_.info() != Eigen::Success) return false;
    solution_ = ldlt_.solve(rhs_);
    if (ldlt_.info() != Eigen::Success) return false;
    for (std::size_t i = 0; i < nodeCount_; ++i)
        if (role_[i] == Role::Free) head_[i] = solution_[static_cast<Eigen::Index>(i)];
    return true;
}



// An active PRV passes what its outlet's other links and demand draw.
// Where one PRV feeds another's inlet, the sweeps let each see the other.
void Solver::UpdateHeldValveFlows() {
    std::vector<std::size_t> held;
    for (std::size_t k = 0; k < linkCount_; ++k)
        if (mode_[k] == Mode::HoldsHead) held.push_back(k);
    for (std::size_t sweep = 0; sweep < held.size(); ++sweep) {
        bool moved = false;
        for (std::size_t k : held) {
            const int out = elements_[k].to;
            double draw = net_.nodes[static_cast<std::size_t>(out)].demand;
            for (int a = adjacencyStart_[static_cast<std::size_t>(out)];
                 a < adjacencyStart_[static_cast<std::size_t>(out) + 1]; ++a) {
                const auto j = static_cast<std::size_t>(adjacency_[static_cast<std::size_t>(a)]);
                if (j == k) continue;
                if (elements_[j].from == out) draw += flow_[j];
                if (elements_[j].to == out) draw -= flow_[j];
            }
            if (draw != flow_[k]) moved = true;
            flow_[k] = draw;
        }
        if (!moved) break;
    }
}

double Solver::FlowTolerance() const { return std::max(kNetworkFlowTolerance * MaxFlow(), kNetworkFlowFloor); }

double Solver::MaxFlow() const {
    double largest = 0;
    for (double q : flow_) largest = std::max(largest, std::fabs(q));
    return largest;
}

double Solver::HeadRange() const {
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (std::size_t i = 0; i < nodeCount_; ++i)
        if (role_[i] != Role::CutOff) {
            lo = std::min(lo, head_[i]);
            hi = std::max(hi, head_[i]);
        }
    return hi > lo ? hi - lo : 0.0;
}

// The head balance a link may leave: the tolerance of the range, and the
// rounding of its end heads.
double Solver::HeadTolerance(std::size_t k, double range) const {
    const Element& e = elements_[k];
    return std::max(kNetworkHeadTolerance * range, kNetworkHeadFloor) +
           8 * kEpsilon * (std::fabs(head_[static_cast<std::size_t>(e.from)]) + std::fabs(head_[static_cast<std::size_t>(e.to)]));
}

// What flows into a junction less what leaves it (demand included), and
// the size of its terms for the rounding allowance.
double Solver::NodeImbalance(std::size_t i, double* scale) const {
    double sum = -net_.nodes[i].demand, size = std::fabs(net_.nodes[i].demand);
    for (int a = adjacencyStart_[i]; a < adjacencyStart_[i + 1]; ++a) {
        const auto k = static_cast<std::size_t>(adjacency_[static_cast<std::size_t>(a)]);
        const double q = flow_[k];
        if (elements_[k].to == static_cast<int>(i)) sum += q;
        if (elements_[k].from == static_cast<int>(i)) sum -= q;
        size += std::fabs(q);
    }
    *scale = size;
    return sum;
}

bool Solver::Converged(std::vector<int>* nodes, std::vector<int>* links, double* flowLeft, double* headLeft) const {
    const double range = HeadRange();
    const double flowTolerance = FlowTolerance();
    bool ok = true;
    *flowLeft = 0;
    *headLeft = 0;
    for (std::size_t i = 0; i < nodeCount_; ++i) {
        if (role_[i] != Role::Free) continue;
        double size = 0;
        const double left = std::fabs(NodeImbalance(i, &size));
        *flowLeft = std::max(*flowLeft, left);
        if (!(left <= flowTolerance + 16 * kEpsilon * size)) {
            ok = false;
            if (nodes) nodes->push_back(static_cast<int>(i));
        }
    }
    for (std::size_t k = 0; k < linkCount_; ++k) {
        if (mode_[k] != Mode::Open) continue;
        const auto a = static_cast<std::size_t>(elements_[k].from), b = static_cast<std::size_t>(elements_[k].to);
        if (role_[a] == Role::CutOff || role_[b] == Role::CutOff) continue;
        const double left = std::fabs(loss_[k] - (head_[a] - head_[b]));
        *headLeft = std::max(*headLeft, left);
        if (!(left <= HeadTolerance(k, range))) {
            ok = false;
            if (links) links->push_back(static_cast<int>(k));
        }
    }
    return ok;
}

// The net demand of the cut-off part around `node` (what leaves it).
double Solver::PartDemand(int node, std::vector<char>& seen) const {
    double demand = 0;
    std::vector<int> queue{node};
    seen[static_cast<std::size_t>(node)] = 1;
    while (!queue.empty()) {
        const auto n = static_cast<std::size_t>(queue.back());
        queue.pop_back();
        demand += net_.nodes[n].demand;
        for (int a = adjacencyStart_[n]; a < adjacencyStart_[n + 1]; ++a) {
            const auto k = static_cast<std::size_t>(adjacency_[static_cast<std::size_t>(a)]);
            if (mode_[k] == Mode::Closed) continue;
            const int other = elements_[k].from == static_cast<int>(n) ? elements_[k].to : elements_[k].from;
            if (!seen[static_cast<std::size_t>(other)]) {
                seen[static_cast<std::size_t>(other)] = 1;
                queue.push_back(other);
            }
        }
    }
    return demand;
}

// The states of check valves, pumps and regulating valves by their rules;
// true where one changed.
bool Solver::CheckStates() {
    const double range = HeadRange();
    const double flowTolerance = FlowTolerance();
    const double density = net_.liquid.density;
    bool changed = false;
    auto change = [&](std::size_t k, Mode m) {
        if (mode_[k] == m || changes_[k] >= kNetworkStateChanges) return;
        SetMode(k, m, true);
        changed = true;
    };
    for (std::size_t k = 0; k < linkCount_; ++k) {
        const Element& e = elements_[k];
        if (!e.automatic) continue;
        const auto a = static_cast<std::size_t>(e.from), b = static_cast<std::size_t>(e.to);
        const bool cutA = role_[a] == Role::CutOff, cutB = role_[b] == Role::CutOff;
        if (cutA && cutB) continue;
        const double q = flow_[k];
        const double htol = HeadTolerance(k, range);
        if (cutA || cutB) {
            // A closed link is the only way into or out of a cut-off part:
            // it opens where the part's demand would take a flow forwards.
            if (mode_[k] != Mode::Closed) continue;
            std::vector<char> seen(nodeCount_, 0);
            const double demand = PartDemand(cutB ? e.to : e.from, seen);
            if ((cutB ? demand : -demand) > 0) change(k, Mode::Open);
            continue;
        }
        const double dh = head_[a] - head_[b];
        switch (e.kind) {
            case NetworkLinkKind::Pipe:
            case NetworkLinkKind::CheckValve:
                if (mode_[k] == Mode::Open && q < -flowTolerance) change(k, Mode::Closed);
                else if (mode_[k] == Mode::Closed && dh > htol) change(k, Mode::Open);
                break;
            case NetworkLinkKind::Pump:
                if (mode_[k] == Mode::Open && q < -flowTolerance) change(k, Mode::Closed);
                else if (mode_[k] == Mode::Closed && -dh < e.curve->head(0.0) - htol) change(k, Mode::Open);
                break;
            case NetworkLinkKind::PressureReducingValve: {
                const double set = SettingHead(k);
                const double openLoss = LawOf(e, density, q, nullptr).head;
                switch (mode_[k]) {
                    case Mode::HoldsHead:
                        if (q < -flowTolerance) change(k, Mode::Closed);
                        else if (head_[a] - openLoss < set - htol) change(k, Mode::Open);
                        break;
                    case Mode::Open:
                        if (q < -flowTolerance) change(k, Mode::Closed);
                        else if (head_[b] > set + htol && role_[b] == Role::Free) change(k, Mode::HoldsHead);
                        break;
                    default:
                        if (head_[a] > set + htol && head_[b] < set - htol && role_[b] == Role::Free)
                            change(k, Mode::HoldsHead);
                        else if (head_[a] < set - htol && dh > htol)
                            change(k, Mode::Open);
                        break;
                }
                break;
            }
            case NetworkLinkKind::FlowControlValve: {
                const double openLoss = LawOf(e, density, e.setting, nullptr).head;
                if (mode_[k] == Mode::Open && q > e.setting + flowTolerance && dh >= 0)
                    change(k, Mode::FixedFlow);
                else if (mode_[k] == Mode::FixedFlow && dh < openLoss - htol)
                    change(k, Mode::Open);
                break;
            }
            default: break;
        }
    }
    return changed;
}

// A held link goes on to the side its head difference calls for; where
// that lies between its losses on either side, it tries each side once,
// and stays held after that.
bool Solver::CheckHolds() {
    const double range = HeadRange();
    const double density = net_.liquid.density;
    bool changed = false;
    for (std::size_t k = 0; k < linkCount_; ++k) {
        if (heldJump_[k] < 0) continue;
        const Element& e = elements_[k];
        const double jump = e.jumpFlow[heldJump_[k]];
        const double sign = flow_[k] < 0 ? -1.0 : 1.0;
        const double dh = sign * (head_[static_cast<std::size_t>(e.from)] - head_[static_cast<std::size_t>(e.to)]);
        const double below = std::fabs(LawOf(e, density, jump * (1 - kJumpSide), nullptr).head);
        const double above = std::fabs(LawOf(e, density, jump * (1 + kJumpSide), nullptr).head);
        const double htol = HeadTolerance(k, range);
        double to = 0;
        if (dh > below + htol) to = jump * (1 + kJumpRelease);
        else if (dh < above - htol) to = jump * (1 - kJumpRelease);
        // Between the two the link may balance on either side (held, the
        // rest settled, it may no longer swing): it tries the lower side,
        // as a run takes its lowest balancing flow, then the upper one.
        else if (releases_[k] < 2) to = jump * (releases_[k] == 0 ? 1 - kJumpRelease : 1 + kJumpRelease);
        if (to == 0 || changes_[k] >= kNetworkStateChanges) continue;
        SetMode(k, Mode::Open, true);
        ++releases_[k];
        crossings_[k] = {0, 0};
        flow_[k] = sign * to;
        zone_[k] = ZoneOf(e, density, flow_[k]);
        changed = true;
    }
    return changed;
}

// Counts each open link's crossings of its zone jumps; one that goes back
// and forth across a jump is held there.  True where one was.
bool Solver::WatchJumps() {
    const double density = net_.liquid.density;
    bool held = false;
    for (std::size_t k = 0; k < linkCount_; ++k) {
        const Element& e = elements_[k];
        if (!e.jumps || mode_[k] != Mode::Open) continue;
        const int zone = ZoneOf(e, density, flow_[k]);
        const int was = zone_[k];
        zone_[k] = zone;
        if (was < 0 || was == zone) continue;
        for (int j = std::min(was, zone); j < std::max(was, zone); ++j) ++crossings_[k][static_cast<std::size_t>(j)];
        for (int j = 0; j < 2; ++j) {
            if (crossings_[k][static_cast<std::size_t>(j)] < kJumpCrossings || changes_[k] >= kNetworkStateChanges)
                continue;
            const double sign = flow_[k] < 0 ? -1.0 : 1.0;
            SetMode(k, Mode::FixedFlow, true);
            heldJump_[k] = j;
            flow_[k] = sign * e.jumpFlow[j];
            held = true;
            break;
        }
    }
    return held;
}

NetworkResult Solver::Run() {
    UpdateRoles();
    Evaluate();
    bool polished = false;
    int iteration = 0;
    bool converged = false;
    while (iteration < kNetworkMaxIterations) {
        ++iteration;
        if (!Pass()) {
            // Where the node equations have no single solution with a PRV
            // holding (its inlet fed only around through its own outlet),
            // the valves with inlets among the junctions open, as they would
            // by their rules once their heads were known.
            bool opened = false;
            for (std::size_t k = 0; k < linkCount_; ++k)
                if (mode_[k] == Mode::HoldsHead && role_[static_cast<std::size_t>(elements_[k].from)] == Role::Free &&
                    changes_[k] < kNetworkStateChanges) {
                    SetMode(k, Mode::Open, true);
                    opened = true;
                }
            if (!opened) break;
            UpdateRoles();
            Evaluate();
            continue;
        }
        if (WatchJumps()) UpdateRoles();
        bool changed = false;
        Evaluate();
        double flowLeft = 0, headLeft = 0;
        converged = Converged(nullptr, nullptr, &flowLeft, &headLeft);
        if (converged || lastChange_ < kStateCheckChange) changed = CheckStates();
        if (converged && !changed) changed = CheckHolds();
        if (changed) {
            UpdateRoles();
            Evaluate();
            converged = false;
            polished = false;
            continue;
        }
        // One more pass once converged takes Newton's last step, which
        // leaves the balances at the rounding of the numbers.
        if (converged && polished) break;
        polished = converged;
    }
    if (converged && polished) return Results(iteration, true);
    // Within the last pass: converged, but no polish left.
    return Results(iteration, converged);
}

NetworkResult Solver::Results(int iterations, bool converged) {
    NetworkResult r;
    r.iterations = iterations;
    const double density = net_.liquid.density;
    std::vector<int> nodes, links;
    const bool settled = Converged(&nodes, &links, &r.flowImbalance, &r.headImbalance);
    if (!converged || !settled) {
        r.fault = NetworkFault::NoConvergence;
        r.unsettledNodes = nodes;
        r.unsettledLinks = links;
        // A state that still wants to change has not settled either.
        const std::vector<Mode> modes = mode_;
        const std::vector<int> counts = changes_, held = heldJump_;
        const std::vector<double> flows = flow_;
        std::fill(changes_.begin(), changes_.end(), 0);
        CheckStates();
        for (std::size_t k = 0; k < linkCount_; ++k)
            if (mode_[k] != modes[k] && std::find(links.begin(), links.end(), static_cast<int>(k)) == links.end())
                r.unsettledLinks.push_back(static_cast<int>(k));
        mode_ = modes;
        changes_ = counts;
        heldJump_ = held;
        flow_ = flows;
        std::sort(r.unsettledLinks.begin(), r.unsettledLinks.end());
    }
    r.nodes.resize(nodeCount_);
    for (std::size_t i = 0; i < nodeCount_; ++i) {
        if (role_[i] == Role::CutOff) {
            r.notes.push_back({NetworkNoteKind::NodeCutOff, static_cast<int>(i), -1, net_.nodes[i].demand, 0});
            continue;
        }
        r.nodes[i].energyHead = head_[i] + base_;
        r.nodes[i].pressure = HeadToPressureDrop(*r.nodes[i].energyHead - net_.nodes[i].elevation, rhoR_);
    }
    const std::optional<double> vapour = net_.liquid.vapourPressure;
    r.links.resize(linkCount_);
    for (std::size_t k = 0; k < linkCount_; ++k) {
        const Element& e = elements_[k];
        const NetworkLink& l = net_.links[k];
        LinkResult& out = r.links[k];
        const auto a = static_cast<std::size_t>(e.from), b = static_cast<std::size_t>(e.to);
        const bool cut = role_[a] == Role::CutOff || role_[b] == Role::CutOff;
        const double q = cut ? 0.0 : flow_[k];
        const double magnitude = std::fabs(q);
        out.flow = q;
        out.state = mode_[k] == Mode::Closed ? LinkState::Closed
                    : (mode_[k] == Mode::HoldsHead ||
                       (mode_[k] == Mode::FixedFlow && e.kind == NetworkLinkKind::FlowControlValve))
                        ? LinkState::Active
                        : LinkState::Open;
        const int k32 = static_cast<int>(k);
        if (e.diameterFrom > 0) out.velocity = VelocityFromFlow(magnitude, std::min(e.diameterFrom, e.diameterTo));
        double entryHead = 0, exitHead = 0;  // a pipe's, where its ends are tanks
        switch (e.kind) {
            case NetworkLinkKind::Pipe: {
                const SectionFlow at = PipeSectionAt(e.pipe, magnitude);
                out.reynolds = at.reynolds;
                out.friction = at.friction;
                out.zone = FlowRegimeOf(at.reynolds);
                out.frictionHead = at.frictionHead;
                out.fittingsHead = at.fittingsHead;
                if (e.tankFrom) (q >= 0 ? entryHead : exitHead) += std::fabs(VesselEndLaw(e.fromEnd, q).head);
                if (e.tankTo) (q > 0 ? exitHead : entryHead) += std::fabs(VesselEndLaw(e.toEnd, q).head);
                out.minorHead = entryHead + exitHead;
                break;
            }
            case NetworkLinkKind::Reducer: {
                const SectionFlow at = PipeSectionAt(e.pipe, magnitude);
                out.reynolds = at.reynolds;
                out.friction = at.friction;
                out.minorHead = std::fabs(TransitionLaw(e.transition, e.pipe, q).head);
                break;
            }
            case NetworkLinkKind::Pump: break;
            default: out.minorHead = std::fabs(LawOf(e, density, q, nullptr).head); break;
        }
        if (mode_[k] == Mode::Closed) out.minorHead = 0;
        out.headLoss = out.frictionHead + out.fittingsHead + out.minorHead;
        // Static pressures at both ends.
        if (e.diameterFrom > 0 && !cut) {
            for (bool atFrom : {true, false}) {
                const std::size_t n = atFrom ? a : b;
                const double v = VelocityFromFlow(magnitude, atFrom ? e.diameterFrom : e.diameterTo);
                double energy = head_[n] + base_;
                if (e.kind == NetworkLinkKind::Pipe && (atFrom ? e.tankFrom : e.tankTo)) {
                    const VesselEnd& end = atFrom ? e.fromEnd : e.toEnd;
                    // Leaving the tank: after the entry; entering it: before the exit.
                    const bool leaves = atFrom ? q >= 0 : q < 0;
                    const double h = FittingsHead(end.k(q), v);
                    energy = leaves ? energy - h : energy + h;
                }
                const double p = HeadToPressureDrop(energy - FittingsHead(1.0, v) - net_.nodes[n].elevation, rhoR_);
                (atFrom ? out.pressureFrom : out.pressureTo) = p;
                const double absolute = p + kAtmosphereBar;
                if (vapour && absolute < *vapour)
                    r.notes.push_back({NetworkNoteKind::BelowVapourPressure, static_cast<int>(n), k32, absolute, *vapour});
                else if (!vapour && absolute < 0)
                    r.notes.push_back({NetworkNoteKind::BelowAbsoluteZero, static_cast<int>(n), k32, absolute, 0});
            }
        }
        if (e.kind == NetworkLinkKind::Pipe && out.velocity && *out.velocity > kDesignVelocityLimit)
            r.notes.push_back({NetworkNoteKind::VelocityAboveLimit, -1, k32, *out.velocity, kDesignVelocityLimit});
        if (heldJump_[k] >= 0) {
            const double jump = e.jumpFlow[heldJump_[k]];
            const double sign = q < 0 ? -1.0 : 1.0;
            const double dh = sign * (head_[a] - head_[b]);
            const double below = std::fabs(LawOf(e, density, jump * (1 - kJumpSide), nullptr).head);
            const double above = std::fabs(LawOf(e, density, jump * (1 + kJumpSide), nullptr).head);
            r.notes.push_back({NetworkNoteKind::AtZoneJump, -1, k32, std::min(std::fabs(dh - below), std::fabs(dh - above)),
                               heldJump_[k] == 0 ? kLaminarLimit : kTurbulentLimit});
        }
        if (!e.automatic || cut) {
            if (e.kind != NetworkLinkKind::Pump) continue;
        }
        switch (e.kind) {
            case NetworkLinkKind::Pipe:
            case NetworkLinkKind::CheckValve:
                if (mode_[k] == Mode::Closed) r.notes.push_back({NetworkNoteKind::CheckValveClosed, -1, k32});
                break;
            case NetworkLinkKind::PressureReducingValve:
                if (mode_[k] == Mode::Closed) r.notes.push_back({NetworkNoteKind::PrvClosed, -1, k32});
                if (mode_[k] == Mode::Open && r.nodes[b].pressure)
                    r.notes.push_back({NetworkNoteKind::ValveCannotHold, -1, k32, *r.nodes[b].pressure, e.setting});
                break;
            case NetworkLinkKind::FlowControlValve:
                if (mode_[k] == Mode::Open && q < 0)
                    r.notes.push_back({NetworkNoteKind::FcvReverseFlow, -1, k32, q, e.setting});
                else if (mode_[k] == Mode::Open)
                    r.notes.push_back({NetworkNoteKind::ValveCannotHold, -1, k32, q, e.setting});
                break;
            default: break;
        }
        if (e.kind != NetworkLinkKind::Pump) continue;
        // The pump's duty.
        PumpResult pump;
        pump.link = k32;
        if (mode_[k] == Mode::Closed || cut) {
            if (e.automatic && !cut) r.notes.push_back({NetworkNoteKind::PumpClosed, -1, k32});
            r.pumps.push_back(pump);
            continue;
        }
        const NetworkPump& np = l.pump;
        pump.flow = q;
        pump.head = PumpLawBeyondEnds(*e.curve, q).head;
        out.headLoss = -*pump.head;
        if (q > e.curve->maxFlow())
            r.notes.push_back({NetworkNoteKind::PumpBeyondCurve, -1, k32, q, e.curve->maxFlow()});
        pump.fluidPowerW = FluidPowerW(rhoR_, q, *pump.head);
        if (np.efficiencyPercent) pump.shaftPowerW = pump.fluidPowerW / (*np.efficiencyPercent / 100.0);
        if (!vapour) {
            r.notes.push_back({NetworkNoteKind::NoVapourPressure, -1, k32});
        } else {
            pump.npshAvailable =
                PressureToHead(kAtmosphereBar - *vapour, rhoR_) + (head_[a] + base_ - net_.nodes[a].elevation);
            if (!np.npshRequired.empty()) {
                pump.npshRequired = NpshRequiredAt(np.npshRequired, np.speedRatio, q);
                if (!pump.npshRequired) {
                    r.notes.push_back({NetworkNoteKind::NpshRequiredOutside, -1, k32, q});
                } else {
                    pump.npshMargin = *pump.npshAvailable - *pump.npshRequired;
                    if (*pump.npshRequired > 0) pump.npshRatio = *pump.npshAvailable / *pump.npshRequired;
                    if (*pump.npshAvailable < *pump.npshRequired)
                        r.notes.push_back(
                            {NetworkNoteKind::NpshBelowRequired, -1, k32, *pump.npshAvailable, *pump.npshRequired});
                    else if (pump.npshRatio && *pump.npshRatio < np.marginRatio)
                        r.notes.push_back({NetworkNoteKind::NpshMarginLow, -1, k32, *pump.npshRatio, np.marginRatio});
                }
            }
        }
        r.pumps.push_back(pump);
    }
    return r;
}

}  // namespace

std::vector<NetworkDefectAt> NetworkTopologyFaults(const Network& net) {
    std::vector<NetworkDefectAt> faults;
    const auto n = static_cast<int>(net.nodes.size());
    if (std::none_of(net.nodes.begin(), net.nodes.end(), IsTank)) faults.push_back({NetworkDefect::NoTank});
    // Parts joined by links, by union and find.
    std::vector<int> parent(net.nodes.size());
    for (int i = 0; i < n; ++i) parent[static_cast<std::size_t>(i)] = i;
    auto root = [&](int i) {
        while (parent[static_cast<std::size_t>(i)] != i) {
            parent[static_cast<std::size_t>(i)] = parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(i)])];
            i = parent[static_cast<std::size_t>(i)];
        }
        return i;
    };
    for (std::size_t k = 0; k < net.links.size(); ++k) {
        const NetworkLink& l = net.links[k];
        if (l.from < 0 || l.from >= n || l.to < 0 || l.to >= n) {
            faults.push_back({NetworkDefect::NoSuchNode, -1, static_cast<int>(k)});
            continue;
        }
        if (l.from == l.to) {
            faults.push_back({NetworkDefect::LinkToItself, -1, static_cast<int>(k)});
            continue;
        }
        parent[static_cast<std::size_t>(root(l.from))] = root(l.to);
    }
    std::vector<char> hasTank(net.nodes.size(), 0);
    for (int i = 0; i < n; ++i)
        if (IsTank(net.nodes[static_cast<std::size_t>(i)])) hasTank[static_cast<std::size_t>(root(i))] = 1;
    const bool anyTank = std::any_of(hasTank.begin(), hasTank.end(), [](char c) { return c != 0; });
    for (int i = 0; anyTank && i < n; ++i)
        if (!hasTank[static_cast<std::size_t>(root(i))]) faults.push_back({NetworkDefect::PartWithoutTank, i});
    return faults;
}

NetworkResult SolveNetwork(const Network& network) {
    std::vector<NetworkDefectAt> defects = NetworkTopologyFaults(network);
    if (defects.empty()) defects = NumberDefects(network);
    if (!defects.empty()) {
        NetworkResult r;
        r.fault = NetworkFault::InvalidNetwork;
        r.defects = std::move(defects);
        return r;
    }
    Solver solver(network);
    return solver.Run();
}

RunAsNetwork NetworkFromRun(const PipeRun& run) {
    RunAsNetwork out;
    Network& net = out.network;
    net.liquid = {run.liquid.viscosity, run.liquid.density, run.liquid.vapourPressure};
    NetworkNode source;
    source.kind = NetworkNodeKind::Tank;
    source.elevation = run.startElevation;
    source.level = run.source.level;
    source.pressure = run.source.pressure;
    net.nodes.push_back(source);
    const std::size_t n = run.sections.size();
    const std::size_t pumpAfter = run.pump ? static_cast<std::size_t>(run.pump->afterSection) : 0;
    double elevation = run.startElevation;
    int at = 0;  // the node the next link leaves
    auto junction = [&] {
        NetworkNode j;
        j.elevation = elevation;
        net.nodes.push_back(j);
        return static_cast<int>(net.nodes.size()) - 1;
    };
    // The sink tank comes last; links to it are pointed at it afterwards.
    std::vector<std::size_t> toSink;
    auto addLink = [&](NetworkLink link) {
        net.links.push_back(std::move(link));
        return static_cast<int>(net.links.size()) - 1;
    };
    out.places.push_back({-1, 0, true});  // the inlet: after the entry, the first pipe's end at the source
    for (std::size_t i = 0; i < n; ++i) {
        const RunSection& s = run.sections[i];
        if (i > 0 && run.sections[i - 1].diameter != s.diameter) {
            NetworkLink r;
            r.kind = NetworkLinkKind::Reducer;
            r.from = at;
            r.to = junction();
            r.reducer.diameterFrom = run.sections[i - 1].diameter;
            r.reducer.diameterTo = s.diameter;
            r.reducer.form = s.transition;
            r.reducer.angle = s.angle;
            r.reducer.roughness = s.diameter < run.sections[i - 1].diameter ? s.roughness : run.sections[i - 1].roughness;
            at = r.to;
            addLink(r);
        }
        NetworkLink p;
        p.kind = NetworkLinkKind::Pipe;
        p.from = at;
        p.pipe.diameter = s.diameter;
        p.pipe.roughness = s.roughness;
        p.pipe.length = s.length;
        p.pipe.fittings = s.fittings;
        if (i == 0) p.pipe.entryK = run.entryK;
        elevation += s.rise;
        const bool last = i + 1 == n;
        if (last && pumpAfter != n) {
            p.pipe.exitK = run.exitK;
            toSink.push_back(static_cast<std::size_t>(addLink(p)));
            out.places.push_back({-1, static_cast<int>(net.links.size()) - 1, false});
            break;
        }
        p.to = junction();
        at = p.to;
        addLink(p);
        out.places.push_back({at, -1, false});
        if (i + 1 == pumpAfter) {
            NetworkLink pump;
            pump.kind = NetworkLinkKind::Pump;
            pump.from = at;
            pump.to = junction();
            pump.pump.curve = run.pump->curve;
            pump.pump.speedRatio = run.pump->speedRatio;
            pump.pump.efficiencyPercent = run.pump->efficiencyPercent;
            pump.pump.npshRequired = run.pump->npshRequired;
            pump.pump.marginRatio = run.pump->marginRatio;
            at = pump.to;
            out.pumpLink = addLink(pump);
            out.places.push_back({at, -1, false});
            if (last) {
                // The exit, carried by a pipe of no length.
                NetworkLink exit;
                exit.kind = NetworkLinkKind::Pipe;
                exit.from = at;
                exit.pipe.diameter = s.diameter;
                exit.pipe.roughness = s.roughness;
                exit.pipe.exitK = run.exitK;
                toSink.push_back(static_cast<std::size_t>(addLink(exit)));
            }
        }
    }
    NetworkNode sink;
    sink.kind = NetworkNodeKind::Tank;
    sink.elevation = elevation;
    sink.level = run.sink.level;
    sink.pressure = run.sink.pressure;
    net.nodes.push_back(sink);
    for (std::size_t k : toSink) net.links[k].to = static_cast<int>(net.nodes.size()) - 1;
    return out;
}

}  // namespace corvane
