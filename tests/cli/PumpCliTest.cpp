// corvane-cli --pump: the operating point of a pump on each file's pipe
// run, as the analysis window's pump model gives it.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/Cli.h"
#include "logic/model/panels/PanelFile.h"
#include "logic/model/pumps/PumpModel.h"

namespace corvane {
namespace {

using nlohmann::json;
const std::string kExamples = CORVANE_EXAMPLES;

struct CliRun {
    ExitStatus status;
    std::string out, err;
};
CliRun Cli(const std::vector<std::string>& args, const Locale& locale = Locale{}) {
    std::ostringstream out, err;
    const ExitStatus status = RunCli(args, out, err, locale);
    return {status, out.str(), err.str()};
}

// The example's panel, loaded as the batch tool loads it.
PanelModel Loaded(const std::string& name, const Locale& locale = Locale{}) {
    const PanelFileBytes file = ReadPanelFile(kExamples + "/" + name);
    PanelModel panel(*PanelKindOfHeader(PanelFileReader(*file.bytes).next()), locale);
    EXPECT_FALSE(LoadPanelFile(panel, *file.bytes));
    return panel;
}

TEST(CliPump, JsonHoldsTheModelsNumbers) {
    const CliRun r = Cli({"--json", "--pump", "0:20,100:15,200:5", "--speed", "1.1", "--efficiency", "65",
                       kExamples + "/pressure-drop.PW1", kExamples + "/length.PW4"});
    ASSERT_EQ(r.status, ExitStatus::Ok) << r.err;
    const json all = json::parse(r.out);
    ASSERT_EQ(all.size(), 2u);
    const PumpEntry entry{{{0, 20}, {100, 15}, {200, 5}}, 1.1, 65.0};
    for (const json& file : all) {
        const std::string name = file["file"].get<std::string>().substr(kExamples.size() + 1);
        const PumpOnPanel expected = SolvePumpOnPanel(Loaded(name), entry);
        ASSERT_FALSE(expected.refusal);
        const json& p = file["pump"];
        EXPECT_EQ(p["status"], "ok");
        EXPECT_EQ(p["flow"].get<double>(), expected.flow) << name;
        EXPECT_EQ(p["head"].get<double>(), expected.head);
        EXPECT_EQ(p["velocity"].get<double>(), expected.velocity);
        EXPECT_EQ(p["reynolds"].get<double>(), expected.reynolds);
        EXPECT_EQ(p["flow_type"], expected.flowType);
        EXPECT_EQ(p["fluid_power_w"].get<double>(), expected.fluidPowerW);
        EXPECT_EQ(p["shaft_power_w"].get<double>(), *expected.shaftPowerW);
    }
    // The length panel's pump runs on its calculated length: another point.
    EXPECT_NE(all[0]["pump"]["flow"], all[1]["pump"]["flow"]);
}

TEST(CliPump, NoEfficiencyGivesNoShaftPowerAndNoPumpNoKey) {
    const CliRun r = Cli({"--json", "--pump", "100:30", kExamples + "/flow.PW2"});
    ASSERT_EQ(r.status, ExitStatus::Ok) << r.err;
    EXPECT_TRUE(json::parse(r.out)[0]["pump"]["shaft_power_w"].is_null());
    const CliRun plain = Cli({"--json", kExamples + "/flow.PW2"});
    EXPECT_FALSE(json::parse(plain.out)[0].contains("pump"));
}

TEST(CliPump, TextModePrintsTheRowsAfterTheReport) {
    const CliRun r = Cli({"--pump", "100:30", kExamples + "/pressure-drop.PW1"});
    ASSERT_EQ(r.status, ExitStatus::Ok) << r.err;
    const PanelModel panel = Loaded("pressure-drop.PW1");
    const auto rows = PumpResultRows(panel, SolvePumpOnPanel(panel, {{{100, 30}}, 1.0, std::nullopt}));
    std::string expected = "Pump operating point\n";
    for (const PumpRow& row : rows)
        expected += row.caption + "\t" + row.value + (row.unit.empty() ? "" : "\t" + row.unit) + "\n";
    ASSERT_GE(r.out.size(), expected.size());
    EXPECT_EQ(r.out.substr(r.out.size() - expected.size()), expected);
    EXPECT_NE(r.out.find("Flow\t"), std::string::npos);
    EXPECT_EQ(r.err, "");
}

TEST(CliPump, RefusalsAreReportedPerFile) {
    // A gas file, and a weak pump that still moves the example's water.
    const CliRun r = Cli({"--json", "--pump", "100:0.001", kExamples + "/air-pressure-drop.PW1",
                       kExamples + "/pressure-drop.PW1"});
    EXPECT_EQ(r.status, ExitStatus::Refused);
    const json all = json::parse(r.out);
    EXPECT_EQ(all[0]["status"], "ok");  // the panel itself calculated
    EXPECT_EQ(all[0]["pump"]["status"], "refused");
    EXPECT_EQ(all[0]["pump"]["message"], "A pump curve is for liquids.\nThis panel is calculating a gas.");
    EXPECT_FALSE(all[0]["pump"].contains("flow"));
    EXPECT_EQ(all[1]["pump"]["status"], "ok");

    const CliRun text = Cli({"--pump", "100:30", "--speed", "-1", kExamples + "/flow.PW2"});
    EXPECT_EQ(text.status, ExitStatus::Refused);
    EXPECT_EQ(text.err, kExamples + "/flow.PW2: pump: The speed ratio must be greater than zero.\n");
    EXPECT_EQ(text.out.find("Pump operating point"), std::string::npos);

    // Points at the edges of the numbers give no "ok" without a number.
    for (const auto& [points, message] : {std::pair{"1e-320:1e-320", "The flows and heads of the pump curve are too small to calculate with."},
                                          {"1e308:10", "A flow or head of the pump curve is too large."}}) {
        const json edge = json::parse(Cli({"--json", "--pump", points, kExamples + "/pressure-drop.PW1"}).out);
        EXPECT_EQ(edge[0]["pump"]["status"], "refused") << points;
        EXPECT_EQ(edge[0]["pump"]["message"], message) << points;
    }
}

TEST(CliPump, WrongArgumentsAreRefusedBeforeAnyFile) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--pump", kExamples + "/flow.PW2"},
             {"--pump", "100", kExamples + "/flow.PW2"},
             {"--pump", "100,30", kExamples + "/flow.PW2"},
             {"--pump", "100:30", "--speed", "fast", kExamples + "/flow.PW2"},
             {"--pump", "100:30", "--efficiency"},
             {"--speed", "1", kExamples + "/flow.PW2"},
             {"--efficiency", "70", kExamples + "/flow.PW2"}}) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.status, ExitStatus::Invalid) << args[0] << " " << args[1];
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err, "");
    }
}

}  // namespace
}  // namespace corvane
