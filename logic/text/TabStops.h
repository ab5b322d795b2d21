#pragma once
// Tab stops of a tabbed list: each position p at scale `factor` becomes
// trunc(p x factor / b) stop units, a quarter of the base unit b (the
// average character width in pixels) each.

#include <vector>

namespace corvane {

std::vector<int> ConvertTabStops(const std::vector<int>& positions, double factor, int baseUnit);

// Stop units to pixels: units x b / 4.
int TabStopPixels(int units, int baseUnit);

}  // namespace corvane
