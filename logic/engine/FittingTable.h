#pragma once
// The built-in table of fitting resistance coefficients: 36 fitting types
// (0 = no fitting) by 14 pipe size bands.

namespace corvane {

inline constexpr int kFittingTypeCount = 36;
inline constexpr int kSizeBandCount = 14;

// The K values are resistance coefficients by nominal size in the manner of
// Crane Co., Technical Paper 410, "Flow of fluids through valves, fittings,
// and pipe" (K = constant x the fully turbulent friction factor of the
// size); valid for turbulent flow, where K hardly depends on the Reynolds
// number (the 2-K and 3-K methods of FittingMethods.h say how far that
// holds).

// Size band 0..13 of an internal diameter d in mm, from
// e = trunc(d x 8 / 25.4 + 0.99), the diameter in eighths of an inch.
// Any e above 128, a negative e, and a NaN diameter fall into band 13.
// Example: 25.4 mm is band 4, 25.5 mm band 5 (test SizeBands.ExamplesAroundOneInch).
int FittingSizeBand(double d);

// K of a fitting type (0..35) in the size band of d; 0 for a type outside
// the table.  Example: a standard bend in 50 mm has K 0.57 (test
// FittingsTotalK.TwoBendsAndAHalfOpenGateValve).
double FittingK(int type, double d);

// K of a fitting type in a band; 0 outside the table.
double FittingKInBand(int type, int band);

}  // namespace corvane
