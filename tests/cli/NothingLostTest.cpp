// corvane-cli on what may lose a user's data or say "ok" for what is no
// pipe: an output over a data base, duplicates, a liquid's density in kg/m3
// where the data base holds relative densities, panel files no one could
// type, and the messages of numbers too small to calculate with.

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/RunCommand.h"
#include "logic/model/data/FluidDatabaseModel.h"
#include "tests/cli/CliRun.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string kUserOil = "11\tMyOil\t20\t30.000000\t0.880000\r\n";
const std::string kRun =
    R"({"corvane_run": 1, "fluid": {"name": "MyOil"}, "source": {"pressure_bar_g": 0, "level_m": 5},
        "sink": {"pressure_bar_g": 0, "level_m": 0}, "start_elevation_m": 0, "flow_lmin": null,
        "sections": [{"name": "a", "diameter_mm": 25, "material": "steel", "length_m": 10, "rise_m": 0}]})";

class NothingLost : public CliFiles {
protected:
    // A data folder with every data base file, a user fluid among them.
    std::string DataFolder() {
        const fs::path a = dir_ / "A";
        fs::create_directories(a);
        fs::copy_file(CORVANE_DATA "/CorvaneFluidsO.dat", a / "CorvaneFluidsO.dat");
        fs::copy_file(CORVANE_DATA "/CorvanePipeIDO.dat", a / "CorvanePipeIDO.dat");
        for (const char* name : {"CorvaneUserPipeID.dat", "CorvaneUserPumps.dat", "CorvaneUserPipeID.bak"})
            std::ofstream(a / name, std::ios::binary) << "kept\r\n";
        std::ofstream(a / "CorvaneUserFluids.dat", std::ios::binary) << kUserOil;
        return a.string();
    }
    CliRun Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        const RunSheetDrawer drawer = [this](const CalculationSheet&) -> std::optional<std::string> {
            ++drawn_;
            return std::string("%PDF-1.4");
        };
        const ExitStatus status = RunRunCommand(args, out, err, Locale{}, {}, drawer, "2026-01-01");
        return {status, out.str(), err.str()};
    }
    int drawn_ = 0;
};

// A sheet is never written over a data base file of the folder in use,
// whether the run reads it or not, by its name or through a link.
TEST_F(NothingLost, ARunSheetIsNeverWrittenOverADataBase) {
    const std::string a = DataFolder();
    const std::string run = Write("A/run.cvrun", kRun);
    fs::create_symlink(a + "/CorvaneUserFluids.dat", dir_ / "link.pdf");
    const struct {
        std::string out, what, file;
    } cases[] = {{a + "/CorvaneUserFluids.dat", "the user fluid file", "CorvaneUserFluids.dat"},
                 {(dir_ / "link.pdf").string(), "the user fluid file", "CorvaneUserFluids.dat"},
                 {a + "/CorvaneFluidsO.dat", "the stock fluid file", "CorvaneFluidsO.dat"},
                 {a + "/CorvaneUserPipeID.bak", "the pipe backup file", "CorvaneUserPipeID.bak"},
                 {a + "/CorvaneUserPumps.dat", "the user pump file", "CorvaneUserPumps.dat"}};
    for (const auto& c : cases) {
        const std::string before = Read(a + "/" + c.file);
        const CliRun r = Run({"--sheet", c.out, "--data-dir", a, run});
        EXPECT_EQ(r.status, ExitStatus::Invalid) << c.out;
        EXPECT_EQ(r.err, "corvane-cli: " + c.out + " is " + c.what + " " + a + "/" + c.file +
                             " itself; the sheet would overwrite it: give the sheet another name\n");
        EXPECT_EQ(Read(a + "/" + c.file), before) << c.out;
    }
    EXPECT_EQ(drawn_, 0);
    EXPECT_EQ(Run({"--sheet", "", "--data-dir", a, run}).err.substr(0, 69),  // a sheet needs a name
              "corvane-cli: --sheet needs the name of the file to write the sheet to");
}

// The panels' sheet guards the data bases where the program keeps them.
TEST_F(NothingLost, APanelSheetIsNeverWrittenOverADataBase) {
    const std::string a = DataFolder();
    const std::string panel = Write("case.PW2", Read(CORVANE_EXAMPLES "/flow.PW2"));
    const DataCommandPlace place{a, [](const char*) -> const char* { return nullptr; }};
    const std::string out = a + "/CorvaneUserPumps.dat";
    std::ostringstream o, err;
    EXPECT_EQ(RunCli({"--sheet", out, panel}, o, err, Locale{}, place,
                     [](const CalculationSheet&) { return std::optional<std::string>("%PDF"); }),
              ExitStatus::Invalid);
    EXPECT_NE(err.str().find(out + " is the user pump file "), std::string::npos) << err.str();
    EXPECT_EQ(Read(out), "kept\r\n");
    EXPECT_EQ(RunCli({"--sheet", "", panel}, o, err, Locale{}, place, {}), ExitStatus::Invalid);
    EXPECT_NE(err.str().find("corvane-cli: --sheet needs the name of the file"), std::string::npos);
}

// A liquid's DENSITY is its relative density: 880 is refused as one; a
// gas's is kg/m3.  A row already beyond it is refused where a run uses it.
// One duplicate rule: the numbers as the file holds them.
TEST_F(NothingLost, TheDataBaseTakesWhatARunCanUse) {
    const std::string a = DataFolder();
    auto data = [&](std::vector<std::string> words) {
        words.insert(words.begin(), "data");
        words.insert(words.end(), {"--data-dir", a});
        return Cli(words);
    };
    const CliRun liquid = data({"add", "fluid", "Oil", "20", "30", "880"});
    EXPECT_EQ(liquid.status, ExitStatus::Refused);
    EXPECT_EQ(liquid.err, "880 is a relative density: water is 1.\nA liquid's relative density is above 0 and at "
                          "most 30; only a gas's density is in kg/m\u00b3.\n");
    EXPECT_EQ(data({"add", "fluid", "Gas", "20", "15", "880", "--gas"}).status, ExitStatus::Ok);
    for (const char* viscosity : {"1.004", "1.004", "01.004"}) data({"add", "fluid", "Visc", "20", viscosity, "1"});
    data({"add", "fluid", "Lead", "20", "52.5", "1"});
    EXPECT_EQ(data({"add", "fluid", "Lead", "20", "052.5", "1"}).err, "Entry already exists.\n");
    EXPECT_EQ(Read(a + "/CorvaneUserFluids.dat"), kUserOil + "21\tGas\t20\t15.000000\t880.000000\r\n"
                                                             "11\tVisc\t20\t1.004000\t1.000000\r\n"
                                                             "11\tLead\t20\t52.500000\t1.000000\r\n");

    std::ofstream(a + "/CorvaneUserFluids.dat", std::ios::binary) << "11\tMyOil\t20\t30.000000\t880.000000\r\n";
    const CliRun run = Run({"--data-dir", a, Write("A/run.cvrun", kRun)});
    EXPECT_EQ(run.status, ExitStatus::Invalid);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("fluid.name: The row \"MyOil\" \"20\" gives the density 880, a relative density: water is "
                           "1.\n"),
              std::string::npos)
        << run.err;
}

// What no one could type into a panel, in a panel file: refused as the
// window refuses an unusable entry, with the limits of the run files.
TEST_F(NothingLost, APanelFileThatCannotBeAPipeIsRefused) {
    const std::string example = Read(CORVANE_EXAMPLES "/pressure-drop.PW1");
    auto withLine = [&](int line, const std::string& text) {
        std::string bytes = example;
        std::size_t start = 0;
        for (int i = 1; i < line; ++i) start = bytes.find("\r\n", start) + 2;
        bytes.replace(start, bytes.find("\r\n", start) - start, text);
        return Write("case.PW1", bytes);
    };
    const struct {
        int line;
        std::string text, message;
    } cases[] = {
        {5, "nan", "The internal roughness in this file, 'nan', is not a number."},
        {5, "inf", "The internal roughness in this file, 'inf', is not a number."},
        {5, "1e309", "The internal roughness in this file, '1e309', is not a number."},
        {5, "1000000", "The internal roughness in this file, 1000000 mm, is not below the internal diameter, 25.000 mm: "
                       "no pipe has it."},
        {5, "1e308", "The internal roughness in this file, 1e308 mm, is not below the internal diameter, 25.000 mm: "
                     "no pipe has it."},
        {9, "nan", "The elevation change in this file, 'nan', is not a number."},
        {17, "-inf", "The viscosity in this file, '-inf', is not a number."},
        {9, "1\t2", "The elevation change in this file, '1\\\\t2', is not a number."},
    };
    for (const auto& c : cases) {
        const CliRun r = Cli({"--json", withLine(c.line, c.text)});
        EXPECT_EQ(r.status, ExitStatus::Refused) << c.text;
        EXPECT_NE(r.out.find("\"status\": \"refused\",\n    \"message\": \"" + c.message + "\""), std::string::npos)
            << r.out.substr(0, 300);
    }
    // A diameter too small for a velocity: with a smooth pipe, as the
    // roughness would be above it.
    std::string bytes = example;
    bytes.replace(bytes.find("0.046"), 5, "0");
    bytes.replace(bytes.find("25.000"), 6, "1e-160");
    const CliRun tiny = Cli({Write("tiny.PW1", bytes)});
    EXPECT_EQ(tiny.status, ExitStatus::Refused);
    EXPECT_EQ(tiny.err.substr(tiny.err.find(": ") + 2),
              "The internal diameter in this file, 1e-160 mm, is too small for a flow through it to have a "
              "velocity.\n");
    // What the panel itself refuses stays its refusal; a number too close
    // to 0 reads as the 0 it nearly is.
    EXPECT_EQ(Cli({withLine(5, "?")}).status, ExitStatus::Ok);
    EXPECT_EQ(Cli({withLine(5, "1.2.3")}).status, ExitStatus::Ok);
    EXPECT_EQ(Cli({withLine(9, "1e-320")}).status, ExitStatus::Ok);
}

// A number too small to calculate with is named, not the pipe.
TEST_F(NothingLost, NumbersTooSmallAreNamed) {
    auto liquid = [](const std::string& viscosity) {
        std::string run = kRun;
        return run.replace(run.find("\"name\": \"MyOil\""), 15,
                           "\"name\": \"L\", \"viscosity_cst\": " + viscosity + ", \"relative_density\": 1");
    };
    std::string pump = liquid("1.004"), viscous = liquid("1e-320");
    pump.replace(pump.find("\"sections\""), 0,
                 "\"pump\": {\"after_section\": 1, \"points\": [[0, 40], [200, 36], [400, 26]], \"speed\": 1e-320}, ");
    EXPECT_EQ(Run({Write("pump.cvrun", pump)}).err,
              (dir_ / "pump.cvrun").string() + ": pump.speed: The speed ratio is too small to calculate with: the "
                                               "pump curve's flows and heads vanish at it.\n");
    EXPECT_EQ(Run({Write("thin.cvrun", viscous)}).err,
              (dir_ / "thin.cvrun").string() +
                  ": The run gives no valid result: the liquid's viscosity is too small to calculate with.\n");
}

}  // namespace
}  // namespace corvane
