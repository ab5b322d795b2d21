// Timings of the pipe run: 100 sections at a given flow, and the flow that
// balances them (with and without a pump), from a run of four pipe sizes to
// one whose every section has a diameter of its own (the most zone limits
// for the flow solve to split at).

#include <benchmark/benchmark.h>

#include "logic/engine/PipeRun.h"

namespace corvane {
namespace {

// 100 sections of water falling 30 m in all, every second one with
// fittings, conical and sudden changes of diameter; `sizes` diameters
// in turn, or with `distinct` a diameter for each section.
PipeRun HundredSections(bool distinct, bool pump) {
    const double sizes[] = {52.5, 77.9, 102.3, 62.7};
    PipeRun run;
    run.liquid = {1.004, 998, 0.0234};
    run.source = {0.5, 40};
    run.sink = {0.0, pump ? 35.0 : 0.0};
    run.startElevation = 38;
    for (int i = 0; i < 100; ++i) {
        RunSection s;
        s.diameter = distinct ? 50.0 + 0.5 * i : sizes[i % 4];
        s.roughness = 0.046;
        s.length = 12;
        s.rise = -0.3;
        if (i % 2) {
            s.fittings.counts[0] = 2;   // standard bends
            s.fittings.counts[15] = 1;  // a gate valve
            s.fittings.extraK = 0.2;
        }
        s.transition = i % 3 ? TransitionForm::Conical : TransitionForm::Sudden;
        s.angle = 20;
        run.sections.push_back(s);
    }
    if (pump) {
        RunPump p;
        p.curve = MakePumpCurve({{0, 60}, {600, 50}, {1200, 20}}).curve;
        p.afterSection = 1;
        p.npshRequired = {{0, 1.5}, {1200, 6}};
        run.pump = p;
    }
    return run;
}

void BM_RunAtFlow100Sections(benchmark::State& state) {
    const PipeRun run = HundredSections(false, false);
    double q = 400;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SolveRunAtFlow(run, q));
        q = q < 600 ? q + 1 : 400;
    }
}
BENCHMARK(BM_RunAtFlow100Sections)->Unit(benchmark::kMicrosecond);

void BM_RunFlowSolve(benchmark::State& state) {
    const PipeRun run = HundredSections(state.range(0) != 0, state.range(1) != 0);
    for (auto _ : state) benchmark::DoNotOptimize(SolveRunFlow(run));
}
// (distinct diameters, pump)
BENCHMARK(BM_RunFlowSolve)->ArgNames({"distinct", "pump"})->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane
