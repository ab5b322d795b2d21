#include "logic/engine/IsothermalGas.h"

#include <cmath>
#include <numbers>

#include "logic/engine/Fittings.h"
#include "logic/engine/PipeFlow.h"
#include "logic/engine/Units.h"

namespace corvane {

namespace {

constexpr int kMaxPasses = 200;
constexpr double kRelativeTolerance = 1e-12;

double Area(double d) { return std::numbers::pi / 4.0 * d * d; }

// Bisection for the root of a function that changes sign between lo and hi.
template <class F>
double Bisect(F fn, double lo, double hi) {
    double flo = fn(lo);
    for (int i = 0; i < 300 && hi - lo > kRelativeTolerance * std::abs(hi); ++i) {
        const double mid = 0.5 * (lo + hi);
        const double fm = fn(mid);
        if ((fm > 0) == (flo > 0)) {
            lo = mid;
            flo = fm;
        } else {
            hi = mid;
        }
    }
    return 0.5 * (lo + hi);
}

// The gas case in SI units.
struct Gas {
    double p1;       // Pa absolute
    double rho0;     // kg/m3 at atmospheric pressure
    double rho1;     // kg/m3 at the inlet
    double nu;       // m2/s at atmospheric pressure
    double inletG;   // bar g
};

Gas GasOf(const SolverInputs& in) {
    Gas g{};
    g.inletG = in.inletPressure;
    g.p1 = (in.inletPressure + kAtmosphereBar) * kPascalPerBar;
    g.rho0 = in.density;
    g.rho1 = in.density * (in.inletPressure + kAtmosphereBar) / kAtmosphereBar;
    g.nu = in.viscosity * 1e-6;
    return g;
}

double MassFlow(const SolverInputs& in) { return in.density * in.flow / 1000.0 / 60.0; }
double FreeFlow(const SolverInputs& in, double m) { return m / in.density * 1000.0 * 60.0; }

// The program's friction factor at mass flow m through diameter d (mm),
// with the viscosity at the mean of the inlet and outlet pressures (bar g).
double FrictionAt(const SolverInputs& in, const Gas& g, double m, double dmm, double outletG, double* re) {
    const double meanG = 0.5 * (g.inletG + outletG);
    const double mu = GasViscosityAtPressure(g.nu * g.rho0, meanG);  // Pa s
    const double d = dmm / 1000.0;
    *re = m / Area(d) * d / mu;
    return FrictionFactor(*re, dmm, in.roughness);
}

bool Usable(const SolverInputs& in) {
    return in.gas && in.inletPressure >= 0 && in.viscosity > 0 && in.density > 0 && in.roughness >= 0;
}

IsothermalAnswer Failed(IsothermalFault f) {
    IsothermalAnswer a;
    a.fault = f;
    return a;
}

bool Finite(const IsothermalAnswer& a) {
    return std::isfinite(a.pressureDrop) && std::isfinite(a.flow) && std::isfinite(a.diameter) &&
           std::isfinite(a.length) && std::isfinite(a.reynolds) && std::isfinite(a.friction);
}

// The iteration on the friction factor: `step` takes f and returns the new
// answer with its friction factor, until two passes agree.
template <class Step>
IsothermalAnswer Iterate(Step step) {
    double f = 0.02;
    IsothermalAnswer a;
    for (int pass = 1; pass <= kMaxPasses; ++pass) {
        a = step(f);
        a.passes = pass;
        if (a.fault) return a;
        if (!std::isfinite(a.friction)) return Failed(IsothermalFault::NoAnswer);
        if (std::abs(a.friction - f) <= kRelativeTolerance * f) break;
        f = a.friction;
    }
    if (!Finite(a)) return Failed(IsothermalFault::NoAnswer);
    return a;
}

// The mass flow for outlet pressure p2 where the critical pressure of p1
// and `resistance` is known already.
double MassFlowAbove(double critical, double rho1, double resistance, double p1, double p2, double d) {
    if (!(p2 < p1) || !(p2 >= critical * (1 - 1e-12))) return NAN;
    const double a = Area(d);
    return std::sqrt(a * a * rho1 * (p1 * p1 - p2 * p2) / (p1 * (resistance + 2.0 * std::log(p1 / p2))));
}

}  // namespace

double IsothermalMassFlow(double rho1, double resistance, double p1, double p2, double d) {
    // Whether p2 lies above the critical pressure is plain, without solving
    // for it, where x = p2 / p1 is clearly away from the critical ratio r:
    // g(x) = x^2 (F + 1 - 2 ln x) - 1 rises through 0 at r with a slope of
    // at most 2F + 4/e on (0, 1), so |g(x)| > (2F + 1.5) 1e-9 puts x more
    // than 1e-9 from r, far beyond the critical ratio's 1e-12 and the
    // 1e-12 of the test below; g itself is good to 1e-15 (F + 2).  Only
    // near r is the critical pressure found, with the same answer.
    if (resistance > 0 && std::isfinite(resistance) && p1 > 0 && std::isfinite(p1) && p2 > 0 && p2 < p1) {
        const double x = p2 / p1;
        const double g = x * x * (resistance + 1.0 - 2.0 * std::log(x)) - 1.0;
        const double clear = (2.0 * resistance + 1.5) * 1e-9 + 1e-15 * (resistance + 2.0);
        if (g > clear) return MassFlowAbove(0.0, rho1, resistance, p1, p2, d);  // above the critical pressure
        if (g < -clear) return NAN;                                            // below: choked
    }
    return MassFlowAbove(IsothermalCriticalPressure(p1, resistance), rho1, resistance, p1, p2, d);
}

namespace {

// x = p2 / p1 at the most flow: the root in (0, 1) of
// g(x) = x^2 (F + 1 - 2 ln x) - 1, which rises from -1 to F.
double CriticalRatio(double resistance) {
    const auto g = [&](double v) { return v * v * (resistance + 1.0 - 2.0 * std::log(v)) - 1.0; };
    // The answer is the bisection's from (1e-300, 1) to 1e-12: every step
    // halves the bracket, keeping the end where g has the sign of g there.
    // Most steps lie far from the root, where the side is plain without
    // evaluating g: Newton's method from x = 1 / sqrt(F + 1) (where g > 0)
    // gives the root, and g is evaluated on either side of it; where both
    // values are clear of rounding (x^2 (F + 1 - 2 ln x) is good to a few
    // units in the last place), every point beyond them has the same side
    // in floating point as in exact arithmetic, so only the steps between
    // them need g.  The steps taken, and so the result, are the
    // bisection's bit for bit.  Where the root is too flat for that (F near
    // zero) it is the plain bisection.
    double lo = 1e-300, hi = 1.0;
    double below = lo, above = hi;  // until the root is known, every step evaluates g
    double x = 1.0 / std::sqrt(resistance + 1.0);
    for (int i = 0; i < 50 && std::isfinite(x) && x > 0 && x < 1; ++i) {
        const double ln = std::log(x);
        const double step = (x * x * (resistance + 1.0 - 2.0 * ln) - 1.0) / (2.0 * x * (resistance - 2.0 * ln));
        x -= step;
        if (std::abs(step) <= 1e-15 * x) break;
    }
    if (std::isfinite(x) && x > 0 && x < 1) {
        constexpr double kMargin = 1e-11;  // relative, on either side of the root
        constexpr double kClearOfRounding = 1e-13;
        const double a = x * (1 - kMargin), b = x * (1 + kMargin);
        if (b < 1 && g(a) < -kClearOfRounding && g(b) > kClearOfRounding) {
            below = a;
            above = b;
        }
    }
    // g(1e-300) = -1: the low end is where g <= 0.
    for (int i = 0; i < 300 && hi - lo > kRelativeTolerance * std::abs(hi); ++i) {
        const double mid = 0.5 * (lo + hi);
        const bool positive = mid < below ? false : mid > above ? true : g(mid) > 0;
        if (positive) hi = mid;
        else lo = mid;
    }
    return 0.5 * (lo + hi);
}

}  // namespace

double IsothermalCriticalPressure(double p1, double resistance) {
    // The most flow: x = p2 / p1 with x^2 (F + 1 - 2 ln x) = 1, one root in
    // (0, 1), where the left side rises from 0 to F + 1.
    if (!(resistance > 0)) return NAN;
    return CriticalRatio(resistance) * p1;
}

double IsothermalOutletPressure(double rho1, double resistance, double p1, double d, double m) {
    const double critical = IsothermalCriticalPressure(p1, resistance);
    if (!std::isfinite(critical) || !(m > 0)) return NAN;
    const double most = MassFlowAbove(critical, rho1, resistance, p1, critical, d);
    if (!(m <= most)) return NAN;
    if (m >= most * (1 - 1e-12)) return critical;
    // The flow falls from the choked flow at the critical pressure to none
    // at p1.  (The critical pressure is the same at every step.)
    return Bisect([&](double p2) { return MassFlowAbove(critical, rho1, resistance, p1, p2, d) - m; }, critical,
                  p1);
}

double IsothermalResistance(double rho1, double p1, double p2, double d, double m) {
    const double a = Area(d);
    return a * a * rho1 * (p1 * p1 - p2 * p2) / (p1 * m * m) - 2.0 * std::log(p1 / p2);
}

IsothermalAnswer IsothermalPressureDrop(const SolverInputs& in) {
    if (!in.gas) return Failed(IsothermalFault::NotAGas);
    if (!Usable(in) || !(in.diameter > 0) || !(in.length > 0) || !(in.flow > 0)) return Failed(IsothermalFault::NoAnswer);
    const Gas g = GasOf(in);
    const double m = MassFlow(in);
    const double d = in.diameter / 1000.0;
    const double k = FittingsTotalK(in.fittings, in.diameter);
    return Iterate([&](double f) {
        IsothermalAnswer a;
        const double p2 = IsothermalOutletPressure(g.rho1, f * in.length / d + k, g.p1, d, m);
        if (!std::isfinite(p2)) return Failed(IsothermalFault::Choked);
        a.outletPressure = p2 / kPascalPerBar - kAtmosphereBar;
        a.pressureDrop = (g.p1 - p2) / kPascalPerBar;
        a.flow = in.flow;
        a.diameter = in.diameter;
        a.length = in.length;
        a.friction = FrictionAt(in, g, m, in.diameter, a.outletPressure, &a.reynolds);
        return a;
    });
}

IsothermalAnswer IsothermalFlow(const SolverInputs& in) {
    if (!in.gas) return Failed(IsothermalFault::NotAGas);
    if (!Usable(in) || !(in.diameter > 0) || !(in.length > 0) || !(in.allowableLoss > 0) ||
        !(in.allowableLoss < in.inletPressure + kAtmosphereBar))
        return Failed(IsothermalFault::NoAnswer);
    const Gas g = GasOf(in);
    const double d = in.diameter / 1000.0;
    const double p2 = g.p1 - in.allowableLoss * kPascalPerBar;
    const double k = FittingsTotalK(in.fittings, in.diameter);
    return Iterate([&](double f) {
        IsothermalAnswer a;
        const double m = IsothermalMassFlow(g.rho1, f * in.length / d + k, g.p1, p2, d);
        if (!std::isfinite(m)) return Failed(IsothermalFault::Choked);
        a.outletPressure = in.inletPressure - in.allowableLoss;
        a.pressureDrop = in.allowableLoss;
        a.flow = FreeFlow(in, m);
        a.diameter = in.diameter;
        a.length = in.length;
        a.friction = FrictionAt(in, g, m, in.diameter, a.outletPressure, &a.reynolds);
        return a;
    });
}

IsothermalAnswer IsothermalDiameter(const SolverInputs& in) {
    if (!in.gas) return Failed(IsothermalFault::NotAGas);
    if (!Usable(in) || !(in.length > 0) || !(in.flow > 0) || !(in.allowableLoss > 0) ||
        !(in.allowableLoss < in.inletPressure + kAtmosphereBar))
        return Failed(IsothermalFault::NoAnswer);
    const Gas g = GasOf(in);
    const double m = MassFlow(in);
    const double p2 = g.p1 - in.allowableLoss * kPascalPerBar;
    const double outletG = in.inletPressure - in.allowableLoss;
    // The flow the pipe passes rises with its diameter: the least diameter
    // that passes m, each diameter with its own friction factor and K.
    // (The mass flux fixes the Reynolds number: no iteration.)
    auto passes = [&](double dmm, double* f, double* re) {
        const double k = FittingsTotalK(in.fittings, dmm);
        double r = 0;
        const double ff = FrictionAt(in, g, m, dmm, outletG, &r);
        if (f) *f = ff;
        if (re) *re = r;
        const double flow = IsothermalMassFlow(g.rho1, ff * in.length / (dmm / 1000.0) + k, g.p1, p2, dmm / 1000.0);
        return std::isfinite(flow) ? flow - m : -m;  // a choked diameter passes too little
    };
    double lo = 1e-3, hi = 1e5;  // mm
    if (passes(hi, nullptr, nullptr) < 0) return Failed(IsothermalFault::NoAnswer);
    if (passes(lo, nullptr, nullptr) >= 0) return Failed(IsothermalFault::NoAnswer);
    IsothermalAnswer a;
    a.diameter = Bisect([&](double dmm) { return passes(dmm, nullptr, nullptr); }, lo, hi);
    passes(a.diameter, &a.friction, &a.reynolds);
    a.outletPressure = outletG;
    a.pressureDrop = in.allowableLoss;
    a.flow = in.flow;
    a.length = in.length;
    a.passes = 1;
    if (!Finite(a)) return Failed(IsothermalFault::NoAnswer);
    return a;
}

IsothermalAnswer IsothermalLength(const SolverInputs& in) {
    if (!in.gas) return Failed(IsothermalFault::NotAGas);
    if (!Usable(in) || !(in.diameter > 0) || !(in.flow > 0) || !(in.allowableLoss > 0) ||
        !(in.allowableLoss < in.inletPressure + kAtmosphereBar))
        return Failed(IsothermalFault::NoAnswer);
    const Gas g = GasOf(in);
    const double m = MassFlow(in);
    const double d = in.diameter / 1000.0;
    const double p2 = g.p1 - in.allowableLoss * kPascalPerBar;
    const double k = FittingsTotalK(in.fittings, in.diameter);
    IsothermalAnswer a;
    a.outletPressure = in.inletPressure - in.allowableLoss;
    a.friction = FrictionAt(in, g, m, in.diameter, a.outletPressure, &a.reynolds);
    const double resistance = IsothermalResistance(g.rho1, g.p1, p2, d, m);
    // Beyond the choked flow no length passes m at this pressure drop.
    if (p2 < IsothermalCriticalPressure(g.p1, resistance)) return Failed(IsothermalFault::Choked);
    a.length = (resistance - k) * d / a.friction;
    if (!(a.length > 0)) return Failed(IsothermalFault::NoLength);
    a.pressureDrop = in.allowableLoss;
    a.flow = in.flow;
    a.diameter = in.diameter;
    a.passes = 1;
    if (!Finite(a)) return Failed(IsothermalFault::NoAnswer);
    return a;
}

}  // namespace corvane
