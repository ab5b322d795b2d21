#include "logic/engine/PipeRun.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "logic/engine/Units.h"

namespace corvane {
namespace {

double VelocityHead(double v) { return FittingsHead(1.0, v); }

// What a run's calculation needs at every flow, worked out once: per
// section its fittings' K, Haaland's roughness term and the transition
// into it (a sudden one's K, a conical one's geometry).
struct Prepared {
    const PipeRun& run;
    double rhoR;                    // relative density
    double sourceHead, sinkHead;    // the surfaces' energy heads, m
    std::vector<double> fittingsK, roughnessTerm, suddenK;
    std::vector<ConicalTransition> conical;

    explicit Prepared(const PipeRun& r)
        : run(r),
          rhoR(r.liquid.density / 1000.0),
          sourceHead(r.source.level + PressureToHead(r.source.pressure, rhoR)),
          sinkHead(r.sink.level + PressureToHead(r.sink.pressure, rhoR)) {
        const std::size_t n = r.sections.size();
        fittingsK.resize(n);
        roughnessTerm.resize(n);
        suddenK.resize(n);
        conical.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const RunSection& s = r.sections[i];
            fittingsK[i] = FittingsTotalK(s.fittings, s.diameter);
            roughnessTerm[i] = HaalandRoughnessTerm(s.diameter, s.roughness);
            if (i == 0) continue;
            const double from = r.sections[i - 1].diameter, to = s.diameter;
            if (s.transition == TransitionForm::Conical)
                conical[i] = to < from ? ConicalContraction(from, to, s.angle) : ConicalExpansion(from, to, s.angle);
            else
                suddenK[i] = to < from ? SuddenContractionK(from, to) : SuddenExpansionK(from, to);
        }
    }
};

// Section i at flow q, as the pressure drop panel calculates a liquid.
SectionFlow SectionAt(const Prepared& p, std::size_t i, double q) {
    const RunSection& s = p.run.sections[i];
    SectionFlow f;
    f.velocity = VelocityFromFlow(q, s.diameter);
    f.reynolds = ReynoldsNumber(f.velocity, s.diameter, p.run.liquid.viscosity * p.rhoR, p.rhoR);
    f.friction = FrictionFactorWithTerm(f.reynolds, p.roughnessTerm[i]);
    f.frictionHead = FrictionHeadLoss(f.velocity, s.diameter, s.length, f.friction);
    f.fittingsK = p.fittingsK[i];
    f.fittingsHead = FittingsHead(f.fittingsK, f.velocity);
    return f;
}

// The transition into section i (from 1 on) from section i - 1; nothing
// where the two have one diameter.
std::optional<TransitionLoss> TransitionAt(const Prepared& p, std::size_t i, const SectionFlow& before,
                                           const SectionFlow& into) {
    const RunSection& from = p.run.sections[i - 1];
    const RunSection& to = p.run.sections[i];
    if (from.diameter == to.diameter) return std::nullopt;
    TransitionLoss t;
    t.section = static_cast<int>(i) + 1;
    t.form = to.transition;
    const bool conical = to.transition == TransitionForm::Conical;
    t.contraction = to.diameter < from.diameter;
    // The smaller section's velocity and friction factor.
    const SectionFlow& smaller = t.contraction ? into : before;
    t.k = conical ? p.conical[i].k(smaller.friction) : p.suddenK[i];
    t.velocity = smaller.velocity;
    const double basis = t.contraction ? to.diameter : from.diameter;
    t.head = FittingsHead(t.k, t.velocity);
    t.kOnSection = ChangeKBasis(t.k, basis, to.diameter);
    return t;
}

// Every loss of the run at flow q (m), the pump aside.
double LossAt(const Prepared& p, double q) {
    const auto& sections = p.run.sections;
    SectionFlow before = SectionAt(p, 0, q);
    double loss = FittingsHead(p.run.entryK, before.velocity) + before.headLoss();
    for (std::size_t i = 1; i < sections.size(); ++i) {
        const SectionFlow into = SectionAt(p, i, q);
        if (const auto t = TransitionAt(p, i, before, into)) loss += t->head;
        loss += into.headLoss();
        before = into;
    }
    return loss + FittingsHead(p.run.exitK, before.velocity);
}

// NPSH required at flow q: the points moved by the speed ratio, straight
// lines between them; nothing outside their flows.
std::optional<double> NpshRequiredAt(const RunPump& pump, double q) {
    const auto& pts = pump.npshRequired;
    const double s = pump.speedRatio;
    if (pts.empty() || q < pts.front().flow * s || q > pts.back().flow * s) return std::nullopt;
    for (std::size_t i = 1; i < pts.size(); ++i) {
        const double q0 = pts[i - 1].flow * s, q1 = pts[i].flow * s;
        if (q <= q1) {
            const double h0 = pts[i - 1].head * s * s, h1 = pts[i].head * s * s;
            return h0 + (h1 - h0) * (q - q0) / (q1 - q0);
        }
    }
    return std::nullopt;
}

bool ValidRun(const PipeRun& run) {
    if (run.sections.empty() || !(run.liquid.viscosity > 0) || !(run.liquid.density > 0)) return false;
    for (const RunSection& s : run.sections)
        if (!(s.diameter > 0)) return false;
    return !run.pump ||
           (run.pump->afterSection >= 1 && run.pump->afterSection <= static_cast<int>(run.sections.size()));
}

RunResult Faulted(RunFault fault, int section = 0, double flow = 0) {
    RunResult r;
    r.fault = fault;
    r.faultSection = section;
    r.flow = flow;
    return r;
}

void AddNodeNotes(RunResult& r, const RunLiquid& liquid) {
    for (std::size_t i = 0; i < r.nodes.size(); ++i) {
        const double absolute = r.nodes[i].pressure + kAtmosphereBar;
        if (liquid.vapourPressure && absolute < *liquid.vapourPressure)
            r.notes.push_back({RunNoteKind::BelowVapourPressure, static_cast<int>(i), absolute, *liquid.vapourPressure});
        else if (!liquid.vapourPressure && absolute < 0)
            r.notes.push_back({RunNoteKind::BelowAbsoluteZero, static_cast<int>(i), absolute, 0});
    }
}

void AddPumpNpsh(RunResult& r, const Prepared& p, double suctionLoss, double pumpLevel) {
    const RunPump& pump = *p.run.pump;
    PumpDuty& d = *r.pump;
    const RunLiquid& liquid = p.run.liquid;
    if (!liquid.vapourPressure) {
        r.notes.push_back({RunNoteKind::NoVapourPressure});
        return;
    }
    d.npshAvailable = NpshAvailable(p.run.source.pressure, p.run.source.level, pumpLevel, suctionLoss,
                                    *liquid.vapourPressure, p.rhoR);
    if (pump.npshRequired.empty()) return;
    d.npshRequired = NpshRequiredAt(pump, r.flow);
    if (!d.npshRequired) {
        r.notes.push_back({RunNoteKind::NpshRequiredOutside, 0, r.flow});
        return;
    }
    d.npshMargin = *d.npshAvailable - *d.npshRequired;
    if (*d.npshRequired > 0) d.npshRatio = *d.npshAvailable / *d.npshRequired;
    if (*d.npshAvailable < *d.npshRequired)
        r.notes.push_back({RunNoteKind::NpshBelowRequired, 0, *d.npshAvailable, *d.npshRequired});
    else if (d.npshRatio && *d.npshRatio < pump.marginRatio)
        r.notes.push_back({RunNoteKind::NpshMarginLow, 0, *d.npshRatio, pump.marginRatio});
}

bool Finite(const SectionFlow& s) {
    return std::isfinite(s.velocity) && std::isfinite(s.reynolds) && std::isfinite(s.friction) &&
           std::isfinite(s.frictionHead) && std::isfinite(s.fittingsHead);
}

// The whole run at flow q with the pump's head h (when it has a pump).
RunResult Evaluate(const Prepared& p, double q, double pumpHead) {
    const PipeRun& run = p.run;
    RunResult r;
    r.flow = q;
    r.sourceHead = p.sourceHead;
    r.sinkHead = p.sinkHead;
    const std::size_t n = run.sections.size();
    const std::size_t pumpAfter = run.pump ? static_cast<std::size_t>(run.pump->afterSection) : 0;
    r.sections.reserve(n);
    r.nodes.reserve(n + 2);

    double energy = p.sourceHead;
    double distance = 0, elevation = run.startElevation;
    auto node = [&](NodeKind kind, std::size_t section, double v) {
        RunNode nd;
        nd.kind = kind;
        nd.section = static_cast<int>(section);
        nd.distance = distance;
        nd.elevation = elevation;
        nd.velocity = v;
        nd.energyHead = energy;
        nd.hydraulicHead = energy - VelocityHead(v);
        nd.pressure = HeadToPressureDrop(nd.hydraulicHead - elevation, p.rhoR);
        r.nodes.push_back(nd);
    };

    r.sections.push_back(SectionAt(p, 0, q));
    r.entryK = run.entryK;
    r.entryHead = FittingsHead(run.entryK, r.sections[0].velocity);
    energy -= r.entryHead;
    node(NodeKind::Inlet, 1, r.sections[0].velocity);
    double losses = r.entryHead;
    double suctionLoss = 0, pumpLevel = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0) {
            r.sections.push_back(SectionAt(p, i, q));
            if (auto t = TransitionAt(p, i, r.sections[i - 1], r.sections[i])) {
                energy -= t->head;
                losses += t->head;
                r.transitions.push_back(*t);
            }
        }
        const SectionFlow& s = r.sections[i];
        if (!Finite(s)) return Faulted(RunFault::NoValidResult, static_cast<int>(i) + 1, q);
        energy -= s.headLoss();
        losses += s.headLoss();
        distance += run.sections[i].length;
        elevation += run.sections[i].rise;
        node(NodeKind::SectionEnd, i + 1, s.velocity);
        if (i + 1 == pumpAfter) {
            r.pump = PumpDuty{};
            r.pump->flow = q;
            r.pump->head = pumpHead;
            suctionLoss = p.sourceHead - energy;
            pumpLevel = elevation;
            energy += pumpHead;
            node(NodeKind::PumpDischarge, i + 1, s.velocity);
        }
    }
    r.exitK = run.exitK;
    r.exitHead = FittingsHead(run.exitK, r.sections.back().velocity);
    losses += r.exitHead;
    r.totalHeadLoss = losses;
    r.sinkMargin = energy - r.exitHead - p.sinkHead;
    if (r.pump) {
        r.pump->fluidPowerW = FluidPowerW(p.rhoR, q, pumpHead);
        if (run.pump->efficiencyPercent) r.pump->shaftPowerW = r.pump->fluidPowerW / (*run.pump->efficiencyPercent / 100.0);
    }
    AddNodeNotes(r, run.liquid);
    if (r.pump) AddPumpNpsh(r, p, suctionLoss, pumpLevel);
    if (!std::isfinite(r.totalHeadLoss) || !std::isfinite(r.sinkMargin))
        return Faulted(RunFault::NoValidResult, static_cast<int>(n), q);
    return r;
}

// The flows (l/min) at which a section's Reynolds number reaches a zone
// limit: there its friction factor, and so the run's losses, jump down.
// Between two of them the losses rise steadily with the flow.
double ZoneLimitFlow(const PipeRun& run, const RunSection& s, double limit) {
    return FlowFromVelocity(limit * run.liquid.viscosity / s.diameter * 1000.0 / 1e6, s.diameter);
}

std::vector<double> ZoneLimitFlows(const PipeRun& run, double from, double to) {
    std::vector<double> flows;
    for (const RunSection& s : run.sections)
        for (double limit : {kLaminarLimit, kTurbulentLimit}) {
            const double q = ZoneLimitFlow(run, s, limit);
            if (q > from && q < to) flows.push_back(q);
        }
    std::sort(flows.begin(), flows.end());
    flows.erase(std::unique(flows.begin(), flows.end()), flows.end());
    return flows;
}

// A bound of the run's losses at every flow up to x: each section's loss,
// and the transition into it, is greatest on [0, x] at x or just below one
// of the zone limits under x (of the smaller section, for a transition),
// for between them it rises with the flow.
double LossBoundTo(const Prepared& p, double x) {
    const auto& sections = p.run.sections;
    // The flows where section i's friction factor may make its loss greatest.
    auto peaks = [&](std::size_t i, std::array<double, 3>& q) {
        std::size_t n = 0;
        q[n++] = x;
        for (double limit : {kLaminarLimit, kTurbulentLimit}) {
            const double e = ZoneLimitFlow(p.run, sections[i], limit);
            if (e < x) q[n++] = e * (1 - kRunFlowTolerance);
        }
        return n;
    };
    std::array<double, 3> q{};
    double bound = FittingsHead(p.run.entryK, SectionAt(p, 0, x).velocity) +
                   FittingsHead(p.run.exitK, SectionAt(p, sections.size() - 1, x).velocity);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        double section = 0, transition = 0;
        for (std::size_t k = 0, n = peaks(i, q); k < n; ++k) section = std::max(section, SectionAt(p, i, q[k]).headLoss());
        if (i > 0 && sections[i].diameter != sections[i - 1].diameter) {
            const std::size_t smaller = sections[i].diameter < sections[i - 1].diameter ? i : i - 1;
            for (std::size_t k = 0, n = peaks(smaller, q); k < n; ++k)
                transition = std::max(transition, TransitionAt(p, i, SectionAt(p, i - 1, q[k]), SectionAt(p, i, q[k]))->head);
        }
        bound += section + transition;
    }
    return bound;
}

// The flow between lo and hi at which `excess` (falling with the flow from
// atLo > 0 at lo to atHi <= 0 at hi) passes 0, to kRunFlowTolerance of the
// flow: regula falsi with the Illinois step (the end that stays has its
// excess halved), every fourth step a bisection; then the straight line
// through the last two ends.
template <typename Excess>
double FindFlow(double lo, double hi, double atLo, double atHi, const Excess& excess) {
    int kept = 0;  // +1: lo moved last, -1: hi moved last
    for (int pass = 0; hi - lo > kRunFlowTolerance * hi && pass < 200; ++pass) {
        double q = pass % 4 == 3 ? 0.5 * (lo + hi) : hi - atHi * (hi - lo) / (atHi - atLo);
        if (!(q > lo && q < hi)) q = 0.5 * (lo + hi);
        const double at = excess(q);
        if (at > 0) {
            lo = q;
            atLo = at;
            if (kept == 1) atHi *= 0.5;
            kept = 1;
        } else {
            hi = q;
            atHi = at;
            if (kept == -1) atLo *= 0.5;
            kept = -1;
        }
    }
    const double q = lo + (hi - lo) * atLo / (atLo - atHi);
    return q >= lo && q <= hi ? q : 0.5 * (lo + hi);
}

}  // namespace

double NpshAvailable(double sourcePressure, double sourceLevel, double pumpLevel, double suctionLoss,
                     double vapourPressure, double rhoR) {
    return PressureToHead(sourcePressure + kAtmosphereBar - vapourPressure, rhoR) + (sourceLevel - pumpLevel) -
           suctionLoss;
}

RunResult SolveRunAtFlow(const PipeRun& run, double flow) {
    if (!ValidRun(run) || !(flow > 0) || !std::isfinite(flow)) return Faulted(RunFault::InvalidRun);
    const Prepared p(run);
    double head = 0;
    if (run.pump) {
        const PumpCurve& c = run.pump->curve;
        if (flow < c.minFlow() || flow > c.maxFlow()) return Faulted(RunFault::FlowOutsidePumpCurve, 0, flow);
        head = c.head(flow);
    }
    return Evaluate(p, flow, head);
}

RunResult SolveRunFlow(const PipeRun& run) {
    if (!ValidRun(run)) return Faulted(RunFault::InvalidRun);
    const Prepared p(run);
    const double difference = p.sourceHead - p.sinkHead;
    const PumpCurve* curve = run.pump ? &run.pump->curve : nullptr;
    // What is left at the sink at flow q: falls with the flow between the
    // zone limits, jumps up at them.
    auto excess = [&](double q) { return difference + (curve ? curve->head(q) : 0.0) - LossAt(p, q); };
    double from = 0, to = 0;
    if (curve) {
        from = curve->minFlow();
        to = curve->maxFlow();
    } else {
        if (!(difference > 0)) return Faulted(RunFault::NoHeadDifference);
        double smallest = run.sections.front().diameter;
        for (const RunSection& s : run.sections) smallest = std::min(smallest, s.diameter);
        // First guess: the flow whose velocity head in the narrowest
        // section is the whole difference; then doubled until the losses
        // reach it.
        to = FlowFromVelocity(std::sqrt(2.0 * kGravity * difference), smallest);
        while (std::isfinite(to) && excess(to) > 0) to *= 2.0;
        if (!std::isfinite(to)) return Faulted(RunFault::NoBalancingFlow);
    }
    const double atFrom = excess(from), atTo = excess(to);
    if (!std::isfinite(atFrom) || !std::isfinite(atTo)) return Faulted(RunFault::NoValidResult);
    if (!(atFrom > 0))
        return Faulted(!curve ? RunFault::NoBalancingFlow
                              : from == 0 ? RunFault::PumpCannotOvercome : RunFault::PumpCurvesDoNotMeet);
    // The excess falls with the flow between zone limits and jumps up at
    // each, so a bracketed search ends at a flow that balances the run; it
    // is the lowest where a bound of the losses leaves something at every
    // flow up to the last zone limit under it.  Otherwise the lowest lies
    // in the first stretch between zone limits whose end has nothing left.
    std::vector<double> edges = ZoneLimitFlows(run, from, to);
    edges.push_back(to);
    auto below = [&](std::size_t k) { return k + 1 == edges.size() ? to : edges[k] * (1 - kRunFlowTolerance); };
    auto above = [&](std::size_t k) { return edges[k] * (1 + kRunFlowTolerance); };
    std::optional<double> found;
    std::size_t k = 0;
    if (atTo <= 0) {
        found = FindFlow(from, to, atFrom, atTo, excess);
        k = static_cast<std::size_t>(std::lower_bound(edges.begin(), edges.end(), *found) - edges.begin());
        if (k > 0) {
            const double x = edges[k - 1];
            if (!(difference + (curve ? curve->head(x) : 0.0) - LossBoundTo(p, x) * (1 + 1e-6) > 0)) found.reset();
        }
    }
    double a = from, atA = atFrom, b = 0, atB = 0;
    for (k = found ? k : 0; !found && k < edges.size(); ++k) {
        b = below(k);
        atB = excess(b);
        if (!std::isfinite(atB)) return Faulted(RunFault::NoValidResult);
        if (atB <= 0) break;
        a = above(k);
        atA = excess(a);
    }
    if (k == edges.size()) return Faulted(curve ? RunFault::PumpCurvesDoNotMeet : RunFault::NoBalancingFlow);
    const double q = found ? *found : FindFlow(a, b, atA, atB, excess);
    RunResult r = Evaluate(p, q, curve ? curve->head(q) : 0.0);
    for (std::size_t j = k; !r.fault && j + 1 < edges.size(); ++j) {
        if (!(excess(above(j)) > 0)) continue;
        for (std::size_t end = j + 1; end < edges.size(); ++end)
            if (excess(below(end)) <= 0) {
                r.notes.push_back({RunNoteKind::AnotherFlow, 0, above(j), below(end)});
                break;
            }
        break;
    }
    return r;
}

}  // namespace corvane
