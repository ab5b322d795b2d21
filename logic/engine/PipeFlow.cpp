#include "logic/engine/PipeFlow.h"

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace corvane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr std::array<double, kMaterialCount> kRoughnessMm = {
    0.046,    // steel
    0.045,    // stainless steel
    0.15,     // galvanised steel
    0.0015,   // aluminium
    0.0015,   // copper
    0.0001,   // glass
    0.08177,  // Neoprene
    0.14,     // Reinforced PVC
    0.005,    // Rigid PVC
    1.0,      // Spiral wire reinforced
    0.26,     // cast iron
    0.4,      // concrete
    0.001,    // polyethylene
    0.18,     // wood stave
};

constexpr double kOtherRoughnessMm = 0.1;

}  // namespace

double VelocityFromFlow(double q, double d) {
    const double m = d / 1000.0;
    // A diameter so small that its area underflows carries nothing either.
    if (!(m > 0.0) || !(m * m > 0.0)) return 0.0;
    return (q / 60.0 / 1000.0) / (m * m / 4.0) / std::numbers::pi;
}

double FlowFromVelocity(double v, double d) {
    const double m = d / 1000.0;
    if (!(m > 0.0) || v == 0.0) return 0.0;
    return m * m / 4.0 * v * std::numbers::pi * 60.0 * 1000.0;
}

double ReynoldsNumber(double v, double d, double mu, double rhoR) {
    if (mu == 0.0) return kNaN;
    return v * d / 1000.0 / mu * 1000000.0 * rhoR;
}

double HaalandRoughnessTerm(double d, double roughness) {
    double r = roughness / d / kHaalandRoughnessDivisor;
    if (!(r > 0.0)) r = kFrictionFloor;
    return std::exp(kHaalandExponent * std::log(r));
}

double FrictionFactorWithTerm(double re, double t) {
    double f = 0.0;
    if (re > 0.0 && re <= kLaminarLimit) f = kLaminarFactor / re;
    if (re > kLaminarLimit && re < kTurbulentLimit) f = (re - kCriticalOffset) / kCriticalSlope;
    if (re >= kTurbulentLimit) {
        double s = t + kHaalandReynoldsTerm / re;
        if (!(s > 0.0)) s = kFrictionFloor;
        const double y = -kHaalandFactor * std::log10(s);
        f = (1.0 / y) * (1.0 / y);
    }
    // 64/Re overflows for a Reynolds number below about 1e-307, and a
    // roughness of about 3.7 diameters drives Haaland's logarithm to 0: no
    // friction factor exists there.
    if (std::isinf(f)) f = kNaN;
    return f;
}

double FrictionFactor(double re, double d, double roughness) {
    // The roughness term only counts in the turbulent zone.
    return FrictionFactorWithTerm(re, re >= kTurbulentLimit ? HaalandRoughnessTerm(d, roughness) : 0.0);
}

FlowRegime FlowRegimeOf(double re) {
    FlowRegime regime = FlowRegime::Laminar;
    if (re > kLaminarLimit) regime = FlowRegime::Critical;
    if (re >= kTurbulentLimit) regime = FlowRegime::Turbulent;
    return regime;
}

double FrictionHeadLoss(double v, double d, double length, double f) {
    if (d == 0.0) return kNaN;
    return f * length / (d / 1000.0) * v * v / 2.0 / kGravity;
}

double FittingsHead(double k, double v) { return k * v * v / 2.0 / kGravity; }

double HeadToPressureDrop(double h, double rhoR) {
    return h * rhoR * 1000.0 * kGravity / kPascalPerBar;
}

double PressureToHead(double p, double rhoR) { return p * kPascalPerBar / rhoR / 1000.0 / kGravity; }

double GasHeadToPressureDrop(double h, double rhoG, double c) {
    if (c == 0.0) return kNaN;
    return h * rhoG / 1000.0 / c * 1000.0 * kGravity / kPascalPerBar;
}

double GasPressureToHead(double p, double rhoG, double c) { return p * (kPascalPerBar / rhoG * c / kGravity); }

double GasVolumeRatio(double pg) {
    const double absolute = pg + kAtmosphereBar;
    if (absolute == 0.0) return kNaN;
    return kAtmosphereBar / absolute;
}

double GasViscosityAtPressure(double mu, double pg) {
    return mu * (pg * kGasViscosityPerBar + 1.0);
}

double ColebrookWhite(double re, double rr) {
    if (!(re > 0)) return kNaN;
    const double haaland = -kHaalandFactor * std::log10(std::pow(rr / kHaalandRoughnessDivisor, kHaalandExponent) +
                                                        kHaalandReynoldsTerm / re);
    double x = haaland;  // 1 / sqrt(f)
    for (int i = 0; i < 200; ++i) {
        const double next = -2.0 * std::log10(rr / 3.7 + 2.51 * x / re);
        if (std::fabs(next - x) < 1e-15 * std::fabs(x)) {
            x = next;
            break;
        }
        x = next;
    }
    return 1.0 / (x * x);
}

double MaterialRoughness(int index) {
    if (index < 0 || index >= kMaterialCount) return kOtherRoughnessMm;
    return kRoughnessMm[static_cast<std::size_t>(index)];
}

}  // namespace corvane
