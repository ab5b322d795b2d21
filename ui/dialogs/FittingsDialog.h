#pragma once
// "Pipe fittings" on screen: each fitting's drawing and name beside its
// counter, the valve openings, the extra K value, "Clear All" and OK.

#include <QDialog>
#include <QPixmap>
#include <array>
#include <optional>
#include <string>

#include "logic/model/data/FittingsDialogModel.h"

class QComboBox;
class QSpinBox;

namespace corvane {

class Platform;
class RightAlignedEdit;

class FittingsDialog : public QDialog {
    Q_OBJECT
public:
    FittingsDialog(const Locale& locale, Platform* platform, QWidget* parent = nullptr);

    // Starts from a reset loaded with the panel's string; the new string
    // when closed with OK.
    std::optional<std::string> ask(const std::string& selection);
    FittingsDialogModel& model() { return model_; }
    void refresh();

private:
    FittingsDialogModel model_;
    Platform* platform_;
    std::array<QSpinBox*, 23> counters_{};
    std::array<QComboBox*, 4> openings_{};
    RightAlignedEdit* extraK_;
    bool updating_ = false;
};

// A small drawing of fitting kind 1..23.
QPixmap FittingPicture(int kind);

}  // namespace corvane
