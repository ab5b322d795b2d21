#include "logic/text/TabStops.h"

#include <cmath>

namespace corvane {

std::vector<int> ConvertTabStops(const std::vector<int>& positions, double factor, int baseUnit) {
    std::vector<int> units;
    if (baseUnit <= 0) baseUnit = 1;
    for (int p : positions) units.push_back(static_cast<int>(std::trunc(p * factor / baseUnit)));
    return units;
}

int TabStopPixels(int units, int baseUnit) { return units * baseUnit / 4; }

}  // namespace corvane
