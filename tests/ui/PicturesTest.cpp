// Screen copies and printed pages of the panels.

#include <QAction>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <QTabBar>
#include <memory>

#include "logic/model/panels/PrintLayout.h"
#include "ui/MainWindow.h"
#include "ui/platform/QtPlatform.h"
#include "tests/ui/MainWindowFixture.h"
#include "tests/ui/UiFixture.h"
#include "ui/MainWindow.h"

namespace corvane {
namespace {

class PicturesTest : public test::MainWindowTest {
protected:
    void click(const QString& name) { window_->findChild<QPushButton*>(name)->click(); }
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
        // The job is named after the panel, not after the window's caption.
        EXPECT_EQ(platform_.printTitles.back(), "Corvane \u2014 Find diameter");
    }
}

TEST_F(PicturesTest, PrintPreviewOfThePanelInView) {
    window_->applyLayout(1);
    window_->tabs()->setCurrentIndex(1);
    window_->findChild<QAction*>("PrintPreview1")->trigger();
    ASSERT_EQ(platform_.previewTitles, (std::vector<std::string>{"Corvane \u2014 Find flow"}));
    const PrintLayout l = LayoutPrintedPanel(platform_.printPage.width(), platform_.printPage.height());
    EXPECT_EQ(platform_.previewedPage.pixelColor(l.left + l.pictureWidth - 3, l.pictureTop + 3),
              PanelColour(PanelKind::Flow));
    EXPECT_TRUE(platform_.printedPage.isNull());  // a preview prints nothing by itself
}

// A platform whose print dialog is answered with a PDF file.
class PdfPlatform : public QtPlatform {
public:
    explicit PdfPlatform(QString file) : file_(std::move(file)) {}

protected:
    bool askPrinter(QWidget*, QPrinter& printer) override {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file_);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Portrait);
        printer.setPageMargins(QMarginsF(20, 30, 20, 30), QPageLayout::Millimeter);
        docName_ = printer.docName();
        return true;
    }

public:
    QString docName_;

private:
    QString file_;
};

TEST_F(PicturesTest, PrintedPdfHasThePictureAt45PercentOfThePaintersPage) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("page.pdf");
    PdfPlatform pdfPlatform(pdf);
    PanelServices services;
    services.platform = &pdfPlatform;
    MainWindow window(Locale{}, services, "/");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.findChild<QPushButton*>("PrintBitBtn1")->click();
    EXPECT_EQ(pdfPlatform.docName_, QString::fromUtf8("Corvane \u2014 Find pressure drop"));
    ASSERT_TRUE(QFileInfo(pdf).size() > 0);

    // Rasterised at 72 dpi: one point a pixel, the sheet 595 x 842.
    QProcess raster;
    raster.start("pdftoppm", {"-r", "72", "-png", "-singlefile", pdf, dir.filePath("page")});
    ASSERT_TRUE(raster.waitForFinished(60000));
    const QImage page(dir.filePath("page.png"));
    ASSERT_FALSE(page.isNull());
    // The rows of the picture (most of the marked rows; the heading's few
    // rows lie above it): their leftmost and rightmost marked pixels.
    std::vector<int> lefts, rights, rows;
    for (int y = 0; y < page.height(); ++y) {
        int left = -1, right = -1;
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 245) {
                if (left < 0) left = x;
                right = x;
            }
        if (left >= 0) {
            lefts.push_back(left);
            rights.push_back(right);
            rows.push_back(y);
        }
    }
    ASSERT_GT(rows.size(), 100u);
    std::sort(lefts.begin(), lefts.end());
    std::sort(rights.begin(), rights.end());
    const double mm = 72 / 25.4;
    const double paintWidth = (210 - 40) * mm;  // the sheet less the side margins
    const double left = lefts[lefts.size() / 2] - 20 * mm;
    const double width = rights[rights.size() / 2] - lefts[lefts.size() / 2] + 1;
    EXPECT_NEAR(width / paintWidth, 0.45, 0.01);
    EXPECT_NEAR(left / paintWidth, 0.05, 0.01);
    // The picture keeps the panel's aspect ratio: 328 rows for 493 columns.
    const int pictureRows = static_cast<int>(rows.size());
    EXPECT_NEAR(pictureRows, width * 328 / 493 + 12, 16);  // with the heading's rows
}

TEST_F(PicturesTest, CancelledPrintPrintsNothing) {
    platform_.printConfirmed = false;
    click("PrintBitBtn2");
    EXPECT_TRUE(platform_.printedPage.isNull());
    EXPECT_EQ(platform_.printTitles.size(), 1u);
}

}  // namespace
}  // namespace corvane
