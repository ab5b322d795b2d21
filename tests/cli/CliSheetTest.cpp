// corvane-cli --sheet: the calculation sheet of one panel file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Cli.h"
#include "logic/model/panels/PanelFile.h"
#include "logic/model/panels/PanelModel.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = CORVANE_EXAMPLES;

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class CliSheet : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("corvane-sheet-test-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    // A drawer that records the sheet it was given and returns its title.
    SheetDrawer Recorder() {
        return [this](const CalculationSheet& s) -> std::optional<std::string> {
            sheets_.push_back(s);
            return "PDF of " + s.title;
        };
    }
    fs::path dir_;
    std::vector<CalculationSheet> sheets_;
};

TEST_F(CliSheet, WritesTheDrawnSheetOfTheCalculatedFile) {
    std::ostringstream out, err;
    const std::string pdf = (dir_ / "sheet.pdf").string();
    EXPECT_EQ(RunCli({"--sheet", pdf, kExamples + "/flow.PW2"}, out, err, Locale{}, {}, Recorder()), ExitStatus::Ok)
        << err.str();
    ASSERT_EQ(sheets_.size(), 1u);
    EXPECT_EQ(sheets_[0].file, "flow.PW2");
    EXPECT_EQ(sheets_[0].title, "Calculation sheet \u2014 Find flow");
    EXPECT_EQ(sheets_[0].date.size(), 10u);  // 2026-12-09
    EXPECT_EQ(Read(pdf), "PDF of Calculation sheet \u2014 Find flow");
    EXPECT_EQ(out.str(), "");
}

TEST_F(CliSheet, ExitStatusesAsTheBatchTools) {
    std::ostringstream out, err;
    const std::string pdf = (dir_ / "sheet.pdf").string();
    // Refused: the panel's message, no sheet.
    PanelModel p(PanelKind::Length, Locale{});
    p.setText(Ctl::Barg_RightEdit, "-2.000");
    const std::string refused = (dir_ / "negative.PW4").string();
    std::ofstream(refused, std::ios::binary) << SavePanelFile(p);
    EXPECT_EQ(RunCli({"--sheet", pdf, refused}, out, err, Locale{}, {}, Recorder()), ExitStatus::Refused);
    EXPECT_EQ(err.str(), refused + ": The pressure is too low.\n");
    EXPECT_FALSE(fs::exists(pdf));
    // Invalid: no such file, not a panel file, a command line without OUT,
    // a drawer that fails, and a build without one.
    err.str("");
    EXPECT_EQ(RunCli({"--sheet", pdf, (dir_ / "none.PW1").string()}, out, err, Locale{}, {}, Recorder()),
              ExitStatus::Invalid);
    const std::string junk = (dir_ / "junk.PW1").string();
    std::ofstream(junk, std::ios::binary) << "hello\r\n";
    EXPECT_EQ(RunCli({"--sheet", pdf, junk}, out, err, Locale{}, {}, Recorder()), ExitStatus::Invalid);
    EXPECT_EQ(RunCli({"--sheet", kExamples + "/flow.PW2"}, out, err, Locale{}, {}, Recorder()), ExitStatus::Invalid);
    EXPECT_EQ(RunCli({"--sheet", pdf, kExamples + "/flow.PW2"}, out, err, Locale{}, {},
                     [](const CalculationSheet&) { return std::optional<std::string>(); }),
              ExitStatus::Invalid);
    EXPECT_EQ(RunCli({"--sheet", pdf, kExamples + "/flow.PW2"}, out, err, Locale{}), ExitStatus::Invalid);
    EXPECT_FALSE(fs::exists(pdf));
    // Into a folder that does not exist: invalid, with the file's error.
    err.str("");
    EXPECT_EQ(RunCli({"--sheet", (dir_ / "no" / "sheet.pdf").string(), kExamples + "/flow.PW2"}, out, err, Locale{},
                     {}, Recorder()),
              ExitStatus::Invalid);
    EXPECT_NE(err.str().find("sheet.pdf: "), std::string::npos);
}

// The sheet never overwrites the panel file it shows, by its own name, a
// symbolic link or a hard link.
TEST_F(CliSheet, NeverWritesOverItsPanelFile) {
    const fs::path panel = dir_ / "case.PW2";
    fs::copy_file(kExamples + "/flow.PW2", panel);
    const std::string before = Read(panel);
    fs::create_symlink(panel, dir_ / "link.pdf");
    fs::create_hard_link(panel, dir_ / "hard.pdf");
    for (const char* out : {"case.PW2", "link.pdf", "hard.pdf"}) {
        std::ostringstream o, err;
        EXPECT_EQ(RunCli({"--sheet", (dir_ / out).string(), panel.string()}, o, err, Locale{}, {}, Recorder()),
                  ExitStatus::Invalid)
            << out;
        EXPECT_EQ(err.str(), "corvane-cli: " + (dir_ / out).string() + " is the panel file " + panel.string() +
                                 " itself; the sheet would overwrite it: give the sheet another name\n");
        EXPECT_EQ(Read(panel), before) << out;
    }
    EXPECT_TRUE(sheets_.empty());
}

// The title block and a pump on the pipe run come from options before FILE.
TEST_F(CliSheet, TitleBlockAndPumpFromTheCommandLine) {
    std::ostringstream out, err;
    const std::string pdf = (dir_ / "sheet.pdf").string();
    const std::string file = kExamples + "/pressure-drop.PW1";
    EXPECT_EQ(RunCli({"--sheet", pdf, "--title", "Cooling loop", "--case", "P-101 at duty", "--prepared-by", "A. Engineer",
                      "--checked-by", "B. Checker", "--revision", "B", "--pump", "0:12,100:10,200:4", "--efficiency",
                      "70", file},
                     out, err, Locale{}, {}, Recorder()),
              ExitStatus::Ok)
        << err.str();
    ASSERT_EQ(sheets_.size(), 1u);
    const auto& block = sheets_[0].titleBlock;
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Project", "Cooling loop"}, {"Case", "P-101 at duty"}, {"Prepared by", "A. Engineer"},
        {"Checked by", "B. Checker"}, {"Revision", "B"},        {"Date", sheets_[0].date}};
    EXPECT_EQ(block, expected);
    EXPECT_EQ(sheets_[0].pageHeading,
              "Panel file: pressure-drop.PW1 \u2014 Project Cooling loop \u2014 case P-101 at duty \u2014 revision B");
    std::string result;
    for (const SheetBlock& b : sheets_[0].sections[3].blocks)
        for (const auto& row : b.rows) result += row[0] + "|";
    EXPECT_NE(result.find("Flow|Head|Fluid velocity|Reynolds number|Flow type|Fluid power|Shaft power|"),
              std::string::npos);

    // What the options cannot be.
    const struct {
        std::vector<std::string> args;
        const char* said;
    } wrong[] = {
        {{"--title"}, "--title needs a text of one line"},
        {{"--case", "a\nb", file}, "--case needs a text of one line"},
        {{"--pump", "12", file}, "--pump needs the pump's points"},
        {{"--speed", "0.9", file}, "--speed and --efficiency go with --pump"},
        {{"--colour", "red", file}, "unknown option --colour"},
        {{file, file}, "--sheet takes one FILE, last"},
        {{"--revision", "C"}, "--sheet needs OUT.pdf and a FILE"},
    };
    for (const auto& w : wrong) {
        const auto parsed = ParseSheetOptions(w.args);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << w.said;
        EXPECT_EQ(std::get<std::string>(parsed).rfind(w.said, 0), 0u) << std::get<std::string>(parsed);
    }
    err.str("");
    EXPECT_EQ(RunCli({"--sheet", pdf, "--colour", "red", file}, out, err, Locale{}, {}, Recorder()), ExitStatus::Invalid);
    EXPECT_EQ(err.str().rfind("corvane-cli: unknown option --colour\nusage:", 0), 0u) << err.str();
}

}  // namespace
}  // namespace corvane
