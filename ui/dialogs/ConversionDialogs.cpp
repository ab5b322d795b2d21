#include "ui/dialogs/ConversionDialogs.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "logic/model/panels/ConversionDialogContent.h"

namespace corvane {

ConversionDialogView::ConversionDialogView(ConversionDialog kind, const Locale& locale, QWidget* parent)
    : QDialog(parent) {
    const ConversionDialogContent content = ConversionDialogContentOf(kind, locale);
    setObjectName(QString::fromStdString(content.className));
    setWindowTitle(QString::fromStdString(content.caption));
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* label1 = new QLabel(QString::fromStdString(content.label1), this);
    label1->setObjectName("Label1");
    auto* label2 = new QLabel(QString::fromStdString(content.label2), this);
    label2->setObjectName("Label2");
    list_ = new QListWidget(this);
    list_->setObjectName("FlowUnitListBox1");
    list_->setAccessibleName("Flow unit");
    for (const auto& u : content.units) list_->addItem(QString::fromStdString(u));
    list_->setCurrentRow(content.initialIndex);
    list_->setFixedHeight(list_->sizeHintForRow(0) * static_cast<int>(content.units.size()) + 6);

    auto* convert = new QPushButton("Convert", this);
    convert->setObjectName("BitBtn1");
    convert->setDefault(true);
    auto* current = new QPushButton("Use current values", this);
    current->setObjectName("UseCurrentValuesBitBtn");
    connect(convert, &QPushButton::clicked, this, [this] {
        choice_ = ConversionChoice::Convert;
        accept();
    });
    connect(current, &QPushButton::clicked, this, [this] {
        choice_ = ConversionChoice::UseCurrentValues;
        accept();
    });
    connect(list_, &QListWidget::itemDoubleClicked, convert, &QPushButton::click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addWidget(label2);
    layout->addWidget(list_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(convert);
    buttons->addWidget(current);
    layout->addLayout(buttons);
}

void ConversionDialogView::reject() {
    // Escape answers "Use current values"; the close box is told apart in
    // closeEvent.
    choice_ = ConversionChoice::UseCurrentValues;
    QDialog::accept();
}

void ConversionDialogView::closeEvent(QCloseEvent* event) {
    choice_ = ConversionChoice::Closed;
    event->accept();
    done(QDialog::Rejected);
}

ConversionAnswer ConversionDialogView::ask(const QColor& colour, QWidget* over) {
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    setAutoFillBackground(true);
    adjustSize();
    if (over) move(over->geometry().center() - rect().center());
    choice_ = ConversionChoice::Closed;
    exec();
    return {choice_, list_->currentRow()};
}

ConversionDialogs::ConversionDialogs(const Locale& locale, QWidget* parent) {
    for (int i = 0; i < 4; ++i)
        dialogs_[static_cast<std::size_t>(i)] = new ConversionDialogView(static_cast<ConversionDialog>(i), locale, parent);
}

ConversionAnswer ConversionDialogs::ask(ConversionDialog kind, const QColor& colour, QWidget* over) {
    return dialog(kind)->ask(colour, over);
}

}  // namespace corvane
