#include "logic/model/data/LiquidAtTemperature.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

#include "logic/engine/LiquidRows.h"
#include "logic/engine/Units.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

constexpr const char* kDegC = "\u00b0C";
// Decimals of the texts: the data base's numbers, the vapour pressure, and
// the most a temperature or pressure typed by the user keeps.
constexpr int kFieldDecimals = 6;
constexpr int kVapourDecimals = 4;
constexpr int kTypedDecimals = 6;
constexpr int kFahrenheitDecimals = 1;
constexpr double kKilogramsPerCubicMetrePerRelative = 1000;  // liquid densities are relative to water
constexpr double kSquareMetresPerSecondPerCst = 1e-6;

std::string Fixed(double v, int decimals, const Locale& l) { return WriteEntryNumber(v, decimals, l).value_or(""); }
std::string Typed(double v, const Locale& l) { return WriteTrimmedNumber(v, kTypedDecimals, l); }

std::string WaterRange(const Locale& l) {
    return "liquid water from " + Typed(kWaterMinCelsius, l) + " to " + Typed(kWaterMaxCelsius, l) + " " + kDegC +
           ", from its saturation pressure to " + Typed(kWaterMaxPressureBarA, l) + " bar a";
}

Refusal WaterRefusal(const std::string& why, const Locale& l) {
    return {MessageKind::Warning, "Water by IAPWS-IF97 is offered for " + WaterRange(l) + ":\r" + why};
}

std::string Trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return std::string(s);
}

bool SameName(std::string_view a, std::string_view b) {
    const std::string x = Trimmed(a), y = Trimmed(b);
    return std::equal(x.begin(), x.end(), y.begin(), y.end(), [](char p, char q) {
        return std::tolower(static_cast<unsigned char>(p)) == std::tolower(static_cast<unsigned char>(q));
    });
}

}  // namespace

LiquidAnswer WaterAtTemperature(double celsius, std::optional<double> pressureBarA, const Locale& l) {
    const WaterAnswer w = WaterAt(celsius, pressureBarA);
    const std::string t = Typed(celsius, l) + " " + kDegC;
    const std::string p = Typed(w.pressureBarA, l) + " bar a";
    if (w.fault == WaterFault::TemperatureOutside) return WaterRefusal(t + " is outside that range.", l);
    if (w.fault == WaterFault::PressureAboveRange) return WaterRefusal(p + " is above that range.", l);
    if (w.fault == WaterFault::PressureBelowSaturation)
        return WaterRefusal("at " + t + " water boils below " + Typed(*w.state.vapourPressureBarA, l) +
                                " bar a, its saturation pressure, so " + p + " is outside that range.",
                            l);

    LiquidAtTemperature r;
    r.state = w.state;
    r.relativeDensity = w.state.densityKgM3 / kKilogramsPerCubicMetrePerRelative;
    r.name = "Water";
    r.temperature = Typed(celsius, l) + kDegC + " (" +
                    WriteTrimmedNumber(32 + 1.8 * celsius, kFahrenheitDecimals, l) + "\u00b0F), ";
    const bool atSaturation = !pressureBarA && w.pressureBarA > kAtmosphereBar;
    if (pressureBarA) r.temperature += p + ", ";
    if (atSaturation) r.temperature += "saturated, ";
    r.temperature += "IAPWS";
    r.viscosity = Fixed(w.state.kinematicViscosityCst, kFieldDecimals, l);
    r.density = Fixed(r.relativeDensity, kFieldDecimals, l);
    r.vapourPressure = Fixed(*w.state.vapourPressureBarA, kVapourDecimals, l);
    r.method = "IAPWS-IF97 density and vapour pressure, IAPWS 2008 viscosity, at ";
    if (pressureBarA) r.method += p;
    else
        r.method += (atSaturation ? "the saturation pressure, " + p : p) + " (by default " +
                    Typed(kAtmosphereBar, l) + " bar a, or the saturation pressure where that is higher)";
    r.range = WaterRange(l);
    return r;
}

std::optional<double> RowCelsius(std::string_view text, const Locale& locale) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::string number;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) number.push_back(text[i++]);
    std::size_t digits = 0;
    bool mark = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) ++digits;
        else if ((c == locale.decimalSeparator || c == locale.foreignSeparator()) && !mark) mark = true;
        else break;
        number.push_back(c);
    }
    while (i < text.size() && text[i] == ' ') ++i;
    if (digits == 0 || text.substr(i).rfind(kDegC, 0) != 0) return std::nullopt;
    return ReadEntryNumber(number, locale);
}

std::variant<double, Refusal> ReadTemperature(std::string_view text, const Locale& locale) {
    const std::string fixed = FixDecimalSeparator(Trimmed(text), locale);
    if (fixed.empty() || !IsEntryNumber(fixed, locale))
        return Refusal{MessageKind::Warning, "Type the temperature in " + std::string(kDegC) + " as a number."};
    return ReadEntryNumber(fixed, locale);
}

LiquidAnswer InterpolatedLiquid(const DataTable& table, std::string_view name, double celsius, const Locale& l) {
    std::vector<LiquidRow> rows;
    std::vector<const DataRecord*> records;
    const DataRecord* named = nullptr;
    for (const DataRecord& r : table.records()) {
        if (r.code != static_cast<int>(FluidCode::StockLiquid) && r.code != static_cast<int>(FluidCode::UserLiquid))
            continue;
        if (!SameName(r.f2, name)) continue;
        if (!named) named = &r;
        const auto t = RowCelsius(r.f3, l);
        const double v = ReadEntryNumber(r.f4, l), d = ReadEntryNumber(r.f5, l);
        // Only a row with a temperature above absolute zero and numbers
        // above 0 can be interpolated; at a temperature already seen, the
        // first row counts.
        if (!t || !(*t > -kZeroCelsiusKelvin) || !(v > 0) || !(d > 0)) continue;
        if (std::any_of(rows.begin(), rows.end(), [&](const LiquidRow& row) { return row.celsius == *t; })) continue;
        const auto at = std::upper_bound(rows.begin(), rows.end(), *t,
                                         [](double x, const LiquidRow& row) { return x < row.celsius; });
        records.insert(records.begin() + (at - rows.begin()), &r);
        rows.insert(at, LiquidRow{*t, v, d});
    }
    if (!named) return Refusal{MessageKind::Warning, "No liquid of the fluid data base is named " + Trimmed(name) + "."};
    const std::string fluid = named->f2;
    const RowInterpolation i = InterpolateRows(rows, celsius);
    const std::string t = Typed(celsius, l) + " " + kDegC;
    if (i.fault == RowFault::TooFewRows)
        return Refusal{MessageKind::Warning, fluid + " has fewer than two rows with a temperature in " + kDegC +
                                                 ": there is nothing to interpolate between."};
    const std::string range = Typed(rows.front().celsius, l) + " to " + Typed(rows.back().celsius, l) + " " + kDegC;
    if (i.fault == RowFault::OutsideRows)
        return Refusal{MessageKind::Warning,
                       "The rows of " + fluid + " run from " + range + ": " + t + " is outside them, and nothing is extrapolated."};

    LiquidAtTemperature r;
    r.name = fluid;
    r.range = range + " (the rows of " + fluid + ")";
    const DataRecord& a = *records[i.below];
    if (i.below == i.above) {  // the row itself, as the list gives it
        r.temperature = a.f3;
        r.viscosity = StripLeadingBlanks(a.f4);
        r.density = StripLeadingBlanks(a.f5);
        r.method = "The row at " + t + " itself";
    } else {
        r.temperature = Typed(celsius, l) + kDegC + " (interpolated " + Typed(rows[i.below].celsius, l) +
                        "\u2013" + Typed(rows[i.above].celsius, l) + " " + kDegC + ")";
        r.viscosity = Fixed(i.viscosity, kFieldDecimals, l);
        r.density = Fixed(i.density, kFieldDecimals, l);
        r.method = "Andrade (ln \u03bd linear in 1/T) for the viscosity and linear for the density, between the rows at " +
                   Typed(rows[i.below].celsius, l) + " and " + Typed(rows[i.above].celsius, l) + " " + kDegC;
    }
    r.relativeDensity = i.density;
    r.state.kinematicViscosityCst = i.viscosity;
    r.state.densityKgM3 = i.density * kKilogramsPerCubicMetrePerRelative;
    r.state.dynamicViscosityPaS = i.viscosity * kSquareMetresPerSecondPerCst * r.state.densityKgM3;
    return r;
}

}  // namespace corvane
