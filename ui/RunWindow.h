#pragma once
// The pipe run window: the run's entries, its table of sections, and its
// results (per section, the losses, per node, the pump) with the grade-line
// plot.  It mirrors a RunEditor and forwards what the user does to it;
// every change calculates the run again.

#include <QMainWindow>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "logic/model/runs/RunEditor.h"
#include "ui/CalcPanel.h"

class QChartView;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTableWidget;

namespace corvane {

class RunWindow : public QMainWindow {
    Q_OBJECT
public:
    // `newRun` and `open` are the main window's File > New pipe run and
    // Open…, which this window's File menu offers too.
    RunWindow(const Locale& locale, RunDataBases bases, PanelServices services, std::function<void()> newRun,
              std::function<void()> open, QWidget* parent = nullptr);

    RunEditor& editor() { return editor_; }
    const std::string& filePath() const { return path_; }
    // Reads the run file into the window; the reason where it cannot.
    std::optional<std::string> openFile(const std::string& path);

    void save();
    void saveAs();
    void exportSheet();
    void print();
    void printPreview();
    void copyResults();
    void copyPicture();
    void savePicture();
    void saveData();

    QTableWidget* sectionsTable() const { return sections_; }
    QChartView* gradeLineView() const { return chart_; }
    QTabWidget* resultTabs() const { return tabs_; }
    QLabel* statusLabel() const { return status_; }
    QLineEdit* field(RunField f) const { return fields_[static_cast<std::size_t>(f)]; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void refresh();
    void refreshSections();
    void fillTable(QTableWidget* table, const TextTable& content);
    void fieldEdited(RunField f);
    void cellEdited(int row, int column);
    void report(const std::optional<std::string>& problem);
    void writeTo(const std::string& path);
    void setUnits(bool metric);
    int currentSection() const;
    void chooseFittings();
    void choosePipe();
    void chooseFluid();
    void updateCaption();
    void printOrPreview(bool preview);

    RunEditor editor_;
    PanelServices services_;
    std::function<void()> newRun_, open_;
    std::string path_;
    std::optional<std::string> fileBytes_;  // as read or last written
    std::vector<QLineEdit*> fields_;
    std::vector<QLabel*> units_;
    QTableWidget* sections_ = nullptr;
    QTableWidget* sectionResults_ = nullptr;
    QTableWidget* losses_ = nullptr;
    QTableWidget* nodes_ = nullptr;
    QTableWidget* pump_ = nullptr;
    QChartView* chart_ = nullptr;
    QWidget* plotPage_ = nullptr;  // the plot with its key, as copied and saved
    QLabel* legend_ = nullptr;
    QLabel* status_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QRadioButton* metric_ = nullptr;
    QRadioButton* imperial_ = nullptr;
    bool filling_ = false;
};

}  // namespace corvane
