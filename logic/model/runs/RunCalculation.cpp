#include "logic/model/runs/RunCalculation.h"

#include "logic/model/data/LiquidAtTemperature.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "logic/engine/PipeFlow.h"
#include "logic/engine/Units.h"
#include "logic/model/data/DataEntryRules.h"
#include "logic/model/data/PipeDatabaseModel.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/model/pumps/PumpModel.h"
#include "logic/model/shared/FlowUnitLists.h"
#include "logic/text/NumberText.h"

namespace corvane {

namespace {

// A document that names what cannot be found or used; thrown while
// resolving and caught at the top.
struct Unresolved {
    RunStatus status;
    std::string message;
};
[[noreturn]] void Fail(std::string message, RunStatus status = RunStatus::Invalid) {
    throw Unresolved{status, std::move(message)};
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string SectionPath(std::size_t i) { return "sections[" + std::to_string(i + 1) + "]"; }

// The model's line breaks made the '\n' of the run's messages.
std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\r', '\n');
    return text;
}

bool IsLiquidRow(const DataRecord& r) {
    return r.code == static_cast<int>(FluidCode::StockLiquid) || r.code == static_cast<int>(FluidCode::UserLiquid);
}

RunLiquid LiquidOfDataBase(const RunDocFluid& f, const RunDataBases& bases) {
    const DataTable* table = bases.fluids ? bases.fluids() : nullptr;
    if (!table) Fail("fluid.name " + Quoted(f.name) + " needs the fluid data base, which could not be read");
    std::vector<const DataRecord*> rows;
    bool gas = false;
    for (const DataRecord& r : table->records()) {
        if (r.f2 != f.name || (f.temperature && r.f3 != *f.temperature)) continue;
        if (IsLiquidRow(r)) rows.push_back(&r);
        else gas = gas || IsListedCode(r.code, true);
    }
    const std::string what = Quoted(f.name) + (f.temperature ? " at " + Quoted(*f.temperature) : "");
    if (rows.empty() && gas) Fail("fluid.name: " + what + " is a gas in the fluid data base; a pipe run carries a liquid");
    if (rows.empty()) Fail("fluid.name: the fluid data base has no liquid " + what);
    if (rows.size() > 1)
        Fail("fluid.temperature is needed: the fluid data base has " + std::to_string(rows.size()) + " rows of " +
             Quoted(f.name) + ", for example at " + Quoted(rows.front()->f3));
    RunLiquid l;
    l.viscosity = ReadEntryNumber(rows.front()->f4, DotLocale());
    l.density = ReadEntryNumber(rows.front()->f5, DotLocale()) * 1000.0;
    if (!(l.viscosity > 0) || !(l.density > 0)) Fail("fluid.name: the fluid data base's row of " + what + " has no usable numbers");
    // The row's DENSITY is a liquid's relative density: one beyond what a
    // run file takes is no liquid's (taken as kg/m3, it would be a
    // thousand times too large).
    if (auto refusal = LiquidDensityRefusal(rows.front()->f5, DotLocale(), Quoted(f.name) + " " + Quoted(rows.front()->f3)))
        Fail("fluid.name: " + OneLine(refusal->text));
    return l;
}

RunLiquid ResolveLiquid(const RunDocFluid& f, const RunDataBases& bases) {
    RunLiquid l;
    if (f.waterTemperatureC) {
        // At the default pressure of the fluid dialog's water: the standard
        // atmosphere, or the saturation pressure where that is higher.
        const LiquidAnswer water = WaterAtTemperature(*f.waterTemperatureC, std::nullopt, DotLocale());
        if (const Refusal* r = std::get_if<Refusal>(&water)) {
            std::string text = r->text;
            for (char& c : text)
                if (c == '\r') c = ' ';
            Fail("fluid.water_temperature_c: " + text, RunStatus::Refused);
        }
        const LiquidState& state = std::get<LiquidAtTemperature>(water).state;
        l.viscosity = state.kinematicViscosityCst;
        l.density = state.densityKgM3;
        l.vapourPressure = state.vapourPressureBarA;
    } else if (f.viscosityCst) {
        l.viscosity = *f.viscosityCst;
        l.density = f.densityKgM3 ? *f.densityKgM3 : *f.relativeDensity * 1000.0;
    } else {
        l = LiquidOfDataBase(f, bases);
    }
    if (f.vapourPressureBarA) l.vapourPressure = f.vapourPressureBarA;
    return l;
}

double PipeDiameter(const RunDocSection& s, std::size_t i, const RunDataBases& bases) {
    const DataTable* table = bases.pipes ? bases.pipes() : nullptr;
    const std::string what = "pipe " + Quoted(*s.pipeType) + " " + Quoted(*s.pipeNominal);
    if (!table) Fail(SectionPath(i) + ".pipe needs the pipe data base, which could not be read");
    for (const DataRecord& r : table->records()) {
        if (!IsPipeRecord(r) || r.f2 != *s.pipeType || r.f3 != *s.pipeNominal) continue;
        const double d = ReadEntryNumber(r.f4, DotLocale());
        if (!(d > 0)) Fail(SectionPath(i) + ".pipe: the pipe data base's " + what + " has no usable diameter");
        return d;
    }
    Fail(SectionPath(i) + ".pipe: the pipe data base has no " + what);
}

RunSection ResolveSection(const RunDocSection& s, std::size_t i, const RunDataBases& bases) {
    RunSection r;
    r.diameter = s.diameterMm ? *s.diameterMm : PipeDiameter(s, i, bases);
    if (s.material) {
        const auto& names = RunMaterialNames();
        r.roughness = MaterialRoughness(static_cast<int>(std::find(names.begin(), names.end(), *s.material) - names.begin()));
    } else {
        r.roughness = *s.roughnessMm;
    }
    if (!(r.roughness < r.diameter))
        Fail(SectionPath(i) + ": its roughness must be below its diameter (" +
             WriteEntryNumber(r.diameter, 3, DotLocale()).value_or("") + " mm)");
    r.length = s.lengthM;
    r.rise = s.riseM;
    for (const RunFitting& f : s.fittings) {
        r.fittings.counts[static_cast<std::size_t>(f.kind - 1)] = f.count;
        if (f.kind >= kFirstValveKind && f.kind < kFirstValveKind + kValveSelectorCount)
            r.fittings.openings[static_cast<std::size_t>(f.kind - kFirstValveKind)] = f.opening;
    }
    r.fittings.extraK = s.extraK.value_or(0.0);
    r.transition = s.transition.value_or(TransitionForm::Sudden);
    r.angle = s.angleDeg.value_or(180.0);
    return r;
}

RunPump ResolvePump(const RunDocPump& p) {
    const PumpCurveResult made = MakePumpCurve(p.points, p.speed.value_or(1.0));
    if (made.fault) {
        const bool speed = *made.fault == PumpCurveFault::SpeedNotPositive || *made.fault == PumpCurveFault::SpeedTooSmall;
        Fail((speed ? "pump.speed: " : "pump.points: ") + OneLine(PumpCurveRefusal(*made.fault).text));
    }
    RunPump r;
    r.curve = made.curve;
    r.afterSection = p.afterSection;
    r.speedRatio = p.speed.value_or(1.0);
    r.efficiencyPercent = p.efficiencyPercent;
    r.npshRequired = p.npshRequired;
    r.marginRatio = p.npshMarginRatio.value_or(kNpshMarginRatio);
    return r;
}

// ---------------------------------------------------------------- words
class Words {
public:
    // `metric` false: flows in US gpm, heads in ft, pressures in psi.
    Words(const RunOutcome& o, const Locale& l, bool metric = true) : o_(o), l_(l), metric_(metric) {}
    std::string num(double v, int decimals) const { return WriteEntryNumber(v, decimals, l_).value_or("?"); }
    std::string flow(double q) const {
        return metric_ ? num(q, 3) + " " + FlowUnitText(kLitrePerMin, l_)
                       : num(FlowFromLitresPerMin(kGallonUsPerMin, q), 3) + " " + FlowUnitText(kGallonUsPerMin, l_);
    }
    std::string flowNumber(double q) const { return num(metric_ ? q : FlowFromLitresPerMin(kGallonUsPerMin, q), 3); }
    std::string head(double m) const { return metric_ ? num(m, 3) + " m" : num(LengthFromMetres(kFoot, m), 3) + " ft"; }
    std::string absolute(double bar) const {
        return metric_ ? num(bar, 4) + " bar a" : num(PressureFromBar(kPsi, bar), 3) + " psi a";
    }
    std::string section(int n) const {
        return "section " + std::to_string(n) + " (" + o_.sectionNames[static_cast<std::size_t>(n - 1)] + ")";
    }

    std::string fault(const RunResult& r) const {
        const PipeRun& run = o_.run;
        switch (*r.fault) {
            case RunFault::InvalidRun: return "The run cannot be calculated with these numbers.";
            case RunFault::NoValidResult:
                // A viscosity so small that no Reynolds number is a number
                // spoils every section, whichever the fault names.
                for (const RunSection& s : run.sections)
                    if (!std::isfinite(ReynoldsNumber(1.0, s.diameter, run.liquid.viscosity, 1.0)))
                        return "The run gives no valid result: the liquid's viscosity is too small to calculate "
                               "with.";
                return "The run gives no valid result" + (r.faultSection ? " in " + section(r.faultSection) : "") +
                       ": check its diameter, roughness and length.";
            case RunFault::NoHeadDifference:
                return "No flow runs without a pump: the source's energy head, " + num(r.sourceHead, 3) +
                       " m, is not above the sink's, " + num(r.sinkHead, 3) +
                       " m.\nGive a flow (flow_lmin) to see the head a pump would have to add.";
            case RunFault::NoBalancingFlow:
                return "No flow balances the difference of the heads between source and sink: the run's losses do "
                       "not grow with the flow.";
            case RunFault::FlowOutsidePumpCurve:
                return "The flow, " + flow(r.flow) + ", lies outside the pump curve's flows, " +
                       num(run.pump->curve.minFlow(), 3) + " to " + flow(run.pump->curve.maxFlow()) + ".";
            case RunFault::PumpCannotOvercome:
                return "The pump's head at no flow does not reach the sink's energy head above the source's.";
            case RunFault::PumpCurvesDoNotMeet:
                return "The pump curve and the run's curve do not meet within the pump curve's flows, " +
                       num(run.pump->curve.minFlow(), 3) + " to " + flow(run.pump->curve.maxFlow()) + ".";
        }
        return {};
    }

    std::string note(const RunNote& n) const {
        const RunResult& r = o_.result;
        switch (n.kind) {
            case RunNoteKind::BelowVapourPressure:
                return "At the " + RunNodeName(o_, r.nodes[static_cast<std::size_t>(n.node)]) +
                       " the absolute pressure, " + absolute(n.value) + ", is below the vapour pressure, " +
                       absolute(n.limit) + ": the liquid boils there.";
            case RunNoteKind::BelowAbsoluteZero:
                return "At the " + RunNodeName(o_, r.nodes[static_cast<std::size_t>(n.node)]) +
                       " the absolute pressure, " + absolute(n.value) +
                       ", is below zero: the liquid cannot follow (give its vapour pressure to see where it "
                       "boils).";
            case RunNoteKind::NoVapourPressure:
                return "NPSH available is not calculated: the liquid has no vapour pressure "
                       "(fluid.vapour_pressure_bar_a).";
            case RunNoteKind::NpshBelowRequired:
                return "NPSH available, " + head(n.value) + ", is below NPSH required, " + head(n.limit) +
                       ": the pump cavitates.";
            case RunNoteKind::NpshMarginLow:
                return "The NPSH margin ratio NPSHa/NPSHr, " + num(n.value, 3) + ", is below " + num(n.limit, 3) +
                       ", the least ratio ANSI/HI 9.6.1 recommends for any application.";
            case RunNoteKind::AnotherFlow:
                return "Another flow, between " + flowNumber(n.value) + " and " + flow(n.limit) +
                       ", balances the run as well: a section's Reynolds number passes 2300 or 3500 between them, "
                       "where its friction factor jumps. The lowest flow is shown.";
            case RunNoteKind::NpshRequiredOutside:
                return "The flow, " + flow(n.value) +
                       ", lies outside the flows of the NPSH required curve: NPSH required is not known there.";
        }
        return {};
    }

private:
    const RunOutcome& o_;
    const Locale& l_;
    bool metric_ = true;
};

// Columns of text: the first left-aligned, the others right-aligned.
std::string Table(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> width;
    auto length = [](const std::string& s) {
        std::size_t n = 0;
        for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;  // code points
        return n;
    };
    for (const auto& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (width.size() <= c) width.push_back(0);
            width[c] = std::max(width[c], length(row[c]));
        }
    std::string out;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string pad(width[c] - length(row[c]), ' ');
            out += c == 0 ? row[c] + pad : "  " + pad + row[c];
        }
        while (!out.empty() && out.back() == ' ') out.pop_back();
        out += "\n";
    }
    return out;
}

}  // namespace

RunOutcome CalculateRun(const RunDocument& d, const RunDataBases& bases, const Locale& locale) {
    RunOutcome o;
    o.fluidName = d.fluid.name + (d.fluid.temperature ? " " + *d.fluid.temperature : "");
    for (const RunDocSection& s : d.sections) o.sectionNames.push_back(s.name);
    try {
        o.run.liquid = ResolveLiquid(d.fluid, bases);
        o.run.source = d.source;
        o.run.sink = d.sink;
        o.run.startElevation = d.startElevationM;
        o.run.entryK = d.entryK.value_or(kSharpEntranceK);
        o.run.exitK = d.exitK.value_or(kExitK);
        for (std::size_t i = 0; i < d.sections.size(); ++i) o.run.sections.push_back(ResolveSection(d.sections[i], i, bases));
        if (d.pump) o.run.pump = ResolvePump(*d.pump);
    } catch (const Unresolved& u) {
        o.status = u.status;
        o.message = u.message;
        return o;
    }
    o.flowGiven = d.flowLmin.has_value();
    o.result = o.flowGiven ? SolveRunAtFlow(o.run, *d.flowLmin) : SolveRunFlow(o.run);
    const Words words(o, locale);
    if (o.result.fault) {
        o.status = *o.result.fault == RunFault::InvalidRun ? RunStatus::Invalid : RunStatus::Refused;
        o.message = words.fault(o.result);
        return o;
    }
    o.status = RunStatus::Ok;
    for (const RunNote& n : o.result.notes) o.notes.push_back(words.note(n));
    return o;
}

std::vector<std::string> RunNoteTexts(const RunOutcome& outcome, const Locale& locale, bool metric) {
    const Words words(outcome, locale, metric);
    std::vector<std::string> texts;
    for (const RunNote& n : outcome.result.notes) texts.push_back(words.note(n));
    return texts;
}

std::string RunNodeName(const RunOutcome& o, const RunNode& node) {
    const std::string& name = o.sectionNames[static_cast<std::size_t>(node.section - 1)];
    switch (node.kind) {
        case NodeKind::Inlet: return "inlet of " + name;
        case NodeKind::SectionEnd: return "end of " + name;
        case NodeKind::PumpDischarge: return "pump discharge";
    }
    return name;
}

std::string TransitionName(const TransitionLoss& t) {
    return std::string(t.form == TransitionForm::Sudden ? "sudden " : "conical ") +
           (t.contraction ? "contraction" : "expansion");
}

std::string RunReport(const RunOutcome& o, const Locale& l) {
    const Words w(o, l);
    if (o.status != RunStatus::Ok) return o.message + "\n";
    const RunResult& r = o.result;
    const RunLiquid& liquid = o.run.liquid;
    std::string out = "Liquid: " + o.fluidName + ", " + w.num(liquid.viscosity, 6) + " cSt, " +
                      w.num(liquid.density, 3) + " kg/m3" +
                      (liquid.vapourPressure ? ", vapour pressure " + w.num(*liquid.vapourPressure, 5) + " bar a" : "") +
                      "\n";
    out += "Flow: " + w.flow(r.flow) +
           (o.flowGiven ? " (given)\n" : o.run.pump ? " (the pump's operating point)\n" : " (driven by the heads)\n");
    out += "\n";
    std::vector<std::vector<std::string>> sections = {
        {"Section", "Velocity m/s", "Reynolds", "Flow type", "Friction factor", "Head loss m", "Fittings K"}};
    for (std::size_t i = 0; i < r.sections.size(); ++i) {
        const SectionFlow& s = r.sections[i];
        sections.push_back({std::to_string(i + 1) + " " + o.sectionNames[i], w.num(s.velocity, 3), w.num(s.reynolds, 0),
                            FlowTypeName(s.reynolds), w.num(s.friction, 4), w.num(s.headLoss(), 3),
                            w.num(s.fittingsK, 3)});
    }
    out += Table(sections);
    out += "\n";
    for (const TransitionLoss& t : r.transitions)
        out += "Into " + w.section(t.section) + ": " + TransitionName(t) + ", K " + w.num(t.k, 4) + " on " +
               w.num(t.velocity, 3) + " m/s" +
               (t.contraction ? "" : " (K " + w.num(t.kOnSection, 4) + " on the section's velocity)") +
               ", head loss " + w.num(t.head, 3) + " m\n";
    out += "Entry: K " + w.num(r.entryK, 3) + ", head loss " + w.num(r.entryHead, 3) + " m\n";
    out += "Exit: K " + w.num(r.exitK, 3) + ", head loss " + w.num(r.exitHead, 3) + " m\n";
    out += "Total head loss: " + w.num(r.totalHeadLoss, 3) + " m\n";
    out += "Sink margin: " + w.num(r.sinkMargin, 3) + " m\n\n";
    std::vector<std::vector<std::string>> nodes = {
        {"Node", "Distance m", "Elevation m", "Pressure bar g", "Hydraulic head m", "Energy head m"}};
    for (const RunNode& n : r.nodes)
        nodes.push_back({RunNodeName(o, n), w.num(n.distance, 3), w.num(n.elevation, 3), w.num(n.pressure, 4),
                         w.num(n.hydraulicHead, 3), w.num(n.energyHead, 3)});
    out += Table(nodes);
    if (r.pump) {
        const PumpDuty& p = *r.pump;
        out += "\nPump after " + w.section(o.run.pump->afterSection) + ": flow " + w.flow(p.flow) + ", head " +
               w.num(p.head, 3) + " m, fluid power " + w.num(p.fluidPowerW, 1) + " W" +
               (p.shaftPowerW ? ", shaft power " + w.num(*p.shaftPowerW, 1) + " W" : "") + "\n";
        if (p.npshAvailable) {
            out += "NPSH available " + w.num(*p.npshAvailable, 3) + " m";
            if (p.npshRequired) out += ", required " + w.num(*p.npshRequired, 3) + " m";
            if (p.npshMargin) out += ", margin " + w.num(*p.npshMargin, 3) + " m";
            if (p.npshRatio) out += " (ratio " + w.num(*p.npshRatio, 2) + ")";
            out += "\n";
        }
    }
    if (!o.notes.empty()) {
        out += "\nNotes\n";
        for (const std::string& n : o.notes) out += "- " + n + "\n";
    }
    return out;
}

}  // namespace corvane
