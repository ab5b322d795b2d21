#pragma once
// Second opinions beside a panel's result: the complete isothermal equation
// for a gas case (the panel's unknown by it, and how far the panel's answer
// lies from it), and the fittings by the 2-K and 3-K methods beside the
// size band table, at the case's Reynolds number and diameter.

#include <optional>
#include <string>
#include <vector>

#include "logic/engine/IsothermalGas.h"
#include "logic/model/analysis/Analysis.h"

namespace corvane {

// Above this difference the comparison becomes a validity note.
inline constexpr double kIsothermalNoteLimitPercent = 5.0;

struct IsothermalComparison {
    std::optional<IsothermalFault> fault;  // no isothermal answer, and why
    std::string jsonKey;                   // "pressure_drop_bar", "flow_lmin", "diameter_mm", "length_m"
    double panelValue = 0;                 // the panel's unknown, calculation units
    double isothermalValue = 0;            // the same by the isothermal equation
    double differencePercent = 0;          // (panel - isothermal) / isothermal x 100
    int passes = 0;
};

// The comparison for a calculated gas case; nothing for a liquid or a
// refused case.
std::optional<IsothermalComparison> CompareIsothermal(const PanelModel& panel);
std::optional<IsothermalComparison> CompareIsothermal(const PanelModel& panel, const OperatingPoint& op);

// The comparison as a note ("Isothermal comparison"), and a second note
// ("Gas method differs") where the difference is above 5 %.  Numbers in
// the panel's units and the locale's decimal separator.  ValidityNotes
// lists them with the others.
std::vector<ValidityNote> IsothermalNotes(const PanelModel& panel, const OperatingPoint& op);

// A value of the panel's unknown with its unit as the panel shows it
// (bar or psi; the flow unit; mm or inch; m or ft), with at least four
// significant digits and three decimals.
std::string UnknownText(const PanelModel& panel, double value);

// The fittings by the size band table and by the 2-K and 3-K methods.
struct FittingsComparisonTable {
    std::optional<std::string> message;  // shown instead of the table
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;    // one per kind of fitting, then the extra K
    std::vector<std::vector<std::string>> totals;  // total K, head, difference from the table
};
FittingsComparisonTable CompareFittings(const PanelModel& panel);
FittingsComparisonTable CompareFittings(const PanelModel& panel, const OperatingPoint& op);

// The name of a fitting kind (1..23) as the fittings dialog names it, a
// valve with its opening: "Gate valve 50 % open".
std::string FittingKindName(int kind, const FittingsSelection& fittings);

// The size band of a diameter (mm) as a reader knows it: "4 (to 1 in)".
std::string SizeBandText(double diameter);

}  // namespace corvane
