#pragma once
// "Approximate properties of some gases" on screen.

#include <QDialog>
#include <optional>
#include <string>

#include "logic/model/data/GasPropertiesModel.h"

class QComboBox;

namespace corvane {

class RightAlignedEdit;

struct GasChoice {
    std::string name, temperature, kinematic, density;
};

class GasViscosityDialog : public QDialog {
    Q_OBJECT
public:
    explicit GasViscosityDialog(const Locale& locale, QWidget* parent = nullptr);

    // Opens with the gas preselected; the gas data when " OK - Use this
    // data" closed it.
    std::optional<GasChoice> ask(int gas);
    GasPropertiesModel& model() { return model_; }

private:
    void recalculate();

    GasPropertiesModel model_;
    QComboBox* gas_;
    QComboBox* temperature_;
    RightAlignedEdit* r_;
    RightAlignedEdit* density_;
    RightAlignedEdit* kinematic_;
    RightAlignedEdit* dynamic_;
};

}  // namespace corvane
