#pragma once
// The state of an ideal gas at atmospheric pressure: density by the ideal
// gas law, dynamic viscosity by Sutherland's formula, and the kinematic
// viscosity they give.

namespace corvane {

struct GasConstants {
    double r;           // individual gas constant, J/(kg K)
    double mu0;         // dynamic viscosity at 273.15 K, 1e-6 Pa s
    double sutherland;  // Sutherland constant, K
};

struct GasState {
    double density;             // kg/m3
    double dynamicViscosity;    // 1e-6 Pa s
    double kinematicViscosity;  // cSt
};

// The gas at `celsius` degrees and 101325 Pa:
//   rho = 101325 / (R T)                                 ideal gas law
//   mu  = mu0 (273.15 + S) / (T + S) (T / 273.15)^1.5    Sutherland's formula
//   nu  = mu / rho
// with T in kelvin.  Sutherland's formula holds for dilute gases over a few
// hundred kelvin around its reference (here 0 to 50 degC).  Source:
// W. Sutherland (1893), "The viscosity of gases and molecular force",
// Philosophical Magazine 36, 507-531.  Example: air (R 287, mu0 17.2, S
// 120) at 20 degC gives 1.205 kg/m3, 18.198e-6 Pa s and 15.105 cSt (test
// GasCalculator.Examples).
GasState GasStateAt(const GasConstants& gas, double celsius);

}  // namespace corvane
