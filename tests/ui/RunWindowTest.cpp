// The pipe run window mirrors its model: the section buttons and the
// dialogs they open, the copy commands, and the help's worked example
// calculated by the program.

#include <QApplication>
#include <QChartView>
#include <QFile>
#include <QLineEdit>
#include <QImage>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTextDocument>

#include "logic/io/Settings.h"
#include "logic/model/settings/UserChoices.h"
#include "logic/model/sheets/RunSheet.h"
#include "logic/text/NumberText.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/HelpContent.h"
#include "ui/RunWindow.h"
#include "ui/SplashWindow.h"

namespace corvane {
namespace {

class RunWindowTest : public test::MainWindowTest {
protected:
    void addServices(PanelServices& services) override {
        services.askFittings = [this](const std::string& current) {
            fittingsOffered_ = current;
            return fittingsAnswer_;
        };
        services.askPipeDiameter = [](bool metric) { return std::optional<std::string>(metric ? "77.920" : "3.068"); };
        services.askFluid = [this](std::optional<FluidGroup>) { return fluidAnswer_; };
    }
    void click(RunWindow* w, const char* button) { w->findChild<QPushButton*>(button)->click(); }
    std::vector<std::string> names(RunWindow* w) {
        std::vector<std::string> n;
        for (int r = 0; r < w->sectionsTable()->rowCount(); ++r) n.push_back(w->sectionsTable()->item(r, 0)->text().toStdString());
        return n;
    }
    std::string fittingsOffered_;
    std::optional<std::string> fittingsAnswer_;
    std::optional<FluidChoice> fluidAnswer_;
};

TEST_F(RunWindowTest, TheSectionButtonsAndDialogsChangeTheRun) {
    RunWindow* w = window_->newRun();
    EXPECT_EQ(names(w), std::vector<std::string>{"Pipe 1"});
    click(w, "RunAddSection");
    click(w, "RunAddSection");
    EXPECT_EQ(names(w), (std::vector<std::string>{"Pipe 1", "Pipe 2", "Pipe 3"}));
    w->sectionsTable()->selectRow(2);
    click(w, "RunMoveUp");
    EXPECT_EQ(names(w), (std::vector<std::string>{"Pipe 1", "Pipe 3", "Pipe 2"}));
    EXPECT_EQ(w->sectionsTable()->currentRow(), 1);
    click(w, "RunRemoveSection");
    EXPECT_EQ(names(w), (std::vector<std::string>{"Pipe 1", "Pipe 2"}));
    // The pipe data base's diameter, the fittings dialog with the section's
    // selection and its answer taken.
    w->sectionsTable()->selectRow(1);
    click(w, "RunChoosePipe");
    EXPECT_EQ(*w->editor().document().sections[1].diameterMm, 77.92);
    fittingsAnswer_ = "0\t0\t0\t0\t3\t";
    for (int k = 2; k <= kFittingKindCount; ++k) *fittingsAnswer_ += "0\t";
    *fittingsAnswer_ += "0.00\t";
    const std::string before = w->editor().fittingsSelection(1);
    click(w, "RunChooseFittings");
    EXPECT_EQ(fittingsOffered_, before);
    EXPECT_EQ(w->editor().document().sections[1].fittings, (std::vector<RunFitting>{{1, 3, 0}}));
    EXPECT_EQ(w->sectionsTable()->item(1, 5)->text(), "3");
    // A gas of the fluid data base is refused on the status line.
    fluidAnswer_ = FluidChoice{"Air", "20\u00b0C", "15.100000", "1.204700", true};
    click(w, "RunFluidData");
    EXPECT_NE(w->statusBar()->currentMessage().indexOf("carries a liquid"), -1);
    fluidAnswer_ = FluidChoice{"Glycol", "20\u00b0C", "19.000000", "1.113000", false};
    click(w, "RunFluidData");
    EXPECT_EQ(w->field(RunField::FluidName)->text(), "Glycol 20\u00b0C");
    EXPECT_EQ(w->field(RunField::Viscosity)->text(), "19");
    // Copy: the results as text and as a table.
    w->copyResults();
    EXPECT_EQ(platform_.clipboardText, w->editor().resultsText());
    EXPECT_NE(platform_.clipboardHtml.find("<tr><td>Node</td><td>Distance m</td>"), std::string::npos);
    platform_.answer = false;
    w->close();
}

// The grade lines saved as PNG and SVG with their key, and the page
// previewed as it is printed.
TEST_F(RunWindowTest, PictureFilesAndPrintPreview) {
    RunWindow* w = window_->newRun();
    QTemporaryDir dir;
    const std::string png = QDir(dir.path()).filePath("run.png").toStdString();
    const std::string svg = QDir(dir.path()).filePath("run.svg").toStdString();
    platform_.saveAnswers = {png, svg};
    w->savePicture();
    w->savePicture();
    EXPECT_GT(QImage(QString::fromStdString(png)).width(), w->gradeLineView()->width());  // the key beside the plot
    QFile svgFile(QString::fromStdString(svg));
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svgFile.readAll().contains("Hydraulic grade line"));
    w->printPreview();
    w->print();
    EXPECT_EQ(platform_.previewTitles, std::vector<std::string>{"Corvane pipe run"});
    EXPECT_EQ(platform_.previewedPage, platform_.printedPage);
    QImage blank(platform_.printPage, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_NE(platform_.previewedPage, blank);
    EXPECT_TRUE(platform_.messages.empty());
}

// The splash, which stays on top, would hide a run window opened at start.
TEST_F(RunWindowTest, ARunWindowOpenedTakesTheSplashAway) {
    SplashWindow splash(window_.get());
    window_->setSplash(&splash);
    for (const bool open : {false, true}) {
        splash.showFor(5000, window_.get());
        if (open) window_->openFiles({CORVANE_EXAMPLES "/pump-cavitating.cvrun"});
        else window_->newRun();
        EXPECT_FALSE(splash.isVisible()) << open;
        EXPECT_FALSE(splash.timer().isActive());
    }
}

// The units last chosen are the next window's, kept in the settings file.
TEST_F(RunWindowTest, TheWindowsUnitsAreRememberedInTheSettings) {
    QTemporaryDir dir;
    const std::string file = QDir(dir.path()).filePath("settings").toStdString();
    Settings settings(file);
    UserChoices choices(settings, {dir.path().toStdString(), dir.path().toStdString(), "/"});
    PanelServices services;
    services.platform = &platform_;
    services.choices = &choices;
    for (const bool metric : {true, false, true}) {
        RunWindow w(Locale{}, {}, services, {}, {});
        EXPECT_EQ(w.editor().metric(), metric);
        EXPECT_EQ(w.findChild<QRadioButton*>("RunMetric")->isChecked(), metric);
        w.findChild<QRadioButton*>(metric ? "RunImperial" : "RunMetric")->click();
        EXPECT_EQ(w.editor().metric(), !metric);
        Settings reread(file);
        ASSERT_FALSE(reread.load());
        EXPECT_EQ(reread.value("run.units"), metric ? "imperial" : "metric");
    }
}

// The help's chapter on runs: its numbers are the run window's, none
// missing, and its picture the window's grade lines.
TEST_F(RunWindowTest, TheHelpsWorkedExampleIsCalculatedByTheProgram) {
    const HelpContent help = MakeHelpContent(HelpSource());
    EXPECT_TRUE(help.missing.isEmpty()) << help.missing.join(", ").toStdString();
    ASSERT_TRUE(help.pictures.count("run"));
    EXPECT_GT(help.pictures.at("run").width(), 500);
    EXPECT_LT(help.pictures.at("run").width(), 600);  // inside the page, as the panels' pictures
    QFile file(CORVANE_DATA_DIR "/help/worked-run.cvrun");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const RunOutcome o = CalculateRun(std::get<RunDocument>(ParseRunDocument(file.readAll().toStdString())), {}, Locale{});
    ASSERT_TRUE(o.result.pump);
    QTextDocument text;
    text.setHtml(help.html);
    const QString plain = text.toPlainText().simplified();
    const std::string flow = WriteEntryNumber(o.result.flow, 3, Locale{}).value();
    const std::string npsh = WriteEntryNumber(*o.result.pump->npshAvailable, 3, Locale{}).value();
    EXPECT_TRUE(plain.contains(QString::fromStdString("The pump delivers " + flow + " litre/min"))) << flow;
    EXPECT_TRUE(plain.contains(QString::fromStdString("NPSH available is " + npsh + " m"))) << npsh;
}

}  // namespace
}  // namespace corvane
