// Every input kept in tests/data/fuzz/<target>/ (the fuzzers' seeds, and
// any input that ever crashed a target) replayed through its target.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/FuzzTargets.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

void Replay(const char* target, int (*run)(const std::uint8_t*, std::size_t)) {
    const fs::path folder = fs::path(CORVANE_TEST_DATA) / "fuzz" / target;
    int replayed = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        std::ifstream in(e.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0) << e.path();
        ++replayed;
    }
    EXPECT_GT(replayed, 0) << folder;
}

TEST(FuzzRegressions, PanelFile) { Replay("panel_file", fuzz::PanelFile); }
TEST(FuzzRegressions, DataLines) { Replay("data_lines", fuzz::DataLines); }
TEST(FuzzRegressions, EntryNumber) { Replay("entry_number", fuzz::EntryNumber); }
TEST(FuzzRegressions, Fittings) { Replay("fittings", fuzz::Fittings); }
TEST(FuzzRegressions, Cli) { Replay("cli", fuzz::Cli); }
TEST(FuzzRegressions, BackupMerge) { Replay("backup_merge", fuzz::BackupMerge); }
TEST(FuzzRegressions, DataRewrite) { Replay("data_rewrite", fuzz::DataRewrite); }
TEST(FuzzRegressions, DataCommands) { Replay("data_commands", fuzz::DataCommands); }
TEST(FuzzRegressions, RunFile) { Replay("run_file", fuzz::RunFile); }

}  // namespace
}  // namespace corvane
