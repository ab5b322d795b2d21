// The golden cases whose entries are in calculation units, solved by the
// engine alone: the numbers the panels show, and the iterations the flow
// and diameter solvers take.

#include <gtest/gtest.h>

#include "logic/engine/PipeFlow.h"
#include "logic/engine/Solvers.h"
#include "logic/model/panels/PanelKinds.h"
#include "logic/text/NumberText.h"
#include "tests/GoldenPanels.h"

namespace corvane {
namespace {

using test::GoldenCase;

class EngineGolden : public ::testing::TestWithParam<GoldenCase> {
protected:
    // The case's entries as the engine takes them: typed into a panel of its
    // kind, which turns them into the solver's inputs as Calculate does.
    static SolverInputs InputsOf(const GoldenCase& c) {
        PanelModel panel(c.kind, c.locale);
        test::EnterGoldenCase(panel, c);
        return panel.solverInputs();
    }

    // The panel's own result in calculation units.
    static double ResultOf(const GoldenCase& c, const SolverResult& r) {
        if (c.kind == PanelKind::PressureDrop && c.resultUnit == 0) return r.head;
        return r.*KindSpec(c.kind).unknown;
    }

    static FlowRegime RegimeNamed(const std::string& name) {
        if (name == "Turbulent") return FlowRegime::Turbulent;
        if (name == "Critical") return FlowRegime::Critical;
        EXPECT_EQ(name, "Laminar");
        return FlowRegime::Laminar;
    }
};

TEST_P(EngineGolden, SolvesAsThePanelShows) {
    const GoldenCase& c = GetParam();
    const SolverInputs in = InputsOf(c);
    const SolverResult r = SolvePanel(c.kind, in);
    auto written = [&](double value, int decimals) { return WriteEntryNumber(value, decimals, c.locale).value_or("?"); };
    if (!c.message.empty()) {
        EXPECT_TRUE(r.fault) << "the panel refuses: " << c.message;
        return;
    }
    ASSERT_FALSE(r.fault);
    EXPECT_EQ(FlowRegimeOf(r.reynolds), RegimeNamed(c.shown.at(Ctl::FlowType_RightEdit)));
    EXPECT_EQ(written(r.reynolds, 0), c.shown.at(Ctl::ReynoldsNumber_RightEdit));
    EXPECT_EQ(written(r.friction, 3), c.shown.at(Ctl::FrictionFactor_RightEdit));
    EXPECT_EQ(written(r.velocity, 3), c.shown.at(Ctl::MSec_RightEdit));
    EXPECT_EQ(written(ResultOf(c, r), 3), c.shown.at(c.resultField()));
    ASSERT_TRUE(r.fittingsK);
    if (in.fittings == FittingsSelection{}) EXPECT_EQ(*r.fittingsK, 0.0);
    if (c.passes) {
        EXPECT_EQ(r.passes, *c.passes);
        EXPECT_EQ(r.converged, *c.passes < kMaxIterations);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, EngineGolden,
                         ::testing::ValuesIn(test::GoldenCasesWhere([](const GoldenCase& c) {
                             return c.inCalculationUnits();
                         })),
                         test::GoldenCaseName);

}  // namespace
}  // namespace corvane
