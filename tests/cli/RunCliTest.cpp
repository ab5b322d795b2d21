// corvane-cli run: the worked example as the README prints it, the JSON's
// keys and numbers, and the exit status of good, refused and bad files.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/RunCommand.h"
#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/model/data/PipeDatabaseModel.h"
#include "tests/cli/CliRun.h"

namespace corvane {
namespace {

using json = nlohmann::ordered_json;
const std::string kExample = CORVANE_EXAMPLES "/pump-suction-lift.cvrun";

std::vector<std::string> Keys(const json& o) {
    std::vector<std::string> keys;
    for (const auto& [k, v] : o.items()) keys.push_back(k);
    return keys;
}

TEST(CliRunCommand, PrintsTheWorkedExampleAsTheReadmeShowsIt) {
    const CliRun r = Cli({"run", "--data-dir", CORVANE_DATA, kExample});
    ASSERT_EQ(r.status, ExitStatus::Ok) << r.err;
    EXPECT_EQ(r.err, "");
    std::ifstream in(CORVANE_README);
    std::stringstream readme;
    readme << in.rdbuf();
    const std::string text = readme.str();
    const std::string command = "$ corvane-cli run examples/pump-suction-lift.cvrun\nexamples/pump-suction-lift.cvrun\n";
    const auto begin = text.find(command);
    ASSERT_NE(begin, std::string::npos);
    const auto end = text.find("```", begin);
    EXPECT_EQ(r.out, kExample + "\n" + text.substr(begin + command.size(), end - begin - command.size()));
}

TEST(CliRunCommand, JsonHoldsEveryKeyAtFullPrecision) {
    const CliRun r = Cli({"run", "--json", "--data-dir", CORVANE_DATA, kExample});
    ASSERT_EQ(r.status, ExitStatus::Ok) << r.err;
    const json all = json::parse(r.out);
    ASSERT_EQ(all.size(), 1u);
    const json& run = all[0];
    EXPECT_EQ(Keys(run), (std::vector<std::string>{"file", "status", "message", "flow_lmin", "sections", "transitions",
                                                   "nodes", "entry_k", "entry_head_m", "exit_k", "exit_head_m",
                                                   "total_head_loss_m", "sink_margin_m", "pump", "notes"}));
    EXPECT_EQ(Keys(run["sections"][0]),
              (std::vector<std::string>{"name", "velocity_m_s", "reynolds", "flow_type", "friction_factor", "head_loss_m",
                                        "friction_head_m", "fittings_head_m", "fittings_k"}));
    EXPECT_EQ(Keys(run["transitions"][1]),
              (std::vector<std::string>{"section", "kind", "k", "velocity_m_s", "head_loss_m", "k_on_section"}));
    EXPECT_EQ(Keys(run["nodes"][0]), (std::vector<std::string>{"name", "distance_m", "elevation_m", "pressure_bar_g",
                                                               "hydraulic_head_m", "energy_head_m"}));
    EXPECT_EQ(Keys(run["pump"]), (std::vector<std::string>{"after_section", "flow_lmin", "head_m", "fluid_power_w",
                                                           "shaft_power_w", "npsh_available_m", "npsh_required_m",
                                                           "npsh_margin_m", "npsh_margin_ratio"}));

    // The numbers are the calculation's doubles, not rounded.
    DataTable fluids(kFluidSlots), pipes(kPipeSlots);
    ASSERT_FALSE(DataFiles(CORVANE_DATA, kFluidStockFile, kFluidUserFile, kFluidBackupFile).fill(fluids, DotLocale(), true, false));
    ASSERT_FALSE(DataFiles(CORVANE_DATA, kPipeStockFile, kPipeUserFile, kPipeBackupFile).fill(pipes, DotLocale(), false, true));
    const RunFileResult direct = RunDocumentFile(kExample, {[&] { return &fluids; }, [&] { return &pipes; }}, DotLocale());
    ASSERT_TRUE(direct.outcome);
    const RunResult& expected = direct.outcome->result;
    EXPECT_EQ(run["flow_lmin"].get<double>(), expected.flow);
    EXPECT_EQ(run["transitions"][1]["k"].get<double>(), expected.transitions[1].k);
    EXPECT_EQ(run["nodes"][1]["pressure_bar_g"].get<double>(), expected.nodes[1].pressure);
    EXPECT_EQ(run["pump"]["npsh_available_m"].get<double>(), *expected.pump->npshAvailable);
    EXPECT_EQ(run["pump"]["flow_lmin"], run["flow_lmin"]);
    EXPECT_NEAR(run["sink_margin_m"].get<double>(), 0.0, 1e-9);
}

TEST_F(CliFiles, RunExitStatusIsTheWorstOfTheFiles) {
    const std::string uphill = Write("uphill.cvrun", R"({"corvane_run": 1,
        "fluid": {"name": "Water", "viscosity_cst": 1.004, "density_kg_m3": 998},
        "source": {"pressure_bar_g": 0, "level_m": 0}, "sink": {"pressure_bar_g": 0, "level_m": 5},
        "start_elevation_m": 0, "sections": [{"name": "Up", "diameter_mm": 50, "roughness_mm": 0.046,
        "length_m": 10, "rise_m": 5}]})");
    const std::string flat = Write("flat.cvrun", R"({"corvane_run": 1,
        "fluid": {"name": "Water", "viscosity_cst": 1.004, "density_kg_m3": 998},
        "source": {"pressure_bar_g": 0, "level_m": 0}, "sink": {"pressure_bar_g": 0, "level_m": 5},
        "start_elevation_m": 0, "flow_lmin": 100, "sections": [{"name": "Up", "diameter_mm": 50,
        "roughness_mm": 0.046, "length_m": 10, "rise_m": 5}]})");
    const std::string zero = Write("zero.cvrun", [&] {
        std::ifstream in(flat);
        std::string text((std::istreambuf_iterator<char>(in)), {});
        return text.replace(text.find("\"diameter_mm\": 50"), 17, "\"diameter_mm\": 0");
    }());
    const struct {
        std::vector<std::string> args;
        ExitStatus status;
        std::string err;
    } cases[] = {
        {{"run", flat}, ExitStatus::Ok, ""},
        {{"run", uphill}, ExitStatus::Refused, uphill + ": No flow runs without a pump"},
        {{"run", zero}, ExitStatus::Invalid, zero + ": sections[1].diameter_mm must be above 0\n"},
        {{"run", Write("text.cvrun", "pipe run")}, ExitStatus::Invalid, "not valid JSON"},
        {{"run", (dir_ / "missing.cvrun").string()}, ExitStatus::Invalid, "File not found"},
        {{"run", flat, uphill, flat}, ExitStatus::Refused, "No flow runs"},
        {{"run", "--sheet", "out.pdf", flat}, ExitStatus::Invalid, "--sheet needs corvane-sheet beside corvane-cli"},
        {{"run"}, ExitStatus::Invalid, "usage: corvane-cli run"},
    };
    for (const auto& c : cases) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back() << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    // A file that is not valid still has its object, with the message.
    const json invalid = json::parse(Cli({"run", "--json", zero, flat}).out);
    EXPECT_EQ(invalid[0]["status"], "invalid");
    EXPECT_EQ(invalid[0]["message"], "sections[1].diameter_mm must be above 0");
    EXPECT_TRUE(invalid[0]["flow_lmin"].is_null());
    EXPECT_EQ(invalid[1]["status"], "ok");
    EXPECT_LT(invalid[1]["sink_margin_m"].get<double>(), -5.0);  // the head a pump would have to add
}

// run --sheet: the sheet of one run, drawn by the drawer given, written
// whole, never over the run file itself (its name, a symbolic or a hard
// link); the title block from the options.
TEST_F(CliFiles, RunSheetIsWrittenButNeverOverItsRunFile) {
    std::vector<CalculationSheet> drawn;
    const RunSheetDrawer drawer = [&](const CalculationSheet& s) -> std::optional<std::string> {
        drawn.push_back(s);
        return "PDF of " + s.title;
    };
    auto run = [&](std::vector<std::string> args) {
        std::ostringstream out, err;
        const ExitStatus status = RunRunCommand(args, out, err, Locale{}, {}, drawer, "2026-12-09");
        return CliRun{status, out.str(), err.str()};
    };
    const std::string file = Write("line.cvrun", [] {
        std::ifstream in(CORVANE_EXAMPLES "/pump-cavitating.cvrun", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }());
    const std::string pdf = (dir_ / "line.pdf").string();
    const CliRun r = run({"--sheet", pdf, "--title", "Hot well", "--checked-by", "B. Checker", file});
    ASSERT_EQ(r.status, ExitStatus::Ok) << r.err;
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].title, "Calculation sheet \u2014 Pipe run");
    EXPECT_EQ(drawn[0].pageHeading, "Run file: line.cvrun \u2014 Project Hot well");
    EXPECT_EQ(drawn[0].titleBlock[3], (std::pair<std::string, std::string>{"Checked by", "B. Checker"}));
    std::ifstream written(pdf);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(written)), {}), "PDF of Calculation sheet \u2014 Pipe run");

    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::filesystem::create_symlink(file, dir_ / "link.pdf");
    std::filesystem::create_hard_link(file, dir_ / "hard.pdf");
    for (const std::string& out : {file, (dir_ / "link.pdf").string(), (dir_ / "hard.pdf").string()}) {
        const CliRun refused = run({"--sheet", out, file});
        EXPECT_EQ(refused.status, ExitStatus::Invalid);
        EXPECT_EQ(refused.err, "corvane-cli: " + out + " is the run file " + file +
                                   " itself; the sheet would overwrite it: give the sheet another name\n");
        std::ifstream again(file, std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), bytes);
    }
    // One FILE, no --json, a title block only with --sheet.
    EXPECT_NE(run({"--sheet", pdf, file, file}).err.find("run --sheet takes one FILE"), std::string::npos);
    EXPECT_NE(run({"--sheet", pdf, "--json", file}).err.find("without --json"), std::string::npos);
    EXPECT_NE(run({"--title", "T", file}).err.find("the title block goes with --sheet"), std::string::npos);
    EXPECT_EQ(drawn.size(), 1u);
}

}  // namespace
}  // namespace corvane
