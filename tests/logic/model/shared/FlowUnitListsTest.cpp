// The flow-unit lists of the panels: their codes, fallbacks and spellings.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logic/model/shared/FlowUnitLists.h"

namespace corvane {
namespace {

using Items = std::vector<std::string>;

TEST(FlowUnitCode, ListIndicesMapToCodes) {
    const auto code = [](FlowListKind k, UnitSystem s, int i) { return FlowUnitCode(k, s, i).code; };
    const int metricLiquid[] = {0, 1, 2, 3, 4, 10};
    const int imperialLiquid[] = {5, 6, 7, 8, 9, 10};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(code(FlowListKind::Liquid, UnitSystem::Metric, i), metricLiquid[i]);
        EXPECT_EQ(code(FlowListKind::Liquid, UnitSystem::Imperial, i), imperialLiquid[i]);
    }
    const int metricGas[] = {0, 2, 3, 4};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(code(FlowListKind::Gas, UnitSystem::Metric, i), metricGas[i]);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(code(FlowListKind::Gas, UnitSystem::Imperial, i), 7 + i);
}

TEST(FlowUnitCode, NoSelectionFallsBackAndSaysWhatToSelect) {
    for (int bad : {-1, 6, 99}) {
        EXPECT_EQ(FlowUnitCode(FlowListKind::Liquid, UnitSystem::Metric, bad), (FlowUnitChoice{0, 0}));
        EXPECT_EQ(FlowUnitCode(FlowListKind::Liquid, UnitSystem::Imperial, bad), (FlowUnitChoice{5, 0}));
    }
    for (int bad : {-1, 4}) EXPECT_EQ(FlowUnitCode(FlowListKind::Gas, UnitSystem::Metric, bad), (FlowUnitChoice{2, 1}));
    for (int bad : {-1, 3}) EXPECT_EQ(FlowUnitCode(FlowListKind::Gas, UnitSystem::Imperial, bad), (FlowUnitChoice{8, 1}));
    EXPECT_EQ(FlowUnitCode(FlowListKind::Gas, UnitSystem::Metric, 3), (FlowUnitChoice{4, 3}));
}

TEST(FlowUnitLists, UkSpelling) {
    const Locale uk{'.', false};
    EXPECT_EQ(FillMetricFlowUnits(uk),
              (Items{"litre/sec", "milllitre/min", "litre/min", "litre/hr", "m\u00b3/hr", "brls/min(oil)"}));
    EXPECT_EQ(FillMetricGasFlowUnits(uk), (Items{"litre/sec", "litre/min", "litre/hr", "m\u00b3/hr"}));
    EXPECT_EQ(FillImperialFlowUnits(uk),
              (Items{"gpm-UK", "gpm-USA", "cu.ft/sec", "cu.ft/min", "cu.ft/hr", "brls/min(oil)"}));
    EXPECT_EQ(FillImperialGasFlowUnits(uk), (Items{"cu.ft/sec", "cu.ft/min", "cu.ft/hr"}));
}

TEST(FlowUnitLists, UsSpellingOnlyChangesTheMetricLitres) {
    const Locale us{'.', true};
    EXPECT_EQ(FillMetricFlowUnits(us),
              (Items{"liter/sec", "millliter/min", "liter/min", "liter/hr", "m\u00b3/hr", "brls/min(oil)"}));
    EXPECT_EQ(FillMetricGasFlowUnits(us), (Items{"liter/sec", "liter/min", "liter/hr", "m\u00b3/hr"}));
    EXPECT_EQ(FillImperialFlowUnits(us), FillImperialFlowUnits(Locale{}));
    EXPECT_EQ(FillImperialGasFlowUnits(us), FillImperialGasFlowUnits(Locale{}));
    EXPECT_EQ(FlowUnitText(99, us), "liter/sec");
}

}  // namespace
}  // namespace corvane
