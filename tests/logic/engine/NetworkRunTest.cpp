// A run is a chain of a network: the network made of a run gives the run's
// flow, the energy heads of its nodes (the static pressures where a node is
// the end of a pipe at a tank) and the pump's NPSH available, to 1e-9,
// wherever the run has one balance.  Over the example runs and the help's
// worked run, read through the run files' reader, and 200 generated runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <variant>

#include "logic/engine/Network.h"
#include "logic/io/DataFiles.h"
#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/model/data/PipeDatabaseModel.h"
#include "logic/model/runs/RunCalculation.h"
#include "logic/text/Locale.h"

namespace corvane {
namespace {

bool OneBalance(const RunResult& r) {
    return !r.fault && std::none_of(r.notes.begin(), r.notes.end(),
                                    [](const RunNote& n) { return n.kind == RunNoteKind::AnotherFlow; });
}

// Compares the network of `run` with the run's own solution; the number
// of values compared.
int ExpectRunAgrees(const PipeRun& run, const std::string& name) {
    const RunResult expected = SolveRunFlow(run);
    if (!OneBalance(expected)) return 0;
    const RunAsNetwork chain = NetworkFromRun(run);
    const NetworkResult got = SolveNetwork(chain.network);
    EXPECT_FALSE(got.fault) << name;
    if (got.fault) return 0;
    double scale = std::max(std::fabs(expected.sourceHead), std::fabs(expected.sinkHead));
    for (const RunNode& n : expected.nodes) scale = std::max(scale, std::fabs(n.energyHead));
    const double rhoR = run.liquid.density / 1000.0;
    const double pressureScale = HeadToPressureDrop(scale, rhoR);
    int compared = 0;
    for (const NetworkLink& l : chain.network.links) {
        const auto k = static_cast<std::size_t>(&l - chain.network.links.data());
        EXPECT_NEAR(got.links[k].flow, expected.flow, 1e-9 * expected.flow) << name << " link " << k;
        ++compared;
    }
    EXPECT_EQ(chain.places.size(), expected.nodes.size()) << name;
    for (std::size_t i = 0; i < std::min(chain.places.size(), expected.nodes.size()); ++i) {
        const RunPlace& p = chain.places[i];
        const RunNode& n = expected.nodes[i];
        if (p.node >= 0) {
            const NodeResult& node = got.nodes[static_cast<std::size_t>(p.node)];
            EXPECT_TRUE(node.energyHead) << name;
            if (!node.energyHead) return compared;
            EXPECT_NEAR(*node.energyHead, n.energyHead, 1e-9 * scale) << name << " node " << i;
            EXPECT_EQ(chain.network.nodes[static_cast<std::size_t>(p.node)].elevation, n.elevation) << name;
        } else {
            const LinkResult& link = got.links[static_cast<std::size_t>(p.link)];
            const std::optional<double> pressure = p.atFrom ? link.pressureFrom : link.pressureTo;
            EXPECT_TRUE(pressure) << name;
            if (!pressure) return compared;
            EXPECT_NEAR(*pressure, n.pressure, 1e-9 * pressureScale) << name << " node " << i;
        }
        ++compared;
    }
    if (expected.pump) {
        EXPECT_EQ(got.pumps.size(), 1u) << name;
        if (got.pumps.size() != 1u) return compared;
        const PumpResult& pump = got.pumps[0];
        EXPECT_EQ(pump.link, chain.pumpLink);
        EXPECT_TRUE(pump.head) << name;
        if (!pump.head) return compared;
        EXPECT_NEAR(*pump.head, expected.pump->head, 1e-9 * scale) << name;
        EXPECT_EQ(pump.npshAvailable.has_value(), expected.pump->npshAvailable.has_value()) << name;
        if (pump.npshAvailable && expected.pump->npshAvailable)
            EXPECT_NEAR(*pump.npshAvailable, *expected.pump->npshAvailable, 1e-9 * scale) << name;
        if (pump.npshRequired && expected.pump->npshRequired)
            EXPECT_NEAR(*pump.npshRequired, *expected.pump->npshRequired, 1e-9 * scale) << name;
        compared += 2;
    }
    return compared;
}

TEST(NetworkOfRun, ExamplesAndTheWorkedRun) {
    DataTable fluids(kFluidSlots), pipes(kPipeSlots);
    ASSERT_FALSE(DataFiles(CORVANE_DATA, kFluidStockFile, "none", "none").fill(fluids, DotLocale(), true, false));
    ASSERT_FALSE(DataFiles(CORVANE_DATA, kPipeStockFile, "none", "none").fill(pipes, DotLocale(), false, true));
    const RunDataBases bases{[&] { return &fluids; }, [&] { return &pipes; }};
    int runs = 0;
    for (const char* path : {CORVANE_EXAMPLES "/pump-suction-lift.cvrun", CORVANE_EXAMPLES "/pump-cavitating.cvrun",
                             CORVANE_DATA "/help/worked-run.cvrun"}) {
        const auto loaded = LoadRunFile(path);
        ASSERT_TRUE(std::holds_alternative<RunDocument>(loaded)) << std::get<std::string>(loaded);
        const RunOutcome outcome = CalculateRun(std::get<RunDocument>(loaded), bases, DotLocale());
        ASSERT_EQ(outcome.status, RunStatus::Ok) << path << ": " << outcome.message;
        EXPECT_GT(ExpectRunAgrees(outcome.run, path), 0) << path << " has one balance";
        ++runs;
    }
    EXPECT_EQ(runs, 3);
}

// A small generator of its own, so that the runs are the same everywhere.
class Draw {
public:
    explicit Draw(std::uint64_t seed) : state_(seed) {}
    double uniform(double lo, double hi) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return lo + (hi - lo) * static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }
    int below(int n) { return std::min(n - 1, static_cast<int>(uniform(0, n))); }

private:
    std::uint64_t state_;
};

PipeRun GeneratedRun(Draw& draw) {
    PipeRun run;
    const bool oil = draw.below(3) == 0;
    run.liquid = oil ? RunLiquid{draw.uniform(20, 400), 880, 0.01} : RunLiquid{1.004, 998.2, 0.0234};
    if (draw.below(5) == 0) run.liquid.vapourPressure.reset();
    const double sizes[] = {15.8, 26.6, 40.9, 52.5, 77.9, 102.3, 154.1};
    const int n = 1 + draw.below(8);
    double d = sizes[draw.below(7)];
    for (int i = 0; i < n; ++i) {
        RunSection s;
        if (draw.below(3) == 0) d = sizes[draw.below(7)];
        s.diameter = d;
        s.roughness = draw.below(4) == 0 ? 0.0015 : 0.046;
        s.length = draw.below(6) == 0 ? 0 : draw.uniform(1, 200);
        s.rise = draw.uniform(-10, 10);
        s.fittings.counts[0] = draw.below(4);
        s.fittings.extraK = draw.below(2) ? draw.uniform(0, 5) : 0;
        s.transition = draw.below(2) ? TransitionForm::Conical : TransitionForm::Sudden;
        s.angle = draw.uniform(5, 120);
        run.sections.push_back(s);
    }
    run.startElevation = draw.uniform(-5, 5);
    run.source = {draw.uniform(-0.5, 2), draw.uniform(0, 20)};
    run.sink = {draw.uniform(-0.5, 2), draw.uniform(0, 20)};
    run.entryK = draw.uniform(0.03, 1);
    run.exitK = draw.uniform(0.5, 1);
    if (draw.below(2)) {
        RunPump p;
        const double h0 = draw.uniform(20, 80), q1 = draw.uniform(100, 2000);
        switch (draw.below(3)) {
            case 0: p.curve = MakePumpCurve({{q1, h0 * 0.75}}).curve; break;
            case 1: p.curve = MakePumpCurve({{0, h0}, {q1, 0.8 * h0}, {2 * q1, 0.4 * h0}}).curve; break;
            default: p.curve = MakePumpCurve({{0, h0}, {q1, 0.9 * h0}, {2 * q1, 0.6 * h0}, {3 * q1, 0.2 * h0}}).curve;
        }
        p.afterSection = 1 + draw.below(n);
        if (draw.below(2)) p.npshRequired = {{0, 1}, {4 * q1, 8}};
        p.efficiencyPercent = 70;
        run.pump = p;
    } else if (run.source.level + 15 < run.sink.level + 20) {
        run.source.level += 25;  // something to drive the flow
    }
    return run;
}

TEST(NetworkOfRun, GeneratedRunsWithOneBalance) {
    Draw draw(36);
    int agreeing = 0, compared = 0;
    for (int i = 0; i < 200; ++i) {
        const PipeRun run = GeneratedRun(draw);
        const int c = ExpectRunAgrees(run, "generated run " + std::to_string(i));
        if (c) ++agreeing;
        compared += c;
    }
    // Most generated runs have one balance; the others are left to the runs.
    EXPECT_GT(agreeing, 150);
    RecordProperty("runs_compared", agreeing);
    RecordProperty("values_compared", compared);
}

// Where a run's pump cannot overcome the sink, the network's pump is closed
// and nothing flows.
TEST(NetworkOfRun, PumpThatCannotOvercomeTheSinkIsClosed) {
    PipeRun run;
    run.liquid = {1.004, 998.2, 0.0234};
    run.source = {0, 0};
    run.sink = {0, 60};
    RunSection s;
    s.diameter = 52.5;
    s.roughness = 0.046;
    s.length = 20;
    run.sections = {s, s};
    RunPump p;
    p.curve = MakePumpCurve({{0, 40}, {500, 30}, {1000, 10}}).curve;
    p.afterSection = 1;
    run.pump = p;
    ASSERT_EQ(SolveRunFlow(run).fault, RunFault::PumpCannotOvercome);
    const RunAsNetwork chain = NetworkFromRun(run);
    const NetworkResult got = SolveNetwork(chain.network);
    ASSERT_FALSE(got.fault);
    EXPECT_EQ(got.links[static_cast<std::size_t>(chain.pumpLink)].state, LinkState::Closed);
    // Nothing flows, to the solver's tolerance where nothing flows at all.
    for (const LinkResult& l : got.links) EXPECT_LE(std::fabs(l.flow), kNetworkFlowFloor);
    ASSERT_EQ(got.notes.size(), 1u);
    EXPECT_EQ(got.notes[0].kind, NetworkNoteKind::PumpClosed);
}

}  // namespace
}  // namespace corvane
