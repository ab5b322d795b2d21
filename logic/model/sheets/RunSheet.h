#pragma once
// The calculation sheet of a pipe run: its entries (the liquid and where
// it comes from, the source and sink, each section with its pipe, fittings
// and transition, the pump), the method with each formula and its source,
// what every formula was given and gave (so that each can be checked by
// hand), the results per section and per node, the pump's operating point,
// power and NPSH, the notes, and the grade-line plot.  Laid out and drawn
// as the panels' sheet is (CalculationSheet.h).

#include <string>

#include "logic/model/runs/RunCalculation.h"
#include "logic/model/sheets/CalculationSheet.h"

namespace corvane {

// The sheet of a calculated run (outcome.status Ok); `fileName` is the run
// file's name without its folder (empty: not saved).
CalculationSheet MakeRunSheet(const RunDocument& document, const RunOutcome& outcome, const std::string& fileName,
                              const std::string& date, const SheetTitle& title, const Locale& locale);

}  // namespace corvane
