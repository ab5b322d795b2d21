// The analysis window opened from the main window.

#include <QAction>
#include <QCategoryAxis>
#include <QChart>
#include <QComboBox>
#include <QLegendMarker>
#include <QScatterSeries>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <memory>

#include <QAbstractButton>

#include "logic/model/analysis/AnalysisPictures.h"
#include "tests/ui/UiFixture.h"
#include "ui/widgets/RightAlignedEdit.h"
#include "ui/AnalysisWindow.h"
#include "ui/MainWindow.h"
#include "ui/PumpPage.h"
#include "logic/engine/Units.h"
#include "logic/model/pumps/PumpLibrary.h"
#include "logic/text/NumberText.h"
#include "tests/logic/PanelTestSupport.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/widgets/RightAlignedEdit.h"

namespace corvane {
namespace {

// The thin grey lines of a chart's minor grid.
int MinorGridLines(QChartView* view) {
    int n = 0;
    for (QAbstractSeries* s : view->chart()->series())
        if (auto* line = qobject_cast<QLineSeries*>(s); line && line->name().isEmpty() && line->count() == 2) ++n;
    return n;
}

class AnalysisWindowTest : public test::MainWindowTest {
protected:
    // A few standard pipe sizes for the sizes table.
    void addServices(PanelServices& services) override {
        for (const auto& [type, nominal, id] : std::vector<std::tuple<const char*, const char*, const char*>>{
                 {"Steel", "1\"", "26.645"}, {"Steel", "1 1/4\"", "35.052"}, {"Steel", "2\"", "52.502"}})
            pipes_.add({10, type, nominal, id, "0"});
        services.pipeTable = &pipes_;
    }
    AnalysisWindow* open() {
        window_->findChild<QAction*>("Analysis1")->trigger();
        return window_->analysisWindow();
    }

    DataTable pipes_{10};
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
    // Before a calculation there is nothing to analyse.
    for (int tab = 0; tab < 3; ++tab) {
        ASSERT_TRUE(a->shownMessage(tab)) << tab;
        EXPECT_EQ(a->shownMessage(tab)->text(), QString::fromUtf8("No result \u2014 press Calculate"));
    }
    EXPECT_EQ(a->notesLabel()->text(), QString::fromUtf8("No result \u2014 press Calculate"));
    window_->panel(4)->calculate();
    QApplication::processEvents();
    EXPECT_FALSE(a->shownMessage(0));
    const auto series = a->curveView()->chart()->series();
    ASSERT_EQ(series.size(), 2);  // the curve and the operating point
    EXPECT_EQ(static_cast<QLineSeries*>(series[0])->count(), 31);
    EXPECT_EQ(a->moodyView()->chart()->series().size(),
              static_cast<int>(2 * MoodyRoughnessFamily().size()) + 3 + MinorGridLines(a->moodyView()));
    EXPECT_EQ(a->sizesTable()->rowCount(), 2);  // the next two at or above 25 mm
    EXPECT_EQ(a->sizesTable()->item(0, 1)->text(), "1\"");
    EXPECT_EQ(a->notesLabel()->text(), "No notes: the case lies inside the range of every formula used.");

    // In the single layout it follows the tab.
    window_->tabs()->setCurrentIndex(1);
    window_->applyLayout(1);
    open();
    EXPECT_EQ(a->panelNumber(), 2);
}

// The flow of the operating point drawn on the system curve.
double MarkedFlow(AnalysisWindow* a) {
    for (QAbstractSeries* s : a->curveView()->chart()->series())
        if (auto* point = qobject_cast<QScatterSeries*>(s); point && point->count() == 1) return point->at(0).x();
    return -1;
}

TEST_F(AnalysisWindowTest, FollowsEveryCalculationAndClearOfItsPanel) {
    PanelModel& m = window_->model(1);
    window_->panel(1)->calculate();
    AnalysisWindow* a = open();
    EXPECT_EQ(MarkedFlow(a), 100);
    m.editEntry(Ctl::VisibleFlowrateLMin_RightEdit, "250");
    QApplication::processEvents();
    ASSERT_TRUE(a->shownMessage(0));  // the results were cleared
    EXPECT_TRUE(a->shownMessage(0)->wordWrap());  // a long message wraps, it is not cut short
    EXPECT_EQ(a->shownMessage(0)->text(), QString::fromUtf8("No result \u2014 press Calculate"));
    window_->findChild<QAbstractButton*>("CalculatePressureDropBitBtn")->click();
    QApplication::processEvents();
    EXPECT_FALSE(a->shownMessage(0));
    EXPECT_EQ(MarkedFlow(a), 250);
    // A refused calculation leaves no result to show.
    m.setText(Ctl::Barg_RightEdit, "-1");
    window_->panel(1)->calculate();
    QApplication::processEvents();
    EXPECT_TRUE(a->shownMessage(1));
    EXPECT_TRUE(platform_.messages.size() == 1u);
    // Changes of a panel not shown change nothing; choosing it shows it.
    window_->panel(2)->calculate();
    QApplication::processEvents();
    EXPECT_TRUE(a->shownMessage(0));
    auto* choice = a->findChild<QComboBox*>("PanelComboBox");
    choice->setCurrentIndex(1);
    Q_EMIT choice->activated(1);
    EXPECT_FALSE(a->shownMessage(0));
}

TEST_F(AnalysisWindowTest, AxesHaveRoundTicksPowersOfTenAndUnits) {
    window_->panel(1)->calculate();
    AnalysisWindow* a = open();
    auto labels = [](QChartView* view, Qt::Orientation o) {
        auto* axis = qobject_cast<QCategoryAxis*>(view->chart()->axes(o).front());
        return axis ? axis->categoriesLabels() : QStringList{};
    };
    EXPECT_EQ(labels(a->curveView(), Qt::Horizontal), (QStringList{"0", "20", "40", "60", "80", "100", "120", "140", "160"}));
    EXPECT_EQ(a->curveView()->chart()->axes(Qt::Horizontal).front()->titleText(), "Flow (litre/min)");
    EXPECT_EQ(a->curveView()->chart()->axes(Qt::Vertical).front()->titleText(), "Head (m hd)");
    const QStringList re = labels(a->moodyView(), Qt::Horizontal);
    ASSERT_EQ(re.size(), 7);
    EXPECT_EQ(re.front(), QString::fromUtf8("10\u00b2"));
    EXPECT_EQ(re[1], QString::fromUtf8("10\u00b3"));
    EXPECT_EQ(labels(a->moodyView(), Qt::Vertical), (QStringList{"0.01", "0.02", "0.05", "0.1"}));
    EXPECT_GT(MinorGridLines(a->moodyView()), 40);
    // The pipe's own curve and the operating point are in the legend, the
    // family of curves is labelled with its relative roughness.
    a->tabs()->setCurrentIndex(1);
    QApplication::processEvents();
    QStringList legend, endLabels;
    for (QAbstractSeries* s : a->moodyView()->chart()->series()) {
        auto* xy = qobject_cast<QXYSeries*>(s);
        if (xy && xy->pointLabelsVisible()) endLabels << xy->pointLabelsFormat();
        for (QLegendMarker* marker : a->moodyView()->chart()->legend()->markers(s))
            if (marker->isVisible()) legend << marker->label();

    }
    EXPECT_TRUE(endLabels.contains(QString::fromUtf8("\u03b5/D 0.001")));
    EXPECT_EQ(legend.size(), 3);
    EXPECT_EQ(legend, (QStringList{QString::fromUtf8("This pipe (\u03b5/D 0.00184)"), "Colebrook-White", "Operating point"}));
    EXPECT_TRUE(a->moodyView()->chart()->title().startsWith("Moody diagram: Re 84544, f 0.0248"));
}

TEST_F(AnalysisWindowTest, AxesWriteTheLocalesDecimalSeparator) {
    PanelServices services;
    services.platform = &platform_;
    MainWindow comma(CommaLocale(), services, "/");
    comma.show();
    comma.model(1).choose(Ctl::MhdBarComboBox, 1);  // the drop in bar: ticks with decimals
    comma.panel(1)->calculate();
    comma.openAnalysis();
    AnalysisWindow* a = comma.analysisWindow();
    ASSERT_TRUE(a);
    auto* y = qobject_cast<QCategoryAxis*>(a->curveView()->chart()->axes(Qt::Vertical).front());
    ASSERT_TRUE(y);
    EXPECT_EQ(y->titleText(), "Pressure drop (bar)");
    const QStringList labels = y->categoriesLabels();
    ASSERT_GE(labels.size(), 3);
    EXPECT_EQ(labels[1], "0,2");
    for (const QString& l : labels) EXPECT_FALSE(l.contains('.')) << l.toStdString();
    auto* f = qobject_cast<QCategoryAxis*>(a->moodyView()->chart()->axes(Qt::Vertical).front());
    ASSERT_TRUE(f);
    EXPECT_EQ(f->categoriesLabels().front(), "0,01");
    a->close();
}

TEST_F(AnalysisWindowTest, SizesTableFitsTheWindowAtItsDefaultSize) {
    window_->panel(1)->calculate();
    AnalysisWindow* a = open();
    a->tabs()->setCurrentIndex(2);
    QApplication::processEvents();
    QTableWidget* table = a->sizesTable();
    int width = 0;
    for (int c = 0; c < table->columnCount(); ++c) width += table->columnWidth(c);
    EXPECT_LE(width, table->viewport()->width());
    EXPECT_EQ(table->columnCount(), 6);
    EXPECT_EQ(table->horizontalHeaderItem(5)->text(), "Head\n(m hd)");
    EXPECT_LE(table->rowHeight(0), table->fontMetrics().height() + 8);
}

TEST_F(AnalysisWindowTest, PicturesAndDataOfTheShownTab) {
    window_->panel(1)->calculate();
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
    window_->panel(3)->calculate();
    AnalysisWindow* a = open();
    EXPECT_EQ(a->panelNumber(), 3);
    EXPECT_TRUE(a->notesLabel()->text().contains("Compressible flow"));
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// The pump's operating point marked on a chart, or a negative flow.
QPointF PumpPoint(QChartView* view) {
    for (QAbstractSeries* s : view->chart()->series())
        if (auto* point = qobject_cast<QScatterSeries*>(s); point && point->name() == "Pump operating point") {
            EXPECT_TRUE(point->pointLabelsVisible());
            return point->at(0);
        }
    return {-1, -1};
}

class PumpTabTest : public AnalysisWindowTest {
protected:
    PumpPage* pumpTab(AnalysisWindow* a) {
        a->tabs()->setCurrentWidget(a->pumpPage());
        return a->pumpPage();
    }
    static void Type(PumpPage* p, int row, const char* flow, const char* head) {
        p->pointsTable()->item(row, 0)->setText(flow);
        p->pointsTable()->item(row, 1)->setText(head);
        QApplication::processEvents();
    }
};

TEST_F(PumpTabTest, TypedPointsGiveTheModelsOperatingPointOnBothCharts) {
    window_->findChild<QAbstractButton*>("CalculatePressureDropBitBtn")->click();
    AnalysisWindow* a = open();
    PumpPage* p = pumpTab(a);
    EXPECT_EQ(p->pointsTable()->horizontalHeaderItem(0)->text(), "Flow (litre/min)");
    EXPECT_EQ(p->pointsTable()->horizontalHeaderItem(1)->text(), "Head (m hd)");
    EXPECT_TRUE(p->message()->isVisible());  // no point yet
    Type(p, 0, "150", "8");
    p->findChild<QLineEdit*>("PumpEfficiencyEdit")->setText("70");
    Q_EMIT p->findChild<QLineEdit*>("PumpEfficiencyEdit")->textEdited("70");
    QApplication::processEvents();

    const PanelModel& m = window_->model(1);
    const PumpOnPanel expected = SolvePumpOnPanel(m, {{{150, 8}}, 1.0, 70.0});
    ASSERT_FALSE(expected.refusal);
    const auto rows = PumpResultRows(m, expected);
    ASSERT_EQ(p->resultTable()->rowCount(), static_cast<int>(rows.size()));
    for (int r = 0; r < p->resultTable()->rowCount(); ++r) {
        EXPECT_EQ(p->resultTable()->item(r, 0)->text().toStdString(), rows[static_cast<std::size_t>(r)].caption);
        EXPECT_EQ(p->resultTable()->item(r, 1)->text().toStdString(), rows[static_cast<std::size_t>(r)].value);
    }
    EXPECT_EQ(p->resultTable()->item(6, 0)->text(), "Shaft power");
    for (QChartView* chart : {p->chart(), a->curveView()}) {
        EXPECT_DOUBLE_EQ(PumpPoint(chart).x(), expected.flow);
        EXPECT_DOUBLE_EQ(PumpPoint(chart).y(), expected.head);
    }
}

TEST_F(PumpTabTest, ThePointMovesWithThePanelAndRefusalsAreShown) {
    window_->findChild<QAbstractButton*>("CalculatePressureDropBitBtn")->click();
    AnalysisWindow* a = open();
    PumpPage* p = pumpTab(a);
    Type(p, 0, "150", "8");
    const double before = PumpPoint(p->chart()).x();
    ASSERT_GT(before, 0);
    // A wider pipe lets the same pump deliver more.
    window_->model(1).editEntry(Ctl::IDmm_RightEdit, "30");
    QApplication::processEvents();
    EXPECT_EQ(p->message()->text(), QString::fromUtf8("No result \u2014 press Calculate"));
    window_->findChild<QAbstractButton*>("CalculatePressureDropBitBtn")->click();
    QApplication::processEvents();
    EXPECT_GT(PumpPoint(p->chart()).x(), before);
    // A rise above the pump's shut-off head of 10.667 m.
    window_->model(1).editEntry(Ctl::ElevationChange_RightEdit, "12");
    window_->findChild<QAbstractButton*>("CalculatePressureDropBitBtn")->click();
    QApplication::processEvents();
    EXPECT_EQ(p->message()->text(), "The pump cannot overcome the elevation change.");
    EXPECT_EQ(PumpPoint(p->chart()).x(), -1);
    // A point with only a head.
    Type(p, 1, "", "3");
    EXPECT_EQ(p->message()->text(), "Each point of the pump curve needs a flow and a head.");
}

TEST_F(PumpTabTest, PictureAndDataOfThePumpTab) {
    window_->findChild<QAbstractButton*>("CalculatePressureDropBitBtn")->click();
    AnalysisWindow* a = open();
    PumpPage* p = pumpTab(a);
    Type(p, 0, "0", "12");
    Type(p, 1, "100", "10");
    Type(p, 2, "200", "4");
    EXPECT_TRUE(a->findChild<QWidget*>("CopyPictureButton")->isEnabled());
    EXPECT_TRUE(a->findChild<QWidget*>("SaveDataButton")->isEnabled());
    a->copyPicture();
    EXPECT_EQ(platform_.clipboardImage.size(), p->grab().size());  // the chart with the points and the rows
    const std::string csv = QDir(dir_.path()).filePath("pump.csv").toStdString();
    platform_.saveAnswers = {csv};
    a->saveData();
    QFile file(QString::fromStdString(csv));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string data = file.readAll().toStdString();
    EXPECT_EQ(data, PumpCsv(window_->model(1), p->model(), SolvePumpTab(window_->model(1), p->model())));
    EXPECT_NE(data.find("0,12\n100,10\n200,4\n"), std::string::npos);
    EXPECT_NE(data.find("Fluid power,"), std::string::npos);
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

TEST_F(PumpTabTest, TheLibraryKeepsTypedPumpsAndGivesThemBack) {
    PumpLibrary library(PumpFiles(dir_.path().toStdString(), dir_.path().toStdString()));
    PumpPage page;
    page.setLibrary(&library, &platform_);
    PanelModel metric(PanelKind::PressureDrop, Locale{});
    ASSERT_FALSE(metric.calculate());
    auto show = [&](const PanelModel& panel) {
        page.show(panel, SolvePumpTab(panel, page.model()), SystemCurvePicture(panel));
    };
    show(metric);
    EXPECT_FALSE(page.findChild<QWidget*>("UsePumpButton")->isEnabled());  // nothing to use yet
    page.pointsTable()->item(0, 0)->setText("0");
    page.pointsTable()->item(0, 1)->setText("12");
    page.pointsTable()->item(1, 0)->setText("100");
    page.pointsTable()->item(1, 1)->setText("10");
    page.findChild<QLineEdit*>("PumpNameEdit")->setText("Mine");
    page.findChild<QAbstractButton*>("AddPumpButton")->click();
    ASSERT_EQ(library.list().size(), 1u);
    EXPECT_EQ(library.list()[0].pump, (PumpRecord{"Mine", {{0, 12}, {100, 10}}}));
    EXPECT_EQ(page.libraryList()->currentText(), "Mine");

    // The same name again is refused with the data bases' words.
    page.findChild<QAbstractButton*>("AddPumpButton")->click();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, "Entry already exists.");

    // Used on an imperial panel, the pump comes in its flow unit and feet.
    PanelModel imperial(PanelKind::PressureDrop, test::UsLocale());
    ASSERT_FALSE(imperial.calculate());
    show(imperial);
    page.findChild<QAbstractButton*>("UsePumpButton")->click();
    const double gpm = FlowFromLitresPerMin(imperial.flowUnitCode(), 100);
    EXPECT_EQ(page.model().flowText(1), *WriteEntryNumber(gpm, 3, test::UsLocale()));
    EXPECT_EQ(page.model().headText(0), *WriteEntryNumber(LengthFromMetres(kFoot, 12), 3, test::UsLocale()));

    page.findChild<QAbstractButton*>("RemovePumpButton")->click();
    EXPECT_TRUE(library.list().empty());
    EXPECT_EQ(page.libraryList()->count(), 0);
}

}  // namespace
}  // namespace corvane
