#include "ui/dialogs/PipeDiameterDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "ui/dialogs/DataDialogParts.h"
#include "ui/platform/Platform.h"
#include "ui/widgets/RightAlignedEdit.h"
#include "ui/widgets/TabbedListBox.h"

namespace corvane {
namespace {

using Field = PipeDatabaseModel::Field;
using Source = PipeDatabaseModel::Source;

void Label(QWidget* parent, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->move(x, y);
    l->adjustSize();
}

QPushButton* Button(QWidget* parent, const char* name, const char* text, QRect g) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setGeometry(g);
    b->setAutoDefault(false);
    return b;
}

void SetItems(QComboBox* box, const std::vector<std::string>& items, int selected) {
    QStringList now;
    for (int i = 0; i < box->count(); ++i) now << box->itemText(i);
    QStringList want;
    for (const auto& s : items) want << QString::fromStdString(s);
    if (now != want) {
        box->clear();
        box->addItems(want);
    }
    box->setCurrentIndex(selected);
}

}  // namespace

PipeDiameterDialog::PipeDiameterDialog(PipeDatabaseModel& model, Platform* platform, QWidget* parent)
    : QDialog(parent), model_(model), platform_(platform) {
    setObjectName("TTarnelInternalDiameterForm");
    setWindowTitle("Corvane - Internal diameter data");
    setModal(true);
    setFixedSize(600, 440);

    Label(this, "Pipe type", 8, 8);
    Label(this, "Nominal diameter", 220, 8);
    Label(this, "Internal\nDiameter  mm", 360, 8);
    Label(this, "Internal\nDiameter inch", 480, 8);
    auto field = [this](Field f, const char* name, const char* accessible, QRect g, bool number) {
        return MakeDataField(this, platform_, name, accessible, g, number,
                             ModelFieldBinding(model_, f, [this] { refresh(); }, &updating_));
    };
    fields_[0] = field(Field::Type, "PipeTypeEdit", "Pipe type", {8, 44, 205, 22}, false);
    fields_[1] = field(Field::Nominal, "NominalDiameterEdit", "Nominal diameter", {220, 44, 132, 22}, false);
    fields_[2] = field(Field::Millimetres, "IdMM_RightEdit", "Internal diameter mm", {360, 44, 112, 22}, true);
    fields_[3] = field(Field::Inches, "IdInch_RightEdit", "Internal diameter inch", {480, 44, 112, 22}, true);

    types_ = new QComboBox(this);
    types_->setObjectName("PipeTypeComboBox1");
    types_->setAccessibleName("Choose pipe type");
    types_->setMaxVisibleItems(24);
    types_->setGeometry(8, 74, 205, 22);
    nominals_ = new QComboBox(this);
    nominals_->setObjectName("NominalDiameterComboBox1");
    nominals_->setAccessibleName("Choose nominal diameter");
    nominals_->setMaxVisibleItems(24);
    nominals_->setGeometry(220, 74, 132, 22);

    Label(this, "Pipe diameter listing", 8, 104);
    list_ = new TabbedListBox(this);
    list_->setObjectName("TabListBox1");
    list_->setAccessibleName("Pipes");
    list_->setGeometry(8, 122, 584, 240);
    list_->setTabStops({180, 270, 360}, 5.33);

    auto* use = Button(this, "UseDataBitBtn", "Use this data", {8, 372, 140, 26});
    auto* add = Button(this, "SaveNewEntryBitBtn", "Add this data to list", {156, 372, 150, 26});
    remove_ = Button(this, "RemoveUserEntryBitBtn", "Remove user entry", {314, 372, 140, 26});
    auto* cancel = Button(this, "CancelBitBtn", "Cancel - do not use data", {8, 404, 446, 26});

    connect(types_, &QComboBox::activated, this, [this](int i) {
        model_.chooseType(i);
        refresh();
    });
    connect(nominals_, &QComboBox::activated, this, [this](int i) {
        model_.chooseNominal(i);
        refresh();
    });
    ConnectRowsAndButtons(this, platform_, model_, list_, use, add, remove_, updating_, [this] { refresh(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void PipeDiameterDialog::refresh() {
    updating_ = true;
    ShowRows(list_, model_.rows());
    list_->setCurrentRow(model_.selected());
    SetItems(types_, model_.types(), model_.selectedType());
    SetItems(nominals_, model_.nominals(), model_.selectedNominal());
    for (int i = 0; i < 4; ++i) {
        const QString t = QString::fromStdString(model_.field(static_cast<Field>(i)));
        if (fields_[static_cast<std::size_t>(i)]->text() != t) fields_[static_cast<std::size_t>(i)]->setText(t);
    }
    remove_->setEnabled(model_.removeEnabled());
    updating_ = false;
}

std::optional<std::string> PipeDiameterDialog::ask(bool metric) {
    model_.show();
    refresh();
    exec();
    if (!model_.dataUsed()) return std::nullopt;
    return model_.diameterFor(metric);
}

}  // namespace corvane
