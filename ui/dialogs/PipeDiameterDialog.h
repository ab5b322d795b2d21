#pragma once
// "Corvane - Internal diameter data" on screen.

#include <QDialog>
#include <array>
#include <optional>
#include <string>

#include "logic/model/data/PipeDatabaseModel.h"

class QComboBox;
class QPushButton;

namespace corvane {

class Platform;
class RightAlignedEdit;
class TabbedListBox;

class PipeDiameterDialog : public QDialog {
    Q_OBJECT
public:
    PipeDiameterDialog(PipeDatabaseModel& model, Platform* platform, QWidget* parent = nullptr);

    // The internal diameter to take (mm when metric, else inches), or
    // nothing when cancelled.
    std::optional<std::string> ask(bool metric);
    PipeDatabaseModel& model() { return model_; }
    void refresh();

private:

    PipeDatabaseModel& model_;
    Platform* platform_;
    std::array<RightAlignedEdit*, 4> fields_{};
    QComboBox* types_;
    QComboBox* nominals_;
    TabbedListBox* list_;
    QPushButton* remove_;
    bool updating_ = false;
};

}  // namespace corvane
