#pragma once
// Control valves sized by IEC 60534-2-1, "Industrial-process control valves -
// Part 2-1: Flow capacity - Sizing equations for fluid flow under installed
// conditions" (the equations of ANSI/ISA-75.01.01): the flow coefficient Kv
// that a liquid or a gas needs, the flow a valve of a given Kv passes, and
// the pressure drop it takes at a given flow, each with every factor it used.
//
// Units: the standard's, with pressures in bar (absolute); C is Kv in m3/h;
// liquid flows and gas volume flows in m3/h, mass flows in kg/h; diameters
// in mm; temperatures in K; molar masses in kg/kmol; a liquid's kinematic
// viscosity in cSt and a gas's dynamic viscosity in uPa s.  An equation
// number in brackets is the standard's where a public source confirms it
// (python fluids' control_valve, which cites IEC 60534-2-1 / ISA-75.01.01-2007
// by number for these); the other equations go by their names.
//
// An inputs struct goes in, a result struct comes out: the coefficient, the
// flow, the pressures, whether the flow is choked, the regime, every factor,
// and the notes and faults as values.  Nothing here is text.

#include <optional>
#include <vector>

namespace corvane {

// The numerical constants N of the standard for C = Kv, in its units with
// pressures in bar (its table 1).
inline constexpr double kValveN1 = 1.0;           // m3/h, bar
inline constexpr double kValveN2 = 1.60e-3;       // mm
inline constexpr double kValveN4 = 7.07e-2;       // m3/h, m2/s
inline constexpr double kValveN5 = 1.80e-3;       // mm
inline constexpr double kValveN6 = 3.16e1;        // kg/h, bar, kg/m3
inline constexpr double kValveN8 = 1.10e2;        // kg/h, bar, K
inline constexpr double kValveN9At0C = 2.46e3;    // m3/h, bar, K; volume at 0 degC, 1.01325 bar
inline constexpr double kValveN9At15C = 2.60e3;   // m3/h, bar, K; volume at 15 degC, 1.01325 bar
inline constexpr double kValveN32 = 1.40e2;       // mm

// rho0, the density of water at 15 degC that Kv refers to (kg/m3; the
// value python fluids takes).
inline constexpr double kKvWaterDensity = 999.10329075702327;
// Cv (US gal/min of water at 1 psi) = Kv / 0.865.
inline constexpr double kKvPerCv = 0.865;
// The molar gas constant, J/(mol K), and the standard conditions of the
// gas volume flows: 1.01325 bar at 0 degC ("normal") or 15 degC ("standard").
inline constexpr double kMolarGasConstant = 8.314462618;
inline constexpr double kNormalKelvin = 273.15;
inline constexpr double kStandardKelvin = 288.15;
inline constexpr double kStandardPressureBar = 1.01325;
// Below this valve Reynolds number the flow is not turbulent and the
// Reynolds number factor FR applies.
inline constexpr double kValveTurbulentReynolds = 1e4;
// The largest C/d^2 (Kv/mm^2) the full-trim FR equations hold for.
inline constexpr double kFullTrimMaxCOverD2 = 0.04;
// The standard's trial step in the non-turbulent iteration: Ci = 1.3 C.
inline constexpr double kValveTrialStep = 1.3;
// The expansion factor at choked flow, where x = Fgamma xT: 1 - 1/3 (the
// 0.667 of the choked gas equations).
inline constexpr double kChokedExpansionFactor = 2.0 / 3.0;
// xT above this is outside the range the standard's gas equations hold for.
inline constexpr double kValveMaxValidXT = 0.84;

enum class ValveTrim { Full, Reduced };
enum class ValveRegime { Turbulent, Transitional, Laminar };

// How a gas flow is given: mass flow in kg/h; volume flow in m3/h at the
// valve's inlet ("actual"); volume flow in m3/h at 1.01325 bar and 0 degC
// ("normal", N9 at 0 degC) or 15 degC ("standard", N9 at 15 degC).
enum class GasFlowForm { Mass, Actual, Normal, Standard };

// The valve and the pipes it sits between.  A pipe wider than the valve
// joins it through a reducer (inlet) or an expander (outlet); a pipe of the
// valve's size needs none.
struct ValveBody {
    double fl = 0;          // FL, liquid pressure recovery factor, 0 < FL <= 1
    double fd = 0;          // Fd, valve style modifier, 0 < Fd <= 1
    double xt = 0;          // xT, pressure differential ratio factor, 0 < xT < 1 (gases)
    double size = 0;        // d, mm
    double inletPipe = 0;   // D1, mm, at least d
    double outletPipe = 0;  // D2, mm, at least d
    ValveTrim trim = ValveTrim::Full;
};

struct LiquidValveCase {
    double p1 = 0;                // upstream pressure, bar a
    double p2 = 0;                // downstream pressure, bar a
    double flow = 0;              // Q, m3/h
    double density = 0;           // rho1, kg/m3 at the inlet
    double vapourPressure = 0;    // pv, bar a, at the inlet temperature
    double criticalPressure = 0;  // pc, bar a
    double viscosity = 0;         // nu, cSt
    ValveBody valve;
};

struct GasValveCase {
    double p1 = 0;           // upstream pressure, bar a
    double p2 = 0;           // downstream pressure, bar a
    double flow = 0;         // in the unit of `form`
    GasFlowForm form = GasFlowForm::Normal;
    double molarMass = 0;    // M, kg/kmol
    double gamma = 0;        // specific heat ratio, above 1
    double z = 1;            // compressibility factor at the inlet
    double temperature = 0;  // T1, K
    double viscosity = 0;    // dynamic viscosity at the inlet, uPa s
    ValveBody valve;
};

// Which input a fault is about, and what is wrong with it.
enum class ValveInput {
    UpstreamPressure, DownstreamPressure, Flow, Density, VapourPressure, CriticalPressure, Viscosity,
    MolarMass, Gamma, Compressibility, Temperature, FL, Fd, XT, Size, InletPipe, OutletPipe, Kv,
};
enum class ValveFaultKind {
    NotFinite,             // NaN or infinite
    NotPositive,           // must be above 0
    Negative,              // must be 0 or above
    OutOfRange,            // FL, Fd outside (0, 1]; xT outside (0, 1); gamma not above 1
    NotBelowUpstream,      // a downstream or vapour pressure not below the upstream pressure
    NotBelowCritical,      // a vapour pressure not below the critical pressure
    NarrowerThanValve,     // a pipe narrower than the valve between them
    BeyondChokedFlow,      // more flow than the valve passes choked: `limit` is that flow
    ReducersTakeTheDrop,   // the reducers alone take the pressure drop: no valve passes the flow
    NoTrialAccepted,       // the FR trials accept no Ci (python fluids' reading only)
};
struct ValveFault {
    ValveInput input;
    ValveFaultKind kind;
    double limit = 0;  // BeyondChokedFlow: the choked flow, in the flow's unit
    bool operator==(const ValveFault&) const = default;
};

// What the answer should be read with.
enum class ValveNote {
    ReducersIgnoredOutsideTurbulentFlow,  // FP is not applied in laminar or transitional flow
    FullTrimRatioLimited,                 // C/d^2 above 0.04 with full trim: n1 taken at 0.04
    Flashing,                             // a liquid below its vapour pressure downstream
    XTOutsideRange,                       // xT above 0.84
};

struct ValveResult {
    std::optional<ValveFault> fault;  // no answer when set
    double kv = 0;              // m3/h
    double cv = 0;              // US gal/min
    double flow = 0;            // the case's flow, or the flow found
    double p2 = 0;              // bar a: the case's, or the one found
    double dp = 0;              // p1 - p2, bar
    bool choked = false;
    ValveRegime regime = ValveRegime::Turbulent;
    double fp = 1;              // FP (1 without reducers and outside turbulent flow)
    double fr = 1;              // FR (1 in turbulent flow)
    double reynolds = 0;        // Rev the regime was found by: at the C without reducers (sizing,
                                // turbulent), at the trial Ci taken, or at the flow found
    int passes = 0;             // passes of the FP iteration or trials of Ci
    double kvTurbulent = 0;     // sizing: the turbulent C without reducers, where the FP
                                // iteration and the FR trials start
    // Liquids:
    std::optional<double> ff;        // FF
    std::optional<double> flp;       // FLP (FL without reducers)
    std::optional<double> dpChoked;  // the pressure drop at which the flow chokes, bar
    // Gases:
    std::optional<double> x;         // dp / p1
    std::optional<double> fgamma;    // gamma / 1.4
    std::optional<double> xtp;       // xTP (xT without reducers)
    std::optional<double> y;         // Y
    std::optional<double> xChoked;   // Fgamma xTP
    std::vector<ValveNote> notes;
};

// Where the standard's iterations leave a choice.  The defaults are the
// program's reading; Fluids() is python fluids' (1.0).
struct ValveReading {
    // Stop the FP iteration at the first assumed C within 1 % of the C it
    // gives (at most 20 repetitions), instead of at the C it was computed with.
    bool pipingWithinOnePercent = false;
    // With reducers, take the gas expansion factor Y from xT and its limit
    // 2/3, instead of from xTP.
    bool expansionFromXT = false;
    // In the FR iteration, from the second trial on compare the previous
    // trial's C divided by FR with Ci, instead of the turbulent C.
    bool trialAgainstPrevious = false;
    // A gas's Reynolds number from its volume flow at 0 degC (as a normal
    // flow) and its kinematic viscosity at the inlet, instead of from the
    // actual flow: larger by rho1 / rho(0 degC).
    bool reynoldsFromNormalFlow = false;
    static ValveReading Fluids() { return {true, true, true, true}; }
};

// The Kv a liquid needs: kv, the factors and the regime; p2 and flow as given.
//   turbulent (Rev >= 10 000):  C = Q / (N1 FP) sqrt((rho1/rho0) / dp)              (1) without reducers
//   choked, dp >= (FLP/FP)^2 (p1 - FF pv):  C = Q / (N1 FLP) sqrt((rho1/rho0) / (p1 - FF pv))  (3), (4) with reducers
//   non-turbulent:  C = Q / (N1 FR) sqrt((rho1/rho0) / dp), without FP
// with FP, FLP from the reducers (ValvePipingFactor, LiquidRecoveryWithPiping)
// by iteration from the C without them, and FR by the standard's trials
// Ci = 1.3 C, 1.3 Ci ... until C / FR <= Ci, which is the answer.
// Example: the standard's example 1 (water at 363 K, 680 to 220 kPa,
// 360 m3/h, FL 0.9, Fd 0.46, 150 mm) needs Kv 164.995 (test
// ControlValveExamples.AsFluidsQuotesThem).
ValveResult SizeLiquidValve(const LiquidValveCase& c, const ValveReading& reading = {});

// The flow (m3/h) a liquid passes through a valve of `kv` at p1 and p2:
// the equations above solved for Q, FR at the Reynolds number of that flow.
ValveResult LiquidValveFlow(const LiquidValveCase& c, double kv);

// The outlet pressure p2 a valve of `kv` leaves at the case's flow; the
// fault BeyondChokedFlow (with the choked flow) where it cannot pass it.
ValveResult LiquidValveOutletPressure(const LiquidValveCase& c, double kv);

// The Kv a gas needs, with x = dp/p1, the specific heat ratio factor
// Fgamma = gamma/1.4, x limited to Fgamma xTP where choked, the expansion
// factor Y = 1 - x / (3 Fgamma xTP):
//   mass flow W:        C = W / (N8 FP p1 Y) sqrt(T1 Z / (x M))
//   actual flow Q1:     C = W / (N6 FP Y sqrt(x p1 rho1)), W = Q1 rho1
//   normal or standard: C = Q / (N9 FP p1 Y) sqrt(M T1 Z / x)   (8a), (14a) choked; (11a), (17a) with reducers
// with rho1 = p1 M / (Z R T1); non-turbulent as for a liquid (the
// turbulent C divided by FR by the same trials, without FP).  Example: the
// standard's example 3 (carbon dioxide, 680 to 310 kPa, 3800 m3/h at 0
// degC, 50 mm valve between 80 and 100 mm pipes) needs Kv 70.889 as the
// program reads the standard and 72.587 as python fluids does (test
// ControlValveExamples.AsFluidsQuotesThem).
ValveResult SizeGasValve(const GasValveCase& c, const ValveReading& reading = {});

// The flow (in the case's form) a gas passes through a valve of `kv`.
ValveResult GasValveFlow(const GasValveCase& c, double kv);

// The outlet pressure a valve of `kv` leaves at the case's gas flow, or
// BeyondChokedFlow.
ValveResult GasValveOutletPressure(const GasValveCase& c, double kv);

// The factors, for a valve of C = `kv` (m3/h) and size d between pipes
// D1 and D2 (mm):
//   piping geometry factor  FP = 1 / sqrt(1 + (sum zeta / N2) (C / d^2)^2)
//   sum zeta = zeta1 + zeta2 + zetaB1 - zetaB2
//   Bernoulli coefficients  zetaB = 1 - (d / D)^4
//   reducers' loss coefficients  zeta1 = 0.5 (1 - (d / D1)^2)^2,  zeta2 = 1.0 (1 - (d / D2)^2)^2
double ValvePipingFactor(double kv, const ValveBody& valve);
double ValveLossCoefficients(const ValveBody& valve);       // sum zeta
double ValveInletLossCoefficients(const ValveBody& valve);  // zeta1 + zetaB1
// liquid pressure recovery factor with reducers:
//   FLP = FL / sqrt(1 + (FL^2 / N2) (zeta1 + zetaB1) (C / d^2)^2)
double LiquidRecoveryWithPiping(double kv, const ValveBody& valve);
// pressure differential ratio factor with reducers:
//   xTP = (xT / FP^2) / (1 + (xT (zeta1 + zetaB1) / N5) (C / d^2)^2)
double GasRatioWithPiping(double kv, const ValveBody& valve);
// liquid critical pressure ratio factor:
//   FF = 0.96 - 0.28 sqrt(pv / pc)
double LiquidCriticalPressureRatio(double vapourPressure, double criticalPressure);
// valve Reynolds number:
//   Rev = N4 Fd Q / (nu sqrt(C FL)) (FL^2 C^2 / (N2 D1^4) + 1)^(1/4)
// with Q in m3/h and nu in m2/s (Q / nu: any consistent pair).
double ValveReynolds(double flowOverViscosity, double kv, const ValveBody& valve);
// FR at Rev for a valve of C = `kv`:
//   full trim:     n1 = N2 / (C/d^2)^2 (C/d^2 at most 0.04)
//   reduced trim:  n2 = 1 + N32 (C/d^2)^(2/3)
//   transitional:  FR = 1 + (0.33 FL^(1/2) / n^(1/4)) log10(Rev / 10 000)
//   laminar:       FR = 0.026 / FL sqrt(n Rev), at most 1
// the smaller of the two (the laminar one alone below Rev 10).  `laminar`
// tells which gave it.
double ValveReynoldsFactor(double kv, double reynolds, const ValveBody& valve, bool* laminar = nullptr);

}  // namespace corvane
