#pragma once
// The gas calculator ("Approximate properties of some gases"): eleven gases
// by name, the temperature entries 0 to 50 degC, and the density, dynamic
// and kinematic viscosity at atmospheric pressure as the calculator shows
// them.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "logic/engine/GasProperties.h"
#include "logic/text/Locale.h"

namespace corvane {

struct Gas {
    const char* name;
    GasConstants constants;
};

inline constexpr int kGasCount = 11;
const std::array<Gas, kGasCount>& GasTable();
std::vector<std::string> GasNames();

// The 51 temperature entries, "  0\u00b0C (32\u00b0F)" ... " 50\u00b0C (122.0\u00b0F)".
std::vector<std::string> GasTemperatureEntries();

// The temperature of an entry text: the digits before the first "(",
// joined; nothing when there are none.
std::optional<double> TemperatureOfEntry(const std::string& entry);

// The values the calculator shows for a gas and a temperature entry.
struct GasValues {
    std::string r;            // no decimals
    std::string density;      // kg/m3, three decimals
    std::string dynamic;      // 1e-6 Pa s, three decimals
    std::string kinematic;    // cSt, three decimals
};

// R alone when the temperature text is not one of the 51 entries; all empty
// for a gas index outside the table.
GasValues CalculateGas(int gas, const std::string& temperatureEntry, const Locale& locale);

// The calculator's state between openings: the gas and the temperature
// text chosen.
class GasPropertiesModel {
public:
    explicit GasPropertiesModel(const Locale& locale) : locale_(locale) {}
    int gas() const { return gas_; }
    const std::string& temperature() const { return temperature_; }
    void chooseGas(int index) { gas_ = index; }
    void chooseTemperature(std::string text) { temperature_ = std::move(text); }
    GasValues values() const { return CalculateGas(gas_, temperature_, locale_); }
    std::string gasName() const;
    // The first gas whose name begins with `name`, ignoring case.
    static std::optional<int> FindGas(const std::string& name);

private:
    Locale locale_;
    int gas_ = 0;
    std::string temperature_ = GasTemperatureEntries()[20];
};

}  // namespace corvane
