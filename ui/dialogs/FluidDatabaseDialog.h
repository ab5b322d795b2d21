#pragma once
// "Corvane - Fluid data base" on screen.

#include <QDialog>
#include <optional>

#include "logic/model/data/FluidDatabaseModel.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace corvane {

class GasViscosityDialog;
class Platform;
class RightAlignedEdit;
class TabbedListBox;

class FluidDatabaseDialog : public QDialog {
    Q_OBJECT
public:
    FluidDatabaseDialog(FluidDatabaseModel& model, GasViscosityDialog* gasCalculator, Platform* platform,
                        QWidget* parent = nullptr);

    // Opens on a group (nothing: as it was left); the fluid to use, or
    // nothing when cancelled.
    std::optional<FluidChoice> ask(std::optional<FluidGroup> group);

    FluidDatabaseModel& model() { return model_; }
    void changeTemperature();
    void refresh();

private:
    void makeLiquidStrip();
    void report(const std::optional<Refusal>& refusal);

    FluidDatabaseModel& model_;
    GasViscosityDialog* gasCalculator_;
    Platform* platform_;
    std::array<RightAlignedEdit*, 4> fields_{};
    TabbedListBox* list_;
    QRadioButton* liquids_;
    QRadioButton* gases_;
    QPushButton* remove_;
    QPushButton* changeTemp_;
    QLabel* heading_;
    QLabel* gasInfo_;
    QLabel* times10_;
    QLabel* minus3_;
    RightAlignedEdit* liquidTemperature_ = nullptr;
    RightAlignedEdit* vapourPressure_ = nullptr;
    QLabel* method_ = nullptr;
    QPushButton* interpolate_ = nullptr;
    bool updating_ = false;
};

}  // namespace corvane
