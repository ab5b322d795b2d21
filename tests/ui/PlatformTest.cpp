// The real platform where it can run headless: the clipboard's flavours.

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "ui/platform/QtPlatform.h"
#include "tests/ui/UiFixture.h"

namespace corvane {
namespace {

class PlatformTest : public test::UiTest {};

TEST_F(PlatformTest, ReportGoesToTheClipboardAsTextAndAsHtml) {
    QtPlatform platform;
    platform.setClipboardReport("Find P.D.\rFluid\t Water", "<table><tr><td>Find P.D.</td></tr></table>");
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->hasText());
    EXPECT_TRUE(data->hasHtml());
    EXPECT_EQ(data->text(), "Find P.D.\rFluid\t Water");
    EXPECT_EQ(data->html(), "<table><tr><td>Find P.D.</td></tr></table>");
    // Plain text alone leaves no stale table behind.
    platform.setClipboardText("plain");
    EXPECT_FALSE(QApplication::clipboard()->mimeData()->hasHtml());
    EXPECT_EQ(QApplication::clipboard()->text(), "plain");
}

}  // namespace
}  // namespace corvane
