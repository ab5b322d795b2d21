// corvane-cli valve: the worked examples through the command line as text
// and JSON, the flow and the outlet pressure at a given Kv, and every value
// the command refuses, with its option named and its exit status.

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <nlohmann/json.hpp>

#include "cli/ValveCommand.h"
#include "logic/engine/ControlValve.h"
#include "tests/cli/CliRun.h"

namespace corvane {
namespace {

using nlohmann::ordered_json;

std::string Shortest(double v) {
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// The words after `base`, an option in `more` taking the place of the
// same option there (--json is the one flag).
std::vector<std::string> With(std::vector<std::string> base, const std::vector<std::string>& more) {
    for (std::size_t i = 0; i < more.size(); ++i) {
        const bool flag = more[i] == "--json" || i + 1 == more.size();
        const auto at = std::find(base.begin(), base.end(), more[i]);
        if (flag || at == base.end()) {
            base.push_back(more[i]);
            if (!flag) base.push_back(more[i + 1]);
        } else {
            *(at + 1) = more[i + 1];
        }
        i += flag ? 0 : 1;
    }
    return base;
}

// The standard's example 1 (water at 90 degC, globe valve) and example 3
// (carbon dioxide, 50 mm valve between 80 and 100 mm pipes).
std::vector<std::string> Water(const std::string& verb, const std::vector<std::string>& more) {
    return With({"valve", verb, "--liquid", "--density", "965.4", "--vapour-pressure", "0.701", "--critical-pressure",
                 "221.2", "--viscosity", "0.326", "--fl", "0.9", "--fd", "0.46", "--size", "150", "--p1", "6.8"},
                more);
}
std::vector<std::string> CarbonDioxide(const std::string& verb, const std::vector<std::string>& more) {
    return With({"valve", verb, "--gas", "--p1", "6.8", "--molar-mass", "44.01", "--gamma", "1.3", "--z", "0.988",
                 "--temperature", "159.85", "--viscosity", "146.65", "--fl", "0.85", "--fd", "0.42", "--xt", "0.6",
                 "--size", "50", "--inlet-pipe", "80", "--outlet-pipe", "100"},
                more);
}

TEST(ValveCommand, LiquidSizeAsJson) {
    const CliRun r = Cli(Water("size", {"--p2", "2.2", "--flow", "360", "--json"}));
    ASSERT_EQ(r.status, ExitStatus::Ok) << r.err;
    const ordered_json j = ordered_json::parse(r.out);
    std::vector<std::string> keys;
    for (const auto& [key, value] : j.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "fluid", "calculation", "p1_bar_a", "p2_bar_a", "flow_m3_h", "density_kg_m3",
                        "vapour_pressure_bar_a", "critical_pressure_bar_a", "viscosity_cst", "fl", "fd", "size_mm",
                        "inlet_pipe_mm", "outlet_pipe_mm", "trim", "kv", "cv", "dp_bar", "choked", "regime", "fp",
                        "fr", "y", "x", "ff", "flp", "xtp", "fgamma", "x_choked", "dp_choked_bar", "reynolds",
                        "notes"}));
    EXPECT_NEAR(j["kv"].get<double>(), 164.9954763704956, 1e-12);
    EXPECT_EQ(j["regime"], "turbulent");
    EXPECT_EQ(j["choked"], false);
    EXPECT_TRUE(j["y"].is_null());
    EXPECT_EQ(j["inlet_pipe_mm"].get<double>(), 150);
    // Numbers as the shortest text that reads back: the engine's own doubles.
    const ValveResult e = SizeLiquidValve({6.8, 2.2, 360, 965.4, 0.701, 221.2, 0.326, {0.9, 0.46, 0, 150, 150, 150}});
    for (const auto& [key, value] : {std::pair{"kv", e.kv}, {"cv", e.cv}, {"ff", *e.ff}, {"reynolds", e.reynolds}})
        EXPECT_NE(r.out.find("\"" + std::string(key) + "\": " + Shortest(value) + ","), std::string::npos) << key;
}

TEST(ValveCommand, GasSizeAsTextInEitherLocale) {
    const CliRun dot = Cli(CarbonDioxide("size", {"--p2", "3.1", "--normal-flow", "3800"}));
    ASSERT_EQ(dot.status, ExitStatus::Ok) << dot.err;
    for (const char* line : {"Control valve, gas, IEC 60534-2-1\n", "Kv\t70.889\tm\u00b3/h\n",
                             "Flow at 0 \u00b0C, 1.01325 bar\t3800\tm\u00b3/h\n", "Choked\tno\n", "Regime\tturbulent\n",
                             "FP\t0.866881\n", "xTP\t0.625291\n", "Y\t0.687627\n", "x\t0.544118\n"})
        EXPECT_NE(dot.out.find(line), std::string::npos) << line << dot.out;
    const CliRun comma = Cli(CarbonDioxide("size", {"--p2", "3,1", "--normal-flow", "3800"}), CommaLocale());
    EXPECT_NE(comma.out.find("Kv\t70,889\tm\u00b3/h\n"), std::string::npos) << comma.out;
}

// Kv by its definition: 10 m3/h of water at 15 degC across 1 bar; the flow
// it passes and the outlet pressure it leaves.
TEST(ValveCommand, FlowAndOutletPressureAtAKv) {
    const std::vector<std::string> water = {"valve", "flow", "--liquid", "--density", "999.10329075702327",
                                            "--vapour-pressure", "0.017", "--critical-pressure", "220.64",
                                            "--viscosity", "1.14", "--fl", "0.9", "--fd", "1", "--size", "50"};
    std::vector<std::string> flow = water;
    flow.insert(flow.end(), {"--p1", "2", "--p2", "1", "--kv", "10", "--json"});
    CliRun r = Cli(flow);
    ASSERT_EQ(r.status, ExitStatus::Ok) << r.err;
    EXPECT_NEAR(ordered_json::parse(r.out)["flow_m3_h"].get<double>(), 10, 1e-12);
    std::vector<std::string> drop = water;
    drop[1] = "dp";
    drop.insert(drop.end(), {"--p1", "10", "--flow", "20", "--cv", "11.560693641618498"});
    r = Cli(drop);
    ASSERT_EQ(r.status, ExitStatus::Ok) << r.err;
    EXPECT_NE(r.out.find("Downstream pressure\t6\tbar a\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Pressure drop\t4\tbar\n"), std::string::npos) << r.out;
    // The gas flow in the form asked for: example 3's Kv passes its flow.
    r = Cli(CarbonDioxide("flow", {"--p2", "3.1", "--kv", "70.88903978342677", "--json"}));
    ASSERT_EQ(r.status, ExitStatus::Ok) << r.err;
    EXPECT_NEAR(ordered_json::parse(r.out)["normal_flow_m3_h"].get<double>(), 3800, 1e-8);
    r = Cli(CarbonDioxide("flow", {"--p2", "3.1", "--kv", "70.889", "--flow-as", "mass", "--json"}));
    EXPECT_TRUE(ordered_json::parse(r.out).contains("mass_flow_kg_h")) << r.out;
}

// A row of tests/data/control_valve_reference.csv (python3-fluids' building
// blocks): an oil of 40 cSt, 0.3 m3/h from 6 to 5 bar a through a 40 mm
// valve between 50 and 80 mm pipes, transitional flow; FR and Rev at the
// Kv taken, FP not applied outside turbulent flow.
TEST(ValveCommand, TransitionalFlowAsJson) {
    const CliRun r = Cli({"valve", "size", "--liquid", "--p1", "6", "--p2", "5", "--flow", "0.3", "--density", "870",
                          "--vapour-pressure", "0.01", "--critical-pressure", "20", "--viscosity", "40", "--fl", "0.9",
                          "--fd", "0.1", "--size", "40", "--inlet-pipe", "50", "--outlet-pipe", "80", "--json"});
    ASSERT_EQ(r.status, ExitStatus::Ok) << r.err;
    const ordered_json j = ordered_json::parse(r.out);
    EXPECT_NEAR(j["kv"].get<double>(), 0.3639309898070996, 1e-9 * 0.36);
    EXPECT_NEAR(j["fr"].get<double>(), 0.9520019139900612, 1e-9);
    EXPECT_NEAR(j["reynolds"].get<double>(), 92.65120412812482, 1e-9 * 92.7);
    EXPECT_EQ(j["fp"].get<double>(), 1);
    EXPECT_EQ(j["regime"], "transitional");
    EXPECT_EQ(j["notes"].size(), 1u);
}

// The README's example prints what the README shows.
TEST(ValveCommand, PrintsTheReadmeExampleAsShown) {
    std::ifstream in(CORVANE_README);
    std::stringstream readme;
    readme << in.rdbuf();
    const std::string text = readme.str();
    const auto begin = text.find("$ corvane-cli valve size --gas");
    ASSERT_NE(begin, std::string::npos);
    const auto output = text.find("\nControl valve", begin) + 1;
    const auto end = text.find("```", output);
    std::vector<std::string> words;
    std::istringstream command(text.substr(begin, output - begin));
    for (std::string word; command >> word;)
        if (word != "$" && word != "\\" && word != "corvane-cli") words.push_back(word);
    const CliRun r = Cli(words);
    ASSERT_EQ(r.status, ExitStatus::Ok) << r.err;
    EXPECT_EQ(r.out, text.substr(output, end - output));
}

TEST(ValveCommand, HelpNamesEveryOption) {
    const CliRun r = Cli({"valve", "--help"});
    EXPECT_EQ(r.status, ExitStatus::Ok);
    EXPECT_EQ(ValveOptionNames().size(), 34u);
    for (const std::string& name : ValveOptionNames()) EXPECT_NE(r.out.find("  " + name + " "), std::string::npos) << name;
    EXPECT_NE(Cli({"--help"}).out.find("corvane-cli valve size|flow|dp"), std::string::npos);
}

// Every value refused names its option: exit status 2; a flow the valve
// cannot pass is a refused calculation: 1.
TEST(ValveCommand, RefusalsNameTheOption) {
    struct Case {
        std::vector<std::string> args;
        ExitStatus status;
        std::string message;
    };
    const Case cases[] = {
        {Water("size", {"--p2", "7", "--flow", "360"}), ExitStatus::Invalid,
         "--p2 7: the value must be below the upstream pressure (--p1 6.8)"},
        {Water("size", {"--p2", "2.2", "--flow", "360", "--fl", "1.2"}), ExitStatus::Invalid,
         "--fl 1.2: the value must be above 0 and at most 1"},
        {Water("size", {"--p2", "2.2", "--flow", "360", "--fd", "0"}), ExitStatus::Invalid,
         "--fd 0: the value must be above 0 and at most 1"},
        {Water("size", {"--p2", "2.2", "--flow", "nan"}), ExitStatus::Invalid, "--flow needs a number, not 'nan'"},
        {Water("size", {"--p2", "2.2", "--flow", "1e400"}), ExitStatus::Invalid, "--flow needs a number, not '1e400'"},
        {Water("size", {"--p2", "2.2", "--flow", "-3"}), ExitStatus::Invalid, "--flow -3: the value must be above 0"},
        {Water("size", {"--p2", "-1", "--flow", "3"}), ExitStatus::Invalid, "--p2 -1: the value must not be below 0"},
        {Water("size", {"--p2", "2.2", "--flow", "360", "--pipe", "100"}), ExitStatus::Invalid,
         "--pipe 100: the pipe is narrower than the valve (--size 150)"},
        {Water("size", {"--p2", "2.2", "--flow", "360", "--outlet-pipe", "149"}), ExitStatus::Invalid,
         "--outlet-pipe 149: the pipe is narrower than the valve"},
        {Water("size", {"--p2", "2.2", "--flow", "360", "--pipe", "200", "--outlet-pipe", "250"}), ExitStatus::Invalid,
         "--pipe gives both pipes: not with --inlet-pipe or --outlet-pipe"},
        {Water("size", {"--p2", "2.2", "--flow", "360", "--inlet-pipe", "250", "--pipe", "200"}), ExitStatus::Invalid,
         "--pipe gives both pipes: not with --inlet-pipe or --outlet-pipe"},
        {Water("size", {"--p2", "2.2", "--flow", "360", "--vapour-pressure", "7"}), ExitStatus::Invalid,
         "--vapour-pressure 7: the value must be below the upstream pressure (--p1 6.8)"},
        {Water("size", {"--p2", "2.2", "--flow", "360", "--critical-pressure", "0.5"}), ExitStatus::Invalid,
         "--vapour-pressure 0.701: the vapour pressure must be below the critical pressure (--critical-pressure 0.5)"},
        {Water("size", {"--p2", "2.2", "--flow", "360", "--xt", "0.5"}), ExitStatus::Invalid, "--xt is for a gas"},
        {Water("size", {"--p2", "2.2"}), ExitStatus::Invalid, "--flow is needed"},
        {Water("size", {"--p2", "2.2", "--flow", "360", "--kv", "3"}), ExitStatus::Invalid,
         "--kv does not go with valve size"},
        {Water("flow", {"--p2", "2.2"}), ExitStatus::Invalid, "valve flow needs one of --kv and --cv"},
        {Water("flow", {"--p2", "2.2", "--kv", "0"}), ExitStatus::Invalid, "--kv 0: the value must be above 0"},
        {Water("size", {"--p2", "2.2", "--flow", "360", "--trim", "half"}), ExitStatus::Invalid,
         "--trim takes full or reduced, not 'half'"},
        {[] {
             std::vector<std::string> a = Water("size", {"--p2", "2.2", "--flow", "360"});
             a.insert(a.end(), {"--p2", "3"});
             return a;
         }(),
         ExitStatus::Invalid, "--p2 is given twice"},
        {Water("dp", {"--flow", "3600", "--kv", "164.995"}), ExitStatus::Refused,
         "The valve cannot pass this flow: choked, it passes at most 374.267 m\u00b3/h."},
        {Water("size", {"--p2", "6.75", "--flow", "360", "--size", "50", "--pipe", "300"}), ExitStatus::Refused,
         "No valve passes this flow: the reducers alone take more than the pressure drop."},
        {CarbonDioxide("size", {"--p2", "3.1", "--normal-flow", "3800", "--xt", "1"}), ExitStatus::Invalid,
         "--xt 1: xT must be above 0 and below 1"},
        {CarbonDioxide("size", {"--p2", "3.1", "--normal-flow", "3800", "--gamma", "1"}), ExitStatus::Invalid,
         "--gamma 1: the specific heat ratio must be above 1"},
        {CarbonDioxide("size", {"--p2", "3.1", "--normal-flow", "3800", "--temperature", "-300"}), ExitStatus::Invalid,
         "--temperature -300: the temperature must be above -273.15 \u00b0C"},
        {CarbonDioxide("size", {"--p2", "3.1", "--normal-flow", "3800", "--z", "0"}), ExitStatus::Invalid,
         "--z 0: the value must be above 0"},
        {CarbonDioxide("size", {"--p2", "3.1"}), ExitStatus::Invalid,
         "a gas's flow is one of --flow, --mass-flow, --normal-flow and --standard-flow"},
        {CarbonDioxide("size", {"--p2", "3.1", "--normal-flow", "3800", "--mass-flow", "5"}), ExitStatus::Invalid,
         "a gas's flow is one of"},
        {CarbonDioxide("size", {"--p2", "3.1", "--normal-flow", "3800", "--density", "5"}), ExitStatus::Invalid,
         "--density is for a liquid"},
        {CarbonDioxide("flow", {"--p2", "3.1", "--kv", "70", "--flow-as", "mols"}), ExitStatus::Invalid,
         "--flow-as takes mass, actual, normal or standard, not 'mols'"},
        {{"valve", "size", "--gas", "--liquid"}, ExitStatus::Invalid, "valve needs one of --liquid and --gas"},
        {{"valve", "weigh", "--gas"}, ExitStatus::Invalid, "valve takes size, flow or dp first, not 'weigh'"},
        {{"valve", "size", "--colour", "red"}, ExitStatus::Invalid, "unknown option --colour for valve"},
        {{"valve", "size", "--p1"}, ExitStatus::Invalid, "--p1 needs BAR_A"},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli(c.args);
        std::string words;
        for (const std::string& w : c.args) words += w + " ";
        EXPECT_EQ(r.status, c.status) << words << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << words << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

// valve size --sheet: the case handed to the drawer as the dialog would
// show it, written whole; never over a data-base file, never without the
// views, and its title block only with it.
TEST(ValveCommand, SheetOfTheCase) {
    const std::string dir = ::testing::TempDir();
    const std::string out = dir + "/valve-sheet.pdf", stock = dir + "/CorvaneFluidsO.dat";
    std::ofstream(stock) << "10\tWater\n";
    std::vector<CalculationSheet> drawn;
    ValveSheetPlace place{[&](const CalculationSheet& s) -> std::optional<std::string> {
                              drawn.push_back(s);
                              return std::string("%PDF-1.4 sheet");
                          },
                          "2026-01-02", {{stock, "the stock fluid file"}}};
    std::ostringstream o, e;
    auto args = CarbonDioxide("size", {"--p2", "3.1", "--normal-flow", "3800", "--sheet", out, "--title", "Plant 7"});
    args.erase(args.begin());
    ASSERT_EQ(RunValveCommand(args, o, e, Locale{}, place), ExitStatus::Ok) << e.str();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].date, "2026-01-02");
    EXPECT_NE(drawn[0].pageHeading.find("Project Plant 7"), std::string::npos);
    std::ifstream written(out);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), "%PDF-1.4 sheet");
    EXPECT_TRUE(o.str().empty());
    struct Case {
        std::vector<std::string> more;
        bool withDrawer;
        std::string message;
    };
    const Case refused[] = {
        {{"--sheet", stock}, true, "is the stock fluid file " + stock + " itself"},
        {{"--sheet", ""}, true, "--sheet needs the name of the file"},
        {{"--sheet", out}, false, "--sheet needs corvane-sheet"},
        {{"--sheet", out, "--json"}, true, "--sheet goes without --json"},
        {{"--title", "T"}, true, "--title goes with --sheet"},
    };
    for (const Case& c : refused) {
        std::vector<std::string> more{"--p2", "3.1", "--normal-flow", "3800"};
        more.insert(more.end(), c.more.begin(), c.more.end());
        auto words = CarbonDioxide("size", more);
        words.erase(words.begin());
        std::ostringstream o2, e2;
        ValveSheetPlace p = place;
        if (!c.withDrawer) p.drawer = nullptr;
        EXPECT_EQ(RunValveCommand(words, o2, e2, Locale{}, p), ExitStatus::Invalid) << c.message;
        EXPECT_NE(e2.str().find(c.message), std::string::npos) << e2.str();
    }
    EXPECT_EQ(drawn.size(), 1u);
}

}  // namespace
}  // namespace corvane
