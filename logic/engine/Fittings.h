#pragma once
// A panel's fittings as numbers: the opening of its four valve kinds, the
// count of each of the 23 fitting kinds and an extra K, and the total
// resistance coefficient K they make in a pipe of a given diameter.

#include <array>

namespace corvane {

inline constexpr int kValveSelectorCount = 4;
inline constexpr int kFittingKindCount = 23;
// Openings of a valve: 100 %, 75 %, 50 % and 25 %.
inline constexpr int kOpeningCount = 4;
// Kinds 16 to 19 are the valves whose openings the selection holds, in the
// order of the openings.
inline constexpr int kFirstValveKind = 16;

struct FittingsSelection {
    // Opening index of gate, standard globe, angled globe and butterfly
    // valve (0 = 100 %, 1 = 75 %, 2 = 50 %, 3 = 25 %).
    std::array<int, kValveSelectorCount> openings{};
    std::array<int, kFittingKindCount> counts{};  // of kinds 1..23
    double extraK = 0;
    bool operator==(const FittingsSelection&) const = default;
};

// Fitting type (K-table row) charged for one of kind 1..23 with the given
// valve openings.  An opening outside 0..3 counts as 0 (fully open), so a
// valve is never charged as some other fitting.
int FittingTypeOfKind(int kind, const std::array<int, kValveSelectorCount>& openings);

// Sum over the 23 kinds of count x FittingK(type, d), plus the extra K:
//   K = sum(count_i x K_i) + K_extra
// (losses of fittings in series add; Crane TP-410).  Example: two standard
// bends and a gate valve at 50 % in 50 mm give 2 x 0.57 + 5.25 = 6.39 (test
// FittingsTotalK.TwoBendsAndAHalfOpenGateValve).
double FittingsTotalK(const FittingsSelection& fittings, double d);

}  // namespace corvane
