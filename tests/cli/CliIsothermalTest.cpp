// corvane-cli: the isothermal second opinion in the JSON.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/Cli.h"
#include "logic/model/analysis/SecondOpinion.h"
#include "logic/model/panels/PanelFile.h"
#include "logic/model/panels/PanelModel.h"
#include "tests/IsothermalCases.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kExamples = CORVANE_EXAMPLES;

TEST(CliIsothermal, GasResultsCarryTheIsothermalAnswerAsNumbers) {
    std::ostringstream out, err;
    ASSERT_EQ(RunCli({"--json", kExamples + "/air-pressure-drop.PW1", kExamples + "/air-diameter.PW3",
                      kExamples + "/flow.PW2"},
                     out, err, Locale{}),
              ExitStatus::Ok);
    const auto r = nlohmann::ordered_json::parse(out.str());
    ASSERT_EQ(r.size(), 3u);
    // The answers python3-fluids gives for the two examples
    // (tests/data/isothermal_cases.csv).
    const test::IsothermalCase drop = test::IsothermalCaseNamed("example PW1");
    const test::IsothermalCase diameter = test::IsothermalCaseNamed("example PW3");
    const auto& a = r[0]["isothermal"];
    ASSERT_TRUE(a.is_object());
    EXPECT_EQ(a.size(), 2u);
    ASSERT_TRUE(a["pressure_drop_bar"].is_number_float());
    EXPECT_NEAR(a["pressure_drop_bar"].get<double>(), drop.isothermal, drop.isothermal * 1e-7);
    EXPECT_NEAR(a["difference_percent"].get<double>(), *drop.differencePercent, 1e-5);
    const auto& b = r[1]["isothermal"];
    ASSERT_TRUE(b.is_object());
    EXPECT_EQ(b.size(), 2u);
    ASSERT_TRUE(b["diameter_mm"].is_number_float());
    EXPECT_NEAR(b["diameter_mm"].get<double>(), diameter.isothermal, diameter.isothermal * 1e-7);
    EXPECT_TRUE(b["difference_percent"].is_number_float());
    // A liquid has none, and its keys are the ones it always had.
    EXPECT_FALSE(r[2].contains("isothermal"));
    std::vector<std::string> keys;
    for (auto it = r[2].begin(); it != r[2].end(); ++it) keys.push_back(it.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"file", "panel", "status", "message", "fields", "report"}));
}

TEST(CliIsothermal, AChokedGasSaysSoWithNulls) {
    PanelModel p(PanelKind::PressureDrop, Locale{});
    p.useFluid({"Air", "20\u00b0C (68\u00b0F)", "15.100000", "1.204700", true});
    p.setText(Ctl::Barg_RightEdit, "7.000");
    p.setText(Ctl::IDmm_RightEdit, "10.0000");
    p.setText(Ctl::LengthM_RightEdit, "10.000");
    p.setText(Ctl::VisibleFlowrateLMin_RightEdit, "2250.000");
    const BatchResult r = RunPanelFileBytes("choked.PW1", SavePanelFile(p), Locale{});
    ASSERT_EQ(r.status, ExitStatus::Ok);
    const json j = json::parse(ResultsToJson({r}));
    EXPECT_TRUE(j[0]["isothermal"]["pressure_drop_bar"].is_null());
    EXPECT_TRUE(j[0]["isothermal"]["difference_percent"].is_null());
    EXPECT_EQ(j[0]["isothermal"]["fault"], "choked");
}

}  // namespace
}  // namespace corvane
