#pragma once
// Helpers shared by the panel tests.

#include <string>

#include "logic/model/panels/PanelModel.h"
#include "logic/text/Locale.h"

namespace corvane::test {

inline FluidChoice Air() { return {"Air", "20\u00b0C (68\u00b0F)", "15.100000", "1.204700", true}; }
inline FluidChoice Water() { return {"Water", "20\u00b0C (68\u00b0F)", "1.004000", "0.998000", false}; }

inline Locale UsLocale() { return Locale{'.', true}; }

// A fittings selection string: 4 valve openings, 23 counts, the extra K.
inline std::string Fittings(std::initializer_list<int> openings, std::initializer_list<std::pair<int, int>> counts,
                            const std::string& extraK = "0.00") {
    int fields[27] = {};
    int i = 0;
    for (int o : openings) fields[i++] = o;
    for (auto [kind, n] : counts) fields[3 + kind] = n;
    std::string out;
    for (int f : fields) out += std::to_string(f) + "\t";
    return out + extraK + "\t";
}

}  // namespace corvane::test
