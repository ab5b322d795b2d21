#pragma once
// The losses where a pipe run changes its diameter, enters from its source
// and leaves into its sink: resistance coefficients K of sudden and conical
// contractions and expansions, and the change of the velocity a K refers to.
//
// The forms are those of Rennels & Hudson, "Pipe Flow: A Practical and
// Comprehensive Guide" (Wiley, 2012), with beta = d(smaller)/d(larger).
// Every K here refers to the velocity in the smaller pipe: the following
// pipe of a contraction, the original pipe of an expansion.  Diameters are
// in any one unit (only their ratio counts); angles are the included angle
// of the cone in degrees, 0 < angle <= 180.  Every form agrees with python
// fluids' (method Rennels) over tests/data/transitions_reference.csv (test
// TransitionsReference.RennelsFormsAndBasisChangeAgreeWithPythonFluids).

namespace corvane {

// A change of diameter at once (a flat step) or along a cone.
enum class TransitionForm { Sudden, Conical };

// A sharp-edged flush entrance from a large vessel (Rennels & Hudson:
// K = 0.57 on the pipe's velocity), and any exit into a large vessel (all
// the pipe's velocity head is lost: K = 1).
inline constexpr double kSharpEntranceK = 0.57;
inline constexpr double kExitK = 1.0;

// Sudden contraction from d1 to d2 < d1:
// K = 0.0696 (1 - beta^5) lambda^2 + (lambda - 1)^2,
// lambda = 1 + 0.622 (1 - 0.215 beta^2 - 0.785 beta^5), on d2's velocity.
double SuddenContractionK(double d1, double d2);

// Conical contraction from d1 to d2 < d1 with included angle `angle`, fd
// the Darcy friction factor of the smaller pipe:
// K = fd (1 - beta^4) / (8 sin(a/2)) + 0.0696 sin(a/2) (1 - beta^5) lambda^2
//     + (lambda - 1)^2,
// lambda = 1 + 0.622 (a/180)^0.8 (1 - 0.215 beta^2 - 0.785 beta^5), on d2's
// velocity.
double ConicalContractionK(double d1, double d2, double angle, double fd);

// Sudden expansion from d1 to d2 > d1 (Borda-Carnot): K = (1 - beta^2)^2, on d1's velocity.
double SuddenExpansionK(double d1, double d2);

// Conical expansion (diffuser) from d1 to d2 > d1 with included angle
// `angle`, fd the Darcy friction factor of the
// smaller pipe, on d1's velocity:
//   0 < a <= 20:           K = 8.30 tan(a/2)^1.75 (1 - beta^2)^2 + fd (1 - beta^4) / (8 sin(a/2))
//   20 < a <= 60, beta < 0.5:
//        K = {1.366 sqrt(sin(2 pi (a - 15)/180)) - 0.170 - 3.28 (0.0625 - beta^4) sqrt((a - 20)/40)}
//            (1 - beta^2)^2 + fd (1 - beta^4) / (8 sin(a/2))
//   20 < a <= 60, beta >= 0.5:
//        K = {1.366 sqrt(sin(2 pi (a - 15)/180)) - 0.170} (1 - beta^2)^2 + fd (1 - beta^4) / (8 sin(a/2))
//   60 < a <= 180, beta < 0.5:
//        K = {1.205 - 3.28 (0.0625 - beta^4) - 12.8 beta^6 sqrt((a - 60)/120)} (1 - beta^2)^2
//   60 < a <= 180, beta >= 0.5:
//        K = {1.205 - 0.20 sqrt((a - 60)/120)} (1 - beta^2)^2
// NaN for an angle outside 0 < a <= 180.
double ConicalExpansionK(double d1, double d2, double angle, double fd);

// A conical transition's K split into the part its geometry gives and the
// friction term its friction factor scales, so that a run works out the
// geometry once: k(fd) is ConicalContractionK or ConicalExpansionK.
struct ConicalTransition {
    double shape = 0;      // K without the friction term
    double reach = 0;      // 1 - beta^4
    double sinHalf = 1;    // sin(a/2)
    bool expansion = false;
    bool friction = true;  // an expansion wider than 60 degrees has none
    double k(double fd) const;
    // dK/dfd, the friction term's factor: (1 - beta^4) / (8 sin(a/2)), or
    // 0 without a friction term.
    double frictionSlope() const;
};
ConicalTransition ConicalContraction(double d1, double d2, double angle);
ConicalTransition ConicalExpansion(double d1, double d2, double angle);

// K1, referred to the velocity in a pipe of diameter d1, referred instead to
// the velocity in a pipe of diameter d2: K2 = K1 (d2/d1)^4 (the same head
// K v^2/2g with v proportional to 1/d^2).
double ChangeKBasis(double k1, double d1, double d2);

}  // namespace corvane
