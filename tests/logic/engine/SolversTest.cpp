// The four calculations on plain values: refusals, iteration limits and
// how the inputs move the results.  The worked examples and their numbers
// are golden cases (tests/data/golden_panels.csv, GoldenPanelsTest).

#include <gtest/gtest.h>

#include <cmath>

#include "logic/engine/PipeFlow.h"
#include "logic/engine/Solvers.h"
#include "tests/logic/TestText.h"

namespace corvane {
namespace {

using test::Fixed;

// The start-up defaults of the panels in calculation units.
SolverInputs Defaults() {
    SolverInputs in;
    in.roughness = 0.046;
    in.diameter = 25;
    in.length = 10;
    in.flow = 100;
    in.inletPressure = 6;
    in.allowableLoss = 0.6;
    in.available = 10;
    in.viscosity = 1.004;
    in.density = 0.998;
    return in;
}

TEST(FindLengthSolver, FittingsSpendingMoreThanTheHeadGiveANegativeLength) {
    SolverInputs in = Defaults();
    in.fittings.openings[0] = 3;  // a gate valve at 25 %: K 28.8 in 25 mm
    in.fittings.counts[15] = 1;
    const SolverResult r = SolveFindLength(in);
    ASSERT_FALSE(r.fault);
    EXPECT_LT(r.length, 0);
    EXPECT_EQ(r.fittingsK, 28.8);
}

TEST(Solvers, RiseEqualToTheAvailableHeadIsRefused) {
    SolverInputs in = Defaults();
    in.elevation = 10;
    for (auto solve : {SolveFindFlow, SolveFindDiameter, SolveFindLength})
        EXPECT_EQ(solve(in).fault, SolverFault::AvailablePressureTooLow);
    in.elevation = -10;  // a fall adds to the head instead
    for (auto solve : {SolveFindFlow, SolveFindDiameter, SolveFindLength}) EXPECT_FALSE(solve(in).fault);
}

TEST(Solvers, FallAddsToTheHead) {
    SolverInputs in = Defaults();
    in.elevation = -2;  // a fall
    EXPECT_GT(SolveFindFlow(in).flow, SolveFindFlow(Defaults()).flow);
    EXPECT_LT(SolveFindDiameter(in).diameter, SolveFindDiameter(Defaults()).diameter);
    EXPECT_GT(SolveFindLength(in).length, SolveFindLength(Defaults()).length);
    in = Defaults();
    in.available = 20;
    EXPECT_LT(SolveFindDiameter(in).diameter, SolveFindDiameter(Defaults()).diameter);
}

TEST(Solvers, AvailablePressureStandsForItsHead) {
    // 10 m of water (relative density 0.998) as a pressure in bar.
    SolverInputs in = Defaults();
    in.availableAs = AvailableAs::Pressure;
    in.available = 10 * 0.998 * 1000 * kGravity / 100000;
    const SolverResult asPressure = SolveFindFlow(in);
    ASSERT_FALSE(asPressure.fault);
    EXPECT_NEAR(asPressure.flow, SolveFindFlow(Defaults()).flow, 1e-6);
    in.available = 0.5;  // bar: about 5.1 m, less head, less flow
    EXPECT_LT(SolveFindFlow(in).flow, asPressure.flow);
}

TEST(Solvers, NegativeInletPressureIsRefusedInLiquidModeToo) {
    SolverInputs in = Defaults();
    in.inletPressure = -0.001;
    for (auto solve : {SolvePressureDrop, SolveFindFlow, SolveFindDiameter, SolveFindLength}) {
        const SolverResult r = solve(in);
        EXPECT_EQ(r.fault, SolverFault::PressureTooLow);
        EXPECT_FALSE(r.fittingsK);
    }
}

TEST(Solvers, AllowableLossEqualToTheInletPressureIsAccepted) {
    SolverInputs in = Defaults();
    in.gas = true;
    in.viscosity = 15.1;
    in.density = 1.2047;
    in.allowableLoss = 6;
    for (auto solve : {SolveFindFlow, SolveFindDiameter, SolveFindLength}) EXPECT_FALSE(solve(in).fault);
    in.allowableLoss = 6.001;
    for (auto solve : {SolveFindFlow, SolveFindDiameter, SolveFindLength}) {
        const SolverResult r = solve(in);
        EXPECT_EQ(r.fault, SolverFault::AllowableLossTooHigh);
    }
}

TEST(Solvers, ZeroInletPressureLeavesNoRoomForAnAllowableLoss) {
    SolverInputs in = Defaults();
    in.gas = true;
    in.viscosity = 15.1;
    in.density = 1.2047;
    in.inletPressure = 0;
    in.allowableLoss = 0.001;
    for (auto solve : {SolveFindFlow, SolveFindDiameter, SolveFindLength})
        EXPECT_EQ(solve(in).fault, SolverFault::AllowableLossTooHigh);
}

TEST(Solvers, GasPressureDropAboveTheInletPressureIsRefusedAfterTheFittings) {
    SolverInputs in = Defaults();
    in.gas = true;
    in.viscosity = 15.1;
    in.density = 1.2047;
    in.inletPressure = 0.01;
    in.flow = 5000;
    in.fittings.counts[0] = 2;  // two standard bends
    const SolverResult r = SolvePressureDrop(in);
    EXPECT_EQ(r.fault, SolverFault::GasPressureDropTooHigh);
    ASSERT_TRUE(r.fittingsK);  // the total K was taken before the test
    EXPECT_DOUBLE_EQ(*r.fittingsK, 2 * 0.69);
}

TEST(Solvers, ZeroEntriesThatReachACalculationAreRefused) {
    struct Case {
        double SolverInputs::*field;
        SolverFault fault;
    } cases[] = {{&SolverInputs::diameter, SolverFault::DiameterNotPositive},
                 {&SolverInputs::length, SolverFault::LengthNotPositive},
                 {&SolverInputs::flow, SolverFault::FlowNotPositive},
                 {&SolverInputs::viscosity, SolverFault::ViscosityNotPositive},
                 {&SolverInputs::density, SolverFault::DensityNotPositive}};
    for (const auto& c : cases)
        for (double bad : {0.0, -1.0}) {
            SolverInputs in = Defaults();
            in.*(c.field) = bad;
            EXPECT_EQ(SolvePressureDrop(in).fault, c.fault);
            // Each panel refuses only the quantities it reads.
            if (c.field != &SolverInputs::flow) EXPECT_EQ(SolveFindFlow(in).fault, c.fault);
            if (c.field != &SolverInputs::diameter) EXPECT_EQ(SolveFindDiameter(in).fault, c.fault);
            if (c.field != &SolverInputs::length) EXPECT_EQ(SolveFindLength(in).fault, c.fault);
        }
}

TEST(Solvers, ResultsThatOverflowAreRefusedNotShown) {
    SolverInputs in = Defaults();
    in.flow = 1e306;
    EXPECT_EQ(SolvePressureDrop(in).fault, SolverFault::NoValidResult);
    EXPECT_EQ(SolveFindLength(in).fault, SolverFault::NoValidResult);
    in = Defaults();
    in.available = 1e306;
    const SolverResult flow = SolveFindFlow(in);
    EXPECT_TRUE(flow.fault || std::isfinite(flow.flow));
    const SolverResult d = SolveFindDiameter(in);
    EXPECT_TRUE(d.fault || (std::isfinite(d.diameter) && d.diameter > 0));
}

TEST(Solvers, IterationsStopAfter101PassesWithoutAMessage) {
    // An oil whose solution lies in the critical zone: the friction line
    // rises with the Reynolds number and the velocity keeps jumping.
    SolverInputs in = Defaults();
    in.viscosity = 10;
    in.density = 0.9;
    in.available = 0.6;
    const SolverResult r = SolveFindFlow(in);
    ASSERT_FALSE(r.fault);
    EXPECT_FALSE(r.converged);
    EXPECT_EQ(r.passes, kMaxIterations);
    EXPECT_EQ(FlowRegimeOf(r.reynolds), FlowRegime::Critical);
    // The velocity is the last updated one; the Reynolds number and the
    // friction factor stay those of the last evaluated pass.
    const double reOfShownVelocity = ReynoldsNumber(r.velocity, in.diameter, in.viscosity * in.density, in.density);
    EXPECT_NE(Fixed(reOfShownVelocity, 0), Fixed(r.reynolds, 0));
    EXPECT_DOUBLE_EQ(r.flow, FlowFromVelocity(r.velocity, in.diameter));
}

}  // namespace
}  // namespace corvane
