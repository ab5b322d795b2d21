#include "logic/engine/Solvers.h"

#include <cmath>
#include <initializer_list>
#include <variant>

#include "logic/engine/PipeFlow.h"
#include "logic/model/FittingsText.h"

namespace corvane {

namespace refusals {
Refusal PressureTooLow() { return {MessageKind::Warning, "The pressure is too low."}; }
Refusal GasPressureDropTooHigh() {
    return {MessageKind::Information,
            "The pressure drop is greater than the inlet gas pressure\r"
            "Reduce the pipe length, elevation rise or flow rate\r"
            "or increase the internal diameter."};
}
Refusal AllowableLossTooHigh() {
    return {MessageKind::Information,
            "The allowable pressure loss cannot be greater than the inlet gas pressure.\r"
            "Reduce the allowable pressure loss."};
}
Refusal AvailablePressureTooLow() {
    return {MessageKind::Information,
            "The available pressure is too low.\r"
            "Increase the available pressure or reduce the elevation change"};
}
Refusal DiameterNotPositive() { return {MessageKind::Warning, "The internal diameter must be greater than zero."}; }
Refusal LengthNotPositive() { return {MessageKind::Warning, "The pipe length must be greater than zero."}; }
Refusal FlowNotPositive() { return {MessageKind::Warning, "The flow rate must be greater than zero."}; }
Refusal ViscosityNotPositive() {
    return {MessageKind::Warning, "The fluid viscosity must be greater than zero.\rChoose the fluid again."};
}
Refusal DensityNotPositive() {
    return {MessageKind::Warning, "The fluid density must be greater than zero.\rChoose the fluid again."};
}
Refusal NoValidResult() {
    return {MessageKind::Warning, "These entries give no valid result.\rCheck the pipe, fluid and flow data."};
}
}  // namespace refusals

namespace {

constexpr double kG = kGravity;

SolverResult Refused(Refusal r) {
    SolverResult out;
    out.refusal = std::move(r);
    return out;
}

// Entries that must be above zero for the panel's formulas to mean
// anything.  The entry rules keep zeros out of the fields the user leaves,
// but a panel file or a program write can still bring them.
std::optional<Refusal> CheckPositive(const SolverInputs& in, bool diameter, bool length, bool flow) {
    if (diameter && !(in.diameter > 0)) return refusals::DiameterNotPositive();
    if (length && !(in.length > 0)) return refusals::LengthNotPositive();
    if (flow && !(in.flow > 0)) return refusals::FlowNotPositive();
    if (!(in.viscosity > 0)) return refusals::ViscosityNotPositive();
    if (!(in.density > 0)) return refusals::DensityNotPositive();
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
// stands for, or the refusal of the allowable loss.
std::optional<Refusal> HeadAvailable(const SolverInputs& in, double c, double& h) {
    const double rho = in.density;
    double a = in.available;
    if (in.availableUnit == AvailableUnit::Head) {
        h = in.imperial ? a / 3.2808399 : a;
    } else {
        if (in.imperial) a = a / 14.5037744;
        h = in.gas ? a * 100000.0 / rho * c / kG : a * 100000.0 / rho / 1000.0 / kG;
    }
    if (in.gas) {
        if (in.allowableLoss > in.inletPressure) return refusals::AllowableLossTooHigh();
        h = in.allowableLoss * (100000.0 / rho * c / kG);
    }
    return std::nullopt;
}

// Head left for friction after the elevation, or the refusal.
std::optional<Refusal> FrictionHead(const SolverInputs& in, double h, double& hf) {
    const double z = in.fall ? -in.elevation : in.elevation;
    hf = h - z;
    if (hf <= 0) return refusals::AvailablePressureTooLow();
    return std::nullopt;
}

// What the flow, diameter and length panels share before they solve: the
// refusals in their order, the dynamic viscosity, the volume ratio, the
// viscosity pressure term and the head left for friction.
struct HeadBudget {
    double mu;  // dynamic viscosity at atmospheric pressure
    double c;   // volume ratio (1 for a liquid)
    double k;   // 0.0028 x inlet pressure
    double hf;  // head left for friction, m
};

std::variant<HeadBudget, Refusal> PrepareHeadBudget(const SolverInputs& in, bool diameter, bool length, bool flow) {
    if (in.inletPressure < 0) return refusals::PressureTooLow();
    if (auto r = CheckPositive(in, diameter, length, flow)) return *r;
    HeadBudget b{};
    b.mu = in.viscosity * in.density;
    b.c = RatioOf(in);
    b.k = 0.0028 * in.inletPressure;
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
    if (in.inletPressure < 0) return Refused(refusals::PressureTooLow());
    if (auto r = CheckPositive(in, true, true, true)) return Refused(*r);

    const double mu = in.viscosity * in.density;
    const double q = in.flow;
    const double c = RatioOf(in);
    const double z = in.fall ? -in.elevation : in.elevation;
    const double v = VelocityFromFlow(q * c, in.diameter);
    const double muAtInlet = in.gas ? GasViscosityAtPressure(mu, in.inletPressure) : mu;
    const double re = ReynoldsNumber(v, in.diameter, muAtInlet, in.density / c);
    const double f = FrictionFactor(re, in.diameter, in.roughness);
    double head = FrictionHeadLoss(v, in.diameter, in.length, f) + z;
    const double k = FittingsTotalK(in.fittings, in.diameter, in.locale);
    head = head + FittingsHead(k, v);
    const double pd = in.gas ? GasHeadToPressureDrop(head, in.density, c) : HeadToPressureDrop(head, in.density);

    SolverResult out;
    out.fittingsK = k;
    if (!AllFinite({v, re, f, head, k, pd})) {
        out.refusal = refusals::NoValidResult();
        return out;
    }
    if (in.gas && pd > in.inletPressure) {
        out.refusal = refusals::GasPressureDropTooHigh();
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
    if (const auto* r = std::get_if<Refusal>(&prepared)) return Refused(*r);
    const auto [mu, c, k, hf] = std::get<HeadBudget>(prepared);
    const double t = hf / in.length;

    SolverResult out;
    double v = 2.0;
    double re = 0;
    double f = 0;
    for (int pass = 1; pass <= kMaxIterations; ++pass) {
        out.passes = pass;
        re = in.gas ? ReynoldsNumber(v, in.diameter, mu * (1 + k), in.density / c)
                    : ReynoldsNumber(v, in.diameter, mu, in.density);
        f = FrictionFactor(re, in.diameter, in.roughness);
        const double hp = FrictionHeadLoss(v, in.diameter, 1, f);
        const double fittingsK = FittingsTotalK(in.fittings, in.diameter, in.locale);
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
        out.refusal = refusals::NoValidResult();
        return out;
    }
    SetResults(out, v, re, f, in);
    out.flow = q;
    return out;
}

SolverResult SolveFindDiameter(const SolverInputs& in) {
    const auto prepared = PrepareHeadBudget(in, false, true, true);
    if (const auto* r = std::get_if<Refusal>(&prepared)) return Refused(*r);
    const auto [mu, c, k, hf] = std::get<HeadBudget>(prepared);
    const double q = in.flow;
    const double t = hf / in.length;

    SolverResult out;
    double d = 50.0;
    double v = 0;
    double re = 0;
    double f = 0;
    for (int pass = 1; pass <= kMaxIterations; ++pass) {
        out.passes = pass;
        v = VelocityFromFlow(q * c, d);
        re = ReynoldsNumber(v, d, mu * (1 + k), in.density / c);
        f = FrictionFactor(re, d, in.roughness);
        const double hp = FrictionHeadLoss(v, d, 1, f);
        const double fittingsK = FittingsTotalK(in.fittings, d, in.locale);
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
        out.refusal = refusals::NoValidResult();
        return out;
    }
    SetResults(out, v, re, f, in);
    out.diameter = d;
    return out;
}

SolverResult SolveFindLength(const SolverInputs& in) {
    const auto prepared = PrepareHeadBudget(in, true, false, true);
    if (const auto* r = std::get_if<Refusal>(&prepared)) return Refused(*r);
    auto [mu, c, k, hf] = std::get<HeadBudget>(prepared);
    const double q = in.flow;

    const double v = VelocityFromFlow(q * c, in.diameter);
    const double re = ReynoldsNumber(v, in.diameter, mu * (1 + k), in.density / c);
    const double f = FrictionFactor(re, in.diameter, in.roughness);
    const double fittingsK = FittingsTotalK(in.fittings, in.diameter, in.locale);
    const double hk = FittingsHead(fittingsK, v);
    hf = hf - hk;
    const double hp = FrictionHeadLoss(v, in.diameter, 1, f);
    const double length = hf / hp;

    SolverResult out;
    out.fittingsK = fittingsK;
    if (!AllFinite({v, re, f, hk, length})) {
        out.refusal = refusals::NoValidResult();
        return out;
    }
    SetResults(out, v, re, f, in);
    out.length = length;
    return out;
}

}  // namespace corvane
