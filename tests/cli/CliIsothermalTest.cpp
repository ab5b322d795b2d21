// corvane-cli: the isothermal second opinion in the JSON.

#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/Cli.h"
#include "logic/model/PanelFile.h"
#include "logic/model/PanelModel.h"
#include "logic/model/SecondOpinion.h"

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
    // The same numbers as the model's comparison of the same file.
    for (int i = 0; i < 2; ++i) {
        const std::string file = r[i]["file"];
        const PanelFileBytes bytes = ReadPanelFile(file);
        ASSERT_TRUE(bytes.bytes);
        const auto kind = PanelKindOfHeader(PanelFileReader(*bytes.bytes).next());
        PanelModel p(*kind, Locale{});
        ASSERT_FALSE(LoadPanelFile(p, *bytes.bytes));
        ASSERT_FALSE(p.calculate());
        const auto c = CompareIsothermal(p);
        ASSERT_TRUE(c && !c->fault);
        const auto& iso = r[i]["isothermal"];
        ASSERT_TRUE(iso.is_object()) << file;
        EXPECT_EQ(iso.size(), 2u);
        EXPECT_TRUE(iso[c->jsonKey].is_number_float());
        EXPECT_DOUBLE_EQ(iso[c->jsonKey].get<double>(), c->isothermalValue);
        EXPECT_DOUBLE_EQ(iso["difference_percent"].get<double>(), c->differencePercent);
    }
    EXPECT_TRUE(r[0]["isothermal"].contains("pressure_drop_bar"));
    EXPECT_TRUE(r[1]["isothermal"].contains("diameter_mm"));
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
