// Timings of the network solver: a 100-link looped network, and a
// generated grid of 10,000 links, each for a viscous oil (laminar
// everywhere) and for water (turbulent mains, and small flows across the
// grid whose Reynolds numbers lie about the zone jumps at 2300 and 3500).

#include <benchmark/benchmark.h>

#include <cstdint>

#include "logic/engine/Network.h"

namespace corvane {
namespace {

// A grid of rows x columns junctions joined by pipes along its rows and
// columns, fed by three tanks at its corners; every junction draws a
// demand.  Pipe diameters and lengths vary from pipe to pipe.
Network Grid(int rows, int columns, bool oil) {
    Network net;
    net.liquid = oil ? NetworkLiquid{220.0, 880.0, 0.01} : NetworkLiquid{1.004, 998.2, 0.0234};
    const double sizes[] = {26.6, 40.9, 52.5, 62.7};
    const double demand = oil ? 0.4 : 0.9;  // l/min each
    std::uint64_t state = 36;
    auto draw = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            NetworkNode j;
            j.elevation = 2.0 * draw();
            j.demand = demand * (0.5 + draw());
            net.nodes.push_back(j);
        }
    auto pipe = [&](int a, int b) {
        NetworkLink l;
        l.from = a;
        l.to = b;
        l.pipe.diameter = sizes[static_cast<int>(draw() * 4) % 4];
        l.pipe.roughness = 0.046;
        l.pipe.length = 20 + 80 * draw();
        l.pipe.fittings.extraK = draw() < 0.3 ? 2.0 : 0.0;
        net.links.push_back(l);
    };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const int n = r * columns + c;
            if (c + 1 < columns) pipe(n, n + 1);
            if (r + 1 < rows) pipe(n, n + columns);
        }
    const int corners[] = {0, columns - 1, rows * columns - 1};
    for (int k = 0; k < 3; ++k) {
        NetworkNode t;
        t.kind = NetworkNodeKind::Tank;
        t.level = 40 + 5 * k;
        t.elevation = 35;
        net.nodes.push_back(t);
        NetworkLink feed;
        feed.from = static_cast<int>(net.nodes.size()) - 1;
        feed.to = corners[k];
        feed.pipe.diameter = oil ? 154.1 : 102.3;
        feed.pipe.roughness = 0.046;
        feed.pipe.length = 50;
        net.links.push_back(feed);
    }
    return net;
}

void Solve(benchmark::State& state, const Network& net) {
    NetworkResult r;
    for (auto _ : state) {
        r = SolveNetwork(net);
        benchmark::DoNotOptimize(r);
    }
    int held = 0;
    for (const NetworkNote& n : r.notes) held += n.kind == NetworkNoteKind::AtZoneJump;
    state.counters["links"] = static_cast<double>(net.links.size());
    state.counters["iterations"] = r.iterations;
    state.counters["solved"] = r.fault ? 0 : 1;
    state.counters["held_at_jumps"] = held;
}

// 7 x 8 junctions: 97 pipes in the grid and 3 feeds, 100 links.
void BM_Network100LinksOil(benchmark::State& state) { Solve(state, Grid(7, 8, true)); }
void BM_Network100LinksWater(benchmark::State& state) { Solve(state, Grid(7, 8, false)); }
// 71 x 71 junctions: 9,940 pipes and 3 feeds.
void BM_Network10000LinksOil(benchmark::State& state) { Solve(state, Grid(71, 71, true)); }
void BM_Network10000LinksWater(benchmark::State& state) { Solve(state, Grid(71, 71, false)); }

BENCHMARK(BM_Network100LinksOil)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Network100LinksWater)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Network10000LinksOil)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Network10000LinksWater)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane
