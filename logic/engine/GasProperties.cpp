#include "logic/engine/GasProperties.h"

#include <cmath>

namespace corvane {

GasState GasStateAt(const GasConstants& g, double celsius) {
    const double tk = celsius + 273.15;
    const double rho = 101325.0 / g.r / tk;
    const double mu = g.mu0 * (273.15 + g.sutherland) / (tk + g.sutherland) * std::pow(tk / 273.15, 1.5);
    return {rho, mu, mu / rho};
}

}  // namespace corvane
