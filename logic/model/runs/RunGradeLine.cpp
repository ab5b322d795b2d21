#include "logic/model/runs/RunGradeLine.h"

#include <algorithm>

#include "logic/engine/PipeFlow.h"
#include "logic/engine/Units.h"
#include "logic/text/NumberText.h"

namespace corvane {

ChartPicture RunGradeLinePicture(const RunOutcome& o, bool metric, const Locale& l) {
    auto lengthUnit = [metric](double m) { return metric ? m : LengthFromMetres(kFoot, m); };
    auto num = [&l](double v, int decimals) { return WriteTrimmedNumber(v, decimals, l); };
    ChartPicture p;
    p.title = "Grade lines along the run";
    if (o.status != RunStatus::Ok) {
        p.message = o.message;
        return p;
    }
    const RunResult& r = o.result;
    const RunLiquid& liquid = o.run.liquid;
    const std::string len = metric ? "m" : "ft";
    ChartLine elevation{"Pipe elevation", LineRole::Profile, {}, true};
    ChartLine hydraulic{"Hydraulic grade line (elevation + pressure head)", LineRole::Own, {}, true};
    ChartLine energy{"Energy grade line (+ velocity head)", LineRole::Energy, {}, true};
    // The hydraulic head at which the pressure would be the vapour pressure:
    // the grade line below it means the liquid boils there.
    ChartLine vapour{"Vapour pressure as a hydraulic head", LineRole::Reference, {}, true};
    const double g = kGravity;
    double lo = r.nodes.front().elevation, hi = lo, end = 0;
    for (const RunNode& n : r.nodes) {
        const double x = lengthUnit(n.distance);
        elevation.points.push_back({x, lengthUnit(n.elevation)});
        hydraulic.points.push_back({x, lengthUnit(n.hydraulicHead)});
        energy.points.push_back({x, lengthUnit(n.energyHead)});
        if (liquid.vapourPressure) {
            const double head = n.elevation + (*liquid.vapourPressure - kAtmosphereBar) * 1e5 / (liquid.density * g);
            if (n.kind != NodeKind::PumpDischarge) vapour.points.push_back({x, lengthUnit(head)});
            lo = std::min(lo, head);
        }
        lo = std::min({lo, n.elevation, n.hydraulicHead});
        hi = std::max({hi, n.elevation, n.energyHead});
        end = std::max(end, n.distance);
    }
    lo = std::min({lo, o.run.source.level, o.run.sink.level});
    hi = std::max({hi, o.run.source.level, o.run.sink.level});
    p.x = LinearAxis("Distance along the run (" + len + ")", 0, lengthUnit(end > 0 ? end : 1), l);
    p.y = LinearAxis("Head (" + len + " of liquid)", lengthUnit(lo), lengthUnit(hi), l);
    p.lines.push_back(std::move(elevation));
    if (!vapour.points.empty()) p.lines.push_back(std::move(vapour));
    p.lines.push_back(std::move(energy));
    p.lines.push_back(std::move(hydraulic));
    // The source's and the sink's surfaces, short marks at the run's ends.
    const double mark = (p.x.max - p.x.min) * 0.03;
    p.lines.push_back({"Source and sink surfaces", LineRole::Family,
                       {{0, lengthUnit(o.run.source.level)}, {mark, lengthUnit(o.run.source.level)}},
                       true});
    p.lines.push_back({"", LineRole::Family,
                       {{lengthUnit(end) - mark, lengthUnit(o.run.sink.level)},
                        {lengthUnit(end), lengthUnit(o.run.sink.level)}},
                       false});
    if (r.pump) {
        const PumpDuty& duty = *r.pump;
        const int after = o.run.pump->afterSection;
        for (const RunNode& n : r.nodes)
            if (n.kind == NodeKind::SectionEnd && n.section == after) {
                std::string name = "Pump inlet: head " + num(lengthUnit(duty.head), 2) + " " + len;
                if (duty.npshAvailable) name += ", NPSH available " + num(lengthUnit(*duty.npshAvailable), 2) + " " + len;
                if (duty.npshMargin) name += ", margin " + num(lengthUnit(*duty.npshMargin), 2) + " " + len;
                p.lines.push_back({name, LineRole::PumpPoint, {{lengthUnit(n.distance), lengthUnit(n.hydraulicHead)}}, true});
            }
    }
    // Where the liquid boils, drawn over the pump's mark.
    ChartLine boiling{"Pressure below the vapour pressure: the liquid boils", LineRole::Operating, {}, true};
    for (const RunNote& n : r.notes)
        if (n.kind == RunNoteKind::BelowVapourPressure || n.kind == RunNoteKind::BelowAbsoluteZero) {
            const RunNode& node = r.nodes[static_cast<std::size_t>(n.node)];
            boiling.points.push_back({lengthUnit(node.distance), lengthUnit(node.hydraulicHead)});
        }
    if (!boiling.points.empty()) p.lines.push_back(std::move(boiling));
    return p;
}

}  // namespace corvane
