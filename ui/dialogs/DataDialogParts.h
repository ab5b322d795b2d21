#pragma once
// ui/dialogs: one file per dialog; each mirrors its model from logic/model
// and answers from one call (`ask`), never reaching into a panel.
//
// This header: what the fluid and pipe data base dialogs share on screen:
// their entry fields, their tabbed list and their messages.

#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QRect>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "logic/model/panels/PanelControls.h"

class QWidget;

namespace corvane {

class Platform;
class RightAlignedEdit;

// How an entry field talks to its dialog's model.
struct DataFieldBinding {
    std::function<bool(char32_t& key)> key;           // the key rule
    std::function<void(const std::string&)> set;      // the typed text
    std::function<std::string()> get;                 // the text the model keeps
    std::function<bool()> leave;                      // false: the focus stays
    std::function<void()> refresh;                    // the dialog mirrors its model
    const bool* updating = nullptr;                   // true while the dialog mirrors it
};

// An entry field at `g`: right-aligned for a number, left-aligned for a
// text; refused keys and refused leaving beep through the platform.
RightAlignedEdit* MakeDataField(QDialog* dialog, Platform* platform, const char* name, const char* accessible, QRect g,
                          bool number, DataFieldBinding binding);

// The binding of an entry field to field `f` of a data base dialog's model
// (its keyPress, setField, field and leave); `refresh` mirrors the model.
template <typename Model, typename Field>
DataFieldBinding ModelFieldBinding(Model& model, Field f, std::function<void()> refresh, const bool* updating) {
    DataFieldBinding b;
    b.key = [&model, f](char32_t& key) { return model.keyPress(f, key); };
    b.set = [&model, f](const std::string& text) { model.setField(f, text); };
    b.get = [&model, f] { return model.field(f); };
    b.leave = [&model, f] { return model.leave(f); };
    b.refresh = std::move(refresh);
    b.updating = updating;
    return b;
}

// The list shows exactly these rows (refilled only when they differ).
void ShowRows(QListWidget* list, const std::vector<std::string>& rows);

// A refusal as a message box.
void Report(QWidget* parent, Platform* platform, const std::optional<Refusal>& refusal);

// The row list and the Use / Add / Remove buttons of a data base dialog,
// wired to its model: choosing or clicking a row selects it (not while `updating`),
// a double click or Use takes the data and closes the dialog, Add and
// Remove report their refusal; `refresh` mirrors the model afterwards.
template <class Model>
void ConnectRowsAndButtons(QDialog* dialog, Platform* platform, Model& model, QListWidget* list, QPushButton* use,
                           QPushButton* add, QPushButton* remove, const bool& updating,
                           std::function<void()> refresh) {
    QObject::connect(list, &QListWidget::currentRowChanged, dialog, [&model, &updating, refresh](int row) {
        if (updating || row < 0) return;
        model.selectRow(row);
        refresh();
    });
    // A click runs row selection even on the row already selected (which
    // changes no current row); on another row it runs once more, alike.
    QObject::connect(list, &QListWidget::itemClicked, dialog, [&model, &updating, refresh, list](QListWidgetItem* item) {
        if (updating) return;
        model.selectRow(list->row(item));
        refresh();
    });
    QObject::connect(list, &QListWidget::itemDoubleClicked, dialog,
                     [dialog, platform, &model, list, refresh](QListWidgetItem* item) {
                         if (auto refusal = model.doubleClick(list->row(item))) {
                             Report(dialog, platform, refusal);
                             refresh();
                         } else {
                             dialog->accept();
                         }
                     });
    QObject::connect(use, &QPushButton::clicked, dialog, [dialog, platform, &model] {
        if (auto refusal = model.useData()) Report(dialog, platform, refusal);
        else dialog->accept();
    });
    QObject::connect(add, &QPushButton::clicked, dialog, [dialog, platform, &model, refresh] {
        Report(dialog, platform, model.add());
        refresh();
    });
    QObject::connect(remove, &QPushButton::clicked, dialog, [dialog, platform, &model, refresh] {
        Report(dialog, platform, model.remove());
        refresh();
    });
}

}  // namespace corvane
