#pragma once
// A liquid at the temperature the user has: water by the IAPWS formulations,
// or a fluid of the data base between two of its rows.  The texts the fluid
// dialog puts into its four fields (as a data-base row fills them, so "Use
// this data" hands a panel the same kind of texts) and the numbers behind
// them, for the dialog and for corvane-cli.

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "logic/engine/Water.h"
#include "logic/io/DataTable.h"
#include "logic/model/shared/Refusal.h"
#include "logic/text/Locale.h"

namespace corvane {

struct LiquidAtTemperature {
    // The four fields of a data-base row: name, temperature text, kinematic
    // viscosity (cSt, six decimals) and relative density (six decimals).
    std::string name, temperature, viscosity, density;
    std::string vapourPressure;  // bar a, four decimals; empty where the method gives none
    std::string method;          // how the numbers were found, and at which pressure
    std::string range;           // where the method holds
    LiquidState state;           // the numbers at full precision
    double relativeDensity = 0;  // the density relative to water (kg/m3 x 1e-3)
};
using LiquidAnswer = std::variant<LiquidAtTemperature, Refusal>;

// Liquid water at `celsius` and `pressureBarA` (nothing: 1.01325 bar a, or
// the saturation pressure where that is higher).
LiquidAnswer WaterAtTemperature(double celsius, std::optional<double> pressureBarA, const Locale& locale);

// The liquid of the data base named `name` (blanks around it and the case
// of ASCII letters aside) at `celsius`, between the two neighbouring rows
// of that name.  Only rows whose temperature text begins with a number in
// degC ("12.5°C ...") count; of rows at the same temperature the first
// listed (stock rows before the user's) counts.
LiquidAnswer InterpolatedLiquid(const DataTable& table, std::string_view name, double celsius, const Locale& locale);

// The temperature in degC that a row's temperature text begins with
// (blanks, a number with either decimal mark, blanks, "°C"), or nothing.
std::optional<double> RowCelsius(std::string_view temperatureText, const Locale& locale);

// A typed temperature in degC (either decimal mark), or the refusal.
std::variant<double, Refusal> ReadTemperature(std::string_view text, const Locale& locale);

}  // namespace corvane
