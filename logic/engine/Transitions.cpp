#include "logic/engine/Transitions.h"

#include <cmath>
#include <limits>
#include <numbers>

// The arithmetic follows the published forms step by step, in the order of
// the reference implementation the tests compare with, so that results agree
// to the last few bits.

namespace corvane {
namespace {

constexpr double kDegree = 0.017453292519943295;  // pi / 180

// The contraction's lambda: 1 + 0.622 scale (1 - 0.215 beta^2 - 0.785 beta^5).
double ContractionLambda(double scale, double beta2, double beta5) {
    return 1.0 + 0.622 * scale * (1.0 - 0.215 * beta2 - 0.785 * beta5);
}

}  // namespace

double SuddenContractionK(double d1, double d2) {
    const double beta = d2 / d1;
    const double beta2 = beta * beta;
    const double beta5 = beta2 * beta2 * beta;
    const double lambda = ContractionLambda(1.0, beta2, beta5);
    return 0.0696 * (1.0 - beta5) * lambda * lambda + (lambda - 1.0) * (lambda - 1.0);
}

ConicalTransition ConicalContraction(double d1, double d2, double angle) {
    const double beta = d2 / d1;
    const double a = angle * kDegree;
    const double beta2 = beta * beta;
    const double beta4 = beta2 * beta2;
    const double beta5 = beta4 * beta;
    const double lambda = ContractionLambda(std::pow(a / std::numbers::pi, 0.8), beta2, beta5);
    ConicalTransition t;
    t.sinHalf = std::sin(0.5 * a);
    t.reach = 1.0 - beta4;
    t.shape = 0.0696 * t.sinHalf * (1.0 - beta5) * lambda * lambda + std::pow(lambda - 1.0, 2);
    return t;
}

double ConicalContractionK(double d1, double d2, double angle, double fd) {
    return ConicalContraction(d1, d2, angle).k(fd);
}

double SuddenExpansionK(double d1, double d2) {
    const double beta = d1 / d2;
    const double r = 1.0 - beta * beta;
    return r * r;
}

ConicalTransition ConicalExpansion(double d1, double d2, double angle) {
    const double beta = d1 / d2;
    const double beta2 = beta * beta;
    const double a = angle * kDegree;
    const double area = std::pow(1.0 - beta2, 2);
    auto wide = [&] { return 1.366 * std::sqrt(std::sin(2.0 * std::numbers::pi * (angle - 15.0) / 180.0)) - 0.170; };
    ConicalTransition t;
    t.expansion = true;
    t.reach = 1.0 - beta2 * beta2;
    t.sinHalf = std::sin(0.5 * a);
    t.friction = angle <= 60.0;
    if (angle > 0.0 && angle <= 20.0) {
        t.shape = 8.30 * std::pow(std::tan(0.5 * a), 1.75) * area;
    } else if (angle > 20.0 && angle <= 60.0 && beta < 0.5) {
        t.shape = (wide() - 3.28 * (0.0625 - std::pow(beta, 4)) * std::sqrt(0.025 * (angle - 20.0))) * area;
    } else if (angle > 20.0 && angle <= 60.0) {
        t.shape = wide() * area;
    } else if (angle > 60.0 && angle <= 180.0 && beta < 0.5) {
        const double beta4 = beta2 * beta2;
        t.shape = (1.205 - 3.28 * (0.0625 - beta4) - 12.8 * beta4 * beta2 * std::sqrt((angle - 60.0) / 120.0)) * area;
    } else if (angle > 60.0 && angle <= 180.0) {
        t.shape = (1.205 - 0.20 * std::sqrt((angle - 60.0) / 120.0)) * area;
    } else {
        t.shape = std::numeric_limits<double>::quiet_NaN();
    }
    return t;
}

double ConicalExpansionK(double d1, double d2, double angle, double fd) {
    return ConicalExpansion(d1, d2, angle).k(fd);
}

double ConicalTransition::k(double fd) const {
    if (!expansion) return fd * reach / (8.0 * sinHalf) + shape;
    if (!friction) return shape;
    return shape + 0.125 * fd * reach / sinHalf;
}

double ConicalTransition::frictionSlope() const { return friction ? reach / (8.0 * sinHalf) : 0.0; }

double ChangeKBasis(double k1, double d1, double d2) {
    double r = d2 / d1;
    r *= r;
    return k1 * r * r;
}

}  // namespace corvane
