#include "ui/dialogs/GasViscosityDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "ui/widgets/RightAlignedEdit.h"

namespace corvane {
namespace {

QLabel* Label(QWidget* parent, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->move(x, y);
    return l;
}

RightAlignedEdit* Result(QWidget* parent, const char* name, const char* accessible, int y) {
    auto* e = new RightAlignedEdit(parent);
    e->setObjectName(name);
    e->setAccessibleName(accessible);
    e->setBounds(150, y, 90, 22);
    e->setReadOnly(true);
    e->setPassesFocus(true);
    return e;
}

}  // namespace

GasViscosityDialog::GasViscosityDialog(const Locale& locale, QWidget* parent) : QDialog(parent), model_(locale) {
    setObjectName("TViscosityCalculatorForm");
    setWindowTitle("Approximate properties of some gases");
    setModal(true);
    setFixedSize(420, 250);

    Label(this, "Gas", 12, 12);
    gas_ = new QComboBox(this);
    gas_->setObjectName("GasNameComboBox");
    gas_->setAccessibleName("Gas");
    gas_->setMaxVisibleItems(24);
    gas_->setGeometry(12, 28, 200, 22);
    for (const auto& n : GasNames()) gas_->addItem(QString::fromStdString(n));
    Label(this, "Temperature", 230, 12);
    temperature_ = new QComboBox(this);
    temperature_->setObjectName("TemperatureComboBox");
    temperature_->setAccessibleName("Temperature");
    temperature_->setEditable(true);
    temperature_->setMaxVisibleItems(32);
    temperature_->setGeometry(230, 28, 150, 22);
    for (const auto& t : GasTemperatureEntries()) temperature_->addItem(QString::fromStdString(t));
    gas_->setCurrentIndex(0);
    temperature_->setCurrentIndex(20);

    Label(this, "Individual\nGas constant", 12, 62);
    r_ = Result(this, "IndividualGasConstantRightEdit", "Individual gas constant", 66);
    Label(this, "Density", 12, 100);
    density_ = Result(this, "GasDensityRightEdit", "Density", 98);
    Label(this, " kg/m\u00b3", 244, 102);
    Label(this, "Kinematic viscosity", 12, 132);
    kinematic_ = Result(this, "KinematicViscosityRightEdit", "Kinematic viscosity", 130);
    Label(this, "m\u00b2/s x 10\u207b\u2076 (Centistokes)", 244, 134);
    Label(this, "Dynamic viscosity", 12, 164);
    dynamic_ = Result(this, "DynamicViscosityRightEdit", "Dynamic viscosity", 162);
    Label(this, "Pa.s x 10\u207b\u2076 (Centipoise x 10\u00b3)", 244, 166);

    auto* take = new QPushButton(" OK - Use this data", this);
    take->setObjectName("TransferDataBitBtn");
    take->setDefault(true);
    take->setGeometry(12, 206, 180, 28);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("OKBitBtn");
    cancel->setGeometry(228, 206, 150, 28);
    connect(take, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    connect(gas_, &QComboBox::currentIndexChanged, this, [this](int i) {
        model_.chooseGas(i);
        recalculate();
    });
    connect(temperature_, &QComboBox::currentTextChanged, this, [this](const QString& t) {
        model_.chooseTemperature(t.toStdString());
        recalculate();
    });
    recalculate();
}

void GasViscosityDialog::recalculate() {
    const GasValues v = model_.values();
    r_->setText(QString::fromStdString(v.r));
    density_->setText(QString::fromStdString(v.density));
    kinematic_->setText(QString::fromStdString(v.kinematic));
    dynamic_->setText(QString::fromStdString(v.dynamic));
}

std::optional<GasChoice> GasViscosityDialog::ask(int gas) {
    gas_->setCurrentIndex(gas);
    model_.chooseGas(gas);
    recalculate();
    temperature_->setFocus();
    if (exec() != QDialog::Accepted) return std::nullopt;
    const GasValues v = model_.values();
    return GasChoice{model_.gasName(), model_.temperature(), v.kinematic, v.density};
}

}  // namespace corvane
