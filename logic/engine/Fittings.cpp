#include "logic/engine/Fittings.h"

#include <cstddef>

#include "logic/engine/FittingTable.h"

namespace corvane {

int FittingTypeOfKind(int kind, const std::array<int, kValveSelectorCount>& openings) {
    const auto opening = [&](std::size_t valve) {
        const int s = openings[valve];
        return s >= 0 && s <= 3 ? s : 0;
    };
    if (kind >= 1 && kind <= 15) return kind;
    switch (kind) {
        case 16: return 16 + opening(0);
        case 17: return 20 + opening(1);
        case 18: return 24 + opening(2);
        case 19: return 28 + opening(3);
        default: break;
    }
    if (kind >= 20 && kind <= 23) return kind + 12;
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
