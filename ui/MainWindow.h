#pragma once
// ui: the windows (main window, calculation panel, analysis, splash, panel
// pictures) over ui/widgets, ui/platform and ui/dialogs.  A view holds no
// number and computes nothing: it mirrors a model and forwards the user.
//
// This header: the main window - tool bar, menus, tab strip and the four
// calculation panels, shown all four in a 2 x 2 grid or one at a time
// behind the tabs.

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "logic/model/runs/RunCalculation.h"
#include "ui/CalcPanel.h"

class QAction;
class QFrame;
class QMenu;
class QTabBar;

namespace corvane {

class SplashWindow;

inline constexpr const char* kMainCaption = "Corvane v1.12";
// The caption: the name and version, eleven blanks, our web address.
inline constexpr const char* kWindowCaption = "Corvane v1.12           corvane.example.org";
inline constexpr const char* kHelpDocument = "CorvaneHelp100.pdf";

enum class Layout { SinglePanel = 1, FourPanels = 4 };

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `helpFolder` is the folder of the executable (with its separator).
    MainWindow(const Locale& locale, PanelServices services, std::string helpFolder,
                     QWidget* parent = nullptr);
    ~MainWindow() override;

    void applyLayout(int kind);  // 1 single panel, 4 four panels; anything else does nothing
    Layout layout() const { return layout_; }
    QSize clientSize() const;
    CalcPanel* panel(int number) const { return panels_[static_cast<std::size_t>(number - 1)]; }
    PanelModel& model(int number) { return *models_[static_cast<std::size_t>(number - 1)]; }
    QTabBar* tabs() const { return tabs_; }
    void setSplash(SplashWindow* splash) { splash_ = splash; }

    // The help document in the desktop's viewer; where none answers, the
    // message and then the help pages.
    void openHelp();
    void showHelpPages();
    class HelpWindow* helpWindow() const { return help_; }
    // The analysis window for the panel in view.
    void openAnalysis();
    // Tools > Control valve sizing: the dialog, made on first use.
    class ValveSizingDialog* openValveSizing();
    // The panel in view, which the File menu's commands act on: the tab's in
    // the single layout; in the four-panel layout the one last worked in
    // (marked by its frame), panel 1 at start.
    int panelInView() const;
    // Makes the panel the one in view (its tab in the single layout).
    void showPanel(int number);

    // Opens each panel file into the panel its first line names, the last
    // of them in view; one message names each file that could not be
    // opened.  (The command line, a second start, the File menu, drops.)
    void openFiles(const std::vector<std::string>& paths);
    // The same for files handed over by a later start, once no dialog of
    // this program is open.
    void openHandedFiles(const std::vector<std::string>& paths);
    // File > Open: any panel file into its panel.
    void openFile();
    // A file of the recent files: opened, or taken off the list with a word
    // where it no longer exists.
    void openRecent(const std::string& path);
    class AnalysisWindow* analysisWindow() const { return analysis_; }
    // File > New pipe run: a run window of its own.
    class RunWindow* newRun();
    // The run windows open now.
    std::vector<class RunWindow*> runWindows() const;
    // The files of the documents open now (panels and runs), which no
    // output may be written over.
    std::vector<GuardedFile> openDocuments() const;
    // The data bases a run document may name rows of.
    void setRunDataBases(RunDataBases bases) { runBases_ = std::move(bases); }
    void showAbout();
    // Brings the window to the front, restored if minimised.
    void bringToFront();

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void dismissSplash();
    void createMenus();
    void createToolBar();
    void fillRecentMenu();
    void markPanelInView();
    // A run file in a run window of its own; the reason where it cannot.
    std::optional<std::string> openRun(const std::string& path);
    // The pump set on the analysis window's Pump tab for the panel.
    std::optional<PumpEntry> pumpFor(int number) const;

    std::array<std::unique_ptr<PanelModel>, 4> models_;
    std::array<CalcPanel*, 4> panels_{};
    PanelServices services_;
    std::string helpFolder_;
    QWidget* client_ = nullptr;
    QFrame* toolBar_ = nullptr;
    QTabBar* tabs_ = nullptr;
    Layout layout_ = Layout::FourPanels;
    SplashWindow* splash_ = nullptr;
    class AnalysisWindow* analysis_ = nullptr;
    class HelpWindow* help_ = nullptr;
    class ValveSizingDialog* valveSizing_ = nullptr;
    QTimer splashTimer_;
    bool shownOnce_ = false;
    int current_ = 1;  // the panel in view in the four-panel layout
    QMenu* recentMenu_ = nullptr;
    // The File menu's commands that name the panel in view.
    QAction* save_ = nullptr;
    QAction* saveAs_ = nullptr;
    QAction* export_ = nullptr;
    QAction* preview_ = nullptr;
    QAction* print_ = nullptr;
    RunDataBases runBases_;
};

}  // namespace corvane
