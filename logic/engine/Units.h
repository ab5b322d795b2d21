#pragma once
// Unit conversions: the flow, pressure and length factor tables, the
// conversions between a display unit and the calculation unit (litre/min,
// bar, metre), the signed conversion codes of the metric/imperial switch,
// and the flow-unit lists of a panel.
//
// Every function is pure.  Unknown codes never fail: they fall back to the
// first unit of their table (or, for ConvertByCode, return x unchanged).

#include <string>
#include <vector>

#include "logic/text/Locale.h"

namespace corvane {

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

enum class UnitSystem { Metric, Imperial };
enum class FlowListKind { Liquid, Gas };

// Amount of the unit that equals 1 l/s (code outside 0..10: code 0).
double FlowFactor(int code);
// Amount of the unit that equals 1 bar (code outside 0..6: code 0).
double PressureFactor(int code);
// Amount of the unit that equals 1 m (code outside 0..2: code 0).
double LengthFactor(int code);

double FlowToLitresPerMin(int code, double x);    // x x 60 / F[code]
double FlowFromLitresPerMin(int code, double x);  // F[code] x x / 60
double PressureToBar(int code, double x);
double PressureFromBar(int code, double x);
double LengthToMetres(int code, double x);
double LengthFromMetres(int code, double x);

// x converted between a metric and an imperial unit by a signed code
// (positive: metric to imperial).  Valid codes: +-1, +-2, +-3, +-10..15,
// +-20..25, +-30..35, +-40..45, +-50..55, +-60..65, +-100..102,
// +-200..202, +-300..302, +-400..402.  Any other code returns x.
double ConvertByCode(int code, double x);
bool IsConversionCode(int code);

// The code of the selected item of a flow-unit list, and the index that
// the list must show selected.  An index outside the list selects the
// fallback item: metric liquid item 0 (code 0), imperial liquid item 0
// (code 5), metric gas item 1 "litre/min" (code 2), imperial gas item 1
// "cu.ft/min" (code 8).
struct FlowUnitChoice {
    int code;
    int index;
    bool operator==(const FlowUnitChoice&) const = default;
};
FlowUnitChoice FlowUnitCode(FlowListKind kind, UnitSystem system, int selectedIndex);

// Item texts of the four flow-unit lists, in order; the metric ones in the
// spelling of the locale ("liter" for US and Canadian English).
std::vector<std::string> FillMetricFlowUnits(const Locale& locale);
std::vector<std::string> FillMetricGasFlowUnits(const Locale& locale);
std::vector<std::string> FillImperialFlowUnits(const Locale& locale);
std::vector<std::string> FillImperialGasFlowUnits(const Locale& locale);

// The items of the list of a kind in a unit system.
std::vector<std::string> FlowUnitItems(FlowListKind kind, UnitSystem system, const Locale& locale);

// The list text of a flow unit code (code outside 0..10: code 0).
std::string FlowUnitText(int code, const Locale& locale);

}  // namespace corvane
