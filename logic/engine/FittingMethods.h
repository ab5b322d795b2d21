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

// Sources: W. B. Hooper (1981), "The two-K method predicts head losses in
// pipe fittings", Chemical Engineering 88(17), 96-100; R. Darby (2001),
// "Correlate pressure drops through fittings", Chemical Engineering 108(7),
// 127-130.  Both are fitted to data over laminar to fully turbulent flow
// (Re from about 10 up) for 1/2 to 24 inch fittings.  Every published
// fitting at 7 Reynolds numbers and 7 sizes is checked against python
// fluids' values (test FittingsKReference.TwoKAndThreeKOfEveryPublishedFitting).

// Constants of a fitting type (the K table's rows 0..35), where published.
std::optional<TwoKConstants> HooperConstants(int type);
std::optional<ThreeKConstants> DarbyConstants(int type);

// K = K1 / Re + Kinf (1 + 1 / D), D in inches.
double HooperK(const TwoKConstants& c, double reynolds, double diameterInches);
// K = K1 / Re + Ki (1 + Kd / D^0.3), D in inches.
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

// The selection's fittings in a pipe of d mm at Reynolds number re, by the
// table and by both methods (test FittingsKComparison.TotalsByEachMethod).
FittingsKComparison CompareFittingsK(const FittingsSelection& fittings, double d, double re);

}  // namespace corvane
