#include "logic/engine/PipeRun.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "logic/engine/Units.h"

namespace corvane {
namespace {

double VelocityHead(double v) { return FittingsHead(1.0, v); }

// The run as the chain of elements a flow meets, worked out once: the
// entry from the source, each section with its fittings and the transition
// into it from the one before, the pump after its section, the exit into
// the sink.
struct RunElements {
    const PipeRun& run;
    double rhoR;                    // relative density
    double sourceHead, sinkHead;    // the surfaces' energy heads, m
    VesselEnd entry, exit;
    std::vector<PipeElement> pipes;
    std::vector<TransitionElement> transitions;  // [i]: into section i from i - 1; none at 0
    std::size_t pumpAfter;          // the pump's section, from 1; 0: no pump

    explicit RunElements(const PipeRun& r)
        : run(r),
          rhoR(r.liquid.density / 1000.0),
          sourceHead(r.source.level + PressureToHead(r.source.pressure, rhoR)),
          sinkHead(r.sink.level + PressureToHead(r.sink.pressure, rhoR)),
          pumpAfter(r.pump ? static_cast<std::size_t>(r.pump->afterSection) : 0) {
        const std::size_t n = r.sections.size();
        pipes.reserve(n);
        transitions.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const RunSection& s = r.sections[i];
            pipes.push_back(MakePipeElement(s.diameter, s.roughness, s.length, FittingsTotalK(s.fittings, s.diameter),
                                            r.liquid.viscosity, r.liquid.density));
            if (i > 0) transitions[i] = MakeTransition(r.sections[i - 1].diameter, s.diameter, s.transition, s.angle);
        }
        entry = {pipes.front().diameter, r.entryK, kExitK, true};
        // Flow back out of the sink would meet a sharp entrance; a run
        // never carries it.
        exit = {pipes.back().diameter, kSharpEntranceK, r.exitK, false};
    }
};

// The one walk over a run, from the source to the sink: the entry, section
// 1, then for each further section the transition into it (where the
// diameter changes) and the section, the pump after its section, the exit.
// Section i is taken at flow flowOf(i) (one flow for the whole run but for
// the bound of the losses); a transition at its smaller side's state.  The
// visitor is told, in that order:
//   entry(head, first section)   section(i, state)   transition(i, smaller side's state, K, head)
//   pump(i)                      exit(head, last section)
template <typename FlowOf, typename Visitor>
void WalkRun(const RunElements& e, const FlowOf& flowOf, Visitor& visit) {
    const std::size_t n = e.pipes.size();
    SectionFlow before = PipeSectionAt(e.pipes[0], flowOf(0));
    visit.entry(FittingsHead(e.entry.entranceK, before.velocity), before);
    visit.section(0, before);
    if (e.pumpAfter == 1) visit.pump(0);
    for (std::size_t i = 1; i < n; ++i) {
        const SectionFlow into = PipeSectionAt(e.pipes[i], flowOf(i));
        const TransitionElement& t = e.transitions[i];
        if (!t.none()) {
            const SectionFlow& smaller = t.contraction() ? into : before;
            const double k = TransitionK(t, smaller.friction);
            visit.transition(i, smaller, k, FittingsHead(k, smaller.velocity));
        }
        visit.section(i, into);
        if (i + 1 == e.pumpAfter) visit.pump(i);
        before = into;
    }
    visit.exit(FittingsHead(e.exit.exitK, before.velocity), before);
}

// Every loss of the run at flow q (m), the pump aside: the entry, the
// sections and transitions in turn, the exit.
double LossAt(const RunElements& e, double q) {
    struct Sum {
        double loss = 0;
        void entry(double h, const SectionFlow&) { loss = h; }
        void section(std::size_t, const SectionFlow& s) { loss += s.headLoss(); }
        void transition(std::size_t, const SectionFlow&, double, double h) { loss += h; }
        void pump(std::size_t) {}
        void exit(double h, const SectionFlow&) { loss += h; }
    } sum;
    WalkRun(e, [q](std::size_t) { return q; }, sum);
    return sum.loss;
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

void AddPumpNpsh(RunResult& r, const RunElements& e, double suctionFall) {
    const RunPump& pump = *e.run.pump;
    PumpDuty& d = *r.pump;
    const RunLiquid& liquid = e.run.liquid;
    if (!liquid.vapourPressure) {
        r.notes.push_back({RunNoteKind::NoVapourPressure});
        return;
    }
    d.npshAvailable = NpshAvailable(e.run.source.pressure, e.run.source.level, d.inletElevation, suctionFall,
                                    *liquid.vapourPressure, e.rhoR);
    if (pump.npshRequired.empty()) return;
    d.npshRequired = NpshRequiredAt(pump.npshRequired, pump.speedRatio, r.flow);
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

// The whole run at flow q: every section, transition and node, the pump's
// duty (its head from its curve) and the notes.  The energy head falls by
// each loss as the walk meets it and rises by the pump's head.
RunResult Evaluate(const RunElements& e, double q) {
    const PipeRun& run = e.run;
    struct Record {
        const RunElements& e;
        double q;
        RunResult r;
        double energy, losses = 0;
        double distance = 0, elevation;
        int faultSection = 0;  // the first section without a finite result, from 1
        double suctionFall = 0;  // the energy head's fall from the source to the pump inlet, m

        void node(NodeKind kind, std::size_t section, double v) {
            RunNode nd;
            nd.kind = kind;
            nd.section = static_cast<int>(section);
            nd.distance = distance;
            nd.elevation = elevation;
            nd.velocity = v;
            nd.energyHead = energy;
            nd.hydraulicHead = energy - VelocityHead(v);
            nd.pressure = HeadToPressureDrop(nd.hydraulicHead - elevation, e.rhoR);
            r.nodes.push_back(nd);
        }
        void entry(double h, const SectionFlow& first) {
            r.entryK = e.run.entryK;
            r.entryHead = h;
            energy -= h;
            node(NodeKind::Inlet, 1, first.velocity);
            losses = h;
        }
        void transition(std::size_t i, const SectionFlow& smaller, double k, double h) {
            const TransitionElement& te = e.transitions[i];
            TransitionLoss t;
            t.section = static_cast<int>(i) + 1;
            t.form = te.form;
            t.contraction = te.contraction();
            t.k = k;
            t.velocity = smaller.velocity;
            t.head = h;
            t.kOnSection = ChangeKBasis(k, std::min(te.from, te.to), te.to);
            energy -= h;
            losses += h;
            r.transitions.push_back(t);
        }
        void section(std::size_t i, const SectionFlow& s) {
            r.sections.push_back(s);
            if (faultSection) return;
            if (!Finite(s)) {
                faultSection = static_cast<int>(i) + 1;
                return;
            }
            energy -= s.headLoss();
            losses += s.headLoss();
            distance += e.run.sections[i].length;
            elevation += e.run.sections[i].rise;
            node(NodeKind::SectionEnd, i + 1, s.velocity);
        }
        void pump(std::size_t i) {
            if (faultSection) return;
            PumpDuty& d = r.pump.emplace();
            d.flow = q;
            d.head = e.run.pump->curve.head(q);
            // The losses before the pump summed: the entry, the sections,
            // the transitions.
            d.suctionLoss = r.entryHead;
            for (const SectionFlow& s : r.sections) d.suctionLoss += s.headLoss();
            for (const TransitionLoss& t : r.transitions) d.suctionLoss += t.head;
            d.inletElevation = elevation;
            suctionFall = e.sourceHead - energy;
            energy += d.head;
            node(NodeKind::PumpDischarge, i + 1, r.sections[i].velocity);
        }
        void exit(double h, const SectionFlow&) {
            r.exitK = e.run.exitK;
            r.exitHead = h;
            losses += h;
        }
    } rec{e, q, {}, e.sourceHead, 0, 0, run.startElevation};
    const std::size_t n = run.sections.size();
    rec.r.flow = q;
    rec.r.sourceHead = e.sourceHead;
    rec.r.sinkHead = e.sinkHead;
    rec.r.sections.reserve(n);
    rec.r.nodes.reserve(n + 2);
    WalkRun(e, [q](std::size_t) { return q; }, rec);
    if (rec.faultSection) return Faulted(RunFault::NoValidResult, rec.faultSection, q);
    RunResult& r = rec.r;
    r.totalHeadLoss = rec.losses;
    r.sinkMargin = rec.energy - r.exitHead - e.sinkHead;
    if (r.pump) {
        r.pump->fluidPowerW = FluidPowerW(e.rhoR, q, r.pump->head);
        if (run.pump->efficiencyPercent) r.pump->shaftPowerW = r.pump->fluidPowerW / (*run.pump->efficiencyPercent / 100.0);
    }
    AddNodeNotes(r, run.liquid);
    if (r.pump) AddPumpNpsh(r, e, rec.suctionFall);
    if (!std::isfinite(r.totalHeadLoss) || !std::isfinite(r.sinkMargin))
        return Faulted(RunFault::NoValidResult, static_cast<int>(n), q);
    return std::move(rec.r);
}

// The flows (l/min) between `from` and `to` at which a section's Reynolds
// number reaches a zone limit: there its friction factor, and so the run's
// losses, jump down.  Between two of them the losses rise steadily with
// the flow.
std::vector<double> ZoneLimitFlows(const RunElements& e, double from, double to) {
    std::vector<double> flows;
    for (const PipeElement& pipe : e.pipes)
        for (double limit : {kLaminarLimit, kTurbulentLimit}) {
            const double q = ZoneLimitFlow(pipe, limit);
            if (q > from && q < to) flows.push_back(q);
        }
    std::sort(flows.begin(), flows.end());
    flows.erase(std::unique(flows.begin(), flows.end()), flows.end());
    return flows;
}

// A bound of the run's losses at every flow up to x: each section's loss,
// and the transition into it, is greatest on [0, x] at x or just below one
// of the zone limits under x (of the smaller section, for a transition),
// for between them it rises with the flow.  Three walks take every section
// at its own such flows in turn (x where it has no further limit under x),
// a transition at its smaller side's; the entry and exit count at x.
double LossBoundTo(const RunElements& e, double x) {
    const std::size_t n = e.pipes.size();
    // peak[k][i]: section i's k-th flow where its loss may be greatest.
    std::array<std::vector<double>, 3> peak;
    peak[0].assign(n, x);
    for (std::size_t k = 1; k < 3; ++k) {
        peak[k].resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const double edge = ZoneLimitFlow(e.pipes[i], k == 1 ? kLaminarLimit : kTurbulentLimit);
            peak[k][i] = edge < x ? edge * (1 - kRunFlowTolerance) : x;
        }
    }
    struct Greatest {
        std::vector<double> sections, transitions;  // per section: its greatest loss, the transition into it's
        double entryHead = 0, exitHead = 0;
        bool atX = true;  // the walk at x for every section
        void entry(double h, const SectionFlow&) {
            if (atX) entryHead = h;
        }
        void section(std::size_t i, const SectionFlow& s) { sections[i] = std::max(sections[i], s.headLoss()); }
        void transition(std::size_t i, const SectionFlow&, double, double h) {
            transitions[i] = std::max(transitions[i], h);
        }
        void pump(std::size_t) {}
        void exit(double h, const SectionFlow&) {
            if (atX) exitHead = h;
        }
    } greatest{std::vector<double>(n, 0.0), std::vector<double>(n, 0.0)};
    for (std::size_t k = 0; k < 3; ++k) {
        greatest.atX = k == 0;
        const std::vector<double>& flows = peak[k];
        WalkRun(e, [&flows](std::size_t i) { return flows[i]; }, greatest);
    }
    double bound = greatest.entryHead + greatest.exitHead;
    for (std::size_t i = 0; i < n; ++i) bound += greatest.sections[i] + greatest.transitions[i];
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
    if (run.pump) {
        const PumpCurve& c = run.pump->curve;
        if (flow < c.minFlow() || flow > c.maxFlow()) return Faulted(RunFault::FlowOutsidePumpCurve, 0, flow);
    }
    return Evaluate(RunElements(run), flow);
}

RunResult SolveRunFlow(const PipeRun& run) {
    if (!ValidRun(run)) return Faulted(RunFault::InvalidRun);
    const RunElements p(run);
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
    std::vector<double> edges = ZoneLimitFlows(p, from, to);
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
    RunResult r = Evaluate(p, q);
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
