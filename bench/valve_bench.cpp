// Timings of control valve sizing: a liquid through reducers (the FP
// iteration to its C), a gas in transitional flow (the FR trials), and the
// outlet pressure a gas valve leaves (halving x to the last bit).

#include <benchmark/benchmark.h>

#include "logic/engine/ControlValve.h"

namespace corvane {
namespace {

void BM_SizeLiquidValveWithReducers(benchmark::State& state) {
    LiquidValveCase c{6.8, 2.2, 360, 965.4, 0.701, 221.2, 0.326, {0.9, 0.46, 0, 100, 150, 150}};
    for (auto _ : state) {
        benchmark::DoNotOptimize(SizeLiquidValve(c));
        c.flow = c.flow < 400 ? c.flow + 0.01 : 360;
    }
}
BENCHMARK(BM_SizeLiquidValveWithReducers);

void BM_SizeGasValveTransitional(benchmark::State& state) {
    GasValveCase c{2.8, 1.3, 0.46, GasFlowForm::Normal, 39.95, 1.67, 1.0, 320, 22.9, {0.98, 0.07, 0.8, 15, 15, 15}};
    for (auto _ : state) benchmark::DoNotOptimize(SizeGasValve(c));
}
BENCHMARK(BM_SizeGasValveTransitional);

void BM_GasValveOutletPressure(benchmark::State& state) {
    const GasValveCase c{6.8, 0, 3800, GasFlowForm::Normal, 44.01, 1.30, 0.988, 433, 146.65, {0.85, 0.42, 0.6, 50, 80, 100}};
    for (auto _ : state) benchmark::DoNotOptimize(GasValveOutletPressure(c, 70.889));
}
BENCHMARK(BM_GasValveOutletPressure);

}  // namespace
}  // namespace corvane
