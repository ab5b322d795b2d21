// The clipboard report of a panel.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logic/model/panels/PanelReport.h"
#include "tests/logic/PanelTestSupport.h"

namespace corvane {
namespace {

using test::Air;
using test::Fittings;
using Rows = std::vector<std::vector<std::string>>;

TEST(PanelReport, LiquidPressureDropDefaults) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    ASSERT_FALSE(p.calculate());
    const Rows expected = {{"Find P.D."},
                           {"Pipe material", "steel"},
                           {"Internal diameter", "25.000", "mm"},
                           {"Internal roughness", "0.046", "mm"},
                           {"Length", "10.000", "m"},
                           {"Pipe fittings ", "none"},
                           {"Elevation change", "0.000", "m Rise"},
                           {"Flow", "100.000", "litre/min"},
                           {"Fluid", " Water @ 20\u00b0C (68\u00b0F)"},
                           // the results as the panel shows them
                           {"Flow type", p.text(Ctl::FlowType_RightEdit)},
                           {"Reynold's number", p.text(Ctl::ReynoldsNumber_RightEdit)},
                           {"Friction factor", p.text(Ctl::FrictionFactor_RightEdit)},
                           {"Fluid velocity", p.text(Ctl::MSec_RightEdit), "m/s"},
                           {"Pressure drop", p.text(Ctl::mHd_RightEdit), "m hd"}};
    EXPECT_NE(p.text(Ctl::mHd_RightEdit), "");
    EXPECT_EQ(PanelReportRows(p), expected);
    const std::string text = PanelReport(p);
    EXPECT_EQ(text.substr(0, 34), "Find P.D.\rPipe material\tsteel\rInte");
    EXPECT_EQ(text.back(), 'd');  // no CR after the last row
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 13);
    EXPECT_EQ(text.find('\n'), std::string::npos);
}

TEST(PanelReport, HtmlTableOfTheSameRows) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    ASSERT_FALSE(p.calculate());
    p.useFluid({"Oil <light> & clean", "20\u00b0C (68\u00b0F)", "1.004000", "0.998000", false});
    const std::string html = PanelReportHtml(p);
    const auto rows = PanelReportRows(p);
    std::size_t trs = 0;
    for (std::size_t at = html.find("<tr>"); at != std::string::npos; at = html.find("<tr>", at + 1)) ++trs;
    EXPECT_EQ(trs, rows.size());
    EXPECT_EQ(html.rfind("<html><head><meta charset=\"utf-8\"></head><body><table>\n<tr><td>Find P.D.</td></tr>", 0), 0u);
    EXPECT_NE(html.find("<tr><td>Fluid</td><td align=\"right\"> Oil &lt;light&gt; &amp; clean 20\u00b0C (68\u00b0F)</td></tr>"),
              std::string::npos);
    EXPECT_EQ(html.find('\t'), std::string::npos);
    EXPECT_EQ(html.find('\r'), std::string::npos);
}

TEST(PanelReport, FittingsRowsWithValveOpenings) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.fittingsClosed(Fittings({1, 0, 0, 0}, {{1, 2}, {16, 1}}));
    Rows rows = PanelReportRows(p);
    ASSERT_GE(rows.size(), 9u);
    EXPECT_EQ(rows[5], (std::vector<std::string>{"Pipe fittings ", "3"}));
    EXPECT_EQ(rows[6], (std::vector<std::string>{"Standard bend", "2"}));
    EXPECT_EQ(rows[7], (std::vector<std::string>{"Gate valve (75%)", "1"}));
    // No total K before a calculation has taken one.
    EXPECT_EQ(rows[8][0], "Elevation change");
    ASSERT_FALSE(p.calculate());
    rows = PanelReportRows(p);
    EXPECT_EQ(rows[8], (std::vector<std::string>{"Total 'K' value of fittings ", "2.640"}));  // 2 x 0.69 + 1.26
}

TEST(PanelReport, FittingNames) {
    const std::string f = Fittings({0, 3, 2, 7}, {});
    EXPECT_EQ(FittingReportName(4, f), "Elbow 45\u00b0");
    EXPECT_EQ(FittingReportName(16, f), "Gate valve (100%)");
    EXPECT_EQ(FittingReportName(17, f), "Globe valve (25%)");
    EXPECT_EQ(FittingReportName(18, f), "Globe angled (50%)");
    EXPECT_EQ(FittingReportName(19, f), "Butterfly stnd ()");
    EXPECT_EQ(FittingReportName(23, f), "Thin wall tube connector");
}

TEST(PanelReport, ExtraKRowAndNoTotalWhenZero) {
    PanelModel p(PanelKind::Flow, CommaLocale());
    p.fittingsClosed(Fittings({}, {}, "1.5"));
    p.calculate();
    const Rows rows = PanelReportRows(p);
    EXPECT_EQ(rows[6], (std::vector<std::string>{"Other 'k' factor ", "1,5"}));
    EXPECT_EQ(rows[7], (std::vector<std::string>{"Total 'K' value of fittings ", "1,500"}));
    // The title keeps its full stop in a comma locale.
    EXPECT_EQ(rows[0][0], "Find FLOW.");
}

TEST(PanelReport, GasRowsAndTheEntryFlow) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.useFluid(Air());
    p.editEntry(Ctl::Barg_RightEdit, "1.01325");
    Rows rows = PanelReportRows(p);
    EXPECT_EQ(rows[7], (std::vector<std::string>{"Flow (Volume at 0.0 bar g)", "100.000", "litre/min"}));
    EXPECT_EQ(rows[8], (std::vector<std::string>{"Gas pressure ", "1.01325", "bar g"}));
    EXPECT_EQ(rows[9], (std::vector<std::string>{"Entry flow at 1.01325 bar g", "50.000", "litre/min"}));
    EXPECT_EQ(rows[10], (std::vector<std::string>{"Exit flow @ 6.000 bar g", "0.000", "litre/min"}));
    ASSERT_FALSE(p.calculate());
    rows = PanelReportRows(p);
    EXPECT_EQ(rows[10][0], "Exit flow " + p.text(Ctl::ExitFlowBarLabel));
    const std::string& caption = p.text(Ctl::ExitFlowValueLabel);
    EXPECT_EQ(rows[10][1], caption.substr(0, caption.find(' ')));
    EXPECT_EQ(rows.size(), 17u);
}

TEST(PanelReport, ImperialGasUnits) {
    PanelModel p(PanelKind::Length, test::UsLocale());
    p.useFluid(Air());
    p.calculate();
    const Rows rows = PanelReportRows(p);
    EXPECT_EQ(rows[2][2], "inch");
    EXPECT_EQ(rows[4][2], "ft");
    EXPECT_EQ(rows[6][2], "ft Rise");
    EXPECT_EQ(rows[7][0], "Flow (Volume at 0.0 psi g)");
    EXPECT_EQ(rows[8], (std::vector<std::string>{"Gas pressure ", "90.000", "psi g"}));
    // 100 cu.ft/min free at 90 psi g, with 14.696 psi as the atmosphere.
    EXPECT_EQ(rows[9][1], "14.037");
    EXPECT_EQ(rows.at(15).at(2), "ft/s");
    EXPECT_EQ(rows.back(), (std::vector<std::string>{"Pressure loss", "9.000", "psi g"}));
    // 10000 cu.ft/min: 10000 x 14.696 / 104.696 = 1403.683 (the unrounded
    // 14.6959494 psi would give 1403.679).
    p.setText(Ctl::VisibleFlowrateLMin_RightEdit, "10000.000");
    EXPECT_EQ(PanelReportRows(p)[9][1], "1403.683");
}

TEST(PanelReport, FlowPanelRows) {
    PanelModel p(PanelKind::Flow, Locale{});
    p.calculate();
    Rows rows = PanelReportRows(p);
    ASSERT_NE(p.text(Ctl::FlowrateLMin_RightEdit), "");
    EXPECT_EQ(rows[7], (std::vector<std::string>{"Flow", p.text(Ctl::FlowrateLMin_RightEdit), "litre/min"}));
    EXPECT_EQ(rows.back(), (std::vector<std::string>{"Available pressure", "10.000", "m hd"}));
    p.useFluid(Air());
    rows = PanelReportRows(p);
    EXPECT_EQ(rows[8][0], "Inlet pressure");
}

TEST(PanelReport, ResultRowsOfDiameterAndLength) {
    PanelModel d(PanelKind::Diameter, Locale{});
    ASSERT_FALSE(d.calculate());
    EXPECT_EQ(PanelReportRows(d)[2],
              (std::vector<std::string>{"Min. internal pipe diameter", d.text(Ctl::PipeDiameter_RightEdit), "mm"}));
    PanelModel l(PanelKind::Length, Locale{});
    ASSERT_FALSE(l.calculate());
    EXPECT_EQ(PanelReportRows(l)[4], (std::vector<std::string>{"Max. pipe length", l.text(Ctl::PipeLength_RightEdit), "m"}));
}

TEST(PanelReport, EntryValuesShowTheLocalesSeparator) {
    PanelModel p(PanelKind::PressureDrop, CommaLocale());
    p.setText(Ctl::IDmm_RightEdit, "25.4");  // as a file from a '.' machine brings it
    EXPECT_EQ(PanelReportRows(p)[2][1], "25,4");
}

}  // namespace
}  // namespace corvane
