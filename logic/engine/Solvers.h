#pragma once
// The four calculations of the panels on plain values in calculation units
// (mm, m, l/min, bar g, cSt).  The panel model reads and converts its
// entries, calls one of these, and writes the results back as text.
//
// Each solver follows its panel's steps in order and returns either a
// refusal (with the message the panel shows) or the results.  No result
// that is NaN or infinite is ever returned as a success.

#include <optional>
#include <string>

#include "logic/text/Locale.h"
#include "logic/model/PanelControls.h"

namespace corvane {

// Unit of the available pressure entry: a head ("m hd" / "ft hd") or a
// pressure ("bar" / "psi").
enum class AvailableUnit { Head, Pressure };

struct SolverInputs {
    bool gas = false;
    bool imperial = false;    // only the available pressure is still in its display unit
    double roughness = 0;     // mm
    double diameter = 0;      // mm (panels 1, 2, 4)
    double length = 0;        // m (panels 1, 2, 3)
    double elevation = 0;     // m, magnitude as entered
    bool fall = false;        // "Fall" selected: the elevation counts negative
    double flow = 0;          // l/min, for a gas the free flow (panels 1, 3, 4)
    double inletPressure = 0; // bar g
    double allowableLoss = 0; // bar (gas, panels 2 to 4)
    double available = 0;     // m hd / bar, or ft hd / psi when imperial (liquid, panels 2 to 4)
    AvailableUnit availableUnit = AvailableUnit::Head;
    double viscosity = 0;     // cSt
    double density = 0;       // relative density (liquid) or kg/m3 at 0 bar g (gas)
    std::string fittings;     // the panel's fittings selection string
    Locale locale;            // to read the extra K of the fittings
};

struct SolverResult {
    std::optional<Refusal> refusal;
    // Total K of the fittings, when the calculation got as far as taking it
    // (also on a refusal that came after).
    std::optional<double> fittingsK;
    double velocity = 0;       // m/s
    double reynolds = 0;
    double friction = 0;
    double head = 0;           // m (panel 1)
    double pressureDrop = 0;   // bar (panel 1)
    double flow = 0;           // l/min, free flow (panel 2)
    double diameter = 0;       // mm (panel 3)
    double length = 0;         // m (panel 4)
    double exitPressure = 0;   // bar g (gas)
    int passes = 0;            // iterations run (panels 2 and 3)
    bool converged = false;    // the iteration met its tolerance
};

SolverResult SolvePressureDrop(const SolverInputs& in);
SolverResult SolveFindFlow(const SolverInputs& in);
SolverResult SolveFindDiameter(const SolverInputs& in);
SolverResult SolveFindLength(const SolverInputs& in);

inline constexpr int kMaxIterations = 101;
inline constexpr double kIterationTolerance = 0.0001;

// The refusals of the calculations.
namespace refusals {
Refusal PressureTooLow();
Refusal GasPressureDropTooHigh();
Refusal AllowableLossTooHigh();
Refusal AvailablePressureTooLow();
Refusal DiameterNotPositive();
Refusal LengthNotPositive();
Refusal FlowNotPositive();
Refusal ViscosityNotPositive();
Refusal DensityNotPositive();
Refusal NoValidResult();
}  // namespace refusals

}  // namespace corvane
