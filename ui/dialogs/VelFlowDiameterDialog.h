#pragma once
// "Set flow rate": the velocity, flow and diameter calculator on screen.

#include <QColor>
#include <QDialog>
#include <optional>
#include <string>

#include "logic/model/data/VelFlowDiameterModel.h"

class QLabel;

namespace corvane {

class Platform;
class RightAlignedEdit;

class VelFlowDiameterDialog : public QDialog {
    Q_OBJECT
public:
    VelFlowDiameterDialog(const Locale& locale, Platform* platform, QWidget* parent = nullptr);

    // Opens for panel 1 or 4 at the panel's position + (160, 94) in its
    // colour; the flow text to take when "Use this data" closed it.
    std::optional<std::string> ask(const PanelModel& panel, QWidget* panelWidget, const QColor& colour);

    VelFlowDiameterModel& model() { return model_; }
    void useData();

private:
    void refresh();
    void bind(RightAlignedEdit* edit, VelFlowDiameterModel::Field field);

    VelFlowDiameterModel model_;
    Platform* platform_;
    RightAlignedEdit* diameter_;
    RightAlignedEdit* velocity_;
    RightAlignedEdit* flow_;
    QLabel* diameterUnit_;
    QLabel* velocityUnit_;
    QLabel* flowUnit_;
    QLabel* uncompressed_;
    QLabel* flowAtBarg_;
    bool updating_ = false;
};

}  // namespace corvane
