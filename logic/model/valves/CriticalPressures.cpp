#include "logic/model/valves/CriticalPressures.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace corvane {

namespace {

struct CriticalPressure {
    const char* name;
    double bar;
};

// Each value with its source; a liquid without a published value here
// (the oils, fuels, glycols and mixtures) has its critical pressure typed.
constexpr CriticalPressure kCriticalPressures[] = {
    // IAPWS R1-76(2014): 22.064 MPa.
    {"Water", kWaterCriticalPressureBar},
    // K. M. de Reuck and R. J. B. Craven, Methanol: International
    // Thermodynamic Tables of the Fluid State 12, IUPAC, Blackwell 1993:
    // 8.21585 MPa.
    {"Methanol", 82.1585},
    // J. A. Schroeder, S. G. Penoncello, J. S. Schroeder, "A fundamental
    // equation of state for ethanol", J. Phys. Chem. Ref. Data 43 (2014)
    // 043102: 6.268 MPa.
    {"Ethanol", 62.68},
};

std::string Folded(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    s = s.substr(first, s.find_last_not_of(' ') - first + 1);
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return c < 0x80 ? static_cast<char>(std::tolower(c)) : static_cast<char>(c); });
    return out;
}

}  // namespace

std::optional<double> StockCriticalPressure(std::string_view name) {
    const std::string wanted = Folded(name);
    for (const CriticalPressure& c : kCriticalPressures)
        if (Folded(c.name) == wanted) return c.bar;
    return std::nullopt;
}

}  // namespace corvane
