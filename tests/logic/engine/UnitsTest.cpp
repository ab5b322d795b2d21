#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "logic/engine/Units.h"
#include "tests/logic/TestText.h"

namespace corvane {
namespace {

using test::Fixed;

TEST(FlowFactors, ExactConstantsAndLitresPerMinute) {
    EXPECT_EQ(FlowFactor(5), 13.198149091571398);
    EXPECT_EQ(FlowFactor(6), 15.850323141488905);
    EXPECT_EQ(FlowFactor(10), 0.3773886462259263);
    EXPECT_EQ(FlowFactor(7), 0.0353146667);
    EXPECT_EQ(Fixed(FlowToLitresPerMin(5, 1), 6), "4.546092");
    EXPECT_EQ(Fixed(FlowToLitresPerMin(6, 1), 9), "3.785411784");
    EXPECT_DOUBLE_EQ(FlowToLitresPerMin(1, 1000), 1.0);
    EXPECT_EQ(FlowToLitresPerMin(2, 100), 100.0);
    EXPECT_EQ(FlowToLitresPerMin(0, 1), 60.0);
    EXPECT_EQ(Fixed(FlowToLitresPerMin(4, 1), 3), "16.667");
    EXPECT_EQ(Fixed(FlowToLitresPerMin(8, 1), 6), "28.316847");
    EXPECT_EQ(Fixed(FlowToLitresPerMin(10, 1), 5), "158.98729");
}

TEST(FlowFactors, UnknownCodesAreLitrePerSecond) {
    for (int code : {-1, 11, 1000, -2147483647 - 1}) {
        EXPECT_EQ(FlowToLitresPerMin(code, 2), 120.0) << code;
        EXPECT_EQ(FlowFromLitresPerMin(code, 120), 2.0) << code;
    }
}

TEST(FlowFactors, RoundTripThroughLitresPerMinute) {
    for (int code = 0; code < kFlowUnitCount; ++code)
        EXPECT_NEAR(FlowFromLitresPerMin(code, FlowToLitresPerMin(code, 7.25)), 7.25, 1e-12) << code;
}

TEST(PressureAndLength, FactorsAndFallbacks) {
    EXPECT_DOUBLE_EQ(PressureToBar(2, 14.5037744), 1.0);
    EXPECT_EQ(PressureFromBar(1, 2), 200.0);
    EXPECT_EQ(PressureFromBar(6, 1), 33.455256);
    EXPECT_EQ(PressureToBar(7, 3), 3.0);
    EXPECT_EQ(PressureToBar(-1, 3), 3.0);
    EXPECT_EQ(LengthFromMetres(1, 1), 3.2808399);
    EXPECT_EQ(Fixed(LengthToMetres(2, 1) * 1000, 4), "25.4000");
    EXPECT_EQ(LengthToMetres(3, 5), 5.0);
    EXPECT_EQ(LengthFromMetres(-2, 5), 5.0);
}

TEST(ConvertByCode, LengthsAndPressures) {
    EXPECT_EQ(Fixed(ConvertByCode(2, 25), 6), "0.984252");
    EXPECT_EQ(Fixed(ConvertByCode(-2, 1), 6), "25.400000");
    EXPECT_DOUBLE_EQ(ConvertByCode(1, 10), 32.808399);
    EXPECT_DOUBLE_EQ(ConvertByCode(-1, 32.808399), 10);
    EXPECT_DOUBLE_EQ(ConvertByCode(3, 1), 14.5037744);
    EXPECT_DOUBLE_EQ(ConvertByCode(-3, 14.5037744), 1);
}

TEST(ConvertByCode, LitresPerMinuteToCubicFeetPerMinute) {
    EXPECT_EQ(ConvertByCode(33, 100), 100 / 60.0 * 2.118880002);
    EXPECT_EQ(Fixed(ConvertByCode(33, 100), 4), "3.5315");
}

TEST(ConvertByCode, InvalidCodesReturnXUnchanged) {
    for (int code : {0, 4, 7, 9, 16, 19, 26, 66, 70, 99, 103, 199, 203, 403, 500, -4, -7, -66, -103,
                     -2147483647 - 1, 2147483647}) {
        EXPECT_EQ(ConvertByCode(code, 12.5), 12.5) << code;
        EXPECT_FALSE(IsConversionCode(code)) << code;
    }
}

TEST(ConvertByCode, BarrelToBarrelIsExact) {
    EXPECT_EQ(ConvertByCode(65, 1.1), 1.1);
    EXPECT_EQ(ConvertByCode(-65, 1.1), 1.1);
}

TEST(ConvertByCode, EveryValidFlowCodeAgreesWithTheFactorTable) {
    // A flow conversion from a to b is x F[b] / F[a].
    const int metric[] = {0, 1, 2, 3, 4, 10};
    for (int decade = 1; decade <= 6; ++decade)
        for (int t = 0; t <= 5; ++t) {
            const int a = metric[decade - 1], b = 5 + t, code = decade * 10 + t;
            EXPECT_TRUE(IsConversionCode(code) && IsConversionCode(-code));
            EXPECT_NEAR(ConvertByCode(code, 3), 3 * FlowFactor(b) / FlowFactor(a), 1e-12 * FlowFactor(b) / FlowFactor(a) * 3) << code;
            EXPECT_NEAR(ConvertByCode(-code, ConvertByCode(code, 3)), 3, 1e-12) << code;
        }
    const int gasMetric[] = {0, 2, 3, 4};
    for (int h = 1; h <= 4; ++h)
        for (int k = 0; k <= 2; ++k) {
            const int a = gasMetric[h - 1], b = 7 + k, code = h * 100 + k;
            EXPECT_TRUE(IsConversionCode(code) && IsConversionCode(-code));
            EXPECT_NEAR(ConvertByCode(code, 3) / (3 * FlowFactor(b) / FlowFactor(a)), 1, 1e-13) << code;
            EXPECT_NEAR(ConvertByCode(-code, ConvertByCode(code, 3)), 3, 1e-12) << code;
        }
    // Both sets exist: 100..102 give the results of 12..14.
    for (int k = 0; k <= 2; ++k) EXPECT_EQ(ConvertByCode(100 + k, 4.2), ConvertByCode(12 + k, 4.2));
}

TEST(ConvertByCode, EvaluationOrderOfTheTable) {
    const double x = 0.7;
    EXPECT_EQ(ConvertByCode(21, x), FlowFactor(6) * (x / FlowFactor(1)));
    EXPECT_EQ(ConvertByCode(-21, x), x * FlowFactor(1) / FlowFactor(6));
    EXPECT_EQ(ConvertByCode(44, x), x / FlowFactor(3) * FlowFactor(9));
    EXPECT_EQ(ConvertByCode(-52, x), x * FlowFactor(4) / FlowFactor(7));
    EXPECT_EQ(ConvertByCode(61, x), FlowFactor(6) * (x / FlowFactor(10)));
    EXPECT_EQ(ConvertByCode(-61, x), x * FlowFactor(10) / FlowFactor(6));
    EXPECT_EQ(ConvertByCode(401, x), x / FlowFactor(4) * FlowFactor(8));
    EXPECT_EQ(ConvertByCode(-302, x), x * FlowFactor(3) / FlowFactor(9));
    EXPECT_EQ(ConvertByCode(15, x), x * FlowFactor(10));
    EXPECT_EQ(ConvertByCode(-101, x), x / FlowFactor(8));
}

}  // namespace
}  // namespace corvane
