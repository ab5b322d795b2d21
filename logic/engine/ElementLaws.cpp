#include "logic/engine/ElementLaws.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "logic/engine/PipeFlow.h"

// The values keep the order of operations of the pressure drop panel's
// liquid calculation, so that a run's numbers are the panel's to the bit;
// the slopes are plain derivatives of the same equations.

namespace corvane {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The Reynolds number per m/s of velocity in the pipe (Re is a straight line in v).
double ReynoldsPerVelocity(const PipeElement& pipe) {
    return ReynoldsNumber(1.0, pipe.diameter, pipe.viscosity * pipe.rhoR, pipe.rhoR);
}

}  // namespace

PipeElement MakePipeElement(double diameter, double roughness, double length, double fittingsK, double viscosity,
                            double density) {
    PipeElement e;
    e.diameter = diameter;
    e.length = length;
    e.viscosity = viscosity;
    e.rhoR = density / 1000.0;
    e.roughnessTerm = HaalandRoughnessTerm(diameter, roughness);
    e.fittingsK = fittingsK;
    return e;
}

SectionFlow PipeSectionAt(const PipeElement& pipe, double q) {
    SectionFlow f;
    f.velocity = VelocityFromFlow(q, pipe.diameter);
    f.reynolds = ReynoldsNumber(f.velocity, pipe.diameter, pipe.viscosity * pipe.rhoR, pipe.rhoR);
    f.friction = FrictionFactorWithTerm(f.reynolds, pipe.roughnessTerm);
    f.frictionHead = FrictionHeadLoss(f.velocity, pipe.diameter, pipe.length, f.friction);
    f.fittingsK = pipe.fittingsK;
    f.fittingsHead = FittingsHead(f.fittingsK, f.velocity);
    return f;
}

double FrictionFactorSlope(double re, double roughnessTerm) {
    if (std::isnan(re)) return kNaN;
    if (re <= 0.0) return 0.0;
    double slope = 0.0;
    if (re <= kLaminarLimit) {
        slope = -kLaminarFactor / (re * re);
    } else if (re < kTurbulentLimit) {
        slope = 1.0 / kCriticalSlope;
    } else {
        const double s = roughnessTerm + kHaalandReynoldsTerm / re;
        if (!(s > 0.0)) return 0.0;  // held at its floor: no change with Re
        const double y = -kHaalandFactor * std::log10(s);
        const double dy = kHaalandFactor * kHaalandReynoldsTerm / (s * std::numbers::ln10 * re * re);
        slope = -2.0 / (y * y * y) * dy;
    }
    return std::isfinite(slope) ? slope : kNaN;
}

double PipeSectionSlope(const PipeElement& pipe, const SectionFlow& at) {
    if (!(pipe.diameter > 0.0)) return kNaN;
    const double perFlow = VelocityFromFlow(1.0, pipe.diameter);  // dv/dQ
    const double lengthOverDiameter = pipe.length / (pipe.diameter / 1000.0);
    const double b = ReynoldsPerVelocity(pipe);
    const double v = at.velocity;
    // d(friction head)/dv: in the laminar zone 64 / (b v) L / D v^2 / 2g is
    // the straight line 32 L / (b D g) v.
    const double friction = at.reynolds <= kLaminarLimit
                                ? kLaminarFactor / b * lengthOverDiameter / (2.0 * kGravity)
                                : lengthOverDiameter * (v * v / (2.0 * kGravity)) *
                                          FrictionFactorSlope(at.reynolds, pipe.roughnessTerm) * b +
                                      at.friction * lengthOverDiameter * v / kGravity;
    return perFlow * (friction + pipe.fittingsK * v / kGravity);
}

LinkHead PipeSectionLaw(const PipeElement& pipe, double q) {
    const SectionFlow at = PipeSectionAt(pipe, std::fabs(q));
    return {q < 0 ? -at.headLoss() : at.headLoss(), PipeSectionSlope(pipe, at)};
}

double ZoneLimitFlow(const PipeElement& pipe, double reynolds) {
    return FlowFromVelocity(reynolds * pipe.viscosity / pipe.diameter * 1000.0 / 1e6, pipe.diameter);
}

TransitionElement MakeTransition(double from, double to, TransitionForm form, double angle) {
    TransitionElement t;
    t.from = from;
    t.to = to;
    t.form = form;
    t.angle = angle;
    if (t.none()) return t;
    if (form == TransitionForm::Conical)
        t.conical = to < from ? ConicalContraction(from, to, angle) : ConicalExpansion(from, to, angle);
    else
        t.suddenK = to < from ? SuddenContractionK(from, to) : SuddenExpansionK(from, to);
    return t;
}

TransitionElement Reversed(const TransitionElement& t) { return MakeTransition(t.to, t.from, t.form, t.angle); }

double TransitionK(const TransitionElement& t, double fd) {
    return t.form == TransitionForm::Conical ? t.conical.k(fd) : t.suddenK;
}

LinkHead TransitionLaw(const TransitionElement& t, const PipeElement& smaller, double q) {
    if (q < 0) {
        LinkHead back = TransitionLaw(Reversed(t), smaller, -q);
        back.head = -back.head;
        return back;
    }
    if (t.none()) return {};
    const SectionFlow at = PipeSectionAt(smaller, q);
    const double k = TransitionK(t, at.friction);
    const double perFriction = t.form == TransitionForm::Conical ? t.conical.frictionSlope() : 0.0;  // dK/dfd
    const double b = ReynoldsPerVelocity(smaller);
    const double v = at.velocity;
    // dh/dv: K v / g, and the friction term's change; in the laminar zone
    // dK/dfd 64 / (b v) v^2 / 2g is a straight line in v.
    const double dhdv = at.reynolds <= kLaminarLimit
                            ? perFriction * kLaminarFactor / b / (2.0 * kGravity) + TransitionK(t, 0.0) * v / kGravity
                            : perFriction * FrictionFactorSlope(at.reynolds, smaller.roughnessTerm) * b *
                                      (v * v / (2.0 * kGravity)) +
                                  k * v / kGravity;
    return {FittingsHead(k, v), VelocityFromFlow(1.0, smaller.diameter) * dhdv};
}

LinkHead VesselEndLaw(const VesselEnd& end, double q) {
    const double v = VelocityFromFlow(std::fabs(q), end.diameter);
    const double k = end.k(q);
    const double h = FittingsHead(k, v);
    return {q < 0 ? -h : h, k * v / kGravity * VelocityFromFlow(1.0, end.diameter)};
}

LinkHead PumpLaw(const PumpCurve& curve, double q) {
    if (!(q >= 0)) return {kNaN, kNaN};
    LinkHead r{curve.head(q), 0.0};
    if (curve.form() != PumpCurveForm::Lines) {
        r.slope = -curve.b() * curve.c() * std::pow(q, curve.c() - 1.0);
        return r;
    }
    const auto& pts = curve.points();
    if (q < pts.front().flow || q > pts.back().flow) return r;
    for (std::size_t i = 1; i < pts.size(); ++i)
        if (q <= pts[i].flow) {
            r.slope = (pts[i].head - pts[i - 1].head) / (pts[i].flow - pts[i - 1].flow);
            break;
        }
    return r;
}

LinkHead PumpLawBeyondEnds(const PumpCurve& curve, double q) {
    const double last = curve.maxFlow();
    if (q > last) {
        // The slope at the end: the last line's, or the fitted form's there.
        const auto& pts = curve.points();
        const double slope = curve.form() == PumpCurveForm::Lines
                                 ? (pts.size() > 1 ? (pts.back().head - pts[pts.size() - 2].head) /
                                                         (pts.back().flow - pts[pts.size() - 2].flow)
                                                   : 0.0)
                                 : -curve.b() * curve.c() * std::pow(last, curve.c() - 1.0);
        return {curve.head(last) + slope * (q - last), slope};
    }
    const double near = kPumpChordFlow * last;
    if (q >= near) return PumpLaw(curve, q);
    const double shutOff = curve.head(0.0);
    const double slope = near > 0 ? (curve.head(near) - shutOff) / near : 0.0;
    return {shutOff + slope * q, slope};
}

double ControlValveKv(double kv, ValveCharacteristic characteristic, double rangeability, double opening) {
    switch (characteristic) {
        case ValveCharacteristic::Linear: return kv * opening;
        case ValveCharacteristic::EqualPercentage: return kv * std::pow(rangeability, opening - 1.0);
        case ValveCharacteristic::QuickOpening: return kv * std::sqrt(opening);
    }
    return kNaN;
}

LinkHead ControlValveLaw(double kvx, double density, double q) {
    const double cubicMetresPerHour = std::fabs(q) * 60.0 / 1000.0;
    const double ratio = cubicMetresPerHour / kvx;
    const double dp = ratio * ratio * density / 1000.0;  // bar
    const double h = PressureToHead(dp, density / 1000.0);
    return {q < 0 ? -h : h, q == 0 ? 0.0 : 2.0 * h / std::fabs(q)};
}

}  // namespace corvane
