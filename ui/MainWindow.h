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

#include "ui/CalcPanel.h"

class QTabBar;
class QFrame;

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

    void openHelp();
    // The analysis window for the panel in view (the tab's in the single
    // layout, the one holding the focus in the four-panel layout).
    void openAnalysis();
    class AnalysisWindow* analysisWindow() const { return analysis_; }
    void showAbout();
    // Brings the window to the front, restored if minimised.
    void bringToFront();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createMenus();
    void createToolBar();

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
    QTimer splashTimer_;
    bool shownOnce_ = false;
};

}  // namespace corvane
