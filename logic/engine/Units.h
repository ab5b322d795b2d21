#pragma once
// Unit factors and conversions: every unit constant of the program, named
// once; the flow, pressure and length factor tables; the conversions between
// a display unit and the calculation unit (litre/min, bar, metre); and the
// signed conversion codes of the metric/imperial switch.
//
// Every function is pure.  Unknown codes never fail: they fall back to the
// first unit of their table (or, for ConvertByCode, return x unchanged).

namespace corvane {

inline constexpr double kFeetPerMetre = 3.2808399;
inline constexpr double kInchesPerMetre = 39.37007874;
inline constexpr double kMillimetresPerInch = 25.4;
inline constexpr double kPsiPerBar = 14.5037744;
inline constexpr double kPoundsPerKilogram = 2.204;
inline constexpr double kAtmosphereBar = 1.01325;     // bar
inline constexpr double kPascalPerBar = 1e5;          // Pa in 1 bar, by definition
inline constexpr double kZeroCelsiusKelvin = 273.15;  // K
// degF = degC x 1.8 + 32.
inline constexpr double kFahrenheitPerCelsius = 1.8;
inline constexpr double kFahrenheitAtZeroCelsius = 32;
inline constexpr double kAtmospherePsi = 14.6959494;  // psi
// The atmosphere in psi rounded to three decimals, as the text report's
// entry flow of an imperial gas panel uses it.
inline constexpr double kAtmospherePsiRounded = 14.696;

// Flow unit codes, 0..10.
enum FlowUnit : int {
    kLitrePerSec = 0,
    kMillilitrePerMin = 1,
    kLitrePerMin = 2,
    kLitrePerHour = 3,
    kCubicMetrePerHour = 4,
    kGallonUkPerMin = 5,
    kGallonUsPerMin = 6,
    kCubicFootPerSec = 7,
    kCubicFootPerMin = 8,
    kCubicFootPerHour = 9,
    kOilBarrelPerMin = 10,
};
inline constexpr int kFlowUnitCount = 11;

// Pressure unit codes 0..6 (bar, kPa, psi, mm Hg, in Hg, m water, ft water)
// and length unit codes 0..2 (metre, foot, inch).
enum PressureUnit : int { kBar = 0, kKiloPascal = 1, kPsi = 2 };
enum LengthUnit : int { kMetre = 0, kFoot = 1, kInch = 2 };

// The factors are the units' definitions (1 ft = 0.3048 m, 1 in = 25.4 mm,
// 1 UK gal = 4.54609 l, 1 US gal = 3.785411784 l, 1 oil barrel = 42 US gal,
// 1 psi = 6894.757 Pa; B. N. Taylor and A. Thompson (2008), "Guide for the
// use of the International System of Units", NIST Special Publication
// 811), to the digits the program has always used: kFeetPerMetre,
// kPsiPerBar and kInchesPerMetre are rounded as written above.

// Amount of the unit that equals 1 l/s (code outside 0..10: code 0).
// Example: 13.198149 UK gal/min (test FlowFactors.ExactConstantsAndLitresPerMinute).
double FlowFactor(int code);
// Amount of the unit that equals 1 bar (code outside 0..6: code 0).
double PressureFactor(int code);
// Amount of the unit that equals 1 m (code outside 0..2: code 0).
double LengthFactor(int code);

// A flow of unit `code` in l/min and back: x x 60 / F[code], F[code] x x / 60.
// Example: 1 US gal/min is 3.785411784 l/min (test
// FlowFactors.ExactConstantsAndLitresPerMinute).
double FlowToLitresPerMin(int code, double x);
double FlowFromLitresPerMin(int code, double x);
// A pressure of unit `code` in bar and back: x / P[code], x x P[code].
// Example: 14.5037744 psi is 1 bar (test PressureAndLength.FactorsAndFallbacks).
double PressureToBar(int code, double x);
double PressureFromBar(int code, double x);
// A length of unit `code` in metres and back: x / L[code], x x L[code].
// Example: 1 m is 3.2808399 ft (test PressureAndLength.FactorsAndFallbacks).
double LengthToMetres(int code, double x);
double LengthFromMetres(int code, double x);

// x converted between a metric and an imperial unit by a signed code
// (positive: metric to imperial).  Valid codes: +-1, +-2, +-3, +-10..15,
// +-20..25, +-30..35, +-40..45, +-50..55, +-60..65, +-100..102,
// +-200..202, +-300..302, +-400..402.  Any other code returns x.
// Examples: code 2 turns 25 mm into 0.984252 inch, code 33 100 l/min into
// 3.5315 ft3/min (tests ConvertByCode.LengthsAndPressures and
// ConvertByCode.LitresPerMinuteToCubicFeetPerMinute).
double ConvertByCode(int code, double x);
bool IsConversionCode(int code);

}  // namespace corvane
