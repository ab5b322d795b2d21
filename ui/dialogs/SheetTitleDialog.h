#pragma once
// The export dialog of the calculation sheet: the title block (project,
// case, prepared by, checked by, revision), filled with what was entered
// last; any field may stay empty.

#include <QDialog>
#include <array>
#include <optional>

#include "logic/model/sheets/CalculationSheet.h"

class QLineEdit;

namespace corvane {

class SheetTitleDialog : public QDialog {
    Q_OBJECT
public:
    explicit SheetTitleDialog(const SheetTitle& title, QWidget* parent = nullptr);

    SheetTitle title() const;
    QLineEdit* field(int index) const { return fields_[static_cast<std::size_t>(index)]; }

    // The title block, or nothing when cancelled.
    static std::optional<SheetTitle> ask(const SheetTitle& last, QWidget* parent);

private:
    std::array<QLineEdit*, 5> fields_{};
};

}  // namespace corvane
