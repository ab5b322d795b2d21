#include "logic/engine/Fittings.h"

#include <cstddef>

#include "logic/engine/FittingTable.h"

namespace corvane {

int FittingTypeOfKind(int kind, const std::array<int, kValveSelectorCount>& openings) {
    // Rows 1 to 15 are kinds 1 to 15; each valve has a row per opening from
    // row 16 on; the kinds after the valves follow those rows.
    const int lastValveKind = kFirstValveKind + kValveSelectorCount - 1;
    if (kind >= 1 && kind < kFirstValveKind) return kind;
    if (kind >= kFirstValveKind && kind <= lastValveKind) {
        const auto valve = static_cast<std::size_t>(kind - kFirstValveKind);
        const int opening = openings[valve] >= 0 && openings[valve] < kOpeningCount ? openings[valve] : 0;
        return kFirstValveKind + kOpeningCount * static_cast<int>(valve) + opening;
    }
    if (kind > lastValveKind && kind <= kFittingKindCount) return kind + kValveSelectorCount * (kOpeningCount - 1);
    return 0;
}

double FittingsTotalK(const FittingsSelection& fittings, double d) {
    double total = 0.0;
    for (int kind = 1; kind <= kFittingKindCount; ++kind) {
        const int n = fittings.counts[static_cast<std::size_t>(kind - 1)];
        if (n != 0) total += n * FittingK(FittingTypeOfKind(kind, fittings.openings), d);
    }
    total += fittings.extraK;
    return total;
}

}  // namespace corvane
