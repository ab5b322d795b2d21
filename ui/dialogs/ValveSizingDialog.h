#pragma once
// "Control valve sizing" on screen: a thin view over ValveSizingModel -
// every entry with its caption, unit and, beside it, why a value is
// refused; the result rows, notes and status; copy as text and HTML and
// the calculation sheet.  Opened from Tools; not modal.

#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "logic/io/Outputs.h"
#include "logic/model/sheets/CalculationSheet.h"
#include "logic/model/valves/ValveSizingModel.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QGroupBox;
class QGridLayout;

namespace corvane {

class Platform;
class UserChoices;

struct ValveDialogServices {
    Platform* platform = nullptr;
    // The fluid data base opened on its liquids: the liquid to use, or nothing.
    std::function<std::optional<LiquidChoice>()> askLiquid;
    // The title block of a sheet, from the last one; nothing when cancelled.
    std::function<std::optional<SheetTitle>(const SheetTitle& last, QWidget* parent)> askSheetTitle;
    // Draws a sheet as a PDF document's bytes; nothing when it cannot.
    std::function<std::optional<std::string>(const CalculationSheet&)> drawSheet;
    UserChoices* choices = nullptr;
    // The files no sheet may be written over (none: any).
    const OutputGuard* outputs = nullptr;
};

class ValveSizingDialog : public QDialog {
    Q_OBJECT
public:
    ValveSizingDialog(const Locale& locale, ValveDialogServices services, QWidget* parent = nullptr);

    ValveSizingModel& model() { return model_; }
    QLineEdit* edit(ValveField f) const { return rows_[ValveSizingModel::Index(f)].edit; }

    // The buttons' commands.
    void chooseLiquid();
    void useWater();
    void copyResults();
    void exportSheet();
    // Mirrors the model.
    void refresh();

private:
    struct FieldRow {
        QLabel* caption = nullptr;
        QLineEdit* edit = nullptr;
        QLabel* unit = nullptr;
        QLabel* fault = nullptr;
    };
    void addField(QGridLayout* grid, ValveField f);
    void say(const std::optional<std::string>& problem);

    ValveSizingModel model_;
    ValveDialogServices services_;
    std::array<FieldRow, kValveFieldCount> rows_{};
    QRadioButton* liquid_ = nullptr;
    QRadioButton* gas_ = nullptr;
    QRadioButton* metric_ = nullptr;
    QRadioButton* imperial_ = nullptr;
    QComboBox* flowKind_ = nullptr;
    QLabel* flowKindCaption_ = nullptr;
    QComboBox* trim_ = nullptr;
    QGroupBox* liquidBox_ = nullptr;
    QGroupBox* gasBox_ = nullptr;
    QPushButton* water_ = nullptr;
    QPushButton* fluidData_ = nullptr;
    QLabel* source_ = nullptr;
    QTableWidget* results_ = nullptr;
    QLabel* notes_ = nullptr;
    QLabel* status_ = nullptr;
    bool refreshing_ = false;
};

}  // namespace corvane
