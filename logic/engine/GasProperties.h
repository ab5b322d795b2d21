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

// The gas at `celsius` degrees and 101325 Pa.
GasState GasStateAt(const GasConstants& gas, double celsius);

}  // namespace corvane
