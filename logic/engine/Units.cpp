#include "logic/engine/Units.h"

#include <array>

namespace corvane {
namespace {

// Amount of each flow unit equal to 1 l/s.  Fixed constants, not derived.
constexpr std::array<double, kFlowUnitCount> kFlow = {
    1.0,                 // litre/sec
    60000.0,             // millilitre/min
    60.0,                // litre/min
    3600.0,              // litre/hr
    3.6,                 // m3/hr
    13.198149091571398,  // gpm-UK
    15.850323141488905,  // gpm-USA
    0.0353146667,        // cu.ft/sec
    2.118880002,         // cu.ft/min
    127.13280012,        // cu.ft/hr
    0.3773886462259263,  // brls/min(oil)
};

constexpr std::array<double, 7> kPressure = {
    1.0,         // bar
    100.0,       // kPa
    14.5037744,  // psi
    750.06168,   // mm of mercury
    29.53,       // inches of mercury
    10.197162,   // m of water head
    33.455256,   // ft of water head
};

constexpr std::array<double, 3> kLength = {
    1.0,          // metre
    3.2808399,    // foot
    39.37007874,  // inch
};

template <std::size_t N>
double Lookup(const std::array<double, N>& table, int code) {
    if (code < 1 || code >= static_cast<int>(N)) code = 0;
    return table[static_cast<std::size_t>(code)];
}

double F(int code) { return kFlow[static_cast<std::size_t>(code)]; }

// Metric flow code of the decade of a conversion code (1..6 -> 0,1,2,3,4,10).
constexpr std::array<int, 7> kMetricOfDecade = {-1, kLitrePerSec, kMillilitrePerMin, kLitrePerMin,
                                                kLitrePerHour, kCubicMetrePerHour, kOilBarrelPerMin};

// Positive codes; the sign is handled by the caller.
bool ConvertPositive(int code, double x, bool back, double& out) {
    if (code >= 1 && code <= 3) {
        switch (code) {
            case 1: out = back ? x / 3.2808399 : x * 3.2808399; break;
            case 2: out = back ? x / 39.37007874 * 1000.0 : x / 1000.0 * 39.37007874; break;
            default: out = back ? x / 14.5037744 : x * 14.5037744; break;
        }
        return true;
    }
    if (code >= 10 && code <= 65 && code % 10 <= 5) {
        const int decade = code / 10;
        const int imperial = 5 + code % 10;
        const double fi = F(imperial);
        if (code == 65) {  // barrel to barrel
            out = x;
            return true;
        }
        switch (decade) {
            case 1: out = back ? x / fi : x * fi; break;
            case 2: out = back ? x * F(kMillilitrePerMin) / fi : fi * (x / F(kMillilitrePerMin)); break;
            case 6: out = back ? x * F(kOilBarrelPerMin) / fi : fi * (x / F(kOilBarrelPerMin)); break;
            default: {
                const double fm = F(kMetricOfDecade[static_cast<std::size_t>(decade)]);
                out = back ? x * fm / fi : x / fm * fi;
                break;
            }
        }
        return true;
    }
    if (code >= 100 && code <= 402 && code % 100 <= 2) {
        const int hundred = code / 100;
        const double fg = F(kCubicFootPerSec + code % 100);
        if (hundred == 1) {
            out = back ? x / fg : x * fg;
        } else {
            const double fm = F(hundred == 2 ? kLitrePerMin : hundred == 3 ? kLitrePerHour : kCubicMetrePerHour);
            out = back ? x * fm / fg : x / fm * fg;
        }
        return true;
    }
    return false;
}

struct ListSpec {
    std::array<int, 6> codes;
    int size;
    int fallbackIndex;
};

constexpr ListSpec kMetricLiquid{{kLitrePerSec, kMillilitrePerMin, kLitrePerMin, kLitrePerHour,
                                  kCubicMetrePerHour, kOilBarrelPerMin},
                                 6, 0};
constexpr ListSpec kImperialLiquid{{kGallonUkPerMin, kGallonUsPerMin, kCubicFootPerSec,
                                    kCubicFootPerMin, kCubicFootPerHour, kOilBarrelPerMin},
                                   6, 0};
constexpr ListSpec kMetricGas{{kLitrePerSec, kLitrePerMin, kLitrePerHour, kCubicMetrePerHour, 0, 0},
                              4, 1};
constexpr ListSpec kImperialGas{{kCubicFootPerSec, kCubicFootPerMin, kCubicFootPerHour, 0, 0, 0},
                                3, 1};

const ListSpec& SpecOf(FlowListKind kind, UnitSystem system) {
    if (kind == FlowListKind::Liquid)
        return system == UnitSystem::Metric ? kMetricLiquid : kImperialLiquid;
    return system == UnitSystem::Metric ? kMetricGas : kImperialGas;
}

}  // namespace

double FlowFactor(int code) { return Lookup(kFlow, code); }
double PressureFactor(int code) { return Lookup(kPressure, code); }
double LengthFactor(int code) { return Lookup(kLength, code); }

double FlowToLitresPerMin(int code, double x) { return x * 60.0 / FlowFactor(code); }
double FlowFromLitresPerMin(int code, double x) { return FlowFactor(code) * x / 60.0; }
double PressureToBar(int code, double x) { return x / PressureFactor(code); }
double PressureFromBar(int code, double x) { return x * PressureFactor(code); }
double LengthToMetres(int code, double x) { return x / LengthFactor(code); }
double LengthFromMetres(int code, double x) { return x * LengthFactor(code); }

double ConvertByCode(int code, double x) {
    double out = x;
    if (code > 0) {
        ConvertPositive(code, x, false, out);
    } else if (code < 0 && code > -1000) {
        ConvertPositive(-code, x, true, out);
    }
    return out;
}

bool IsConversionCode(int code) {
    double unused = 0.0;
    if (code <= -1000 || code == 0) return false;
    return ConvertPositive(code < 0 ? -code : code, 0.0, code < 0, unused);
}

FlowUnitChoice FlowUnitCode(FlowListKind kind, UnitSystem system, int selectedIndex) {
    const ListSpec& spec = SpecOf(kind, system);
    if (selectedIndex < 0 || selectedIndex >= spec.size) selectedIndex = spec.fallbackIndex;
    return {spec.codes[static_cast<std::size_t>(selectedIndex)], selectedIndex};
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
    const ListSpec& spec = SpecOf(kind, system);
    std::vector<std::string> items;
    for (int i = 0; i < spec.size; ++i)
        items.push_back(FlowUnitText(spec.codes[static_cast<std::size_t>(i)], locale));
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
