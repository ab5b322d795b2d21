// Pump curves from their points, the affinity laws, and the operating
// point on a rising system curve.

#include <gtest/gtest.h>

#include <cmath>

#include "logic/engine/PumpCurve.h"

namespace corvane {
namespace {

PumpCurve Made(std::vector<PumpPoint> points, double speed = 1.0) {
    const PumpCurveResult r = MakePumpCurve(std::move(points), speed);
    EXPECT_FALSE(r.fault);
    return r.curve;
}

std::optional<PumpCurveFault> FaultOf(std::vector<PumpPoint> points, double speed = 1.0) {
    return MakePumpCurve(std::move(points), speed).fault;
}

TEST(PumpCurveForms, OnePointIsAParabolaFromFourThirdsOfItsHead) {
    const PumpCurve c = Made({{100, 30}});
    EXPECT_EQ(c.form(), PumpCurveForm::OnePoint);
    EXPECT_DOUBLE_EQ(c.a(), 40.0);
    EXPECT_DOUBLE_EQ(c.b(), 0.001);
    EXPECT_EQ(c.c(), 2.0);
    EXPECT_DOUBLE_EQ(c.head(0), 40.0);    // shut-off at 4/3 H1
    EXPECT_DOUBLE_EQ(c.head(100), 30.0);  // through the design point
    EXPECT_NEAR(c.head(200), 0.0, 1e-12); // no head left at 2 Q1
    EXPECT_DOUBLE_EQ(c.head(50), 37.5);
    EXPECT_EQ(c.minFlow(), 0.0);
    EXPECT_EQ(c.maxFlow(), 200.0);
}

TEST(PumpCurveForms, ThreePointsFromNoFlowAreFitted) {
    // C = ln(20/5)/ln 2 = 2, B = 5/100^2.
    const PumpCurve c = Made({{0, 50}, {100, 45}, {200, 30}});
    EXPECT_EQ(c.form(), PumpCurveForm::Fitted);
    EXPECT_DOUBLE_EQ(c.a(), 50.0);
    EXPECT_NEAR(c.c(), 2.0, 1e-15);
    EXPECT_NEAR(c.b(), 0.0005, 1e-15);
    EXPECT_NEAR(c.head(150), 38.75, 1e-10);
    EXPECT_NEAR(c.maxFlow(), std::sqrt(100000.0), 1e-9);
    EXPECT_NEAR(c.head(c.maxFlow()), 0.0, 1e-9);

    // An exponent that is not whole: C = ln(35/10)/ln 3, B = 10/100^C.
    const PumpCurve d = Made({{0, 50}, {100, 40}, {300, 15}});
    const double exponent = std::log(3.5) / std::log(3.0);
    EXPECT_NEAR(d.c(), exponent, 1e-14);
    EXPECT_NEAR(d.b(), 10.0 / std::pow(100.0, exponent), 1e-14);
    EXPECT_NEAR(d.head(100), 40.0, 1e-12);
    EXPECT_NEAR(d.head(300), 15.0, 1e-12);
    EXPECT_NEAR(d.head(200), 50.0 - d.b() * std::pow(200.0, exponent), 1e-12);
}

TEST(PumpCurveForms, OtherPointsAreJoinedByStraightLines) {
    const PumpCurve c = Made({{50, 40}, {100, 35}, {200, 20}});
    EXPECT_EQ(c.form(), PumpCurveForm::Lines);
    EXPECT_EQ(c.minFlow(), 50.0);
    EXPECT_EQ(c.maxFlow(), 200.0);
    EXPECT_DOUBLE_EQ(c.head(50), 40.0);
    EXPECT_DOUBLE_EQ(c.head(75), 37.5);
    EXPECT_DOUBLE_EQ(c.head(100), 35.0);
    EXPECT_DOUBLE_EQ(c.head(150), 27.5);
    EXPECT_DOUBLE_EQ(c.head(200), 20.0);

    // Two points; four points from no flow; three points not from no flow.
    EXPECT_EQ(Made({{0, 10}, {10, 0}}).form(), PumpCurveForm::Lines);
    EXPECT_EQ(Made({{0, 50}, {100, 45}, {200, 30}, {250, 10}}).form(), PumpCurveForm::Lines);
    EXPECT_EQ(Made({{10, 50}, {100, 45}, {200, 30}}).form(), PumpCurveForm::Lines);
}

TEST(PumpCurveForms, TheSpeedRatioMovesEveryPointByTheAffinityLaws) {
    const PumpCurve half = Made({{100, 30}}, 0.5);
    ASSERT_EQ(half.points().size(), 1u);
    EXPECT_DOUBLE_EQ(half.points()[0].flow, 50.0);
    EXPECT_DOUBLE_EQ(half.points()[0].head, 7.5);
    EXPECT_DOUBLE_EQ(half.head(0), 10.0);
    EXPECT_DOUBLE_EQ(half.maxFlow(), 100.0);

    const PumpCurve fast = Made({{0, 50}, {100, 45}, {200, 30}}, 1.2);
    const PumpCurve same = Made({{0, 72}, {120, 64.8}, {240, 43.2}});
    for (double q : {0.0, 60.0, 150.0, 240.0}) EXPECT_NEAR(fast.head(q), same.head(q), 1e-10) << q;
}

TEST(PumpCurveForms, PointsThatMakeNoCurveAreRefused) {
    EXPECT_EQ(FaultOf({}), PumpCurveFault::NoPoints);
    EXPECT_EQ(FaultOf({{100, 30}}, 0), PumpCurveFault::SpeedNotPositive);
    EXPECT_EQ(FaultOf({{100, 30}}, -1), PumpCurveFault::SpeedNotPositive);
    EXPECT_EQ(FaultOf({{100, 30}}, NAN), PumpCurveFault::SpeedNotPositive);
    EXPECT_EQ(FaultOf({{-1, 30}, {100, 20}}), PumpCurveFault::NegativeValue);
    EXPECT_EQ(FaultOf({{0, 30}, {100, -2}}), PumpCurveFault::NegativeValue);
    EXPECT_EQ(FaultOf({{0, INFINITY}, {100, 2}}), PumpCurveFault::TooLarge);
    EXPECT_EQ(FaultOf({{1e-320, 1e-320}}), PumpCurveFault::TooSmall);
    // A ratio that takes the heads below what a number holds: the ratio's fault.
    EXPECT_EQ(FaultOf({{0, 30}, {100, 20}, {200, 5}}, 1e-320), PumpCurveFault::SpeedTooSmall);
    EXPECT_EQ(FaultOf({{100, 30}}, 1e-160), PumpCurveFault::SpeedTooSmall);
    EXPECT_EQ(FaultOf({{100, 0}}), PumpCurveFault::NegativeValue);
    EXPECT_EQ(FaultOf({{0, 30}}), PumpCurveFault::NegativeValue);
    EXPECT_EQ(FaultOf({{100, 30}, {100, 20}}), PumpCurveFault::FlowsNotIncreasing);
    EXPECT_EQ(FaultOf({{200, 30}, {100, 40}}), PumpCurveFault::FlowsNotIncreasing);
    EXPECT_EQ(FaultOf({{0, 30}, {100, 31}}), PumpCurveFault::HeadsRise);
    EXPECT_EQ(FaultOf({{0, 30}, {100, 20}, {200, 25}}), PumpCurveFault::HeadsRise);
    // Level stretches give no falling fit A - B Q^C.
    EXPECT_EQ(FaultOf({{0, 30}, {100, 30}, {200, 20}}), PumpCurveFault::NoFallingFit);
    EXPECT_EQ(FaultOf({{0, 30}, {100, 20}, {200, 20}}), PumpCurveFault::NoFallingFit);
    // ... but straight lines may have them.
    EXPECT_FALSE(FaultOf({{0, 30}, {100, 30}, {200, 20}, {300, 0}}));
}

// A system curve of 10 m static head and 0.0005 Q^2 of friction.
std::optional<double> Rising(double q) { return 10.0 + 0.0005 * q * q; }

TEST(PumpOperatingPoint, WhereThePumpMeetsTheSystem) {
    // 40 - 0.001 Q^2 = 10 + 0.0005 Q^2: Q^2 = 20000, H = 20.
    const PumpOperatingResult r = SolvePumpOperatingPoint(Made({{100, 30}}), Rising);
    ASSERT_FALSE(r.fault);
    EXPECT_NEAR(r.flow, std::sqrt(20000.0), std::sqrt(20000.0) * 2e-9);
    EXPECT_NEAR(r.head, 20.0, 1e-6);
    EXPECT_NEAR(r.head, *Rising(r.flow), 1e-6);
    EXPECT_GT(r.passes, 20);

    // A straight line through (50, 25) and (150, 5) passes through the
    // system's own point (100, 15): the answer is known.
    const PumpOperatingResult line = SolvePumpOperatingPoint(Made({{50, 25}, {150, 5}}), Rising);
    ASSERT_FALSE(line.fault);
    EXPECT_NEAR(line.flow, 100.0, 100.0 * 2e-9);
    EXPECT_NEAR(line.head, 15.0, 1e-6);
}

TEST(PumpOperatingPoint, RefusedWhereTheCurvesDoNotMeet) {
    // Shut-off 40 m below a static head of 45 m, and exactly at 40 m.
    auto high = [](double q) -> std::optional<double> { return 45.0 + 0.0005 * q * q; };
    EXPECT_EQ(SolvePumpOperatingPoint(Made({{100, 30}}), high).fault, PumpOperatingFault::CannotOvercomeElevation);
    auto level = [](double q) -> std::optional<double> { return 40.0 + 0.0005 * q * q; };
    EXPECT_EQ(SolvePumpOperatingPoint(Made({{100, 30}}), level).fault, PumpOperatingFault::CannotOvercomeElevation);
    // A curve of lines that starts above no flow, below the system there.
    EXPECT_EQ(SolvePumpOperatingPoint(Made({{100, 12}, {150, 5}}), Rising).fault,
              PumpOperatingFault::CurvesDoNotMeet);
    // A fall so deep that the pump's head stays above the system's to the
    // curve's last flow.
    auto deepFall = [](double q) -> std::optional<double> { return -100.0 + 0.0005 * q * q; };
    EXPECT_EQ(SolvePumpOperatingPoint(Made({{50, 25}, {150, 5}}), deepFall).fault,
              PumpOperatingFault::CurvesDoNotMeet);
    // The system cannot be calculated.
    auto refused = [](double q) -> std::optional<double> {
        if (q > 80) return std::nullopt;
        return 10.0 + 0.0005 * q * q;
    };
    EXPECT_EQ(SolvePumpOperatingPoint(Made({{100, 30}}), refused).fault, PumpOperatingFault::SystemRefused);
}

TEST(PumpPower, RhoGQH) {
    EXPECT_DOUBLE_EQ(FluidPowerW(1.0, 60000.0, 10.0), 98100.0);  // 1 m3/s of water lifted 10 m
    EXPECT_DOUBLE_EQ(FluidPowerW(0.998, 300.0, 20.0), 0.998 * 1000 * 9.81 * 0.005 * 20.0);
    EXPECT_EQ(FluidPowerW(1.0, 0.0, 10.0), 0.0);
}

}  // namespace
}  // namespace corvane
