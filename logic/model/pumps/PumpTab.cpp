#include "logic/model/pumps/PumpTab.h"

#include <algorithm>

#include "logic/engine/Units.h"
#include "logic/model/shared/FlowUnitLists.h"
#include "logic/text/CsvText.h"
#include "logic/text/NumberText.h"

namespace corvane {

namespace {

std::string Csv(const std::string& text) { return CsvField(text); }

std::string Number(double v, int decimals, const Locale& l) { return WriteEntryNumber(v, decimals, l).value_or(""); }

bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

}  // namespace

Refusal PumpPointIncomplete() {
    return {MessageKind::Warning, "Each point of the pump curve needs a flow and a head."};
}

PumpTab::PumpTab() = default;

std::size_t PumpTab::Row(int row) { return static_cast<std::size_t>(std::clamp(row, 0, kPointRows - 1)); }

void PumpTab::setPoints(const std::vector<std::pair<double, double>>& points, const Locale& locale) {
    for (std::size_t i = 0; i < points_.size(); ++i) {
        if (i < points.size()) {
            points_[i] = {Number(points[i].first, 3, locale), Number(points[i].second, 3, locale)};
        } else {
            points_[i] = {"", ""};
        }
    }
}

void PumpTab::usePump(const PumpRecord& pump, const PanelModel& panel) {
    std::vector<std::pair<double, double>> points;
    for (const PumpPoint& p : pump.points)
        points.emplace_back(FlowFromLitresPerMin(panel.flowUnitCode(), p.flow),
                            panel.metric() ? p.head : LengthFromMetres(kFoot, p.head));
    setPoints(points, panel.locale());
    speed_ = "1";
}

std::optional<PumpRecord> PumpTab::asPump(const std::string& name, const PanelModel& panel,
                                          std::optional<Refusal>* refusal) const {
    const std::optional<PumpEntry> e = entry(panel.locale(), refusal);
    if (!e) return std::nullopt;
    PumpRecord pump{name, {}};
    for (const auto& [q, h] : e->points)
        pump.points.push_back({FlowToLitresPerMin(panel.flowUnitCode(), q), panel.metric() ? h : LengthToMetres(kFoot, h)});
    if (const PumpCurveResult made = MakePumpCurve(pump.points); made.fault) {
        if (refusal) *refusal = PumpCurveRefusal(*made.fault);
        return std::nullopt;
    }
    return pump;
}

bool PumpTab::empty() const {
    return std::all_of(points_.begin(), points_.end(), [](const auto& p) { return Blank(p[0]) && Blank(p[1]); });
}

std::optional<PumpEntry> PumpTab::entry(const Locale& locale, std::optional<Refusal>* refusal) const {
    PumpEntry e;
    for (const auto& [flow, head] : points_) {
        if (Blank(flow) && Blank(head)) continue;
        if (Blank(flow) || Blank(head)) {
            if (refusal) *refusal = PumpPointIncomplete();
            return std::nullopt;
        }
        e.points.emplace_back(ReadEntryNumber(flow, locale), ReadEntryNumber(head, locale));
    }
    e.speedRatio = Blank(speed_) ? 1.0 : ReadEntryNumber(speed_, locale);
    if (!Blank(efficiency_)) e.efficiencyPercent = ReadEntryNumber(efficiency_, locale);
    return e;
}

std::string PumpFlowTitle(const PanelModel& panel) {
    return "Flow (" + FlowUnitText(panel.flowUnitCode(), panel.locale()) + ")";
}
std::string PumpHeadTitle(const PanelModel& panel) { return "Head (" + PumpHeadUnit(panel) + ")"; }

PumpTabResult SolvePumpTab(const PanelModel& panel, const PumpTab& tab) {
    PumpTabResult out;
    if (!ShowsResults(panel)) {
        out.message = kNoResultText;
        return out;
    }
    if (tab.empty()) {
        out.message = "Type the pump's points: one point (design flow and head), three points from no flow, or any "
                      "points joined by straight lines.";
        return out;
    }
    std::optional<Refusal> refusal;
    const std::optional<PumpEntry> entry = tab.entry(panel.locale(), &refusal);
    if (!entry) {
        out.message = refusal->text;
        return out;
    }
    return SolvePumpEntry(panel, *entry);
}

PumpTabResult SolvePumpEntry(const PanelModel& panel, const PumpEntry& entry) {
    PumpTabResult out;
    if (!ShowsResults(panel)) {
        out.message = kNoResultText;
        return out;
    }
    out.point = SolvePumpOnPanel(panel, entry);
    if (out.point.refusal) {
        out.message = out.point.refusal->text;
        return out;
    }
    out.rows = PumpResultRows(panel, out.point);
    const double toMetres = panel.metric() ? 1.0 : LengthToMetres(kFoot, 1.0);
    for (const CurvePoint& p : PumpCurvePoints(panel, out.point.curve))
        out.curve.push_back({p.flow, ShownValueOfHead(panel, p.value * toMetres)});
    out.shown = {out.point.flow, ShownValueOfHead(panel, out.point.head * toMetres)};
    return out;
}

double SystemCurveEnd(const PanelModel& panel, const PumpTabResult& pump) {
    if (pump.message || pump.curve.empty()) return 0;
    // Past the operating point and the pump's last point (both in the
    // panel's flow unit), in l/min for the system curve.
    return FlowToLitresPerMin(panel.flowUnitCode(), 1.1 * std::max(pump.shown.flow, pump.curve.back().flow));
}

ChartPicture WithPump(const PanelModel& panel, const PumpTabResult& pump) {
    if (pump.message || pump.curve.empty()) return SystemCurvePicture(panel);
    ChartPicture picture = SystemCurvePicture(panel, SystemCurveEnd(panel, pump));
    if (picture.message) return picture;
    const Locale& l = panel.locale();
    double maxFlow = 0, lo = 0, hi = 0;
    auto take = [&](double x, double y) {
        maxFlow = std::max(maxFlow, x);
        lo = std::min(lo, y);
        hi = std::max(hi, y);
    };
    for (const ChartLine& line : picture.lines)
        for (const auto& [x, y] : line.points) take(x, y);
    ChartLine curve{"Pump curve", LineRole::Pump, {}, true};
    for (const CurvePoint& p : pump.curve) {
        curve.points.emplace_back(p.flow, p.value);
        take(p.flow, p.value);
    }
    picture.x = LinearAxis(picture.x.title, 0, maxFlow, l);
    picture.y = LinearAxis(picture.y.title, lo, hi, l);
    picture.lines.push_back(std::move(curve));
    const PumpRow& flow = pump.rows[0];
    const PumpRow& head = pump.rows[1];
    picture.lines.push_back({"Pump operating point",
                             LineRole::PumpPoint,
                             {{pump.shown.flow, pump.shown.value}},
                             true,
                             flow.value + " " + flow.unit + ", " + head.value + " " + head.unit});
    return picture;
}

std::string PumpCsv(const PanelModel& panel, const PumpTab& tab, const PumpTabResult& pump) {
    const Locale& l = panel.locale();
    std::string out = Csv(PumpFlowTitle(panel)) + "," + Csv(PumpHeadTitle(panel)) + "\n";
    for (int i = 0; i < PumpTab::kPointRows; ++i)
        if (!Blank(tab.flowText(i)) || !Blank(tab.headText(i)))
            out += Csv(tab.flowText(i)) + "," + Csv(tab.headText(i)) + "\n";
    out += "Speed ratio," + Csv(tab.speedText()) + "\n";
    out += "Efficiency (%)," + Csv(tab.efficiencyText()) + "\n";
    out += "\n";
    if (pump.message) {
        std::string m = *pump.message;
        std::replace(m.begin(), m.end(), '\r', ' ');
        return out + "Result," + Csv(m) + "\n";
    }
    out += "Result,Value,Unit\n";
    for (const PumpRow& r : pump.rows) out += Csv(r.caption) + "," + Csv(r.value) + "," + Csv(r.unit) + "\n";
    out += "\n" + Csv(PumpFlowTitle(panel)) + "," + Csv("Pump (" + ValueUnitOf(panel) + ")") + "\n";
    for (const CurvePoint& p : pump.curve) out += Csv(Number(p.flow, 6, l)) + "," + Csv(Number(p.value, 6, l)) + "\n";
    return out;
}

}  // namespace corvane
