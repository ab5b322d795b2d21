#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QUrl>

#include "logic/io/FileIo.h"
#include "logic/model/panels/PanelFile.h"
#include "logic/model/panels/PanelKinds.h"
#include "logic/model/panels/PrintLayout.h"
#include "logic/model/runs/RunEditor.h"
#include "logic/model/settings/UserChoices.h"
#include "ui/AnalysisWindow.h"
#include "ui/HelpWindow.h"
#include "ui/PumpPage.h"
#include "ui/RunWindow.h"
#include "ui/SplashWindow.h"
#include "ui/dialogs/ValveSizingDialog.h"
#include "ui/sheet/CalculationSheetPdf.h"
#include "ui/platform/Platform.h"
#include "ui/widgets/Glyphs.h"
#include "ui/widgets/RightAlignedEdit.h"

namespace corvane {
namespace {


class ToolPicture : public QLabel {
public:
    ToolPicture(Glyph glyph, const char* name, const char* hint, std::function<void()> action, QWidget* parent)
        : QLabel(parent), action_(std::move(action)) {
        setPixmap(GlyphPixmap(glyph));
        setObjectName(name);
        setToolTip(hint);
        setAccessibleName(hint);
        setFixedSize(16, 16);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent*) override { action_(); }

private:
    std::function<void()> action_;
};

}  // namespace

MainWindow::MainWindow(const Locale& locale, PanelServices services, std::string helpFolder,
                                   QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), helpFolder_(std::move(helpFolder)) {
    setObjectName("TarnelMiniForm1");
    setWindowTitle(kWindowCaption);
    // System menu and minimise only: no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    client_ = new QWidget(this);
    client_->setObjectName("ClientArea");
    QPalette pal = client_->palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    client_->setPalette(pal);
    client_->setAutoFillBackground(true);
    setCentralWidget(client_);

    createToolBar();
    tabs_ = new QTabBar(client_);
    tabs_->setObjectName("TabControl1");
    tabs_->setAccessibleName("Panels");
    const std::pair<const char*, Glyph> tabs[] = {{"Find pressure", Glyph::TabPressure},
                                                  {"Find flow", Glyph::TabFlow},
                                                  {"Find diameter", Glyph::TabDiameter},
                                                  {"Find length", Glyph::TabLength}};
    for (const auto& [text, glyph] : tabs) tabs_->addTab(GlyphPixmap(glyph), text);
    tabs_->setGeometry(0, 27, kPanelWidth, 21);
    tabs_->setExpanding(false);
    tabs_->hide();
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (layout_ != Layout::SinglePanel) return;
        for (int i = 0; i < 4; ++i) panels_[static_cast<std::size_t>(i)]->setVisible(i == index);
        current_ = index + 1;
        markPanelInView();
    });

    for (int i = 0; i < 4; ++i) {
        models_[static_cast<std::size_t>(i)] = std::make_unique<PanelModel>(static_cast<PanelKind>(i + 1), locale);
        panels_[static_cast<std::size_t>(i)] = new CalcPanel(*models_[static_cast<std::size_t>(i)], services_, client_);
    }
    createMenus();
    // Why an entry refuses to be left or dropped a key, besides the beep.
    statusBar()->setObjectName("StatusLine");
    statusBar()->setSizeGripEnabled(false);
    for (CalcPanel* p : panels_) {
        connect(p, &CalcPanel::status, this, [this](const QString& text) {
            if (text.isEmpty()) statusBar()->clearMessage();
            else statusBar()->showMessage(text);
        });
        connect(p, &CalcPanel::openInOtherPanel, this,
                [this](const QString& path) { openFiles({QFile::encodeName(path).toStdString()}); });
    }
    if (services_.choices)
        services_.choices->setProblemHandler([this](const std::string& problem) {
            statusBar()->showMessage(QString::fromStdString("The settings could not be kept: " + problem).replace('\r', ' '));
        });
    // The panel worked in last is the one the File menu acts on.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (int i = 0; i < 4; ++i)
            if (now && panels_[static_cast<std::size_t>(i)]->isAncestorOf(now) && current_ != i + 1) {
                current_ = i + 1;
                markPanelInView();
            }
    });
    setAcceptDrops(true);
    applyLayout(4);

    splashTimer_.setObjectName("SplashTimer1");
    splashTimer_.setSingleShot(true);
    connect(&splashTimer_, &QTimer::timeout, this, [this] {
        if (splash_) splash_->showFor(5000, this);
    });
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

MainWindow::~MainWindow() {
    // The panels go before the models they are bound to.
    delete client_;
    client_ = nullptr;
}

void MainWindow::createToolBar() {
    toolBar_ = new QFrame(client_);
    toolBar_->setObjectName("ToolButtonPanel");
    toolBar_->setFrameStyle(QFrame::Box | QFrame::Plain);
    toolBar_->setLineWidth(1);
    const struct {
        Glyph glyph;
        const char* name;
        const char* hint;
        std::function<void()> action;
    } pictures[] = {
        {Glyph::SinglePanel, "SinglePanelImage", "Single panel layout", [this] { applyLayout(1); }},
        {Glyph::FourPanels, "FourPanelImage", "Four panel layout", [this] { applyLayout(4); }},
        {Glyph::Help, "HelpImage", "Corvane Help", [this] { openHelp(); }},
        {Glyph::About, "CopyrightImage", "About Corvane", [this] { showAbout(); }},
        {Glyph::Analysis, "AnalysisImage", "Analysis", [this] { openAnalysis(); }},
    };
    int x = 4;
    for (const auto& p : pictures) {
        auto* picture = new ToolPicture(p.glyph, p.name, p.hint, p.action, toolBar_);
        picture->move(x, 4);
        x += 28;
    }
}

void MainWindow::createMenus() {
    auto action = [this](QMenu* menu, const char* text, const char* name, auto slot) {
        QAction* a = menu->addAction(text);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("FileMenu");
    action(file, "&New pipe run", "NewPipeRun1", [this] { newRun(); })->setShortcut(QKeySequence::New);
    action(file, "&Open\u2026", "OpenFile1", [this] { openFile(); })->setShortcut(QKeySequence::Open);
    save_ = action(file, "Save", "SaveFile1", [this] { panel(panelInView())->save(); });
    save_->setShortcut(QKeySequence::Save);
    saveAs_ = action(file, "Save as\u2026", "SaveFileAs1", [this] { panel(panelInView())->saveFile(); });
    saveAs_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    recentMenu_ = file->addMenu("&Recent files");
    recentMenu_->setObjectName("RecentFilesMenu");
    connect(recentMenu_, &QMenu::aboutToShow, this, [this] {
        // With the files another copy of the program opened meanwhile.
        if (services_.choices) services_.choices->reload();
        fillRecentMenu();
    });
    file->addSeparator();
    export_ = action(file, "Export calculation sheet\u2026", "ExportCalculationSheet1", [this] {
        const int number = panelInView();
        panel(number)->exportSheet(pumpFor(number));
    });
    preview_ = action(file, "Print preview\u2026", "PrintPreview1", [this] { panel(panelInView())->printPreview(); });
    print_ = action(file, "Print\u2026", "Print1", [this] { panel(panelInView())->print(); });
    print_->setShortcut(QKeySequence::Print);
    file->addSeparator();
    action(file, "Exit Corvane", "ExitCorvane1", [this] { close(); });
    fillRecentMenu();
    QMenu* layout = menuBar()->addMenu("&Layout");
    layout->setObjectName("LayoutMenu");
    action(layout, "Single panel", "Singlepanel1", [this] { applyLayout(1); });
    action(layout, "Four panels", "Fourpanels1", [this] { applyLayout(4); });
    QMenu* tools = menuBar()->addMenu("&Tools");
    tools->setObjectName("ToolsMenu");
    action(tools, "Analysis\u2026", "Analysis1", [this] { openAnalysis(); });
    action(tools, "Control &valve sizing\u2026", "ControlValveSizing1", [this] { openValveSizing(); });
    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("HelpMenu");
    action(help, "Corvane Help", "Corvanehelp1", [this] { openHelp(); })->setShortcut(QKeySequence(Qt::Key_F1));
    action(help, "Help pages", "HelpPages1", [this] { showHelpPages(); });
    help->addSeparator();
    action(help, "About Corvane", "About1", [this] { showAbout(); });
}

void MainWindow::fillRecentMenu() {
    recentMenu_->clear();
    const std::vector<std::string> recent = services_.choices ? services_.choices->recentFiles() : std::vector<std::string>{};
    int n = 0;
    for (const std::string& path : recent) {
        const QString full = QFile::decodeName(path.c_str());
        const QString name = full.mid(full.lastIndexOf('/') + 1);
        // "1  case.PW2   (/home/user/cases)": the number is its key.
        QAction* a = recentMenu_->addAction(QString("&%1  %2   (%3)").arg(++n % 10).arg(name, full.left(full.lastIndexOf('/'))));
        a->setObjectName(QString("RecentFile%1").arg(n));
        a->setToolTip(full);
        connect(a, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
    if (recent.empty()) recentMenu_->addAction("(none)")->setEnabled(false);
    recentMenu_->addSeparator();
    QAction* clear = recentMenu_->addAction("Clear the list");
    clear->setObjectName("ClearRecentFiles1");
    clear->setEnabled(!recent.empty());
    connect(clear, &QAction::triggered, this, [this] {
        if (services_.choices) services_.choices->clearRecent();
    });
}

void MainWindow::markPanelInView() {
    const int number = panelInView();
    for (int i = 0; i < 4; ++i)
        panels_[static_cast<std::size_t>(i)]->setCurrent(layout_ == Layout::FourPanels && i + 1 == number);
    // The commands say which panel they act on.
    const QString task = PanelTaskName(static_cast<PanelKind>(number));
    save_->setText("&Save " + task);
    saveAs_->setText("Save " + task + " &as\u2026");
    export_->setText("&Export calculation sheet of " + task + "\u2026");
    preview_->setText("Print pre&view of " + task + "\u2026");
    print_->setText("&Print " + task + "\u2026");
}

void MainWindow::showPanel(int number) {
    number = std::clamp(number, 1, 4);
    current_ = number;
    // Its tab too, so that it stays in view in the single-panel layout, and
    // the focus in it, so that it stays the panel worked in.
    if (tabs_->currentIndex() != number - 1) tabs_->setCurrentIndex(number - 1);
    CalcPanel* shown = panels_[static_cast<std::size_t>(number - 1)];
    if (!shown->isAncestorOf(QApplication::focusWidget()) && !shown->tabOrder().empty())
        shown->tabOrder().front()->setFocus(Qt::OtherFocusReason);
    markPanelInView();
}

void MainWindow::openFiles(const std::vector<std::string>& paths) {
    std::string problems;
    for (const std::string& path : paths) {
        // Read whole or refused whole; the first line names the panel.
        const PanelFileBytes file = ReadPanelFile(path);
        std::optional<std::string> problem;
        if (IsRunFileName(path) || (file.bytes && LooksLikeRunDocument(*file.bytes))) {
            problem = openRun(path);
        } else if (!file.bytes) {
            problem = file.message;
        } else if (const auto kind = PanelKindOfFile(*file.bytes); !kind) {
            problem = kNotValidFileText;
        } else if (const auto refusal = panel(PanelDigit(*kind))->loadFrom(path, *file.bytes)) {
            problem = refusal->text;
        } else {
            showPanel(PanelDigit(*kind));
        }
        if (problem) problems += (problems.empty() ? "" : "\r\r") + path + "\r" + *problem;
    }
    if (!problems.empty() && services_.platform)
        services_.platform->message(this, MessageKind::Error, "Not opened:\r" + problems);
}

void MainWindow::openHandedFiles(const std::vector<std::string>& paths) {
    // A file opened under an open dialog would change the panel the dialog
    // is about to answer.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(250, this, [this, paths] { openHandedFiles(paths); });
        return;
    }
    openFiles(paths);
}

void MainWindow::openFile() {
    if (!services_.platform) return;
    const FileChooser chooser{AnyCorvaneFileFilter(), "", "Open"};
    if (const auto path = ChooseFile(*services_.platform, this, chooser, false, services_.choices, FileKind::Panel))
        openFiles({*path});
}

void MainWindow::openRecent(const std::string& path) {
    if (!FileExists(path)) {
        if (services_.choices) services_.choices->removeRecent(path);
        if (services_.platform)
            services_.platform->message(this, MessageKind::Information,
                                        path + "\rThis file is no longer there; it has been taken off the recent files.");
        return;
    }
    openFiles({path});
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (std::any_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); }))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    if (paths.empty()) return;
    event->acceptProposedAction();
    // After the drop has ended: a message box must not run inside it.
    QTimer::singleShot(0, this, [this, paths] { openFiles(paths); });
}

ValveSizingDialog* MainWindow::openValveSizing() {
    if (!valveSizing_) {
        ValveDialogServices services;
        services.platform = services_.platform;
        services.choices = services_.choices;
        services.outputs = services_.outputs;
        services.askSheetTitle = services_.askSheetTitle;
        services.askLiquid = services_.askLiquid;
        if (!services.askLiquid && services_.askFluid)
            services.askLiquid = [this]() -> std::optional<LiquidChoice> {
                if (auto fluid = services_.askFluid(FluidGroup::Liquids)) return LiquidChoice{*fluid, ""};
                return std::nullopt;
            };
        services.drawSheet = [](const CalculationSheet& sheet) -> std::optional<std::string> {
            if (const auto pdf = CalculationSheetPdf(sheet)) return pdf->toStdString();
            return std::nullopt;
        };
        valveSizing_ = new ValveSizingDialog(models_[0]->locale(), std::move(services), this);
    }
    valveSizing_->show();
    valveSizing_->raise();
    valveSizing_->activateWindow();
    dismissSplash();
    return valveSizing_;
}

RunWindow* MainWindow::newRun() {
    auto* window = new RunWindow(models_[0]->locale(), runBases_, services_, [this] { newRun(); },
                                 [this] { openFile(); }, this);
    window->show();
    dismissSplash();
    return window;
}

void MainWindow::dismissSplash() {
    // The splash stays on top of the program's windows: a run window
    // opened at start would lie under it.
    splashTimer_.stop();
    if (splash_) splash_->dismiss();
}

std::vector<RunWindow*> MainWindow::runWindows() const {
    std::vector<RunWindow*> windows;
    for (RunWindow* w : findChildren<RunWindow*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isVisible()) windows.push_back(w);
    return windows;
}

std::vector<GuardedFile> MainWindow::openDocuments() const {
    std::vector<GuardedFile> documents;
    for (const CalcPanel* p : panels_)
        if (p && !p->filePath().empty()) documents.push_back({p->filePath(), "an open panel file"});
    for (const RunWindow* w : runWindows())
        if (!w->filePath().empty()) documents.push_back({w->filePath(), "an open run file"});
    return documents;
}

std::optional<std::string> MainWindow::openRun(const std::string& path) {
    // A run open already comes to the front as it is.
    for (RunWindow* w : runWindows())
        if (!w->filePath().empty() && SameFile(w->filePath(), path)) {
            w->raise();
            w->activateWindow();
            return std::nullopt;
        }
    auto* window = new RunWindow(models_[0]->locale(), runBases_, services_, [this] { newRun(); },
                                 [this] { openFile(); }, this);
    if (auto problem = window->openFile(path)) {
        delete window;
        return problem;
    }
    window->show();
    dismissSplash();
    window->raise();
    window->activateWindow();
    return std::nullopt;
}

std::optional<PumpEntry> MainWindow::pumpFor(int number) const {
    if (!analysis_ || analysis_->panelNumber() != number) return std::nullopt;
    const PumpTab& tab = analysis_->pumpPage()->model();
    if (tab.empty()) return std::nullopt;
    return tab.entry(models_[static_cast<std::size_t>(number - 1)]->locale());
}

void MainWindow::applyLayout(int kind) {
    if (kind == 1) {
        layout_ = Layout::SinglePanel;
        tabs_->show();
        for (CalcPanel* p : panels_) {
            p->move(0, 48);
            p->hide();
        }
        client_->setFixedSize(kPanelWidth, 48 + kPanelHeight);
        toolBar_->setGeometry(0, 0, kPanelWidth, 24);
        const int selected = tabs_->currentIndex() < 0 ? 0 : tabs_->currentIndex();
        panels_[static_cast<std::size_t>(selected)]->show();
        current_ = selected + 1;
    } else if (kind == 4) {
        layout_ = Layout::FourPanels;
        tabs_->hide();
        panels_[0]->move(0, 24);
        panels_[1]->move(kPanelWidth, 24);
        panels_[2]->move(0, 24 + kPanelHeight);
        panels_[3]->move(kPanelWidth, 24 + kPanelHeight);
        for (CalcPanel* p : panels_) p->show();
        client_->setFixedSize(panels_[1]->x() + panels_[1]->width(), panels_[3]->y() + panels_[3]->height());
        toolBar_->setGeometry(0, 0, client_->width(), 24);
    } else {
        return;
    }
    markPanelInView();
    // The window follows its client area exactly.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    adjustSize();
    setFixedSize(sizeHint());
}

QSize MainWindow::clientSize() const { return client_->size(); }

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    if (auto* first = panels_[0]->findChild<RightAlignedEdit*>("IRmm_RightEdit1")) first->setFocus();
    if (layout_ != Layout::FourPanels) applyLayout(4);
    splashTimer_.start(10);
}

void MainWindow::openHelp() {
    const std::string path = helpFolder_ + kHelpDocument;
    // Where the desktop names no viewer for PDF, the help pages at once.
    if (!services_.platform || !services_.platform->hasViewerFor("application/pdf")) {
        showHelpPages();
        return;
    }
    if (!services_.platform->openDocument(path)) {
        services_.platform->message(this, MessageKind::Error, "An error ocurred when opening file " + path);
        showHelpPages();
    }
}

void MainWindow::showHelpPages() {
    if (!help_) help_ = new HelpWindow(this);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

int MainWindow::panelInView() const {
    if (layout_ == Layout::SinglePanel) return std::max(1, tabs_->currentIndex() + 1);
    return current_;
}

void MainWindow::openAnalysis() {
    const int number = panelInView();
    if (!analysis_) {
        analysis_ = new AnalysisWindow({models_[0].get(), models_[1].get(), models_[2].get(), models_[3].get()},
                                       services_.pipeTable, services_.platform, this, services_.pumps);
        analysis_->setChoices(services_.choices);
        analysis_->setOutputGuard(services_.outputs);
    }
    analysis_->showFor(number);
}

void MainWindow::showAbout() {
    if (splash_) splash_->showFor(20000, this);
}

void MainWindow::bringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

}  // namespace corvane
