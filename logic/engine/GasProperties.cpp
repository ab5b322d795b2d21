#include "logic/engine/GasProperties.h"

#include <cmath>

#include "logic/engine/Units.h"

namespace corvane {

GasState GasStateAt(const GasConstants& g, double celsius) {
    const double tk = celsius + kZeroCelsiusKelvin;
    const double rho = 101325.0 / g.r / tk;
    const double mu = g.mu0 * (kZeroCelsiusKelvin + g.sutherland) / (tk + g.sutherland) * std::pow(tk / kZeroCelsiusKelvin, 1.5);
    return {rho, mu, mu / rho};
}

}  // namespace corvane
