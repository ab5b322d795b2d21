// A pump on a panel's pipe run: the operating point lies on the panel's own
// pressure-drop head, in the panel's units, with its power and refusals.

#include <gtest/gtest.h>

#include <cmath>

#include "logic/engine/PipeFlow.h"
#include "logic/engine/Solvers.h"
#include "logic/engine/Units.h"
#include "logic/model/pumps/PumpModel.h"
#include "logic/text/NumberText.h"
#include "tests/logic/PanelTestSupport.h"

namespace corvane {
namespace {

// The head (m) the panel's own pressure-drop calculation gives at a flow
// (l/min) on its pipe.
double PanelHeadAt(const PanelModel& panel, double flow) {
    SolverInputs in = panel.solverInputs();
    in.flow = flow;
    const SolverResult r = SolvePressureDrop(in);
    EXPECT_FALSE(r.fault);
    return r.head;
}

TEST(PumpOnPanel, TheOperatingPointLiesOnBothCurves) {
    PanelModel p(PanelKind::PressureDrop, Locale{});  // water, 25 mm, 10 m, 100 l/min
    const PumpOnPanel r = SolvePumpOnPanel(p, {{{150, 8}}, 1.0, std::nullopt});
    ASSERT_FALSE(r.refusal) << r.refusal->text;
    EXPECT_GT(r.flow, 100.0);  // 5.831 m at 100 l/min is below the pump's head there
    EXPECT_NEAR(r.head, r.curve.head(r.flow), 1e-9);
    EXPECT_NEAR(r.head, PanelHeadAt(p, r.flow), 1e-6);
    EXPECT_EQ(r.flowType, "Turbulent");
    EXPECT_NEAR(r.velocity, VelocityFromFlow(r.flow, 25), 1e-12);
    EXPECT_DOUBLE_EQ(r.fluidPowerW, 0.998 * 1000 * 9.81 * r.flow / 60000 * r.head);
    EXPECT_FALSE(r.shaftPowerW);
}

TEST(PumpOnPanel, AStraightLineThroughThePanelsOwnResultMeetsItThere) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    ASSERT_FALSE(p.calculate());
    EXPECT_EQ(p.text(Ctl::mHd_RightEdit), "5.831");
    const double own = PanelHeadAt(p, 100);
    const PumpOnPanel r = SolvePumpOnPanel(p, {{{50, own + 3}, {150, own - 3}}, 1.0, std::nullopt});
    ASSERT_FALSE(r.refusal);
    EXPECT_NEAR(r.flow, 100.0, 1e-7);
    EXPECT_NEAR(r.head, own, 1e-6);
    const auto rows = PumpResultRows(p, r);
    EXPECT_EQ(rows[0], (PumpRow{"Flow", "100.000", "litre/min"}));
    EXPECT_EQ(rows[1], (PumpRow{"Head", "5.831", "m hd"}));
    EXPECT_EQ(rows[2], (PumpRow{"Fluid velocity", "3.395", "m/s"}));
    EXPECT_EQ(rows[3], (PumpRow{"Reynolds number", "84544", ""}));
    EXPECT_EQ(rows[4], (PumpRow{"Flow type", "Turbulent", ""}));
    EXPECT_EQ(rows[5].caption, "Fluid power");
    EXPECT_EQ(rows[5].unit, "W");
    EXPECT_EQ(rows.size(), 6u);
}

TEST(PumpOnPanel, ImperialPanelsTakeFeetAndTheirFlowUnit) {
    PanelModel p(PanelKind::PressureDrop, test::UsLocale());
    ASSERT_FALSE(p.metric());
    const PumpOnPanel r = SolvePumpOnPanel(p, {{{60, 40}}, 1.0, 75.0});
    ASSERT_FALSE(r.refusal) << r.refusal->text;
    const int code = p.flowUnitCode();
    const double flowL = FlowToLitresPerMin(code, r.flow);
    EXPECT_NEAR(LengthToMetres(kFoot, r.head), PanelHeadAt(p, flowL), 1e-6);
    // The pump's own head in feet at that flow: 4/3 x 40 - 1/3 x 40 (Q/60)^2.
    EXPECT_NEAR(r.head, 160.0 / 3 - 40.0 / 3 * (r.flow / 60) * (r.flow / 60), 1e-6);
    ASSERT_TRUE(r.shaftPowerW);
    EXPECT_DOUBLE_EQ(*r.shaftPowerW, r.fluidPowerW / 0.75);
    const auto rows = PumpResultRows(p, r);
    EXPECT_EQ(rows[1].unit, "ft hd");
    EXPECT_EQ(rows[2].unit, "ft/s");
    EXPECT_EQ(rows[5].value, *WriteEntryNumber(r.fluidPowerW / 745.69987158227022, 3, test::UsLocale()));
    EXPECT_EQ(rows[5].unit, "hp");
    EXPECT_EQ(rows[6].caption, "Shaft power");
}

TEST(PumpOnPanel, TheSpeedRatioIsTheSameAsScaledPoints) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    const PumpOnPanel slow = SolvePumpOnPanel(p, {{{0, 20}, {100, 15}, {200, 5}}, 0.9, std::nullopt});
    const PumpOnPanel scaled = SolvePumpOnPanel(p, {{{0, 16.2}, {90, 12.15}, {180, 4.05}}, 1.0, std::nullopt});
    ASSERT_FALSE(slow.refusal);
    ASSERT_FALSE(scaled.refusal);
    EXPECT_NEAR(slow.flow, scaled.flow, 1e-6);
    EXPECT_NEAR(slow.head, scaled.head, 1e-6);
}

TEST(PumpOnPanel, TheDiameterPanelUsesItsCalculatedDiameter) {
    PanelModel p(PanelKind::Diameter, Locale{});
    ASSERT_FALSE(p.calculate());
    const OperatingPoint op = SolveOperatingPoint(p);
    const double own = SystemDropAt(op, op.flow).head;
    const PumpOnPanel r =
        SolvePumpOnPanel(p, {{{0.5 * op.flow, own + 2}, {1.5 * op.flow, own - 2}}, 1.0, std::nullopt});
    ASSERT_FALSE(r.refusal) << r.refusal->text;
    EXPECT_NEAR(r.flow, op.flow, op.flow * 1e-8);
    EXPECT_NEAR(r.velocity, VelocityFromFlow(op.flow, op.diameter), 1e-6);
}

TEST(PumpOnPanel, Refusals) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    EXPECT_EQ(SolvePumpOnPanel(p, {{}, 1.0, std::nullopt}).refusal, refusals::PumpNoPoints());
    EXPECT_EQ(SolvePumpOnPanel(p, {{{100, 30}}, 0.0, std::nullopt}).refusal, refusals::PumpSpeedNotPositive());
    EXPECT_EQ(SolvePumpOnPanel(p, {{{100, 30}, {90, 20}}, 1.0, std::nullopt}).refusal,
              refusals::PumpFlowsNotIncreasing());
    EXPECT_EQ(SolvePumpOnPanel(p, {{{0, 30}, {90, 40}}, 1.0, std::nullopt}).refusal, refusals::PumpHeadsRise());
    EXPECT_EQ(SolvePumpOnPanel(p, {{{0, 30}, {90, 30}, {100, 20}}, 1.0, std::nullopt}).refusal,
              refusals::PumpNoFallingFit());
    EXPECT_EQ(SolvePumpOnPanel(p, {{{100, 30}}, 1.0, 0.0}).refusal, refusals::PumpEfficiencyOutOfRange());
    EXPECT_EQ(SolvePumpOnPanel(p, {{{100, 30}}, 1.0, 101.0}).refusal, refusals::PumpEfficiencyOutOfRange());
    EXPECT_FALSE(SolvePumpOnPanel(p, {{{100, 30}}, 1.0, 100.0}).refusal);

    // A rise of 50 m over a shut-off head of 40 m.
    p.setText(Ctl::ElevationChange_RightEdit, "50");
    EXPECT_EQ(SolvePumpOnPanel(p, {{{100, 30}}, 1.0, std::nullopt}).refusal->text,
              "The pump cannot overcome the elevation change.");
    // A pump too strong for its curve's flows: the line ends above the system.
    p.setText(Ctl::ElevationChange_RightEdit, "0");
    EXPECT_EQ(SolvePumpOnPanel(p, {{{0, 90}, {10, 80}}, 1.0, std::nullopt}).refusal,
              refusals::PumpCurvesDoNotMeet());
    // The panel's own refusal comes through.
    p.setText(Ctl::FluidViscosityRightEdit, "0");
    EXPECT_EQ(SolvePumpOnPanel(p, {{{100, 30}}, 1.0, std::nullopt}).refusal->text,
              "The fluid viscosity must be greater than zero.\rChoose the fluid again.");

    PanelModel gas(PanelKind::PressureDrop, Locale{});
    gas.useFluid(test::Air());
    ASSERT_TRUE(gas.gasMode());
    EXPECT_EQ(SolvePumpOnPanel(gas, {{{100, 30}}, 1.0, std::nullopt}).refusal, refusals::PumpInGasMode());
}

TEST(PumpOnPanel, RowsInACommaLocale) {
    PanelModel p(PanelKind::PressureDrop, Locale{',', false});
    const double own = PanelHeadAt(p, 100);
    const PumpOnPanel r = SolvePumpOnPanel(p, {{{50, own + 3}, {150, own - 3}}, 1.0, 70.0});
    ASSERT_FALSE(r.refusal);
    const auto rows = PumpResultRows(p, r);
    EXPECT_EQ(rows[1].value, "5,831");
    EXPECT_EQ(rows[6].value, *WriteEntryNumber(r.fluidPowerW / 0.7, 1, p.locale()));
    EXPECT_NE(rows[6].value.find(','), std::string::npos);
}

TEST(PumpCurvePointsOnPanel, InThePanelsUnits) {
    PanelModel p(PanelKind::PressureDrop, test::UsLocale());
    const PumpOnPanel r = SolvePumpOnPanel(p, {{{60, 40}}, 1.0, std::nullopt});
    ASSERT_FALSE(r.refusal);
    const auto pts = PumpCurvePoints(p, r.curve, 5);
    ASSERT_EQ(pts.size(), 5u);
    EXPECT_NEAR(pts.front().flow, 0, 1e-12);
    EXPECT_NEAR(pts.front().value, 160.0 / 3, 1e-9);
    EXPECT_NEAR(pts.back().flow, 120, 1e-9);
    EXPECT_NEAR(pts.back().value, 0, 1e-9);
}

TEST(PumpCurveText, FactorAndExponentWithoutTrailingZeros) {
    const PumpCurve fitted = MakePumpCurve({{0, 12}, {100, 10}, {200, 4}}).curve;  // B = 0.0002, C = 2
    EXPECT_EQ(PumpCurveFactorTexts(fitted, Locale{}), (std::pair<std::string, std::string>{"0.0002", "2"}));
    const PumpCurve odd = MakePumpCurve({{0, 50}, {100, 40}, {300, 15}}).curve;  // C = ln 3.5 / ln 3
    EXPECT_EQ(PumpCurveFactorTexts(odd, Locale{',', false}).second, "1,14");
    EXPECT_EQ(PumpCurveFactorTexts(odd, Locale{}).first, "0.0524");  // 0.05240
}

TEST(PumpPointsText, AsACommandLineGivesThem) {
    using P = std::vector<std::pair<double, double>>;
    EXPECT_EQ(ParsePumpPoints("100:30"), (P{{100, 30}}));
    EXPECT_EQ(ParsePumpPoints("0:50,100:45.5,200:30"), (P{{0, 50}, {100, 45.5}, {200, 30}}));
    EXPECT_EQ(ParsePumpPoints("1e2:3"), (P{{100, 3}}));
    EXPECT_FALSE(ParsePumpPoints(""));
    EXPECT_FALSE(ParsePumpPoints("100"));
    EXPECT_FALSE(ParsePumpPoints("100:30,"));
    EXPECT_FALSE(ParsePumpPoints("100:30,,200:10"));
    EXPECT_FALSE(ParsePumpPoints("100:"));
    EXPECT_FALSE(ParsePumpPoints(":30"));
    EXPECT_FALSE(ParsePumpPoints("a:b"));
    EXPECT_FALSE(ParsePumpPoints("100:30x"));
    EXPECT_FALSE(ParsePumpPoints("100:30:5"));
    EXPECT_FALSE(ParsePumpPoints("nan:3"));
}

}  // namespace
}  // namespace corvane
