#include "logic/engine/LiquidRows.h"

#include <algorithm>
#include <cmath>

#include "logic/engine/Units.h"

namespace corvane {

RowInterpolation InterpolateRows(const std::vector<LiquidRow>& rows, double celsius) {
    RowInterpolation r;
    if (rows.size() < 2) {
        r.fault = RowFault::TooFewRows;
        return r;
    }
    // Written so that NaN is outside.
    if (!(celsius >= rows.front().celsius && celsius <= rows.back().celsius)) {
        r.fault = RowFault::OutsideRows;
        return r;
    }
    const auto upper = std::lower_bound(rows.begin(), rows.end(), celsius,
                                        [](const LiquidRow& row, double t) { return row.celsius < t; });
    r.above = static_cast<std::size_t>(upper - rows.begin());
    if (upper->celsius == celsius) {  // a row's own temperature: the row itself
        r.below = r.above;
        r.viscosity = upper->viscosity;
        r.density = upper->density;
        return r;
    }
    r.below = r.above - 1;
    const LiquidRow& a = rows[r.below];
    const LiquidRow& b = *upper;
    auto inverseKelvin = [](double c) { return 1 / (c + kZeroCelsiusKelvin); };
    const double w = (inverseKelvin(celsius) - inverseKelvin(a.celsius)) /
                     (inverseKelvin(b.celsius) - inverseKelvin(a.celsius));
    r.viscosity = std::exp((1 - w) * std::log(a.viscosity) + w * std::log(b.viscosity));
    const double s = (celsius - a.celsius) / (b.celsius - a.celsius);
    r.density = a.density + s * (b.density - a.density);
    return r;
}

}  // namespace corvane
