#include "logic/model/valves/ValveReport.h"

#include <algorithm>
#include <cmath>

#include "logic/text/NumberText.h"

namespace corvane {

namespace {
constexpr int kSignificantDigits = 6;
}  // namespace

std::string ValveNumberText(double v, const Locale& l) {
    const int magnitude = v == 0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(v))));
    return WriteTrimmedNumber(v, std::max(0, kSignificantDigits - 1 - magnitude), l);
}

const char* ValveRegimeName(ValveRegime r) {
    switch (r) {
        case ValveRegime::Turbulent: return "turbulent";
        case ValveRegime::Transitional: return "transitional";
        case ValveRegime::Laminar: break;
    }
    return "laminar";
}

const char* ValveNoteText(ValveNote n) {
    switch (n) {
        case ValveNote::ReducersIgnoredOutsideTurbulentFlow:
            return "Laminar or transitional flow: the reducers' piping geometry factor is not applied.";
        case ValveNote::FullTrimRatioLimited:
            return "Kv/d\u00b2 is above 0.04 with full trim: the Reynolds number factor takes it at 0.04.";
        case ValveNote::Flashing:
            return "The outlet pressure is below the vapour pressure: the liquid flashes, which these equations "
                   "do not cover.";
        case ValveNote::XTOutsideRange: break;
    }
    return "xT is above 0.84, beyond the valves the gas equations hold for.";
}

const char* GasFlowCaption(GasFlowForm form) {
    switch (form) {
        case GasFlowForm::Mass: return "Mass flow";
        case GasFlowForm::Actual: return "Flow (actual)";
        case GasFlowForm::Normal: return "Flow at 0 \u00b0C, 1.01325 bar";
        case GasFlowForm::Standard: break;
    }
    return "Flow at 15 \u00b0C, 1.01325 bar";
}

std::optional<std::string> ValveInputFaultText(const ValveFault& f, const ValveFaultWording& w) {
    switch (f.kind) {
        case ValveFaultKind::NotFinite: return "the value must be a finite number";
        case ValveFaultKind::NotPositive:
            if (f.input == ValveInput::Temperature) return "the temperature must be above " + w.lowestTemperature;
            return "the value must be above 0";
        case ValveFaultKind::Negative: return "the value must not be below 0";
        case ValveFaultKind::OutOfRange:
            if (f.input == ValveInput::XT) return "xT must be above 0 and below 1";
            if (f.input == ValveInput::Gamma) return "the specific heat ratio must be above 1";
            return "the value must be above 0 and at most 1";
        case ValveFaultKind::NotBelowUpstream:
            return "the value must be below the upstream pressure (" + w.other(ValveInput::UpstreamPressure) + ")";
        case ValveFaultKind::NotBelowCritical:
            return "the vapour pressure must be below the critical pressure (" +
                   w.other(ValveInput::CriticalPressure) + ")";
        case ValveFaultKind::NarrowerThanValve:
            return "the pipe is narrower than the valve (" + w.other(ValveInput::Size) + ")";
        case ValveFaultKind::BeyondChokedFlow:
        case ValveFaultKind::ReducersTakeTheDrop:
        case ValveFaultKind::NoTrialAccepted: break;
    }
    return std::nullopt;
}

std::string ValveRefusalText(const ValveFault& f, const std::string& limitText) {
    if (f.kind == ValveFaultKind::BeyondChokedFlow)
        return "The valve cannot pass this flow: choked, it passes at most " + limitText + ".";
    if (f.kind == ValveFaultKind::ReducersTakeTheDrop)
        return "No valve passes this flow: the reducers alone take more than the pressure drop.";
    return "The Reynolds number factor's trials reach no flow coefficient.";
}

std::vector<ValveRow> ValveResultRows(const ValveResult& r, double p1, bool gas, const ValveDisplay& d,
                                      const Locale& l) {
    auto n = [&](double v) { return ValveNumberText(v, l); };
    std::vector<ValveRow> rows{
        {"Kv", n(r.kv), "m\u00b3/h"},
        {"Cv", n(r.cv), "US gal/min"},
        {d.flowCaption, n(r.flow * d.flowFactor), d.flowUnit},
        {"Upstream pressure", n(p1 * d.pressureFactor), d.pressureUnit},
        {"Downstream pressure", n(r.p2 * d.pressureFactor), d.pressureUnit},
        {"Pressure drop", n(r.dp * d.pressureFactor), d.dropUnit},
        {"Choked", r.choked ? "yes" : "no", ""},
        {"Regime", ValveRegimeName(r.regime), ""},
        {"Valve Reynolds number", n(r.reynolds), ""},
        {"FP", n(r.fp), ""},
        {"FR", n(r.fr), ""},
    };
    if (gas) {
        rows.push_back({"x", n(r.x.value_or(0)), ""});
        rows.push_back({d.symbols ? "F\u03b3" : "Fgamma", n(r.fgamma.value_or(0)), ""});
        rows.push_back({"xTP", n(r.xtp.value_or(0)), ""});
        rows.push_back({"Y", n(r.y.value_or(0)), ""});
        rows.push_back({"Choked at x", n(r.xChoked.value_or(0)), ""});
    } else {
        rows.push_back({"FF", n(r.ff.value_or(0)), ""});
        rows.push_back({"FLP", n(r.flp.value_or(0)), ""});
        rows.push_back({"Choked at pressure drop", n(r.dpChoked.value_or(0) * d.pressureFactor), d.dropUnit});
    }
    return rows;
}

std::string ValveResultText(const ValveResult& r, double p1, bool gas, const ValveDisplay& d, const Locale& l) {
    std::string text = std::string("Control valve, ") + (gas ? "gas" : "liquid") + ", IEC 60534-2-1\n";
    for (const ValveRow& row : ValveResultRows(r, p1, gas, d, l))
        text += row.caption + "\t" + row.value + (row.unit.empty() ? "" : "\t" + row.unit) + "\n";
    for (ValveNote note : r.notes) text += std::string("Note\t") + ValveNoteText(note) + "\n";
    return text;
}

}  // namespace corvane
