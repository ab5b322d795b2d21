// Timings of a panel's Calculate (the iterations of the flow and diameter
// panels included) and of loading and calculating a panel file, over varied
// cases: per panel and fluid kind, 64 panels with random entries, fittings,
// lists and units (the generator of the batch tool's tests), taken in turn.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "logic/model/panels/PanelFile.h"
#include "logic/model/panels/PanelModel.h"
#include "tests/RandomPanels.h"

namespace corvane {
namespace {

constexpr std::size_t kCases = 64;

// Saved files of one kind of panel with a liquid or a gas.
std::vector<std::string> VariedFiles(PanelKind kind, bool gas) {
    std::mt19937 rng(PanelDigit(kind) * 2 + gas);
    std::vector<std::string> files;
    const std::string gasLine = std::string(gas ? "GasTrue" : "GasFalse") + std::to_string(PanelDigit(kind));
    while (files.size() < kCases) {
        std::string file = RandomPanelFile(rng, Locale{});
        PanelFileReader reader(file);
        if (PanelKindOfHeader(reader.next()) == kind && reader.next() == gasLine) files.push_back(std::move(file));
    }
    return files;
}

void Calculate(benchmark::State& state, bool gas) {
    const auto kind = static_cast<PanelKind>(state.range(0));
    std::vector<std::unique_ptr<PanelModel>> panels;
    for (const std::string& file : VariedFiles(kind, gas)) {
        panels.push_back(std::make_unique<PanelModel>(kind, Locale{}));
        LoadPanelFile(*panels.back(), file);
    }
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(panels[i++ % kCases]->calculate());
}

void BM_Calculate(benchmark::State& state) { Calculate(state, false); }
BENCHMARK(BM_Calculate)->DenseRange(1, 4)->ArgName("panel");

void BM_CalculateGas(benchmark::State& state) { Calculate(state, true); }
BENCHMARK(BM_CalculateGas)->DenseRange(1, 4)->ArgName("panel");

void BM_LoadAndCalculate(benchmark::State& state) {
    const auto kind = static_cast<PanelKind>(state.range(0));
    std::vector<std::string> files = VariedFiles(kind, false);
    const std::vector<std::string> gases = VariedFiles(kind, true);
    files.insert(files.end(), gases.begin(), gases.end());
    std::size_t i = 0;
    for (auto _ : state) {
        PanelModel panel(kind, Locale{});
        benchmark::DoNotOptimize(LoadPanelFile(panel, files[i++ % files.size()]));
        benchmark::DoNotOptimize(panel.calculate());
    }
}
BENCHMARK(BM_LoadAndCalculate)->DenseRange(1, 4)->ArgName("panel");

}  // namespace
}  // namespace corvane
