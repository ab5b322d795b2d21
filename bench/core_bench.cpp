// Timings of the hot paths of a calculation: the friction factor, the unit
// conversions, the number text of every entry and result field, and the
// properties of water that a pipe run's sections will ask for.

#include <benchmark/benchmark.h>

#include "logic/engine/PipeFlow.h"
#include "logic/engine/Units.h"
#include "logic/engine/Water.h"
#include "logic/model/shared/FittingsText.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

void BM_FrictionFactor(benchmark::State& state) {
    double re = 100000;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FrictionFactor(re, 25, 0.046));
        re = re < 1e8 ? re * 1.01 : 3500;
    }
}
BENCHMARK(BM_FrictionFactor);

void BM_ConvertByCode(benchmark::State& state) {
    const int codes[] = {1, -2, 3, 33, -45, 62, 101, -402};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertByCode(codes[i++ % 8], 123.456));
    }
}
BENCHMARK(BM_ConvertByCode);

void BM_ReadEntryNumber(benchmark::State& state) {
    const Locale locale = CommaLocale();
    for (auto _ : state) benchmark::DoNotOptimize(ReadEntryNumber("1234.5678", locale));
}
BENCHMARK(BM_ReadEntryNumber);

void BM_WriteEntryNumber(benchmark::State& state) {
    const Locale locale = DotLocale();
    double v = 84544.46;
    for (auto _ : state) {
        benchmark::DoNotOptimize(WriteEntryNumber(v, 3, locale));
        v += 0.001;
    }
}
BENCHMARK(BM_WriteEntryNumber);

void BM_FittingsTotalK(benchmark::State& state) {
    const Locale locale = DotLocale();
    const std::string s = "2\t1\t0\t3\t2\t0\t1\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t1\t1\t1\t1\t0\t0\t0\t4\t1.25\t";
    for (auto _ : state) benchmark::DoNotOptimize(FittingsTotalK(ParseFittings(s, locale), 50));
}
BENCHMARK(BM_FittingsTotalK);

// Density, viscosity and vapour pressure of water together, stepping through
// the range offered at the default pressure and at 50 bar a.
void BM_WaterAt(benchmark::State& state) {
    double celsius = kWaterMinCelsius;
    bool pressed = false;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pressed ? WaterAt(celsius, 50.0) : WaterAt(celsius));
        celsius += 0.37;
        if (celsius > kWaterMaxCelsius) {
            celsius = kWaterMinCelsius;
            pressed = !pressed;
        }
    }
}
BENCHMARK(BM_WaterAt);

}  // namespace
}  // namespace corvane
