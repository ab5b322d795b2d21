#pragma once
// What the fluid and pipe data base dialogs share on screen: their entry
// fields, their tabbed list and their messages.

#include <QRect>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "panels/PanelTypes.h"

class QDialog;
class QListWidget;
class QWidget;

namespace corvane {

class Platform;
class TRightEdit;

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
TRightEdit* MakeDataField(QDialog* dialog, Platform* platform, const char* name, const char* accessible, QRect g,
                          bool number, DataFieldBinding binding);

// The list shows exactly these rows (refilled only when they differ).
void ShowRows(QListWidget* list, const std::vector<std::string>& rows);

// A refusal as a message box.
void Report(QWidget* parent, Platform* platform, const std::optional<Refusal>& refusal);

}  // namespace corvane
