#include "logic/model/pumps/PumpModel.h"

#include <charconv>
#include <cmath>

#include "logic/engine/PipeFlow.h"
#include "logic/engine/Solvers.h"
#include "logic/engine/Units.h"
#include "logic/model/shared/FlowUnitLists.h"
#include "logic/text/NumberText.h"

namespace corvane {

namespace refusals {
Refusal PumpInGasMode() {
    return {MessageKind::Information, "A pump curve is for liquids.\rThis panel is calculating a gas."};
}
Refusal PumpNoPoints() {
    return {MessageKind::Warning, "Enter at least one point of the pump curve:\ra flow and the head at that flow."};
}
Refusal PumpSpeedNotPositive() { return {MessageKind::Warning, "The speed ratio must be greater than zero."}; }
Refusal PumpNegativeValue() {
    return {MessageKind::Warning,
            "The flows and heads of the pump curve cannot be negative.\r"
            "A curve of one point needs a flow and a head greater than zero."};
}
Refusal PumpFlowsNotIncreasing() {
    return {MessageKind::Warning, "The flows of the pump curve must increase from one point to the next."};
}
Refusal PumpHeadsRise() {
    return {MessageKind::Warning, "The heads of the pump curve must not rise as the flow increases."};
}
Refusal PumpNoFallingFit() {
    return {MessageKind::Warning,
            "These three points give no falling pump curve.\r"
            "The head must fall from the shut-off head at no flow through both other points."};
}
Refusal PumpEfficiencyOutOfRange() {
    return {MessageKind::Warning, "The pump efficiency must be greater than 0 % and at most 100 %."};
}
Refusal PumpCannotOvercomeElevation() {
    return {MessageKind::Information, "The pump cannot overcome the elevation change."};
}
Refusal PumpCurvesDoNotMeet() {
    return {MessageKind::Information,
            "The pump curve and the system curve do not meet within the flows of the pump curve.\r"
            "Check the pump's points, the speed ratio and the pipe data."};
}
}  // namespace refusals

namespace {

constexpr double kWattsPerHorsepower = 745.69987158227022;  // mechanical horsepower

}  // namespace

Refusal PumpCurveRefusal(PumpCurveFault f) {
    switch (f) {
        case PumpCurveFault::NoPoints: return refusals::PumpNoPoints();
        case PumpCurveFault::SpeedNotPositive: return refusals::PumpSpeedNotPositive();
        case PumpCurveFault::SpeedTooSmall:
            return {MessageKind::Warning,
                    "The speed ratio is too small to calculate with: the pump curve's flows and heads vanish at it."};
        case PumpCurveFault::NegativeValue: return refusals::PumpNegativeValue();
        case PumpCurveFault::FlowsNotIncreasing: return refusals::PumpFlowsNotIncreasing();
        case PumpCurveFault::HeadsRise: return refusals::PumpHeadsRise();
        case PumpCurveFault::NoFallingFit: return refusals::PumpNoFallingFit();
        case PumpCurveFault::TooLarge: return {MessageKind::Warning, "A flow or head of the pump curve is too large."};
        case PumpCurveFault::TooSmall:
            return {MessageKind::Warning, "The flows and heads of the pump curve are too small to calculate with."};
    }
    return refusals::PumpNoPoints();
}

namespace {

double HeadToMetres(const PanelModel& panel, double h) { return panel.metric() ? h : LengthToMetres(kFoot, h); }
double HeadFromMetres(const PanelModel& panel, double h) { return panel.metric() ? h : LengthFromMetres(kFoot, h); }

}  // namespace

std::string PumpHeadUnit(const PanelModel& panel) { return panel.metric() ? "m hd" : "ft hd"; }

PumpOnPanel SolvePumpOnPanel(const PanelModel& panel, const PumpEntry& entry) {
    PumpOnPanel out;
    if (panel.gasMode()) {
        out.refusal = refusals::PumpInGasMode();
        return out;
    }
    if (entry.efficiencyPercent && !(*entry.efficiencyPercent > 0 && *entry.efficiencyPercent <= 100)) {
        out.refusal = refusals::PumpEfficiencyOutOfRange();
        return out;
    }
    const int code = panel.flowUnitCode();
    std::vector<PumpPoint> points;
    for (const auto& [q, h] : entry.points) points.push_back({FlowToLitresPerMin(code, q), HeadToMetres(panel, h)});
    const PumpCurveResult made = MakePumpCurve(points, entry.speedRatio);
    if (made.fault) {
        out.refusal = PumpCurveRefusal(*made.fault);
        return out;
    }
    out.curve = made.curve;

    const OperatingPoint op = SolveOperatingPoint(panel);
    if (op.refusal) {
        out.refusal = op.refusal;
        return out;
    }
    const PumpOperatingResult at = SolvePumpOperatingPoint(out.curve, [&](double q) -> std::optional<double> {
        const SolverResult r = SystemDropAt(op, q);
        if (r.fault) return std::nullopt;
        return r.head;
    });
    if (at.fault) {
        switch (*at.fault) {
            case PumpOperatingFault::CannotOvercomeElevation: out.refusal = refusals::PumpCannotOvercomeElevation(); break;
            case PumpOperatingFault::CurvesDoNotMeet: out.refusal = refusals::PumpCurvesDoNotMeet(); break;
            case PumpOperatingFault::SystemRefused: out.refusal = refusals::NoValidResult(); break;
        }
        return out;
    }
    const SolverResult pipe = SystemDropAt(op, at.flow);
    out.flow = FlowFromLitresPerMin(code, at.flow);
    out.head = HeadFromMetres(panel, at.head);
    out.velocity = panel.metric() ? pipe.velocity : LengthFromMetres(kFoot, pipe.velocity);
    out.reynolds = pipe.reynolds;
    out.flowType = FlowTypeName(pipe.reynolds);
    out.fluidPowerW = FluidPowerW(op.inputs.density, at.flow, at.head);
    if (entry.efficiencyPercent) out.shaftPowerW = out.fluidPowerW / (*entry.efficiencyPercent / 100.0);
    // Numbers at the edge of the range give no point to show.
    for (double v : {out.flow, out.head, out.velocity, out.reynolds, out.fluidPowerW, out.shaftPowerW.value_or(0.0)})
        if (!std::isfinite(v)) out.refusal = refusals::NoValidResult();
    return out;
}

std::vector<CurvePoint> PumpCurvePoints(const PanelModel& panel, const PumpCurve& curve, int points) {
    std::vector<CurvePoint> out;
    points = std::max(points, 2);
    const int code = panel.flowUnitCode();
    for (int i = 0; i < points; ++i) {
        const double q = curve.minFlow() + (curve.maxFlow() - curve.minFlow()) * i / (points - 1);
        out.push_back({FlowFromLitresPerMin(code, q), HeadFromMetres(panel, curve.head(q))});
    }
    return out;
}

std::vector<PumpRow> PumpResultRows(const PanelModel& panel, const PumpOnPanel& pump) {
    const Locale& l = panel.locale();
    auto num = [&](double v, int decimals) { return WriteEntryNumber(v, decimals, l).value_or(""); };
    auto power = [&](const char* caption, double w) {
        return panel.metric() ? PumpRow{caption, num(w, 1), "W"} : PumpRow{caption, num(w / kWattsPerHorsepower, 3), "hp"};
    };
    std::vector<PumpRow> rows = {
        {"Flow", num(pump.flow, 3), FlowUnitText(panel.flowUnitCode(), l)},
        {"Head", num(pump.head, 3), PumpHeadUnit(panel)},
        {"Fluid velocity", num(pump.velocity, 3), VelocityUnit(panel)},
        {"Reynolds number", num(pump.reynolds, 0), ""},
        {"Flow type", pump.flowType, ""},
        power("Fluid power", pump.fluidPowerW),
    };
    if (pump.shaftPowerW) rows.push_back(power("Shaft power", *pump.shaftPowerW));
    return rows;
}

std::pair<std::string, std::string> PumpCurveFactorTexts(const PumpCurve& curve, const Locale& locale) {
    auto trimmed = [&](double v, int decimals) {
        std::string t = WriteEntryNumber(v, decimals, locale).value_or("");
        if (t.find(locale.decimalSeparator) == std::string::npos) return t;
        while (!t.empty() && t.back() == '0') t.pop_back();
        if (!t.empty() && t.back() == locale.decimalSeparator) t.pop_back();
        return t;
    };
    return {trimmed(curve.b(), 5), trimmed(curve.c(), 3)};
}

std::optional<std::vector<std::pair<double, double>>> ParsePumpPoints(std::string_view text) {
    std::vector<std::pair<double, double>> points;
    auto number = [](std::string_view s, double& v) {
        if (s.empty()) return false;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        return ec == std::errc() && end == s.data() + s.size() && std::isfinite(v);
    };
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view point = text.substr(0, comma);
        const std::size_t colon = point.find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        double q = 0, h = 0;
        if (!number(point.substr(0, colon), q) || !number(point.substr(colon + 1), h)) return std::nullopt;
        points.emplace_back(q, h);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return points;
}

}  // namespace corvane
