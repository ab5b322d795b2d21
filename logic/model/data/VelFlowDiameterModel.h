#pragma once
// The velocity, flow and diameter calculator ("Set flow rate"): the flow
// that a pipe of a given internal diameter carries at a chosen velocity,
// in the flow unit of the panel that opened it; for a gas the free volume.

#include <optional>
#include <string>

#include "logic/model/panels/PanelModel.h"
#include "logic/text/Locale.h"

namespace corvane {

class VelFlowDiameterModel {
public:
    enum class Field { Diameter, Velocity };
    // What "Use this data" did.
    enum class UseResult { Taken, FocusDiameter, FocusVelocity, Refused };

    explicit VelFlowDiameterModel(const Locale& locale) : locale_(locale) {}

    // Pre-loads the dialog from panel 1 or 4 and recalculates, as on showing.
    void open(const PanelModel& panel);

    const std::string& diameter() const { return diameter_; }
    const std::string& velocity() const { return velocity_; }
    const std::string& flow() const { return flow_; }
    const std::string& diameterUnit() const { return diameterUnit_; }
    const std::string& velocityUnit() const { return velocityUnit_; }
    const std::string& flowUnit() const { return flowUnit_; }
    bool gas() const { return gas_; }
    const std::string& flowAtBarg() const { return flowAtBarg_; }
    double volumeRatio() const { return ratio_; }
    int flowUnitCode() const { return code_; }
    bool dataUsed() const { return dataUsed_; }

    void setText(Field f, std::string text);  // recalculates
    // A key in an entry: Enter recalculates (true); other keys pass the
    // entry rule (false: refused, the window beeps) and empty the flow.
    bool keyPress(Field f, char32_t& key);
    // Leaving an entry recalculates; false when that failed: the field is
    // "?" if it was empty and must get the focus back (the window beeps).
    bool leave(Field f);
    UseResult useData();

    // Empties the flow and computes it anew; false when it failed.
    bool recalculate();

private:
    Locale locale_;
    std::string diameter_ = "25.000";
    std::string velocity_ = "6.000";
    std::string flow_ = "100.000";
    std::string diameterUnit_ = "mm";
    std::string velocityUnit_ = "m/s";
    std::string flowUnit_;
    std::string flowAtBarg_;
    bool metric_ = true;
    bool gas_ = false;
    double ratio_ = 1.0;
    int code_ = 0;
    bool dataUsed_ = false;
};

}  // namespace corvane
