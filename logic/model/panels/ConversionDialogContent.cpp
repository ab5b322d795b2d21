#include "logic/model/panels/ConversionDialogContent.h"

#include "logic/model/shared/FlowUnitLists.h"

namespace corvane {

ConversionDialogContent ConversionDialogContentOf(ConversionDialog kind, const Locale& locale) {
    const bool toMetric = kind == ConversionDialog::LiquidToMetric || kind == ConversionDialog::GasToMetric;
    const bool gas = kind == ConversionDialog::GasToMetric || kind == ConversionDialog::GasToImperial;
    ConversionDialogContent s;
    s.className = std::string(gas ? "TGasConvertTo" : "TConvertTo") + (toMetric ? "MetricForm" : "ImperialForm");
    s.caption = toMetric ? "Metric equivalents" : "Imperial equivalents";
    s.label1 = toMetric ? "To convert values to Metric equivalents " : "To convert values to Imperial equivalents ";
    s.label2 = "Choose a prefered flow unit and click convert";
    s.units = FlowUnitItems(gas ? FlowListKind::Gas : FlowListKind::Liquid,
                            toMetric ? UnitSystem::Metric : UnitSystem::Imperial, locale);
    s.initialIndex = toMetric ? 2 : 1;
    return s;
}

}  // namespace corvane
