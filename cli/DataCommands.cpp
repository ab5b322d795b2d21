#include "logic/model/pumps/PumpLibrary.h"
#include "logic/model/pumps/PumpModel.h"
#include "cli/DataCommands.h"

#include <cctype>
#include <cerrno>
#include <sys/stat.h>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "logic/engine/Units.h"
#include "logic/io/DataFiles.h"
#include "logic/io/DataTable.h"
#include "logic/io/FileIo.h"
#include "logic/model/pumps/DataBaseFiles.h"
#include "logic/model/data/DataEntryRules.h"
#include "logic/text/Cp1252.h"
#include "logic/text/NumberText.h"
#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/model/data/PipeDatabaseModel.h"

namespace corvane {
namespace {

constexpr const char* kDataUsage =
    "usage: corvane-cli data list fluids|pipes [--json] [--data-dir DIR]\n"
    "       corvane-cli data add fluid NAME TEMPERATURE VISCOSITY DENSITY [--gas] [--data-dir DIR]\n"
    "       corvane-cli data add pipe TYPE NOMINAL DIAMETER_MM [--data-dir DIR]\n"
    "       corvane-cli data remove fluid NAME TEMPERATURE [--data-dir DIR]\n"
    "       corvane-cli data remove pipe TYPE NOMINAL [--data-dir DIR]\n"
    "       corvane-cli data list pumps [--json] [--data-dir DIR]\n"
    "       corvane-cli data add pump NAME Q1:H1[,Q2:H2...] [--data-dir DIR]   (l/min and m)\n"
    "       corvane-cli data remove pump NAME [--data-dir DIR]\n"
    "  VISCOSITY in cSt; DENSITY of a liquid its relative density (water is 1, at most 30),\n"
    "  of a gas (--gas) kg/m3\n";

std::string Lines(std::string text) {
    text = WithLineFeeds(std::move(text));
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

struct Words {
    std::vector<std::string> plain;
    std::optional<std::string> dataDir;
    bool json = false;
    bool gas = false;
};

// The stock and user files in the folder of --data-dir, which must be there
// (it is never made); the problem otherwise.

std::optional<Words> Parse(const std::vector<std::string>& args, std::ostream& err) {
    Words w;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options && a == "--") {
            options = false;
        } else if (options && a == "--json") {
            w.json = true;
        } else if (options && a == "--gas") {
            w.gas = true;
        } else if (options && a == "--data-dir") {
            if (i + 1 == args.size()) {
                err << "corvane-cli: --data-dir needs a folder\n" << kDataUsage;
                return std::nullopt;
            }
            w.dataDir = args[++i];
        } else if (options && a.rfind("--data-dir=", 0) == 0) {
            w.dataDir = a.substr(11);
        } else if (options && a.size() > 1 && a[0] == '-' && !std::isdigit(static_cast<unsigned char>(a[1]))) {
            err << "corvane-cli: unknown option " << a << "\n" << kDataUsage;
            return std::nullopt;
        } else {
            w.plain.push_back(a);
        }
    }
    return w;
}

// The files of a data base: those of --data-dir, or those the window uses.
// `make` gets the program's folder and the user's.
DataFiles Files(const Words& w, const DataCommandPlace& place,
                const std::function<DataFiles(const std::string&, const std::string&)>& make) {
    if (w.dataDir) return make(*w.dataDir, *w.dataDir);
    const std::string program = place.programFolder.empty() ? "." : place.programFolder;
    const auto env = place.environment ? place.environment : [](const char*) -> const char* { return nullptr; };
    std::string origin;
    DataFiles files = make(program, UserDataFolder(program, env, &origin));
    files.setUserFolderOrigin(origin);
    return files;
}

// The result of an add or a removal: an error box is a file problem, any
// other message a refusal.
ExitStatus Outcome(const std::optional<Refusal>& r, std::ostream& err) {
    if (!r) return ExitStatus::Ok;
    err << Lines(r->text) << "\n";
    return r->kind == MessageKind::Error ? ExitStatus::Invalid : ExitStatus::Refused;
}

// The words of an addition as the dialog takes them: texts checked before
// the dialog's field would drop what a file cannot hold, numbers brought to
// the decimals of the file, so that the duplicate test compares what would
// be written ("13.1" and "13.100" are the same pipe).  Nothing, with the
// refusal printed, where one is refused.
std::optional<std::vector<std::string>> EntryWords(const std::vector<std::pair<const char*, std::string>>& texts,
                                                   const std::vector<std::pair<const char*, std::string>>& numbers,
                                                   int decimals, const Locale& locale, std::ostream& err) {
    std::vector<std::string> words;
    for (const auto& [what, text] : texts) {
        if (auto refusal = CheckEntryText(what, text)) {
            Outcome(refusal, err);
            return std::nullopt;
        }
        words.push_back(text);
    }
    for (const auto& [what, text] : numbers) {
        auto number = EntryNumberText(what, text, decimals, locale);
        if (const auto* refusal = std::get_if<Refusal>(&number)) {
            Outcome(*refusal, err);
            return std::nullopt;
        }
        words.push_back(std::get<std::string>(number));
    }
    return words;
}

// A removal decides on what the file holds while no other program may
// change it: the lock is held from the reading to the writing.
std::optional<Refusal> HoldForRemoval(DataFiles& files, DataFiles::Hold& held) {
    if (!files.userExists()) return std::nullopt;  // nothing there to change
    if (auto problem = files.hold(held)) return Refusal{MessageKind::Error, kRemoveFailedText + *problem};
    return std::nullopt;
}

void Warn(const std::optional<std::string>& problem, std::ostream& err) {
    if (problem) err << "corvane-cli: " << Lines(*problem) << "\n";
}

// ---------------------------------------------------------------- list

struct Listed {
    std::string origin;
    DataRecord record;
};

ExitStatus List(const Words& w, bool fluids, DataFiles files, std::ostream& out, std::ostream& err, const Locale& locale) {
    Warn(files.recover(), err);
    const std::size_t slots = fluids ? kFluidSlots : kPipeSlots;
    std::vector<Listed> rows;
    std::size_t used = 0;
    bool problem = false;
    auto from = [&](const std::string& path, const char* origin) {
        if (path.empty()) return;
        const auto failure = DataFiles::EachLineOf(path, [&](const std::string& line) {
            const auto r = ParseDataLine(line, locale, fluids);
            if (!r || r->code == 0) return true;
            if (used == slots) return false;  // the table is full
            ++used;
            const bool listed = IsListedCode(r->code, fluids);
            if (listed) rows.push_back({origin, *r});
            return true;
        });
        if (failure) {
            err << "corvane-cli: " << Lines(*failure) << "\n";
            problem = true;
        }
    };
    // The order the dialogs load them in.
    if (fluids) from(files.stockPath(), "stock");
    from(files.sharedUserPath(), "shared");
    from(files.userPath(), "user");
    if (!fluids) from(files.stockPath(), "stock");

    if (w.json) {
        nlohmann::ordered_json array = nlohmann::ordered_json::array();
        for (const Listed& l : rows) {
            nlohmann::ordered_json o;
            o["origin"] = l.origin;
            if (fluids) {
                o["group"] = l.record.code >= 20 ? "gas" : "liquid";
                o["name"] = l.record.f2;
                o["temperature"] = l.record.f3;
                o["viscosity"] = l.record.f4;
                o["density"] = l.record.f5;
            } else {
                o["type"] = l.record.f2;
                o["nominal"] = l.record.f3;
                o["mm"] = l.record.f4;
                o["inch"] = l.record.f5;
            }
            array.push_back(o);
        }
        out << array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    } else {
        for (const Listed& l : rows) {
            out << l.origin << "\t";
            if (fluids) out << (l.record.code >= 20 ? "gas" : "liquid") << "\t";
            out << l.record.f2 << "\t" << l.record.f3 << "\t" << l.record.f4 << "\t" << l.record.f5 << "\n";
        }
    }
    return problem ? ExitStatus::Invalid : ExitStatus::Ok;
}

// ---------------------------------------------------------------- fluids

ExitStatus AddFluid(const Words& w, DataFiles files, std::ostream& err, const Locale& locale) {
    const auto& p = w.plain;
    const auto words = EntryWords({{"fluid name", p[2]}, {"temperature", p[3]}},
                                  {{"viscosity", p[4]}, {"density", p[5]}}, kFluidDecimals, locale, err);
    if (!words) return ExitStatus::Refused;
    FluidDatabaseModel m(std::move(files), locale);
    Warn(m.load(), err);
    m.show();
    m.setGroup(w.gas ? FluidGroup::Gases : FluidGroup::Liquids);
    using F = FluidDatabaseModel::Field;
    for (F f : {F::Name, F::Temperature, F::Viscosity, F::Density})
        m.setField(f, (*words)[static_cast<std::size_t>(f)]);
    return Outcome(m.add(), err);
}

// Removes the first row of the model's current list whose first two fields
// are `a` and `b` and that is a user entry; `listed` tells whether any row
// had them.  The status when a row was removed (or the removal failed).
template <class Model>
std::optional<ExitStatus> RemoveListed(Model& m, const std::string& a, const std::string& b, bool& listed,
                                std::ostream& err) {
    for (std::size_t i = 0; i < m.rows().size(); ++i) {
        const auto f = SplitRow(m.rows()[i]);
        if (f[0] != a || f[1] != b) continue;
        listed = true;
        m.selectRow(static_cast<int>(i));
        if (m.removeEnabled()) return Outcome(m.remove(), err);
    }
    return std::nullopt;
}

ExitStatus NotRemoved(bool listed, const char* what, const std::string& a, const std::string& b,
               const std::string& userPath, std::ostream& err) {
    if (listed)
        err << "corvane-cli: " << a << " " << b << " is not an entry of the user file " << userPath
            << ": only those can be removed\n";
    else
        err << "corvane-cli: no " << what << " " << a << " " << b << " in the list\n";
    return ExitStatus::Refused;
}

ExitStatus RemoveFluid(const Words& w, DataFiles files, std::ostream& err, const Locale& locale) {
    const std::string name = DataFieldText(w.plain[2]);
    const std::string temperature = DataFieldText(w.plain[3]);
    const std::string userPath = files.userPath();
    DataFiles::Hold held;
    if (auto refusal = HoldForRemoval(files, held)) return Outcome(refusal, err);
    FluidDatabaseModel m(files, locale);
    Warn(m.load(), err);
    m.show();
    bool listed = false;
    for (FluidGroup g : {FluidGroup::Liquids, FluidGroup::Gases}) {
        m.setGroup(g);
        if (auto status = RemoveListed(m, name, temperature, listed, err)) return *status;
    }
    return NotRemoved(listed, "fluid", name, temperature, userPath, err);
}

// ---------------------------------------------------------------- pipes

ExitStatus AddPipe(const Words& w, DataFiles files, std::ostream& err, const Locale& locale) {
    const auto& p = w.plain;
    const auto words = EntryWords({{"pipe type", p[2]}, {"nominal diameter", p[3]}},
                                  {{"internal diameter in mm", p[4]}}, kPipeDecimals, locale, err);
    if (!words) return ExitStatus::Refused;
    const std::string& mm = (*words)[2];
    const std::string inch =
        WriteEntryNumber(ReadEntryNumber(mm, locale) / kMillimetresPerInch, kPipeDecimals, locale).value_or("");
    PipeDatabaseModel m(std::move(files), locale);
    Warn(m.load(), err);
    m.show();
    using F = PipeDatabaseModel::Field;
    m.setField(F::Type, p[2]);
    m.setField(F::Nominal, p[3]);
    m.setField(F::Millimetres, mm);
    m.setField(F::Inches, inch);
    return Outcome(m.add(), err);
}

ExitStatus RemovePipe(const Words& w, DataFiles files, std::ostream& err, const Locale& locale) {
    const std::string type = DataFieldText(w.plain[2]);
    const std::string nominal = DataFieldText(w.plain[3]);
    const std::string userPath = files.userPath();
    DataFiles::Hold held;
    if (auto refusal = HoldForRemoval(files, held)) return Outcome(refusal, err);
    PipeDatabaseModel m(files, locale);
    Warn(m.load(), err);
    m.show();
    bool listed = false;
    if (auto status = RemoveListed(m, type, nominal, listed, err)) return *status;
    return NotRemoved(listed, "pipe", type, nominal, userPath, err);
}

// ---------------------------------------------------------------- pumps

ExitStatus ListPumps(const Words& w, PumpLibrary library, std::ostream& out, std::ostream& err) {
    Warn(library.recover(), err);
    std::optional<std::string> problem;
    const auto pumps = library.list(&problem);
    Warn(problem, err);
    if (w.json) {
        nlohmann::ordered_json array = nlohmann::ordered_json::array();
        for (const ListedPump& l : pumps) {
            nlohmann::ordered_json o;
            o["origin"] = l.own ? "user" : "shared";
            o["name"] = l.pump.name;
            nlohmann::ordered_json points = nlohmann::ordered_json::array();
            for (const PumpPoint& p : l.pump.points) points.push_back({{"flow_lmin", p.flow}, {"head_m", p.head}});
            o["points"] = points;
            array.push_back(o);
        }
        out << array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    } else {
        for (const ListedPump& l : pumps) {
            out << (l.own ? "user" : "shared") << "\t" << l.pump.name;
            for (const PumpPoint& p : l.pump.points) out << "\t" << p.flow << ":" << p.head;
            out << "\n";
        }
    }
    return problem ? ExitStatus::Invalid : ExitStatus::Ok;
}

ExitStatus AddPump(const std::vector<std::string>& p, PumpLibrary library, std::ostream& err) {
    const auto points = ParsePumpPoints(p[3]);
    if (!points) {
        err << "corvane-cli: a pump's points are Q1:H1[,Q2:H2...] in l/min and m with decimal points, not " << p[3]
            << "\n";
        return ExitStatus::Refused;
    }
    Warn(library.recover(), err);
    PumpRecord pump{p[2], {}};
    for (const auto& [q, h] : *points) pump.points.push_back({q, h});
    return Outcome(library.add(pump), err);
}

ExitStatus RemovePump(const std::string& name, PumpLibrary library, std::ostream& err) {
    Warn(library.recover(), err);
    return Outcome(library.remove(name), err);
}

}  // namespace

ExitStatus RunDataCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Locale& locale,
                   const DataCommandPlace& place) {
    if (AsksForHelp(args)) {
        out << kDataUsage;
        return ExitStatus::Ok;
    }
    const auto w = Parse(args, err);
    if (!w) return ExitStatus::Invalid;
    const auto& p = w->plain;
    const std::string verb = p.empty() ? "" : p[0];
    const std::string what = p.size() > 1 ? p[1] : "";
    // An option the command does not use is a mistake, not a wish to pass by.
    const char* unused = nullptr;
    if (w->gas && !(verb == "add" && what == "fluid")) unused = "--gas goes only with data add fluid";
    if (w->json && verb != "list") unused = "--json goes only with data list";
    if (unused) {
        err << "corvane-cli: " << unused << "\n" << kDataUsage;
        return ExitStatus::Invalid;
    }
    if (w->dataDir)
        if (auto problem = CheckDataDir(*w->dataDir)) {
            err << "corvane-cli: " << *problem << "\n";
            return ExitStatus::Invalid;
        }
    const bool fluid = what == "fluid" || what == "fluids";
    auto files = [&]() {
        return Files(*w, place, [fluid](const std::string& program, const std::string& user) {
            return fluid ? DataFiles(program, user, kFluidStockFile, kFluidUserFile, kFluidBackupFile)
                         : DataFiles(program, user, kPipeStockFile, kPipeUserFile, kPipeBackupFile);
        });
    };
    // The data bases of a folder named on the command line need their stock
    // files there: without them the lists are not the program's.
    auto run = [&](auto command) {
        DataFiles f = files();
        if (w->dataDir && !FileExists(f.stockPath())) {
            err << "corvane-cli: " << Lines(FileProblem(f.stockPath(), ENOENT)) << "\n";
            return ExitStatus::Invalid;
        }
        return command(std::move(f));
    };
    if (verb == "list" && p.size() == 2 && (what == "fluids" || what == "pipes"))
        return run([&](DataFiles f) { return List(*w, fluid, std::move(f), out, err, locale); });
    if (verb == "add" && what == "fluid" && p.size() == 6)
        return run([&](DataFiles f) { return AddFluid(*w, std::move(f), err, locale); });
    if (verb == "add" && what == "pipe" && p.size() == 5)
        return run([&](DataFiles f) { return AddPipe(*w, std::move(f), err, locale); });
    if (verb == "remove" && what == "fluid" && p.size() == 4)
        return run([&](DataFiles f) { return RemoveFluid(*w, std::move(f), err, locale); });
    if (verb == "remove" && what == "pipe" && p.size() == 4)
        return run([&](DataFiles f) { return RemovePipe(*w, std::move(f), err, locale); });
    if (what == "pump" || what == "pumps") {
        auto pumps = [&] { return PumpLibrary(Files(*w, place, PumpFiles)); };
        if (verb == "list" && what == "pumps" && p.size() == 2) return ListPumps(*w, pumps(), out, err);
        if (verb == "add" && what == "pump" && p.size() == 4) return AddPump(p, pumps(), err);
        if (verb == "remove" && what == "pump" && p.size() == 3) return RemovePump(p[2], pumps(), err);
    }
    err << kDataUsage;
    return ExitStatus::Invalid;
}

std::optional<std::string> CheckDataDir(const std::string& dir) {
    if (dir.empty()) return "--data-dir needs a folder";
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0)
        return "--data-dir " + dir + ": " + (errno == ENOENT || errno == ENOTDIR ? "no such folder" : FileErrorText(errno));
    if (!S_ISDIR(st.st_mode)) return "--data-dir " + dir + ": this is not a folder";
    return std::nullopt;
}

DataFiles DataFilesAt(const std::optional<std::string>& dataDir, const DataCommandPlace& place, const char* stock,
                      const char* user, const char* backup) {
    Words w;
    w.dataDir = dataDir;
    return Files(w, place, [&](const std::string& program, const std::string& userFolder) {
        return DataFiles(program, userFolder, stock, user, backup);
    });
}

std::vector<GuardedFile> DataBaseFilesAt(const std::optional<std::string>& dataDir, const DataCommandPlace& place) {
    Words w;
    w.dataDir = dataDir;
    std::vector<GuardedFile> files;
    Files(w, place, [&](const std::string& program, const std::string& user) {
        files = DataBaseFiles(program, user);
        return DataFiles(program, user, kFluidStockFile, kFluidUserFile, kFluidBackupFile);
    });
    return files;
}

std::optional<std::string> SheetOverwrites(const std::string& out, const std::vector<GuardedFile>& guarded) {
    const auto file = OverwrittenFile(out, guarded);
    if (!file) return std::nullopt;
    return out + " is " + file->what + " " + file->path + " itself; the sheet would overwrite it: give the sheet "
           "another name";
}

bool AsksForHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--") break;
        if (a == "--help" || a == "-h") return true;
    }
    return false;
}

std::string WithLineFeeds(std::string text) {
    for (char& c : text)
        if (c == '\r') c = '\n';
    return text;
}

}  // namespace corvane
