#pragma once
// The flow-unit lists of a panel: which units each list offers in each unit
// system, their texts in the locale's spelling, and the unit code of a
// list's selection (with the fallback item when nothing is selected).

#include <string>
#include <vector>

#include "logic/engine/Units.h"
#include "logic/text/Locale.h"

namespace corvane {

enum class UnitSystem { Metric, Imperial };
enum class FlowListKind { Liquid, Gas };

// The code of the selected item of a flow-unit list, and the index that
// the list must show selected.  An index outside the list selects the
// fallback item: metric liquid item 0 (code 0), imperial liquid item 0
// (code 5), metric gas item 1 "litre/min" (code 2), imperial gas item 1
// "cu.ft/min" (code 8).
struct FlowUnitChoice {
    int code;
    int index;
    bool operator==(const FlowUnitChoice&) const = default;
};
FlowUnitChoice FlowUnitCode(FlowListKind kind, UnitSystem system, int selectedIndex);

// Item texts of the four flow-unit lists, in order; the metric ones in the
// spelling of the locale ("liter" for US and Canadian English).
std::vector<std::string> FillMetricFlowUnits(const Locale& locale);
std::vector<std::string> FillMetricGasFlowUnits(const Locale& locale);
std::vector<std::string> FillImperialFlowUnits(const Locale& locale);
std::vector<std::string> FillImperialGasFlowUnits(const Locale& locale);

// The items of the list of a kind in a unit system.
std::vector<std::string> FlowUnitItems(FlowListKind kind, UnitSystem system, const Locale& locale);

// The list text of a flow unit code (code outside 0..10: code 0).
std::string FlowUnitText(int code, const Locale& locale);

}  // namespace corvane
