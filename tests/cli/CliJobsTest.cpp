// corvane-cli -j N: files calculated on several threads, printed in the
// order given, streaming with a bounded number of files in flight.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "cli/Cli.h"
#include "tests/cli/CliRun.h"
#include "tests/RandomPanels.h"

namespace corvane {
namespace {

class CliJobs : public CliFiles {
protected:
    std::string PathOf(std::size_t i) const { return (dir_ / ("f" + std::to_string(i) + ".PW1")).string(); }
    void WriteAt(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

    // `count` varied panel files, with a missing, an invalid and a refused
    // file among them.
    std::vector<std::string> VariedFiles(std::size_t count, const Locale& locale) {
        std::mt19937 rng(15);
        std::vector<std::string> files;
        for (std::size_t i = 0; i < count; ++i) {
            files.push_back(PathOf(i));
            if (i % 97 == 13) continue;  // never written: "File not found"
            WriteAt(files.back(), i % 89 == 7 ? std::string("not a panel file") : RandomPanelFile(rng, locale));
        }
        return files;
    }
};

TEST_F(CliJobs, OutputIsByteIdenticalToOneThread) {
    for (const Locale& locale : {Locale{}, CommaLocale()}) {
        const std::vector<std::string> files = VariedFiles(400, locale);
        for (const char* mode : {"--json", "--"}) {
            std::vector<std::string> args = {mode, "-j", "1"};
            if (std::string(mode) == "--") args = {"-j", "1", "--"};
            args.insert(args.end(), files.begin(), files.end());
            const CliRun one = Cli(args, locale);
            EXPECT_EQ(one.status, ExitStatus::Invalid);
            for (const char* jobs : {"2", "3", "8"}) {
                args[std::string(mode) == "--" ? 1 : 2] = jobs;
                const CliRun many = Cli(args, locale);
                EXPECT_EQ(many.status, one.status) << mode << " -j " << jobs;
                EXPECT_EQ(many.out, one.out) << mode << " -j " << jobs;
                EXPECT_EQ(many.err, one.err) << mode << " -j " << jobs;
            }
        }
    }
}

TEST_F(CliJobs, JsonIsTheArrayOfEachFileCalculatedAlone) {
    const std::vector<std::string> files = VariedFiles(150, Locale{});
    std::vector<BatchResult> alone;
    int refused = 0;
    for (const std::string& f : files) {
        alone.push_back(RunPanelFile(f, Locale{}));
        refused += alone.back().status == ExitStatus::Refused;
    }
    EXPECT_GT(refused, 0);  // the varied set holds refusals as well
    std::vector<std::string> args = {"--json", "-j4"};
    args.insert(args.end(), files.begin(), files.end());
    EXPECT_EQ(Cli(args).out, ResultsToJson(alone));
}

TEST_F(CliJobs, ResultsComeInOrderAndFilesAreReadOnlyWithinTheWindow) {
    // Only the files a bounded window may read exist at the start; each
    // result handed over creates the file that the window reaches next.  A
    // runner that read ahead further, or held results back, would find a
    // file missing.
    constexpr int kJobs = 3;
    const std::size_t window = kJobs * kFilesInFlightPerJob;
    const std::size_t count = 200;
    const std::string bytes = SavePanelFile(PanelModel(PanelKind::Length, Locale{}));
    std::vector<std::string> files;
    for (std::size_t i = 0; i < count; ++i) files.push_back(PathOf(i));
    for (std::size_t i = 0; i < window; ++i) WriteAt(files[i], bytes);

    std::vector<std::string> order;
    RunPanelFilesInOrder(files, kJobs, Locale{}, nullptr, [&](const BatchResult& r) {
        const std::size_t i = order.size();
        order.push_back(r.file);
        EXPECT_EQ(r.status, ExitStatus::Ok) << r.file << ": " << r.message;
        if (i + window < count) WriteAt(files[i + window], bytes);
    });
    EXPECT_EQ(order, files);
}

TEST_F(CliJobs, MoreThreadsThanFilesAndNoFiles) {
    const std::vector<std::string> files = VariedFiles(3, Locale{});
    std::vector<std::string> seen;
    RunPanelFilesInOrder(files, 64, Locale{}, nullptr, [&](const BatchResult& r) { seen.push_back(r.file); });
    EXPECT_EQ(seen, files);
    RunPanelFilesInOrder({}, 4, Locale{}, nullptr, [&](const BatchResult&) { ADD_FAILURE() << "no file, no result"; });
}

TEST(CliJobsArguments, TheNumberOfThreads) {
    EXPECT_GE(DefaultJobs(), 1);
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"-j"}, {"-j", "0"}, {"-j", "x", "a.PW1"}, {"-j0", "a.PW1"},
                                               {"-j", "1025", "a.PW1"}, {"-j-2", "a.PW1"}}) {
        const CliRun run = Cli(bad);
        EXPECT_EQ(run.status, ExitStatus::Invalid) << bad[0];
        EXPECT_NE(run.err.find("-j"), std::string::npos) << bad[0];
        EXPECT_EQ(run.out, "");
    }
    const std::string example = std::string(CORVANE_EXAMPLES) + "/pressure-drop.PW1";
    EXPECT_EQ(Cli({"-j", "2", example}).out, Cli({example}).out);
    EXPECT_EQ(Cli({"-j2", "--json", example}).out, Cli({"--json", example}).out);
    // After "--" a -j is a file name.
    EXPECT_EQ(Cli({"--", "-j"}).err, "-j: File not found\n");
}

}  // namespace
}  // namespace corvane
