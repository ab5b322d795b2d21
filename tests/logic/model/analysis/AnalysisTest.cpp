// The analysis of a panel's case: system curve, Moody diagram, standard
// sizes and validity notes.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "logic/engine/PipeFlow.h"
#include "logic/model/analysis/Analysis.h"
#include "logic/model/analysis/ValidityNotes.h"
#include "logic/text/NumberText.h"
#include "tests/logic/PanelTestSupport.h"

namespace corvane {
namespace {

TEST(SystemCurve, PassesThroughThePanelsOwnResult) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    ASSERT_FALSE(p.calculate());
    const SystemCurve c = ComputeSystemCurve(p, 31);
    ASSERT_EQ(c.points.size(), 31u);
    EXPECT_EQ(c.flowUnit, "litre/min");
    EXPECT_EQ(c.valueUnit, "m hd");
    EXPECT_EQ(c.points.front().flow, 0.0);
    EXPECT_DOUBLE_EQ(c.points.back().flow, 150.0);
    // The point at 100 % is the panel's own head.
    EXPECT_DOUBLE_EQ(c.points[20].flow, 100.0);
    EXPECT_EQ(*WriteEntryNumber(c.points[20].value, 3, Locale{}), p.text(Ctl::mHd_RightEdit));
    EXPECT_EQ(c.operating.flow, 100.0);
    // Turbulent: about the square of the flow (a little less, as f falls).
    const double ratio = c.points[30].value / c.points[20].value;
    EXPECT_GT(ratio, 2.0);
    EXPECT_LT(ratio, 2.25);
    // Level pipe: no head at no flow.
    EXPECT_EQ(c.points[0].value, 0.0);
}

TEST(SystemCurve, FlowPanelCurveMeetsTheAvailableHead) {
    PanelModel p(PanelKind::Flow, Locale{});
    ASSERT_FALSE(p.calculate());
    const SystemCurve c = ComputeSystemCurve(p);
    EXPECT_NEAR(c.operating.flow, ReadEntryNumber(p.text(Ctl::FlowrateLMin_RightEdit), Locale{}), 0.0005);
    EXPECT_NEAR(c.operating.value, 10.0, 0.0001 * 10);  // the iteration's tolerance per metre
}

TEST(SystemCurve, PressureUnitsAndAFall) {
    PanelModel p(PanelKind::PressureDrop, test::UsLocale());
    p.choose(Ctl::MhdBarComboBox, 1);
    p.setText(Ctl::ElevationChange_RightEdit, "10");
    p.choose(Ctl::RiseFallComboBox, 1);
    const SystemCurve c = ComputeSystemCurve(p, 11);
    EXPECT_EQ(c.valueUnit, "psi");
    EXPECT_EQ(c.flowUnit, "gpm-USA");
    EXPECT_LT(c.points[0].value, 0);  // the fall alone
    EXPECT_NEAR(c.points[0].value, -10 / 3.2808399 * 0.998 * 1000 * 9.81 / 1e5 * 14.5037744, 1e-9);
}

TEST(SystemCurve, GasCurveEndsWhereTheDropPassesTheInletPressure) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.useFluid(test::Air());
    p.editEntry(Ctl::Barg_RightEdit, "0.050");
    p.editEntry(Ctl::VisibleFlowrateLMin_RightEdit, "600");
    p.choose(Ctl::MhdBarComboBox, 1);
    ASSERT_FALSE(p.calculate());
    const SystemCurve c = ComputeSystemCurve(p, 31);
    EXPECT_LT(c.points.size(), 31u);
    EXPECT_GT(c.points.size(), 20u);
    for (const auto& point : c.points) EXPECT_LE(point.value, 0.050);
}

TEST(SystemCurve, RefusedCaseHasNoCurve) {
    PanelModel p(PanelKind::Length, Locale{});
    p.setText(Ctl::Barg_RightEdit, "-1");
    const SystemCurve c = ComputeSystemCurve(p);
    EXPECT_TRUE(c.refusal);
    EXPECT_TRUE(c.points.empty());
}

TEST(Moody, CurvesAreTheProgramsFrictionFactor) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    const MoodyDiagram m = ComputeMoody(p);
    ASSERT_EQ(m.family.size(), MoodyRoughnessFamily().size());
    for (const MoodyCurve& c : m.family)
        for (std::size_t i = 0; i < c.points.size(); i += 17)
            EXPECT_EQ(c.points[i].second, FrictionFactor(c.points[i].first, 1.0, c.relativeRoughness));
    EXPECT_DOUBLE_EQ(m.own.relativeRoughness, 0.046 / 25);
    EXPECT_DOUBLE_EQ(m.family[0].points.front().first, 500);
    EXPECT_NEAR(m.family[0].points.back().first, 1e8, 1e-3);
    EXPECT_GE(m.colebrook.points.front().first, 4000);
    ASSERT_FALSE(p.calculate());  // the operating point is the panel's own
    EXPECT_EQ(*WriteEntryNumber(m.reynolds, 0, Locale{}), p.text(Ctl::ReynoldsNumber_RightEdit));
    ASSERT_TRUE(m.differencePercent);
    EXPECT_LT(std::fabs(*m.differencePercent), 2.0);  // Haaland is within about 2 %
}

TEST(Moody, NoComparisonOutsideTheTurbulentZone) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.setText(Ctl::FluidViscosityRightEdit, "500");  // a heavy oil: laminar
    const MoodyDiagram m = ComputeMoody(p);
    EXPECT_LT(m.reynolds, 2300);
    EXPECT_FALSE(m.differencePercent);
}

TEST(Moody, ColebrookWhiteAgainstReferenceValues) {
    std::ifstream in(CORVANE_TEST_DATA "/colebrook_reference.csv");
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        fields.imbue(std::locale::classic());
        double re = 0, rr = 0, f = 0;
        char comma = 0;
        fields >> re >> comma >> rr >> comma >> f;
        EXPECT_NEAR(ColebrookWhite(re, rr), f, f * 1e-9) << re << " " << rr;
        ++rows;
    }
    EXPECT_EQ(rows, 49);
}

TEST(StandardSizes, NextTwoOfEachTypeAtTheSolvedDiameter) {
    DataTable pipes(20);
    for (const auto& [type, nominal, id] : std::vector<std::tuple<const char*, const char*, const char*>>{
             {"Steel", "3/4\"", "20.930"}, {"Steel", "1\"", "26.645"}, {"Steel", "1 1/4\"", "35.052"},
             {"Steel", "2\"", "52.502"}, {"PE", "32", "26.000"}, {"PE", "25", "20.400"}})
        pipes.add({10, type, nominal, id, "0"});
    PanelModel p(PanelKind::Diameter, Locale{});  // solves 22.514 mm
    const auto sizes = StandardSizes(p, pipes);
    ASSERT_EQ(sizes.size(), 3u);
    EXPECT_EQ(sizes[0].nominal, "1\"");
    EXPECT_EQ(sizes[1].nominal, "1 1/4\"");
    EXPECT_EQ(sizes[2].type, "PE");
    EXPECT_EQ(sizes[2].internalDiameter, 26.0);
    // Each at the panel's 100 l/min: a bigger pipe, a smaller loss.
    EXPECT_NEAR(sizes[0].velocity, VelocityFromFlow(100, 26.645), 1e-12);
    EXPECT_GT(sizes[0].value, sizes[1].value);
    EXPECT_LT(sizes[0].value, 10.0);  // below the available head: it is big enough
}

bool HasNote(const std::vector<ValidityNote>& notes, const std::string& title) {
    for (const auto& n : notes)
        if (n.title == title) return true;
    return false;
}

TEST(ValidityNotes, EachAppearsExactlyWhenItsConditionHolds) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    EXPECT_TRUE(ValidityNotes(p).empty());  // Re 84544, e/D 0.0018: inside every range

    p.setText(Ctl::FluidViscosityRightEdit, "25");  // Re about 3400
    auto notes = ValidityNotes(p);
    EXPECT_TRUE(HasNote(notes, "Critical zone"));
    EXPECT_FALSE(HasNote(notes, "Outside Haaland's range"));

    p.setText(Ctl::FluidViscosityRightEdit, "22");  // Re about 3850: Haaland, below 4000
    notes = ValidityNotes(p);
    EXPECT_FALSE(HasNote(notes, "Critical zone"));
    EXPECT_TRUE(HasNote(notes, "Outside Haaland's range"));

    p.setText(Ctl::FluidViscosityRightEdit, "1.004");
    p.setText(Ctl::IRmm_RightEdit, "2");  // e/D 0.08
    EXPECT_TRUE(HasNote(ValidityNotes(p), "Outside Haaland's range"));
}

TEST(ValidityNotes, GasPressureDropShares) {
    PanelModel p(PanelKind::Length, Locale{});
    p.useFluid(test::Air());
    p.setText(Ctl::Barg_RightEdit, "1.000");  // 2.01325 bar absolute
    p.setText(Ctl::AllowablePressureLoss_RightEdit, "0.100");  // 5 %
    EXPECT_FALSE(HasNote(ValidityNotes(p), "Approximate gas result"));
    p.setText(Ctl::AllowablePressureLoss_RightEdit, "0.300");  // 15 %
    EXPECT_TRUE(HasNote(ValidityNotes(p), "Approximate gas result"));
    EXPECT_FALSE(HasNote(ValidityNotes(p), "Compressible flow"));
    p.setText(Ctl::AllowablePressureLoss_RightEdit, "0.900");  // 45 %
    EXPECT_TRUE(HasNote(ValidityNotes(p), "Compressible flow"));
    EXPECT_FALSE(HasNote(ValidityNotes(p), "Approximate gas result"));
}

}  // namespace
}  // namespace corvane
