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
    setFixedSize(640, 500);

    Label(this, "", "Fluid name", 8, 8);
    Label(this, "", "Temperature \ndeg.C (deg.F)", 170, 8);
    Label(this, "", "Kinematic Viscosity\nCentistokes", 300, 8);
    Label(this, "", "Density\nkg / m\u00b3", 420, 8);
    times10_ = Label(this, "Times10Label", "x 10", 462, 22);
    minus3_ = Label(this, "Minus3Label", "-3", 488, 17);
    QFont small = minus3_->font();
    small.setPixelSize(8);
    minus3_->setFont(small);

    auto field = [this](Field f, const char* name, const char* accessible, QRect g, bool number) {
        return MakeDataField(this, platform_, name, accessible, g, number,
                             ModelFieldBinding(model_, f, [this] { refresh(); }, &updating_));
    };
    fields_[0] = field(Field::Name, "FluidNameEdit", "Fluid name", {8, 44, 155, 22}, false);
    fields_[1] = field(Field::Temperature, "FluidTemperatureEdit", "Temperature", {170, 44, 122, 22}, false);
    fields_[2] = field(Field::Viscosity, "CentistokesRightEdit", "Kinematic viscosity", {300, 44, 112, 22}, true);
    fields_[3] = field(Field::Density, "DensityRightEdit", "Density", {420, 44, 112, 22}, true);
    makeLiquidStrip();

    heading_ = Label(this, "FluidDataListingHdLabel", "Fluid data", 8, 136);
    gasInfo_ = Label(this, "LabelGasDataInfo1", "Gas Data @ 0.000 barg", 300, 136);
    list_ = new TabbedListBox(this);
    list_->setObjectName("TabListBox1");
    list_->setAccessibleName("Fluids");
    list_->setGeometry(8, 154, 624, 220);
    list_->setTabStops({180, 270, 360}, 5.33);
    Label(this, "", "Viscosity relationship :   Centistokes = Centipoise / Density", 8, 378);

    auto* groupBox = new QGroupBox(this);
    groupBox->setObjectName("LiquidsRadioGroup");
    groupBox->setGeometry(8, 398, 140, 64);
    liquids_ = new QRadioButton("Liquids", groupBox);
    liquids_->setObjectName("LiquidsRadioButton");
    liquids_->move(10, 10);
    gases_ = new QRadioButton("Gases", groupBox);
    gases_->setObjectName("GasesRadioButton");
    gases_->move(10, 34);

    auto* use = Button(this, "UseDataBitBtn", "Use this data", {160, 400, 125, 26});
    auto* add = Button(this, "SaveNewEntryBitBtn", "Add this data to list", {292, 400, 135, 26});
    remove_ = Button(this, "RemoveUserEntryBitBtn", "Remove user entry", {434, 400, 118, 26});
    auto* water = Button(this, "RestoreWaterDefaultsBitBtn", "Select water defaults", {160, 432, 125, 26});
    auto* air = Button(this, "RestoreAirDefaultsBitBtn", "Select air defaults", {292, 432, 135, 26});
    changeTemp_ = Button(this, "GasViscosityCalcBitBtn", "Change temp.", {434, 432, 118, 26});
    auto* cancel = Button(this, "CancelBitBtn", "Cancel - do not use data", {160, 466, 392, 26});

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

// The vapour pressure beside the four fields, and under them the strip
// that fills them for another temperature: water by IAPWS or the listed
// fluid between two of its rows, with the method that found the numbers.
void FluidDatabaseDialog::makeLiquidStrip() {
    Label(this, "", "Vapour pressure\nbar a", 540, 8);
    vapourPressure_ = new RightAlignedEdit(this);
    vapourPressure_->setObjectName("VapourPressureRightEdit");
    vapourPressure_->setAccessibleName("Vapour pressure");
    vapourPressure_->setBounds(540, 44, 92, 22);
    vapourPressure_->setReadOnly(true);
    vapourPressure_->setFocusPolicy(Qt::NoFocus);

    Label(this, "", "At temperature  deg.C", 8, 81);
    DataFieldBinding b;
    b.key = [this](char32_t& key) { return model_.keyPressLiquidTemperature(key); };
    b.set = [this](const std::string& text) { model_.setLiquidTemperature(text); };
    b.get = [this] { return model_.liquidTemperature(); };
    b.leave = [] { return true; };
    b.refresh = [this] { refresh(); };
    b.updating = &updating_;
    liquidTemperature_ = MakeDataField(this, platform_, "LiquidTemperatureRightEdit", "Temperature for the properties, degrees Celsius",
                                       {130, 77, 70, 22}, true, b);
    auto* water = Button(this, "WaterIapwsBitBtn", "Water (IAPWS)", {210, 75, 125, 26});
    water->setAccessibleName("Water (IAPWS)");
    interpolate_ = Button(this, "InterpolateRowsBitBtn", "Interpolate between rows", {342, 75, 170, 26});
    interpolate_->setAccessibleName("Interpolate between rows");
    method_ = new QLabel(this);
    method_->setObjectName("LiquidMethodLabel");
    method_->setAccessibleName("Method");
    method_->setGeometry(8, 104, 624, 28);
    method_->setWordWrap(true);
    method_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(water, &QPushButton::clicked, this, [this] {
        report(model_.useWater());
        refresh();
    });
    connect(interpolate_, &QPushButton::clicked, this, [this] {
        report(model_.interpolateRows());
        refresh();
    });
}

void FluidDatabaseDialog::report(const std::optional<Refusal>& refusal) { Report(this, platform_, refusal); }

void FluidDatabaseDialog::refresh() {
    updating_ = true;
    ShowRows(list_, model_.rows());
    list_->setCurrentRow(model_.selected());
    if (model_.selected() < 0) list_->clearSelection();
    for (int i = 0; i < 4; ++i) {
        const QString t = QString::fromStdString(model_.field(static_cast<Field>(i)));
        // A text the program writes shows from its beginning.
        RightAlignedEdit* field = fields_[static_cast<std::size_t>(i)];
        if (field->text() != t) {
            field->setText(t);
            field->setCursorPosition(0);
        }
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
    const QString temperature = QString::fromStdString(model_.liquidTemperature());
    if (liquidTemperature_->text() != temperature) liquidTemperature_->setText(temperature);
    vapourPressure_->setText(QString::fromStdString(model_.vapourPressure()));
    method_->setText(QString::fromStdString(model_.method()));
    interpolate_->setEnabled(model_.interpolateShown());
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
