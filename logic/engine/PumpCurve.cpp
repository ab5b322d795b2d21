#include "logic/engine/PumpCurve.h"

#include <algorithm>
#include <cmath>

#include "logic/engine/PipeFlow.h"

namespace corvane {

double PumpCurve::head(double q) const {
    if (form_ != PumpCurveForm::Lines) return a_ - b_ * std::pow(q, c_);
    if (q <= points_.front().flow) return points_.front().head;
    for (std::size_t i = 1; i < points_.size(); ++i) {
        const PumpPoint& p = points_[i - 1];
        const PumpPoint& n = points_[i];
        if (q <= n.flow) return p.head + (n.head - p.head) * (q - p.flow) / (n.flow - p.flow);
    }
    return points_.back().head;
}

PumpCurveResult MakePumpCurve(std::vector<PumpPoint> points, double speedRatio) {
    PumpCurveResult r;
    if (points.empty()) {
        r.fault = PumpCurveFault::NoPoints;
        return r;
    }
    if (!(speedRatio > 0) || !std::isfinite(speedRatio)) {
        r.fault = PumpCurveFault::SpeedNotPositive;
        return r;
    }
    for (PumpPoint& p : points) {
        if (p.flow < 0 || p.head < 0) {
            r.fault = PumpCurveFault::NegativeValue;
            return r;
        }
        const PumpPoint given = p;
        p.flow *= speedRatio;
        p.head *= speedRatio * speedRatio;
        if (!std::isfinite(p.flow) || !std::isfinite(p.head)) {
            r.fault = PumpCurveFault::TooLarge;
            return r;
        }
        // A flow or head that the ratio brings below the smallest normal
        // number is lost to rounding: the curve would not be the pump's.
        if ((std::isnormal(given.flow) && !std::isnormal(p.flow)) ||
            (std::isnormal(given.head) && !std::isnormal(p.head))) {
            r.fault = PumpCurveFault::SpeedTooSmall;
            return r;
        }
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (!(points[i].flow > points[i - 1].flow)) {
            r.fault = PumpCurveFault::FlowsNotIncreasing;
            return r;
        }
        if (points[i].head > points[i - 1].head) {
            r.fault = PumpCurveFault::HeadsRise;
            return r;
        }
    }
    PumpCurve& c = r.curve;
    c.points_ = points;
    if (points.size() == 1) {
        const PumpPoint p = points.front();
        if (!(p.flow > 0) || !(p.head > 0)) {
            r.fault = PumpCurveFault::NegativeValue;
            return r;
        }
        c.form_ = PumpCurveForm::OnePoint;
        c.a_ = 4.0 / 3.0 * p.head;
        c.b_ = p.head / 3.0 / (p.flow * p.flow);
        c.c_ = 2.0;
        c.minFlow_ = 0;
        c.maxFlow_ = 2.0 * p.flow;
        if (!std::isfinite(c.a_) || !std::isfinite(c.maxFlow_)) r.fault = PumpCurveFault::TooLarge;
        else if (!std::isfinite(c.b_) || !(c.b_ > 0)) r.fault = PumpCurveFault::TooSmall;
        return r;
    }
    if (points.size() == 3 && points[0].flow == 0) {
        const double a = points[0].head;
        const double h1 = points[1].head, h2 = points[2].head;
        const double q1 = points[1].flow, q2 = points[2].flow;
        const double exponent = std::log((a - h2) / (a - h1)) / std::log(q2 / q1);
        const double factor = (a - h1) / std::pow(q1, exponent);
        if (!(a > h1) || !(h1 > h2) || !std::isfinite(exponent) || !(exponent > 0) || !std::isfinite(factor) ||
            !(factor > 0)) {
            r.fault = PumpCurveFault::NoFallingFit;
            return r;
        }
        c.form_ = PumpCurveForm::Fitted;
        c.a_ = a;
        c.b_ = factor;
        c.c_ = exponent;
        c.minFlow_ = 0;
        c.maxFlow_ = std::pow(a / factor, 1.0 / exponent);
        return r;
    }
    c.form_ = PumpCurveForm::Lines;
    c.minFlow_ = points.front().flow;
    c.maxFlow_ = points.back().flow;
    return r;
}

PumpOperatingResult SolvePumpOperatingPoint(const PumpCurve& pump,
                                            const std::function<std::optional<double>(double)>& systemHead) {
    PumpOperatingResult r;
    // Pump head less the pipe's: falls with the flow; its zero is the point.
    auto surplus = [&](double q) -> std::optional<double> {
        const std::optional<double> s = systemHead(q);
        if (!s || !std::isfinite(*s)) return std::nullopt;
        return pump.head(q) - *s;
    };
    double lo = pump.minFlow(), hi = pump.maxFlow();
    const std::optional<double> atLo = surplus(lo);
    const std::optional<double> atHi = surplus(hi);
    if (!atLo || !atHi) {
        r.fault = PumpOperatingFault::SystemRefused;
        return r;
    }
    if (*atLo <= 0) {
        r.fault = lo == 0 ? PumpOperatingFault::CannotOvercomeElevation : PumpOperatingFault::CurvesDoNotMeet;
        return r;
    }
    if (*atHi > 0) {
        r.fault = PumpOperatingFault::CurvesDoNotMeet;
        return r;
    }
    while (hi - lo > kPumpFlowTolerance * hi && r.passes < 200) {
        const double mid = 0.5 * (lo + hi);
        const std::optional<double> s = surplus(mid);
        if (!s) {
            r.fault = PumpOperatingFault::SystemRefused;
            return r;
        }
        (*s > 0 ? lo : hi) = mid;
        ++r.passes;
    }
    r.flow = 0.5 * (lo + hi);
    r.head = pump.head(r.flow);
    return r;
}

double FluidPowerW(double rhoR, double flow, double head) {
    const double densityKgM3 = rhoR * 1000.0;           // relative density of water 1 = 1000 kg/m3
    const double flowM3s = flow / 1000.0 / 60.0;        // l/min to m3/s
    return densityKgM3 * kGravity * flowM3s * head;
}

std::optional<double> NpshRequiredAt(const std::vector<PumpPoint>& pts, double s, double q) {
    if (pts.empty() || q < pts.front().flow * s || q > pts.back().flow * s) return std::nullopt;
    for (std::size_t i = 1; i < pts.size(); ++i) {
        const double q0 = pts[i - 1].flow * s, q1 = pts[i].flow * s;
        if (q <= q1) {
            const double h0 = pts[i - 1].head * s * s, h1 = pts[i].head * s * s;
            return h0 + (h1 - h0) * (q - q0) / (q1 - q0);
        }
    }
    return std::nullopt;
}

}  // namespace corvane
