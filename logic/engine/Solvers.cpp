#include "logic/engine/Solvers.h"

#include <cmath>
#include <initializer_list>
#include <variant>

#include "logic/engine/PipeFlow.h"

namespace corvane {

namespace {

SolverResult Faulted(SolverFault fault) {
    SolverResult out;
    out.fault = fault;
    return out;
}

// A count below zero or a negative extra K would take pressure away
// instead of adding it.
bool FittingsNonNegative(const FittingsSelection& fittings) {
    for (int n : fittings.counts)
        if (n < 0) return false;
    return fittings.extraK >= 0;
}

// Entries that must be above zero (the roughness and the fittings at least
// zero) for the panel's formulas to mean anything.  The entry rules keep zeros out of the fields the user leaves,
// but a panel file or a program write can still bring them.
std::optional<SolverFault> CheckPositive(const SolverInputs& in, bool diameter, bool length, bool flow) {
    if (diameter && !(in.diameter > 0)) return SolverFault::DiameterNotPositive;
    if (length && !(in.length > 0)) return SolverFault::LengthNotPositive;
    if (flow && !(in.flow > 0)) return SolverFault::FlowNotPositive;
    if (!(in.viscosity > 0)) return SolverFault::ViscosityNotPositive;
    if (!(in.density > 0)) return SolverFault::DensityNotPositive;
    if (!(in.roughness >= 0)) return SolverFault::RoughnessNegative;
    if (!FittingsNonNegative(in.fittings)) return SolverFault::FittingsNegative;
    return std::nullopt;
}

bool AllFinite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// Volume ratio: GasVolumeRatio of the inlet pressure for a gas, 1 for a liquid.
double RatioOf(const SolverInputs& in) { return in.gas ? GasVolumeRatio(in.inletPressure) : 1.0; }

// The head that the available pressure (liquid) or the allowable loss (gas)
// stands for, or the fault of the allowable loss.  A gas panel hides its
// available pressure: only the allowable loss counts, as a head of the gas
// at the inlet (rho kg/m3 at atmospheric pressure, c the volume ratio).  A
// liquid's relative density becomes kg/m3 by the factor 1000.
std::optional<SolverFault> HeadAvailable(const SolverInputs& in, double c, double& h) {
    const double rho = in.density;
    if (in.gas) {
        if (in.allowableLoss > in.inletPressure) return SolverFault::AllowableLossTooHigh;
        h = GasPressureToHead(in.allowableLoss, rho, c);
        return std::nullopt;
    }
    const double a = in.available;
    h = in.availableAs == AvailableAs::Head ? a : PressureToHead(a, rho);
    return std::nullopt;
}

// Head left for friction after the elevation, or the fault.
std::optional<SolverFault> FrictionHead(const SolverInputs& in, double h, double& hf) {
    hf = h - in.elevation;
    if (hf <= 0) return SolverFault::AvailablePressureTooLow;
    return std::nullopt;
}

// What the flow, diameter and length panels share before they solve: the
// faults in their order, the dynamic viscosity, the volume ratio, the
// viscosity pressure term and the head left for friction.
//
// The viscosity pressure term k is taken from the inlet pressure entry even
// on a liquid panel, where that entry is hidden (it keeps its last value, 6
// bar g from the start, or what the file holds).  The diameter and length
// panels raise a liquid's viscosity by (1 + k) all the same; the flow panel
// does not.  That is how these panels have always calculated, the golden
// cases hold their numbers, and the calculation sheet prints the factor and
// the P it used; do not "correct" one panel without the others and the
// sheet.
struct HeadBudget {
    double mu;  // dynamic viscosity at atmospheric pressure
    double c;   // volume ratio (1 for a liquid)
    double k;   // kGasViscosityPerBar x inlet pressure (also the hidden one of a liquid)
    double hf;  // head left for friction, m
};

std::variant<HeadBudget, SolverFault> PrepareHeadBudget(const SolverInputs& in, bool diameter, bool length, bool flow) {
    if (in.inletPressure < 0) return SolverFault::PressureTooLow;
    if (auto r = CheckPositive(in, diameter, length, flow)) return *r;
    HeadBudget b{};
    b.mu = in.viscosity * in.density;
    b.c = RatioOf(in);
    b.k = kGasViscosityPerBar * in.inletPressure;
    double h = 0;
    if (auto r = HeadAvailable(in, b.c, h)) return *r;
    if (auto r = FrictionHead(in, h, b.hf)) return *r;
    return b;
}

// The results every panel shows, and the gas exit pressure of panels 2 to 4.
void SetResults(SolverResult& out, double v, double re, double f, const SolverInputs& in) {
    out.velocity = v;
    out.reynolds = re;
    out.friction = f;
    out.exitPressure = in.inletPressure - in.allowableLoss;
}

}  // namespace

SolverResult SolvePressureDrop(const SolverInputs& in) {
    if (in.inletPressure < 0) return Faulted(SolverFault::PressureTooLow);
    if (auto r = CheckPositive(in, true, true, true)) return Faulted(*r);

    const double mu = in.viscosity * in.density;
    const double q = in.flow;
    const double c = RatioOf(in);
    const double z = in.elevation;
    const double v = VelocityFromFlow(q * c, in.diameter);
    const double muAtInlet = in.gas ? GasViscosityAtPressure(mu, in.inletPressure) : mu;
    const double re = ReynoldsNumber(v, in.diameter, muAtInlet, in.density / c);
    const double f = FrictionFactor(re, in.diameter, in.roughness);
    double head = FrictionHeadLoss(v, in.diameter, in.length, f) + z;
    const double k = FittingsTotalK(in.fittings, in.diameter);
    head = head + FittingsHead(k, v);
    const double pd = in.gas ? GasHeadToPressureDrop(head, in.density, c) : HeadToPressureDrop(head, in.density);

    SolverResult out;
    out.fittingsK = k;
    if (!AllFinite({v, re, f, head, k, pd})) {
        out.fault = SolverFault::NoValidResult;
        return out;
    }
    if (in.gas && pd > in.inletPressure) {
        out.fault = SolverFault::GasPressureDropTooHigh;
        return out;
    }
    out.velocity = v;
    out.reynolds = re;
    out.friction = f;
    out.head = head;
    out.pressureDrop = pd;
    out.exitPressure = in.inletPressure - pd;
    return out;
}

SolverResult SolveFindFlow(const SolverInputs& in) {
    const auto prepared = PrepareHeadBudget(in, true, true, false);
    if (const auto* r = std::get_if<SolverFault>(&prepared)) return Faulted(*r);
    const auto [mu, c, k, hf] = std::get<HeadBudget>(prepared);
    const double t = hf / in.length;

    SolverResult out;
    double v = kFlowIterationStartVelocity;
    double re = 0;
    double f = 0;
    for (int pass = 1; pass <= kMaxIterations; ++pass) {
        out.passes = pass;
        // Only a gas takes the viscosity at the inlet pressure here (see HeadBudget).
        re = in.gas ? ReynoldsNumber(v, in.diameter, mu * (1 + k), in.density / c)
                    : ReynoldsNumber(v, in.diameter, mu, in.density);
        f = FrictionFactor(re, in.diameter, in.roughness);
        const double hp = FrictionHeadLoss(v, in.diameter, 1, f);
        const double fittingsK = FittingsTotalK(in.fittings, in.diameter);
        out.fittingsK = fittingsK;
        const double hk = FittingsHead(fittingsK, v) / in.length;
        const double g = hp + hk;
        if (std::fabs(g - t) < kIterationTolerance) {
            out.converged = true;
            break;
        }
        v = v * std::sqrt(t / g);
        if (!std::isfinite(v)) break;
    }
    double q = FlowFromVelocity(v, in.diameter);
    if (in.gas) q = q / c;

    if (!AllFinite({v, re, f, q})) {
        out.fault = SolverFault::NoValidResult;
        return out;
    }
    SetResults(out, v, re, f, in);
    out.flow = q;
    return out;
}

SolverResult SolveFindDiameter(const SolverInputs& in) {
    const auto prepared = PrepareHeadBudget(in, false, true, true);
    if (const auto* r = std::get_if<SolverFault>(&prepared)) return Faulted(*r);
    const auto [mu, c, k, hf] = std::get<HeadBudget>(prepared);
    const double q = in.flow;
    const double t = hf / in.length;

    SolverResult out;
    double d = kDiameterIterationStart;
    double v = 0;
    double re = 0;
    double f = 0;
    for (int pass = 1; pass <= kMaxIterations; ++pass) {
        out.passes = pass;
        v = VelocityFromFlow(q * c, d);
        // (1 + k) for a liquid too, from the hidden inlet pressure (see HeadBudget).
        re = ReynoldsNumber(v, d, mu * (1 + k), in.density / c);
        f = FrictionFactor(re, d, in.roughness);
        const double hp = FrictionHeadLoss(v, d, 1, f);
        const double fittingsK = FittingsTotalK(in.fittings, d);
        out.fittingsK = fittingsK;
        const double hk = FittingsHead(fittingsK, v) / in.length;
        const double u = hp + hk;
        if (std::fabs(u - t) < kIterationTolerance) {
            out.converged = true;
            break;
        }
        d = d * std::sqrt(std::sqrt(u / t));
        if (!std::isfinite(d) || d <= 0) break;
    }

    if (!AllFinite({d, v, re, f}) || d <= 0) {
        out.fault = SolverFault::NoValidResult;
        return out;
    }
    SetResults(out, v, re, f, in);
    out.diameter = d;
    return out;
}

SolverResult SolveFindLength(const SolverInputs& in) {
    const auto prepared = PrepareHeadBudget(in, true, false, true);
    if (const auto* r = std::get_if<SolverFault>(&prepared)) return Faulted(*r);
    auto [mu, c, k, hf] = std::get<HeadBudget>(prepared);
    const double q = in.flow;

    const double v = VelocityFromFlow(q * c, in.diameter);
    // (1 + k) for a liquid too, from the hidden inlet pressure (see HeadBudget).
    const double re = ReynoldsNumber(v, in.diameter, mu * (1 + k), in.density / c);
    const double f = FrictionFactor(re, in.diameter, in.roughness);
    const double fittingsK = FittingsTotalK(in.fittings, in.diameter);
    const double hk = FittingsHead(fittingsK, v);
    hf = hf - hk;
    const double hp = FrictionHeadLoss(v, in.diameter, 1, f);
    const double length = hf / hp;

    SolverResult out;
    out.fittingsK = fittingsK;
    // The fittings and the elevation alone need all the head there is: no
    // length of pipe can be added.
    if (hf <= 0) {
        out.fault = SolverFault::FittingsTakeAvailablePressure;
        return out;
    }
    if (!AllFinite({v, re, f, hk, length})) {
        out.fault = SolverFault::NoValidResult;
        return out;
    }
    SetResults(out, v, re, f, in);
    out.length = length;
    return out;
}

}  // namespace corvane
