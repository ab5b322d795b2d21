// The right-aligned entry and the tabbed list.

#include <QFocusEvent>
#include <QKeyEvent>

#include "logic/text/TabStops.h"
#include "tests/ui/UiFixture.h"
#include "ui/widgets/RightAlignedEdit.h"
#include "ui/widgets/TabbedListBox.h"

namespace corvane {
namespace {

using ControlsTest = test::UiTest;

TEST_F(ControlsTest, RightEditHeightRule) {
    RightAlignedEdit edit;
    QFont f = edit.font();
    f.setPixelSize(11);
    edit.setFont(f);
    edit.setBounds(5, 6, 100, 40);
    EXPECT_EQ(edit.geometry(), QRect(5, 6, 100, 22));
    edit.setBounds(5, 6, 100, 20);
    EXPECT_EQ(edit.height(), 20);
    EXPECT_EQ(edit.alignment() & Qt::AlignRight, Qt::AlignRight);
}

TEST_F(ControlsTest, ReturnAndTabInsertNothing) {
    QWidget form;
    auto* edit = new RightAlignedEdit(&form);
    auto* next = new RightAlignedEdit(&form);
    next->move(0, 30);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    edit->setFocus();
    QTest::keyClicks(edit, "12");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "12");
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(edit->text(), "12");
    EXPECT_TRUE(next->hasFocus());
}

TEST_F(ControlsTest, KeyFilterSeesControlCharacters) {
    RightAlignedEdit edit;
    std::vector<char32_t> seen;
    edit.keyFilter = [&](char32_t& k) {
        seen.push_back(k);
        return k >= U'0' && k <= U'9';
    };
    QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_Escape);
    QTest::keyClick(&edit, Qt::Key_Enter);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, 'a');
    QTest::keyClick(&edit, '7');
    QTest::keyClick(&edit, Qt::Key_Left);  // no character: not offered
    EXPECT_EQ(seen, (std::vector<char32_t>{3, 24, 27, 13, 8, U'a', U'7'}));
    EXPECT_EQ(edit.text(), "7");
}

TEST_F(ControlsTest, AnotherWindowTakingTheFocusIsNotLeaving) {
    RightAlignedEdit edit;
    int left = 0;
    QObject::connect(&edit, &RightAlignedEdit::left, [&] { ++left; });
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&edit, &away);
    EXPECT_EQ(left, 0);
    QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&edit, &tab);
    EXPECT_EQ(left, 1);
    edit.setPassesFocus(true);
    QApplication::sendEvent(&edit, &tab);
    EXPECT_EQ(left, 1);
}

TEST_F(ControlsTest, TabListColumnsStartAtTheStops) {
    TabbedListBox list;
    list.setTabStops({180, 270, 360}, 5.33);
    const int b = list.baseUnit();
    EXPECT_EQ(list.tabStopUnits(), ConvertTabStops({180, 270, 360}, 5.33, b));
    const QString row = QString::fromUtf8("Water\t20\u00b0C (68\u00b0F)\t    1.004000\t    0.998000");
    list.addItem(row);
    const std::vector<int> starts = list.columnStarts(row);
    ASSERT_EQ(starts.size(), 4u);
    EXPECT_EQ(starts[0], 0);
    EXPECT_EQ(std::vector<int>(starts.begin() + 1, starts.end()), list.tabStopPixels());
    EXPECT_EQ(list.item(0)->text(), row);  // the row keeps its TABs
    EXPECT_EQ(list.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

}  // namespace
}  // namespace corvane
