// Timings of a panel's Calculate (the iterations of the flow and diameter
// panels included) and of loading and calculating a panel file.

#include <benchmark/benchmark.h>

#include "logic/model/PanelFile.h"
#include "logic/model/PanelModel.h"

namespace corvane {
namespace {

void BM_Calculate(benchmark::State& state) {
    PanelModel panel(static_cast<PanelKind>(state.range(0)), Locale{});
    for (auto _ : state) benchmark::DoNotOptimize(panel.calculate());
}
BENCHMARK(BM_Calculate)->DenseRange(1, 4)->ArgName("panel");

void BM_CalculateGas(benchmark::State& state) {
    PanelModel panel(static_cast<PanelKind>(state.range(0)), Locale{});
    panel.useFluid({"Air", "20\u00b0C (68\u00b0F)", "15.100000", "1.204700", true});
    for (auto _ : state) benchmark::DoNotOptimize(panel.calculate());
}
BENCHMARK(BM_CalculateGas)->DenseRange(1, 4)->ArgName("panel");

void BM_LoadAndCalculate(benchmark::State& state) {
    const PanelKind kind = static_cast<PanelKind>(state.range(0));
    const std::string file = SavePanelFile(PanelModel(kind, Locale{}));
    for (auto _ : state) {
        PanelModel panel(kind, Locale{});
        benchmark::DoNotOptimize(LoadPanelFile(panel, file));
        benchmark::DoNotOptimize(panel.calculate());
    }
}
BENCHMARK(BM_LoadAndCalculate)->DenseRange(1, 4)->ArgName("panel");

}  // namespace
}  // namespace corvane
