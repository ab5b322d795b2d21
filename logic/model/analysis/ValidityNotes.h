#pragma once
// Where a panel's method stops being valid, in words: the critical zone,
// Haaland's ranges, a gas's pressure drop against its inlet pressure, and
// the isothermal comparison's notes (SecondOpinion.h), gathered in one list
// for the analysis window and the sheet.

#include <vector>

#include "logic/model/analysis/Analysis.h"
#include "logic/model/panels/PanelModel.h"

namespace corvane {

std::vector<ValidityNote> ValidityNotes(const PanelModel& panel);

}  // namespace corvane
