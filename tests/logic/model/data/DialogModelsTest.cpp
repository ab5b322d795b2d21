// The logic of the small dialogs: the velocity/flow/diameter calculator,
// the conversion dialogs' contents, and the tab stops of tabbed lists.

#include <gtest/gtest.h>

#include "logic/model/data/VelFlowDiameterModel.h"
#include "logic/model/panels/ConversionDialogContent.h"
#include "logic/text/TabStops.h"
#include "tests/logic/PanelTestSupport.h"

namespace corvane {
namespace {

using Field = VelFlowDiameterModel::Field;

TEST(VelFlowDiameter, MetricLiquidInLitresPerMinuteAndCubicMetresPerHour) {
    PanelModel panel(PanelKind::PressureDrop, Locale{});
    VelFlowDiameterModel m(Locale{});
    m.open(panel);
    EXPECT_EQ(m.diameter(), "25.000");
    EXPECT_EQ(m.velocity(), "6.000");
    EXPECT_EQ(m.flow(), "176.715");
    EXPECT_EQ(m.flowUnit(), "litre/min");
    EXPECT_EQ(m.diameterUnit(), "mm");
    EXPECT_EQ(m.velocityUnit(), "m/s");
    EXPECT_FALSE(m.gas());
    panel.choose(Ctl::FlowUnitComboBox, 4);
    m.open(panel);
    EXPECT_EQ(m.flow(), "10.603");
    EXPECT_EQ(m.flowUnitCode(), 4);
}

TEST(VelFlowDiameter, GasGivesTheFreeFlow) {
    PanelModel panel(PanelKind::Length, Locale{});
    panel.useFluid(test::Air());
    VelFlowDiameterModel m(Locale{});
    m.open(panel);
    EXPECT_TRUE(m.gas());
    EXPECT_DOUBLE_EQ(m.volumeRatio(), 1.01325 / 7.01325);
    EXPECT_EQ(m.flow(), "1223.137");
    EXPECT_EQ(m.flowAtBarg(), "(at 6.000 bar g)");
}

TEST(VelFlowDiameter, ImperialCubicFeetPerSecondShowSixDecimals) {
    PanelModel panel(PanelKind::PressureDrop, test::UsLocale());
    panel.choose(Ctl::FlowUnitComboBox, 2);  // cu.ft/sec
    VelFlowDiameterModel m(test::UsLocale());
    m.open(panel);
    m.setText(Field::Diameter, "1");
    m.setText(Field::Velocity, "10");
    // 1 inch at 10 ft/s: 0.0545415 cu.ft/sec.
    EXPECT_EQ(m.flow(), "0.054542");
    EXPECT_EQ(m.diameterUnit(), "inch");
    EXPECT_EQ(m.velocityUnit(), "ft/s");
}

TEST(VelFlowDiameter, VelocityIsKeptBetweenOpenings) {
    PanelModel panel(PanelKind::PressureDrop, CommaLocale());
    VelFlowDiameterModel m(CommaLocale());
    m.open(panel);
    m.setText(Field::Velocity, "2.5");
    m.open(panel);
    EXPECT_EQ(m.velocity(), "2,5");
    EXPECT_EQ(m.diameter(), "25,000");
    EXPECT_EQ(m.flow(), "73,631");
}

TEST(VelFlowDiameter, UseThisDataChecksDiameterVelocityAndFlow) {
    PanelModel panel(PanelKind::PressureDrop, Locale{});
    VelFlowDiameterModel m(Locale{});
    m.open(panel);
    m.setText(Field::Diameter, "0");
    EXPECT_EQ(m.flow(), "0.000");
    EXPECT_EQ(m.useData(), VelFlowDiameterModel::UseResult::FocusDiameter);
    EXPECT_EQ(m.flow(), "");
    EXPECT_FALSE(m.dataUsed());
    m.setText(Field::Diameter, "25");
    m.setText(Field::Velocity, "");
    EXPECT_EQ(m.useData(), VelFlowDiameterModel::UseResult::FocusVelocity);
    m.setText(Field::Velocity, "0.000001");  // a flow that rounds to 0.000
    EXPECT_EQ(m.useData(), VelFlowDiameterModel::UseResult::Refused);
    m.setText(Field::Velocity, "6");
    EXPECT_EQ(m.useData(), VelFlowDiameterModel::UseResult::Taken);
    EXPECT_TRUE(m.dataUsed());
    m.open(panel);
    EXPECT_FALSE(m.dataUsed());
}

TEST(VelFlowDiameter, KeysAndLeaving) {
    PanelModel panel(PanelKind::PressureDrop, Locale{});
    VelFlowDiameterModel m(Locale{});
    m.open(panel);
    char32_t key = U'-';
    EXPECT_FALSE(m.keyPress(Field::Velocity, key));
    EXPECT_EQ(m.flow(), "");
    key = 13;
    EXPECT_TRUE(m.keyPress(Field::Velocity, key));
    EXPECT_EQ(m.flow(), "176.715");
    EXPECT_TRUE(m.leave(Field::Velocity));
    // Only an arithmetic failure keeps the focus: at an absolute pressure of 0.
    panel.useFluid(test::Air());
    panel.setText(Ctl::Barg_RightEdit, "-1.01325");
    m.open(panel);
    m.setText(Field::Diameter, "");
    EXPECT_FALSE(m.leave(Field::Diameter));
    EXPECT_EQ(m.diameter(), "?");
}

TEST(ConversionDialogs, CaptionsListsAndInitialUnits) {
    const auto toImperial = ConversionDialogContentOf(ConversionDialog::LiquidToImperial, Locale{});
    EXPECT_EQ(toImperial.className, "TConvertToImperialForm");
    EXPECT_EQ(toImperial.caption, "Imperial equivalents");
    EXPECT_EQ(toImperial.label1, "To convert values to Imperial equivalents ");
    EXPECT_EQ(toImperial.label2, "Choose a prefered flow unit and click convert");
    EXPECT_EQ(toImperial.units.size(), 6u);
    EXPECT_EQ(toImperial.units[toImperial.initialIndex], "gpm-USA");
    const auto toMetric = ConversionDialogContentOf(ConversionDialog::LiquidToMetric, Locale{});
    EXPECT_EQ(toMetric.caption, "Metric equivalents");
    EXPECT_EQ(toMetric.units[toMetric.initialIndex], "litre/min");
    const auto gasImperial = ConversionDialogContentOf(ConversionDialog::GasToImperial, Locale{});
    EXPECT_EQ(gasImperial.className, "TGasConvertToImperialForm");
    EXPECT_EQ(gasImperial.units[gasImperial.initialIndex], "cu.ft/min");
    const auto gasMetric = ConversionDialogContentOf(ConversionDialog::GasToMetric, Locale{});
    EXPECT_EQ(gasMetric.units[gasMetric.initialIndex], "litre/hr");
    const auto us = ConversionDialogContentOf(ConversionDialog::LiquidToMetric, test::UsLocale());
    EXPECT_EQ(us.units[0], "liter/sec");
    EXPECT_EQ(us.units[1], "millliter/min");
}

TEST(TabStops, ConversionOfTheDatabaseColumns) {
    EXPECT_EQ(ConvertTabStops({180, 270, 360}, 5.33, 8), (std::vector<int>{119, 179, 239}));
    EXPECT_EQ(TabStopPixels(119, 8), 238);
    EXPECT_EQ(TabStopPixels(179, 8), 358);
    EXPECT_EQ(TabStopPixels(239, 8), 478);
    EXPECT_EQ(ConvertTabStops({180}, 5.33, 0), (std::vector<int>{959}));
}

}  // namespace
}  // namespace corvane

#include "logic/model/panels/PrintLayout.h"

namespace corvane {
namespace {

TEST(PrintLayout, TwoPaperSizesInBothOrientations) {
    struct Case {
        int w, h, b, l, x, heading, picture;
    } cases[] = {
        {2480, 3508, 1116, 742, 124, 124, 194},  // A4 portrait, 300 dpi
        {3508, 2480, 1578, 1049, 176, 176, 225}, // A4 landscape
        {2550, 3300, 1147, 763, 128, 128, 194},  // Letter portrait
        {3300, 2550, 1485, 987, 165, 165, 216},  // Letter landscape
        {3000, 1100, 1350, 898, 150, 101, 123},  // a low page: centred vertically
    };
    for (const Case& c : cases) {
        const PrintLayout l = LayoutPrintedPanel(c.w, c.h);
        EXPECT_EQ(l.pictureWidth, c.b) << c.w << "x" << c.h;
        EXPECT_EQ(l.pictureHeight, c.l) << c.w << "x" << c.h;
        EXPECT_EQ(l.left, c.x) << c.w << "x" << c.h;
        EXPECT_EQ(l.headingTop, c.heading) << c.w << "x" << c.h;
        EXPECT_EQ(l.pictureTop, c.picture) << c.w << "x" << c.h;
        // 45 % of the width, starting at about 5 %.
        EXPECT_NEAR(l.pictureWidth, c.w * 0.45, 1);
        EXPECT_NEAR(l.left, c.w * 0.05, 1);
    }
}

TEST(PrintLayout, HeadingOfCaptionAndDate) {
    EXPECT_EQ(PictureHeading("Corvane v1.12", "08/12/2026"), "   Corvane v1.12               08/12/2026");
    EXPECT_EQ(PrintDocumentName(PanelKind::PressureDrop), "Corvane \u2014 Find pressure drop");
    EXPECT_EQ(PrintDocumentName(PanelKind::Length), "Corvane \u2014 Find length");
}

}  // namespace
}  // namespace corvane
