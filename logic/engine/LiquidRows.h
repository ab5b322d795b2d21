#pragma once
// A liquid between two rows of a table that differ only in temperature:
// the kinematic viscosity by Andrade's form, ln nu = A + B / T with T in
// kelvin, through the two neighbouring rows; the density linearly in the
// temperature.  Never beyond the rows: a temperature outside them is
// refused.

#include <cstddef>
#include <optional>
#include <vector>

namespace corvane {

// One row: its temperature (degC), kinematic viscosity and density (any
// units; the interpolation keeps them).
struct LiquidRow {
    double celsius = 0;
    double viscosity = 0;
    double density = 0;
};

enum class RowFault { TooFewRows, OutsideRows };

struct RowInterpolation {
    std::optional<RowFault> fault;
    std::size_t below = 0, above = 0;  // the rows used (equal at a row's own temperature)
    double viscosity = 0;
    double density = 0;
};

// `rows` sorted by temperature, no two at the same temperature, every
// temperature above absolute zero and every viscosity above 0.
//   ln nu = (1 - w) ln nu1 + w ln nu2,  w = (1/T - 1/T1) / (1/T2 - 1/T1)
//   rho   = rho1 + (T - T1) / (T2 - T1) (rho2 - rho1)
// Andrade's form holds for liquids well below their boiling point, between
// rows a few tens of kelvin apart.  Source: E. N. da C. Andrade (1930),
// "The viscosity of liquids", Nature 125, 309-310.  Example: sea water
// between 1.360466 cSt at 10 degC and 1.189223 cSt at 15 degC gives
// 1.271217 cSt at 12.5 degC (test
// LiquidAtTemperature.RowsOfOneFluidInterpolatedNeverBeyondThem).
RowInterpolation InterpolateRows(const std::vector<LiquidRow>& rows, double celsius);

}  // namespace corvane
