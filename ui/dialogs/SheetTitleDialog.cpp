#include "ui/dialogs/SheetTitleDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

SheetTitleDialog::SheetTitleDialog(const SheetTitle& title, QWidget* parent) : QDialog(parent) {
    setObjectName("SheetTitleDialog");
    setWindowTitle("Export calculation sheet");
    const struct {
        const char* caption;
        const char* name;
        const std::string& value;
    } rows[] = {{"&Project", "ProjectEdit", title.project},
                {"&Case", "CaseEdit", title.caseName},
                {"P&repared by", "PreparedByEdit", title.preparedBy},
                {"C&hecked by", "CheckedByEdit", title.checkedBy},
                {"Re&vision", "RevisionEdit", title.revision}};
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        auto* edit = new QLineEdit(QString::fromStdString(rows[i].value), this);
        edit->setObjectName(rows[i].name);
        edit->setMinimumWidth(260);
        // A line of the sheet's title block: no line breaks.
        edit->setMaxLength(120);
        form->addRow(rows[i].caption, edit);
        fields_[i] = edit;
    }
    auto* note = new QLabel("The sheet's title block; any field may stay empty.", this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("Export\u2026");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

SheetTitle SheetTitleDialog::title() const {
    auto text = [this](std::size_t i) { return fields_[i]->text().trimmed().toStdString(); };
    return {text(0), text(1), text(2), text(3), text(4)};
}

std::optional<SheetTitle> SheetTitleDialog::ask(const SheetTitle& last, QWidget* parent) {
    SheetTitleDialog dialog(last, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.title();
}

}  // namespace corvane
