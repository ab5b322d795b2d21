#include "logic/model/shared/FlowUnitLists.h"

#include <array>
#include <cstddef>

namespace corvane {
namespace {

struct ListUnits {
    std::array<int, 6> codes;
    int size;
    int fallbackIndex;
};

constexpr ListUnits kMetricLiquid{{kLitrePerSec, kMillilitrePerMin, kLitrePerMin, kLitrePerHour,
                                  kCubicMetrePerHour, kOilBarrelPerMin},
                                 6, 0};
constexpr ListUnits kImperialLiquid{{kGallonUkPerMin, kGallonUsPerMin, kCubicFootPerSec,
                                    kCubicFootPerMin, kCubicFootPerHour, kOilBarrelPerMin},
                                   6, 0};
constexpr ListUnits kMetricGas{{kLitrePerSec, kLitrePerMin, kLitrePerHour, kCubicMetrePerHour, 0, 0},
                              4, 1};
constexpr ListUnits kImperialGas{{kCubicFootPerSec, kCubicFootPerMin, kCubicFootPerHour, 0, 0, 0},
                                3, 1};

const ListUnits& ListOf(FlowListKind kind, UnitSystem system) {
    if (kind == FlowListKind::Liquid)
        return system == UnitSystem::Metric ? kMetricLiquid : kImperialLiquid;
    return system == UnitSystem::Metric ? kMetricGas : kImperialGas;
}

}  // namespace

FlowUnitChoice FlowUnitCode(FlowListKind kind, UnitSystem system, int selectedIndex) {
    const ListUnits& list = ListOf(kind, system);
    if (selectedIndex < 0 || selectedIndex >= list.size) selectedIndex = list.fallbackIndex;
    return {list.codes[static_cast<std::size_t>(selectedIndex)], selectedIndex};
}

std::string FlowUnitText(int code, const Locale& locale) {
    static constexpr std::array<const char*, kFlowUnitCount> kUk = {
        "litre/sec", "milllitre/min", "litre/min", "litre/hr", "m\u00b3/hr", "gpm-UK",
        "gpm-USA", "cu.ft/sec", "cu.ft/min", "cu.ft/hr", "brls/min(oil)"};
    static constexpr std::array<const char*, 4> kUs = {"liter/sec", "millliter/min", "liter/min",
                                                       "liter/hr"};
    if (code < 0 || code >= kFlowUnitCount) code = 0;
    if (locale.usEnglish && code <= kLitrePerHour) return kUs[static_cast<std::size_t>(code)];
    return kUk[static_cast<std::size_t>(code)];
}

std::vector<std::string> FlowUnitItems(FlowListKind kind, UnitSystem system, const Locale& locale) {
    const ListUnits& list = ListOf(kind, system);
    std::vector<std::string> items;
    for (int i = 0; i < list.size; ++i)
        items.push_back(FlowUnitText(list.codes[static_cast<std::size_t>(i)], locale));
    return items;
}

std::vector<std::string> FillMetricFlowUnits(const Locale& locale) {
    return FlowUnitItems(FlowListKind::Liquid, UnitSystem::Metric, locale);
}
std::vector<std::string> FillMetricGasFlowUnits(const Locale& locale) {
    return FlowUnitItems(FlowListKind::Gas, UnitSystem::Metric, locale);
}
std::vector<std::string> FillImperialFlowUnits(const Locale& locale) {
    return FlowUnitItems(FlowListKind::Liquid, UnitSystem::Imperial, locale);
}
std::vector<std::string> FillImperialGasFlowUnits(const Locale& locale) {
    return FlowUnitItems(FlowListKind::Gas, UnitSystem::Imperial, locale);
}

}  // namespace corvane
