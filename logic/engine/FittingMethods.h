#pragma once
// Resistance coefficients that depend on the Reynolds number and the size,
// beside the one-K-per-size-band table: the 2-K method (Hooper, 1981),
//   K = K1 / Re + Kinf (1 + 1 / D),
// and the 3-K method (Darby, 2001),
//   K = K1 / Re + Ki (1 + Kd / D^0.3),
// D the pipe's internal diameter in inches (the 3-K method's nominal size
// is taken as the internal diameter).  Only the fitting types for which
// the method publishes constants have a value; partly open valves,
// strainers, reducers, expanders and flexible connectors have none.

#include <optional>
#include <vector>

#include "logic/engine/Fittings.h"

namespace corvane {

struct TwoKConstants {
    double k1;
    double kInfinity;
};
struct ThreeKConstants {
    double k1;
    double ki;
    double kd;
};

// Constants of a fitting type (the K table's rows 0..35), where published.
std::optional<TwoKConstants> HooperConstants(int type);
std::optional<ThreeKConstants> DarbyConstants(int type);

double HooperK(const TwoKConstants& c, double reynolds, double diameterInches);
double DarbyK(const ThreeKConstants& c, double reynolds, double diameterInches);

// One kind of fitting of a selection: its count and K by each method.
struct FittingKRow {
    int kind = 0;  // 1..23
    int type = 0;  // K table row
    int count = 0;
    double table = 0;                // K of one, by the size band table
    std::optional<double> twoK;      // K of one by the 2-K method
    std::optional<double> threeK;    // K of one by the 3-K method
};

struct FittingsKComparison {
    std::vector<FittingKRow> rows;   // the kinds with a count
    double extraK = 0;
    double tableTotal = 0;           // = FittingsTotalK
    // Totals by each method, the table's K standing in for fittings that
    // have no constants of the method (and the extra K added to each).
    double twoKTotal = 0;
    double threeKTotal = 0;
};

// The selection's fittings in a pipe of d mm at Reynolds number re.
FittingsKComparison CompareFittingsK(const FittingsSelection& fittings, double d, double re);

}  // namespace corvane
