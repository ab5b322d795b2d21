#include "logic/model/data/VelFlowDiameterModel.h"

#include <cmath>
#include <numbers>

#include "logic/engine/PipeFlow.h"
#include "logic/engine/Units.h"
#include "logic/text/NumberText.h"

namespace corvane {

void VelFlowDiameterModel::open(const PanelModel& panel) {
    double pressure = ReadEntryNumber(panel.text(Ctl::Barg_RightEdit), locale_);
    diameter_ = panel.text(Ctl::IDmm_RightEdit);
    diameterUnit_ = panel.text(Ctl::ID_UnitsLabel);
    velocityUnit_ = panel.text(Ctl::FluidVelocity_UnitsLabel);
    gas_ = panel.gasMode();
    const Ctl list = gas_ ? Ctl::Gas_FlowUnitComboBox : Ctl::FlowUnitComboBox;
    flowUnit_ = panel.list(list).selectedText();
    metric_ = panel.metric();
    flowAtBarg_.clear();
    if (gas_) {
        flowAtBarg_ = "(at " + panel.text(Ctl::Barg_RightEdit) + " " + panel.text(Ctl::BargHdLabel) + ")";
        if (!metric_) pressure = PressureToBar(kPsi, pressure);
        ratio_ = GasVolumeRatio(pressure);
    } else {
        ratio_ = 1.0;
    }
    // A list without a selection counts as its fallback unit.
    code_ = FlowUnitCode(gas_ ? FlowListKind::Gas : FlowListKind::Liquid, panel.unitSystem(),
                         panel.list(list).selected)
                .code;
    if (flowUnit_.empty()) flowUnit_ = FlowUnitText(code_, locale_);

    // Showing: nothing used yet, the flow computed, texts localised.
    dataUsed_ = false;
    recalculate();
    flowAtBarg_ = FixDecimalSeparator(flowAtBarg_, locale_);
    velocity_ = FixDecimalSeparator(velocity_, locale_);
}

bool VelFlowDiameterModel::recalculate() {
    flow_.clear();
    double d = ReadEntryNumber(diameter_, locale_);
    double v = ReadEntryNumber(velocity_, locale_);
    if (!metric_) {
        d = d * kMillimetresPerInch;
        v = v / kFeetPerMetre;
    }
    const double m = d / 1000.0;
    const double q = m > 0 ? m * m / 4.0 * v * std::numbers::pi * 60.0 * 1000.0 : 0.0;
    const double shown = FlowFromLitresPerMin(code_, q / ratio_);
    if (!std::isfinite(shown)) return false;
    const auto text = WriteEntryNumber(shown, code_ == kCubicFootPerSec ? 6 : 3, locale_);
    if (!text) return false;
    flow_ = *text;
    return true;
}

void VelFlowDiameterModel::setText(Field f, std::string text) {
    (f == Field::Diameter ? diameter_ : velocity_) = std::move(text);
    recalculate();
}

bool VelFlowDiameterModel::keyPress(Field f, char32_t& key) {
    if (key == 13) {
        recalculate();
        return true;
    }
    const bool allowed = IsAllowedEntryKey(f == Field::Diameter ? diameter_ : velocity_, key, locale_);
    flow_.clear();
    return allowed;
}

bool VelFlowDiameterModel::leave(Field f) {
    if (recalculate()) return true;
    std::string& text = f == Field::Diameter ? diameter_ : velocity_;
    if (text.empty()) text = "?";
    return false;
}

VelFlowDiameterModel::UseResult VelFlowDiameterModel::useData() {
    if (!(ReadEntryNumber(diameter_, locale_) > 0)) {
        flow_.clear();
        return UseResult::FocusDiameter;
    }
    if (!(ReadEntryNumber(velocity_, locale_) > 0)) {
        flow_.clear();
        return UseResult::FocusVelocity;
    }
    if (!(ReadEntryNumber(flow_, locale_) > 0)) return UseResult::Refused;
    dataUsed_ = true;
    return UseResult::Taken;
}

}  // namespace corvane
