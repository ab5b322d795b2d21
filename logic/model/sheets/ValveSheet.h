#pragma once
// The calculation sheet of a control valve sized by IEC 60534-2-1: the
// case as entered, the method with each equation used (its number where
// the standard's number is confirmed, its name always), what each equation
// was given and gave in the standard's units to six significant digits (so
// that each can be checked by hand with the printed numbers), and the
// result with its notes.  Laid out and drawn as the panels' sheet is.

#include <string>
#include <utility>
#include <vector>

#include "logic/engine/ControlValve.h"
#include "logic/model/sheets/CalculationSheet.h"
#include "logic/model/valves/ValveSizingModel.h"

namespace corvane {

struct ValveSheetCase {
    bool gas = false;
    LiquidValveCase liquid;
    GasValveCase gasCase;
    ValveResult result;  // a sizing without fault
    // The case as entered: caption, value with its unit.
    std::vector<std::pair<std::string, std::string>> entries;
};

CalculationSheet MakeValveSheet(const ValveSheetCase& c, const std::string& date, const SheetTitle& title,
                                const Locale& locale);
// The sheet of the dialog's case; the model must show a result.
CalculationSheet MakeValveSheet(const ValveSizingModel& model, const std::string& date, const SheetTitle& title);

}  // namespace corvane
