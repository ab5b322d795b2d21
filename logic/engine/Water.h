#pragma once
// Liquid water by the public IAPWS formulations:
//
//   IAPWS R7-97(2012), the industrial formulation IAPWS-IF97: region 1
//   (compressed liquid: specific volume from temperature and pressure) and
//   region 4 (the saturation line, both ways);
//   IAPWS R12-08, the 2008 formulation for the viscosity, in its industrial
//   form: the critical enhancement is left out (a factor of 1 everywhere
//   outside a small region around the critical point, far from liquid water
//   below 200 degC).
//
// The formulas take SI units (K, MPa, kg/m3, Pa s) and hold over their own
// published ranges.  WaterAt() is what the program offers a user: liquid
// water from 0.01 to 200 degC, from its saturation pressure to 100 bar a,
// in the calculation units (degC, bar a, cSt); outside that range it
// refuses and never extrapolates.  Each function reproduces the check
// values printed in its release to their printed digits (test
// Water.PublishedCheckValuesToTheirPrintedDigits) and agrees with python
// iapws to 1e-8 over the range offered (Water.AgreesWithPythonIapwsOverTheRangeOffered).

#include <optional>

namespace corvane {

namespace if97 {
// Region 1: the specific volume (m3/kg) of liquid water at `kelvin`
// (273.15 to 623.15 K) and `megapascal` (its saturation pressure to 100 MPa).
double Region1SpecificVolume(double kelvin, double megapascal);
// Region 4: the saturation pressure (MPa) at `kelvin` (273.15 K to the
// critical point, 647.096 K) and its reverse, the saturation temperature
// (K) at `megapascal` (611.213 Pa to 22.064 MPa).
double SaturationPressure(double kelvin);
double SaturationTemperature(double megapascal);
}  // namespace if97

// IAPWS 2008: the dynamic viscosity (Pa s) of water at `kelvin` and
// `densityKgM3`, without the critical enhancement.
double WaterViscosity(double kelvin, double densityKgM3);

// The range the program offers, and its default pressure: the standard
// atmosphere, or the saturation pressure where that is higher (above about
// 99.97 degC).
inline constexpr double kWaterMinCelsius = 0.01;
inline constexpr double kWaterMaxCelsius = 200;
inline constexpr double kWaterMaxPressureBarA = 100;

// A liquid's properties in the calculation units.
struct LiquidState {
    double densityKgM3 = 0;
    double dynamicViscosityPaS = 0;
    double kinematicViscosityCst = 0;
    std::optional<double> vapourPressureBarA;  // none where the method gives none
};

enum class WaterFault {
    TemperatureOutside,       // not within 0.01..200 degC (or not a number)
    PressureBelowSaturation,  // the water would boil
    PressureAboveRange,       // above 100 bar a (or not a number)
};

struct WaterAnswer {
    std::optional<WaterFault> fault;
    double pressureBarA = 0;  // the pressure used: the one asked for, or the default
    // Without a fault, the water's properties.  With PressureBelowSaturation
    // or PressureAboveRange, still the saturation pressure (vapourPressureBarA).
    LiquidState state;
};

// Liquid water at `celsius` and `pressureBarA` (nothing: the default).
WaterAnswer WaterAt(double celsius, std::optional<double> pressureBarA = std::nullopt);

}  // namespace corvane
