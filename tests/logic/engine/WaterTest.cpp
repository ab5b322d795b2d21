// Water by IAPWS-IF97 and IAPWS 2008 against the check values printed in
// their releases and against python3-iapws over the whole range offered
// (tests/data/iapws_reference.csv); the range's refusals.  Interpolation
// between rows is tested with the texts it gives (LiquidAtTemperatureTest).

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "logic/engine/Water.h"

namespace corvane {
namespace {

// Whether `value` rounds to the printed number, to its last printed digit
// ("0.100215168e-2": nine decimals of the mantissa, times 1e-2).
bool AgreesToPrintedDigits(double value, const std::string& printed) {
    const std::size_t e = printed.find('e');
    const std::string mantissa = printed.substr(0, e);
    const int exponent = e == std::string::npos ? 0 : std::stoi(printed.substr(e + 1));
    const int decimals = static_cast<int>(mantissa.size() - mantissa.find('.') - 1);
    return std::fabs(value - std::stod(printed)) <= 0.5 * std::pow(10.0, exponent - decimals);
}

struct Published {
    const char* what;
    double (*f)(double, double);
    double x, y;
    const char* printed;
};

TEST(Water, PublishedCheckValuesToTheirPrintedDigits) {
    auto v = [](double t, double p) { return if97::Region1SpecificVolume(t, p); };
    auto ps = [](double t, double) { return if97::SaturationPressure(t); };
    auto ts = [](double p, double) { return if97::SaturationTemperature(p); };
    auto mu = [](double t, double rho) { return WaterViscosity(t, rho) * 1e6; };
    const Published cases[] = {
        // IAPWS R7-97(2012), table 5: v (m3/kg) at T (K), p (MPa).
        {"v", v, 300, 3, "0.100215168e-2"},
        {"v", v, 300, 80, "0.971180894e-3"},
        {"v", v, 500, 3, "0.120241800e-2"},
        // Table 35: ps (MPa) at T; table 36: Ts (K) at p (MPa).
        {"ps", ps, 300, 0, "0.353658941e-2"},
        {"ps", ps, 500, 0, "0.263889776e1"},
        {"ps", ps, 600, 0, "0.123443146e2"},
        {"Ts", ts, 0.1, 0, "0.372755919e3"},
        {"Ts", ts, 1, 0, "0.453035632e3"},
        {"Ts", ts, 10, 0, "0.584149488e3"},
        // IAPWS R12-08, table 4: mu (1e-6 Pa s) at T (K), rho (kg/m3).
        {"mu", mu, 298.15, 998, "889.735100"},
    };
    for (const Published& c : cases) {
        const double got = c.f(c.x, c.y);
        EXPECT_TRUE(AgreesToPrintedDigits(got, c.printed)) << c.what << "(" << c.x << ", " << c.y << ") = " << got;
    }
}

TEST(Water, AgreesWithPythonIapwsOverTheRangeOffered) {
    std::ifstream in(CORVANE_TEST_DATA "/iapws_reference.csv");
    std::string line;
    int rows = 0;
    auto near = [](double got, double want) { return std::fabs(got - want) <= 1e-8 * std::fabs(want); };
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream s(line);
        s.imbue(std::locale::classic());
        std::string celsius, how, pressure, density, viscosity, saturation;
        std::getline(s, celsius, ',');
        std::getline(s, how, ',');
        std::getline(s, pressure, ',');
        std::getline(s, density, ',');
        std::getline(s, viscosity, ',');
        std::getline(s, saturation);
        const double c = std::stod(celsius), p = std::stod(pressure);
        ++rows;
        SCOPED_TRACE(line);
        if (how == "saturation") {  // the saturated liquid, from the formulas themselves
            const double kelvin = c + 273.15;
            const double ps = if97::SaturationPressure(kelvin);
            EXPECT_TRUE(near(ps * 10, std::stod(saturation)));
            const double rho = 1 / if97::Region1SpecificVolume(kelvin, ps);
            EXPECT_TRUE(near(rho, std::stod(density)));
            EXPECT_TRUE(near(WaterViscosity(kelvin, rho), std::stod(viscosity)));
            continue;
        }
        const WaterAnswer w = how == "default" ? WaterAt(c) : WaterAt(c, p);
        ASSERT_FALSE(w.fault);
        EXPECT_TRUE(near(w.pressureBarA, p)) << w.pressureBarA;
        EXPECT_TRUE(near(w.state.densityKgM3, std::stod(density))) << w.state.densityKgM3;
        EXPECT_TRUE(near(w.state.dynamicViscosityPaS, std::stod(viscosity))) << w.state.dynamicViscosityPaS;
        EXPECT_TRUE(near(*w.state.vapourPressureBarA, std::stod(saturation)));
        EXPECT_DOUBLE_EQ(w.state.kinematicViscosityCst, w.state.dynamicViscosityPaS / w.state.densityKgM3 * 1e6);
    }
    EXPECT_EQ(rows, 781);
}

TEST(Water, RefusesOutsideTheRangeOffered) {
    const double nan = std::nan("");
    struct Case {
        double celsius;
        std::optional<double> bar;
        std::optional<WaterFault> fault;
    } cases[] = {
        {0.01, std::nullopt, std::nullopt},
        {200, 100, std::nullopt},
        {0.0099, std::nullopt, WaterFault::TemperatureOutside},
        {200.001, std::nullopt, WaterFault::TemperatureOutside},
        {nan, std::nullopt, WaterFault::TemperatureOutside},
        {20, 100.0001, WaterFault::PressureAboveRange},
        {20, nan, WaterFault::PressureAboveRange},
        {150, 4.761, WaterFault::PressureBelowSaturation},  // saturated at 4.76101 bar a
        {150, 4.7611, std::nullopt},
        {20, 0.02, WaterFault::PressureBelowSaturation},
    };
    for (const Case& c : cases) EXPECT_EQ(WaterAt(c.celsius, c.bar).fault, c.fault) << c.celsius << " " << c.bar.value_or(-1);
}

}  // namespace
}  // namespace corvane
