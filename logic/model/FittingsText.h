#pragma once
// The fittings selection string of a panel: 28 fields, each ended by a TAB.
//   fields 1..4   opening index of gate, standard globe, angled globe and
//                 butterfly valve (0 = 100 %, 1 = 75 %, 2 = 50 %, 3 = 25 %)
//   fields 5..27  counts of the 23 fitting kinds
//   field 28      the extra K value as typed
// A field that is not an integer counts as 0; an unreadable extra K is 0.

#include <string>
#include <string_view>

#include "logic/text/Locale.h"

namespace corvane {

inline constexpr int kValveSelectorCount = 4;
inline constexpr int kFittingKindCount = 23;

// 27 fields "0" and the field "0.00", each followed by a TAB.
std::string DefaultFittingsSelection();

// Fitting type (K-table row) charged for one of kind 1..23 with the given
// valve opening selectors.  A selector outside 0..3 counts as 0 (fully
// open), so a valve is never charged as some other fitting.
int FittingTypeOfKind(int kind, const int (&selectors)[kValveSelectorCount]);

// Sum over the 23 kinds of count x FittingK(type, d), plus the extra K.
double FittingsTotalK(std::string_view fittings, double d, const Locale& locale);

// Caption of a panel's fittings button: the number of fittings (the 23
// counts, plus one when the extra K is above 0), or "none".
std::string FittingsCaption(std::string_view fittings, const Locale& locale);

}  // namespace corvane
