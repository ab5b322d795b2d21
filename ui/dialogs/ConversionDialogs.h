#pragma once
// The four unit conversion dialogs: a list of the target system's flow
// units, "Convert" and "Use current values" (also Escape); the close box
// cancels.  Each keeps its selection between openings.

#include <QColor>
#include <QDialog>
#include <array>

#include "logic/model/panels/PanelControls.h"
#include "logic/text/Locale.h"

class QListWidget;

namespace corvane {

class ConversionDialogView : public QDialog {
    Q_OBJECT
public:
    ConversionDialogView(ConversionDialog kind, const Locale& locale, QWidget* parent = nullptr);

    // Shows the dialog modally in the panel's colour, centred on `over`.
    ConversionAnswer ask(const QColor& colour, QWidget* over);
    QListWidget* units() const { return list_; }

protected:
    void reject() override;  // Escape: "Use current values"
    void closeEvent(QCloseEvent* event) override;

private:
    QListWidget* list_;
    ConversionChoice choice_ = ConversionChoice::Closed;
};

// The four dialogs, made once.
class ConversionDialogs {
public:
    ConversionDialogs(const Locale& locale, QWidget* parent);
    ConversionAnswer ask(ConversionDialog kind, const QColor& colour, QWidget* over);
    ConversionDialogView* dialog(ConversionDialog kind) { return dialogs_[static_cast<std::size_t>(kind)]; }

private:
    std::array<ConversionDialogView*, 4> dialogs_;
};

}  // namespace corvane
