// The golden cases in the main window: the inputs given to a panel, its
// Calculate button clicked, and every result read from the widgets by their
// object names.

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <memory>

#include "tests/GoldenPanels.h"
#include "tests/ui/UiFixture.h"
#include "ui/MainWindow.h"

namespace corvane {
namespace {

using test::GoldenCase;

class WindowGolden : public test::UiTest, public ::testing::WithParamInterface<GoldenCase> {
protected:
    // What a control shows, whatever kind of widget it is.
    static std::string Shown(const QWidget* w) {
        if (auto* edit = qobject_cast<const QLineEdit*>(w)) return edit->text().toStdString();
        if (auto* label = qobject_cast<const QLabel*>(w)) return label->text().toStdString();
        if (auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text().toStdString();
        ADD_FAILURE() << w->objectName().toStdString() << " shows no text";
        return {};
    }
};

TEST_P(WindowGolden, CalculateShowsTheResults) {
    const GoldenCase& c = GetParam();
    PanelServices services;
    services.platform = &platform_;
    MainWindow window(c.locale, services, "/nowhere/");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const int digit = PanelDigit(c.kind);
    test::EnterGoldenCase(window.model(digit), c);

    static const char* const kCalculate[] = {"CalculatePressureDropBitBtn", "CalculateFlowBitBtn2",
                                             "CalculatePipeDiameterBitBtn3", "CalculatePipeLengthBitBtn4"};
    auto* calculate = window.findChild<QAbstractButton*>(kCalculate[digit - 1]);
    ASSERT_NE(calculate, nullptr);
    QTest::mouseClick(calculate, Qt::LeftButton);

    if (c.message.empty()) {
        EXPECT_TRUE(platform_.messages.empty());
    } else {
        ASSERT_EQ(platform_.messages.size(), 1u);
        EXPECT_EQ(platform_.messages[0].text, c.message);
    }
    for (const auto& [ctl, text] : c.shown) {
        const std::string name = CtlName(ctl, c.kind);
        const auto* w = window.findChild<QWidget*>(QString::fromStdString(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(Shown(w), text) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowGolden, ::testing::ValuesIn(test::LoadGoldenCases()), test::GoldenCaseName);

}  // namespace
}  // namespace corvane
