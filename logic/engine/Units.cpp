#include "logic/engine/Units.h"

#include <array>
#include <cstddef>

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
    kPsiPerBar,  // psi
    750.06168,   // mm of mercury
    29.53,       // inches of mercury
    10.197162,   // m of water head
    33.455256,   // ft of water head
};

constexpr std::array<double, 3> kLength = {
    1.0,              // metre
    kFeetPerMetre,    // foot
    kInchesPerMetre,  // inch
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
            case 1: out = back ? x / kFeetPerMetre : x * kFeetPerMetre; break;
            case 2: out = back ? x / kInchesPerMetre * 1000.0 : x / 1000.0 * kInchesPerMetre; break;
            default: out = back ? x / kPsiPerBar : x * kPsiPerBar; break;
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

}  // namespace corvane
