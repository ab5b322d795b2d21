#pragma once
// The weight of flow readout: the mass of the flow per second, minute or
// hour, in the time base of the panel's flow unit.

#include <string>

#include "logic/text/Locale.h"

namespace corvane {

// " Weight = 99.800 kgs / min": m = Q x density / 1000 kg/min, per second
// for codes 0 and 7 and any code above 10, per hour for codes 3, 4 and 9,
// per minute otherwise; pounds (x 2.204) when imperial.  Q in l/min,
// density in kg/m3.  Empty when the mass cannot be written.
std::string FormatFlowWeight(int flowUnitCode, bool imperial, double density, double q, const Locale& locale);

}  // namespace corvane
