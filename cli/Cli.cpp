#include "cli/Cli.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <ostream>
#include <variant>

#include "logic/io/FileIo.h"
#include "logic/model/PanelFile.h"
#include "logic/model/PanelModel.h"
#include "logic/model/PanelReport.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

constexpr const char* kUsage =
    "usage: corvane-cli [--json] FILE...\n"
    "       corvane-cli --sweep NAME=FROM:TO:STEPS FILE\n"
    "       corvane-cli --sheet OUT.pdf FILE\n"
    "       corvane-cli data list|add|remove ...   (corvane-cli data --help)\n";

std::string Lf(std::string s) {
    for (char& c : s)
        if (c == '\r') c = '\n';
    return s;
}

// The controls a result lists: every entry and result field, the fittings
// caption, the density display, the gas note and the flow weight.
std::vector<std::pair<std::string, std::string>> FieldsOf(const PanelModel& panel) {
    static constexpr Ctl kListed[] = {
        Ctl::IRmm_RightEdit, Ctl::IDmm_RightEdit, Ctl::LengthM_RightEdit, Ctl::ElevationChange_RightEdit,
        Ctl::Barg_RightEdit, Ctl::FlowrateLMin_RightEdit, Ctl::VisibleFlowrateLMin_RightEdit,
        Ctl::AvailablePressure_RightEdit, Ctl::AllowablePressureLoss_RightEdit, Ctl::FluidName_Edit,
        Ctl::FluidViscosityRightEdit, Ctl::FluidRelativeDensityRightEdit, Ctl::RightEditVisibleFluidDensityDisplay,
        Ctl::FlowType_RightEdit, Ctl::ReynoldsNumber_RightEdit, Ctl::FrictionFactor_RightEdit, Ctl::MSec_RightEdit,
        Ctl::mHd_RightEdit, Ctl::PipeDiameter_RightEdit, Ctl::PipeLength_RightEdit, Ctl::FittingsBitBtn,
        Ctl::ActualFlowValueLabel, Ctl::ExitFlowValueLabel, Ctl::ExitFlowBarLabel, Ctl::FlowWeightPanel};
    std::vector<std::pair<std::string, std::string>> fields;
    for (Ctl c : kListed)
        if (PanelHas(panel.kind(), c)) fields.emplace_back(CtlName(c, panel.kind()), panel.text(c));
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

// The isothermal answer for the panel's unknown and the difference, as
// numbers; null with the fault's name where the equation gives none.
nlohmann::ordered_json IsothermalJson(const IsothermalComparison& c) {
    nlohmann::ordered_json o;
    if (c.fault) {
        o[c.jsonKey] = nullptr;
        o["difference_percent"] = nullptr;
        o["fault"] = FaultName(*c.fault);
    } else {
        o[c.jsonKey] = c.isothermalValue;
        o["difference_percent"] = c.differencePercent;
    }
    return o;
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

BatchResult RunPanelFileBytes(const std::string& file, std::string_view bytes, const Locale& locale) {
    BatchResult r;
    r.file = file;
    PanelFileReader reader(bytes);
    const auto kind = PanelKindOfHeader(reader.next());
    if (!kind || bytes.size() > kMaxPanelFileBytes) {
        r.message = kNotValidFileText;
        return r;
    }
    r.panel = kind;
    PanelModel panel(*kind, locale);
    if (auto error = LoadPanelFile(panel, bytes)) {
        r.message = Lf(error->text);
    } else if (auto refusal = panel.calculate()) {
        r.status = ExitStatus::Refused;
        r.message = Lf(refusal->text);
    } else {
        r.status = ExitStatus::Ok;
    }
    r.fields = FieldsOf(panel);
    r.report = Lf(PanelReport(panel));
    if (r.status == ExitStatus::Ok) r.isothermal = CompareIsothermal(panel);
    return r;
}

BatchResult RunPanelFile(const std::string& path, const Locale& locale) {
    const PanelFileBytes file = ReadPanelFile(path);
    if (!file.bytes) {
        BatchResult r;
        r.file = path;
        r.message = file.message;
        return r;
    }
    return RunPanelFileBytes(path, *file.bytes, locale);
}

namespace {

// One result as an element of the JSON array: indented as the array's
// dump indents it.
std::string JsonElement(const BatchResult& r) {
    nlohmann::ordered_json o;
    o["file"] = r.file;
    o["panel"] = r.panel ? nlohmann::ordered_json(PanelDigit(*r.panel)) : nlohmann::ordered_json(nullptr);
    o["status"] = StatusName(r.status);
    o["message"] = r.message;
    nlohmann::ordered_json fields = nlohmann::ordered_json::object();
    for (const auto& [name, text] : r.fields) fields[name] = text;
    o["fields"] = fields;
    o["report"] = r.report;
    if (r.isothermal) o["isothermal"] = IsothermalJson(*r.isothermal);
    const std::string one = nlohmann::ordered_json::array({o}).dump(2, ' ', false,
                                                                       nlohmann::ordered_json::error_handler_t::replace);
    // "[\n" + element + "\n]"
    return one.substr(2, one.size() - 4);
}

}  // namespace

std::string ResultsToJson(const std::vector<BatchResult>& results) {
    if (results.empty()) return "[]\n";
    std::string text = "[\n";
    for (std::size_t i = 0; i < results.size(); ++i) text += (i ? ",\n" : "") + JsonElement(results[i]);
    return text + "\n]\n";
}

void ResultPrinter::print(const BatchResult& r) {
    if (json_) {
        out_ << (first_ ? "[\n" : ",\n") << JsonElement(r);
        first_ = false;
    } else {
        if (r.status != ExitStatus::Ok) err_ << r.file << ": " << r.message << "\n";
        if (r.status != ExitStatus::Invalid) {
            if (!first_) out_ << "\n";
            first_ = false;
            out_ << r.report << "\n";
        }
    }
    out_.flush();
    err_.flush();
}

void ResultPrinter::finish() {
    if (json_) out_ << (first_ ? "[]\n" : "\n]\n");
    out_.flush();
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
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
    PanelFileReader reader(*read.bytes);
    const auto kind = PanelKindOfHeader(reader.next());
    if (!kind || read.bytes->size() > kMaxPanelFileBytes) {
        err << file << ": " << kNotValidFileText << "\n";
        return nullptr;
    }
    auto panel = std::make_unique<PanelModel>(*kind, locale);
    if (auto error = LoadPanelFile(*panel, *read.bytes)) {
        err << file << ": " << Lf(error->text) << "\n";
        return nullptr;
    }
    return panel;
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

ExitStatus RunSheet(const std::string& outPath, const std::string& file, std::ostream& err, const Locale& locale,
                    const SheetDrawer& drawer, const std::string& date) {
    if (!drawer) {
        err << "corvane-cli: --sheet needs the program built with its views (Qt)\n";
        return ExitStatus::Invalid;
    }
    const auto loaded = LoadForCommand(file, err, locale);
    if (!loaded) return ExitStatus::Invalid;
    PanelModel& panel = *loaded;
    if (auto refusal = panel.calculate()) {
        err << file << ": " << Lf(refusal->text) << "\n";
        return ExitStatus::Refused;
    }
    const auto pdf = drawer(MakeCalculationSheet(panel, std::filesystem::path(file).filename().string(), date));
    if (!pdf) {
        err << outPath << ": the calculation sheet could not be drawn\n";
        return ExitStatus::Invalid;
    }
    if (const auto failure = WriteFileAtomically(outPath, *pdf)) {
        err << outPath << ": " << Lf(FileErrorText(*failure)) << "\n";
        return ExitStatus::Invalid;
    }
    return ExitStatus::Ok;
}

ExitStatus RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Locale& locale,
                  const DataCommandPlace& place, const SheetDrawer& drawer) {
    if (!args.empty() && args[0] == "data")
        return RunDataCommand(std::vector<std::string>(args.begin() + 1, args.end()), out, err, locale, place);
    if (!args.empty() && args[0] == "--sheet") {
        if (args.size() != 3) {
            err << kUsage;
            return ExitStatus::Invalid;
        }
        return RunSheet(args[1], args[2], err, locale, drawer, TodaysDate());
    }
    if (!args.empty() && args[0] == "--sweep") {
        if (args.size() != 3) {
            err << kUsage;
            return ExitStatus::Invalid;
        }
        return RunSweep(args[1], args[2], out, err, locale);
    }
    bool json = false;
    std::vector<std::string> files;
    bool options = true;
    for (const std::string& a : args) {
        if (options && a == "--json") {
            json = true;
        } else if (options && (a == "--help" || a == "-h")) {
            out << kUsage;
            return ExitStatus::Ok;
        } else if (options && a == "--") {
            options = false;
        } else if (options && a.size() > 1 && a[0] == '-') {
            err << "corvane-cli: unknown option " << a << "\n" << kUsage;
            return ExitStatus::Invalid;
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) {
        err << kUsage;
        return ExitStatus::Invalid;
    }

    ResultPrinter printer(json, out, err);
    ExitStatus status = ExitStatus::Ok;
    for (const std::string& f : files) {
        const BatchResult r = RunPanelFile(f, locale);
        status = std::max(status, r.status);
        printer.print(r);
    }
    printer.finish();
    return status;
}

}  // namespace corvane
