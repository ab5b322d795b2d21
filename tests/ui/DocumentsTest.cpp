// Panel files as documents: opened from the command line, a second start,
// the File menu, the recent files and drops; the panel the File menu acts
// on; where choosers start; the status line's words for a dropped key.

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QChartView>
#include <QLegend>
#include <QTemporaryDir>
#include <QUrl>
#include <QUuid>
#include <memory>

#include "app/Application.h"
#include "app/SingleInstance.h"
#include "logic/model/panels/PanelFile.h"
#include "logic/model/settings/UserChoices.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/AnalysisWindow.h"
#include "ui/HelpWindow.h"
#include "ui/PumpPage.h"
#include "ui/RunWindow.h"
#include "ui/widgets/RightAlignedEdit.h"

namespace corvane {
namespace {

class DocumentsTest : public test::MainWindowTest {
protected:
    void addServices(PanelServices& services) override {
        QDir(dir_.path()).mkpath("home/Documents");
        settings_ = std::make_unique<Settings>(path("config/settings"));
        choices_ = std::make_unique<UserChoices>(*settings_, UserFolders{path("home/Documents"), path("home"), "/usr/lib/corvane"});
        services.choices = choices_.get();
        services.askSheetTitle = [this](const SheetTitle& last, QWidget*) {
            titlesOffered_.push_back(last);
            return titleAnswer_;
        };
        outputs_.add({path("data/CorvaneUserFluids.dat"), "the user fluid file"});
        outputs_.add({path("config/settings"), "the settings file"});
        services.outputs = &outputs_;
    }
    std::string path(const std::string& name) const { return QDir(dir_.path()).filePath(QString::fromStdString(name)).toStdString(); }
    // A panel file of the kind with its flow (or, on panel 2, its length) set.
    std::string write(const std::string& name, PanelKind kind, const char* value = "123.000") {
        PanelModel m(kind, Locale{});
        m.setText(kind == PanelKind::Flow ? Ctl::LengthM_RightEdit : Ctl::FlowrateLMin_RightEdit, value);
        QFile f(QString::fromStdString(path(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(SavePanelFile(m).c_str());
        return path(name);
    }
    QString fileLabel(int n) { return window_->findChild<QLabel*>(QString("FileNameLabel%1").arg(n))->text(); }
    QAction* action(const char* name) { return window_->findChild<QAction*>(name); }

    QTemporaryDir dir_;
    OutputGuard outputs_;
    std::unique_ptr<Settings> settings_;
    std::unique_ptr<UserChoices> choices_;
    std::vector<SheetTitle> titlesOffered_;
    std::optional<SheetTitle> titleAnswer_ = SheetTitle{};
};

TEST_F(DocumentsTest, EachFileGoesToThePanelItsFirstLineNames) {
    const std::string a = write("a.PW1", PanelKind::PressureDrop, "111.000");
    const std::string b = write("b.pw2", PanelKind::Flow);  // either letter case
    const std::string later = write("later.PW1", PanelKind::PressureDrop, "222.000");
    const std::string junk = path("junk.PW3");
    QFile(QString::fromStdString(junk)).open(QIODevice::WriteOnly);
    window_->applyLayout(1);
    window_->openFiles({a, b, junk, path("missing.PW4"), later});
    // Of two files for one panel the last wins; the last opened is in view.
    EXPECT_EQ(window_->model(1).text(Ctl::FlowrateLMin_RightEdit), "222.000");
    EXPECT_EQ(window_->model(2).text(Ctl::LengthM_RightEdit), "123.000");
    EXPECT_EQ(fileLabel(1), "later.PW1");
    EXPECT_EQ(fileLabel(2), "b.pw2");
    EXPECT_EQ(window_->panel(1)->filePath(), later);
    EXPECT_EQ(window_->tabs()->currentIndex(), 0);
    EXPECT_TRUE(window_->panel(1)->isVisible());
    // One message names each file that was not opened, and why.
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, "Not opened:\r" + junk + "\rThis file is not valid for Corvane.\r\r" +
                                              path("missing.PW4") + "\rFile not found");
    EXPECT_EQ(choices_->recentFiles(), (std::vector<std::string>{later, b, a}));
    // A file for panel 2 from panel 1's own button: said and offered there.
    platform_.openAnswers.push_back(b);
    window_->panel(1)->loadFile();
    EXPECT_EQ(platform_.questions.back(), "This file is for Find flow.\rOpen it there?");
    EXPECT_EQ(window_->tabs()->currentIndex(), 1);
}

TEST_F(DocumentsTest, TheFileMenuActsOnTheMarkedPanelAndNamesIt) {
    QStringList items;
    for (QAction* a : window_->findChild<QMenu*>("FileMenu")->actions()) items << a->text();
    EXPECT_EQ(items, (QStringList{"&New pipe run", "&Open\u2026", "&Save Find pressure drop", "Save Find pressure drop &as\u2026",
                                  "&Recent files", "", "&Export calculation sheet of Find pressure drop\u2026",
                                  "Print pre&view of Find pressure drop\u2026", "&Print Find pressure drop\u2026", "",
                                  "Exit Corvane"}));
    EXPECT_TRUE(window_->panel(1)->isCurrent());
    // Working in panel 3 makes it the one.
    window_->findChild<QWidget*>("LengthM_RightEdit3")->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(window_->panelInView(), 3);
    EXPECT_TRUE(window_->panel(3)->isCurrent());
    EXPECT_FALSE(window_->panel(1)->isCurrent());
    EXPECT_EQ(action("SaveFileAs1")->text(), "Save Find diameter &as\u2026");
    // The single-panel layout shows its tab's panel, marked by the tab alone.
    window_->applyLayout(1);
    EXPECT_FALSE(window_->panel(1)->isCurrent() || window_->panel(3)->isCurrent());
    EXPECT_EQ(action("Print1")->text(), QString("&Print %1\u2026").arg(PanelTaskName(PanelKind::PressureDrop)));

    // Save without a file asks for one, in the documents folder, offering
    // no other kind's name; then it writes to that file without asking.
    window_->applyLayout(4);
    window_->findChild<QWidget*>("LengthM_RightEdit2")->setFocus();
    QApplication::processEvents();
    platform_.saveAnswers.push_back(path("home/Documents/line.PW2"));
    action("SaveFile1")->trigger();
    ASSERT_EQ(platform_.saveChoosers.size(), 1u);
    EXPECT_EQ(platform_.saveChoosers[0].folder, path("home/Documents"));
    EXPECT_EQ(platform_.saveChoosers[0].name, "");
    EXPECT_EQ(platform_.saveChoosers[0].filter, "Corvane FLOW (*.PW2)|*.PW2");
    EXPECT_EQ(fileLabel(2), "line.PW2");
    window_->model(2).editEntry(Ctl::LengthM_RightEdit, "77.000");
    action("SaveFile1")->trigger();
    EXPECT_EQ(platform_.saveChoosers.size(), 1u);
    EXPECT_EQ(ReadPanelFile(path("home/Documents/line.PW2")).bytes, SavePanelFile(window_->model(2)));
    // Save As offers the panel's own name; the sheet its name as a PDF, in
    // the sheets' own folder (the documents, the first time).
    platform_.saveAnswers.push_back(std::nullopt);
    action("SaveFileAs1")->trigger();
    EXPECT_EQ(platform_.saveChoosers.back().name, "line.PW2");
    EXPECT_EQ(platform_.saveChoosers.back().folder, path("home/Documents"));
    window_->panel(2)->calculate();
    platform_.saveAnswers.push_back(std::nullopt);
    action("ExportCalculationSheet1")->trigger();
    EXPECT_EQ(platform_.saveChoosers.back().name, "line.pdf");
    EXPECT_EQ(platform_.saveChoosers.back().filter, "PDF document (*.pdf)|*.pdf");
}

// No output of the window is written over a file the program reads or
// keeps: a data base, the settings, an open document.
TEST_F(DocumentsTest, NoOutputIsWrittenOverWhatTheProgramReadsOrKeeps) {
    outputs_.setOpenDocuments([this] { return window_->openDocuments(); });
    QDir(dir_.path()).mkpath("data");
    const std::string data = path("data/CorvaneUserFluids.dat"), settings = path("config/settings");
    QFile f(QString::fromStdString(data));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("11\tX\t1\t1.000000\t1.000000\r\n");
    f.close();
    const std::string a = write("a.PW1", PanelKind::PressureDrop), b = write("b.PW2", PanelKind::Flow);
    window_->openFiles({a, b});  // the settings file holds them as recent files now
    window_->panel(1)->calculate();
    RunWindow* run = window_->newRun();
    const struct {
        std::function<void()> write;
        std::string path, message, noun;
    } cases[] = {
        {[&] { window_->panel(1)->exportSheet(); }, data,
         "The calculation sheet cannot be written over the user fluid file", "the sheet"},
        {[&] { window_->panel(1)->saveFile(); }, settings, "The panel file cannot be written over the settings file",
         "the panel file"},
        {[&] { window_->panel(1)->saveFile(); }, b, "The panel file cannot be written over an open panel file",
         "the panel file"},
        {[&] { run->saveData(); }, data, "The results cannot be written over the user fluid file", "the results"},
        {[&] { run->savePicture(); }, a, "The picture cannot be written over an open panel file", "the picture"},
        {[&] { run->saveAs(); }, settings, "The pipe run cannot be written over the settings file", "the run"},
    };
    for (const auto& c : cases) {
        const auto before = ReadPanelFile(c.path).bytes;
        platform_.messages.clear();
        platform_.saveAnswers.push_back(c.path);
        c.write();
        ASSERT_EQ(platform_.messages.size(), 1u) << c.message;
        EXPECT_EQ(platform_.messages[0].text, c.message + ":\r" + c.path + "\rChoose another name for " + c.noun + ".");
        // The settings change by the chooser's folder, not by the output.
        if (c.path == settings) EXPECT_EQ(ReadPanelFile(c.path).bytes->rfind("# Corvane's settings", 0), 0u);
        else EXPECT_EQ(ReadPanelFile(c.path).bytes, before) << c.message;
    }
    // A document saved under its own name is no output over another.
    platform_.messages.clear();
    window_->panel(1)->save();
    EXPECT_TRUE(platform_.messages.empty());
    run->close();
}

// The export dialog's title block is printed, remembered for the next
// export, and a cancelled dialog exports nothing.
TEST_F(DocumentsTest, TheTitleBlockOfTheExportDialogIsPrintedAndRemembered) {
    window_->panel(1)->calculate();
    titleAnswer_ = SheetTitle{"Cooling loop", "P-101", "A. Engineer", "B. Checker", "C"};
    const std::string pdf = path("home/sheet.pdf");
    platform_.saveAnswers.push_back(pdf);
    action("ExportCalculationSheet1")->trigger();
    ASSERT_EQ(titlesOffered_.size(), 1u);
    EXPECT_EQ(titlesOffered_[0], SheetTitle{});
    QProcess text;
    text.start("pdftotext", {"-layout", QString::fromStdString(pdf), "-"});
    ASSERT_TRUE(text.waitForFinished(10000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    EXPECT_NE(printed.indexOf("Cooling loop P-101 A. Engineer B. Checker C"), -1) << printed.left(400).toStdString();
    titleAnswer_ = std::nullopt;
    action("ExportCalculationSheet1")->trigger();
    ASSERT_EQ(titlesOffered_.size(), 2u);
    EXPECT_EQ(titlesOffered_[1].project, "Cooling loop");
    EXPECT_EQ(platform_.saveChoosers.size(), 1u);  // cancelled before the file chooser
}

TEST_F(DocumentsTest, RecentFilesOpenAndAMissingOneIsTakenOffWithAWord) {
    const std::string a = write("a.PW1", PanelKind::PressureDrop);
    const std::string gone = write("gone.PW4", PanelKind::Length);
    window_->openFiles({gone, a});
    QFile::remove(QString::fromStdString(gone));
    QMenu* recent = window_->findChild<QMenu*>("RecentFilesMenu");
    Q_EMIT recent->aboutToShow();
    ASSERT_TRUE(action("RecentFile2"));
    EXPECT_EQ(action("RecentFile1")->text(), "&1  a.PW1   (" + dir_.path() + ")");
    action("RecentFile2")->trigger();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, gone + "\rThis file is no longer there; it has been taken off the recent files.");
    EXPECT_EQ(choices_->recentFiles(), std::vector<std::string>{a});
    // Kept in the settings file for the next run.
    Settings reread(path("config/settings"));
    ASSERT_FALSE(reread.load());
    EXPECT_EQ(reread.values("recent"), std::vector<std::string>{a});
    window_->model(1).editEntry(Ctl::IDmm_RightEdit, "40.000");
    Q_EMIT recent->aboutToShow();
    action("RecentFile1")->trigger();
    EXPECT_EQ(window_->model(1).text(Ctl::IDmm_RightEdit), "25.000");
}

TEST_F(DocumentsTest, DroppedFilesAreOpened) {
    const std::string c = write("c.PW3", PanelKind::Diameter);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(c))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &drop);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window_->panel(3)->filePath() == c; }, 2000));
    EXPECT_TRUE(window_->panel(3)->isCurrent());
}

// Files a later start hands over wait while a dialog is open.
TEST_F(DocumentsTest, HandedFilesWaitForAnOpenDialog) {
    const std::string c = write("c.PW3", PanelKind::Diameter);
    QDialog dialog(window_.get());
    dialog.setModal(true);
    dialog.show();
    expectModal(&dialog);
    window_->openHandedFiles({c});
    QTest::qWait(400);
    EXPECT_EQ(window_->panel(3)->filePath(), "");
    dialog.close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window_->panel(3)->filePath() == c; }, 2000));
}

TEST_F(DocumentsTest, WithoutAViewerForPdfF1ShowsTheHelpPagesAtOnce) {
    platform_.hasViewer = false;
    action("Corvanehelp1")->trigger();
    EXPECT_EQ(platform_.viewerQueries, std::vector<std::string>{"application/pdf"});
    EXPECT_TRUE(platform_.documentsOpened.empty());
    EXPECT_TRUE(platform_.messages.empty());
    ASSERT_TRUE(window_->helpWindow());
    EXPECT_TRUE(window_->helpWindow()->isVisible());
    window_->helpWindow()->close();
}

TEST_F(DocumentsTest, ADroppedKeyIsSaidUntilTheNextChange) {
    window_->show();
    QApplication::setActiveWindow(window_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    auto* status = window_->findChild<QStatusBar*>("StatusLine");
    auto* length = window_->findChild<RightAlignedEdit*>("LengthM_RightEdit1");
    length->setFocus();
    length->setText("1");
    length->setCursorPosition(1);
    QTest::keyClicks(length, ",");
    EXPECT_EQ(length->text(), "1");
    EXPECT_EQ(platform_.beeps, 1);
    EXPECT_EQ(status->currentMessage(), QString::fromUtf8("\u201c,\u201d was dropped: the decimal mark here is \u201c.\u201d."));
    QTest::keyClicks(length, "5");
    EXPECT_EQ(length->text(), "15");
    EXPECT_EQ(status->currentMessage(), "");
    // An emptied entry that refused to be left: said until it holds a number.
    length->selectAll();
    QTest::keyClick(length, Qt::Key_Backspace);
    QTest::keyClick(length, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_NE(status->currentMessage().indexOf("cannot be zero or empty"), -1);
    length->selectAll();
    QTest::keyClicks(length, "2");
    EXPECT_EQ(status->currentMessage(), "");
}

TEST_F(DocumentsTest, ThePumpTabsLegendIsNeverCut) {
    window_->model(1).editEntry(Ctl::VisibleFlowrateLMin_RightEdit, "200");
    window_->panel(1)->calculate();
    action("Analysis1")->trigger();
    AnalysisWindow* a = window_->analysisWindow();
    a->tabs()->setCurrentWidget(a->pumpPage());
    PumpPage* p = a->pumpPage();
    for (int r = 0; r < 3; ++r) {
        const char* points[3][2] = {{"0", "40"}, {"300", "35"}, {"600", "15"}};
        p->pointsTable()->item(r, 0)->setText(points[r][0]);
        p->pointsTable()->item(r, 1)->setText(points[r][1]);
    }
    QApplication::processEvents();
    QTest::qWait(50);
    // Below the chart, every name whole, at the window's first size.
    EXPECT_FALSE(p->chart()->chart()->legend()->isVisible());
    const QLabel* legend = p->legend();
    EXPECT_GE(legend->y(), p->chart()->geometry().bottom());
    EXPECT_GE(legend->height(), legend->heightForWidth(legend->width()));
    for (const char* name : {"System curve", "Operating point: 200.000 litre/min, ", "Pump curve", "Pump operating point"})
        EXPECT_NE(legend->text().indexOf(name), -1) << name;
    // The pump set on the panel's pipe run goes on its calculation sheet.
    const std::string pdf = path("home/pump.pdf");
    platform_.saveAnswers.push_back(pdf);
    action("ExportCalculationSheet1")->trigger();
    QProcess text;
    text.start("pdftotext", {QString::fromStdString(pdf), "-"});
    ASSERT_TRUE(text.waitForFinished(10000));
    EXPECT_NE(text.readAllStandardOutput().indexOf("The pump's operating point on this pipe run:"), -1);
}

// The program's real start: its command line, and a second start that hands
// its files to the copy running.
// Pipe runs: opened like panel files (the File menu's Open, drops, the
// recent files) into a run window, edited there, saved and opened again;
// the sheet never over its run file.
TEST_F(DocumentsTest, RunFilesOpenEditSaveAndReopenInARunWindow) {
    const std::string run = path("line.cvrun");
    ASSERT_TRUE(QFile::copy(CORVANE_EXAMPLES "/pump-cavitating.cvrun", QString::fromStdString(run)));
    platform_.openAnswers.push_back(run);
    action("OpenFile1")->trigger();
    ASSERT_EQ(window_->runWindows().size(), 1u);
    RunWindow* w = window_->runWindows().front();
    EXPECT_EQ(w->filePath(), run);
    EXPECT_EQ(choices_->recentFiles().front(), run);
    EXPECT_NE(w->statusLabel()->text().indexOf("below the vapour pressure"), -1);
    // The table's diameter of section 2, typed in inches on an imperial window.
    w->findChild<QRadioButton*>("RunImperial")->click();
    w->sectionsTable()->item(1, 1)->setText("2");
    EXPECT_DOUBLE_EQ(*w->editor().document().sections[1].diameterMm, 50.8);
    EXPECT_TRUE(w->windowTitle().startsWith("*line.cvrun"));
    // What the run cannot take is said and undone.
    w->sectionsTable()->item(1, 3)->setText("-4");
    EXPECT_NE(w->statusBar()->currentMessage().indexOf("length_m"), -1);
    EXPECT_EQ(w->sectionsTable()->item(1, 3)->text(), "98.425");
    w->findChild<QAction*>("RunSave1")->trigger();
    EXPECT_FALSE(w->editor().modified());
    // The sheet is refused over the run file itself.
    platform_.saveAnswers.push_back(run);
    w->exportSheet();
    ASSERT_FALSE(platform_.messages.empty());
    EXPECT_NE(platform_.messages.back().text.find("cannot be written over the run file"), std::string::npos);
    w->close();
    QApplication::processEvents();
    EXPECT_TRUE(window_->runWindows().empty());

    // Dropped on the main window, it opens as saved.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(run))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window_.get(), &drop);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->runWindows().size() == 1; }, 2000))
        << (platform_.messages.empty() ? "" : platform_.messages.back().text);
    RunWindow* again = window_->runWindows().front();
    EXPECT_DOUBLE_EQ(*again->editor().document().sections[1].diameterMm, 50.8);
    // Another program changes the file: the window does not write over it.
    {
        QFile f(QString::fromStdString(run));
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(" ");
    }
    again->editor().setText(RunField::SinkLevel, "17");
    again->save();
    EXPECT_NE(platform_.messages.back().text.find("Another program has changed this file"), std::string::npos);
    // A second open of the same file brings its window forward.
    window_->openFiles({run});
    EXPECT_EQ(window_->runWindows().size(), 1u);
    platform_.answer = false;  // closing without saving
    again->close();
}

class DocumentStarts : public test::UiTest {};

TEST_F(DocumentStarts, TheCommandLineNamesFilesOrAsksForHelp) {
    const struct {
        QStringList arguments;
        CommandLine::Ask ask;
        QStringList files;
    } cases[] = {
        {{"a.PW1", "/x/b.PW2", "../c.PW3"}, CommandLine::Ask::Run, {"/w/d/a.PW1", "/x/b.PW2", "/w/c.PW3"}},
        {{"--", "-odd.PW1"}, CommandLine::Ask::Run, {"/w/d/-odd.PW1"}},
        {{"--help"}, CommandLine::Ask::Usage, {}},
        {{"--version"}, CommandLine::Ask::Version, {}},
        {{"--open", "a.PW1"}, CommandLine::Ask::Mistake, {}},
    };
    for (const auto& c : cases) {
        const CommandLine line = ReadCommandLine(c.arguments, "/w/d");
        EXPECT_EQ(line.ask, c.ask) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(line.files, c.files);
    }
    QProcess help;
    help.start(CORVANE_PROGRAM, {"--help"});
    ASSERT_TRUE(help.waitForFinished(10000));
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(help.readAllStandardOutput().startsWith("usage: corvane [FILE...]"));
}

// The real program twice: its first start opens the files of its command
// line, a second start hands its file over and ends with 0.  What they
// opened shows in the recent files they keep.
TEST_F(DocumentStarts, TheRealProgramOpensItsFilesAndThoseOfASecondStart) {
    QTemporaryDir dir;
    for (PanelKind kind : {PanelKind::PressureDrop, PanelKind::Flow, PanelKind::Diameter}) {
        QFile f(dir.filePath(QString("%1.PW%2").arg(QChar('a' + PanelDigit(kind) - 1)).arg(PanelDigit(kind))));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(SavePanelFile(PanelModel(kind, Locale{})).c_str());
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kInstanceKeyVariable, "test-" + QUuid::createUuid().toString(QUuid::Id128));
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    auto start = [&](QProcess& p, const QStringList& files) {
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(CORVANE_PROGRAM, files);
        return p.waitForStarted(5000);
    };
    auto recent = [&] {
        Settings s(dir.filePath("config/corvane/settings").toStdString());
        s.load();
        return s.values("recent");
    };
    const auto full = [&](const char* name) { return dir.filePath(name).toStdString(); };
    QProcess first;
    ASSERT_TRUE(start(first, {"a.PW1", "b.PW2"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return recent() == std::vector<std::string>{full("b.PW2"), full("a.PW1")}; }, 20000));
    ASSERT_TRUE(QFile::copy(CORVANE_EXAMPLES "/pump-cavitating.cvrun", dir.filePath("d.cvrun")));
    QProcess second;
    ASSERT_TRUE(start(second, {"c.PW3", "d.cvrun"}));
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return recent().size() >= 2 && recent()[0] == full("d.cvrun") && recent()[1] == full("c.PW3"); }, 10000));
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished(5000);
}

}  // namespace
}  // namespace corvane
