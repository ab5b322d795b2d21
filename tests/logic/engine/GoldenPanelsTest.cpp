// The golden cases whose entries are in calculation units, solved by the
// engine alone: the numbers the panels show, and the iterations the flow
// and diameter solvers take.

#include <gtest/gtest.h>

#include "logic/engine/PipeFlow.h"
#include "logic/engine/Solvers.h"
#include "logic/text/NumberText.h"
#include "tests/GoldenPanels.h"

namespace corvane {
namespace {

using test::GoldenCase;

class EngineGolden : public ::testing::TestWithParam<GoldenCase> {
protected:
    // The case's entries as the engine takes them.
    static SolverInputs InputsOf(const GoldenCase& c) {
        auto number = [&](Ctl entry) {
            const auto it = c.entries.find(entry);
            return it == c.entries.end() ? 0.0 : ReadEntryNumber(it->second, c.locale);
        };
        SolverInputs in;
        in.gas = c.fluid.isGas;
        in.roughness = number(Ctl::IRmm_RightEdit);
        in.diameter = number(Ctl::IDmm_RightEdit);
        in.length = number(Ctl::LengthM_RightEdit);
        in.elevation = c.fall ? -number(Ctl::ElevationChange_RightEdit) : number(Ctl::ElevationChange_RightEdit);
        in.flow = number(Ctl::VisibleFlowrateLMin_RightEdit);
        in.inletPressure = number(Ctl::Barg_RightEdit);
        in.allowableLoss = number(Ctl::AllowablePressureLoss_RightEdit);
        in.available = number(Ctl::AvailablePressure_RightEdit);
        in.availableAs = c.resultUnit == 1 ? AvailableAs::Pressure : AvailableAs::Head;
        in.viscosity = ReadEntryNumber(c.fluid.viscosity, c.locale);
        in.density = ReadEntryNumber(c.fluid.density, c.locale);
        in.fittings = ParseFittings(c.fittings, c.locale);
        return in;
    }

    static SolverResult Solve(PanelKind kind, const SolverInputs& in) {
        switch (kind) {
            case PanelKind::PressureDrop: return SolvePressureDrop(in);
            case PanelKind::Flow: return SolveFindFlow(in);
            case PanelKind::Diameter: return SolveFindDiameter(in);
            case PanelKind::Length: return SolveFindLength(in);
        }
        return {};
    }

    // The panel's own result in calculation units.
    static double ResultOf(const GoldenCase& c, const SolverResult& r) {
        switch (c.kind) {
            case PanelKind::PressureDrop: return c.resultUnit == 1 ? r.pressureDrop : r.head;
            case PanelKind::Flow: return r.flow;
            case PanelKind::Diameter: return r.diameter;
            case PanelKind::Length: return r.length;
        }
        return 0;
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
    const SolverResult r = Solve(c.kind, in);
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
