#pragma once
// The analysis window: a panel's system curve, its point on the Moody
// diagram, the standard pipe sizes around its diameter, the notes on the
// method's validity, and a pump on the pipe run.  Not modal; it follows the panel chosen in it and
// redraws after every change of that panel, showing only a note while the
// panel has no results.

#include <QDialog>
#include <array>

#include "logic/io/DataTable.h"
#include "logic/model/analysis/Analysis.h"

class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QTableWidget;

namespace corvane {

class OutputGuard;
class Platform;
class PumpLibrary;
class PumpPage;
class UserChoices;

class AnalysisWindow : public QDialog {
    Q_OBJECT
public:
    AnalysisWindow(std::array<PanelModel*, 4> panels, const DataTable* pipes, Platform* platform,
                   QWidget* parent = nullptr, PumpLibrary* pumps = nullptr);

    void showFor(int panel);  // 1 to 4
    void refresh();
    int panelNumber() const;

    QChartView* curveView() const { return curve_; }
    QChartView* moodyView() const { return moody_; }
    QTableWidget* sizesTable() const { return sizes_; }
    QLabel* notesLabel() const { return notes_; }
    // The fittings by the table and by 2-K and 3-K, or its message.
    QTableWidget* fittingsTable() const { return fittings_; }
    QLabel* fittingsMessage() const { return fittingsMessage_; }
    // The note shown on a tab instead of its chart or table (0 to 2), or
    // nullptr while the chart or table is shown.
    QLabel* shownMessage(int tab) const;
    QTabWidget* tabs() const { return tabs_; }
    PumpPage* pumpPage() const { return pump_; }

    // Where its file choosers start, remembered between runs.
    void setChoices(UserChoices* choices) { choices_ = choices; }
    void setOutputGuard(const OutputGuard* outputs) { outputs_ = outputs; }

    // The commands of the window's buttons, for the shown tab.
    void copyPicture();
    void savePicture();
    void saveData();

private:
    PanelModel& panel() const;
    QWidget* shownPicture() const;
    std::string shownCsv() const;
    void fillCurve();
    void fillMoody();
    void fillSizes();
    void fillNotes();
    void fillFittings();
    void scheduleRefresh();
    void showEvent(QShowEvent* event) override;

    std::array<PanelModel*, 4> panels_;
    const DataTable* pipes_;
    Platform* platform_;
    QComboBox* choice_;
    QTabWidget* tabs_;
    QChartView* curve_;
    QChartView* moody_;
    QTableWidget* sizes_;
    QLabel* notes_;
    PumpPage* pump_;
    QTableWidget* fittings_;
    QStackedWidget* fittingsPage_;
    QLabel* fittingsMessage_;
    // The tabs of a chart or table, each with its message.
    enum Page : std::size_t { CurvePage, MoodyPage, SizesPage, PageCount };
    std::array<QStackedWidget*, PageCount> pages_{};
    // Whether a tab shows a picture to copy or save, and data to save.
    bool showsPicture(const QWidget* tab) const;
    bool showsData(const QWidget* tab) const;
    std::array<QLabel*, 3> messages_{};
    bool refreshPending_ = false;
    UserChoices* choices_ = nullptr;
    const OutputGuard* outputs_ = nullptr;
    QPushButton* copy_;
    QPushButton* savePicture_;
    QPushButton* saveData_;
};

}  // namespace corvane
