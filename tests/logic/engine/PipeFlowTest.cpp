#include <gtest/gtest.h>

#include <cmath>

#include <numbers>

#include "logic/engine/FittingTable.h"
#include "logic/engine/Fittings.h"
#include "logic/engine/PipeFlow.h"
#include "logic/engine/Solvers.h"
#include "logic/engine/Units.h"
#include "tests/logic/TestText.h"

namespace corvane {
namespace {

using test::Fixed;

TEST(VelocityAndFlow, VelocityIsTheFlowOverTheAreaAndBack) {
    // 100 l/min in a 25 mm pipe.
    const double v = VelocityFromFlow(100, 25);
    EXPECT_DOUBLE_EQ(v, 100.0 / 60000.0 / (std::numbers::pi * 0.025 * 0.025 / 4));
    EXPECT_NEAR(FlowFromVelocity(v, 25), 100.0, 1e-12);
}

TEST(VelocityAndFlow, DiameterOfZeroOrLessGivesZeroWithoutDividing) {
    for (double d : {0.0, -0.0, -25.0, std::nan("")}) {
        EXPECT_EQ(VelocityFromFlow(100, d), 0.0) << d;
        EXPECT_EQ(FlowFromVelocity(3, d), 0.0) << d;
    }
}

TEST(FrictionFactor, NoFlowIsZeroAndLaminar) {
    EXPECT_EQ(FrictionFactor(0, 25, 0.046), 0.0);
    EXPECT_EQ(FrictionFactor(-10, 25, 0.046), 0.0);
    EXPECT_EQ(FlowRegimeOf(0), FlowRegime::Laminar);
}

TEST(FrictionFactor, LaminarEdgeBelongsToLaminarZone) {
    EXPECT_DOUBLE_EQ(FrictionFactor(2300, 25, 0.046), 64.0 / 2300.0);
    EXPECT_EQ(Fixed(FrictionFactor(2300, 25, 0.046), 6), "0.027826");
    EXPECT_EQ(FlowRegimeOf(2300), FlowRegime::Laminar);
    EXPECT_DOUBLE_EQ(FrictionFactor(1000, 25, 0.046), 0.064);
}

TEST(FrictionFactor, CriticalZoneIsAStraightLine) {
    EXPECT_DOUBLE_EQ(FrictionFactor(2300.5, 25, 0.046), (2300.5 - 1500) / 30000);
    EXPECT_EQ(FlowRegimeOf(2300.5), FlowRegime::Critical);
    EXPECT_EQ(Fixed(FrictionFactor(2300.0000001, 25, 0.046), 5), "0.02667");
    const double below = FrictionFactor(3499.9, 25, 0.046);
    EXPECT_EQ(Fixed(below, 4), "0.0667");
    EXPECT_NEAR(below, 0.0666633, 1e-7);
    EXPECT_EQ(FlowRegimeOf(3499.9), FlowRegime::Critical);
}

TEST(FrictionFactor, TurbulentEdgeUsesHaaland) {
    const double f = FrictionFactor(3500, 25, 0.046);
    const double y = -1.8 * std::log10(std::pow(0.046 / 25 / 3.7, 1.11) + 6.9 / 3500);
    EXPECT_NEAR(f, 1 / (y * y), 1e-15);
    EXPECT_LT(f, 0.06);  // well off the critical line's 0.0667
    EXPECT_EQ(FlowRegimeOf(3500), FlowRegime::Turbulent);
}

TEST(FrictionFactor, SteelPipeExample) {
    EXPECT_EQ(Fixed(FrictionFactor(100000, 25, 0.046), 5), "0.02454");
}

TEST(FrictionFactor, ZeroRoughnessIsFloored) {
    const double smooth = FrictionFactor(1e5, 25, 0);
    EXPECT_TRUE(std::isfinite(smooth));
    // r is replaced by 1e-7, i.e. a relative roughness of 3.7e-7.
    EXPECT_DOUBLE_EQ(smooth, FrictionFactor(1e5, 1, 3.7e-7));
    const double y = -1.8 * std::log10(6.9 / 1e5);  // Haaland for a smooth pipe
    EXPECT_NEAR(smooth, 1 / (y * y), 1e-5);
    EXPECT_DOUBLE_EQ(FrictionFactor(1e5, 25, -1), smooth);
}

TEST(FrictionFactor, NeverInfiniteWhateverTheRoughness) {
    // Around a roughness of 3.7 diameters Haaland's logarithm passes 0.
    for (double re : {3500.0, 1e5, 1e8, 1e300})
        for (double ratio = 3.0; ratio < 4.5; ratio += 0.0001) {
            const double f = FrictionFactor(re, 1, ratio);
            EXPECT_FALSE(std::isinf(f)) << re << " " << ratio;
        }
    const double r = 1.0 - 6.9 / 1e6;  // r^1.11 + 6.9/Re == 1 for r^1.11 = r'
    const double exact = std::exp(std::log(r) / 1.11) * 3.7;
    EXPECT_FALSE(std::isinf(FrictionFactor(1e6, 1, exact)));
}

TEST(HeadLoss, PressureDropIsTheFormulasInTurn) {
    // Water 1.004 cSt, SG 0.998, steel, 25 mm, 10 m, 100 l/min, a 2 m rise,
    // one standard bend: the formulas by hand give the solver's numbers.
    const double sg = 0.998;
    const double mu = 1.004 * sg;
    const double v = VelocityFromFlow(100, 25);
    const double re = ReynoldsNumber(v, 25, mu, sg);
    const double f = FrictionFactor(re, 25, MaterialRoughness(0));
    FittingsSelection bend;
    bend.counts[0] = 1;
    double head = FrictionHeadLoss(v, 25, 10, f) + 2.0;
    head += FittingsHead(FittingsTotalK(bend, 25), v);

    SolverInputs in;
    in.roughness = MaterialRoughness(0);
    in.diameter = 25;
    in.length = 10;
    in.elevation = 2;
    in.flow = 100;
    in.viscosity = 1.004;
    in.density = sg;
    in.fittings = bend;
    const SolverResult r = SolvePressureDrop(in);
    ASSERT_FALSE(r.fault);
    EXPECT_EQ(r.velocity, v);
    EXPECT_EQ(r.reynolds, re);
    EXPECT_EQ(FlowRegimeOf(re), FlowRegime::Turbulent);
    EXPECT_EQ(r.friction, f);
    EXPECT_EQ(r.head, head);
    EXPECT_EQ(r.pressureDrop, HeadToPressureDrop(head, sg));
    EXPECT_EQ(r.fittingsK, FittingK(1, 25));
}

TEST(HeadLoss, FallLargerThanFrictionGivesNegativeHead) {
    const double v = VelocityFromFlow(100, 25);
    const double f = FrictionFactor(ReynoldsNumber(v, 25, 1.004, 1), 25, 0.046);
    const double head = FrictionHeadLoss(v, 25, 10, f) + -20.0;
    EXPECT_LT(head, 0);
    EXPECT_LT(HeadToPressureDrop(head, 1), 0);
}

TEST(HeadLoss, FittingsHeadOfTheFittingsExample) {
    EXPECT_EQ(Fixed(FittingsHead(6.39, 2), 4), "1.3028");
}

TEST(HeadLoss, ZeroDiameterIsRecognisableNotInfinite) {
    EXPECT_TRUE(std::isnan(FrictionHeadLoss(1, 0, 10, 0.02)));
}

TEST(Reynolds, LiquidDensityCancels) {
    // Re = v d / nu with d in m and nu in m2/s.
    EXPECT_NEAR(ReynoldsNumber(2, 50, 1.5 * 0.85, 0.85), 2 * 0.05 / 1.5e-6, 1e-6);
}

TEST(Reynolds, GasAtPressure) {
    const double pg = 5, nu = 15.1, rho = 1.2047;
    const double c = GasVolumeRatio(pg);
    const double re = ReynoldsNumber(10, 25, GasViscosityAtPressure(nu * rho, pg), rho / c);
    EXPECT_NEAR(re, 10 * 0.025 / 15.1e-6 / (1 + 0.0028 * pg) / c, 1e-6);
}

TEST(Reynolds, ZeroViscosityIsUndefined) {
    EXPECT_TRUE(std::isnan(ReynoldsNumber(3, 25, 0, 1)));
    EXPECT_EQ(FrictionFactor(std::nan(""), 25, 0.046), 0.0);
}

TEST(Gas, VolumeRatioAndViscosity) {
    EXPECT_EQ(GasVolumeRatio(0), 1.0);
    EXPECT_EQ(Fixed(GasVolumeRatio(0.001), 5), "0.99901");
    EXPECT_DOUBLE_EQ(GasVolumeRatio(1.01325), 0.5);
    EXPECT_TRUE(std::isnan(GasVolumeRatio(-kAtmosphereBar)));
    EXPECT_DOUBLE_EQ(GasViscosityAtPressure(0.018, 10), 0.018 * 1.028);
    EXPECT_EQ(GasViscosityAtPressure(0.018, 0), 0.018);
}

TEST(Gas, HeadToPressureAtInletDensity) {
    const double c = GasVolumeRatio(2);
    EXPECT_DOUBLE_EQ(GasHeadToPressureDrop(100, 1.2047, c), 100 * 1.2047 / 1000 / c * 1000 * 9.81 / 100000);
    EXPECT_NEAR(GasHeadToPressureDrop(100, 1.2047, c), HeadToPressureDrop(100, 1.2047 / 1000 / c), 1e-15);
    // And back: 0.035145 bar of that air is 0.035145 x 1e5 / 1.2047 x c / 9.81 = 99.99933 m.
    EXPECT_NEAR(GasPressureToHead(0.035145, 1.2047, c), 99.99932698225395, 1e-10);
}

TEST(Materials, RoughnessTable) {
    const double expected[] = {0.046, 0.045, 0.15, 0.0015, 0.0015, 0.0001, 0.08177,
                               0.14,  0.005, 1.0,  0.26,   0.4,    0.001,  0.18};
    for (int i = 0; i < kMaterialCount; ++i) EXPECT_EQ(MaterialRoughness(i), expected[i]) << i;
    EXPECT_EQ(MaterialRoughness(14), 0.1);
    EXPECT_EQ(MaterialRoughness(-1), 0.1);
    EXPECT_EQ(MaterialRoughness(1 << 30), 0.1);
}

}  // namespace
}  // namespace corvane
