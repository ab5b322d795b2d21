#include "logic/model/analysis/Analysis.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "logic/engine/PipeFlow.h"
#include "logic/engine/Units.h"
#include "logic/model/data/PipeDatabaseModel.h"
#include "logic/model/panels/PanelKinds.h"
#include "logic/text/CsvText.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

// Whether the panel shows its head (true) or its pressure drop.
bool ShowsHead(const PanelModel& panel) {
    if (panel.gasMode() && panel.kind() != PanelKind::PressureDrop) return false;
    return panel.list(Ctl::MhdBarComboBox).selected != 1;
}

std::string ValueUnit(const PanelModel& panel) {
    const bool head = ShowsHead(panel);
    if (panel.metric()) return head ? "m hd" : "bar";
    return head ? "ft hd" : "psi";
}

double ShownValue(const PanelModel& panel, double headM, double dropBar) {
    if (ShowsHead(panel)) return panel.metric() ? headM : LengthFromMetres(kFoot, headM);
    return panel.metric() ? dropBar : PressureFromBar(kPsi, dropBar);
}

// The pressure-drop calculation at a flow (l/min) on the case's pipe; at no
// flow only the elevation counts.
SolverResult DropAt(const OperatingPoint& op, double flow, double diameter) {
    SolverInputs in = op.inputs;
    in.diameter = diameter;
    in.length = op.length;
    in.flow = flow;
    if (flow > 0) return SolvePressureDrop(in);
    SolverResult r;
    r.head = in.elevation;
    r.pressureDrop = in.gas ? GasHeadToPressureDrop(r.head, in.density, GasVolumeRatio(in.inletPressure))
                            : HeadToPressureDrop(r.head, in.density);
    return r;
}

}  // namespace

SolverResult SystemDropAt(const OperatingPoint& op, double flow) { return DropAt(op, flow, op.diameter); }

OperatingPoint SolveOperatingPoint(const PanelModel& panel) {
    OperatingPoint op;
    op.inputs = panel.solverInputs();
    op.result = SolvePanel(panel.kind(), op.inputs);
    if (op.result.fault) op.refusal = RefusalOf(*op.result.fault);
    op.diameter = panel.kind() == PanelKind::Diameter ? op.result.diameter : op.inputs.diameter;
    op.length = panel.kind() == PanelKind::Length ? op.result.length : op.inputs.length;
    op.flow = panel.kind() == PanelKind::Flow ? op.result.flow : op.inputs.flow;
    op.pressureDrop = panel.kind() == PanelKind::PressureDrop ? op.result.pressureDrop : op.inputs.allowableLoss;
    // As the solvers take it: a gas on every panel, and a liquid on the
    // diameter and length panels too, at the liquid panel's hidden inlet
    // pressure (see HeadBudget in Solvers.cpp).
    op.viscosityAtPressure =
        op.inputs.gas || panel.kind() == PanelKind::Diameter || panel.kind() == PanelKind::Length;
    if (op.viscosityAtPressure) op.viscosityFactor = 1 + kGasViscosityPerBar * op.inputs.inletPressure;
    return op;
}

SystemCurve ComputeSystemCurve(const PanelModel& panel, int points, double upToFlow) {
    SystemCurve curve;
    const OperatingPoint op = SolveOperatingPoint(panel);
    curve.flowUnit = FlowUnitText(panel.flowUnitCode(), panel.locale());
    curve.valueUnit = ValueUnit(panel);
    if (op.refusal) {
        curve.refusal = op.refusal;
        return curve;
    }
    const int code = panel.flowUnitCode();
    points = std::max(points, 2);
    const double last = std::max(1.5 * op.flow, upToFlow);
    for (int i = 0; i < points; ++i) {
        const double q = last * i / (points - 1);
        const SolverResult r = DropAt(op, q, op.diameter);
        if (r.fault) break;
        curve.points.push_back({FlowFromLitresPerMin(code, q), ShownValue(panel, r.head, r.pressureDrop)});
    }
    const SolverResult at = DropAt(op, op.flow, op.diameter);
    curve.operating = {FlowFromLitresPerMin(code, op.flow), ShownValue(panel, at.head, at.pressureDrop)};
    return curve;
}

std::vector<double> MoodyRoughnessFamily() { return {0, 1e-6, 1e-5, 1e-4, 1e-3, 5e-3, 1e-2, 2e-2, 5e-2}; }

MoodyDiagram ComputeMoody(const PanelModel& panel) {
    MoodyDiagram m;
    const OperatingPoint op = SolveOperatingPoint(panel);
    const double rr = op.diameter > 0 ? op.inputs.roughness / op.diameter : 0;
    auto curve = [](double relative, bool colebrook) {
        MoodyCurve c{relative, {}};
        for (int i = 0; i <= 240; ++i) {
            const double re = 500.0 * std::pow(1e8 / 500.0, i / 240.0);
            if (colebrook && re < 4000) continue;
            c.points.emplace_back(re, colebrook ? ColebrookWhite(re, relative) : FrictionFactor(re, 1.0, relative));
        }
        return c;
    };
    for (double r : MoodyRoughnessFamily()) m.family.push_back(curve(r, false));
    m.own = curve(rr, false);
    m.colebrook = curve(rr, true);
    if (op.refusal) {
        m.refusal = op.refusal;
        return m;
    }
    m.reynolds = op.result.reynolds;
    m.friction = op.result.friction;
    if (m.reynolds >= kTurbulentLimit) {
        const double cw = ColebrookWhite(m.reynolds, rr);
        m.differencePercent = (m.friction - cw) / cw * 100.0;
    }
    return m;
}

std::vector<SizeOption> StandardSizes(const PanelModel& panel, const DataTable& pipes) {
    std::vector<SizeOption> out;
    const OperatingPoint op = SolveOperatingPoint(panel);
    if (op.refusal || !(op.diameter > 0)) return out;
    std::vector<std::string> types;
    std::map<std::string, std::vector<const DataRecord*>> byType;
    for (const DataRecord& r : pipes.records()) {
        if (!IsPipeRecord(r)) continue;
        if (!byType.count(r.f2)) types.push_back(r.f2);
        byType[r.f2].push_back(&r);
    }
    for (const std::string& type : types) {
        std::vector<std::pair<double, const DataRecord*>> sizes;
        for (const DataRecord* r : byType[type]) {
            const double id = ReadEntryNumber(r->f4, panel.locale());
            if (id >= op.diameter) sizes.emplace_back(id, r);
        }
        std::stable_sort(sizes.begin(), sizes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 0; i < sizes.size() && i < 2; ++i) {
            const SolverResult r = DropAt(op, op.flow, sizes[i].first);
            SizeOption o{type, sizes[i].second->f3, sizes[i].first, 0, 0, 0, r.fault.has_value()};
            if (!o.refused) {
                o.velocity = panel.metric() ? r.velocity : LengthFromMetres(kFoot, r.velocity);
                o.reynolds = r.reynolds;
                o.value = ShownValue(panel, r.head, r.pressureDrop);
            }
            out.push_back(o);
        }
    }
    return out;
}

namespace {

std::string Csv(const std::string& text) { return CsvField(text); }

std::string Num(double v, int decimals, const Locale& l) { return Csv(WriteEntryNumber(v, decimals, l).value_or("")); }

}  // namespace

double ShownValueOfHead(const PanelModel& panel, double headM) {
    return ShownValue(panel, headM, HeadToPressureDrop(headM, panel.solverInputs().density));
}

std::string VelocityUnit(const PanelModel& panel) { return panel.metric() ? "m/s" : "ft/s"; }
std::string ValueUnitOf(const PanelModel& panel) { return ValueUnit(panel); }
std::string DiameterUnitOf(const PanelModel& panel) { return panel.metric() ? "mm" : "inch"; }
double ShownDiameter(const PanelModel& panel, double mm) { return panel.metric() ? mm : mm / kMillimetresPerInch; }

std::string SystemCurveCsv(const SystemCurve& curve, const Locale& l) {
    std::string out = Csv("Flow (" + curve.flowUnit + ")") + "," + Csv("Value (" + curve.valueUnit + ")") + "\n";
    for (const CurvePoint& p : curve.points) out += Num(p.flow, 6, l) + "," + Num(p.value, 6, l) + "\n";
    return out;
}

std::string MoodyCsv(const MoodyDiagram& m, const Locale& l) {
    std::string out = "Relative roughness,Reynolds number,Friction factor,Colebrook-White\n";
    auto add = [&](const MoodyCurve& c, bool colebrook) {
        for (const auto& [re, f] : c.points)
            out += Num(c.relativeRoughness, 8, l) + "," + Num(re, 1, l) + "," + (colebrook ? "," : "") + Num(f, 8, l) +
                   (colebrook ? "" : ",") + "\n";
    };
    for (const MoodyCurve& c : m.family) add(c, false);
    add(m.own, false);
    add(m.colebrook, true);
    return out;
}

std::string StandardSizesCsv(const std::vector<SizeOption>& sizes, const PanelModel& panel) {
    const Locale& l = panel.locale();
    std::string out = "Pipe type,Nominal size," + Csv("Internal diameter (" + DiameterUnitOf(panel) + ")") + "," +
                      Csv("Velocity (" + VelocityUnit(panel) + ")") +
                      ",Reynolds number," + Csv("Value (" + ValueUnit(panel) + ")") + "\n";
    for (const SizeOption& o : sizes) {
        out += Csv(o.type) + "," + Csv(o.nominal) + "," + Num(ShownDiameter(panel, o.internalDiameter), 3, l) + ",";
        if (o.refused) out += ",,\n";
        else out += Num(o.velocity, 3, l) + "," + Num(o.reynolds, 0, l) + "," + Num(o.value, 3, l) + "\n";
    }
    return out;
}

}  // namespace corvane
