#pragma once
// logic/model/valves: a control valve sized by IEC 60534-2-1 - the words
// of its results, notes and faults (corvane-cli and the dialog say the
// same), the valve sizing dialog's model, and the critical pressures of
// the stock liquids.  Includes data, panels and shared below it.
//
// This header: a sized valve as words - the case, the rows of its result
// in the units shown, its notes, and what is wrong with a value.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "logic/engine/ControlValve.h"
#include "logic/text/Locale.h"

namespace corvane {

// A number as the results show it: six significant digits at most,
// without trailing zeros ("70.889", "0.866881", "209231").
std::string ValveNumberText(double value, const Locale& locale);

const char* ValveRegimeName(ValveRegime regime);  // "turbulent", "transitional", "laminar"
const char* ValveNoteText(ValveNote note);        // one sentence

// How a fault's words name another input and the lowest temperature:
// corvane-cli names the option and its text ("--p1 6.8"), the dialog the
// value with its unit ("6.8 bar a").
struct ValveFaultWording {
    std::function<std::string(ValveInput)> other;
    std::string lowestTemperature;  // "-273.15 °C"
};

// What is wrong with an input, in words that follow its name ("the value
// must be above 0"); nothing for a calculation that is refused as a whole.
std::optional<std::string> ValveInputFaultText(const ValveFault& fault, const ValveFaultWording& wording);

// A calculation refused as a whole (more flow than the valve passes choked,
// reducers that take the whole drop, no FR trial accepted); `limitText` is
// the choked flow with its unit.
std::string ValveRefusalText(const ValveFault& fault, const std::string& limitText);

// The caption of a gas flow in its form: "Mass flow", "Flow (actual)",
// "Flow at 0 °C, 1.01325 bar", "Flow at 15 °C, 1.01325 bar".
const char* GasFlowCaption(GasFlowForm form);

// The units a result is shown in: each quantity's unit and the factor from
// the calculation's unit (bar, m3/h or kg/h) to it.
struct ValveDisplay {
    std::string flowCaption = "Flow";  // "Mass flow", "Flow at 0 °C, 1.01325 bar", ...
    std::string flowUnit = "m\u00b3/h";
    double flowFactor = 1;
    std::string pressureUnit = "bar a";
    std::string dropUnit = "bar";
    double pressureFactor = 1;
    bool symbols = false;  // "Fγ" instead of "Fgamma"
};

struct ValveRow {
    std::string caption, value, unit;
};

// The rows of a result: Kv, Cv, the flow, the pressures and the drop,
// whether choked, the regime, the Reynolds number and every factor.
std::vector<ValveRow> ValveResultRows(const ValveResult& result, double p1, bool gas, const ValveDisplay& display,
                                      const Locale& locale);

// The rows as TAB-separated lines after the heading "Control valve, gas,
// IEC 60534-2-1", then a "Note" line for each note (the text corvane-cli
// prints).
std::string ValveResultText(const ValveResult& result, double p1, bool gas, const ValveDisplay& display,
                            const Locale& locale);

}  // namespace corvane
