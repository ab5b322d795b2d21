// The golden cases through corvane-cli: each case saved as a panel file and
// calculated by the batch tool, and the shipped example of a case as well;
// the JSON holds every result field as the panel shows it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <unistd.h>

#include "cli/Cli.h"
#include "logic/model/panels/PanelFile.h"
#include "tests/GoldenPanels.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test::GoldenCase;

class CliGolden : public ::testing::TestWithParam<GoldenCase> {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("corvane-golden-" + std::to_string(::getpid()) + "-" + GetParam().name);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The JSON result of the batch tool on one file.
    static json Run(const std::string& path, const Locale& locale, ExitStatus expected) {
        std::ostringstream out, err;
        EXPECT_EQ(RunCli({"--json", path}, out, err, locale), expected) << err.str();
        return json::parse(out.str()).at(0);
    }

    static void ExpectResults(const json& r, const GoldenCase& c) {
        std::string message = c.message;
        for (char& ch : message)
            if (ch == '\r') ch = '\n';
        EXPECT_EQ(r["panel"], PanelDigit(c.kind));
        EXPECT_EQ(r["status"], c.message.empty() ? "ok" : "refused");
        EXPECT_EQ(r["message"], message);
        for (const auto& [ctl, text] : c.shown) {
            const std::string name = CtlName(ctl, c.kind);
            EXPECT_EQ(r["fields"][name], text) << name;
        }
    }

    fs::path dir_;
};

TEST_P(CliGolden, SavedCaseCalculates) {
    const GoldenCase& c = GetParam();
    PanelModel panel(c.kind, c.locale);
    test::EnterGoldenCase(panel, c);
    const fs::path path = dir_ / ("case.PW" + std::to_string(PanelDigit(c.kind)));
    std::ofstream(path, std::ios::binary) << SavePanelFile(panel);
    ExpectResults(Run(path.string(), c.locale, c.message.empty() ? ExitStatus::Ok : ExitStatus::Refused), c);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliGolden, ::testing::ValuesIn(test::LoadGoldenCases()), test::GoldenCaseName);

using CliGoldenExample = CliGolden;

TEST_P(CliGoldenExample, ShippedExampleCalculates) {
    const GoldenCase& c = GetParam();
    ExpectResults(Run(std::string(CORVANE_EXAMPLES) + "/" + c.example, c.locale, ExitStatus::Ok), c);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliGoldenExample,
                         ::testing::ValuesIn(test::GoldenCasesWhere([](const GoldenCase& c) { return !c.example.empty(); })),
                         test::GoldenCaseName);

TEST(CliGoldenExamples, EveryExampleIsAGoldenCase) {
    std::set<std::string> covered;
    for (const GoldenCase& c : test::LoadGoldenCases())
        if (!c.example.empty()) covered.insert(c.example);
    for (const auto& e : fs::directory_iterator(CORVANE_EXAMPLES))
        if (e.path().extension() != ".cvrun") EXPECT_TRUE(covered.count(e.path().filename().string())) << e.path();
}

}  // namespace
}  // namespace corvane
