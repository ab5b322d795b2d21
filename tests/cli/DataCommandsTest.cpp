// corvane-cli data: the data bases from a script, with the dialogs' rules;
// and the batch run streaming its results.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli/Cli.h"
#include "logic/model/pumps/PumpLibrary.h"
#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/model/panels/PanelFile.h"
#include "logic/model/panels/PanelModel.h"
#include "logic/model/data/PipeDatabaseModel.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct DataRun {
    int status;
    std::string out;
    std::string err;
};

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

class Data : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("corvane-data-test-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        std::ofstream(dir_ / kFluidStockFile, std::ios::binary)
            << "10\tWater\t20\xb0" "C (68\xb0" "F)\t1.004000\t0.998000\r\n20\tAir\t20\xb0" "C (68\xb0" "F)\t15.100000\t1.204700\r\n";
        std::ofstream(dir_ / kPipeStockFile, std::ios::binary) << "10\tSteel\t1\"\t26.645\t1.049\r\n";
    }
    void TearDown() override { fs::remove_all(dir_); }

    DataRun Cmd(std::vector<std::string> words, const Locale& locale = Locale{}) {
        std::vector<std::string> args = {"data"};
        args.insert(args.end(), words.begin(), words.end());
        args.push_back("--data-dir");
        args.push_back(dir_.string());
        std::ostringstream out, err;
        const int status = static_cast<int>(RunCli(args, out, err, locale));
        return {status, out.str(), err.str()};
    }
    std::string User(const char* name) const { return ReadBytes(dir_ / name); }

    fs::path dir_;
};

TEST_F(Data, AddAFluidAsTheDialogWritesIt) {
    const DataRun r = Cmd({"add", "fluid", "Oil", "15\u00b0C", "46", "0.87"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(User(kFluidUserFile), "11\tOil\t15\xb0" "C\t46.000000\t0.870000\r\n");
    const DataRun gas = Cmd({"add", "fluid", "Propane", "20\u00b0C", "4.3", "1.88", "--gas"});
    EXPECT_EQ(gas.status, 0) << gas.err;
    EXPECT_NE(User(kFluidUserFile).find("21\tPropane\t20\xb0" "C\t4.300000\t1.880000\r\n"), std::string::npos);
}

TEST_F(Data, ADuplicateIsRefusedWithTheDialogsMessage) {
    ASSERT_EQ(Cmd({"add", "fluid", "Oil", "15C", "46", "0.87"}).status, 0);
    const DataRun again = Cmd({"add", "fluid", " Oil ", "15C", "46.000000", "0.870000"});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err, "Entry already exists.\n");
    const DataRun stock = Cmd({"add", "fluid", "Water", "20\u00b0C (68\u00b0F)", "1.004000", "0.998000"});
    EXPECT_EQ(stock.status, 1);
    EXPECT_EQ(User(kFluidUserFile), "11\tOil\t15C\t46.000000\t0.870000\r\n");
}

TEST_F(Data, WhatADataFileCannotHoldIsRefused) {
    EXPECT_EQ(Cmd({"add", "fluid", "Tab\there", "15C", "46", "0.87"}).status, 1);
    EXPECT_EQ(Cmd({"add", "fluid", "Line\nbreak", "15C", "46", "0.87"}).status, 1);
    EXPECT_EQ(Cmd({"add", "fluid", "Snow \u2603", "15C", "46", "0.87"}).status, 1);
    const DataRun zero = Cmd({"add", "fluid", "Oil", "15C", "0", "0.87"});
    EXPECT_EQ(zero.status, 1);
    EXPECT_EQ(zero.err, "The viscosity must be at least 0.000001, the smallest value the data file holds (6 decimals).\n");
    EXPECT_EQ(Cmd({"add", "fluid", "Oil", "15C", "-4", "0.87"}).err, "The viscosity cannot be negative.\n");
    EXPECT_EQ(Cmd({"add", "pipe", "PVC", "1/2", "1e20"}).status, 1);
    EXPECT_EQ(Cmd({"add", "fluid", "Oil", "15C", "4", "1e3"}).status, 1);
    EXPECT_EQ(Cmd({"add", "pipe", "PVC", "1/2", "x"}).status, 1);
    EXPECT_FALSE(fs::exists(dir_ / kFluidUserFile));
    EXPECT_FALSE(fs::exists(dir_ / kPipeUserFile));
}

TEST_F(Data, TheUsersDecimalMarkIsWritten) {
    const Locale comma{',', false};
    EXPECT_EQ(Cmd({"add", "fluid", "Oil", "15C", "46.5", "0,87"}, comma).status, 0);
    EXPECT_EQ(User(kFluidUserFile), "11\tOil\t15C\t46,500000\t0,870000\r\n");
}

TEST_F(Data, ListShowsEveryRowWithItsOrigin) {
    ASSERT_EQ(Cmd({"add", "fluid", "Oil", "15C", "46", "0.87"}).status, 0);
    const DataRun text = Cmd({"list", "fluids"});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out,
              "stock\tliquid\tWater\t20\u00b0C (68\u00b0F)\t1.004000\t0.998000\n"
              "stock\tgas\tAir\t20\u00b0C (68\u00b0F)\t15.100000\t1.204700\n"
              "user\tliquid\tOil\t15C\t46.000000\t0.870000\n");
    const json j = json::parse(Cmd({"list", "fluids", "--json"}).out);
    ASSERT_EQ(j.size(), 3u);
    EXPECT_EQ(j[2]["origin"], "user");
    EXPECT_EQ(j[2]["group"], "liquid");
    EXPECT_EQ(j[2]["name"], "Oil");
    EXPECT_EQ(j[1]["group"], "gas");  // a stock gas
    EXPECT_EQ(j[1]["density"], "1.204700");
    ASSERT_EQ(Cmd({"add", "pipe", "PVC", "1/2", "13.1"}).status, 0);
    const json pipes = json::parse(Cmd({"list", "pipes", "--json"}).out);
    ASSERT_EQ(pipes.size(), 2u);
    EXPECT_EQ(pipes[0]["origin"], "user");  // user rows come first, as in the dialog
    EXPECT_EQ(pipes[0]["inch"], "0.516");
    EXPECT_EQ(pipes[1]["type"], "Steel");
}

// A hand-made user file with more rows than the dialog's table: the list
// shows what the dialog shows, the table's rows in loading order and no more.
TEST_F(Data, ListStopsWhereTheDialogsTableIsFull) {
    struct Case {
        const char* list;
        const char* userFile;
        const char* row;
        std::size_t slots;
        std::size_t stockRows;  // loaded before the user's (fluids) or 0 (pipes: user first)
    };
    for (const Case& c : {Case{"fluids", kFluidUserFile, "11\tOil\t%zu\t1.000000\t1.000000\r\n", kFluidSlots, 2},
                          Case{"pipes", kPipeUserFile, "11\tPVC\t%zu\t1.000\t0.039\r\n", kPipeSlots, 0}}) {
        SCOPED_TRACE(c.list);
        std::ofstream user(dir_ / c.userFile, std::ios::binary);
        char line[80];
        for (std::size_t i = 0; i < c.slots + 3; ++i) {
            std::snprintf(line, sizeof line, c.row, i);
            user << line;
        }
        user.close();
        const json j = json::parse(Cmd({"list", c.list, "--json"}).out);
        ASSERT_EQ(j.size(), c.slots);
        EXPECT_EQ(j.back()["origin"], "user");
        EXPECT_EQ(j.back()[c.stockRows ? "temperature" : "nominal"], std::to_string(c.slots - c.stockRows - 1));
    }
}

TEST_F(Data, AddAndRemoveAPipe) {
    const DataRun add = Cmd({"add", "pipe", "PVC", "1/2", "13.1"});
    EXPECT_EQ(add.status, 0) << add.err;
    EXPECT_EQ(User(kPipeUserFile), "11\tPVC\t1/2\t13.100\t0.516\r\n");
    // The same pipe typed with fewer decimals is the same entry.
    EXPECT_EQ(Cmd({"add", "pipe", "PVC", "1/2", "13.1"}).status, 1);
    EXPECT_EQ(Cmd({"add", "pipe", "PVC", "1/2", "13.10000"}).status, 1);
    const DataRun stock = Cmd({"remove", "pipe", "Steel", "1\""});
    EXPECT_EQ(stock.status, 1);
    EXPECT_NE(stock.err.find("only those can be removed"), std::string::npos);
    EXPECT_EQ(Cmd({"remove", "pipe", "PVC", "3/4"}).status, 1);
    const DataRun remove = Cmd({"remove", "pipe", "PVC", "1/2"});
    EXPECT_EQ(remove.status, 0) << remove.err;
    EXPECT_EQ(User(kPipeUserFile), "");
}

TEST_F(Data, RemoveAFluidKeepsEveryOtherLine) {
    std::ofstream(dir_ / kFluidUserFile, std::ios::binary)
        << "11\tA\t1\t1.000000\t1.000000\r\nnot a row\r\n21\tB\t2\t2.000000\t2.000000\r\n11\tC\t3\t3.000000\t3.000000";
    const DataRun r = Cmd({"remove", "fluid", "B", "2"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(User(kFluidUserFile), "11\tA\t1\t1.000000\t1.000000\r\nnot a row\r\n11\tC\t3\t3.000000\t3.000000");
    const DataRun missing = Cmd({"remove", "fluid", "B", "2"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "corvane-cli: no fluid B 2 in the list\n");
    EXPECT_EQ(Cmd({"remove", "fluid", "Water", "20\u00b0C (68\u00b0F)"}).status, 1);
}

TEST_F(Data, AFileProblemIsStatusTwo) {
    std::ofstream(dir_ / kFluidUserFile, std::ios::binary) << "11\tA\t1\t1.000000\t1.000000\r\n";
    ::chmod((dir_ / kFluidUserFile).c_str(), 0444);
    const DataRun add = Cmd({"add", "fluid", "B", "2", "2", "2"});
    EXPECT_EQ(add.status, 2);
    EXPECT_EQ(add.err, "The entry could not be added to the user data file.\n" + (dir_ / kFluidUserFile).string() +
                           ": File is read-only\nMake the file writable to change it.\n");
    const DataRun remove = Cmd({"remove", "fluid", "A", "1"});
    EXPECT_EQ(remove.status, 2);
    EXPECT_NE(remove.err.find(": File is read-only\n"), std::string::npos);
    EXPECT_EQ(User(kFluidUserFile), "11\tA\t1\t1.000000\t1.000000\r\n");
    fs::remove(dir_ / kFluidUserFile);
    ::mkfifo((dir_ / kFluidUserFile).c_str(), 0644);
    EXPECT_EQ(Cmd({"list", "fluids"}).status, 2);
}

TEST_F(Data, AGarbageBackupIsReportedOnceAndKeptAside) {
    std::ofstream(dir_ / kFluidUserFile, std::ios::binary) << "11\tA\t1\t1.000000\t1.000000\r\n";
    std::ofstream(dir_ / kFluidBackupFile, std::ios::binary) << std::string(4096, '\0');
    const DataRun first = Cmd({"list", "fluids"});
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.err.rfind("corvane-cli: The backup " + (dir_ / kFluidBackupFile).string() +
                                  " of an interrupted removal held lines that are not data rows.\nNone of it was merged; "
                                  "it was kept as " + (dir_ / kFluidBackupFile).string() + "-",
                              0),
              0u)
        << first.err;
    EXPECT_EQ(User(kFluidUserFile), "11\tA\t1\t1.000000\t1.000000\r\n");
    EXPECT_EQ(Cmd({"list", "fluids"}).err, "");
}

TEST_F(Data, UsageMistakesAreStatusTwo) {
    EXPECT_EQ(Cmd({"add", "fluid", "Oil"}).status, 2);
    EXPECT_EQ(Cmd({"list", "gases"}).status, 2);
    EXPECT_EQ(Cmd({"frobnicate"}).status, 2);
    // An option the command does not use is refused, not passed by.
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {"add", "pipe", "PVC", "1/2", "13.1", "--gas"},
             {"list", "fluids", "--gas"},
             {"remove", "fluid", "Oil", "15C", "--gas"},
             {"add", "fluid", "Oil", "15C", "46", "0.87", "--json"},
             {"remove", "pump", "A", "--json"}}) {
        const DataRun r = Cmd(words);
        EXPECT_EQ(r.status, 2) << words[0] << " " << words.back();
        EXPECT_EQ(r.err.rfind("corvane-cli: --", 0), 0u) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir_ / kFluidUserFile));
    std::ostringstream out, err;
    EXPECT_EQ(RunCli({"data", "--help"}, out, err, Locale{}), ExitStatus::Ok);
    EXPECT_NE(out.str().find("corvane-cli data add fluid NAME TEMPERATURE VISCOSITY DENSITY [--gas]"),
              std::string::npos);
}

// No success for a failure of the place: a --data-dir that is not a folder
// (never made), stock files missing there, a data folder made from an
// XDG_DATA_HOME that names a file.
TEST_F(Data, AFolderThatIsNotThereIsSaid) {
    auto run = [](std::vector<std::string> args, const DataCommandPlace& place = {}) {
        std::ostringstream out, err;
        const int status = static_cast<int>(RunCli(args, out, err, Locale{}, place));
        return DataRun{status, out.str(), err.str()};
    };
    const std::string missing = (dir_ / "no" / "dir").string();
    const DataRun none = run({"data", "add", "pump", "A", "100:10", "--data-dir", missing});
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err, "corvane-cli: --data-dir " + missing + ": no such folder\n");
    EXPECT_FALSE(fs::exists(dir_ / "no"));
    EXPECT_EQ(run({"data", "list", "pumps", "--data-dir="}).err, "corvane-cli: --data-dir needs a folder\n");
    fs::remove(dir_ / kFluidStockFile);
    const DataRun stock = Cmd({"list", "fluids"});
    EXPECT_EQ(stock.status, 2);
    EXPECT_EQ(stock.err, "corvane-cli: " + (dir_ / kFluidStockFile).string() +
                             ": File not found\nCheck the file's name and folder.\n");

    const fs::path program = dir_ / "program";
    fs::create_directories(program);
    fs::copy_file(dir_ / kPipeStockFile, program / kPipeStockFile);
    fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);  // an installed program's folder
    const std::string xdg = (dir_ / kPipeStockFile).string();                  // a file, not a folder
    DataCommandPlace place{program.string(), [&](const char* name) { return std::string(name) == "XDG_DATA_HOME" ? xdg.c_str() : nullptr; }};
    const DataRun file = run({"data", "add", "pipe", "PVC", "1/2", "13.1"}, place);
    fs::permissions(program, fs::perms::owner_all);
    EXPECT_EQ(file.status, 2);
    EXPECT_NE(file.err.find("is made from XDG_DATA_HOME=" + xdg + ": set XDG_DATA_HOME to a folder"), std::string::npos)
        << file.err;
}

// ---------------------------------------------------------------- the program

const std::string kCli = CORVANE_CLI;

// Runs the program; its exit status and its peak memory in kB.
std::pair<int, long> RunProgram(const std::vector<std::string>& args, const fs::path& out) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(60);
        // Under AddressSanitizer freed memory waits in a quarantine of up to
        // 256 MB before it is used again; that is not the program's memory.
        const char* asan = std::getenv("ASAN_OPTIONS");
        const std::string options = std::string(asan ? asan : "") + (asan && *asan ? ":" : "") + "quarantine_size_mb=0";
        ::setenv("ASAN_OPTIONS", options.c_str(), 1);
        const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, 1);
        ::dup2(fd, 2);
        std::vector<char*> argv = {const_cast<char*>(kCli.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(kCli.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss};
}

TEST_F(Data, AFifoIsInvalidAtOnce) {
    ::mkfifo((dir_ / "f.PW1").c_str(), 0644);
    const auto [status, memory] = RunProgram({(dir_ / "f.PW1").string()}, dir_ / "out");
    EXPECT_EQ(status, 2);
    EXPECT_EQ(ReadBytes(dir_ / "out"), (dir_ / "f.PW1").string() + ": This is a FIFO, not a file\n");
    (void)memory;
}

// Many large files: on one thread the peak memory is the same for 4 files
// as for 40; on two threads it grows by no more than the eight files two
// threads may have in flight, however many files follow.
TEST_F(Data, MemoryDoesNotGrowWithTheNumberOfFiles) {
    PanelModel panel(PanelKind::PressureDrop, Locale{});
    std::string bytes = SavePanelFile(panel);
    // The fluid name (line 16) near the size limit of a panel file.
    std::size_t start = 0;
    for (int line = 1; line < 16; ++line) start = bytes.find("\r\n", start) + 2;
    const std::size_t end = bytes.find("\r\n", start);
    bytes.replace(start, end - start, std::string(kMaxPanelFileBytes - bytes.size() - 64, 'n'));
    ASSERT_LE(bytes.size(), kMaxPanelFileBytes);
    std::ofstream(dir_ / "big.PW1", std::ios::binary) << bytes;
    for (const bool json : {false, true}) {
        std::vector<std::string> few = {"-j", "1"};
        if (json) few.push_back("--json");
        std::vector<std::string> many = few;
        std::vector<std::string> manyOnTwo = few;
        manyOnTwo[1] = "2";
        for (int i = 0; i < 4; ++i) few.push_back((dir_ / "big.PW1").string());
        for (int i = 0; i < 40; ++i) {
            many.push_back((dir_ / "big.PW1").string());
            manyOnTwo.push_back((dir_ / "big.PW1").string());
        }
        const auto [fewStatus, fewMemory] = RunProgram(few, dir_ / "few");
        const auto [manyStatus, manyMemory] = RunProgram(many, dir_ / "many");
        const auto [twoStatus, twoMemory] = RunProgram(manyOnTwo, dir_ / "two");
        EXPECT_EQ(fewStatus, 0);
        EXPECT_EQ(manyStatus, 0);
        EXPECT_EQ(twoStatus, 0);
        // 36 more results of more than 1 MB each would be 36 MB and more.
        EXPECT_LT(manyMemory - fewMemory, 12 * 1024) << json << " " << fewMemory << " kB, " << manyMemory << " kB";
        // Eight results in flight hold up to about 3 MB each here; all 40
        // would be 120 MB and more.
        EXPECT_LT(twoMemory - fewMemory, 12 * 1024 + 8 * 3 * 1024) << json << " " << fewMemory << " kB, " << twoMemory
                                                                     << " kB";
        if (json) EXPECT_EQ(json::parse(std::ifstream(dir_ / "many")).size(), 40u);
        if (json) EXPECT_EQ(json::parse(std::ifstream(dir_ / "two")).size(), 40u);
    }
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

TEST_F(Data, PumpsAreAddedListedAndRemovedAsTheLibraryKeepsThem) {
    EXPECT_EQ(Cmd({"add", "pump", "Pump A", "0:20,100:15,200:5"}).status, 0);
    EXPECT_EQ(Cmd({"add", "pump", "B", "120.5:30"}).status, 0);
    EXPECT_EQ(ReadBytes(dir_ / kPumpUserFile), "Pump A\t0\t20\t100\t15\t200\t5\r\nB\t120.5\t30\r\n");
    const DataRun list = Cmd({"list", "pumps"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "user\tPump A\t0:20\t100:15\t200:5\nuser\tB\t120.5:30\n");
    const auto json = nlohmann::json::parse(Cmd({"list", "pumps", "--json"}).out);
    ASSERT_EQ(json.size(), 2u);
    EXPECT_EQ(json[1]["name"], "B");
    EXPECT_EQ(json[1]["points"][0]["flow_lmin"], 120.5);
    EXPECT_EQ(json[1]["points"][0]["head_m"], 30.0);

    EXPECT_EQ(Cmd({"remove", "pump", "Pump A"}).status, 0);
    EXPECT_EQ(ReadBytes(dir_ / kPumpUserFile), "B\t120.5\t30\r\n");
}

TEST_F(Data, PumpsThatCannotBeKeptAreRefused) {
    ASSERT_EQ(Cmd({"add", "pump", "A", "100:30"}).status, 0);
    const std::string before = ReadBytes(dir_ / kPumpUserFile);
    const DataRun duplicate = Cmd({"add", "pump", "A", "50:10"});
    EXPECT_EQ(duplicate.status, 1);
    EXPECT_EQ(duplicate.err, "Entry already exists.\n");
    const DataRun rising = Cmd({"add", "pump", "C", "0:10,100:12"});
    EXPECT_EQ(rising.status, 1);
    EXPECT_EQ(rising.err, "The heads of the pump curve must not rise as the flow increases.\n");
    EXPECT_EQ(Cmd({"add", "pump", "C", "100"}).status, 1);
    EXPECT_EQ(Cmd({"add", "pump", "Tab\tname", "100:3"}).status, 1);
    const DataRun missing = Cmd({"remove", "pump", "Nobody"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "There is no pump \"Nobody\" in the user's pump file.\n");
    EXPECT_EQ(ReadBytes(dir_ / kPumpUserFile), before);
    EXPECT_EQ(Cmd({"add", "pump", "A"}).status, 2);  // a command that cannot be understood
    EXPECT_EQ(Cmd({"list", "pump"}).status, 2);
}

}  // namespace
}  // namespace corvane
