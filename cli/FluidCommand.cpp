#include "cli/FluidCommand.h"

#include "cli/JsonText.h"

#include <cctype>
#include <cerrno>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "logic/io/FileIo.h"
#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

constexpr const char* kFluidUsage =
    "usage: corvane-cli fluid water TEMPERATURE [--pressure BAR_A] [--json]\n"
    "       corvane-cli fluid interpolate NAME TEMPERATURE [--json] [--data-dir DIR]\n"
    "  TEMPERATURE in degC, BAR_A absolute pressure in bar\n";

constexpr int kDensityDecimals = 3;      // kg/m3
constexpr int kViscosityDecimals = 6;    // mPa s, as the cSt of the data base
constexpr double kMilliPascalSecondsPerPascalSecond = 1000;

struct Words {
    std::vector<std::string> plain;
    std::optional<std::string> pressure, dataDir;
    bool json = false;
};

// The words, or the complaint (printed with the usage).
std::optional<Words> Parse(const std::vector<std::string>& args, std::ostream& err) {
    Words w;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::optional<std::string>& into, const char* name) {
            const std::string prefix = std::string(name) + "=";
            if (a.rfind(prefix, 0) == 0) into = a.substr(prefix.size());
            else if (i + 1 < args.size()) into = args[++i];
            else return false;
            return true;
        };
        if (options && a == "--") {
            options = false;
        } else if (options && a == "--json") {
            w.json = true;
        } else if (options && (a == "--pressure" || a.rfind("--pressure=", 0) == 0)) {
            if (!value(w.pressure, "--pressure")) {
                err << "corvane-cli: --pressure needs an absolute pressure in bar\n" << kFluidUsage;
                return std::nullopt;
            }
        } else if (options && (a == "--data-dir" || a.rfind("--data-dir=", 0) == 0)) {
            if (!value(w.dataDir, "--data-dir")) {
                err << "corvane-cli: --data-dir needs a folder\n" << kFluidUsage;
                return std::nullopt;
            }
        } else if (options && a.size() > 1 && a[0] == '-' && !std::isdigit(static_cast<unsigned char>(a[1])) &&
                   a[1] != '.' && a[1] != ',') {
            err << "corvane-cli: unknown option " << a << "\n" << kFluidUsage;
            return std::nullopt;
        } else {
            w.plain.push_back(a);
        }
    }
    return w;
}

// A number typed on the command line (either decimal mark).
std::optional<double> Number(const std::string& text, const Locale& locale) {
    const auto read = ReadTemperature(text, locale);
    if (const double* value = std::get_if<double>(&read)) return *value;
    return std::nullopt;
}

std::string Fixed(double v, int decimals, const Locale& l) { return WriteEntryNumber(v, decimals, l).value_or(""); }

ExitStatus Print(const LiquidAnswer& answer, bool json, std::ostream& out, std::ostream& err, const Locale& l) {
    if (const auto* refusal = std::get_if<Refusal>(&answer)) {
        err << WithLineFeeds(refusal->text) << "\n";
        return ExitStatus::Refused;
    }
    const auto& liquid = std::get<LiquidAtTemperature>(answer);
    if (json) {
        out << LiquidJson(liquid) << "\n";
        return ExitStatus::Ok;
    }
    const LiquidState& s = liquid.state;
    out << liquid.name << " " << liquid.temperature << "\n"
        << "Kinematic viscosity\t" << liquid.viscosity << "\tcSt\n"
        << "Density\t" << Fixed(s.densityKgM3, kDensityDecimals, l) << "\tkg/m\u00b3\n"
        << "Relative density\t" << liquid.density << "\n"
        << "Dynamic viscosity\t"
        << Fixed(s.dynamicViscosityPaS * kMilliPascalSecondsPerPascalSecond, kViscosityDecimals, l) << "\tmPa s\n"
        << "Vapour pressure\t" << (liquid.vapourPressure.empty() ? "none" : liquid.vapourPressure + "\tbar a") << "\n"
        << "Method\t" << liquid.method << "\n"
        << "Range\t" << liquid.range << "\n";
    return ExitStatus::Ok;
}

}  // namespace

std::string LiquidJson(const LiquidAtTemperature& liquid) {
    const LiquidState& s = liquid.state;
    auto text = [](const std::string& t) {
        return nlohmann::json(t).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    };
    return "{\n"
           "  \"viscosity_cst\": " + ShortestNumber(s.kinematicViscosityCst) + ",\n"
           "  \"density_kg_m3\": " + ShortestNumber(s.densityKgM3) + ",\n"
           "  \"relative_density\": " + ShortestNumber(liquid.relativeDensity) + ",\n"
           "  \"dynamic_viscosity_pa_s\": " + ShortestNumber(s.dynamicViscosityPaS) + ",\n"
           "  \"vapour_pressure_bar_a\": " + (s.vapourPressureBarA ? ShortestNumber(*s.vapourPressureBarA) : "null") + ",\n"
           "  \"method\": " + text(liquid.method) + ",\n"
           "  \"range\": " + text(liquid.range) + "\n"
           "}";
}

ExitStatus RunFluidCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                           const Locale& locale, const DataCommandPlace& place) {
    if (AsksForHelp(args)) {
        out << kFluidUsage;
        return ExitStatus::Ok;
    }
    const auto w = Parse(args, err);
    if (!w) return ExitStatus::Invalid;
    const auto& p = w->plain;
    const std::string verb = p.empty() ? "" : p[0];
    // Each command takes its own options only: one that would be ignored is refused.
    const bool water = verb == "water" && p.size() == 2 && !w->dataDir;
    const bool interpolate = verb == "interpolate" && p.size() == 3 && !w->pressure;
    if (!water && !interpolate) {
        err << kFluidUsage;
        return ExitStatus::Invalid;
    }
    const auto celsius = Number(p.back(), locale);
    if (!celsius) {
        err << "corvane-cli: the temperature must be a number in degC, not '" << p.back() << "'\n";
        return ExitStatus::Invalid;
    }
    if (water) {
        std::optional<double> bar;
        if (w->pressure && !(bar = Number(*w->pressure, locale))) {
            err << "corvane-cli: the pressure must be a number in bar a, not '" << *w->pressure << "'\n";
            return ExitStatus::Invalid;
        }
        return Print(WaterAtTemperature(*celsius, bar, locale), w->json, out, err, locale);
    }
    // The data base as the dialog loads it, only read: a removal that a
    // killed program left unfinished is the window's and the data
    // commands' to mend.
    if (w->dataDir)
        if (auto problem = CheckDataDir(*w->dataDir)) {
            err << "corvane-cli: " << *problem << "\n";
            return ExitStatus::Invalid;
        }
    const DataFiles files = DataFilesAt(w->dataDir, place, kFluidStockFile, kFluidUserFile, kFluidBackupFile);
    if (w->dataDir && !FileExists(files.stockPath())) {
        err << "corvane-cli: " << WithLineFeeds(FileProblem(files.stockPath(), ENOENT)) << "\n";
        return ExitStatus::Invalid;
    }
    DataTable table(kFluidSlots);
    if (const auto problem = files.fill(table, locale, true, false)) {
        err << "corvane-cli: " << WithLineFeeds(*problem) << "\n";
        return ExitStatus::Invalid;
    }
    return Print(InterpolatedLiquid(table, p[1], *celsius, locale), w->json, out, err, locale);
}

}  // namespace corvane
