#pragma once
// The Pump tab of the analysis window: the pump's points, speed ratio and
// efficiency typed into a PumpTab model, the system curve with the pump
// curve and its operating point, and the result rows.  It mirrors the
// model; every number and text comes from it.

#include <QWidget>

#include "logic/model/pumps/PumpTab.h"

class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QLineEdit;
class QStackedWidget;
class QTableWidget;

namespace corvane {

class Platform;

class PumpPage : public QWidget {
    Q_OBJECT
public:
    explicit PumpPage(QWidget* parent = nullptr);

    // The library the tab chooses from and adds to (none: no library).
    void setLibrary(PumpLibrary* library, Platform* platform);
    void fillLibrary();

    PumpTab& model() { return tab_; }
    const PumpTab& model() const { return tab_; }
    // Shows the result for the panel: titles, chart and rows or message.
    void show(const PanelModel& panel, const PumpTabResult& result, const ChartPicture& picture);

    QTableWidget* pointsTable() const { return points_; }
    QTableWidget* resultTable() const { return result_; }
    QLabel* message() const { return message_; }
    QChartView* chart() const { return chart_; }
    QLabel* legend() const { return legend_; }
    QComboBox* libraryList() const { return library_; }

Q_SIGNALS:
    // The user changed a point, the speed ratio or the efficiency.
    void edited();

private:
    PumpTab tab_;
    QTableWidget* points_;
    QLineEdit* speed_;
    QLineEdit* efficiency_;
    QChartView* chart_;
    QLabel* legend_;
    QStackedWidget* lower_;
    QTableWidget* result_;
    QLabel* message_;
    QComboBox* library_;
    QLineEdit* name_;
    QPushButton* use_;
    QPushButton* add_;
    QPushButton* remove_;
    PumpLibrary* pumps_ = nullptr;
    Platform* platform_ = nullptr;
    const PanelModel* panel_ = nullptr;  // the panel last shown
    bool filling_ = false;
};

// Draws a chart picture (shared with the analysis window's other charts).
void RenderChartPicture(QChartView* view, const ChartPicture& picture, const QFont& font);

}  // namespace corvane
