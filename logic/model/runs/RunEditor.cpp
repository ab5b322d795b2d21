#include "logic/model/runs/RunEditor.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <utility>

#include "logic/engine/Units.h"
#include "logic/io/FileLock.h"
#include "logic/model/panels/PanelFile.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/model/runs/RunGradeLine.h"
#include "logic/model/shared/FittingsText.h"
#include "logic/model/shared/FlowUnitLists.h"
#include "logic/text/NumberText.h"

namespace corvane {

namespace {


std::string Trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string FieldName(RunField f) {
    switch (f) {
        case RunField::Title: return "Title";
        case RunField::FluidName: return "Liquid";
        case RunField::Viscosity: return "Kinematic viscosity";
        case RunField::RelativeDensity: return "Relative density";
        case RunField::VapourPressure: return "Vapour pressure";
        case RunField::SourcePressure: return "Source pressure";
        case RunField::SourceLevel: return "Source level";
        case RunField::SinkPressure: return "Sink pressure";
        case RunField::SinkLevel: return "Sink level";
        case RunField::StartElevation: return "Start elevation";
        case RunField::Flow: return "Flow";
        case RunField::PumpAfter: return "Pump after section";
        case RunField::PumpPoints: return "Pump curve";
        case RunField::PumpSpeed: return "Speed ratio";
        case RunField::PumpEfficiency: return "Efficiency";
        case RunField::NpshRequired: return "NPSH required";
    }
    return {};
}

}  // namespace

RunEditor::RunEditor(const Locale& locale, RunDataBases bases)
    : locale_(locale), bases_(std::move(bases)), document_(NewRunDocument()) {
    recalculate();
}

RunDocument RunEditor::NewRunDocument() {
    RunDocument d;
    d.fluid.name = "Water 20\u00b0C (68\u00b0F)";
    d.fluid.viscosityCst = 1.004;
    d.fluid.relativeDensity = 0.998;
    d.fluid.vapourPressureBarA = 0.02339;
    d.source = {0, 5};
    d.sink = {0, 0};
    d.startElevationM = 5;
    RunDocSection s;
    s.name = "Pipe 1";
    s.diameterMm = 52.5;
    s.roughnessMm = 0.046;
    s.lengthM = 50;
    s.riseM = -5;
    d.sections.push_back(s);
    return d;
}

void RunEditor::setDocument(RunDocument document) {
    document_ = std::move(document);
    modified_ = false;
    recalculate();
}

void RunEditor::setMetric(bool metric) { metric_ = metric; }

void RunEditor::recalculate() { outcome_ = CalculateRun(document_, bases_, locale_); }

std::optional<std::string> RunEditor::take(RunDocument changed) {
    auto checked = ParseRunDocument(RunDocumentText(changed));
    if (const auto* message = std::get_if<std::string>(&checked)) return *message;
    document_ = std::move(changed);
    modified_ = true;
    recalculate();
    return std::nullopt;
}

std::string RunEditor::num(double v, int decimals) const { return WriteTrimmedNumber(v, decimals, locale_); }
double RunEditor::lengthUnit(double metres) const { return metric_ ? metres : LengthFromMetres(kFoot, metres); }
double RunEditor::lengthEntry(double shown) const { return metric_ ? shown : LengthToMetres(kFoot, shown); }
std::string RunEditor::lengthText(double metres) const { return num(lengthUnit(metres), 3); }
std::string RunEditor::flowUnitText() const { return FlowUnitText(metric_ ? kLitrePerMin : kGallonUsPerMin, locale_); }
double RunEditor::flowShown(double lmin) const { return metric_ ? lmin : FlowFromLitresPerMin(kGallonUsPerMin, lmin); }
double RunEditor::flowEntry(double shown) const { return metric_ ? shown : FlowToLitresPerMin(kGallonUsPerMin, shown); }
std::string RunEditor::pressureUnitText(bool absolute) const {
    return std::string(metric_ ? "bar " : "psi ") + (absolute ? "a" : "g");
}

std::string RunEditor::pointsText(const std::vector<PumpPoint>& stored) const {
    std::vector<PumpPoint> shown;
    for (const PumpPoint& p : stored) shown.push_back({flowShown(p.flow), lengthUnit(p.head)});
    return PointsText(shown, locale_, !metric_);
}

std::vector<PumpPoint> RunEditor::pointsEntry(const std::vector<PumpPoint>& typed,
                                              const std::vector<PumpPoint>& stored) const {
    auto same = [&](double typedValue, double storedShown) {
        return PointNumberText(typedValue, !metric_, locale_) == PointNumberText(storedShown, !metric_, locale_);
    };
    std::vector<PumpPoint> out;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        PumpPoint p{flowEntry(typed[i].flow), lengthEntry(typed[i].head)};
        if (i < stored.size() && same(typed[i].flow, flowShown(stored[i].flow))) p.flow = stored[i].flow;
        if (i < stored.size() && same(typed[i].head, lengthUnit(stored[i].head))) p.head = stored[i].head;
        out.push_back(p);
    }
    return out;
}

std::string RunEditor::unit(RunField f) const {
    const std::string head = metric_ ? "m" : "ft";
    switch (f) {
        case RunField::Viscosity: return "cSt";
        case RunField::VapourPressure: return pressureUnitText(true);
        case RunField::SourcePressure:
        case RunField::SinkPressure: return pressureUnitText(false);
        case RunField::SourceLevel:
        case RunField::SinkLevel:
        case RunField::StartElevation: return head;
        case RunField::Flow: return flowUnitText();
        case RunField::PumpPoints: return flowUnitText() + " : " + head;
        case RunField::NpshRequired: return flowUnitText() + " : " + head;
        case RunField::PumpEfficiency: return "%";
        default: return {};
    }
}

std::string RunEditor::text(RunField f) const {
    const RunDocument& d = document_;
    const RunLiquid& liquid = outcome_.run.liquid;
    auto pressure = [&](double bar) { return num(metric_ ? bar : PressureFromBar(kPsi, bar), 4); };
    auto points = [&](const std::vector<PumpPoint>& list) { return pointsText(list); };
    switch (f) {
        case RunField::Title: return d.title.value_or("");
        case RunField::FluidName: return d.fluid.name + (d.fluid.temperature ? " " + *d.fluid.temperature : "");
        case RunField::Viscosity:
            if (d.fluid.viscosityCst) return num(*d.fluid.viscosityCst, 6);
            return liquid.viscosity > 0 ? num(liquid.viscosity, 6) : "";
        case RunField::RelativeDensity:
            if (d.fluid.relativeDensity) return num(*d.fluid.relativeDensity, 6);
            if (d.fluid.densityKgM3) return num(*d.fluid.densityKgM3 / 1000.0, 6);
            return liquid.density > 0 ? num(liquid.density / 1000.0, 6) : "";
        case RunField::VapourPressure: {
            const auto pv = d.fluid.vapourPressureBarA ? d.fluid.vapourPressureBarA : liquid.vapourPressure;
            return pv ? num(metric_ ? *pv : PressureFromBar(kPsi, *pv), 5) : "";
        }
        case RunField::SourcePressure: return pressure(d.source.pressure);
        case RunField::SourceLevel: return lengthText(d.source.level);
        case RunField::SinkPressure: return pressure(d.sink.pressure);
        case RunField::SinkLevel: return lengthText(d.sink.level);
        case RunField::StartElevation: return lengthText(d.startElevationM);
        case RunField::Flow: return d.flowLmin ? num(flowShown(*d.flowLmin), 3) : "";
        case RunField::PumpAfter: return d.pump ? std::to_string(d.pump->afterSection) : "";
        case RunField::PumpPoints: return d.pump ? points(d.pump->points) : "";
        case RunField::PumpSpeed: return d.pump ? num(d.pump->speed.value_or(1.0), 4) : "";
        case RunField::PumpEfficiency:
            return d.pump && d.pump->efficiencyPercent ? num(*d.pump->efficiencyPercent, 2) : "";
        case RunField::NpshRequired: return d.pump ? points(d.pump->npshRequired) : "";
    }
    return {};
}

std::optional<std::string> RunEditor::setText(RunField f, const std::string& typed) {
    const std::string t = Trimmed(typed);
    if (t == text(f)) return std::nullopt;
    RunDocument d = document_;
    std::optional<double> value;
    if (!t.empty()) {
        if (IsEntryNumber(t, locale_)) value = ReadEntryNumber(t, locale_);
    }
    const bool numeric = f != RunField::Title && f != RunField::FluidName && f != RunField::PumpPoints &&
                         f != RunField::NpshRequired;
    const bool mayBeEmpty = f == RunField::VapourPressure || f == RunField::Flow || f == RunField::PumpAfter ||
                            f == RunField::PumpEfficiency;
    if (numeric && t.empty() && !mayBeEmpty) return FieldName(f) + " needs a number";
    if (numeric && !t.empty() && !value) return FieldName(f) + ": \u201c" + t + "\u201d is not a number";
    auto typedLiquid = [&] {
        // The liquid's numbers typed: the fluid is no longer a row of the
        // data base or water by its temperature.
        const RunLiquid& now = outcome_.run.liquid;
        if (!d.fluid.viscosityCst) d.fluid.viscosityCst = now.viscosity;
        if (!d.fluid.densityKgM3 && !d.fluid.relativeDensity) d.fluid.relativeDensity = now.density / 1000.0;
        if (d.fluid.temperature) d.fluid.name += " " + *d.fluid.temperature;
        if (!d.fluid.vapourPressureBarA) d.fluid.vapourPressureBarA = now.vapourPressure;
        d.fluid.temperature.reset();
        d.fluid.waterTemperatureC.reset();
    };
    auto pressure = [&](double shown) { return metric_ ? shown : PressureToBar(kPsi, shown); };
    auto points = [&](std::vector<PumpPoint>& into) -> std::optional<std::string> {
        const auto read = ReadPointsText(t, locale_);
        if (!read) return FieldName(f) + " takes points as Q:H separated by commas, e.g. 0:40, 200:36, 400:26";
        into = pointsEntry(*read, into);
        return std::nullopt;
    };
    switch (f) {
        case RunField::Title:
            if (t.empty()) d.title.reset();
            else d.title = t;
            break;
        case RunField::FluidName:
            if (t.empty()) return "The liquid needs a name";
            if (d.fluid.temperature || d.fluid.waterTemperatureC) typedLiquid();
            d.fluid.name = t;
            break;
        case RunField::Viscosity:
            typedLiquid();
            d.fluid.viscosityCst = value;
            break;
        case RunField::RelativeDensity:
            typedLiquid();
            d.fluid.densityKgM3.reset();
            d.fluid.relativeDensity = value;
            break;
        case RunField::VapourPressure:
            if (d.fluid.waterTemperatureC && !value) return "Water by its temperature has its vapour pressure";
            d.fluid.vapourPressureBarA = value ? std::optional(pressure(*value)) : std::nullopt;
            break;
        case RunField::SourcePressure: d.source.pressure = pressure(*value); break;
        case RunField::SourceLevel: d.source.level = lengthEntry(*value); break;
        case RunField::SinkPressure: d.sink.pressure = pressure(*value); break;
        case RunField::SinkLevel: d.sink.level = lengthEntry(*value); break;
        case RunField::StartElevation: d.startElevationM = lengthEntry(*value); break;
        case RunField::Flow: d.flowLmin = value ? std::optional(flowEntry(*value)) : std::nullopt; break;
        case RunField::PumpAfter:
            if (!value) {
                d.pump.reset();
                break;
            }
            if (*value != std::floor(*value) || *value < 1 || *value > sectionCount())
                return "The pump stands after a section: 1 to " + std::to_string(sectionCount());
            if (!d.pump) {
                // A pump to start from: its head at no flow twice the
                // difference of the surfaces, or 20 m.
                const double lift = std::max(20.0, 2 * (d.sink.level - d.source.level));
                d.pump = RunDocPump{};
                d.pump->points = {{0, lift}, {200, lift * 0.9}, {400, lift * 0.65}};
            }
            d.pump->afterSection = static_cast<int>(*value);
            break;
        case RunField::PumpPoints:
            if (!d.pump) return "Give the section the pump stands after first";
            if (auto problem = points(d.pump->points)) return problem;
            break;
        case RunField::PumpSpeed:
            if (!d.pump) return "Give the section the pump stands after first";
            d.pump->speed = value;
            break;
        case RunField::PumpEfficiency:
            if (!d.pump) return "Give the section the pump stands after first";
            d.pump->efficiencyPercent = value;
            break;
        case RunField::NpshRequired:
            if (!d.pump) return "Give the section the pump stands after first";
            if (t.empty()) d.pump->npshRequired.clear();
            else if (auto problem = points(d.pump->npshRequired)) return problem;
            break;
    }
    return take(std::move(d));
}

std::optional<std::string> RunEditor::useFluid(const FluidChoice& fluid) {
    if (fluid.isGas) return "A pipe run carries a liquid: choose a liquid of the fluid data base";
    RunDocument d = document_;
    d.fluid = RunDocFluid{};
    d.fluid.name = Trimmed(fluid.name + " " + fluid.temperature);
    d.fluid.viscosityCst = ReadEntryNumber(fluid.viscosity, locale_);
    d.fluid.relativeDensity = ReadEntryNumber(fluid.density, locale_);
    // The data base gives no vapour pressure: the one typed stays.
    d.fluid.vapourPressureBarA = document_.fluid.vapourPressureBarA;
    return take(std::move(d));
}

// ---------------------------------------------------------------- sections
std::vector<std::string> RunEditor::sectionHeaders() const {
    const std::string small = metric_ ? "mm" : "inch";
    const std::string length = metric_ ? "m" : "ft";
    return {"Name", "Diameter " + small, "Roughness " + small, "Length " + length, "Rise " + length,
            "Fittings", "Extra K", "Transition in"};
}

std::vector<std::vector<std::string>> RunEditor::sectionRows() const {
    std::vector<std::vector<std::string>> rows;
    for (std::size_t i = 0; i < document_.sections.size(); ++i) {
        const RunDocSection& s = document_.sections[i];
        const bool resolved = outcome_.run.sections.size() == document_.sections.size();
        // Where a row of the data bases could not be resolved: "?".
        const double unknown = std::nan("");
        const double d = s.diameterMm.value_or(resolved ? outcome_.run.sections[i].diameter : unknown);
        const double e = s.roughnessMm.value_or(resolved ? outcome_.run.sections[i].roughness : unknown);
        auto small = [&](double mm, int decimals) {
            if (std::isnan(mm)) return std::string("?");
            return metric_ ? num(mm, decimals) : num(mm / kMillimetresPerInch, decimals + 1);
        };
        std::string diameter = small(d, 3);
        if (s.pipeType) diameter += " (" + *s.pipeType + " " + *s.pipeNominal + ")";
        std::string roughness = small(e, 4);
        if (s.material) roughness += " (" + *s.material + ")";
        int fittings = 0;
        for (const RunFitting& f : s.fittings) fittings += f.count;
        std::string transition;
        if (i > 0)
            transition = s.transition.value_or(TransitionForm::Sudden) == TransitionForm::Sudden
                             ? "sudden"
                             : "conical " + num(s.angleDeg.value_or(180.0), 2) + "\u00b0";
        rows.push_back({s.name, diameter, roughness, lengthText(s.lengthM), lengthText(s.riseM),
                        fittings == 0 ? "none" : std::to_string(fittings), num(s.extraK.value_or(0.0), 3),
                        transition});
    }
    return rows;
}

std::optional<std::string> RunEditor::setSectionText(int row, SectionColumn column, const std::string& typed) {
    if (row < 0 || row >= sectionCount()) return "No such section";
    const std::string t = Trimmed(typed);
    if (t == sectionRows()[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]) return std::nullopt;
    RunDocument d = document_;
    RunDocSection& s = d.sections[static_cast<std::size_t>(row)];
    const std::string what = "Section " + std::to_string(row + 1) + ": ";
    std::optional<double> value;
    if (IsEntryNumber(t, locale_) && !t.empty()) value = ReadEntryNumber(t, locale_);
    auto needNumber = [&](const char* name) -> std::optional<std::string> {
        if (value) return std::nullopt;
        return what + name + " needs a number";
    };
    switch (column) {
        case SectionColumn::Name:
            if (t.empty()) return what + "a section needs a name";
            s.name = t;
            break;
        case SectionColumn::Diameter:
            if (auto p = needNumber("the diameter")) return p;
            s.diameterMm = metric_ ? *value : *value * kMillimetresPerInch;
            s.pipeType.reset();
            s.pipeNominal.reset();
            break;
        case SectionColumn::Roughness:
            if (auto p = needNumber("the roughness")) return p;
            s.roughnessMm = metric_ ? *value : *value * kMillimetresPerInch;
            s.material.reset();
            break;
        case SectionColumn::Length:
            if (auto p = needNumber("the length")) return p;
            s.lengthM = lengthEntry(*value);
            break;
        case SectionColumn::Rise:
            if (auto p = needNumber("the rise")) return p;
            s.riseM = lengthEntry(*value);
            break;
        case SectionColumn::Fittings: return what + "the fittings are chosen in the fittings dialog";
        case SectionColumn::ExtraK:
            if (t.empty()) value = 0.0;
            if (auto p = needNumber("the extra K")) return p;
            s.extraK = *value == 0 ? std::nullopt : value;
            break;
        case SectionColumn::Transition: {
            if (row == 0) return what + "the first section has no transition before it";
            std::string lower;
            for (char c : t) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (lower.empty() || lower == "sudden") {
                s.transition.reset();
                s.angleDeg.reset();
                break;
            }
            if (lower.rfind("conical", 0) != 0)
                return what + "a transition is \u201csudden\u201d or \u201cconical\u201d with its angle, e.g. conical 15";
            std::string angle = Trimmed(lower.substr(7));
            while (!angle.empty() && (angle.back() == '\xb0' || angle.back() == '\xc2')) angle.pop_back();
            if (!IsEntryNumber(angle, locale_) || angle.empty())
                return what + "a conical transition needs its included angle, e.g. conical 15";
            s.transition = TransitionForm::Conical;
            s.angleDeg = ReadEntryNumber(angle, locale_);
            break;
        }
    }
    return take(std::move(d));
}

std::string RunEditor::fittingsSelection(int row) const {
    const RunDocSection& s = document_.sections.at(static_cast<std::size_t>(row));
    std::vector<std::string> fields(kFittingsFieldCount, "0");
    for (const RunFitting& f : s.fittings) {
        fields[static_cast<std::size_t>(kValveSelectorCount + f.kind - 1)] = std::to_string(f.count);
        if (f.kind >= kFirstValveKind && f.kind < kFirstValveKind + kValveSelectorCount)
            fields[static_cast<std::size_t>(f.kind - kFirstValveKind)] = std::to_string(f.opening);
    }
    fields.back() = WriteEntryNumber(s.extraK.value_or(0.0), 2, locale_).value_or("0");
    std::string out;
    for (const std::string& f : fields) out += f + "\t";
    return out;
}

std::optional<std::string> RunEditor::setFittingsSelection(int row, const std::string& selection) {
    if (row < 0 || row >= sectionCount()) return "No such section";
    if (selection == fittingsSelection(row)) return std::nullopt;
    const FittingsSelection parsed = ParseFittings(selection, locale_);
    RunDocument d = document_;
    RunDocSection& s = d.sections[static_cast<std::size_t>(row)];
    s.fittings.clear();
    for (int k = 1; k <= kFittingKindCount; ++k) {
        const int count = parsed.counts[static_cast<std::size_t>(k - 1)];
        if (count == 0) continue;
        RunFitting f;
        f.kind = k;
        f.count = count;
        if (k >= kFirstValveKind && k < kFirstValveKind + kValveSelectorCount)
            f.opening = parsed.openings[static_cast<std::size_t>(k - kFirstValveKind)];
        s.fittings.push_back(f);
    }
    s.extraK = parsed.extraK == 0 ? std::nullopt : std::optional(parsed.extraK);
    return take(std::move(d));
}

std::optional<int> RunEditor::addSection(int after) {
    if (document_.sections.size() >= kMaxRunSections) return std::nullopt;
    RunDocument d = document_;
    const int at = std::clamp(after + 1, 0, sectionCount());
    RunDocSection s = d.sections[static_cast<std::size_t>(std::min(std::max(after, 0), sectionCount() - 1))];
    s.fittings.clear();
    s.extraK.reset();
    s.riseM = 0;
    s.transition.reset();
    s.angleDeg.reset();
    s.name = "Pipe " + std::to_string(sectionCount() + 1);
    d.sections.insert(d.sections.begin() + at, s);
    if (d.pump && d.pump->afterSection > at) ++d.pump->afterSection;
    if (take(std::move(d))) return std::nullopt;
    return at;
}

bool RunEditor::removeSection(int row) {
    if (sectionCount() <= 1 || row < 0 || row >= sectionCount()) return false;
    RunDocument d = document_;
    d.sections.erase(d.sections.begin() + row);
    d.sections.front().transition.reset();
    d.sections.front().angleDeg.reset();
    if (d.pump && d.pump->afterSection > row && d.pump->afterSection > 1) --d.pump->afterSection;
    if (d.pump && d.pump->afterSection > static_cast<int>(d.sections.size())) d.pump.reset();
    return !take(std::move(d));
}

bool RunEditor::moveSection(int row, int by) {
    const int to = row + by;
    if (row < 0 || row >= sectionCount() || to < 0 || to >= sectionCount()) return false;
    RunDocument d = document_;
    std::swap(d.sections[static_cast<std::size_t>(row)], d.sections[static_cast<std::size_t>(to)]);
    // The first section takes no transition from before it.
    if (std::min(row, to) == 0) {
        d.sections.front().transition.reset();
        d.sections.front().angleDeg.reset();
    }
    return !take(std::move(d));
}

// ---------------------------------------------------------------- results
std::string RunEditor::statusText() const {
    if (outcome_.status != RunStatus::Ok) return outcome_.message;
    std::string out;
    for (const std::string& n : RunNoteTexts(outcome_, locale_, metric_)) out += (out.empty() ? "" : "\n") + n;
    return out;
}

TextTable RunEditor::sectionResults() const {
    const std::string head = metric_ ? "m" : "ft";
    TextTable t{{"Section", "Velocity " + std::string(metric_ ? "m/s" : "ft/s"), "Reynolds number", "Flow type",
                 "Friction factor", "Fittings K", "Head loss " + head},
                {}};
    if (outcome_.status != RunStatus::Ok) return t;
    const RunResult& r = outcome_.result;
    for (std::size_t i = 0; i < r.sections.size(); ++i) {
        const SectionFlow& s = r.sections[i];
        t.rows.push_back({std::to_string(i + 1) + " " + outcome_.sectionNames[i],
                          WriteEntryNumber(lengthUnit(s.velocity), 3, locale_).value_or(""),
                          WriteEntryNumber(s.reynolds, 0, locale_).value_or(""), FlowTypeName(s.reynolds),
                          WriteEntryNumber(s.friction, 4, locale_).value_or(""),
                          WriteEntryNumber(s.fittingsK, 3, locale_).value_or(""),
                          WriteEntryNumber(lengthUnit(s.headLoss()), 3, locale_).value_or("")});
    }
    return t;
}

TextTable RunEditor::transitionResults() const {
    const std::string head = metric_ ? "m" : "ft";
    TextTable t{{"Loss", "K", "On velocity " + std::string(metric_ ? "m/s" : "ft/s"), "Head loss " + head}, {}};
    if (outcome_.status != RunStatus::Ok) return t;
    const RunResult& r = outcome_.result;
    auto row = [&](std::string name, double k, double v, double h) {
        t.rows.push_back({std::move(name), WriteEntryNumber(k, 4, locale_).value_or(""),
                          WriteEntryNumber(lengthUnit(v), 3, locale_).value_or(""),
                          WriteEntryNumber(lengthUnit(h), 3, locale_).value_or("")});
    };
    row("Entry from the source", r.entryK, r.sections.front().velocity, r.entryHead);
    for (const TransitionLoss& x : r.transitions)
        row("Into " + outcome_.sectionNames[static_cast<std::size_t>(x.section - 1)] + ": " + TransitionName(x), x.k,
            x.velocity, x.head);
    row("Exit into the sink", r.exitK, r.sections.back().velocity, r.exitHead);
    t.rows.push_back({"Total head loss", "", "", WriteEntryNumber(lengthUnit(r.totalHeadLoss), 3, locale_).value_or("")});
    t.rows.push_back({"Sink margin", "", "", WriteEntryNumber(lengthUnit(r.sinkMargin), 3, locale_).value_or("")});
    return t;
}

TextTable RunEditor::nodeResults() const {
    const std::string len = metric_ ? "m" : "ft";
    TextTable t{{"Node", "Distance " + len, "Elevation " + len, "Pressure " + pressureUnitText(false),
                 "Hydraulic head " + len, "Energy head " + len},
                {}};
    if (outcome_.status != RunStatus::Ok) return t;
    for (const RunNote& n : outcome_.result.notes)
        if (n.kind == RunNoteKind::BelowVapourPressure || n.kind == RunNoteKind::BelowAbsoluteZero)
            t.warnRows.push_back(static_cast<std::size_t>(n.node));
    for (const RunNode& n : outcome_.result.nodes)
        t.rows.push_back({RunNodeName(outcome_, n), WriteEntryNumber(lengthUnit(n.distance), 3, locale_).value_or(""),
                          WriteEntryNumber(lengthUnit(n.elevation), 3, locale_).value_or(""),
                          WriteEntryNumber(metric_ ? n.pressure : PressureFromBar(kPsi, n.pressure), 4, locale_)
                              .value_or(""),
                          WriteEntryNumber(lengthUnit(n.hydraulicHead), 3, locale_).value_or(""),
                          WriteEntryNumber(lengthUnit(n.energyHead), 3, locale_).value_or("")});
    return t;
}

TextTable RunEditor::pumpResults() const {
    TextTable t{{"Pump", "Value", "Unit"}, {}};
    if (outcome_.status != RunStatus::Ok || !outcome_.result.pump) return t;
    const PumpDuty& p = *outcome_.result.pump;
    const std::string head = metric_ ? "m" : "ft";
    auto row = [&](std::string caption, std::optional<double> v, int decimals, std::string unit) {
        t.rows.push_back({std::move(caption), v ? WriteEntryNumber(*v, decimals, locale_).value_or("") : "not known",
                          v ? std::move(unit) : ""});
    };
    auto len = [&](std::optional<double> m) { return m ? std::optional(lengthUnit(*m)) : std::nullopt; };
    row("Flow", flowShown(p.flow), 3, flowUnitText());
    row("Head", lengthUnit(p.head), 3, head);
    const bool hp = !metric_;
    auto power = [&](std::optional<double> w) { return w && hp ? std::optional(*w / 745.7) : w; };
    row("Fluid power", power(p.fluidPowerW), hp ? 3 : 1, hp ? "hp" : "W");
    row("Shaft power", power(p.shaftPowerW), hp ? 3 : 1, hp ? "hp" : "W");
    row("NPSH available", len(p.npshAvailable), 3, head);
    row("NPSH required", len(p.npshRequired), 3, head);
    row("NPSH margin", len(p.npshMargin), 3, head);
    row("NPSH ratio NPSHa/NPSHr", p.npshRatio, 2, "");
    return t;
}

ChartPicture RunEditor::gradeLinePicture() const { return RunGradeLinePicture(outcome_, metric_, locale_); }

std::string RunEditor::resultsText() const {
    std::string out;
    auto put = [&](const TextTable& t) {
        if (t.rows.empty()) return;
        std::string line;
        for (const std::string& h : t.headers) line += (line.empty() ? "" : "\t") + h;
        out += line + "\n";
        for (const auto& row : t.rows) {
            line.clear();
            for (std::size_t c = 0; c < row.size(); ++c) line += (c ? "\t" : "") + row[c];
            out += line + "\n";
        }
        out += "\n";
    };
    if (outcome_.status != RunStatus::Ok) return outcome_.message + "\n";
    out += "Flow\t" + num(flowShown(outcome_.result.flow), 3) + "\t" + flowUnitText() + "\n\n";
    put(sectionResults());
    put(transitionResults());
    put(nodeResults());
    put(pumpResults());
    for (const std::string& n : RunNoteTexts(outcome_, locale_, metric_)) out += n + "\n";
    return out;
}

// ---------------------------------------------------------------- text
std::string PointNumberText(double value, bool converted, const Locale& locale) {
    int decimals = 3;
    if (converted && value != 0 && std::isfinite(value))
        decimals = std::clamp(3 - static_cast<int>(std::floor(std::log10(std::fabs(value)))), 0, 3);
    return WriteTrimmedNumber(value, decimals, locale);
}

std::string PointsText(const std::vector<PumpPoint>& points, const Locale& locale, bool converted) {
    // Points are separated by ';' where the decimal mark is a comma.
    const std::string between = locale.decimalSeparator == ',' ? "; " : ", ";
    std::string out;
    for (const PumpPoint& p : points)
        out += (out.empty() ? "" : between) + PointNumberText(p.flow, converted, locale) + ":" +
               PointNumberText(p.head, converted, locale);
    return out;
}

std::optional<std::vector<PumpPoint>> ReadPointsText(const std::string& text, const Locale& locale) {
    std::vector<PumpPoint> points;
    // Points are separated by ';' where the decimal mark is a comma.
    const char between = locale.decimalSeparator == ',' ? ';' : ',';
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t stop = std::min(text.find(between, start), text.size());
        const std::string one = Trimmed(text.substr(start, stop - start));
        const auto colon = one.find(':');
        if (colon == std::string::npos) return std::nullopt;
        const std::string q = Trimmed(one.substr(0, colon)), h = Trimmed(one.substr(colon + 1));
        if (q.empty() || h.empty() || !IsEntryNumber(q, locale) || !IsEntryNumber(h, locale)) return std::nullopt;
        points.push_back({ReadEntryNumber(q, locale), ReadEntryNumber(h, locale)});
        start = stop + 1;
    }
    if (points.empty()) return std::nullopt;
    return points;
}

// ---------------------------------------------------------------- files
bool IsRunFileName(const std::string& path) {
    const std::string ext = kRunFileExtension;
    if (path.size() < ext.size()) return false;
    std::string tail = path.substr(path.size() - ext.size());
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ext;
}

bool LooksLikeRunDocument(std::string_view bytes) {
    const auto first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && bytes[first] == '{' &&
           bytes.substr(0, 4096).find("\"corvane_run\"") != std::string_view::npos;
}

std::string RunFileFilter() { return "Corvane pipe runs (*.cvrun *.CVRUN)|*.cvrun;*.CVRUN"; }

std::string AnyCorvaneFileFilter() {
    const std::string panels = AnyPanelFileFilter();
    const auto open = panels.find('('), close = panels.find(')'), bar = panels.find('|');
    return "Corvane files (" + panels.substr(open + 1, close - open - 1) + " *.cvrun *.CVRUN)|" + panels.substr(bar + 1) +
           ";*.cvrun;*.CVRUN";
}

RunFileRead ReadRunFile(const std::string& path) {
    RunFileRead r;
    const FileRead read = ReadWholeFile(path, kMaxRunFileBytes);
    if (!read.bytes) {
        r.message = read.error;
        return r;
    }
    auto parsed = ParseRunDocument(*read.bytes);
    if (auto* message = std::get_if<std::string>(&parsed)) {
        r.message = *message;
        return r;
    }
    r.bytes = *read.bytes;
    r.document = std::move(std::get<RunDocument>(parsed));
    return r;
}

RunFileWrite WriteRunFile(const std::string& path, const RunDocument& document,
                          const std::optional<std::string>& readBytes) {
    RunFileWrite w;
    FileLock lock;
    if (auto failure = FileLock::Take(path, lock)) {
        w.message = FileErrorText(*failure);
        return w;
    }
    // Under the lock: what is there now is what this window read or wrote
    // last, or another program's change would be lost.  A file that cannot
    // be read again cannot be compared: it is not written over either (one
    // that is gone has nothing to lose).
    if (readBytes) {
        const FileRead now = ReadWholeFile(path, kMaxRunFileBytes);
        if (!now.bytes && !(now.failure && now.failure->error == ENOENT)) {
            w.message = "This file cannot be read again to compare it with what was opened here (" + now.error +
                        "); it was not overwritten. Save the run under another name.";
            return w;
        }
        if (now.bytes && *now.bytes != *readBytes) {
            w.message = "Another program has changed this file since it was opened here; it was not overwritten. "
                        "Save the run under another name, or open the file again.";
            return w;
        }
    }
    const std::string bytes = RunDocumentText(document);
    if (auto failure = SaveRunFile(path, document)) {
        w.message = FileErrorText(*failure);
        return w;
    }
    w.bytes = bytes;
    return w;
}

}  // namespace corvane
