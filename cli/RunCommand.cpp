#include "cli/RunCommand.h"

#include "cli/JsonText.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>
#include <variant>

#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/model/data/PipeDatabaseModel.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/model/sheets/RunSheet.h"

namespace corvane {
namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kRunUsage =
    "usage: corvane-cli run [--json] [--data-dir DIR] FILE...\n"
    "       corvane-cli run --sheet OUT.pdf [--title T] [--case C] [--prepared-by N] [--checked-by N]\n"
    "                       [--revision R] [--data-dir DIR] FILE\n";

ExitStatus StatusOf(RunStatus s) {
    switch (s) {
        case RunStatus::Ok: return ExitStatus::Ok;
        case RunStatus::Refused: return ExitStatus::Refused;
        case RunStatus::Invalid: break;
    }
    return ExitStatus::Invalid;
}

const char* StatusName(ExitStatus s) {
    switch (s) {
        case ExitStatus::Ok: return "ok";
        case ExitStatus::Refused: return "refused";
        case ExitStatus::Invalid: break;
    }
    return "invalid";
}

Json Optional(const std::optional<double>& v) { return v ? Json(*v) : Json(nullptr); }

Json PumpJson(const RunOutcome& o) {
    const PumpDuty& p = *o.result.pump;
    Json j;
    j["after_section"] = o.run.pump->afterSection;
    j["flow_lmin"] = p.flow;
    j["head_m"] = p.head;
    j["fluid_power_w"] = p.fluidPowerW;
    j["shaft_power_w"] = Optional(p.shaftPowerW);
    j["npsh_available_m"] = Optional(p.npshAvailable);
    j["npsh_required_m"] = Optional(p.npshRequired);
    j["npsh_margin_m"] = Optional(p.npshMargin);
    j["npsh_margin_ratio"] = Optional(p.npshRatio);
    return j;
}

// The results of a calculated run into `j`.
void PutResults(Json& j, const RunOutcome& o) {
    const RunResult& r = o.result;
    j["flow_lmin"] = r.flow;
    for (std::size_t i = 0; i < r.sections.size(); ++i) {
        const SectionFlow& s = r.sections[i];
        Json one;
        one["name"] = o.sectionNames[i];
        one["velocity_m_s"] = s.velocity;
        one["reynolds"] = s.reynolds;
        one["flow_type"] = FlowTypeName(s.reynolds);
        one["friction_factor"] = s.friction;
        one["head_loss_m"] = s.headLoss();
        one["friction_head_m"] = s.frictionHead;
        one["fittings_head_m"] = s.fittingsHead;
        one["fittings_k"] = s.fittingsK;
        j["sections"].push_back(one);
    }
    for (const TransitionLoss& t : r.transitions) {
        Json one;
        one["section"] = t.section;
        one["kind"] = TransitionName(t);
        one["k"] = t.k;
        one["velocity_m_s"] = t.velocity;
        one["head_loss_m"] = t.head;
        one["k_on_section"] = t.kOnSection;
        j["transitions"].push_back(one);
    }
    for (const RunNode& n : r.nodes) {
        Json one;
        one["name"] = RunNodeName(o, n);
        one["distance_m"] = n.distance;
        one["elevation_m"] = n.elevation;
        one["pressure_bar_g"] = n.pressure;
        one["hydraulic_head_m"] = n.hydraulicHead;
        one["energy_head_m"] = n.energyHead;
        j["nodes"].push_back(one);
    }
    j["entry_k"] = r.entryK;
    j["entry_head_m"] = r.entryHead;
    j["exit_k"] = r.exitK;
    j["exit_head_m"] = r.exitHead;
    j["total_head_loss_m"] = r.totalHeadLoss;
    j["sink_margin_m"] = r.sinkMargin;
    if (r.pump) j["pump"] = PumpJson(o);
    j["notes"] = o.notes;
}

}  // namespace

RunFileResult RunDocumentBytes(const std::string& file, std::string_view bytes, const RunDataBases& bases,
                               const Locale& locale) {
    RunFileResult r;
    r.file = file;
    auto parsed = ParseRunDocument(bytes);
    if (const auto* message = std::get_if<std::string>(&parsed)) {
        r.message = *message;
        return r;
    }
    r.outcome = CalculateRun(std::get<RunDocument>(parsed), bases, locale);
    r.status = StatusOf(r.outcome->status);
    r.message = r.outcome->message;
    return r;
}

RunFileResult RunDocumentFile(const std::string& path, const RunDataBases& bases, const Locale& locale) {
    const FileRead read = ReadWholeFile(path, kMaxRunFileBytes);
    if (!read.bytes) {
        RunFileResult r;
        r.file = path;
        r.message = read.error;
        return r;
    }
    return RunDocumentBytes(path, *read.bytes, bases, locale);
}

std::string RunResultJson(const RunFileResult& r) {
    Json j;
    j["file"] = r.file;
    j["status"] = StatusName(r.status);
    j["message"] = r.message;
    j["flow_lmin"] = nullptr;
    j["sections"] = Json::array();
    j["transitions"] = Json::array();
    j["nodes"] = Json::array();
    for (const char* key : {"entry_k", "entry_head_m", "exit_k", "exit_head_m", "total_head_loss_m", "sink_margin_m"})
        j[key] = nullptr;
    j["pump"] = nullptr;
    j["notes"] = Json::array();
    if (r.status == ExitStatus::Ok) PutResults(j, *r.outcome);
    return DumpShortest(j);
}

ExitStatus RunRunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                         const Locale& locale, const DataCommandPlace& place, const RunSheetDrawer& drawer,
                         const std::string& date) {
    bool json = false, options = true;
    std::optional<std::string> dataDir, sheet;
    SheetTitle title;
    const std::pair<const char*, std::string*> texts[] = {{"--title", &title.project},
                                                          {"--case", &title.caseName},
                                                          {"--prepared-by", &title.preparedBy},
                                                          {"--checked-by", &title.checkedBy},
                                                          {"--revision", &title.revision}};
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto text = std::find_if(std::begin(texts), std::end(texts), [&](const auto& t) { return a == t.first; });
        if (options && a == "--sheet" && i + 1 < args.size()) {
            sheet = args[++i];
        } else if (options && text != std::end(texts)) {
            // The title block holds lines of text.
            if (i + 1 == args.size() || args[i + 1].find_first_of("\r\n") != std::string::npos) {
                err << "corvane-cli: " << a << " needs a text of one line\n";
                return ExitStatus::Invalid;
            }
            *text->second = args[++i];
        } else if (options && a == "--json") {
            json = true;
        } else if (options && a == "--data-dir" && i + 1 < args.size()) {
            dataDir = args[++i];
        } else if (options && a.rfind("--data-dir=", 0) == 0) {
            dataDir = a.substr(11);
        } else if (options && (a == "--help" || a == "-h")) {
            out << kRunUsage;
            return ExitStatus::Ok;
        } else if (options && a == "--") {
            options = false;
        } else if (options && a.size() > 1 && a[0] == '-') {
            err << "corvane-cli: unknown option " << a << " for run\n" << kRunUsage;
            return ExitStatus::Invalid;
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) {
        err << kRunUsage;
        return ExitStatus::Invalid;
    }
    if (!sheet && (title != SheetTitle{})) {
        err << "corvane-cli: the title block goes with --sheet\n" << kRunUsage;
        return ExitStatus::Invalid;
    }
    if (sheet && (json || files.size() != 1)) {
        err << "corvane-cli: run --sheet takes one FILE" << (json ? ", without --json" : "") << "\n" << kRunUsage;
        return ExitStatus::Invalid;
    }
    if (sheet && sheet->empty()) {
        err << "corvane-cli: --sheet needs the name of the file to write the sheet to\n" << kRunUsage;
        return ExitStatus::Invalid;
    }
    // The sheet never takes the place of the run it shows, nor of a file of
    // the data bases that the run may read.
    if (sheet) {
        std::vector<GuardedFile> guarded{{files.front(), "the run file"}};
        for (GuardedFile& f : DataBaseFilesAt(dataDir, place)) guarded.push_back(std::move(f));
        if (auto refusal = SheetOverwrites(*sheet, guarded)) {
            err << "corvane-cli: " << *refusal << "\n";
            return ExitStatus::Invalid;
        }
    }
    if (sheet && !drawer) {
        err << "corvane-cli: --sheet needs corvane-sheet beside corvane-cli (the program built with its views, Qt), "
               "and it could not be started\n";
        return ExitStatus::Invalid;
    }
    if (dataDir)
        if (auto problem = CheckDataDir(*dataDir)) {
            err << "corvane-cli: " << *problem << "\n";
            return ExitStatus::Invalid;
        }

    // The data bases are read once, and only when a document names a row.
    DataTable fluids(kFluidSlots), pipes(kPipeSlots);
    std::optional<bool> fluidsRead, pipesRead;
    auto table = [&](DataTable& t, std::optional<bool>& read, bool fluid) -> const DataTable* {
        if (!read) {
            const DataFiles data = fluid ? DataFilesAt(dataDir, place, kFluidStockFile, kFluidUserFile, kFluidBackupFile)
                                         : DataFilesAt(dataDir, place, kPipeStockFile, kPipeUserFile, kPipeBackupFile);
            // As the dialogs load them: the stock fluids first, the user's pipes first.
            read = !data.fill(t, DotLocale(), fluid, !fluid);
        }
        return *read ? &t : nullptr;
    };
    RunDataBases bases;
    bases.fluids = [&] { return table(fluids, fluidsRead, true); };
    bases.pipes = [&] { return table(pipes, pipesRead, false); };

    if (sheet) {
        const std::string& file = files.front();
        const RunFileResult r = RunDocumentFile(file, bases, locale);
        if (r.status != ExitStatus::Ok) {
            err << file << ": " << r.message << "\n";
            return r.status;
        }
        // The document as read, for the sheet's entries.
        const FileRead read = ReadWholeFile(file, kMaxRunFileBytes);
        auto document = read.bytes ? ParseRunDocument(*read.bytes) : std::variant<RunDocument, std::string>(read.error);
        if (!std::holds_alternative<RunDocument>(document)) {
            err << file << ": " << (read.bytes ? std::get<std::string>(document) : read.error) << "\n";
            return ExitStatus::Invalid;
        }
        const auto pdf = drawer(MakeRunSheet(std::get<RunDocument>(document), *r.outcome,
                                             std::filesystem::path(file).filename().string(), date, title, locale));
        if (!pdf) {
            err << *sheet << ": the calculation sheet could not be drawn\n";
            return ExitStatus::Invalid;
        }
        if (const auto failure = WriteFileAtomically(*sheet, *pdf)) {
            err << *sheet << ": " << FileErrorText(*failure) << "\n";
            return ExitStatus::Invalid;
        }
        return ExitStatus::Ok;
    }

    ExitStatus worst = ExitStatus::Ok;
    bool first = true;
    for (const std::string& file : files) {
        const RunFileResult r = RunDocumentFile(file, bases, locale);
        worst = std::max(worst, r.status);
        if (json) {
            std::string element = RunResultJson(r);
            std::string indented = "  ";
            for (char c : element) {
                indented += c;
                if (c == '\n') indented += "  ";
            }
            out << (first ? "[\n" : ",\n") << indented;
        } else {
            if (!r.message.empty()) err << file << ": " << r.message << "\n";
            if (r.status == ExitStatus::Ok) out << (first ? "" : "\n") << file << "\n" << RunReport(*r.outcome, locale);
        }
        first = false;
        out.flush();
    }
    if (json) out << "\n]\n";
    return worst;
}

}  // namespace corvane
