#include "ui/dialogs/FluidDatabaseDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "ui/dialogs/DataDialogParts.h"
#include "ui/dialogs/GasViscosityDialog.h"
#include "ui/platform/Platform.h"
#include "ui/widgets/RightAlignedEdit.h"
#include "ui/widgets/TabbedListBox.h"

namespace corvane {
namespace {

using Field = FluidDatabaseModel::Field;

QLabel* Label(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    if (*name) l->setObjectName(name);
    l->move(x, y);
    l->adjustSize();
    return l;
}

QPushButton* Button(QWidget* parent, const char* name, const char* text, QRect g) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(g);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

FluidDatabaseDialog::FluidDatabaseDialog(FluidDatabaseModel& model, GasViscosityDialog* gasCalculator,
                                         Platform* platform, QWidget* parent)
    : QDialog(parent), model_(model), gasCalculator_(gasCalculator), platform_(platform) {
    setObjectName("TTarnelFluidDatabaseForm");
    setWindowTitle("Corvane - Fluid data base");
    setModal(true);
    setFixedSize(640, 440);

    Label(this, "", "Fluid name", 8, 8);
    Label(this, "", "Temperature \ndeg.C (deg.F)", 170, 8);
    Label(this, "", "Kinematic Viscosity\nCentistokes", 300, 8);
    Label(this, "", "Density\nkg / m\u00b3", 420, 8);
    times10_ = Label(this, "Times10Label", "x 10", 462, 22);
    minus3_ = Label(this, "Minus3Label", "-3", 488, 17);
    QFont small = minus3_->font();
    small.setPixelSize(8);
    minus3_->setFont(small);

    fields_[0] = makeField(Field::Name, "FluidNameEdit", "Fluid name", {8, 44, 155, 22}, false);
    fields_[1] = makeField(Field::Temperature, "FluidTemperatureEdit", "Temperature", {170, 44, 122, 22}, false);
    fields_[2] = makeField(Field::Viscosity, "CentistokesRightEdit", "Kinematic viscosity", {300, 44, 112, 22}, true);
    fields_[3] = makeField(Field::Density, "DensityRightEdit", "Density", {420, 44, 112, 22}, true);

    heading_ = Label(this, "FluidDataListingHdLabel", "Fluid data", 8, 76);
    gasInfo_ = Label(this, "LabelGasDataInfo1", "Gas Data @ 0.000 barg", 300, 76);
    list_ = new TabbedListBox(this);
    list_->setObjectName("TabListBox1");
    list_->setAccessibleName("Fluids");
    list_->setGeometry(8, 94, 624, 220);
    list_->setTabStops({180, 270, 360}, 5.33);
    Label(this, "", "Viscosity relationship :   Centistokes = Centipoise / Density", 8, 318);

    auto* groupBox = new QGroupBox(this);
    groupBox->setObjectName("LiquidsRadioGroup");
    groupBox->setGeometry(8, 338, 140, 64);
    liquids_ = new QRadioButton("Liquids", groupBox);
    liquids_->setObjectName("LiquidsRadioButton");
    liquids_->move(10, 10);
    gases_ = new QRadioButton("Gases", groupBox);
    gases_->setObjectName("GasesRadioButton");
    gases_->move(10, 34);

    auto* use = Button(this, "UseDataBitBtn", "Use this data", {160, 340, 125, 26});
    auto* add = Button(this, "SaveNewEntryBitBtn", "Add this data to list", {292, 340, 135, 26});
    remove_ = Button(this, "RemoveUserEntryBitBtn", "Remove user entry", {434, 340, 118, 26});
    auto* water = Button(this, "RestoreWaterDefaultsBitBtn", "Select water defaults", {160, 372, 125, 26});
    auto* air = Button(this, "RestoreAirDefaultsBitBtn", "Select air defaults", {292, 372, 135, 26});
    changeTemp_ = Button(this, "GasViscosityCalcBitBtn", "Change temp.", {434, 372, 118, 26});
    auto* cancel = Button(this, "CancelBitBtn", "Cancel - do not use data", {160, 406, 392, 26});

    connect(liquids_, &QRadioButton::clicked, this, [this] {
        model_.setGroup(FluidGroup::Liquids);
        refresh();
    });
    connect(gases_, &QRadioButton::clicked, this, [this] {
        model_.setGroup(FluidGroup::Gases);
        refresh();
    });
    ConnectRowsAndButtons(this, platform_, model_, list_, use, add, remove_, updating_, [this] { refresh(); });
    connect(water, &QPushButton::clicked, this, [this] {
        model_.waterDefaults();
        refresh();
    });
    connect(air, &QPushButton::clicked, this, [this] {
        model_.airDefaults();
        refresh();
    });
    connect(changeTemp_, &QPushButton::clicked, this, &FluidDatabaseDialog::changeTemperature);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

RightAlignedEdit* FluidDatabaseDialog::makeField(Field f, const char* name, const char* accessible, QRect g, bool number) {
    DataFieldBinding b;
    b.key = [this, f](char32_t& key) { return model_.keyPress(f, key); };
    b.set = [this, f](const std::string& text) { model_.setField(f, text); };
    b.get = [this, f] { return model_.field(f); };
    b.leave = [this, f] { return model_.leave(f); };
    b.refresh = [this] { refresh(); };
    b.updating = &updating_;
    return MakeDataField(this, platform_, name, accessible, g, number, b);
}

void FluidDatabaseDialog::report(const std::optional<Refusal>& refusal) { Report(this, platform_, refusal); }

void FluidDatabaseDialog::refresh() {
    updating_ = true;
    ShowRows(list_, model_.rows());
    list_->setCurrentRow(model_.selected());
    if (model_.selected() < 0) list_->clearSelection();
    for (int i = 0; i < 4; ++i) {
        const QString t = QString::fromStdString(model_.field(static_cast<Field>(i)));
        if (fields_[static_cast<std::size_t>(i)]->text() != t) fields_[static_cast<std::size_t>(i)]->setText(t);
    }
    const bool liquids = model_.group() == FluidGroup::Liquids;
    liquids_->setChecked(liquids);
    gases_->setChecked(!liquids);
    times10_->setVisible(model_.liquidUnitShown());
    minus3_->setVisible(model_.liquidUnitShown());
    changeTemp_->setVisible(model_.changeTempShown());
    gasInfo_->setVisible(!liquids);
    heading_->setText(QString::fromStdString(model_.listHeading()));
    heading_->adjustSize();
    remove_->setEnabled(model_.removeEnabled());
    updating_ = false;
}

void FluidDatabaseDialog::changeTemperature() {
    const auto found = model_.changeTemp();
    if (const auto* refusal = std::get_if<Refusal>(&found)) {
        report(*refusal);
        return;
    }
    if (!gasCalculator_) return;
    if (const auto gas = gasCalculator_->ask(std::get<int>(found))) {
        model_.takeGasData(gas->name, gas->temperature, gas->kinematic, gas->density);
        refresh();
    }
}

std::optional<FluidChoice> FluidDatabaseDialog::ask(std::optional<FluidGroup> group) {
    if (group) model_.setGroup(*group);
    model_.show();
    refresh();
    exec();
    if (!model_.dataUsed()) return std::nullopt;
    return model_.choice();
}

}  // namespace corvane
