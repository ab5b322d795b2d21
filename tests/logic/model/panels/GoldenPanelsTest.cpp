// The golden cases through the panel model: the inputs given as a user
// gives them, Calculate, and every result field as the panel shows it.

#include <gtest/gtest.h>

#include <set>

#include "tests/GoldenPanels.h"

namespace corvane {
namespace {

using test::GoldenCase;

class ModelGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(ModelGolden, CalculatesWhatThePanelShows) {
    const GoldenCase& c = GetParam();
    PanelModel panel(c.kind, c.locale);
    test::EnterGoldenCase(panel, c);
    const auto refusal = panel.calculate();
    EXPECT_EQ(refusal ? refusal->text : "", c.message);
    for (const auto& [ctl, text] : c.shown) EXPECT_EQ(panel.text(ctl), text) << CtlName(ctl, c.kind);
    // The gas note shows with a gas's results, and never after a refusal.
    EXPECT_EQ(panel.shown(Ctl::GasFlowInfoPanel), c.fluid.isGas && !refusal);
    EXPECT_FALSE(panel.shown(Ctl::FlowWeightPanel));
}

INSTANTIATE_TEST_SUITE_P(Cases, ModelGolden, ::testing::ValuesIn(test::LoadGoldenCases()), test::GoldenCaseName);

TEST(GoldenTable, CoversEveryPanelLocaleAndMode) {
    const auto cases = test::LoadGoldenCases();
    std::set<PanelKind> kinds, gasKinds;
    std::set<std::pair<char, bool>> locales;
    std::set<std::string> names;
    int refused = 0;
    for (const GoldenCase& c : cases) {
        kinds.insert(c.kind);
        if (c.fluid.isGas) gasKinds.insert(c.kind);
        locales.insert({c.locale.decimalSeparator, c.locale.usEnglish});
        EXPECT_TRUE(names.insert(c.name).second) << "two cases named " << c.name;
        refused += !c.message.empty();
    }
    EXPECT_EQ(kinds.size(), 4u);
    EXPECT_EQ(gasKinds.size(), 4u);
    EXPECT_EQ(locales.size(), 3u);
    EXPECT_GE(refused, 4);
    EXPECT_GE(cases.size(), 25u);
}

}  // namespace
}  // namespace corvane
