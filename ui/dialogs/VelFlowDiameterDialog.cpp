#include "ui/dialogs/VelFlowDiameterDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "ui/platform/Platform.h"
#include "ui/widgets/RightAlignedEdit.h"

namespace corvane {
namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect g) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(g);
    return l;
}

}  // namespace

VelFlowDiameterDialog::VelFlowDiameterDialog(const Locale& locale, Platform* platform, QWidget* parent)
    : QDialog(parent), model_(locale), platform_(platform) {
    setObjectName("TTarnel_CalcVelFlowDiameterForm");
    setWindowTitle("Set flow rate");
    setModal(true);
    setFixedSize(300, 190);

    MakeLabel(this, "InternalDiameterHdLabel1", "Internal diameter", {12, 10, 150, 16});
    diameter_ = new RightAlignedEdit(this);
    diameter_->setObjectName("Diameter_RightEdit");
    diameter_->setAccessibleName("Internal diameter");
    diameter_->setBounds(12, 26, 113, 22);
    diameterUnit_ = MakeLabel(this, "DiameterUnitLabel", "mm", {132, 30, 60, 16});

    MakeLabel(this, "FluidVelocityHdLabel1", "Fluid velocity", {12, 54, 150, 16});
    velocity_ = new RightAlignedEdit(this);
    velocity_->setObjectName("VelocityRightEdit");
    velocity_->setAccessibleName("Fluid velocity");
    velocity_->setBounds(12, 70, 113, 22);
    velocityUnit_ = MakeLabel(this, "VelocityUnitLabel", "m/s", {132, 74, 60, 16});

    MakeLabel(this, "FlowHdLabel1", "Flow", {12, 98, 40, 16});
    uncompressed_ = MakeLabel(this, "UncompressedVolumeHdLabel", "(un-compressed volume)", {56, 98, 150, 16});
    flow_ = new RightAlignedEdit(this);
    flow_->setObjectName("FlowRateRightEdit");
    flow_->setAccessibleName("Flow");
    flow_->setBounds(12, 114, 113, 22);
    flow_->setReadOnly(true);
    flow_->setPassesFocus(true);
    flow_->setFocusPolicy(Qt::NoFocus);
    QPalette yellow = flow_->palette();
    yellow.setColor(QPalette::Base, Qt::yellow);
    flow_->setPalette(yellow);
    flowUnit_ = MakeLabel(this, "FlowUnitLabel", "", {132, 118, 100, 16});
    flowAtBarg_ = MakeLabel(this, "FlowAtBargLabel", "", {132, 134, 160, 16});

    auto* use = new QPushButton("Use this data", this);
    use->setObjectName("UseDataBitBtn");
    use->setGeometry(12, 156, 130, 25);
    use->setAutoDefault(false);
    auto* cancel = new QPushButton("Cancel - do not use data", this);
    cancel->setObjectName("CancelBitBtn");
    cancel->setGeometry(150, 156, 140, 25);
    cancel->setAutoDefault(false);
    connect(use, &QPushButton::clicked, this, &VelFlowDiameterDialog::useData);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    bind(diameter_, VelFlowDiameterModel::Field::Diameter);
    bind(velocity_, VelFlowDiameterModel::Field::Velocity);
    refresh();
}

void VelFlowDiameterDialog::bind(RightAlignedEdit* edit, VelFlowDiameterModel::Field field) {
    edit->keyFilter = [this, field](char32_t& key) {
        const bool allowed = model_.keyPress(field, key);
        if (!allowed && platform_) platform_->beep();
        refresh();
        return allowed && key != 13;
    };
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
        if (updating_) return;
        model_.setText(field, text.toStdString());
        refresh();
    });
    connect(edit, &RightAlignedEdit::left, this, [this, field, edit] {
        if (!isVisible()) return;
        const bool ok = model_.leave(field);
        refresh();
        if (!ok) {
            if (platform_) platform_->beep();
            QTimer::singleShot(0, edit, [edit] {
                edit->setFocus(Qt::OtherFocusReason);
                edit->selectAll();
            });
        }
    });
}

void VelFlowDiameterDialog::refresh() {
    updating_ = true;
    auto set = [](QLineEdit* e, const std::string& t) {
        const QString q = QString::fromStdString(t);
        if (e->text() != q) e->setText(q);
    };
    set(diameter_, model_.diameter());
    set(velocity_, model_.velocity());
    set(flow_, model_.flow());
    diameterUnit_->setText(QString::fromStdString(model_.diameterUnit()));
    velocityUnit_->setText(QString::fromStdString(model_.velocityUnit()));
    flowUnit_->setText(QString::fromStdString(model_.flowUnit()));
    flowAtBarg_->setText(QString::fromStdString(model_.flowAtBarg()));
    uncompressed_->setVisible(model_.gas());
    flowAtBarg_->setVisible(model_.gas());
    updating_ = false;
}

void VelFlowDiameterDialog::useData() {
    switch (model_.useData()) {
        case VelFlowDiameterModel::UseResult::Taken: accept(); break;
        case VelFlowDiameterModel::UseResult::FocusDiameter: diameter_->setFocus(); break;
        case VelFlowDiameterModel::UseResult::FocusVelocity: velocity_->setFocus(); break;
        case VelFlowDiameterModel::UseResult::Refused: break;
    }
    refresh();
}

std::optional<std::string> VelFlowDiameterDialog::ask(const PanelModel& panel, QWidget* panelWidget,
                                                      const QColor& colour) {
    model_.open(panel);
    refresh();
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    setAutoFillBackground(true);
    if (panelWidget) move(panelWidget->mapToGlobal(QPoint(160, 94)));
    velocity_->setFocus();
    exec();
    if (!model_.dataUsed()) return std::nullopt;
    return model_.flow();
}

}  // namespace corvane
