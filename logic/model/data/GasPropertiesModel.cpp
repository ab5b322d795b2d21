#include "logic/model/data/GasPropertiesModel.h"

#include <algorithm>
#include <cctype>

#include "logic/text/NumberText.h"

namespace corvane {

const std::array<Gas, kGasCount>& GasTable() {
    static const std::array<Gas, kGasCount> kTable = {{
        {"Air", {286.9, 17.2, 120}},
        {"Ammonia (NH3)", {488.1, 9.18, 370}},
        {"Carbon dioxide (CO2)", {188.9, 13.72, 240}},
        {"Carbon monoxide (CO)", {297.0, 16.62, 118}},
        {"Helium (He)", {2077.0, 18.63, 128}},
        {"Hydrogen (H2)", {4124.0, 8.35, 72}},
        {"Methane (CH4)", {518.3, 10.27, 228}},
        {"Nitrogen (N2)", {296.7, 16.57, 111}},
        {"Oxygen (O2)", {259.8, 19.09, 127}},
        {"Sulphur dioxide (SO2)", {130.0, 11.58, 416}},
        {"Water vapour (H2O)", {462.0, 8.7, 220}},
    }};
    return kTable;
}

std::vector<std::string> GasNames() {
    std::vector<std::string> names;
    for (const Gas& g : GasTable()) names.push_back(g.name);
    return names;
}

std::vector<std::string> GasTemperatureEntries() {
    std::vector<std::string> entries;
    for (int t = 0; t <= 50; ++t) {
        std::string c = std::to_string(t);
        c.insert(0, 3 - c.size(), ' ');
        std::string f = t == 0 ? "32" : *WriteEntryNumber(32 + 1.8 * t, 1, Locale{});
        entries.push_back(c + "\u00b0C (" + f + "\u00b0F)");
    }
    return entries;
}

std::optional<double> TemperatureOfEntry(const std::string& entry) {
    std::string digits;
    for (char c : entry) {
        if (c == '(') break;
        if (c >= '0' && c <= '9') digits.push_back(c);
    }
    if (digits.empty()) return std::nullopt;
    return ReadEntryNumber(digits, Locale{});
}

GasValues CalculateGas(int gas, const std::string& temperatureEntry, const Locale& locale) {
    GasValues v;
    if (gas < 0 || gas >= kGasCount) return v;
    const GasConstants& g = GasTable()[static_cast<std::size_t>(gas)].constants;
    v.r = WriteFixedNumber(g.r, 0, 7, locale).value_or("");
    // Only a chosen entry of the list is a temperature: typed text such as
    // "25", "75" or "-5" is no entry, even where its digits make a number.
    static const std::vector<std::string> kEntries = GasTemperatureEntries();
    if (std::find(kEntries.begin(), kEntries.end(), temperatureEntry) == kEntries.end()) return v;
    const auto t = TemperatureOfEntry(temperatureEntry);
    if (!t) return v;
    const GasState state = GasStateAt(g, *t);
    v.density = WriteFixedNumber(state.density, 3, 7, locale).value_or("");
    v.dynamic = WriteEntryNumber(state.dynamicViscosity, 3, locale).value_or("");
    v.kinematic = WriteEntryNumber(state.kinematicViscosity, 3, locale).value_or("");
    return v;
}

std::string GasPropertiesModel::gasName() const {
    return gas_ >= 0 && gas_ < kGasCount ? GasTable()[static_cast<std::size_t>(gas_)].name : "";
}

std::optional<int> GasPropertiesModel::FindGas(const std::string& name) {
    auto upper = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return s;
    };
    const std::string key = upper(name);
    for (int i = 0; i < kGasCount; ++i) {
        const std::string n = upper(GasTable()[static_cast<std::size_t>(i)].name);
        if (n.compare(0, key.size(), key) == 0 && key.size() <= n.size()) return i;
    }
    return std::nullopt;
}

}  // namespace corvane
