// When a write reaches the disk: a new file is flushed before it is renamed
// over the old one, and its folder after; an addition is flushed before it
// returns.  This test program wraps the C library's fsync and rename to
// record the calls (every other test passes through them unrecorded).

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

#include "logic/io/FileIo.h"

namespace {

std::vector<std::string>* recorded = nullptr;

std::string PathOf(int fd) {
    char target[4096];
    const ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : "?";
}

}  // namespace

extern "C" int fsync(int fd) {
    if (recorded) recorded->push_back("fsync " + PathOf(fd));
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

extern "C" int rename(const char* from, const char* to) noexcept {
    if (recorded) recorded->push_back(std::string("rename ") + from + " " + to);
    return ::renameat(AT_FDCWD, from, AT_FDCWD, to);
}

namespace corvane {
namespace {

namespace fs = std::filesystem;

class FlushOrder : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("corvane-flush-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        dir_ = fs::canonical(dir_);
        file_ = (dir_ / "user.dat").string();
        std::ofstream(file_, std::ios::binary) << "old\r\n";
        recorded = &calls_;
    }
    void TearDown() override {
        recorded = nullptr;
        fs::remove_all(dir_);
    }
    fs::path dir_;
    std::string file_;
    std::vector<std::string> calls_;
};

TEST_F(FlushOrder, ANewFileIsOnTheDiskBeforeItTakesTheOldOnesPlace) {
    ASSERT_FALSE(WriteFileAtomically(file_, "new\r\n"));
    const std::string temporary = file_ + ".corvane-new-" + std::to_string(::getpid());
    EXPECT_EQ(calls_, (std::vector<std::string>{"fsync " + temporary, "rename " + temporary + " " + file_,
                                                "fsync " + dir_.string()}));
}

TEST_F(FlushOrder, AnAdditionIsOnTheDiskBeforeItReturns) {
    ASSERT_FALSE(AppendLine(file_, "added\r\n"));
    EXPECT_EQ(calls_, (std::vector<std::string>{"fsync " + file_}));
}

}  // namespace
}  // namespace corvane
