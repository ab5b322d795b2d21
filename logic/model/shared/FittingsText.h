#pragma once
// The fittings selection string of a panel: 28 fields, each ended by a TAB.
//   fields 1..4   opening index of gate, standard globe, angled globe and
//                 butterfly valve (0 = 100 %, 1 = 75 %, 2 = 50 %, 3 = 25 %)
//   fields 5..27  counts of the 23 fitting kinds
//   field 28      the extra K value as typed
// A field that is not an integer counts as 0; an unreadable extra K is 0.

#include <string>
#include <string_view>
#include <vector>

#include "logic/engine/Fittings.h"
#include "logic/text/Locale.h"

namespace corvane {

inline constexpr int kFittingsFieldCount = kValveSelectorCount + kFittingKindCount + 1;

// 27 fields "0" and the field "0.00", each followed by a TAB.
std::string DefaultFittingsSelection();

// The 28 fields as text; missing ones are empty, anything after the TAB of
// field 28 is ignored.
std::vector<std::string> FittingsFields(std::string_view fittings);

// The string read as numbers for the calculation.
FittingsSelection ParseFittings(std::string_view fittings, const Locale& locale);

// Caption of a panel's fittings button: the number of fittings (the 23
// counts, plus one when the extra K is above 0), or "none".
std::string FittingsCaption(std::string_view fittings, const Locale& locale);

}  // namespace corvane
