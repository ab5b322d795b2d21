#include "logic/model/runs/RunDocument.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <set>
#include <utility>

#include "logic/model/data/DataEntryRules.h"
#include "logic/model/data/FittingsDialogModel.h"
#include "logic/model/panels/PanelModel.h"

// The only place in logic that reads or writes JSON: no JSON type leaves
// this file.

namespace corvane {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

// A refusal of the document, thrown while reading and caught at the top.
struct Refused {
    std::string message;
};
[[noreturn]] void Fail(std::string message) { throw Refused{std::move(message)}; }

constexpr int kMaxDepth = 32;
constexpr std::size_t kMaxPoints = 100;
constexpr int kMaxFittingCount = 999;
constexpr std::array<int, kOpeningCount> kOpenPercent = {100, 75, 50, 25};

// The shortest text of a limit: "0", "1.01325", "100000".
std::string Shortest(double v) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed).ptr;
    return std::string(text, end);
}

// ---------------------------------------------------------------- JSON text
// The library's document builder, with the path of the value being read
// (for messages that name it), duplicate keys refused and the nesting kept
// shallow.
class PathParser {
public:
    explicit PathParser(Json& root) : dom_(root, false) {}

    bool null() { return value() && dom_.null(); }
    bool boolean(bool b) { return value() && dom_.boolean(b); }
    bool number_integer(Json::number_integer_t n) { return value() && dom_.number_integer(n); }
    bool number_unsigned(Json::number_unsigned_t n) { return value() && dom_.number_unsigned(n); }
    bool number_float(Json::number_float_t x, const Json::string_t& s) { return value() && dom_.number_float(x, s); }
    bool string(Json::string_t& s) { return value() && dom_.string(s); }
    bool binary(Json::binary_t& b) { return value() && dom_.binary(b); }
    bool start_object(std::size_t n) { return open(false) && dom_.start_object(n); }
    bool start_array(std::size_t n) { return open(true) && dom_.start_array(n); }
    bool end_object() {
        frames_.pop_back();
        return dom_.end_object();
    }
    bool end_array() {
        frames_.pop_back();
        return dom_.end_array();
    }
    bool key(Json::string_t& k) {
        Frame& f = frames_.back();
        f.key = k;
        if (!f.keys.insert(k).second) {
            error_ = path() + " is given twice";
            return false;
        }
        return dom_.key(k);
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) {
        std::string what = e.what();
        if (const auto end = what.find("] "); end != std::string::npos) what.erase(0, end + 2);
        const std::string where = path(true);
        if (e.id == 406) error_ = (where.empty() ? "A number" : where) + " must be a finite number, not " + what.substr(what.find('\''));
        else error_ = (where.empty() ? "" : where + ": ") + "not valid JSON: " + what;
        return false;
    }

    const std::optional<std::string>& error() const { return error_; }

    // "sections[3].diameter_mm": keys after a dot, array places from 1.
    // `pending`: an array's next value, not yet begun, is the place.
    std::string path(bool pending = false) const {
        std::string p;
        for (std::size_t i = 0; i < frames_.size(); ++i) {
            const Frame& f = frames_[i];
            const bool next = pending && i + 1 == frames_.size();
            if (f.array) p += "[" + std::to_string(f.count + (next ? 1 : 0)) + "]";
            else if (!f.key.empty()) p += (p.empty() ? "" : ".") + f.key;
        }
        return p;
    }

private:
    struct Frame {
        bool array = false;
        std::size_t count = 0;  // values begun in an array
        std::string key;        // the key being read in an object
        std::set<std::string> keys;
    };
    bool value() {
        if (!frames_.empty() && frames_.back().array) ++frames_.back().count;
        return true;
    }
    bool open(bool array) {
        value();
        if (frames_.size() >= kMaxDepth) {
            error_ = path() + " is nested more than " + std::to_string(kMaxDepth) + " deep";
            return false;
        }
        frames_.push_back({array, 0, {}, {}});
        return true;
    }

    nlohmann::detail::json_sax_dom_parser<Json> dom_;
    std::vector<Frame> frames_;
    std::optional<std::string> error_;
};

// ---------------------------------------------------------------- values
struct Range {
    double lo, hi;
    bool above;  // lo itself refused
};
constexpr Range kPositive{0, 1e9, true};
constexpr Range kNonNegative{0, 1e9, false};
constexpr Range kLevel{-1e5, 1e5, false};
constexpr Range kGaugePressure{-kAtmosphereBar, 1e4, false};
constexpr Range kK{0, 1e6, false};

double NumberAt(const Json& v, const std::string& path, Range r) {
    if (!v.is_number()) Fail(path + " must be a number");
    const double x = v.get<double>();
    if (!std::isfinite(x)) Fail(path + " must be a finite number");
    if (r.above && !(x > r.lo)) Fail(path + " must be above " + Shortest(r.lo));
    if (!r.above && !(x >= r.lo)) Fail(path + " must be at least " + Shortest(r.lo));
    if (!(x <= r.hi)) Fail(path + " must be at most " + Shortest(r.hi));
    return x;
}

int IntegerAt(const Json& v, const std::string& path, int lo, int hi) {
    if (!v.is_number_integer()) Fail(path + " must be a whole number");
    const auto n = v.get<std::int64_t>();
    if (n < lo || n > hi) Fail(path + " must be from " + std::to_string(lo) + " to " + std::to_string(hi));
    return static_cast<int>(n);
}

std::string TextAt(const Json& v, const std::string& path) {
    if (!v.is_string()) Fail(path + " must be a text");
    return v.get<std::string>();
}

// An object of the document with the keys it may hold.
class Object {
public:
    Object(const Json& j, std::string path, std::initializer_list<const char*> keys) : j_(j), path_(std::move(path)) {
        if (!j.is_object()) Fail(path_.empty() ? "A run file holds one JSON object" : path_ + " must be an object");
        for (const auto& [key, value] : j.items()) {
            bool known = false;
            for (const char* k : keys) known = known || key == k;
            if (!known) Fail(at(key) + " is not a key of a run file");
        }
    }
    std::string at(const std::string& key) const { return path_.empty() ? key : path_ + "." + key; }
    // Present and not null.
    bool has(const char* key) const { return j_.contains(key) && !j_.at(key).is_null(); }
    const Json& need(const char* key) const {
        if (!has(key)) Fail(at(key) + " is missing");
        return j_.at(key);
    }
    double number(const char* key, Range r) const { return NumberAt(need(key), at(key), r); }
    std::optional<double> optional(const char* key, Range r) const {
        if (!has(key)) return std::nullopt;
        return NumberAt(j_.at(key), at(key), r);
    }
    std::string text(const char* key) const { return TextAt(need(key), at(key)); }
    std::optional<std::string> optionalText(const char* key) const {
        if (!has(key)) return std::nullopt;
        return TextAt(j_.at(key), at(key));
    }
    void refuseWith(const char* key, const char* other) const {
        if (has(key) && has(other)) Fail(at(key) + " and " + at(other) + " cannot both be given");
    }

private:
    const Json& j_;
    std::string path_;
};

std::vector<PumpPoint> PointsAt(const Json& v, const std::string& path, std::size_t least, bool rising) {
    if (!v.is_array() || v.size() < least || v.size() > kMaxPoints)
        Fail(path + " must be a list of " + std::to_string(least) + " to " + std::to_string(kMaxPoints) +
             " points [flow_lmin, head_m]");
    std::vector<PumpPoint> points;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const std::string at = path + "[" + std::to_string(i + 1) + "]";
        if (!v[i].is_array() || v[i].size() != 2) Fail(at + " must be a point [flow_lmin, head_m]");
        points.push_back({NumberAt(v[i][0], at + "[1]", kNonNegative), NumberAt(v[i][1], at + "[2]", {0, 1e6, false})});
        if (rising && i > 0 && !(points[i].flow > points[i - 1].flow))
            Fail(at + ": the flows must increase from one point to the next");
    }
    return points;
}

// ---------------------------------------------------------------- reading
RunDocFluid ReadFluid(const Json& j) {
    const Object o(j, "fluid",
                   {"name", "temperature", "viscosity_cst", "density_kg_m3", "relative_density",
                    "vapour_pressure_bar_a", "water_temperature_c"});
    RunDocFluid f;
    f.name = o.text("name");
    f.temperature = o.optionalText("temperature");
    f.viscosityCst = o.optional("viscosity_cst", {0, 1e6, true});
    f.densityKgM3 = o.optional("density_kg_m3", {0, kMostRelativeDensity * 1000, true});
    f.relativeDensity = o.optional("relative_density", {0, kMostRelativeDensity, true});
    f.vapourPressureBarA = o.optional("vapour_pressure_bar_a", {0, 1e4, false});
    f.waterTemperatureC = o.optional("water_temperature_c", {0, 370, false});
    o.refuseWith("density_kg_m3", "relative_density");
    const bool typed = f.viscosityCst || f.densityKgM3 || f.relativeDensity;
    if (f.waterTemperatureC && typed)
        Fail("fluid.water_temperature_c gives the liquid: its viscosity and density cannot be given as well");
    if (f.temperature && (typed || f.waterTemperatureC))
        Fail("fluid.temperature names a row of the fluid data base: the liquid's numbers cannot be given as well");
    if (typed && !f.viscosityCst) Fail("fluid.viscosity_cst is missing");
    if (typed && !f.densityKgM3 && !f.relativeDensity) Fail("fluid.density_kg_m3 (or relative_density) is missing");
    return f;
}

RunSurface ReadSurface(const Object& o) {
    return {o.number("pressure_bar_g", kGaugePressure), o.number("level_m", kLevel)};
}

std::vector<RunFitting> ReadFittings(const Json& v, const std::string& path) {
    if (!v.is_array() || v.size() > kFittingKindCount)
        Fail(path + " must be a list of at most " + std::to_string(kFittingKindCount) + " fittings");
    std::vector<RunFitting> fittings;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const Object o(v[i], path + "[" + std::to_string(i + 1) + "]", {"name", "count", "open_percent"});
        RunFitting f;
        const std::string name = o.text("name");
        f.kind = 0;
        for (int k = 1; k <= kFittingKindCount; ++k)
            if (name == RunFittingName(k)) f.kind = k;
        if (f.kind == 0) Fail(o.at("name") + " \"" + name + "\" is not one of the fittings");
        for (const RunFitting& before : fittings)
            if (before.kind == f.kind) Fail(o.at("name") + " \"" + name + "\" is listed twice");
        f.count = IntegerAt(o.need("count"), o.at("count"), 0, kMaxFittingCount);
        if (o.has("open_percent")) {
            if (f.kind < kFirstValveKind || f.kind >= kFirstValveKind + kValveSelectorCount)
                Fail(o.at("open_percent") + " is for the gate, globe and butterfly valves");
            const int percent = IntegerAt(o.need("open_percent"), o.at("open_percent"), 25, 100);
            f.opening = -1;
            for (int k = 0; k < kOpeningCount; ++k)
                if (kOpenPercent[static_cast<std::size_t>(k)] == percent) f.opening = k;
            if (f.opening < 0) Fail(o.at("open_percent") + " must be 100, 75, 50 or 25");
        }
        fittings.push_back(f);
    }
    return fittings;
}

RunDocSection ReadSection(const Json& j, std::size_t index) {
    const std::string path = "sections[" + std::to_string(index + 1) + "]";
    const Object o(j, path,
                   {"name", "diameter_mm", "pipe", "roughness_mm", "material", "length_m", "rise_m", "extra_k",
                    "fittings", "transition"});
    RunDocSection s;
    s.name = o.text("name");
    o.refuseWith("diameter_mm", "pipe");
    o.refuseWith("roughness_mm", "material");
    if (o.has("pipe")) {
        const Object pipe(o.need("pipe"), o.at("pipe"), {"type", "nominal"});
        s.pipeType = pipe.text("type");
        s.pipeNominal = pipe.text("nominal");
    } else {
        s.diameterMm = o.number("diameter_mm", {0, 1e5, true});
    }
    if (o.has("material")) {
        s.material = o.text("material");
        bool known = false;
        for (const std::string& m : RunMaterialNames()) known = known || m == *s.material;
        if (!known) Fail(o.at("material") + " \"" + *s.material + "\" is not one of the pipe materials");
    } else {
        s.roughnessMm = o.number("roughness_mm", {0, 1e3, false});
        if (s.diameterMm && !(*s.roughnessMm < *s.diameterMm))
            Fail(o.at("roughness_mm") + " must be below the section's diameter_mm");
    }
    s.lengthM = o.number("length_m", {0, 1e6, false});
    s.riseM = o.optional("rise_m", {-1e6, 1e6, false}).value_or(0.0);
    if (std::fabs(s.riseM) > s.lengthM)
        Fail(o.at("rise_m") + " cannot be more than the section's length_m: a section rises or falls at most its length");
    s.extraK = o.optional("extra_k", kK);
    if (o.has("fittings")) s.fittings = ReadFittings(o.need("fittings"), o.at("fittings"));
    if (o.has("transition")) {
        if (index == 0) Fail(o.at("transition") + ": the first section has no section before it");
        const Object t(o.need("transition"), o.at("transition"), {"kind", "angle_deg"});
        const std::string kind = t.text("kind");
        if (kind != "sudden" && kind != "conical") Fail(t.at("kind") + " must be \"sudden\" or \"conical\"");
        s.transition = kind == "sudden" ? TransitionForm::Sudden : TransitionForm::Conical;
        if (kind == "conical") s.angleDeg = t.number("angle_deg", {0, 180, true});
        else if (t.has("angle_deg")) Fail(t.at("angle_deg") + " is for a conical transition");
    }
    return s;
}

RunDocPump ReadPump(const Json& j, std::size_t sections) {
    const Object o(j, "pump",
                   {"after_section", "points", "speed", "efficiency_percent", "npsh_required", "npsh_margin_ratio"});
    RunDocPump p;
    const Json& after = o.need("after_section");
    if (!after.is_number_integer() || after.get<std::int64_t>() < 1 ||
        after.get<std::int64_t>() > static_cast<std::int64_t>(sections))
        Fail("pump.after_section must be the number of a section of the run: 1 to " + std::to_string(sections));
    p.afterSection = after.get<int>();
    p.points = PointsAt(o.need("points"), o.at("points"), 1, false);
    p.speed = o.optional("speed", {0, 10, true});
    p.efficiencyPercent = o.optional("efficiency_percent", {0, 100, true});
    if (o.has("npsh_required")) p.npshRequired = PointsAt(o.need("npsh_required"), o.at("npsh_required"), 2, true);
    p.npshMarginRatio = o.optional("npsh_margin_ratio", {1, 10, false});
    return p;
}

RunDocument ReadDocument(const Json& root) {
    const Object o(root, "",
                   {"corvane_run", "title", "fluid", "source", "sink", "start_elevation_m", "flow_lmin", "sections",
                    "pump"});
    if (!o.has("corvane_run")) Fail("corvane_run is missing: this is not a Corvane run file");
    const Json& version = o.need("corvane_run");
    if (!version.is_number_integer() || version.get<std::int64_t>() != kRunFormatVersion)
        Fail("corvane_run must be 1: this program reads version 1 of the run file");
    RunDocument d;
    d.title = o.optionalText("title");
    d.fluid = ReadFluid(o.need("fluid"));
    const Object source(o.need("source"), "source", {"pressure_bar_g", "level_m", "entry_k"});
    d.source = ReadSurface(source);
    d.entryK = source.optional("entry_k", kK);
    const Object sink(o.need("sink"), "sink", {"pressure_bar_g", "level_m", "exit_k"});
    d.sink = ReadSurface(sink);
    d.exitK = sink.optional("exit_k", kK);
    d.startElevationM = o.number("start_elevation_m", kLevel);
    d.flowLmin = o.optional("flow_lmin", kPositive);
    const Json& sections = o.need("sections");
    if (!sections.is_array() || sections.empty() || sections.size() > kMaxRunSections)
        Fail("sections must be a list of 1 to " + std::to_string(kMaxRunSections) + " sections" +
             (sections.is_array() ? ", not " + std::to_string(sections.size()) : ""));
    for (std::size_t i = 0; i < sections.size(); ++i) d.sections.push_back(ReadSection(sections[i], i));
    if (o.has("pump")) d.pump = ReadPump(o.need("pump"), d.sections.size());
    return d;
}

// ---------------------------------------------------------------- writing
OrderedJson PointsJson(const std::vector<PumpPoint>& points) {
    OrderedJson a = OrderedJson::array();
    for (const PumpPoint& p : points) a.push_back({p.flow, p.head});
    return a;
}

template <typename T>
void Put(OrderedJson& o, const char* key, const std::optional<T>& v) {
    if (v) o[key] = *v;
}

OrderedJson SectionJson(const RunDocSection& s) {
    OrderedJson o;
    o["name"] = s.name;
    if (s.pipeType) o["pipe"] = {{"type", *s.pipeType}, {"nominal", s.pipeNominal.value_or("")}};
    Put(o, "diameter_mm", s.diameterMm);
    Put(o, "roughness_mm", s.roughnessMm);
    Put(o, "material", s.material);
    o["length_m"] = s.lengthM;
    o["rise_m"] = s.riseM;
    Put(o, "extra_k", s.extraK);
    if (!s.fittings.empty()) {
        OrderedJson fittings = OrderedJson::array();
        for (const RunFitting& f : s.fittings) {
            OrderedJson one;
            one["name"] = RunFittingName(f.kind);
            one["count"] = f.count;
            if (f.kind >= kFirstValveKind && f.kind < kFirstValveKind + kValveSelectorCount)
                one["open_percent"] = kOpenPercent[static_cast<std::size_t>(f.opening)];
            fittings.push_back(one);
        }
        o["fittings"] = fittings;
    }
    if (s.transition) {
        OrderedJson t;
        t["kind"] = *s.transition == TransitionForm::Sudden ? "sudden" : "conical";
        Put(t, "angle_deg", s.angleDeg);
        o["transition"] = t;
    }
    return o;
}

}  // namespace

const char* RunFittingName(int kind) {
    if (kind < 1 || kind > kFittingKindCount) return "";
    return FittingsDialogModel::KindNames()[static_cast<std::size_t>(kind - 1)];
}

const std::vector<std::string>& RunMaterialNames() {
    static const std::vector<std::string> kNames = PipeMaterialItems(PanelKind::Flow);
    return kNames;
}

std::variant<RunDocument, std::string> ParseRunDocument(std::string_view bytes) {
    Json root;
    PathParser parser(root);
    const bool parsed = Json::sax_parse(bytes.begin(), bytes.end(), &parser, nlohmann::json::input_format_t::json, true);
    if (!parsed || parser.error()) return parser.error().value_or("The file is not valid JSON");
    try {
        return ReadDocument(root);
    } catch (const Refused& r) {
        return r.message;
    }
}

std::string RunDocumentText(const RunDocument& d) {
    OrderedJson o;
    o["corvane_run"] = kRunFormatVersion;
    Put(o, "title", d.title);
    OrderedJson fluid;
    fluid["name"] = d.fluid.name;
    Put(fluid, "temperature", d.fluid.temperature);
    Put(fluid, "viscosity_cst", d.fluid.viscosityCst);
    Put(fluid, "density_kg_m3", d.fluid.densityKgM3);
    Put(fluid, "relative_density", d.fluid.relativeDensity);
    Put(fluid, "vapour_pressure_bar_a", d.fluid.vapourPressureBarA);
    Put(fluid, "water_temperature_c", d.fluid.waterTemperatureC);
    o["fluid"] = fluid;
    OrderedJson source{{"pressure_bar_g", d.source.pressure}, {"level_m", d.source.level}};
    Put(source, "entry_k", d.entryK);
    o["source"] = source;
    OrderedJson sink{{"pressure_bar_g", d.sink.pressure}, {"level_m", d.sink.level}};
    Put(sink, "exit_k", d.exitK);
    o["sink"] = sink;
    o["start_elevation_m"] = d.startElevationM;
    o["flow_lmin"] = d.flowLmin ? OrderedJson(*d.flowLmin) : OrderedJson(nullptr);
    OrderedJson sections = OrderedJson::array();
    for (const RunDocSection& s : d.sections) sections.push_back(SectionJson(s));
    o["sections"] = sections;
    if (d.pump) {
        const RunDocPump& p = *d.pump;
        OrderedJson pump;
        pump["after_section"] = p.afterSection;
        pump["points"] = PointsJson(p.points);
        Put(pump, "speed", p.speed);
        Put(pump, "efficiency_percent", p.efficiencyPercent);
        if (!p.npshRequired.empty()) pump["npsh_required"] = PointsJson(p.npshRequired);
        Put(pump, "npsh_margin_ratio", p.npshMarginRatio);
        o["pump"] = pump;
    }
    return o.dump(2, ' ', false, OrderedJson::error_handler_t::replace) + "\n";
}

std::variant<RunDocument, std::string> LoadRunFile(const std::string& path) {
    const FileRead read = ReadWholeFile(path, kMaxRunFileBytes);
    if (!read.bytes) return path + ": " + read.error;
    auto parsed = ParseRunDocument(*read.bytes);
    if (auto* message = std::get_if<std::string>(&parsed)) return path + ": " + *message;
    return parsed;
}

std::optional<FileFailure> SaveRunFile(const std::string& path, const RunDocument& document) {
    return WriteFileAtomically(path, RunDocumentText(document));
}

}  // namespace corvane
