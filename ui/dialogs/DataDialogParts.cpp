#include "ui/dialogs/DataDialogParts.h"

#include <QDialog>
#include <QListWidget>
#include <QTimer>

#include "ui/platform/Platform.h"
#include "ui/widgets/RightAlignedEdit.h"

namespace corvane {

RightAlignedEdit* MakeDataField(QDialog* dialog, Platform* platform, const char* name, const char* accessible, QRect g,
                          bool number, DataFieldBinding b) {
    auto* e = new RightAlignedEdit(dialog);
    e->setObjectName(name);
    e->setAccessibleName(accessible);
    e->setBounds(g.x(), g.y(), g.width(), g.height());
    if (!number) e->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    e->keyFilter = [platform, key = b.key](char32_t& k) {
        const bool ok = key(k);
        if (!ok && platform) platform->beep();
        return ok;
    };
    QObject::connect(e, &QLineEdit::textEdited, dialog, [b, e](const QString& text) {
        if (b.updating && *b.updating) return;
        b.set(text.toStdString());
        // Pasted text may lose what a data file cannot hold.
        const QString kept = QString::fromStdString(b.get());
        if (kept != text) e->setText(kept);
    });
    QObject::connect(e, &RightAlignedEdit::left, dialog, [dialog, platform, b, e] {
        if (!dialog->isVisible() || b.leave()) return;
        if (platform) platform->beep();
        b.refresh();
        QTimer::singleShot(0, e, [e] {
            e->setFocus(Qt::OtherFocusReason);
            e->selectAll();
        });
    });
    return e;
}

void ShowRows(QListWidget* list, const std::vector<std::string>& rows) {
    bool same = list->count() == static_cast<int>(rows.size());
    for (int i = 0; same && i < list->count(); ++i)
        same = list->item(i)->text() == QString::fromStdString(rows[static_cast<std::size_t>(i)]);
    if (same) return;
    list->clear();
    for (const auto& r : rows) list->addItem(QString::fromStdString(r));
}

void Report(QWidget* parent, Platform* platform, const std::optional<Refusal>& refusal) {
    if (refusal && platform) platform->message(parent, refusal->kind, refusal->text);
}

}  // namespace corvane
