#pragma once
// corvane-cli tests: the program run in-process on its own output streams,
// and a fixture with a temporary folder of files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace corvane {

struct CliRun {
    ExitStatus status;
    std::string out;
    std::string err;
};

inline CliRun Cli(std::vector<std::string> args, const Locale& locale = Locale{}) {
    std::ostringstream out, err;
    const ExitStatus status = RunCli(args, out, err, locale);
    return {status, out.str(), err.str()};
}

class CliFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("corvane-cli-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::filesystem::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    std::filesystem::path dir_;
};

}  // namespace corvane
