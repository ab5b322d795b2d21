#include "logic/model/analysis/AnalysisPictures.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "logic/text/NumberText.h"

namespace corvane {
namespace {

// Decimal exponent of a value, safe against 0.0999999... rounding.
int DecadeOf(double v) { return static_cast<int>(std::floor(std::log10(v) + 1e-9)); }

std::string Number(double v, int decimals, const Locale& locale) {
    return WriteEntryNumber(v, decimals, locale).value_or("");
}

// A relative roughness with three significant digits and no trailing zeros.
std::string RoughnessText(double r, const Locale& locale) {
    if (r <= 0) return "0";
    return WriteTrimmedNumber(r, std::max(0, 2 - DecadeOf(r)), locale);
}

bool ShowsHeadUnit(const std::string& unit) { return unit.find("hd") != std::string::npos; }

std::string ValueTitle(const std::string& unit, const char* between) {
    return (ShowsHeadUnit(unit) ? "Head" : "Pressure drop") + std::string(between) + "(" + unit + ")";
}

}  // namespace

double ChartAxis::place(double value) const {
    if (!logarithmic) return value;
    return value > 0 ? std::log10(value) : std::numeric_limits<double>::quiet_NaN();
}

double RoundStep(double lo, double hi, int intervals) {
    double span = hi - lo;
    if (!(span > 0)) span = std::max(std::fabs(hi), std::fabs(lo));
    if (!(span > 0) || !std::isfinite(span)) span = 1;
    const double raw = span / std::max(intervals, 1);
    const double magnitude = std::pow(10.0, DecadeOf(raw));
    const double norm = raw / magnitude;
    const double factor = norm < 1.5 ? 1 : norm < 3 ? 2 : norm < 7 ? 5 : 10;
    return factor * magnitude;
}

ChartAxis LinearAxis(std::string title, double lo, double hi, const Locale& locale, int intervals) {
    ChartAxis axis;
    axis.title = std::move(title);
    const double step = RoundStep(lo, hi, intervals);
    const double first = std::floor(lo / step + 1e-9);
    double last = std::ceil(hi / step - 1e-9);
    if (last <= first) last = first + 1;
    axis.min = first * step;
    axis.max = last * step;
    const int decimals = std::max(0, -DecadeOf(step));
    for (double k = first; k <= last; k += 1) axis.ticks.push_back({k * step, Number(k * step, decimals, locale)});
    return axis;
}

std::string PowerOfTen(int exponent) {
    static const char* const kDigits[] = {"\u2070", "\u00b9", "\u00b2", "\u00b3", "\u2074",
                                          "\u2075", "\u2076", "\u2077", "\u2078", "\u2079"};
    std::string out = "10";
    if (exponent < 0) out += "\u207b";
    const std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
    for (char d : digits) out += kDigits[d - '0'];
    return out;
}

ChartAxis LogAxis(std::string title, double lo, double hi, const Locale& locale) {
    ChartAxis axis;
    axis.title = std::move(title);
    axis.logarithmic = true;
    const int firstDecade = DecadeOf(lo);
    const int lastDecade = static_cast<int>(std::ceil(std::log10(hi) - 1e-9));
    const bool decades = std::log10(hi / lo) >= 2;
    axis.min = decades ? firstDecade : std::log10(lo);
    axis.max = decades ? lastDecade : std::log10(hi);
    for (int e = firstDecade; e <= lastDecade; ++e) {
        const double power = std::pow(10.0, e);
        for (int m = 1; m <= 9; ++m) {
            const double at = std::log10(m * power);
            if (at < axis.min - 1e-9 || at > axis.max + 1e-9) continue;
            const bool labelled = decades ? m == 1 : (m == 1 || m == 2 || m == 5);
            if (!labelled) axis.minor.push_back(at);
            else axis.ticks.push_back({at, decades ? PowerOfTen(e) : Number(m * power, std::max(0, -e), locale)});
        }
    }
    return axis;
}

std::string ReplaceLineBreaks(std::string text) {
    std::replace(text.begin(), text.end(), '\r', '\n');
    return text;
}

bool ShowsResults(const PanelModel& panel) { return !panel.text(Ctl::FlowType_RightEdit).empty(); }

namespace {

// Whether a note takes the picture's place: the panel shows no results, or
// its case is refused.
bool NoteInstead(ChartPicture& picture, const PanelModel& panel, const std::optional<Refusal>& refusal) {
    if (!ShowsResults(panel)) picture.message = kNoResultText;
    else if (refusal) picture.message = ReplaceLineBreaks(refusal->text);
    return picture.message.has_value();
}

}  // namespace

void PlaceLineNames(ChartPicture& picture, double charWidth, double lineHeight) {
    const double xSpan = picture.x.max - picture.x.min;
    const double ySpan = picture.y.max - picture.y.min;
    struct Box {
        double left, right, bottom, top;
    };
    std::vector<Box> placed;
    auto clear = [&](const Box& b) {
        return std::none_of(placed.begin(), placed.end(), [&](const Box& o) {
            return b.left < o.right && o.left < b.right && b.bottom < o.top && o.bottom < b.top;
        });
    };
    for (ChartLine& line : picture.lines) {
        if (line.inLegend || line.points.empty()) continue;
        // Characters, not bytes: the names hold "ε".
        const auto chars = static_cast<double>(
            std::count_if(line.name.begin(), line.name.end(), [](char c) { return (c & 0xC0) != 0x80; }));
        const double width = (chars + 1) * charWidth * xSpan;
        const double height = lineHeight * ySpan;
        // From the right end leftwards, where the curves lie furthest apart.
        for (int percent = 98; percent >= 40; percent -= 2) {
            const std::size_t at = (line.points.size() - 1) * static_cast<std::size_t>(percent) / 100;
            const auto [x, y] = line.points[at];
            const Box box{x - width / 2, x + width / 2, y, y + height};
            if (box.left < picture.x.min || box.right > picture.x.max || box.bottom < picture.y.min ||
                box.top > picture.y.max || !clear(box))
                continue;
            line.labelAt = at;
            placed.push_back(box);
            break;
        }
    }
}

ChartPicture SystemCurvePicture(const PanelModel& panel, double upToFlow) {
    ChartPicture picture;
    const SystemCurve c = ComputeSystemCurve(panel, 31, upToFlow);
    if (NoteInstead(picture, panel, c.refusal)) return picture;
    const Locale& l = panel.locale();
    picture.title = ShowsHeadUnit(c.valueUnit) ? "Head against flow" : "Pressure drop against flow";
    double maxFlow = c.operating.flow, lo = 0, hi = c.operating.value;
    ChartLine curve{"System curve", LineRole::Curve, {}, true};
    for (const CurvePoint& p : c.points) {
        curve.points.emplace_back(p.flow, p.value);
        maxFlow = std::max(maxFlow, p.flow);
        lo = std::min(lo, p.value);
        hi = std::max(hi, p.value);
    }
    picture.x = LinearAxis("Flow (" + c.flowUnit + ")", 0, maxFlow, l);
    picture.y = LinearAxis(ValueTitle(c.valueUnit, " "), lo, hi, l);
    picture.lines.push_back(std::move(curve));
    picture.lines.push_back({"Operating point: " + Number(c.operating.flow, 3, l) + " " + c.flowUnit + ", " +
                                 Number(c.operating.value, 3, l) + " " + c.valueUnit,
                             LineRole::Operating,
                             {{c.operating.flow, c.operating.value}},
                             true});
    return picture;
}

ChartPicture MoodyPicture(const PanelModel& panel) {
    ChartPicture picture;
    const MoodyDiagram m = ComputeMoody(panel);
    if (NoteInstead(picture, panel, m.refusal)) return picture;
    const Locale& l = panel.locale();
    picture.x = LogAxis("Reynolds number Re", 500, 1e8, l);
    picture.y = LogAxis("Darcy friction factor f", 0.006, 0.13, l);
    auto line = [&](const MoodyCurve& c, std::string name, LineRole role, bool legend) {
        ChartLine out{std::move(name), role, {}, legend};
        for (const auto& [re, f] : c.points)
            if (f > 0) out.points.emplace_back(picture.x.place(re), picture.y.place(f));
        return out;
    };
    for (const MoodyCurve& c : m.family)
        picture.lines.push_back(line(c, c.relativeRoughness > 0 ? "\u03b5/D " + RoughnessText(c.relativeRoughness, l) : "smooth",
                                     LineRole::Family, false));
    const std::string own = RoughnessText(m.own.relativeRoughness, l);
    picture.lines.push_back(line(m.own, "This pipe (\u03b5/D " + own + ")", LineRole::Own, true));
    picture.lines.push_back(line(m.colebrook, "Colebrook-White", LineRole::Reference, true));
    PlaceLineNames(picture);
    const std::string re = Number(m.reynolds, 0, l);
    const std::string f = Number(m.friction, 4, l);
    picture.lines.push_back({"Operating point",
                             LineRole::Operating,
                             {{picture.x.place(m.reynolds), picture.y.place(m.friction)}},
                             true});
    picture.title = "Moody diagram: Re " + re + ", f " + f;
    if (m.differencePercent)
        picture.title += ", " + Number(*m.differencePercent, 2, l) + " % from Colebrook-White";
    return picture;
}

SizesTable StandardSizesTable(const PanelModel& panel, const DataTable& pipes) {
    SizesTable table;
    table.headers = {"Pipe type",
                     "Nominal\nsize",
                     "Internal\ndiameter (" + DiameterUnitOf(panel) + ")",
                     "Velocity\n(" + VelocityUnit(panel) + ")",
                     "Reynolds\nnumber",
                     ValueTitle(ValueUnitOf(panel), "\n")};
    if (!ShowsResults(panel)) return table;
    const Locale& l = panel.locale();
    for (const SizeOption& o : StandardSizes(panel, pipes))
        table.rows.push_back({o.type, o.nominal, Number(ShownDiameter(panel, o.internalDiameter), 3, l),
                              o.refused ? "" : Number(o.velocity, 3, l), o.refused ? "" : Number(o.reynolds, 0, l),
                              o.refused ? "refused" : Number(o.value, 3, l)});
    return table;
}

}  // namespace corvane
