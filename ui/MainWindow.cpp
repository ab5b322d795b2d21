#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>

#include "logic/model/PrintLayout.h"
#include "ui/AnalysisWindow.h"
#include "ui/SplashWindow.h"
#include "ui/HelpWindow.h"
#include "ui/widgets/RightAlignedEdit.h"
#include "ui/widgets/Glyphs.h"
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
    });

    for (int i = 0; i < 4; ++i) {
        models_[static_cast<std::size_t>(i)] = std::make_unique<PanelModel>(static_cast<PanelKind>(i + 1), locale);
        panels_[static_cast<std::size_t>(i)] = new CalcPanel(*models_[static_cast<std::size_t>(i)], services_, client_);
    }
    createMenus();
    // Why an entry refuses to be left, besides the beep.
    statusBar()->setObjectName("StatusLine");
    statusBar()->setSizeGripEnabled(false);
    for (CalcPanel* p : panels_)
        connect(p, &CalcPanel::status, this, [this](const QString& text) {
            if (text.isEmpty()) statusBar()->clearMessage();
            else statusBar()->showMessage(text);
        });
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
    action(file, "Print preview\u2026", "PrintPreview1", [this] { panel(panelInView())->printPreview(); });
    action(file, "Export calculation sheet\u2026", "ExportCalculationSheet1",
           [this] { panel(panelInView())->exportSheet(); });
    file->addSeparator();
    action(file, "Exit Corvane", "ExitCorvane1", [this] { close(); });
    QMenu* layout = menuBar()->addMenu("&Layout");
    layout->setObjectName("LayoutMenu");
    action(layout, "Single panel", "Singlepanel1", [this] { applyLayout(1); });
    action(layout, "Four panels", "Fourpanels1", [this] { applyLayout(4); });
    QMenu* tools = menuBar()->addMenu("&Tools");
    tools->setObjectName("ToolsMenu");
    action(tools, "Analysis\u2026", "Analysis1", [this] { openAnalysis(); });
    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("HelpMenu");
    action(help, "Corvane Help", "Corvanehelp1", [this] { openHelp(); })->setShortcut(QKeySequence(Qt::Key_F1));
    action(help, "Help pages", "HelpPages1", [this] { showHelpPages(); });
    help->addSeparator();
    action(help, "About Corvane", "About1", [this] { showAbout(); });
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
    if (services_.platform && !services_.platform->openDocument(path)) {
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
    for (int i = 0; i < 4; ++i)
        if (panels_[static_cast<std::size_t>(i)]->isAncestorOf(QApplication::focusWidget())) return i + 1;
    return 1;
}

void MainWindow::openAnalysis() {
    const int number = panelInView();
    if (!analysis_)
        analysis_ = new AnalysisWindow({models_[0].get(), models_[1].get(), models_[2].get(), models_[3].get()},
                                       services_.pipeTable, services_.platform, this, services_.pumps);
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
