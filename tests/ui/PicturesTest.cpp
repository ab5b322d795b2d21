// Screen copies and printed pages of the panels.

#include <QPushButton>
#include <QTabBar>
#include <memory>

#include "logic/model/PrintLayout.h"
#include "tests/ui/UiFixture.h"
#include "ui/MainWindow.h"

namespace corvane {
namespace {

class PicturesTest : public test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        PanelServices services;
        services.platform = &platform_;
        window_ = std::make_unique<MainWindow>(Locale{}, services, "/");
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void click(const QString& name) { window_->findChild<QPushButton*>(name)->click(); }

    std::unique_ptr<MainWindow> window_;
};

TEST_F(PicturesTest, ScreenCopyOfEveryPanelInBothLayouts) {
    for (int layout : {4, 1}) {
        window_->applyLayout(layout);
        for (int n = 1; n <= 4; ++n) {
            if (layout == 1) window_->tabs()->setCurrentIndex(n - 1);
            platform_.clipboardImage = QImage();
            click(QStringLiteral("CopyScreenToClipboardBitBtn%1").arg(n));
            const QImage& picture = platform_.clipboardImage;
            ASSERT_EQ(picture.size(), QSize(493, 353)) << n;
            EXPECT_EQ(picture.pixelColor(0, 0), QColor(255, 255, 225)) << n;
            EXPECT_EQ(picture.pixelColor(492, 24), QColor(255, 255, 225)) << n;
            // The panel's own colour just below the band's top edge of the panel.
            const QColor colour = PanelColour(static_cast<PanelKind>(n));
            EXPECT_EQ(picture.pixelColor(490, 25 + 3), colour) << n << " layout " << layout;
            EXPECT_EQ(picture.pixelColor(490, 352), colour) << n << " layout " << layout;
        }
    }
}

TEST_F(PicturesTest, ScreenCopyShowsTheResults) {
    click("CalculatePressureDropBitBtn");
    click("CopyScreenToClipboardBitBtn1");
    const QImage withResults = platform_.clipboardImage;
    window_->model(1).clearResults();
    click("CopyScreenToClipboardBitBtn1");
    EXPECT_NE(withResults, platform_.clipboardImage);
}

TEST_F(PicturesTest, PrintedPageInPortraitAndLandscape) {
    for (QSize page : {QSize(850, 1100), QSize(1100, 850)}) {
        platform_.printPage = page;
        click("PrintBitBtn3");
        ASSERT_EQ(platform_.printedPage.size(), page);
        const PrintLayout l = LayoutPrintedPanel(page.width(), page.height());
        const QColor colour = PanelColour(PanelKind::Diameter);
        // Inside the picture: the panel's colour near its top right corner.
        EXPECT_EQ(platform_.printedPage.pixelColor(l.left + l.pictureWidth - 3, l.pictureTop + 3), colour);
        // Outside it: the blank page.
        EXPECT_EQ(platform_.printedPage.pixelColor(l.left + l.pictureWidth + 3, l.pictureTop + 3), QColor(Qt::white));
        EXPECT_EQ(platform_.printedPage.pixelColor(l.left - 3, l.pictureTop + l.pictureHeight / 2), QColor(Qt::white));
        EXPECT_EQ(platform_.printTitles.back(), window_->windowTitle().toStdString());
    }
}

TEST_F(PicturesTest, CancelledPrintPrintsNothing) {
    platform_.printConfirmed = false;
    click("PrintBitBtn2");
    EXPECT_TRUE(platform_.printedPage.isNull());
    EXPECT_EQ(platform_.printTitles.size(), 1u);
}

}  // namespace
}  // namespace corvane
