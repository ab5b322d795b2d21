#include "cli/Cli.h"
#include "cli/RunCommand.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <filesystem>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <thread>
#include <variant>

#include "cli/FluidCommand.h"
#include "cli/ValveCommand.h"
#include "logic/io/FileIo.h"
#include "logic/io/FileLock.h"
#include "logic/model/panels/PanelFile.h"
#include "logic/model/panels/PanelKinds.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/model/panels/PanelReport.h"
#include "logic/text/Cp1252.h"
#include "logic/text/LocaleNames.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

constexpr const char* kUsage =
    "usage: corvane-cli [--json] FILE...\n"
    "       corvane-cli [--json] --pump Q1:H1[,Q2:H2...] [--speed S] [--efficiency E] FILE...\n"
    "       corvane-cli --sweep NAME=FROM:TO:STEPS FILE\n"
    "       corvane-cli --sheet OUT.pdf [--title T] [--case C] [--prepared-by N] [--checked-by N]\n"
    "                   [--revision R] [--pump Q1:H1[,Q2:H2...] [--speed S] [--efficiency E]] FILE\n"
    "       corvane-cli run [--json] [--data-dir DIR] FILE.cvrun...   (pipe runs)\n"
    "       corvane-cli data list|add|remove ...   (corvane-cli data --help)\n"
    "       corvane-cli fluid water|interpolate ...  (corvane-cli fluid --help)\n"
    "       corvane-cli valve size|flow|dp --liquid|--gas ...  (corvane-cli valve --help)\n"
    "  -j N  calculate N files at once (default: one per core); the results\n"
    "        are printed in the order of the files\n";

// The controls a result lists with their names (every entry and result
// field, the fittings caption, the density display, the gas note and the
// flow weight), named once per kind of panel.
const std::vector<std::pair<Ctl, std::string>>& NamedFields(PanelKind kind) {
    static const auto kNamed = [] {
        std::array<std::vector<std::pair<Ctl, std::string>>, 4> named;
        for (PanelKind k : {PanelKind::PressureDrop, PanelKind::Flow, PanelKind::Diameter, PanelKind::Length})
            for (Ctl c : ListedControls(k)) named[static_cast<std::size_t>(PanelDigit(k) - 1)].emplace_back(c, CtlName(c, k));
        return named;
    }();
    return kNamed[static_cast<std::size_t>(PanelDigit(kind) - 1)];
}

std::vector<std::pair<std::string, std::string>> FieldsOf(const PanelModel& panel) {
    const auto& named = NamedFields(panel.kind());
    std::vector<std::pair<std::string, std::string>> fields;
    fields.reserve(named.size());
    for (const auto& [c, name] : named) fields.emplace_back(name, panel.text(c));
    return fields;
}

const char* FaultName(IsothermalFault f) {
    switch (f) {
        case IsothermalFault::Choked: return "choked";
        case IsothermalFault::NoLength: return "no_length";
        case IsothermalFault::NotAGas:
        case IsothermalFault::NoAnswer: break;
    }
    return "no_answer";
}


const char* StatusName(ExitStatus s) {
    switch (s) {
        case ExitStatus::Ok: return "ok";
        case ExitStatus::Refused: return "refused";
        case ExitStatus::Invalid: return "invalid";
    }
    return "invalid";
}

}  // namespace

// The isothermal answer for the panel's unknown and the difference, as
// numbers; null with the fault's name where the equation gives none.
std::string IsothermalJson(const IsothermalComparison& c) {
    nlohmann::ordered_json o;
    if (c.fault) {
        o[c.jsonKey] = nullptr;
        o["difference_percent"] = nullptr;
        o["fault"] = FaultName(*c.fault);
    } else {
        o[c.jsonKey] = c.isothermalValue;
        o["difference_percent"] = c.differencePercent;
    }
    return o.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string PumpJson(const PumpOutcome& pump) {
    nlohmann::ordered_json p;
    if (pump.refusal) {
        p["status"] = "refused";
        p["message"] = *pump.refusal;
    } else {
        const PumpOnPanel& at = pump.point;
        p["status"] = "ok";
        p["flow"] = at.flow;
        p["head"] = at.head;
        p["velocity"] = at.velocity;
        p["reynolds"] = at.reynolds;
        p["flow_type"] = at.flowType;
        p["fluid_power_w"] = at.fluidPowerW;
        p["shaft_power_w"] = at.shaftPowerW ? nlohmann::ordered_json(*at.shaftPowerW) : nlohmann::ordered_json(nullptr);
    }
    return p.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

namespace {

// Appends `text` as a JSON string, as the JSON library dumps it (UTF-8
// kept, control characters escaped).  Text that is not well-formed UTF-8 is
// left to the library, which replaces what it cannot read.
// Whether any of the eight bytes at `p` is a control byte, '"' or '\\'
// (bytes from 0x80 up, in UTF-8 sequences, are written as they are).
bool AnyEscaped(const char* p) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    auto hasZero = [&](std::uint64_t v) { return ((v - kOnes) & ~v & kHigh) != 0; };
    const bool control = ((w - kOnes * 0x20) & ~w & kHigh) != 0;  // a byte below 0x20
    return control || hasZero(w ^ (kOnes * '"')) || hasZero(w ^ (kOnes * '\\'));
}

// With `crAsLf`, each CR is written as the LF that WithLineFeeds() makes of it.
void AppendJsonString(std::string& out, std::string_view text, bool crAsLf = false) {
    if (!IsWellFormedUtf8(text)) {
        const std::string copy = crAsLf ? WithLineFeeds(std::string(text)) : std::string(text);
        out += nlohmann::ordered_json(copy).dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
        return;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    static constexpr auto kEscaped = [] {
        std::array<bool, 256> escaped{};
        for (int c = 0; c < 0x20; ++c) escaped[static_cast<std::size_t>(c)] = true;
        escaped['"'] = escaped['\\'] = true;
        return escaped;
    }();
    out.reserve(out.size() + text.size() + 2);
    out += '"';
    std::size_t plain = 0;  // start of the run of bytes copied as they are
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Eight bytes at a time while none needs escaping.
        while (i + 8 <= text.size() && !AnyEscaped(text.data() + i)) i += 8;
        if (i == text.size()) break;
        const auto c = static_cast<unsigned char>(text[i]);
        if (!kEscaped[c]) continue;
        out.append(text, plain, i - plain);
        plain = i + 1;
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += crAsLf ? "\\n" : "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 0xF];
        }
    }
    out.append(text, plain, text.size() - plain);
    out += '"';
}

// One result as an element of the JSON array, indented as a two-space dump
// of the array indents it.  Written directly: building the library's
// document for every file cost more than the file's calculation.  With
// `panel`, the fields are the panel's and the report is `crReport` (line
// breaks as CR, written as WithLineFeeds() makes them), not copied into `r`
// first.
std::string JsonElement(const BatchResult& r, const PanelModel* panel = nullptr, std::string_view crReport = {}) {
    std::string o;
    o.reserve(2048);
    o += "  {\n    \"file\": ";
    AppendJsonString(o, r.file);
    o += ",\n    \"panel\": ";
    o += r.panel ? std::to_string(PanelDigit(*r.panel)) : "null";
    o += ",\n    \"status\": \"";
    o += StatusName(r.status);
    o += "\",\n    \"message\": ";
    AppendJsonString(o, r.message);
    o += ",\n    \"fields\": {";
    std::size_t fields = 0;
    auto field = [&](std::string_view name, std::string_view text) {
        o += fields++ ? ",\n      " : "\n      ";
        AppendJsonString(o, name);
        o += ": ";
        AppendJsonString(o, text);
    };
    if (panel) {
        for (const auto& [c, name] : NamedFields(panel->kind())) field(name, panel->text(c));
    } else {
        for (const auto& [name, text] : r.fields) field(name, text);
    }
    o += fields == 0 ? "}" : "\n    }";
    o += ",\n    \"report\": ";
    if (panel) AppendJsonString(o, crReport, true);
    else AppendJsonString(o, r.report);
    if (r.isothermal) {
        o += ",\n    \"isothermal\": ";
        for (char c : IsothermalJson(*r.isothermal)) {
            o += c;
            if (c == '\n') o += "    ";
        }
    }
    if (r.pump) {
        // Indented to its place in the element.
        o += ",\n    \"pump\": ";
        for (char c : PumpJson(*r.pump)) {
            o += c;
            if (c == '\n') o += "    ";
        }
    }
    o += "\n  }";
    return o;
}

}  // namespace

BatchResult RunPanelFileBytes(const std::string& file, std::string_view bytes, const Locale& locale,
                              const PumpEntry* pump, ResultForm form) {
    BatchResult r;
    r.file = file;
    LoadedPanel loaded = LoadPanelFileBytes(bytes, locale);
    if (!loaded.panel) {
        r.message = kNotValidFileText;
        if (form == ResultForm::Json) r.json = JsonElement(r);
        return r;
    }
    PanelModel& panel = *loaded.panel;
    r.panel = panel.kind();
    // A file holds what no one could type: asked as the panel's own checks.
    panel.setEntryCheck(UnusableFileEntry);
    if (loaded.error) {
        r.message = WithLineFeeds(loaded.error->text);
    } else if (auto refusal = panel.calculate()) {
        r.status = ExitStatus::Refused;
        r.message = WithLineFeeds(refusal->text);
    } else {
        r.status = ExitStatus::Ok;
    }
    if (r.status == ExitStatus::Ok) r.isothermal = CompareIsothermal(panel);
    if (pump && r.status != ExitStatus::Invalid) {
        PumpOutcome p;
        if (auto unusable = UnusableFileEntry(panel)) p.point.refusal = unusable;
        else p.point = SolvePumpOnPanel(panel, *pump);
        if (p.point.refusal) {
            p.refusal = WithLineFeeds(p.point.refusal->text);
        } else {
            p.rows = PumpResultRows(panel, p.point);
        }
        r.pump = std::move(p);
    }
    if (form == ResultForm::Json) {
        r.json = JsonElement(r, &panel, PanelReport(panel));
    } else {
        r.fields = FieldsOf(panel);
        r.report = WithLineFeeds(PanelReport(panel));
    }
    return r;
}

BatchResult RunPanelFile(const std::string& path, const Locale& locale, const PumpEntry* pump, ResultForm form) {
    const PanelFileBytes file = ReadPanelFile(path);
    if (!file.bytes) {
        BatchResult r;
        r.file = path;
        r.message = file.message;
        if (form == ResultForm::Json) r.json = JsonElement(r);
        return r;
    }
    return RunPanelFileBytes(path, *file.bytes, locale, pump, form);
}

int DefaultJobs() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(std::min<unsigned>(cores, kMaxJobs));
}

namespace {

// The files' names, where they are: the batch tool points into its
// arguments rather than copying a long list of names.
using FileNames = std::vector<const std::string*>;

void RunInOrder(const FileNames& files, int jobs, const Locale& locale, const PumpEntry* pump,
                const std::function<void(const BatchResult&)>& done, ResultForm form) {
    const std::size_t count = files.size();
    const std::size_t threads = std::min<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), count);
    if (threads <= 1) {
        for (const std::string* f : files) done(RunPanelFile(*f, locale, pump, form));
        return;
    }
    // A ring of results in flight: file i goes to slot i % window.  A file
    // is taken only while it lies within the window that starts at the next
    // file to print, so memory holds at most `window` results (the one being
    // printed included) however long the list is.  The calling thread is
    // one of the `threads`: it prints, and calculates while the next result
    // to print is not ready.
    const std::size_t window = threads * kFilesInFlightPerJob;
    std::vector<std::optional<BatchResult>> slots(window);
    std::mutex mutex;
    std::condition_variable resultReady;  // a slot was filled
    std::condition_variable slotFree;     // the next file to print advanced
    std::size_t nextToTake = 0;
    std::size_t nextToPrint = 0;

    auto mayTake = [&] { return nextToTake < count && nextToTake < nextToPrint + window; };
    // Calculates file i (taken under the lock) with the lock released.
    auto calculate = [&](std::unique_lock<std::mutex>& lock, std::size_t i) {
        lock.unlock();
        BatchResult r = RunPanelFile(*files[i], locale, pump, form);
        lock.lock();
        slots[i % window] = std::move(r);
    };
    auto work = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            slotFree.wait(lock, [&] { return nextToTake >= count || mayTake(); });
            if (nextToTake >= count) return;
            calculate(lock, nextToTake++);
            resultReady.notify_one();
        }
    };
    std::vector<std::jthread> workers;
    workers.reserve(threads - 1);
    for (std::size_t t = 1; t < threads; ++t) workers.emplace_back(work);

    for (std::size_t i = 0; i < count; ++i) {
        std::optional<BatchResult>& slot = slots[i % window];
        {
            std::unique_lock lock(mutex);
            while (!slot.has_value()) {
                if (mayTake()) calculate(lock, nextToTake++);
                else resultReady.wait(lock);
            }
        }
        // No other thread touches this slot until nextToPrint passes it.
        done(*slot);
        {
            std::lock_guard lock(mutex);
            slot.reset();
            nextToPrint = i + 1;
        }
        slotFree.notify_all();
    }
}

}  // namespace

void RunPanelFilesInOrder(const std::vector<std::string>& files, int jobs, const Locale& locale,
                          const PumpEntry* pump, const std::function<void(const BatchResult&)>& done,
                          ResultForm form) {
    FileNames names;
    names.reserve(files.size());
    for (const std::string& f : files) names.push_back(&f);
    RunInOrder(names, jobs, locale, pump, done, form);
}


std::string ResultsToJson(const std::vector<BatchResult>& results) {
    if (results.empty()) return "[]\n";
    std::string text = "[\n";
    for (std::size_t i = 0; i < results.size(); ++i) text += (i ? ",\n" : "") + JsonElement(results[i]);
    return text + "\n]\n";
}

void ResultPrinter::print(const BatchResult& r) {
    if (json_) {
        out_ << (first_ ? "[\n" : ",\n");
        if (!r.json.empty()) out_ << r.json;
        else out_ << JsonElement(r);
        first_ = false;
    } else {
        if (!r.message.empty()) err_ << r.file << ": " << r.message << "\n";
        if (r.pump && r.pump->refusal) err_ << r.file << ": pump: " << *r.pump->refusal << "\n";
        if (r.status != ExitStatus::Invalid) {
            if (!first_) out_ << "\n";
            first_ = false;
            out_ << r.report << "\n";
            if (r.pump && !r.pump->refusal) {
                out_ << "Pump operating point\n";
                for (const PumpRow& row : r.pump->rows)
                    out_ << row.caption << "\t" << row.value << (row.unit.empty() ? "" : "\t" + row.unit) << "\n";
            }
        }
    }
    out_.flush();
    err_.flush();
}

void ResultPrinter::finish() {
    if (json_) out_ << (first_ ? "[]\n" : "\n]\n");
    out_.flush();
}

std::variant<Sweep, std::string> ParseSweep(const std::string& argument) {
    const auto eq = argument.find('=');
    const auto c1 = argument.find(':', eq == std::string::npos ? 0 : eq);
    const auto c2 = c1 == std::string::npos ? std::string::npos : argument.find(':', c1 + 1);
    if (eq == std::string::npos || c1 == std::string::npos || c2 == std::string::npos)
        return "a sweep is NAME=FROM:TO:STEPS, not " + argument;
    const std::string fromText = argument.substr(eq + 1, c1 - eq - 1);
    const std::string toText = argument.substr(c1 + 1, c2 - c1 - 1);
    const auto steps = ReadInteger(argument.substr(c2 + 1));
    if (!IsEntryNumber(fromText, DotLocale()) || !IsEntryNumber(toText, DotLocale()) || !steps || *steps < 1 ||
        *steps > kMaxSweepSteps)
        return "a sweep is NAME=FROM:TO:STEPS with two numbers and 1 to 100000 steps, not " + argument;
    return Sweep{argument.substr(0, eq), ReadEntryNumber(fromText, DotLocale()), ReadEntryNumber(toText, DotLocale()),
                 *steps};
}

namespace {

// A panel file read and loaded into a fresh panel as the panel's open
// command loads it; nothing, with the reason on `err`, where it cannot be.
std::unique_ptr<PanelModel> LoadForCommand(const std::string& file, std::ostream& err, const Locale& locale) {
    const PanelFileBytes read = ReadPanelFile(file);
    if (!read.bytes) {
        err << file << ": " << read.message << "\n";
        return nullptr;
    }
    LoadedPanel loaded = LoadPanelFileBytes(*read.bytes, locale);
    if (!loaded.panel) {
        err << file << ": " << kNotValidFileText << "\n";
        return nullptr;
    }
    if (loaded.error) {
        err << file << ": " << WithLineFeeds(loaded.error->text) << "\n";
        return nullptr;
    }
    // A file holds what no one could type: asked as the panel's own checks.
    loaded.panel->setEntryCheck(UnusableFileEntry);
    return std::move(loaded.panel);
}

// The sweep's steps on a loaded panel: the CSV header, then per step the
// value written into the entry, the result fields and the refusal.
ExitStatus SweepPanel(PanelModel& panel, Ctl entry, const Sweep& sweep, std::ostream& out, const Locale& locale) {
    const PanelKind kind = panel.kind();
    std::vector<Ctl> results;
    for (int i = 0; i < kCtlCount; ++i)
        if (IsResult(kind, static_cast<Ctl>(i))) results.push_back(static_cast<Ctl>(i));
    if (panel.gasMode())
        for (Ctl c : {Ctl::ActualFlowValueLabel, Ctl::ExitFlowValueLabel, Ctl::ExitFlowBarLabel}) results.push_back(c);
    out << CsvField(sweep.entry);
    for (Ctl c : results) out << "," << CsvField(CtlName(c, kind));
    out << ",message\n";

    ExitStatus status = ExitStatus::Ok;
    for (int i = 0; i < sweep.steps; ++i) {
        const std::string text = WriteEntryNumber(sweep.valueAt(i), 6, locale).value_or("");
        panel.editEntry(entry, text);
        const auto refusal = panel.calculate();
        if (refusal) status = ExitStatus::Refused;
        out << CsvField(text);
        for (Ctl c : results) out << "," << CsvField(panel.text(c));
        std::string message = refusal ? refusal->text : "";
        for (char& ch : message)
            if (ch == '\r') ch = ' ';
        out << "," << CsvField(message) << "\n";
    }
    return status;
}

}  // namespace

ExitStatus RunSweep(const std::string& argument, const std::string& file, std::ostream& out, std::ostream& err,
                    const Locale& locale) {
    const auto parsed = ParseSweep(argument);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        err << "corvane-cli: " << *problem << "\n";
        return ExitStatus::Invalid;
    }
    const Sweep& sweep = std::get<Sweep>(parsed);
    const auto loaded = LoadForCommand(file, err, locale);
    if (!loaded) return ExitStatus::Invalid;
    PanelModel& panel = *loaded;
    const auto kind = std::optional<PanelKind>(panel.kind());
    std::optional<Ctl> entry;
    for (int i = 0; i < kCtlCount; ++i) {
        const Ctl c = static_cast<Ctl>(i);
        if (IsUserEntry(*kind, c) && CtlName(c, *kind) == sweep.entry) entry = c;
    }
    if (!entry) {
        err << "corvane-cli: " << sweep.entry << " is not an entry of panel " << PanelDigit(*kind) << "\n";
        return ExitStatus::Invalid;
    }
    return SweepPanel(panel, *entry, sweep, out, locale);
}

std::variant<SheetOptions, std::string> ParseSheetOptions(const std::vector<std::string>& args) {
    SheetOptions o;
    std::optional<double> speed, efficiency;
    const std::pair<const char*, std::string*> texts[] = {{"--title", &o.title.project},
                                                          {"--case", &o.title.caseName},
                                                          {"--prepared-by", &o.title.preparedBy},
                                                          {"--checked-by", &o.title.checkedBy},
                                                          {"--revision", &o.title.revision}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool last = i + 1 == args.size();
        auto text = std::find_if(std::begin(texts), std::end(texts), [&](const auto& t) { return a == t.first; });
        if (text != std::end(texts)) {
            // The title block holds lines of text.
            if (last || args[i + 1].find_first_of("\r\n") != std::string::npos)
                return a + " needs a text of one line";
            *text->second = args[++i];
        } else if (a == "--pump") {
            const auto points = last ? std::nullopt : ParsePumpPoints(args[i + 1]);
            if (!points) return "--pump needs the pump's points as Q1:H1[,Q2:H2...] with decimal points";
            o.pump = PumpEntry{*points, 1.0, std::nullopt};
            ++i;
        } else if (a == "--speed" || a == "--efficiency") {
            if (last || !IsEntryNumber(args[i + 1], DotLocale())) return a + " needs a number with a decimal point";
            (a == "--speed" ? speed : efficiency) = ReadEntryNumber(args[++i], DotLocale());
        } else if (last && !(a.size() > 1 && a[0] == '-')) {
            o.file = a;
        } else {
            return a.size() > 1 && a[0] == '-' ? "unknown option " + a : "--sheet takes one FILE, last";
        }
    }
    if (o.file.empty()) return "--sheet needs OUT.pdf and a FILE";
    if ((speed || efficiency) && !o.pump) return "--speed and --efficiency go with --pump";
    if (o.pump) {
        o.pump->speedRatio = speed.value_or(1.0);
        o.pump->efficiencyPercent = efficiency;
    }
    return o;
}

ExitStatus RunSheet(const std::string& outPath, const std::string& file, std::ostream& err, const Locale& locale,
                    const SheetDrawer& drawer, const std::string& date, const SheetTitle& title,
                    const std::optional<PumpEntry>& pump, const std::vector<GuardedFile>& dataBases) {
    // The sheet never takes the place of the case it shows, nor of a data
    // base.
    std::vector<GuardedFile> guarded{{file, "the panel file"}};
    guarded.insert(guarded.end(), dataBases.begin(), dataBases.end());
    if (auto refusal = SheetOverwrites(outPath, guarded)) {
        err << "corvane-cli: " << *refusal << "\n";
        return ExitStatus::Invalid;
    }
    if (!drawer) {
        err << "corvane-cli: --sheet needs " << kSheetProgram
            << " beside corvane-cli (the program built with its views, Qt), and it could not be started\n";
        return ExitStatus::Invalid;
    }
    const auto loaded = LoadForCommand(file, err, locale);
    if (!loaded) return ExitStatus::Invalid;
    PanelModel& panel = *loaded;
    if (auto refusal = panel.calculate()) {
        err << file << ": " << WithLineFeeds(refusal->text) << "\n";
        return ExitStatus::Refused;
    }
    const auto pdf = drawer(MakeCalculationSheet(panel, std::filesystem::path(file).filename().string(), date, pump, title));
    if (!pdf) {
        err << outPath << ": the calculation sheet could not be drawn\n";
        return ExitStatus::Invalid;
    }
    if (const auto failure = WriteFileAtomically(outPath, *pdf)) {
        err << outPath << ": " << WithLineFeeds(FileErrorText(*failure)) << "\n";
        return ExitStatus::Invalid;
    }
    return ExitStatus::Ok;
}

int CliMain(int argc, char** argv, const SheetDrawer& drawer) {
    IgnoreFileSizeSignal();
    ReleaseLocksOnSignals();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const Locale locale = LocaleFromEnvironment([](const char* name) { return std::getenv(name); });
    // The data commands find the stock files beside the program, as the
    // window does.
    DataCommandPlace place;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    place.programFolder = error ? std::string(".") : self.parent_path().string();
    place.environment = [](const char* name) -> const char* { return std::getenv(name); };
    return static_cast<int>(RunCli(args, std::cout, std::cerr, locale, place, drawer));
}

ExitStatus RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Locale& locale,
                  const DataCommandPlace& place, const SheetDrawer& drawer) {
    if (!args.empty() && args[0] == "data")
        return RunDataCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err, locale, place);
    if (!args.empty() && args[0] == "fluid")
        return RunFluidCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err, locale, place);
    if (!args.empty() && args[0] == "valve") {
        const ValveSheetPlace sheet{drawer, TodaysDate(), DataBaseFilesAt(std::nullopt, place)};
        return RunValveCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err, locale, sheet);
    }
    if (!args.empty() && args[0] == "run")
        return RunRunCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err, locale, place, drawer);
    if (!args.empty() && args[0] == "--sheet") {
        const auto options = ParseSheetOptions(std::vector<std::string>(args.begin() + std::min<std::size_t>(2, args.size()), args.end()));
        if (args.size() < 3 || std::holds_alternative<std::string>(options)) {
            if (args.size() >= 3) err << "corvane-cli: " << std::get<std::string>(options) << "\n";
            err << kUsage;
            return ExitStatus::Invalid;
        }
        const SheetOptions& o = std::get<SheetOptions>(options);
        if (args[1].empty()) {
            err << "corvane-cli: --sheet needs the name of the file to write the sheet to\n" << kUsage;
            return ExitStatus::Invalid;
        }
        return RunSheet(args[1], o.file, err, locale, drawer, TodaysDate(), o.title, o.pump,
                        DataBaseFilesAt(std::nullopt, place));
    }
    if (!args.empty() && args[0] == "--sweep") {
        if (args.size() != 3) {
            err << kUsage;
            return ExitStatus::Invalid;
        }
        return RunSweep(args[1], args[2], out, err, locale);
    }
    bool json = false;
    int jobs = DefaultJobs();
    FileNames files;
    bool options = true;
    std::optional<PumpEntry> pump;
    std::optional<double> speed, efficiency;
    // The number after an option, with a decimal point.
    auto numberAfter = [&](std::size_t& i, std::optional<double>& into) {
        if (i + 1 >= args.size() || !IsEntryNumber(args[i + 1], DotLocale())) return false;
        into = ReadEntryNumber(args[++i], DotLocale());
        return true;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options && a == "--json") {
            json = true;
        } else if (options && a == "--pump") {
            const auto points = i + 1 < args.size() ? ParsePumpPoints(args[i + 1]) : std::nullopt;
            if (!points) {
                err << "corvane-cli: --pump needs the pump's points as Q1:H1[,Q2:H2...] with decimal points\n";
                return ExitStatus::Invalid;
            }
            ++i;
            pump = PumpEntry{*points, 1.0, std::nullopt};
        } else if (options && (a == "--speed" || a == "--efficiency")) {
            if (!numberAfter(i, a == "--speed" ? speed : efficiency)) {
                err << "corvane-cli: " << a << " needs a number with a decimal point\n";
                return ExitStatus::Invalid;
            }
        } else if (options && (a == "--help" || a == "-h")) {
            out << kUsage;
            return ExitStatus::Ok;
        } else if (options && (a == "-j" || (a.size() > 2 && a.compare(0, 2, "-j") == 0))) {
            const bool separate = a == "-j";
            if (separate && ++i == args.size()) {
                err << "corvane-cli: -j needs a number of threads\n" << kUsage;
                return ExitStatus::Invalid;
            }
            const std::string n = separate ? args[i] : a.substr(2);
            const auto parsed = ReadInteger(n);
            if (!parsed || *parsed < 1 || *parsed > kMaxJobs) {
                err << "corvane-cli: -j takes 1 to " << kMaxJobs << " threads, not " << n << "\n" << kUsage;
                return ExitStatus::Invalid;
            }
            jobs = *parsed;
        } else if (options && a == "--") {
            options = false;
        } else if (options && a.size() > 1 && a[0] == '-') {
            err << "corvane-cli: unknown option " << a << "\n" << kUsage;
            return ExitStatus::Invalid;
        } else {
            files.push_back(&a);
        }
    }
    if (files.empty()) {
        err << kUsage;
        return ExitStatus::Invalid;
    }
    if ((speed || efficiency) && !pump) {
        err << "corvane-cli: --speed and --efficiency go with --pump\n";
        return ExitStatus::Invalid;
    }
    if (pump) {
        pump->speedRatio = speed.value_or(1.0);
        pump->efficiencyPercent = efficiency;
    }

    ResultPrinter printer(json, out, err);
    ExitStatus status = ExitStatus::Ok;
    RunInOrder(
        files, jobs, locale, pump ? &*pump : nullptr,
        [&](const BatchResult& r) {
            status = std::max(status, r.status);
            if (r.pump && r.pump->refusal) status = std::max(status, ExitStatus::Refused);
            printer.print(r);
        },
        json ? ResultForm::Json : ResultForm::Parts);
    printer.finish();
    return status;
}

}  // namespace corvane
