// The conversion dialogs and the velocity/flow/diameter calculator driven
// as the user drives them.

#include <QListWidget>
#include <QPushButton>

#include "tests/logic/PanelTestSupport.h"
#include "tests/ui/UiFixture.h"
#include "ui/dialogs/ConversionDialogs.h"
#include "ui/dialogs/VelFlowDiameterDialog.h"
#include "ui/widgets/RightAlignedEdit.h"

namespace corvane {
namespace {

class DialogsTest : public test::UiTest {};

TEST_F(DialogsTest, ConvertReturnsTheChosenUnit) {
    ConversionDialogView dialog(ConversionDialog::LiquidToImperial, Locale{});
    expectModal(&dialog);
    EXPECT_EQ(dialog.windowTitle(), "Imperial equivalents");
    EXPECT_EQ(dialog.units()->currentItem()->text(), "gpm-USA");
    test::Later([&] {
        dialog.units()->setCurrentRow(4);
        dialog.findChild<QPushButton*>("BitBtn1")->click();
    });
    const ConversionAnswer a = dialog.ask(QColor(221, 221, 221), nullptr);
    EXPECT_EQ(a.choice, ConversionChoice::Convert);
    EXPECT_EQ(a.flowUnitIndex, 4);
    // The list keeps its selection for the next opening.
    test::Later([&] { dialog.findChild<QPushButton*>("UseCurrentValuesBitBtn")->click(); });
    const ConversionAnswer b = dialog.ask(QColor(221, 221, 221), nullptr);
    EXPECT_EQ(b.choice, ConversionChoice::UseCurrentValues);
    EXPECT_EQ(b.flowUnitIndex, 4);
}

TEST_F(DialogsTest, EscapeUsesTheCurrentValuesAndTheCloseBoxCancels) {
    ConversionDialogView dialog(ConversionDialog::GasToMetric, test::UsLocale());
    expectModal(&dialog);
    EXPECT_EQ(dialog.units()->item(0)->text(), "liter/sec");
    EXPECT_EQ(dialog.units()->currentItem()->text(), "liter/hr");
    test::Later([&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(dialog.ask(Qt::white, nullptr).choice, ConversionChoice::UseCurrentValues);
    test::Later([&] { dialog.close(); });
    EXPECT_EQ(dialog.ask(Qt::white, nullptr).choice, ConversionChoice::Closed);
}

TEST_F(DialogsTest, VelocityCalculatorHandsBackItsFlow) {
    PanelModel panel(PanelKind::PressureDrop, Locale{});
    VelFlowDiameterDialog dialog(Locale{}, &platform_);
    expectModal(&dialog);
    test::Later([&] {
        auto* flow = dialog.findChild<RightAlignedEdit*>("FlowRateRightEdit");
        EXPECT_EQ(flow->text(), "176.715");
        dialog.findChild<QPushButton*>("UseDataBitBtn")->click();
    });
    EXPECT_EQ(dialog.ask(panel, nullptr, Qt::white), "176.715");
    test::Later([&] { dialog.findChild<QPushButton*>("CancelBitBtn")->click(); });
    EXPECT_EQ(dialog.ask(panel, nullptr, Qt::white), std::nullopt);
}

TEST_F(DialogsTest, VelocityCalculatorRefusesAZeroDiameter) {
    PanelModel panel(PanelKind::Length, Locale{});
    panel.setText(Ctl::IDmm_RightEdit, "0");
    VelFlowDiameterDialog dialog(Locale{}, &platform_);
    expectModal(&dialog);
    test::Later([&] {
        EXPECT_EQ(dialog.findChild<RightAlignedEdit*>("FlowRateRightEdit")->text(), "0.000");
        dialog.findChild<QPushButton*>("UseDataBitBtn")->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.findChild<RightAlignedEdit*>("FlowRateRightEdit")->text(), "");
        dialog.reject();
    });
    EXPECT_EQ(dialog.ask(panel, nullptr, Qt::white), std::nullopt);
}

}  // namespace
}  // namespace corvane
