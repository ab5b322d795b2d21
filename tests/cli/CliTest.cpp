// corvane-cli: the examples, broken files, statuses and output formats.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <map>
#include <random>
#include <sstream>
#include <variant>

#include "cli/Cli.h"
#include "tests/cli/CliRun.h"
#include "logic/model/panels/PanelFile.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/text/LocaleNames.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kExamples = CORVANE_EXAMPLES;

// The panel files of examples/ (beside them: pipe runs, RunCliTest).
bool IsPanelFile(const fs::path& p) { return p.extension().string().rfind(".PW", 0) == 0; }

TEST(CliExamples, EveryExampleCalculates) {
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(kExamples))
        if (IsPanelFile(e.path())) files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 6u);
    std::vector<std::string> args = {"--json"};
    args.insert(args.end(), files.begin(), files.end());
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, ExitStatus::Ok) << run.err;
    const json results = json::parse(run.out);
    ASSERT_EQ(results.size(), 6u);
    for (const json& r : results) {
        EXPECT_EQ(r["status"], "ok") << r["file"];
        EXPECT_EQ(r["message"], "");
    }
}

TEST(CliExamples, FieldsAreThePanelsOwnAndTheReportFollows) {
    // The examples' numbers are golden cases (GoldenPanelsTest).
    const json r = json::parse(Cli({"--json", kExamples + "/pressure-drop.PW1", kExamples + "/length.PW4"}).out);
    EXPECT_EQ(r[0]["panel"], 1);
    EXPECT_TRUE(r[0]["fields"].contains("mHd_RightEdit1"));
    EXPECT_FALSE(r[0]["fields"].contains("PipeLength_RightEdit1"));
    EXPECT_FALSE(r[1]["fields"].contains("mHd_RightEdit4"));
    EXPECT_TRUE(r[1]["fields"].contains("PipeLength_RightEdit4"));
    EXPECT_EQ(r[0]["report"].get<std::string>().substr(0, 10), "Find P.D.\n");
    EXPECT_EQ(r[1]["report"].get<std::string>().substr(0, 13), "Find LENGTH.\n");
}

TEST(CliExamples, ExamplesAreWhatThePanelsSave) {
    for (const auto& e : fs::directory_iterator(kExamples)) {
        if (!IsPanelFile(e.path())) continue;
        std::ifstream in(e.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        PanelFileReader reader(bytes);
        const auto kind = PanelKindOfHeader(reader.next());
        ASSERT_TRUE(kind) << e.path();
        PanelModel p(*kind, Locale{});
        ASSERT_FALSE(LoadPanelFile(p, bytes)) << e.path();
        EXPECT_EQ(SavePanelFile(p), bytes) << e.path();
    }
}

TEST(CliExamples, TextModeSeparatesFilesWithABlankLine) {
    const CliRun run = Cli({kExamples + "/length.PW4", kExamples + "/flow.PW2"});
    EXPECT_EQ(run.status, ExitStatus::Ok);
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
    const auto gap = run.out.find("\n\nFind FLOW.\n");
    ASSERT_NE(gap, std::string::npos);
    EXPECT_EQ(run.out.substr(0, 13), "Find LENGTH.\n");
    EXPECT_EQ(run.out.substr(run.out.size() - 12), "10.000\tm hd\n");
}

TEST(CliExamples, CommaLocaleWritesCommas) {
    const json r = json::parse(Cli({"--json", kExamples + "/pressure-drop.PW1"}, CommaLocale()).out);
    EXPECT_EQ(r[0]["status"], "ok");
    EXPECT_EQ(r[0]["fields"]["mHd_RightEdit1"], "5,831");
    EXPECT_EQ(r[0]["fields"]["IDmm_RightEdit1"], "25.000");  // as the file holds it
}

TEST_F(CliFiles, BrokenFilesAreInvalid) {
    std::string garbage(4096, '\0');
    std::mt19937 rng(7);
    for (char& c : garbage) c = static_cast<char>(rng());
    const std::string truncated = SavePanelFile(PanelModel(PanelKind::Flow, Locale{})).substr(0, 60);
    // A line just short of the 1 MB a panel file may have.
    const std::string longLine = "Corvane_Find_PD\r\nGasFalse1\r\nMetric\r\n" + std::string((1 << 20) - 64, '7') + "\r\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"empty.PW1", ""}, {"garbage.PW1", garbage}, {"long.PW1", std::string(1 << 20, 'x')},
        {"truncated.PW2", truncated}, {"longline.PW1", longLine}};
    const std::vector<std::string> messages = {
        "This file is not valid for Corvane.", "This file is not valid for Corvane.",
        "This file is not valid for Corvane.", "'' is not a valid integer value",
        "'7777777777" /* ... */};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string path = Write(cases[i].first, cases[i].second);
        const CliRun run = Cli({"--json", path});
        EXPECT_EQ(run.status, ExitStatus::Invalid) << cases[i].first;
        const json r = json::parse(run.out);
        EXPECT_EQ(r[0]["status"], "invalid") << cases[i].first;
        EXPECT_EQ(r[0]["message"].get<std::string>().substr(0, messages[i].size()), messages[i]) << cases[i].first;
        EXPECT_EQ(r[0]["file"], path);
    }
}

TEST_F(CliFiles, HeaderPicksThePanelWhateverTheName) {
    const std::string path = Write("flow-file.PW1", SavePanelFile(PanelModel(PanelKind::Flow, Locale{})));
    const json r = json::parse(Cli({"--json", path}).out);
    EXPECT_EQ(r[0]["panel"], 2);
    EXPECT_EQ(r[0]["status"], "ok");
}

TEST_F(CliFiles, UnreadableFiles) {
    CliRun run = Cli({"--json", (dir_ / "missing.PW1").string()});
    EXPECT_EQ(run.status, ExitStatus::Invalid);
    json r = json::parse(run.out);
    EXPECT_EQ(r[0]["message"], "File not found");
    EXPECT_TRUE(r[0]["panel"].is_null());
    EXPECT_TRUE(r[0]["fields"].empty());
    run = Cli({"--json", dir_.string()});
    EXPECT_EQ(run.status, ExitStatus::Invalid);
    r = json::parse(run.out);
    EXPECT_EQ(r[0]["status"], "invalid");
    EXPECT_FALSE(r[0]["message"].get<std::string>().empty());
}

TEST_F(CliFiles, RefusalGoesToStandardErrorWithStatusOne) {
    PanelModel p(PanelKind::Length, Locale{});
    p.setText(Ctl::Barg_RightEdit, "-2.000");
    const std::string path = Write("negative.PW4", SavePanelFile(p));
    CliRun run = Cli({path});
    EXPECT_EQ(run.status, ExitStatus::Refused);
    EXPECT_EQ(run.err, path + ": The pressure is too low.\n");
    EXPECT_EQ(run.out.substr(0, 13), "Find LENGTH.\n");  // the report with empty results
    PanelModel q(PanelKind::Flow, Locale{});
    q.setText(Ctl::ElevationChange_RightEdit, "12");
    const std::string rise = Write("rise.PW2", SavePanelFile(q));
    const json r = json::parse(Cli({"--json", rise}).out);
    EXPECT_EQ(r[0]["status"], "refused");
    EXPECT_EQ(r[0]["message"],
              "The available pressure is too low.\nIncrease the available pressure or reduce the elevation change");
    EXPECT_EQ(r[0]["fields"]["FlowrateLMin_RightEdit2"], "");
}

TEST_F(CliFiles, WorstStatusWins) {
    PanelModel p(PanelKind::Length, Locale{});
    p.setText(Ctl::Barg_RightEdit, "-2.000");
    const std::string refused = Write("negative.PW4", SavePanelFile(p));
    const std::string invalid = Write("empty.PW1", "");
    EXPECT_EQ(Cli({refused, kExamples + "/flow.PW2"}).status, ExitStatus::Refused);
    EXPECT_EQ(Cli({refused, invalid, kExamples + "/flow.PW2"}).status, ExitStatus::Invalid);
    const CliRun run = Cli({invalid, kExamples + "/flow.PW2"});
    EXPECT_EQ(run.err, invalid + ": This file is not valid for Corvane.\n");
    EXPECT_EQ(run.out.substr(0, 11), "Find FLOW.\n");
}

TEST(CliArguments, UsageAndOptions) {
    CliRun run = Cli({});
    EXPECT_EQ(run.status, ExitStatus::Invalid);
    EXPECT_EQ(run.err.substr(0, 36), "usage: corvane-cli [--json] FILE...\n");
    run = Cli({"--help"});
    EXPECT_EQ(run.status, ExitStatus::Ok);
    EXPECT_EQ(run.out.substr(0, 36), "usage: corvane-cli [--json] FILE...\n");
    run = Cli({"--xml", "a.PW1"});
    EXPECT_EQ(run.status, ExitStatus::Invalid);
    EXPECT_NE(run.err.find("unknown option --xml"), std::string::npos);
    run = Cli({"--json"});
    EXPECT_EQ(run.status, ExitStatus::Invalid);
    run = Cli({"--", "--json"});  // a file named --json
    EXPECT_EQ(run.status, ExitStatus::Invalid);
    EXPECT_EQ(run.err, "--json: File not found\n");
}

TEST(CliArguments, ExitStatusesAreTheDocumentedNumbers) {
    // The shell sees these: 0 all calculated, 1 some refused, 2 some invalid.
    EXPECT_EQ(static_cast<int>(ExitStatus::Ok), 0);
    EXPECT_EQ(static_cast<int>(ExitStatus::Refused), 1);
    EXPECT_EQ(static_cast<int>(ExitStatus::Invalid), 2);
}

TEST(CliJson, InvalidUtf8InAPathIsReplacedNotFatal) {
    BatchResult r;
    r.file = "bad\xff.PW1";
    const json parsed = json::parse(ResultsToJson({r}));
    EXPECT_EQ(parsed[0]["file"], "bad\xef\xbf\xbd.PW1");
}

TEST(LocaleNames, SeparatorAndUsEnglishFromPosixNames) {
    EXPECT_EQ(LocaleFromPosixName("C").decimalSeparator, '.');
    EXPECT_EQ(LocaleFromPosixName("POSIX").decimalSeparator, '.');
    EXPECT_EQ(LocaleFromPosixName("de_DE.UTF-8").decimalSeparator, ',');
    EXPECT_EQ(LocaleFromPosixName("de_CH.UTF-8").decimalSeparator, '.');
    EXPECT_EQ(LocaleFromPosixName("fr_FR@euro").decimalSeparator, ',');
    EXPECT_EQ(LocaleFromPosixName("en_GB.UTF-8").decimalSeparator, '.');
    EXPECT_FALSE(LocaleFromPosixName("en_GB.UTF-8").usEnglish);
    EXPECT_TRUE(LocaleFromPosixName("en_US.UTF-8").usEnglish);
    EXPECT_TRUE(LocaleFromPosixName("en_CA").usEnglish);
    EXPECT_EQ(LocaleFromPosixName("fr_CA.UTF-8").decimalSeparator, ',');
    EXPECT_FALSE(LocaleFromPosixName("fr_CA.UTF-8").usEnglish);
    EXPECT_EQ(LocaleFromPosixName("").decimalSeparator, '.');
}

TEST(LocaleNames, EnvironmentOrder) {
    std::map<std::string, std::string> env = {{"LANG", "de_DE.UTF-8"}, {"LC_NUMERIC", "en_US.UTF-8"}, {"LC_ALL", ""}};
    auto get = [&](const char* n) -> const char* {
        const auto it = env.find(n);
        return it == env.end() ? nullptr : it->second.c_str();
    };
    EXPECT_TRUE(LocaleFromEnvironment(get).usEnglish);
    env["LC_ALL"] = "nl_NL";
    EXPECT_EQ(LocaleFromEnvironment(get).decimalSeparator, ',');
    env.clear();
    EXPECT_EQ(LocaleFromEnvironment(get).decimalSeparator, '.');
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

TEST(CliSweep, FlowOfThePressureDropExample) {
    const CliRun run = Cli({"--sweep", "VisibleFlowrateLMin_RightEdit1=50:150:3", kExamples + "/pressure-drop.PW1"});
    EXPECT_EQ(run.status, ExitStatus::Ok) << run.err;
    EXPECT_EQ(run.out,
              "VisibleFlowrateLMin_RightEdit1,FlowType_RightEdit1,ReynoldsNumber_RightEdit1,FrictionFactor_RightEdit1,"
              "MSec_RightEdit1,mHd_RightEdit1,message\n"
              "50.000000,Turbulent,42272,0.026,1.698,1.549,\n"
              "100.000000,Turbulent,84544,0.025,3.395,5.831,\n"
              "150.000000,Turbulent,126817,0.024,5.093,12.814,\n");
}

TEST(CliSweep, RefusedStepsGiveTheirMessage) {
    const CliRun run = Cli({"--sweep", "ElevationChange_RightEdit2=8:12:2", kExamples + "/flow.PW2"});
    EXPECT_EQ(run.status, ExitStatus::Refused);
    EXPECT_NE(run.out.find("8.000000,57.225,"), std::string::npos);
    EXPECT_NE(run.out.find("12.000000,,,,,,The available pressure is too low. Increase the available pressure or "
                           "reduce the elevation change\n"),
              std::string::npos);
}

TEST(CliSweep, GasColumnsAndCommaLocale) {
    const CliRun run = Cli({"--sweep", "Barg_RightEdit3=6:7:2", kExamples + "/air-diameter.PW3"}, CommaLocale());
    EXPECT_EQ(run.status, ExitStatus::Ok) << run.err;
    EXPECT_NE(run.out.find(",ExitFlowBarLabel3,message\n"), std::string::npos);
    EXPECT_EQ(run.out.substr(run.out.find('\n') + 1, 12), "\"6,000000\",T");  // quoted: it holds a comma
    EXPECT_EQ(CsvField("a\"b"), "\"a\"\"b\"");
    EXPECT_EQ(CsvField("plain"), "plain");
}

TEST(CliSweep, ParsesTheEntryTheRangeAndTheSteps) {
    const Sweep s = std::get<Sweep>(ParseSweep("IDmm_RightEdit1=10:50:5"));
    EXPECT_EQ(s.entry, "IDmm_RightEdit1");
    EXPECT_EQ(s.from, 10);
    EXPECT_EQ(s.to, 50);
    EXPECT_EQ(s.steps, 5);
    EXPECT_EQ(s.valueAt(0), 10);
    EXPECT_EQ(s.valueAt(1), 20);
    EXPECT_EQ(s.valueAt(4), 50);
    const Sweep down = std::get<Sweep>(ParseSweep("Barg_RightEdit3=-1.5:0.5e1:1"));
    EXPECT_EQ(down.from, -1.5);
    EXPECT_EQ(down.to, 5);
    EXPECT_EQ(down.valueAt(0), -1.5);  // one step: FROM alone
    EXPECT_EQ(std::get<Sweep>(ParseSweep("a=0:1:100000")).steps, 100000);
    for (const char* bad : {"IDmm_RightEdit1", "a=1:2", "a:1=2:3", "a=x:2:3", "a=1:y:3", "a=1:2:0", "a=1:2:100001",
                            "a=1:2:2.5"})
        EXPECT_TRUE(std::holds_alternative<std::string>(ParseSweep(bad))) << bad;
    EXPECT_EQ(std::get<std::string>(ParseSweep("a=1:2")), "a sweep is NAME=FROM:TO:STEPS, not a=1:2");
}

TEST(CliSweep, BadSweeps) {
    const std::string file = kExamples + "/length.PW4";
    for (const char* argument : {"IDmm_RightEdit4", "IDmm_RightEdit4=1:2", "IDmm_RightEdit4=a:2:3", "IDmm_RightEdit4=1:2:0"}) {
        const CliRun run = Cli({"--sweep", argument, file});
        EXPECT_EQ(run.status, ExitStatus::Invalid) << argument;
        EXPECT_NE(run.err.find("NAME=FROM:TO:STEPS"), std::string::npos) << argument;
    }
    CliRun run = Cli({"--sweep", "LengthM_RightEdit4=1:2:2", file});  // panel 4 has no length entry
    EXPECT_EQ(run.status, ExitStatus::Invalid);
    EXPECT_EQ(run.err, "corvane-cli: LengthM_RightEdit4 is not an entry of panel 4\n");
    run = Cli({"--sweep", "IDmm_RightEdit4=1:2:2", file, "extra"});
    EXPECT_EQ(run.status, ExitStatus::Invalid);
    run = Cli({"--sweep", "IDmm_RightEdit4=1:2:2", kExamples + "/missing.PW4"});
    EXPECT_EQ(run.status, ExitStatus::Invalid);
    EXPECT_NE(run.err.find("File not found"), std::string::npos);
    run = Cli({"--sweep", "IDmm_RightEdit4=20:30:1", file});
    EXPECT_EQ(run.status, ExitStatus::Ok);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2);
}

}  // namespace
}  // namespace corvane
