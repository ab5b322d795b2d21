// The analysis window opened from the main window.

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <memory>

#include "tests/ui/UiFixture.h"
#include "ui/AnalysisWindow.h"
#include "ui/MainWindow.h"
#include "ui/widgets/RightAlignedEdit.h"

namespace corvane {
namespace {

class AnalysisWindowTest : public test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        for (const auto& [type, nominal, id] : std::vector<std::tuple<const char*, const char*, const char*>>{
                 {"Steel", "1\"", "26.645"}, {"Steel", "1 1/4\"", "35.052"}, {"Steel", "2\"", "52.502"}})
            pipes_.add({10, type, nominal, id, "0"});
        PanelServices services;
        services.platform = &platform_;
        services.pipeTable = &pipes_;
        window_ = std::make_unique<MainWindow>(Locale{}, services, "/");
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        if (window_->analysisWindow()) window_->analysisWindow()->close();
        UiTest::TearDown();
    }
    AnalysisWindow* open() {
        window_->findChild<QAction*>("Analysis1")->trigger();
        return window_->analysisWindow();
    }

    DataTable pipes_{10};
    std::unique_ptr<MainWindow> window_;
    QTemporaryDir dir_;
};

TEST_F(AnalysisWindowTest, OpensOnThePanelInViewWithItsCase) {
    window_->findChild<RightAlignedEdit*>("IDmm_RightEdit4")->setFocus();
    QApplication::processEvents();
    AnalysisWindow* a = open();
    ASSERT_TRUE(a);
    EXPECT_TRUE(a->isVisible());
    EXPECT_FALSE(a->isModal());
    EXPECT_EQ(a->panelNumber(), 4);
    const auto series = a->curveView()->chart()->series();
    ASSERT_EQ(series.size(), 2);  // the curve and the operating point
    EXPECT_EQ(static_cast<QLineSeries*>(series[0])->count(), 31);
    EXPECT_EQ(a->moodyView()->chart()->series().size(), static_cast<int>(MoodyRoughnessFamily().size()) + 3);
    EXPECT_EQ(a->sizesTable()->rowCount(), 2);  // the next two at or above 25 mm
    EXPECT_EQ(a->sizesTable()->item(0, 1)->text(), "1\"");
    EXPECT_EQ(a->notesLabel()->text(), "No notes: the case lies inside the range of every formula used.");

    // In the single layout it follows the tab.
    window_->tabs()->setCurrentIndex(1);
    window_->applyLayout(1);
    open();
    EXPECT_EQ(a->panelNumber(), 2);
}

TEST_F(AnalysisWindowTest, PicturesAndDataOfTheShownTab) {
    AnalysisWindow* a = open();
    a->copyPicture();
    EXPECT_FALSE(platform_.clipboardImage.isNull());
    const std::string png = QDir(dir_.path()).filePath("curve.png").toStdString();
    const std::string svg = QDir(dir_.path()).filePath("curve.svg").toStdString();
    const std::string csv = QDir(dir_.path()).filePath("curve.csv").toStdString();
    platform_.saveAnswers = {png, svg, csv};
    a->savePicture();
    a->savePicture();
    a->saveData();
    EXPECT_TRUE(QImage(QString::fromStdString(png)).width() > 100);
    QFile svgFile(QString::fromStdString(svg));
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svgFile.readAll().contains("<svg"));
    QFile csvFile(QString::fromStdString(csv));
    ASSERT_TRUE(csvFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(csvFile.readAll().toStdString(), SystemCurveCsv(ComputeSystemCurve(window_->model(1)), Locale{}));
    EXPECT_TRUE(platform_.messages.empty());
    // The notes have neither picture nor data.
    a->tabs()->setCurrentIndex(3);
    EXPECT_FALSE(a->findChild<QWidget*>("SavePictureButton")->isEnabled());
    EXPECT_FALSE(a->findChild<QWidget*>("SaveDataButton")->isEnabled());
}

TEST_F(AnalysisWindowTest, NotesOfAGasCase) {
    PanelModel& m = window_->model(3);
    m.useFluid({"Air", "20\u00b0C (68\u00b0F)", "15.100000", "1.204700", true});
    m.setText(Ctl::Barg_RightEdit, "1.000");
    m.setText(Ctl::AllowablePressureLoss_RightEdit, "0.900");
    window_->findChild<RightAlignedEdit*>("LengthM_RightEdit3")->setFocus();
    QApplication::processEvents();
    AnalysisWindow* a = open();
    EXPECT_EQ(a->panelNumber(), 3);
    EXPECT_TRUE(a->notesLabel()->text().contains("Compressible flow"));
}

}  // namespace
}  // namespace corvane
