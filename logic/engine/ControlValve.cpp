#include "logic/engine/ControlValve.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane {
namespace {

constexpr double kSquareMetresPerSecondPerCst = 1e-6;
constexpr double kPascalSecondsPerMicro = 1e-6;
constexpr double kPascalsPerBar = 1e5;
constexpr double kKilogramsPerGram = 1e-3;
// FF = 0.96 - 0.28 sqrt(pv / pc).
constexpr double kFFBase = 0.96;
constexpr double kFFSlope = 0.28;
// Fgamma = gamma / 1.40.
constexpr double kAirGamma = 1.40;
// zeta1 = 0.5 (1 - (d/D1)^2)^2 and zeta2 = 1.0 (1 - (d/D2)^2)^2.
constexpr double kInletReducerShare = 0.5;
constexpr double kOutletReducerShare = 1.0;
// FR = 1 + (0.33 FL^(1/2) / n^(1/4)) log10(Rev / 10 000); FR = 0.026 / FL sqrt(n Rev),
// which alone holds below Rev 10.
constexpr double kTransitionalSlope = 0.33;
constexpr double kLaminarSlope = 0.026;
constexpr double kLaminarOnlyBelow = 10;
constexpr double kReducedTrimExponent = 2.0 / 3.0;
// The FP iteration has reached its C where a pass changes it by no more
// than this share, or changes it no less than the pass before (the
// rounding of the last digits) once within kPipingNear; it gives up after
// so many passes (where the reducers take nearly all of the pressure drop
// and C grows without bound).
constexpr double kPipingAgreement = 1e-15;
constexpr double kPipingNear = 1e-9;
constexpr int kMaxPipingPasses = 100000;
constexpr double kUnboundedKv = 1e30;
// python fluids' stop: the assumed C at least 0.99 of the C it gives, or 20
// repetitions.
constexpr double kFluidsPipingAgreement = 0.99;
constexpr int kFluidsPipingRepeats = 20;
// The FR trials grow C by 1.3 each; 400 of them pass any C a double holds.
constexpr int kMaxTrials = 400;
// Halvings of an interval in the inverse problems, which stop sooner where
// its ends are neighbouring doubles (at most 1100 from 0 to the largest).
constexpr int kHalvings = 1100;
// A flow within this share of the choked flow is the choked flow (the
// rounding of a Kv sized for choked flow).
constexpr double kChokeAgreement = 1e-12;

double Square(double v) { return v * v; }

// ---------------------------------------------------------------- inputs

enum class Unknown { Kv, Flow, OutletPressure };

std::optional<ValveFault> Finite(double v, ValveInput in) {
    if (!std::isfinite(v)) return ValveFault{in, ValveFaultKind::NotFinite};
    return std::nullopt;
}
std::optional<ValveFault> Positive(double v, ValveInput in) {
    if (auto f = Finite(v, in)) return f;
    if (!(v > 0)) return ValveFault{in, ValveFaultKind::NotPositive};
    return std::nullopt;
}
std::optional<ValveFault> UpToOne(double v, ValveInput in) {
    if (auto f = Finite(v, in)) return f;
    if (!(v > 0 && v <= 1)) return ValveFault{in, ValveFaultKind::OutOfRange};
    return std::nullopt;
}

// The pressures and the flow or Kv the unknown leaves to the case.
std::optional<ValveFault> CheckProcess(double p1, double p2, double flow, double kv, Unknown unknown) {
    if (auto f = Positive(p1, ValveInput::UpstreamPressure)) return f;
    if (unknown != Unknown::OutletPressure) {
        if (auto f = Finite(p2, ValveInput::DownstreamPressure)) return f;
        if (p2 < 0) return ValveFault{ValveInput::DownstreamPressure, ValveFaultKind::Negative};
        if (!(p2 < p1)) return ValveFault{ValveInput::DownstreamPressure, ValveFaultKind::NotBelowUpstream};
    }
    if (unknown != Unknown::Flow)
        if (auto f = Positive(flow, ValveInput::Flow)) return f;
    if (unknown != Unknown::Kv)
        if (auto f = Positive(kv, ValveInput::Kv)) return f;
    return std::nullopt;
}

std::optional<ValveFault> CheckBody(const ValveBody& v, bool gas) {
    if (auto f = UpToOne(v.fl, ValveInput::FL)) return f;
    if (auto f = UpToOne(v.fd, ValveInput::Fd)) return f;
    if (gas) {
        if (auto f = Finite(v.xt, ValveInput::XT)) return f;
        if (!(v.xt > 0 && v.xt < 1)) return ValveFault{ValveInput::XT, ValveFaultKind::OutOfRange};
    }
    if (auto f = Positive(v.size, ValveInput::Size)) return f;
    if (auto f = Positive(v.inletPipe, ValveInput::InletPipe)) return f;
    if (v.inletPipe < v.size) return ValveFault{ValveInput::InletPipe, ValveFaultKind::NarrowerThanValve};
    if (auto f = Positive(v.outletPipe, ValveInput::OutletPipe)) return f;
    if (v.outletPipe < v.size) return ValveFault{ValveInput::OutletPipe, ValveFaultKind::NarrowerThanValve};
    return std::nullopt;
}

std::optional<ValveFault> CheckLiquid(const LiquidValveCase& c, double kv, Unknown unknown) {
    if (auto f = CheckProcess(c.p1, c.p2, c.flow, kv, unknown)) return f;
    if (auto f = Positive(c.density, ValveInput::Density)) return f;
    if (auto f = Finite(c.vapourPressure, ValveInput::VapourPressure)) return f;
    if (c.vapourPressure < 0) return ValveFault{ValveInput::VapourPressure, ValveFaultKind::Negative};
    if (!(c.vapourPressure < c.p1)) return ValveFault{ValveInput::VapourPressure, ValveFaultKind::NotBelowUpstream};
    if (auto f = Positive(c.criticalPressure, ValveInput::CriticalPressure)) return f;
    if (!(c.vapourPressure < c.criticalPressure))
        return ValveFault{ValveInput::VapourPressure, ValveFaultKind::NotBelowCritical};
    if (auto f = Positive(c.viscosity, ValveInput::Viscosity)) return f;
    return CheckBody(c.valve, false);
}

std::optional<ValveFault> CheckGas(const GasValveCase& c, double kv, Unknown unknown) {
    if (auto f = CheckProcess(c.p1, c.p2, c.flow, kv, unknown)) return f;
    if (auto f = Positive(c.molarMass, ValveInput::MolarMass)) return f;
    if (auto f = Finite(c.gamma, ValveInput::Gamma)) return f;
    if (!(c.gamma > 1)) return ValveFault{ValveInput::Gamma, ValveFaultKind::OutOfRange};
    if (auto f = Positive(c.z, ValveInput::Compressibility)) return f;
    if (auto f = Positive(c.temperature, ValveInput::Temperature)) return f;
    if (auto f = Positive(c.viscosity, ValveInput::Viscosity)) return f;
    return CheckBody(c.valve, true);
}

bool HasReducers(const ValveBody& v) { return v.inletPipe != v.size || v.outletPipe != v.size; }

// ---------------------------------------------------------------- iterations

// The standard's steps for FP: from the C of the valve without reducers,
// FP (and FLP or xTP) from the assumed C, then C from them, again with that
// C.  `step` gives C from the assumed C.  Nothing where C grows without
// bound: the reducers take the whole pressure drop.
template <class Step>
std::optional<double> IteratePiping(double c0, const Step& step, bool withinOnePercent, int& passes) {
    double assumed = c0, change = std::numeric_limits<double>::infinity();
    for (passes = 1; passes <= kMaxPipingPasses; ++passes) {
        const double c = step(assumed);
        if (!std::isfinite(c) || c > kUnboundedKv) return std::nullopt;
        const double last = change;
        change = std::abs(c - assumed);
        const bool done = withinOnePercent
                              ? !(assumed / c < kFluidsPipingAgreement && passes <= kFluidsPipingRepeats)
                              : change <= kPipingAgreement * c || (change >= last && change <= kPipingNear * c);
        if (done) return c;
        assumed = c;
    }
    return std::nullopt;
}

// The standard's steps for FR: Ci = 1.3 C, FR at Rev(Ci); Ci is the answer
// where C / FR <= Ci, else Ci grows by 30 % and FR is found again.
// False where no trial is accepted: fluids' reading, where FR stays below
// 1/1.3 as Ci grows (the program's reading accepts one: Ci FR grows with Ci).
template <class Reynolds>
bool TryReynoldsTrials(double c, const Reynolds& reynoldsAt, const ValveBody& v, bool againstPrevious,
                       ValveResult& r) {
    double previous = c;
    for (int trial = 1; trial <= kMaxTrials; ++trial) {
        const double ci = kValveTrialStep * previous;
        const double rev = reynoldsAt(ci);
        bool laminar = false;
        const double fr = ValveReynoldsFactor(ci, rev, v, &laminar);
        r.kv = ci;
        r.fr = fr;
        r.reynolds = rev;
        r.passes = trial;
        r.regime = laminar ? ValveRegime::Laminar : ValveRegime::Transitional;
        if (againstPrevious ? previous / fr < ci : c / fr <= ci) return true;
        previous = ci;
    }
    return false;
}

// The largest q in (0, most] with q <= most FR(q): the flow a valve passes
// where FR depends on that flow.
template <class Factor>
double FlowWithReynoldsFactor(double most, const Factor& frAt) {
    double low = 0, high = most;
    for (int i = 0; i < kHalvings; ++i) {
        const double mid = 0.5 * (low + high);
        if (mid <= low || mid >= high) break;  // the two are neighbouring doubles
        (mid < most * frAt(mid) ? low : high) = mid;
    }
    return high;
}

void NoteTrim(double kv, const ValveBody& v, ValveResult& r) {
    if (v.trim == ValveTrim::Full && kv / Square(v.size) > kFullTrimMaxCOverD2)
        r.notes.push_back(ValveNote::FullTrimRatioLimited);
}

void Finish(ValveResult& r) { r.cv = r.kv / kKvPerCv; }

ValveResult Refused(const ValveFault& fault) {
    ValveResult r;
    r.fault = fault;
    return r;
}

// ---------------------------------------------------------------- liquids

struct LiquidTerms {
    double dp, ff, limit, densityRatio, flowOverViscosity;
};

LiquidTerms LiquidTermsOf(const LiquidValveCase& c, double p2, double flow) {
    LiquidTerms t;
    t.dp = c.p1 - p2;
    t.ff = LiquidCriticalPressureRatio(c.vapourPressure, c.criticalPressure);
    t.limit = c.p1 - t.ff * c.vapourPressure;
    t.densityRatio = c.density / kKvWaterDensity;
    t.flowOverViscosity = flow / (c.viscosity * kSquareMetresPerSecondPerCst);
    return t;
}

ValveResult LiquidStart(const LiquidValveCase& c, const LiquidTerms& t) {
    ValveResult r;
    r.flow = c.flow;
    r.p2 = c.p2;
    r.dp = t.dp;
    r.ff = t.ff;
    r.flp = c.valve.fl;
    r.dpChoked = Square(c.valve.fl) * t.limit;
    return r;
}

void LiquidNotes(const LiquidValveCase& c, ValveResult& r) {
    if (r.regime != ValveRegime::Turbulent) {
        NoteTrim(r.kv, c.valve, r);
        if (HasReducers(c.valve)) r.notes.push_back(ValveNote::ReducersIgnoredOutsideTurbulentFlow);
    }
    if (r.p2 < c.vapourPressure) r.notes.push_back(ValveNote::Flashing);
    Finish(r);
}

// The turbulent flow per unit C at FP and FLP, and whether it is choked:
// the turbulent equations solved for Q.
std::pair<double, bool> LiquidCapacity(const LiquidTerms& t, double fp, double flp) {
    const bool choked = t.dp >= Square(flp / fp) * t.limit;
    return {choked ? kValveN1 * flp * std::sqrt(t.limit / t.densityRatio)
                   : kValveN1 * fp * std::sqrt(t.dp / t.densityRatio),
            choked};
}

}  // namespace

// ---------------------------------------------------------------- factors

double ValveLossCoefficients(const ValveBody& v) {
    const double in = Square(v.size / v.inletPipe), out = Square(v.size / v.outletPipe);
    return kInletReducerShare * Square(1 - in) + (1 - in * in) + kOutletReducerShare * Square(1 - out) -
           (1 - out * out);
}

double ValveInletLossCoefficients(const ValveBody& v) {
    const double in = Square(v.size / v.inletPipe);
    return kInletReducerShare * Square(1 - in) + (1 - in * in);
}

double ValvePipingFactor(double kv, const ValveBody& v) {
    return 1 / std::sqrt(1 + ValveLossCoefficients(v) / kValveN2 * Square(kv / Square(v.size)));
}

double LiquidRecoveryWithPiping(double kv, const ValveBody& v) {
    return v.fl / std::sqrt(1 + Square(v.fl) / kValveN2 * ValveInletLossCoefficients(v) * Square(kv / Square(v.size)));
}

double GasRatioWithPiping(double kv, const ValveBody& v) {
    return v.xt / Square(ValvePipingFactor(kv, v)) /
           (1 + v.xt * ValveInletLossCoefficients(v) / kValveN5 * Square(kv / Square(v.size)));
}

double LiquidCriticalPressureRatio(double vapourPressure, double criticalPressure) {
    return kFFBase - kFFSlope * std::sqrt(vapourPressure / criticalPressure);
}

double ValveReynolds(double flowOverViscosity, double kv, const ValveBody& v) {
    return kValveN4 * v.fd * flowOverViscosity / std::sqrt(kv * v.fl) *
           std::sqrt(std::sqrt(Square(v.fl * kv) / kValveN2 / std::pow(v.inletPipe, 4) + 1));
}

double ValveReynoldsFactor(double kv, double reynolds, const ValveBody& v, bool* laminar) {
    const double ratio = kv / Square(v.size);
    const double n = v.trim == ValveTrim::Full ? kValveN2 / Square(std::min(ratio, kFullTrimMaxCOverD2))
                                               : 1 + kValveN32 * std::pow(ratio, kReducedTrimExponent);
    const double viscous = std::min(kLaminarSlope / v.fl * std::sqrt(n * reynolds), 1.0);
    if (reynolds < kLaminarOnlyBelow) {
        if (laminar) *laminar = true;
        return viscous;
    }
    const double transitional =
        1 + kTransitionalSlope * std::sqrt(v.fl) / std::sqrt(std::sqrt(n)) * std::log10(reynolds / kValveTurbulentReynolds);
    if (laminar) *laminar = viscous <= transitional;
    return std::min(viscous, transitional);
}

// ---------------------------------------------------------------- liquids

ValveResult SizeLiquidValve(const LiquidValveCase& c, const ValveReading& reading) {
    if (auto fault = CheckLiquid(c, 0, Unknown::Kv)) return Refused(*fault);
    const LiquidTerms t = LiquidTermsOf(c, c.p2, c.flow);
    const ValveBody& v = c.valve;
    ValveResult r = LiquidStart(c, t);
    const auto [capacity, choked] = LiquidCapacity(t, 1, v.fl);
    const double c0 = c.flow / capacity;
    r.kv = c0;
    r.kvTurbulent = c0;
    r.choked = choked;
    r.reynolds = ValveReynolds(t.flowOverViscosity, c0, v);
    if (r.reynolds < kValveTurbulentReynolds) {
        if (!TryReynoldsTrials(c0, [&](double ci) { return ValveReynolds(t.flowOverViscosity, ci, v); }, v,
                               reading.trialAgainstPrevious, r))
            return Refused(ValveFault{ValveInput::Flow, ValveFaultKind::NoTrialAccepted});
    } else if (HasReducers(v)) {
        const auto kv = IteratePiping(
            c0,
            [&](double assumed) {
                r.fp = ValvePipingFactor(assumed, v);
                r.flp = LiquidRecoveryWithPiping(assumed, v);
                const auto [capacityWith, chokedWith] = LiquidCapacity(t, r.fp, *r.flp);
                r.choked = chokedWith;
                r.dpChoked = Square(*r.flp / r.fp) * t.limit;
                return c.flow / capacityWith;
            },
            reading.pipingWithinOnePercent, r.passes);
        if (!kv) return Refused(ValveFault{ValveInput::Flow, ValveFaultKind::ReducersTakeTheDrop});
        r.kv = *kv;
    }
    LiquidNotes(c, r);
    return r;
}

ValveResult LiquidValveFlow(const LiquidValveCase& c, double kv) {
    if (auto fault = CheckLiquid(c, kv, Unknown::Flow)) return Refused(*fault);
    const ValveBody& v = c.valve;
    const LiquidTerms perFlow = LiquidTermsOf(c, c.p2, 1.0);  // flowOverViscosity per m3/h
    ValveResult r = LiquidStart(c, perFlow);
    r.kv = kv;
    r.fp = ValvePipingFactor(kv, v);
    r.flp = LiquidRecoveryWithPiping(kv, v);
    const auto [capacity, choked] = LiquidCapacity(perFlow, r.fp, *r.flp);
    const double turbulent = kv * capacity;
    r.flow = turbulent;
    r.choked = choked;
    r.dpChoked = Square(*r.flp / r.fp) * perFlow.limit;
    r.reynolds = ValveReynolds(turbulent * perFlow.flowOverViscosity, kv, v);
    // As in sizing, the flow without the reducers tells the regime.
    const auto [most, chokedPlain] = LiquidCapacity(perFlow, 1, v.fl);
    if (ValveReynolds(kv * most * perFlow.flowOverViscosity, kv, v) < kValveTurbulentReynolds) {
        bool laminar = false;
        const auto frAt = [&](double q) {
            return ValveReynoldsFactor(kv, ValveReynolds(q * perFlow.flowOverViscosity, kv, v), v, &laminar);
        };
        const double q = FlowWithReynoldsFactor(kv * most, frAt);
        r.flow = q;
        r.fr = frAt(q);
        r.reynolds = ValveReynolds(q * perFlow.flowOverViscosity, kv, v);
        r.regime = laminar ? ValveRegime::Laminar : ValveRegime::Transitional;
        r.fp = 1;
        r.flp = v.fl;
        r.choked = chokedPlain;
        r.dpChoked = Square(v.fl) * perFlow.limit;
    }
    LiquidNotes(c, r);
    return r;
}

ValveResult LiquidValveOutletPressure(const LiquidValveCase& c, double kv) {
    if (auto fault = CheckLiquid(c, kv, Unknown::OutletPressure)) return Refused(*fault);
    const ValveBody& v = c.valve;
    const LiquidTerms t = LiquidTermsOf(c, c.p1, c.flow);
    ValveResult r = LiquidStart(c, t);
    r.kv = kv;
    r.reynolds = ValveReynolds(t.flowOverViscosity, kv, v);
    double recovery = v.fl;  // FLP, or FL outside turbulent flow
    if (r.reynolds < kValveTurbulentReynolds) {
        bool laminar = false;
        r.fr = ValveReynoldsFactor(kv, r.reynolds, v, &laminar);
        r.regime = laminar ? ValveRegime::Laminar : ValveRegime::Transitional;
    } else {
        r.fp = ValvePipingFactor(kv, v);
        recovery = LiquidRecoveryWithPiping(kv, v);
    }
    // Outside turbulent flow FR takes the place of FP, and FL of FLP.
    const double through = r.regime == ValveRegime::Turbulent ? r.fp : r.fr;
    const double chokedAt = Square(recovery / r.fp) * t.limit;
    double dp = t.densityRatio * Square(c.flow / (kValveN1 * through * kv));
    if (dp > chokedAt * (1 + kChokeAgreement)) {
        const double most = kValveN1 * (r.regime == ValveRegime::Turbulent ? 1 : r.fr) * recovery * kv *
                            std::sqrt(t.limit / t.densityRatio);
        return Refused(ValveFault{ValveInput::Flow, ValveFaultKind::BeyondChokedFlow, most});
    }
    dp = std::min(dp, chokedAt);
    r.flp = recovery;
    r.dpChoked = chokedAt;
    r.dp = dp;
    r.p2 = c.p1 - dp;
    r.choked = dp >= chokedAt;
    LiquidNotes(c, r);
    return r;
}

// ---------------------------------------------------------------- gases

namespace {

double GasDensity(double bar, double molarMass, double z, double kelvin) {
    return bar * kPascalsPerBar * molarMass * kKilogramsPerGram / (z * kMolarGasConstant * kelvin);
}

struct GasTerms {
    double x, fgamma, density;  // x = dp/p1, rho1
    double massPerFlow;         // kg/h per unit of the case's flow
    double reynoldsPerMass;     // (Q / nu) per kg/h, as the reading takes it
};

GasTerms GasTermsOf(const GasValveCase& c, double p2, bool fromNormalFlow) {
    GasTerms t;
    t.x = (c.p1 - p2) / c.p1;
    t.fgamma = c.gamma / kAirGamma;
    t.density = GasDensity(c.p1, c.molarMass, c.z, c.temperature);
    switch (c.form) {
        case GasFlowForm::Mass: t.massPerFlow = 1; break;
        case GasFlowForm::Actual: t.massPerFlow = t.density; break;
        case GasFlowForm::Normal:
            t.massPerFlow = GasDensity(kStandardPressureBar, c.molarMass, 1, kNormalKelvin);
            break;
        case GasFlowForm::Standard:
            t.massPerFlow = GasDensity(kStandardPressureBar, c.molarMass, 1, kStandardKelvin);
            break;
    }
    // Q1 / nu1 = W / mu; from the normal flow, Q0 rho1 / mu = W rho1 / (rho0 mu).
    const double mu = c.viscosity * kPascalSecondsPerMicro;
    t.reynoldsPerMass = fromNormalFlow
                            ? t.density / (GasDensity(kStandardPressureBar, c.molarMass, 1, kNormalKelvin) * mu)
                            : 1 / mu;
    return t;
}

// The flow per unit C at FP, Y and x (limited where choked): the gas
// equations solved for the flow, in the case's form.
double GasCapacity(const GasValveCase& c, const GasTerms& t, double fp, double y, double x) {
    switch (c.form) {
        case GasFlowForm::Mass:
            return kValveN8 * fp * c.p1 * y * std::sqrt(x * c.molarMass / (c.temperature * c.z));
        case GasFlowForm::Actual: return kValveN6 * fp * y * std::sqrt(x * c.p1 * t.density) / t.density;
        case GasFlowForm::Normal:
            return kValveN9At0C * fp * c.p1 * y * std::sqrt(x / (c.molarMass * c.temperature * c.z));
        case GasFlowForm::Standard: break;
    }
    return kValveN9At15C * fp * c.p1 * y * std::sqrt(x / (c.molarMass * c.temperature * c.z));
}

// Y at x where the flow chokes at `chokedAt` = Fgamma xT(P): 2/3 when choked.
double Expansion(double x, double chokedAt) {
    return x >= chokedAt ? kChokedExpansionFactor : 1 - x / (3 * chokedAt);
}

ValveResult GasStart(const GasValveCase& c, const GasTerms& t) {
    ValveResult r;
    r.flow = c.flow;
    r.p2 = c.p2;
    r.dp = c.p1 - c.p2;
    r.x = t.x;
    r.fgamma = t.fgamma;
    r.xtp = c.valve.xt;
    r.xChoked = t.fgamma * c.valve.xt;
    r.choked = t.x >= *r.xChoked;
    r.y = Expansion(t.x, *r.xChoked);
    return r;
}

void GasNotes(const GasValveCase& c, ValveResult& r) {
    if (r.regime != ValveRegime::Turbulent) {
        NoteTrim(r.kv, c.valve, r);
        if (HasReducers(c.valve)) r.notes.push_back(ValveNote::ReducersIgnoredOutsideTurbulentFlow);
    }
    if (c.valve.xt > kValveMaxValidXT) r.notes.push_back(ValveNote::XTOutsideRange);
    Finish(r);
}

// FP, xTP, the choked x and Y of a valve of `kv` at x (turbulent flow).
void GasPiping(const GasValveCase& c, const GasTerms& t, double kv, double x, ValveResult& r) {
    r.fp = ValvePipingFactor(kv, c.valve);
    r.xtp = GasRatioWithPiping(kv, c.valve);
    r.xChoked = t.fgamma * *r.xtp;
    r.choked = x >= *r.xChoked;
    r.y = Expansion(x, *r.xChoked);
}

}  // namespace

ValveResult SizeGasValve(const GasValveCase& c, const ValveReading& reading) {
    if (auto fault = CheckGas(c, 0, Unknown::Kv)) return Refused(*fault);
    const GasTerms t = GasTermsOf(c, c.p2, reading.reynoldsFromNormalFlow);
    const ValveBody& v = c.valve;
    ValveResult r = GasStart(c, t);
    const double plainY = *r.y;
    const double c0 = c.flow / GasCapacity(c, t, 1, plainY, std::min(t.x, *r.xChoked));
    const double flowOverViscosity = c.flow * t.massPerFlow * t.reynoldsPerMass;
    r.kv = c0;
    r.kvTurbulent = c0;
    r.reynolds = ValveReynolds(flowOverViscosity, c0, v);
    if (r.reynolds < kValveTurbulentReynolds) {
        if (!TryReynoldsTrials(c0, [&](double ci) { return ValveReynolds(flowOverViscosity, ci, v); }, v,
                               reading.trialAgainstPrevious, r))
            return Refused(ValveFault{ValveInput::Flow, ValveFaultKind::NoTrialAccepted});
    } else if (HasReducers(v)) {
        const auto kv = IteratePiping(
            c0,
            [&](double assumed) {
                GasPiping(c, t, assumed, t.x, r);
                if (reading.expansionFromXT) r.y = plainY;
                return c.flow / GasCapacity(c, t, r.fp, *r.y, std::min(t.x, *r.xChoked));
            },
            reading.pipingWithinOnePercent, r.passes);
        if (!kv) return Refused(ValveFault{ValveInput::Flow, ValveFaultKind::ReducersTakeTheDrop});
        r.kv = *kv;
    }
    GasNotes(c, r);
    return r;
}

ValveResult GasValveFlow(const GasValveCase& c, double kv) {
    if (auto fault = CheckGas(c, kv, Unknown::Flow)) return Refused(*fault);
    const GasTerms t = GasTermsOf(c, c.p2, false);
    const ValveBody& v = c.valve;
    ValveResult r = GasStart(c, t);
    const double plainY = *r.y, plainChoked = *r.xChoked;
    const bool plainIsChoked = r.choked;
    r.kv = kv;
    GasPiping(c, t, kv, t.x, r);
    const double turbulent = kv * GasCapacity(c, t, r.fp, *r.y, std::min(t.x, *r.xChoked));
    const double perFlow = t.massPerFlow * t.reynoldsPerMass;
    r.flow = turbulent;
    r.reynolds = ValveReynolds(turbulent * perFlow, kv, v);
    // As in sizing, the flow without the reducers tells the regime.
    const double most = kv * GasCapacity(c, t, 1, plainY, std::min(t.x, plainChoked));
    if (ValveReynolds(most * perFlow, kv, v) < kValveTurbulentReynolds) {
        bool laminar = false;
        const auto frAt = [&](double f) { return ValveReynoldsFactor(kv, ValveReynolds(f * perFlow, kv, v), v, &laminar); };
        const double f = FlowWithReynoldsFactor(most, frAt);
        r.flow = f;
        r.fr = frAt(f);
        r.reynolds = ValveReynolds(f * perFlow, kv, v);
        r.regime = laminar ? ValveRegime::Laminar : ValveRegime::Transitional;
        r.fp = 1;
        r.xtp = v.xt;
        r.xChoked = plainChoked;
        r.y = plainY;
        r.choked = plainIsChoked;
    }
    GasNotes(c, r);
    return r;
}

ValveResult GasValveOutletPressure(const GasValveCase& c, double kv) {
    if (auto fault = CheckGas(c, kv, Unknown::OutletPressure)) return Refused(*fault);
    const GasTerms t = GasTermsOf(c, c.p1, false);
    const ValveBody& v = c.valve;
    ValveResult r = GasStart(c, t);
    r.kv = kv;
    r.reynolds = ValveReynolds(c.flow * t.massPerFlow * t.reynoldsPerMass, kv, v);
    if (r.reynolds < kValveTurbulentReynolds) {
        bool laminar = false;
        r.fr = ValveReynoldsFactor(kv, r.reynolds, v, &laminar);
        r.regime = laminar ? ValveRegime::Laminar : ValveRegime::Transitional;
    } else {
        GasPiping(c, t, kv, 0, r);
    }
    // The flow grows with x up to the choked x (or to x = 1, an outlet at
    // no pressure at all).
    const double chokedAt = *r.xChoked;
    const auto flowAt = [&](double x) { return r.fr * kv * GasCapacity(c, t, r.fp, Expansion(x, chokedAt), x); };
    const double top = std::min(chokedAt, 1.0);
    const double most = flowAt(top);
    if (c.flow > most * (1 + kChokeAgreement))
        return Refused(ValveFault{ValveInput::Flow, ValveFaultKind::BeyondChokedFlow, most});
    // Near the choked x the flow hardly changes with x: a flow within
    // rounding of the choked flow is choked.
    double low = 0, high = top;
    if (c.flow >= most * (1 - kChokeAgreement)) low = top;
    for (int i = 0; i < kHalvings; ++i) {
        const double mid = 0.5 * (low + high);
        if (mid <= low || mid >= high) break;
        (flowAt(mid) < c.flow ? low : high) = mid;
    }
    r.x = high;
    r.p2 = c.p1 * (1 - high);
    r.dp = c.p1 - r.p2;
    r.choked = high >= chokedAt;
    r.y = Expansion(high, chokedAt);
    GasNotes(c, r);
    return r;
}

}  // namespace corvane
