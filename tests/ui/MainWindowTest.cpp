// The main window and the four panels on screen.

#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QToolButton>
#include <memory>

#include "tests/ui/UiFixture.h"
#include "ui/MainWindow.h"
#include "ui/SplashWindow.h"
#include "ui/widgets/RightAlignedEdit.h"
#include "ui/MainWindow.h"
#include "ui/HelpContent.h"
#include "ui/HelpWindow.h"
#include "logic/model/panels/PanelKinds.h"
#include "logic/model/panels/PanelReport.h"
#include "tests/ui/UiFixture.h"

namespace corvane {
namespace {

class MainWindowTest : public test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        PanelServices services;
        services.platform = &platform_;
        services.askConversion = [this](ConversionDialog kind, const QColor&, QWidget*) {
            asked_.push_back(kind);
            return answer_;
        };
        services.askVelocityFlow = [this](const PanelModel&, QWidget*) { return velocityFlow_; };
        window_ = std::make_unique<MainWindow>(Locale{}, services, "/nowhere/");
    }

    void showWindow() {
        window_->show();
        QApplication::setActiveWindow(window_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    template <typename T = QWidget>
    T* find(const char* name) {
        T* w = window_->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* name) { return find<QLineEdit>(name)->text(); }
    void click(const char* name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }

    std::unique_ptr<MainWindow> window_;
    std::vector<ConversionDialog> asked_;
    ConversionAnswer answer_{ConversionChoice::Convert, 1};
    std::optional<std::string> velocityFlow_;
};

TEST_F(MainWindowTest, CaptionMenusAndToolBar) {
    EXPECT_EQ(window_->windowTitle(), "Corvane v1.12           corvane.example.org");
    EXPECT_FALSE(window_->windowFlags() & Qt::WindowMaximizeButtonHint);
    QStringList menus;
    for (QAction* a : window_->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Layout", "&Tools", "&Help"}));
    EXPECT_EQ(find<QAction>("ExitCorvane1")->text(), "Exit Corvane");
    EXPECT_EQ(find<QAction>("Corvanehelp1")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(find<QAction>("About1")->text(), "About Corvane");
    const char* pictures[] = {"SinglePanelImage", "FourPanelImage", "HelpImage", "CopyrightImage", "AnalysisImage"};
    const char* hints[] = {"Single panel layout", "Four panel layout", "Corvane Help", "About Corvane", "Analysis"};
    for (int i = 0; i < 5; ++i) {
        QWidget* p = find(pictures[i]);
        EXPECT_EQ(p->toolTip(), hints[i]);
        EXPECT_EQ(p->x(), 4 + 28 * i);
        EXPECT_EQ(p->size(), QSize(16, 16));
    }
    QStringList tabs;
    for (int i = 0; i < window_->tabs()->count(); ++i) tabs << window_->tabs()->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Find pressure", "Find flow", "Find diameter", "Find length"}));
}

TEST_F(MainWindowTest, FourPanelAndSinglePanelLayouts) {
    showWindow();
    EXPECT_EQ(window_->clientSize(), QSize(986, 680));
    EXPECT_EQ(window_->panel(1)->pos(), QPoint(0, 24));
    EXPECT_EQ(window_->panel(2)->pos(), QPoint(493, 24));
    EXPECT_EQ(window_->panel(3)->pos(), QPoint(0, 352));
    EXPECT_EQ(window_->panel(4)->pos(), QPoint(493, 352));
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(window_->panel(i)->size(), QSize(493, 328));
        EXPECT_TRUE(window_->panel(i)->isVisible());
    }
    EXPECT_FALSE(window_->tabs()->isVisible());

    window_->tabs()->setCurrentIndex(3);  // "Find length"
    find<QAction>("Singlepanel1")->trigger();
    EXPECT_EQ(window_->clientSize(), QSize(493, 376));
    EXPECT_TRUE(window_->tabs()->isVisible());
    EXPECT_EQ(window_->tabs()->pos(), QPoint(0, 27));
    for (int i = 1; i <= 3; ++i) EXPECT_FALSE(window_->panel(i)->isVisible());
    EXPECT_TRUE(window_->panel(4)->isVisible());
    EXPECT_EQ(window_->panel(4)->pos(), QPoint(0, 48));
    window_->tabs()->setCurrentIndex(1);
    EXPECT_TRUE(window_->panel(2)->isVisible());
    EXPECT_FALSE(window_->panel(4)->isVisible());

    find<QAction>("Fourpanels1")->trigger();
    EXPECT_EQ(window_->clientSize(), QSize(986, 680));
    EXPECT_EQ(window_->panel(1)->pos(), QPoint(0, 24));
    EXPECT_EQ(window_->panel(4)->pos(), QPoint(493, 352));
    window_->applyLayout(7);  // not a layout: nothing happens
    EXPECT_EQ(window_->layout(), Layout::FourPanels);
}

TEST_F(MainWindowTest, EveryPanelCalculatesItsDefaults) {
    // The numbers are the golden cases' (GoldenPanelsTest); here each panel's
    // widgets show what its model calculated.
    showWindow();
    const std::pair<const char*, Ctl> panels[] = {{"CalculatePressureDropBitBtn", Ctl::mHd_RightEdit},
                                                  {"CalculateFlowBitBtn2", Ctl::FlowrateLMin_RightEdit},
                                                  {"CalculatePipeDiameterBitBtn3", Ctl::PipeDiameter_RightEdit},
                                                  {"CalculatePipeLengthBitBtn4", Ctl::PipeLength_RightEdit}};
    for (int n = 1; n <= 4; ++n) {
        const auto [button, result] = panels[n - 1];
        click(button);
        const PanelKind kind = static_cast<PanelKind>(n);
        for (Ctl c : {result, Ctl::ReynoldsNumber_RightEdit, Ctl::MSec_RightEdit}) {
            const std::string name = CtlName(c, kind);
            EXPECT_FALSE(window_->model(n).text(c).empty()) << name;
            EXPECT_EQ(text(name.c_str()).toStdString(), window_->model(n).text(c)) << name;
        }
    }
    auto* unit = find<QComboBox>("MhdBarComboBox1");
    unit->setFocus();
    QTest::keyClick(unit, Qt::Key_Down);  // "bar" recalculates at once
    PanelModel bar(PanelKind::PressureDrop, Locale{});
    bar.selectItem(Ctl::MhdBarComboBox, 1);
    ASSERT_FALSE(bar.calculate());
    EXPECT_EQ(text("mHd_RightEdit1").toStdString(), bar.text(Ctl::mHd_RightEdit));
    EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(MainWindowTest, RefusalShowsItsMessageAndNoResults) {
    showWindow();
    window_->model(2).setText(Ctl::ElevationChange_RightEdit, "10.000");
    click("CalculateFlowBitBtn2");
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(platform_.messages[0].text,
              "The available pressure is too low.\rIncrease the available pressure or reduce the elevation change");
    EXPECT_EQ(text("FlowrateLMin_RightEdit2"), "");
    EXPECT_EQ(text("ReynoldsNumber_RightEdit2"), "");
    window_->model(4).setText(Ctl::Barg_RightEdit, "-1");
    click("CalculatePipeLengthBitBtn4");
    ASSERT_EQ(platform_.messages.size(), 2u);
    EXPECT_EQ(platform_.messages[1].kind, MessageKind::Warning);
    EXPECT_EQ(platform_.messages[1].text, "The pressure is too low.");
    EXPECT_EQ(text("PipeLength_RightEdit4"), "");
}

TEST_F(MainWindowTest, RefusedKeyBeepsAndClearsTheResults) {
    showWindow();
    click("CalculatePressureDropBitBtn");
    auto* id = find<RightAlignedEdit>("IDmm_RightEdit1");
    id->setFocus();
    QTest::keyClick(id, Qt::Key_End);
    QTest::keyClick(id, '.');  // "25.000" has its separator already
    EXPECT_EQ(platform_.beeps, 1);
    EXPECT_EQ(text("IDmm_RightEdit1"), "25.000");
    EXPECT_EQ(text("mHd_RightEdit1"), "");
    QTest::keyClick(id, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(id, 'x');
    EXPECT_EQ(platform_.beeps, 3);
    EXPECT_EQ(text("IDmm_RightEdit1"), "25.000");
    QTest::keyClick(id, '1');
    EXPECT_EQ(text("IDmm_RightEdit1"), "25.0001");
    EXPECT_EQ(window_->model(1).text(Ctl::IDmm_RightEdit), "25.0001");
}

TEST_F(MainWindowTest, ZeroEntryKeepsTheFocus) {
    showWindow();
    auto* length = find<RightAlignedEdit>("LengthM_RightEdit1");
    length->setFocus();
    QApplication::processEvents();
    length->selectAll();
    QTest::keyClick(length, Qt::Key_Backspace);
    EXPECT_EQ(length->text(), "");
    QTest::keyClick(length, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(length->text(), "?");
    EXPECT_TRUE(length->hasFocus());
    EXPECT_EQ(platform_.beeps, 1);

    length->selectAll();
    QTest::keyClicks(length, "0.000");
    QTest::keyClick(length, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(length->text(), "0.000");
    EXPECT_TRUE(length->hasFocus());
    EXPECT_EQ(platform_.beeps, 2);

    auto* elevation = find<RightAlignedEdit>("ElevationChange_RightEdit1");
    length->selectAll();
    QTest::keyClicks(length, "12");
    elevation->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(elevation->hasFocus());
    QTest::keyClick(elevation, Qt::Key_Tab);  // "0.000" is a fine elevation
    QApplication::processEvents();
    EXPECT_FALSE(elevation->hasFocus());
    EXPECT_EQ(platform_.beeps, 2);
}

TEST_F(MainWindowTest, SelectAllThenAKeyReplacesTheSelection) {
    showWindow();
    auto* id = find<RightAlignedEdit>("IDmm_RightEdit1");
    QTest::mouseClick(id, Qt::LeftButton);
    QApplication::processEvents();
    QTest::keyClick(id, Qt::Key_End);
    QTest::keyClicks(id, "12");
    EXPECT_EQ(id->text(), "25.00012");
    QTest::keyClick(id, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(id->selectedText(), "25.00012");
    QTest::keyClicks(id, "50");
    EXPECT_EQ(id->text(), "50");
    EXPECT_EQ(window_->model(1).text(Ctl::IDmm_RightEdit), "50");
    EXPECT_EQ(platform_.beeps, 0);
    // The key rule still sees the whole text, the selection included: a
    // second separator is refused even where it would replace the first.
    QTest::keyClicks(id, ".5");
    QTest::keyClick(id, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(id, '.');
    EXPECT_EQ(id->text(), "50.5");
    EXPECT_EQ(platform_.beeps, 1);
    QTest::keyClick(id, '7');
    EXPECT_EQ(id->text(), "7");
}

TEST_F(MainWindowTest, EnterRunsThePanelsCalculation) {
    showWindow();
    auto* length = find<RightAlignedEdit>("LengthM_RightEdit2");
    length->setFocus();
    QApplication::processEvents();
    QTest::keyClick(length, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_NE(text("FlowrateLMin_RightEdit2"), "");
    EXPECT_EQ(text("LengthM_RightEdit2"), "10.000");
    EXPECT_EQ(text("PipeLength_RightEdit4"), "");  // only this panel
    EXPECT_EQ(platform_.beeps, 0);
    auto* flow = find<RightAlignedEdit>("VisibleFlowrateLMin_RightEdit1");
    flow->setFocus();
    QApplication::processEvents();
    QTest::keyClick(flow, Qt::Key_Enter, Qt::KeypadModifier);
    QApplication::processEvents();
    EXPECT_NE(text("mHd_RightEdit1"), "");
}

TEST_F(MainWindowTest, RefusedLeaveIsSaidOnTheStatusLine) {
    showWindow();
    auto* status = find<QStatusBar>("StatusLine");
    auto* length = find<RightAlignedEdit>("LengthM_RightEdit1");
    const QString description = length->accessibleDescription();
    length->setFocus();
    QApplication::processEvents();
    length->selectAll();
    QTest::keyClick(length, Qt::Key_Backspace);
    QTest::keyClick(length, Qt::Key_Tab);
    QApplication::processEvents();
    const QString why = "The pipe length cannot be zero or empty: type a number greater than zero.";
    EXPECT_EQ(status->currentMessage(), why);
    EXPECT_EQ(length->accessibleDescription(), why);
    EXPECT_TRUE(length->hasFocus());
    length->selectAll();
    QTest::keyClicks(length, "12");
    QTest::keyClick(length, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_FALSE(length->hasFocus());
    EXPECT_EQ(status->currentMessage(), "");
    EXPECT_EQ(length->accessibleDescription(), description);
}

TEST_F(MainWindowTest, LongFluidNameShowsFromItsFirstCharacter) {
    showWindow();
    window_->model(1).useFluid(
        {"Ethylene glycol 30% / water", "20\u00b0C (68\u00b0F)", "2.118440", "1.038500", false});
    auto* name = find<RightAlignedEdit>("FluidName_Edit1");
    ASSERT_GT(name->fontMetrics().horizontalAdvance(name->text()), name->width());
    EXPECT_EQ(name->cursorPosition(), 0);
    // The first character is drawn inside the field.
    const QRect cursor = name->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_GE(cursor.left(), -4);
    EXPECT_LT(cursor.left(), 8);
}

TEST_F(MainWindowTest, ReadOnlyFieldsPassTheFocusOn) {
    showWindow();
    auto* name = find<RightAlignedEdit>("FluidName_Edit1");
    name->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(name->hasFocus());
    EXPECT_EQ(find<RightAlignedEdit>("ReynoldsNumber_RightEdit1")->focusPolicy(), Qt::NoFocus);
}

TEST_F(MainWindowTest, InletPressureHighlightsTheDensity) {
    showWindow();
    window_->model(1).useFluid({"Air", "20\u00b0C (68\u00b0F)", "15.100000", "1.204700", true});
    auto* barg = find<RightAlignedEdit>("Barg_RightEdit1");
    EXPECT_TRUE(barg->isVisible());
    auto* display = find<RightAlignedEdit>("RightEditVisibleFluidDensityDisplay1");
    EXPECT_FALSE(display->text().isEmpty());
    EXPECT_EQ(display->text().toStdString(), window_->model(1).text(Ctl::RightEditVisibleFluidDensityDisplay));
    barg->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(display->palette().color(QPalette::Base), kInfoBk);
    find<RightAlignedEdit>("IRmm_RightEdit1")->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(display->palette().color(QPalette::Base), PanelColour(PanelKind::PressureDrop));
}

TEST_F(MainWindowTest, UnitSwitchConvertUseCurrentAndClosed) {
    showWindow();
    answer_ = {ConversionChoice::Convert, 1};
    click("ImperialRadioButton1");
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0], ConversionDialog::LiquidToImperial);
    EXPECT_EQ(text("IDmm_RightEdit1"), "0.984252");
    EXPECT_EQ(text("VisibleFlowrateLMin_RightEdit1"), "26.417");
    EXPECT_EQ(find<QLabel>("ID_UnitsLabel1")->text(), "inch");
    EXPECT_TRUE(find<QRadioButton>("ImperialRadioButton1")->isChecked());

    answer_ = {ConversionChoice::Closed, 2};
    click("MetricRadioButton1");
    EXPECT_TRUE(find<QRadioButton>("ImperialRadioButton1")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("ImperialRadioButton1")->hasFocus());
    EXPECT_EQ(text("IDmm_RightEdit1"), "0.984252");

    answer_ = {ConversionChoice::UseCurrentValues, 2};
    click("MetricRadioButton1");
    EXPECT_TRUE(find<QRadioButton>("MetricRadioButton1")->isChecked());
    EXPECT_EQ(text("IDmm_RightEdit1"), "0.984252");
    EXPECT_EQ(find<QLabel>("ID_UnitsLabel1")->text(), "mm");
    EXPECT_EQ(find<QComboBox>("FlowUnitComboBox1")->currentText(), "litre/min");

    // Clicking the system in force asks nothing.
    click("MetricRadioButton1");
    EXPECT_EQ(asked_.size(), 3u);
}

TEST_F(MainWindowTest, UnitSwitchInGasMode) {
    showWindow();
    window_->model(3).useFluid({"Air", "20\u00b0C (68\u00b0F)", "15.100000", "1.204700", true});
    answer_ = {ConversionChoice::Convert, 1};
    click("ImperialRadioButton3");
    ASSERT_EQ(asked_.back(), ConversionDialog::GasToImperial);
    EXPECT_EQ(find<QComboBox>("Gas_FlowUnitComboBox3")->currentText(), "cu.ft/min");
    EXPECT_EQ(text("Barg_RightEdit3"), "87.023");
    EXPECT_EQ(find<QLabel>("BargHdLabel3")->text(), "psi g");
    EXPECT_EQ(find<QLabel>("UncompressedVolumeHdLabel3")->text(), "Volume at 0.0 psi g");
    answer_ = {ConversionChoice::Closed, 0};
    click("MetricRadioButton3");
    EXPECT_EQ(asked_.back(), ConversionDialog::GasToMetric);
    EXPECT_TRUE(find<QRadioButton>("ImperialRadioButton3")->isChecked());
}

TEST_F(MainWindowTest, GasLayoutMovesThePressureToTheAvailablePressure) {
    showWindow();
    EXPECT_FALSE(find("Barg_RightEdit2")->isVisible());
    EXPECT_TRUE(find("AvailablePressure_RightEdit2")->isVisible());
    window_->model(2).useFluid({"Air", "20\u00b0C (68\u00b0F)", "15.100000", "1.204700", true});
    QWidget* barg = find("Barg_RightEdit2");
    EXPECT_TRUE(barg->isVisible());
    EXPECT_FALSE(find("AvailablePressure_RightEdit2")->isVisible());
    EXPECT_EQ(barg->geometry(), find("AvailablePressure_RightEdit2")->geometry());
    EXPECT_EQ(barg->width(), 113);
    EXPECT_EQ(find("AllowablePressureLoss_RightEdit2")->x(), 128);
    EXPECT_EQ(find("BargHdLabel2")->x(), 217);
    EXPECT_TRUE(find("Gas_FlowUnitComboBox2")->isVisible());
    EXPECT_FALSE(find("FlowUnitComboBox2")->isVisible());
}

TEST_F(MainWindowTest, CompressedEntryButton) {
    showWindow();
    window_->model(1).useFluid({"Air", "20\u00b0C (68\u00b0F)", "15.100000", "1.204700", true});
    auto* speed = find<QToolButton>("Uncompressed_SpeedButton1");
    ASSERT_TRUE(speed->isVisible());
    QTest::mouseClick(speed, Qt::LeftButton);
    EXPECT_TRUE(speed->isChecked());
    EXPECT_EQ(text("VisibleFlowrateLMin_RightEdit1"), "14.448");
    EXPECT_EQ(find<QLabel>("UncompressedVolumeHdLabel1")->text(), "Pressurised volume");
    QTest::mouseClick(speed, Qt::LeftButton);
    EXPECT_FALSE(speed->isChecked());
    EXPECT_EQ(text("VisibleFlowrateLMin_RightEdit1"), "100.002");
}

TEST_F(MainWindowTest, FlowWeightStrip) {
    showWindow();
    QLabel* strip = find<QLabel>("FlowWeightPanel1");
    EXPECT_FALSE(strip->isVisible());
    click("FlowWeightBitBtn1");
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(strip->text(), " Weight = 99.800 kgs / min");
    QTest::mouseClick(strip, Qt::LeftButton);
    EXPECT_FALSE(strip->isVisible());
    click("BitBtn1");  // panel 2's weight button
    QLabel* strip2 = find<QLabel>("FlowWeightPanel2");
    EXPECT_TRUE(strip2->isVisible());
    QLabel* caption = find<QLabel>("FlowHdLabel2");
    QTest::mouseClick(caption, Qt::LeftButton);
    EXPECT_FALSE(strip2->isVisible());
    QTest::mouseClick(caption, Qt::LeftButton);
    EXPECT_TRUE(strip2->isVisible());
    // A refused calculation from the weight button leaves an empty strip on show.
    window_->model(3).setText(Ctl::Barg_RightEdit, "-1");
    click("FlowWeightBitBtn3");
    EXPECT_TRUE(find<QLabel>("FlowWeightPanel3")->isVisible());
    EXPECT_EQ(find<QLabel>("FlowWeightPanel3")->text(), "");
    EXPECT_EQ(platform_.messages.size(), 1u);
}

TEST_F(MainWindowTest, VelocityCalculatorWritesTheVisibleFlow) {
    showWindow();
    velocityFlow_ = "176.715";
    click("VelocityFlowBitBtn4");
    EXPECT_EQ(text("VisibleFlowrateLMin_RightEdit4"), "176.715");
    EXPECT_EQ(window_->model(4).text(Ctl::FlowrateLMin_RightEdit), "176.715");
    EXPECT_EQ(window_->findChild<QWidget*>("VelocityFlowBitBtn2"), nullptr);
    EXPECT_EQ(window_->findChild<QWidget*>("VelocityFlowBitBtn3"), nullptr);
}

TEST_F(MainWindowTest, ReportGoesToTheClipboard) {
    showWindow();
    click("CalculatePressureDropBitBtn");
    click("CopyTextToClipboardBitBtn1");
    EXPECT_EQ(platform_.clipboardText.substr(0, 10), "Find P.D.\r");
    const std::string drop = window_->model(1).text(Ctl::mHd_RightEdit);
    ASSERT_FALSE(drop.empty());
    EXPECT_NE(platform_.clipboardText.find("Pressure drop\t" + drop + "\tm hd"), std::string::npos);
    EXPECT_EQ(platform_.clipboardText, PanelReport(window_->model(1)));
    EXPECT_EQ(platform_.clipboardHtml, PanelReportHtml(window_->model(1)));
    EXPECT_NE(platform_.clipboardHtml.find("<tr><td>Pressure drop</td><td align=\"right\">" + drop + "</td><td>m hd</td></tr>"),
              std::string::npos);
    EXPECT_EQ(find("CopyTextToClipboardBitBtn1")->toolTip(), "Copy text to clipboard\n(Paste to Excel spreadsheet)");
}

TEST_F(MainWindowTest, MissingHelpDocumentIsReported) {
    platform_.openDocumentSucceeds = false;
    find<QAction>("Corvanehelp1")->trigger();
    ASSERT_EQ(platform_.documentsOpened, (std::vector<std::string>{"/nowhere/CorvaneHelp100.pdf"}));
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, "An error ocurred when opening file /nowhere/CorvaneHelp100.pdf");
}

TEST_F(MainWindowTest, HelpPagesOpenWhenNoViewerAnswersAndFromTheMenu) {
    showWindow();
    find<QAction>("Corvanehelp1")->trigger();  // the viewer opens the document
    EXPECT_EQ(window_->helpWindow(), nullptr);
    find<QAction>("HelpPages1")->trigger();
    ASSERT_TRUE(window_->helpWindow());
    EXPECT_TRUE(window_->helpWindow()->isVisible());
    window_->helpWindow()->close();

    platform_.openDocumentSucceeds = false;
    QTest::keyClick(window_.get(), Qt::Key_F1);
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, "An error ocurred when opening file /nowhere/CorvaneHelp100.pdf");
    HelpWindow* help = window_->helpWindow();
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), "Corvane Help");
    // The same text as the document, its examples filled in by the panels.
    const QString text = help->browser()->toPlainText();
    EXPECT_TRUE(text.contains("Worked examples"));
    EXPECT_FALSE(text.contains("{{"));
    EXPECT_TRUE(text.contains("5.831"));
    EXPECT_TRUE(help->browser()->document()->resource(QTextDocument::ImageResource, QUrl("shot:1")).isValid());
    // The table of contents leads to its sections.
    QListWidget* contents = help->contents();
    ASSERT_GE(contents->count(), 10);
    EXPECT_EQ(contents->item(1)->text(), "1. The main window");
    int examples = -1;
    for (int i = 0; i < contents->count(); ++i)
        if (contents->item(i)->text().contains("Worked examples")) examples = i;
    ASSERT_GT(examples, 0);
    contents->setCurrentRow(examples);
    EXPECT_TRUE(help->browser()->textCursor().block().text().contains("Worked examples"));
    EXPECT_GT(help->browser()->verticalScrollBar()->value(), 0);
}

TEST_F(MainWindowTest, HelpDocumentKeepsItsCodeInsideTheMargins) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("help.pdf");
    ASSERT_TRUE(WriteHelpPdf(MakeHelpContent(HelpSource()), pdf, QApplication::font().family()));
    // The words inside the page's text area: A4 at one pixel a point, less
    // the right margin.
    const int textRight = static_cast<int>((210 - kHelpMarginMm) * 72 / 25.4);
    QProcess text;
    text.start("pdftotext", {"-r", "72", "-x", "0", "-y", "0", "-W", QString::number(textRight), "-H", "842", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(words.contains("--sweep"));
    EXPECT_TRUE(words.contains("curve.csv"));
}

TEST_F(MainWindowTest, EveryControlHasItsNameAndAnAccessibleName) {
    const char* names[] = {"IRmm_RightEdit1", "IDmm_RightEdit1", "LengthM_RightEdit1", "ElevationChange_RightEdit1",
                           "Barg_RightEdit1", "VisibleFlowrateLMin_RightEdit1", "FlowrateLMin_RightEdit1",
                           "PipeMaterialComboBox1", "RiseFallComboBox1", "MhdBarComboBox1", "FlowUnitComboBox1",
                           "Gas_FlowUnitComboBox1", "FittingsBitBtn1", "ID_HelperBitBtn1", "FluidDataBitBtn1",
                           "GasDataBitBtn1", "LoadFileBitBtn1", "SaveFileBitBtn1", "CopyTextToClipboardBitBtn1",
                           "CopyScreenToClipboardBitBtn1", "PrintBitBtn1", "GasFlowInfoPanel1", "FlowWeightPanel1",
                           "ActualFlowValueLabel1", "ExitFlowBarLabel1", "FindPressureHdLabel", "FindPressurePanel",
                           "AvailablePressure_RightEdit2", "AllowablePressureLoss_RightEdit3", "PipeDiameter_RightEdit3",
                           "PipeLength_RightEdit4", "CalculatePipeLengthBitBtn4", "Uncompressed_SpeedButton4",
                           "MetricRadioButton2", "ImperialRadioButton4"};
    for (const char* n : names) {
        QWidget* w = find(n);
        if (w) EXPECT_FALSE(w->accessibleName().isEmpty()) << n;
    }
    EXPECT_EQ(find("FluidDataBitBtn1")->toolTip(), "Change fluid");
    EXPECT_EQ(find("VelocityFlowBitBtn1")->toolTip(), "diameter\u00b2 x Pi / 4 x velocity = flow");
    EXPECT_EQ(find("IRmm_RightEdit1")->geometry(), QRect(12, 52, 113, 22));
    EXPECT_EQ(find("FittingsBitBtn3")->geometry(), QRect(156, 96, 57, 25));
    EXPECT_EQ(find("FittingsBitBtn4")->geometry(), QRect(216, 92, 57, 25));
    EXPECT_EQ(find("ElevationChange_RightEdit3")->geometry(), QRect(12, 140, 113, 22));
    EXPECT_EQ(find("CalculatePressureDropBitBtn")->geometry(), QRect(312, 264, 169, 25));
}

TEST_F(MainWindowTest, SplashAfterStartAndAboutBox) {
    SplashWindow splash(window_.get());
    window_->setSplash(&splash);
    showWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isVisible(); }, 2000));
    EXPECT_EQ(splash.timer().interval(), 5000);
    EXPECT_EQ(splash.findChild<QLabel*>("VersionLabel")->text(), "Version 1.12");
    EXPECT_EQ(splash.findChild<QLabel*>("VersionLabel")->geometry().right() + 1, 384);
    QTest::mouseClick(&splash, Qt::LeftButton);
    EXPECT_FALSE(splash.isVisible());
    find<QAction>("About1")->trigger();
    EXPECT_TRUE(splash.isVisible());
    EXPECT_EQ(splash.timer().interval(), 20000);
    EXPECT_EQ(SplashWindow::PlaceOver(QRect(100, 50, 1011, 700)), QPoint(402, 180));
    // The countdown hides it.
    splash.showFor(30, window_.get());
    EXPECT_TRUE(splash.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !splash.isVisible(); }, 2000));
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// Walks each panel with the Tab key: every control that takes the focus is
// reached, down the left column and then down the results column.
TEST_F(MainWindowTest, KeyboardWalkFollowsTheVisualOrder) {
    showWindow();
    for (int n = 1; n <= 4; ++n) {
        CalcPanel* panel = window_->panel(n);
        std::vector<QWidget*> expected;
        for (QWidget* w : panel->tabOrder()) {
            auto* edit = qobject_cast<QLineEdit*>(w);
            const bool passes = edit && edit->isReadOnly();
            // Tab enters a group of radio buttons at the checked one; the
            // arrow keys move within it.
            auto* radio = qobject_cast<QRadioButton*>(w);
            const bool unchecked = radio && !radio->isChecked();
            if (w->isVisible() && w->isEnabled() && !passes && !unchecked) expected.push_back(w);
        }
        ASSERT_GT(expected.size(), 15u) << n;
        expected.front()->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        std::vector<QWidget*> walked{QApplication::focusWidget()};
        for (std::size_t i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            // Read-only fields hand the focus on, one event at a time.
            for (int hop = 0; hop < 10; ++hop) {
                QApplication::processEvents();
                auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
                if (!edit || !edit->isReadOnly()) break;
            }
            walked.push_back(QApplication::focusWidget());
        }
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(walked[i], expected[i]) << "panel " << n << " step " << i << ": "
                                             << (walked[i] ? walked[i]->objectName().toStdString() : "none") << " instead of "
                                             << expected[i]->objectName().toStdString();
        // The left column comes before the results column.
        bool right = false;
        for (QWidget* w : walked) {
            if (w->x() >= 300) right = true;
            else EXPECT_FALSE(right) << w->objectName().toStdString();
        }
    }
}

TEST_F(MainWindowTest, EveryCommandWorksFromTheKeyboard) {
    showWindow();
    auto* calculate = find<QPushButton>("CalculateFlowBitBtn2");
    calculate->setFocus();
    QTest::keyClick(calculate, Qt::Key_Space);
    EXPECT_FALSE(text("FlowrateLMin_RightEdit2").isEmpty());
    EXPECT_EQ(text("FlowrateLMin_RightEdit2").toStdString(), window_->model(2).text(Ctl::FlowrateLMin_RightEdit));
    auto* caption = find<QLabel>("FlowHdLabel2");
    EXPECT_TRUE(caption->focusPolicy() & Qt::TabFocus);
    caption->setFocus();
    QTest::keyClick(caption, Qt::Key_Space);
    EXPECT_TRUE(find("FlowWeightPanel2")->isVisible());
    auto* strip = find<QLabel>("FlowWeightPanel2");
    strip->setFocus();
    QTest::keyClick(strip, Qt::Key_Return);
    EXPECT_FALSE(strip->isVisible());
    auto* material = find<QComboBox>("PipeMaterialComboBox2");
    material->setFocus();
    QTest::keyClick(material, Qt::Key_Down);
    EXPECT_EQ(text("IRmm_RightEdit2"), "0.0450");
    for (QWidget* w : window_->findChildren<QWidget*>())
        if (!w->accessibleDescription().isEmpty()) EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
    EXPECT_EQ(find("FluidDataBitBtn1")->accessibleDescription(), "Change fluid");
}

}  // namespace
}  // namespace corvane
