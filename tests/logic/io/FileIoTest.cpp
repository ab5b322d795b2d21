// The file module and the data files on what a careful user may have on
// disk: files of any size, FIFOs, links, permissions, read-only folders,
// garbage left where a backup should be, temporaries of killed writers.

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <pwd.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "logic/io/DataFiles.h"
#include "logic/io/FileIo.h"
#include "logic/io/FileLock.h"
#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/model/data/PipeDatabaseModel.h"
#include "logic/model/panels/PanelFile.h"
#include "logic/text/Cp1252.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void WriteBytes(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

mode_t ModeOf(const fs::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 07777;
}

// Runs `check` in a child process, as the unprivileged user "nobody" when
// the tests run as root (root passes every permission check, so a test of
// what a user may not do must not run as root), with an alarm so that a
// hang fails instead of stopping the suite.  True when `check` returned
// true.
bool InChild(const std::function<bool()>& check, bool asUser = false, unsigned seconds = 20) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(seconds);
        if (asUser && ::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (!nobody || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0) ::_exit(3);
        }
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("corvane-io-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        // Reachable by the unprivileged user of InChild.
        fs::permissions(dir_, fs::perms::all);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::all);
        fs::remove_all(dir_);
    }

    fs::path Path(const std::string& name) const { return dir_ / name; }
    DataFiles Fluids() const { return DataFiles(dir_.string(), kFluidStockFile, kFluidUserFile, kFluidBackupFile); }
    std::vector<fs::path> Leftovers() const {
        std::vector<fs::path> found;
        for (const auto& e : fs::directory_iterator(dir_))
            if (e.path().filename().string().find(".corvane-new-") != std::string::npos) found.push_back(e.path());
        return found;
    }

    fs::path dir_;
};

std::string FluidLine(int i) {
    return "11\tFluid " + std::to_string(i) + "\t20\xb0" "C\t" + std::to_string(i % 97 + 1) + ".000000\t0.998000\r\n";
}

// ---------------------------------------------------------------- size

// A user file far larger than anything read whole: removing one line keeps
// every other line, byte for byte, beyond the rows the program loads.
TEST_F(Files, RemovalFromA70MegabyteUserFileKeepsEveryOtherLine) {
    std::string bytes;
    bytes.reserve(72u << 20);
    int n = 0;
    while (bytes.size() < (70u << 20)) bytes += FluidLine(n++);
    bytes += "a line the program cannot parse\r\n";
    bytes += "11\tLast\t1\t1\t1";  // no line end
    WriteBytes(Path(kFluidUserFile), bytes);
    const std::string gone = FluidLine(1234);

    DataFiles files = Fluids();
    ASSERT_FALSE(files.removeFirst(Cp1252ToUtf8(gone.substr(0, gone.size() - 2))));
    std::string expected = bytes;
    expected.erase(expected.find(gone), gone.size());
    const std::string after = ReadBytes(Path(kFluidUserFile));
    EXPECT_EQ(after.size(), expected.size());
    EXPECT_TRUE(after == expected);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(Files, StaleBackupBesideA70MegabyteUserFileIsMergedWhole) {
    std::string bytes;
    int n = 0;
    while (bytes.size() < (70u << 20)) bytes += FluidLine(n++);
    WriteBytes(Path(kFluidUserFile), bytes);
    WriteBytes(Path(kFluidBackupFile), FluidLine(5) + "11\tOnly in the backup\t1\t1\t1\r\n");
    ASSERT_FALSE(Fluids().recover());
    const std::string after = ReadBytes(Path(kFluidUserFile));
    // The backup's lines first, then every other line of the user file.
    std::string expected = FluidLine(5) + "11\tOnly in the backup\t1\t1\t1\r\n" + bytes;
    expected.erase(expected.find(FluidLine(5), 10), FluidLine(5).size());
    EXPECT_EQ(after.size(), expected.size());
    EXPECT_TRUE(after == expected);
    EXPECT_FALSE(fs::exists(Path(kFluidBackupFile)));
}

TEST_F(Files, AddingToALargeUserFileAppendsAndListsWhatFits) {
    std::string bytes;
    int n = 0;
    while (bytes.size() < (3u << 20)) bytes += FluidLine(n++);
    WriteBytes(Path(kFluidUserFile), bytes);
    DataFiles files = Fluids();
    ASSERT_FALSE(files.append("11\tNew\t1\t1.000000\t1.000000"));
    EXPECT_TRUE(ReadBytes(Path(kFluidUserFile)) == bytes + "11\tNew\t1\t1.000000\t1.000000\r\n");
    FluidDatabaseModel m(Fluids(), Locale{});
    EXPECT_FALSE(m.load());
    EXPECT_EQ(m.table().used(), kFluidSlots);
}

TEST_F(Files, APanelFileOverOneMegabyteIsNotValidAndNeverCut) {
    PanelModel panel(PanelKind::PressureDrop, Locale{});
    std::string bytes = SavePanelFile(panel);
    bytes += std::string(2u << 20, ' ');
    WriteBytes(Path("big.PW1"), bytes);
    const PanelFileBytes read = ReadPanelFile(Path("big.PW1").string());
    EXPECT_FALSE(read.bytes);
    EXPECT_EQ(read.message, "This file is not valid for Corvane.");
    const FileRead whole = ReadWholeFile(Path("big.PW1").string(), bytes.size());
    ASSERT_TRUE(whole.bytes);
    EXPECT_EQ(whole.bytes->size(), bytes.size());
    const FileRead refused = ReadWholeFile(Path("big.PW1").string(), bytes.size() - 1);
    EXPECT_FALSE(refused.bytes);
    EXPECT_EQ(refused.error, "File too large");
}

// A file is read whole whatever its size says: empty, one byte, across the
// read buffer, and files whose size is not their length (those of /proc
// say 0).
TEST_F(Files, AFileIsReadWholeWhateverItsSizeSays) {
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{217}, std::size_t{65535},
                                   std::size_t{65536}, std::size_t{65537}, std::size_t{300001}}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 26);
        WriteBytes(Path("f"), bytes);
        const FileRead read = ReadWholeFile(Path("f").string(), 1u << 20);
        ASSERT_TRUE(read.bytes) << size;
        EXPECT_TRUE(*read.bytes == bytes) << size;
    }
    const FileRead status = ReadWholeFile("/proc/self/status", 1u << 20);
    ASSERT_TRUE(status.bytes);
    EXPECT_NE(status.bytes->find("Name:"), std::string::npos);
    EXPECT_NE(status.bytes->find("VmRSS:"), std::string::npos);  // well past the first bytes
}

// ---------------------------------------------------------------- kinds of file

TEST_F(Files, AFifoIsRefusedAtOnce) {
    ASSERT_EQ(::mkfifo(Path("f.PW1").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(Path(kFluidUserFile).c_str(), 0644), 0);
    const std::string fifo = Path("f.PW1").string();
    EXPECT_TRUE(InChild([&] {
        const PanelFileBytes read = ReadPanelFile(fifo);
        return !read.bytes && read.message == "This is a FIFO, not a file";
    }));
    EXPECT_TRUE(InChild([&] {
        FluidDatabaseModel m(Fluids(), Locale{});
        const auto problem = m.load();
        return problem && problem->find(Path(kFluidUserFile).string() + ": This is a FIFO, not a file") == 0;
    }));
    EXPECT_TRUE(InChild([&] {
        const auto failure = WriteFileAtomically(fifo, "x");
        return failure && FileErrorText(*failure) == "This is a FIFO, not a file";
    }));
    EXPECT_TRUE(InChild([&] {
        DataFiles files = Fluids();
        const auto problem = files.append("11\tA\t1\t1\t1");
        return problem && problem->find("This is a FIFO, not a file") != std::string::npos;
    }));
    EXPECT_TRUE(fs::is_fifo(Path(kFluidUserFile)));
}

TEST_F(Files, AnUnreadableUserFileLeavesTheStockRowsListed) {
    WriteBytes(Path(kFluidStockFile), "10\tWater\t20\t1.004000\t0.998000\r\n20\tAir\t20\t15.100000\t1.204700\r\n");
    fs::create_directories(Path(kFluidUserFile));
    FluidDatabaseModel m(Fluids(), Locale{});
    const auto problem = m.load();
    ASSERT_TRUE(problem);
    EXPECT_EQ(*problem, Path(kFluidUserFile).string() +
                            ": This is a folder, not a file\rCorvane reads and writes regular files only.");
    EXPECT_EQ(m.table().used(), 2u);
}

TEST_F(Files, AFolderOrADeviceIsNamedForWhatItIs) {
    fs::create_directories(Path("folder.PW2"));
    EXPECT_EQ(ReadPanelFile(Path("folder.PW2").string()).message, "This is a folder, not a file");
    EXPECT_EQ(ReadPanelFile("/dev/zero").message, "This is a device, not a file");
    EXPECT_EQ(ReadPanelFile(Path("missing.PW2").string()).message, "File not found");
}

TEST_F(Files, ALoopOfLinksIsCalledALoop) {
    fs::create_symlink(Path("b"), Path("a"));
    fs::create_symlink(Path("a"), Path("b"));
    EXPECT_EQ(ReadPanelFile(Path("a").string()).message, "The symbolic links of this name form a loop");
    const auto failure = WriteFileAtomically(Path("a").string(), "x");
    ASSERT_TRUE(failure);
    EXPECT_EQ(FileProblem(*failure), Path("a").string() +
                                         ": The symbolic links of this name form a loop\r"
                                         "Remove or correct the link that points back.");
}

// ---------------------------------------------------------------- garbage backups

TEST_F(Files, ARandomBackupIsKeptAsideNotMerged) {
    const std::string user = "11\tA\t1\t1.000000\t1.000000\r\n";
    WriteBytes(Path(kFluidUserFile), user);
    std::string garbage(4096, '\0');
    std::mt19937 rng(13);
    for (char& c : garbage) c = static_cast<char>(rng());
    WriteBytes(Path(kFluidBackupFile), garbage);

    FluidDatabaseModel m(Fluids(), Locale{});
    const auto notice = m.load();
    ASSERT_TRUE(notice);
    EXPECT_NE(notice->find("held lines that are not data rows"), std::string::npos) << *notice;
    EXPECT_EQ(ReadBytes(Path(kFluidUserFile)), user);
    EXPECT_FALSE(fs::exists(Path(kFluidBackupFile)));
    // Kept aside under a dated name, byte for byte; told once.
    std::vector<fs::path> aside;
    for (const auto& e : fs::directory_iterator(dir_))
        if (e.path().filename().string().rfind(std::string(kFluidBackupFile) + "-", 0) == 0) aside.push_back(e.path());
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(ReadBytes(aside[0]), garbage);
    EXPECT_FALSE(FluidDatabaseModel(Fluids(), Locale{}).load());
}

TEST_F(Files, ABackupOfNulBytesAddsNoLine) {
    const std::string user = "11\tPVC\t1/2\t13.100\t0.516\r\n";
    WriteBytes(Path(kPipeUserFile), user);
    WriteBytes(Path(kPipeBackupFile), std::string(4096, '\0'));
    PipeDatabaseModel m(DataFiles(dir_.string(), kPipeStockFile, kPipeUserFile, kPipeBackupFile), Locale{});
    EXPECT_TRUE(m.load());
    EXPECT_EQ(ReadBytes(Path(kPipeUserFile)), user);
    EXPECT_FALSE(fs::exists(Path(kPipeBackupFile)));
}

TEST_F(Files, OnlyTheValidRowsOfAMixedBackupAreMerged) {
    WriteBytes(Path(kFluidUserFile), "11\tA\t1\t1\t1\r\n");
    WriteBytes(Path(kFluidBackupFile),
               "11\tA\t1\t1\t1\r\n\x01\x02garbage\r\n11\tB\t2\t2\t2\r\n99\tX\t1\t1\t1\r\n11\tD\x7f\t4\t4\t4\r\n");
    const auto notice = Fluids().recover();
    ASSERT_TRUE(notice);
    EXPECT_NE(notice->find("Only its 2 data rows were merged back"), std::string::npos) << *notice;
    EXPECT_EQ(ReadBytes(Path(kFluidUserFile)), "11\tA\t1\t1\t1\r\n11\tB\t2\t2\t2\r\n");
}

// Each row of the backup takes the place of one copy of that line in the
// user file: a line the user file holds twice and the backup once stays.
TEST_F(Files, EachBackupRowReplacesOneCopyOfItsLine) {
    WriteBytes(Path(kFluidUserFile), "11\tA\t1\t1\t1\r\n11\tC\t3\t3\t3\r\n11\tA\t1\t1\t1\r\n");
    WriteBytes(Path(kFluidBackupFile), "11\tA\t1\t1\t1\r\n11\tB\t2\t2\t2\r\n");
    EXPECT_FALSE(Fluids().recover());
    EXPECT_EQ(ReadBytes(Path(kFluidUserFile)),
              "11\tA\t1\t1\t1\r\n11\tB\t2\t2\t2\r\n11\tC\t3\t3\t3\r\n11\tA\t1\t1\t1\r\n");
}

TEST_F(Files, RecoveryInAReadOnlyFolderSaysWhatHappened) {
    WriteBytes(Path(kFluidUserFile), "11\tA\t1\t1\t1\r\n");
    WriteBytes(Path(kFluidBackupFile), "11\tB\t2\t2\t2\r\n");
    ::chmod(Path(kFluidUserFile).c_str(), 0666);  // only the folder refuses
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const std::string user = Path(kFluidUserFile).string();
    const std::string backup = Path(kFluidBackupFile).string();
    EXPECT_TRUE(InChild(
        [&] {
            FluidDatabaseModel m(Fluids(), Locale{});
            const auto problem = m.load();
            // Both files are still read and listed.
            return problem &&
                   problem->find("The backup " + backup + " of an interrupted removal could not be merged back") == 0 &&
                   problem->find(user + ": The lock file " + user + ".lock cannot be made: File access denied") !=
                       std::string::npos &&
                   problem->find("could not be read") == std::string::npos && m.table().used() == 1;
        },
        true));
    EXPECT_EQ(ReadBytes(Path(kFluidBackupFile)), "11\tB\t2\t2\t2\r\n");
}

// One writer at a time: a second lock waits, and after its time gives up
// with a message that names the file; no lock file stays.
TEST_F(Files, ASecondWriterWaitsAndThenGivesUp) {
    const std::string user = Path(kFluidUserFile).string();
    FileLock first, second;
    ASSERT_FALSE(FileLock::Take(user, first));
    const auto busy = FileLock::Take(user, second, std::chrono::milliseconds(30));
    ASSERT_TRUE(busy);
    EXPECT_FALSE(second.held());
    EXPECT_EQ(FileProblem(*busy), user + ": File is being changed by another program\rAnother Corvane or corvane-cli "
                                         "kept it busy; nothing was changed. Try again when it is done.");
    first.release();
    EXPECT_FALSE(fs::exists(user + ".lock"));
    EXPECT_FALSE(FileLock::Take(user, second, std::chrono::milliseconds(30)));
    EXPECT_EQ(ReadBytes(user + ".lock"), "");
    second.release();
    EXPECT_FALSE(fs::exists(user + ".lock"));
    EXPECT_FALSE(fs::exists(user));
}

// A writer that waited on a lock file the one before it removed locks the
// new one at that name: a third still waits for it.
TEST_F(Files, AWaiterLocksTheFileThatIsAtTheNameNow) {
    const std::string user = Path(kFluidUserFile).string();
    FileLock first, second, third;
    ASSERT_FALSE(FileLock::Take(user, first));
    std::optional<FileFailure> waited;
    std::thread waiter([&] { waited = FileLock::Take(user, second, std::chrono::seconds(5)); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    first.release();
    waiter.join();
    ASSERT_FALSE(waited);
    EXPECT_TRUE(fs::exists(user + ".lock"));
    EXPECT_TRUE(FileLock::Take(user, third, std::chrono::milliseconds(30)));
    second.release();
    EXPECT_FALSE(fs::exists(user + ".lock"));
}

// A lock file left by a killed writer is not locked: the next writer takes
// it and removes it, and so does the next start of a data base.
TEST_F(Files, ALockFileOfAKilledWriterIsRemovedByTheNext) {
    const std::string user = Path(kFluidUserFile).string();
    for (const bool byStart : {false, true}) {
        ASSERT_TRUE(InChild([&] {
            static FileLock left;  // never released: the process ends holding it
            if (FileLock::Take(user, left)) return false;
            ::_exit(0);
        }));
        ASSERT_TRUE(fs::exists(user + ".lock"));
        FileLock next;
        EXPECT_FALSE(byStart ? Fluids().recover().has_value() : FileLock::Take(user, next).has_value());
        next.release();
        EXPECT_FALSE(fs::exists(user + ".lock")) << byStart;
    }
}

// What stands where the lock file should be, and a folder where it cannot
// be made, is named as the lock file's.
TEST_F(Files, ALockFileThatCannotBeMadeIsNamed) {
    const std::string user = Path(kFluidUserFile).string();
    const std::string lock = user + ".lock";
    const std::string place = "Corvane makes this file while it changes the file beside it: remove what stands in "
                              "its place. Nothing was changed.";
    const struct {
        std::function<void()> make;
        std::string text;
    } cases[] = {
        {[&] { fs::create_directory(lock); }, "This is a folder, not a file\r" + place},
        {[&] { ::mkfifo(lock.c_str(), 0644); }, "This is a FIFO, not a file\r" + place},
        {[&] { fs::create_symlink(lock, lock); }, "The symbolic links of this name form a loop\r" + place},
    };
    for (const auto& c : cases) {
        c.make();
        FileLock held;
        const auto failure = FileLock::Take(user, held, std::chrono::milliseconds(30));
        ASSERT_TRUE(failure);
        EXPECT_EQ(FileProblem(*failure), user + ": The lock file " + lock + " cannot be made: " + c.text);
        fs::remove(lock);
    }
    // A folder that takes no new file, holding a user file that may be
    // written: the lock file is what cannot be made.
    WriteBytes(user, "11\tA\t1\t1.000000\t1.000000\r\n");
    fs::permissions(user, fs::perms::all);
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    EXPECT_TRUE(InChild(
        [&] {
            const auto problem = Fluids().append("11\tB\t2\t2.000000\t2.000000");
            return problem && *problem == user + ": The lock file " + lock +
                                              " cannot be made: File access denied\rYou may not make a file in that "
                                              "folder: ask its owner, or use another folder. Nothing was changed.";
        },
        true));
}

// ---------------------------------------------------------------- permissions, links

TEST_F(Files, AReadOnlyUserFileIsNeitherAddedToNorRemovedFrom) {
    const std::string bytes = "11\tA\t1\t1\t1\r\n11\tB\t2\t2\t2\r\n";
    WriteBytes(Path(kFluidUserFile), bytes);
    fs::permissions(Path(kFluidUserFile), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    DataFiles files = Fluids();
    const auto added = files.append("11\tC\t3\t3\t3");
    const auto removed = files.removeFirst("11\tA\t1\t1\t1");
    ASSERT_TRUE(added);
    ASSERT_TRUE(removed);
    const std::string problem = Path(kFluidUserFile).string() + ": File is read-only\rMake the file writable to change it.";
    EXPECT_EQ(*added, problem);
    EXPECT_EQ(*removed, problem);
    EXPECT_EQ(ReadBytes(Path(kFluidUserFile)), bytes);
    EXPECT_EQ(ModeOf(Path(kFluidUserFile)), 0444u);
}

TEST_F(Files, ARemovalKeepsTheFileMode) {
    WriteBytes(Path(kFluidUserFile), "11\tA\t1\t1\t1\r\n11\tB\t2\t2\t2\r\n");
    ::chmod(Path(kFluidUserFile).c_str(), 0640);
    ASSERT_FALSE(Fluids().removeFirst("11\tA\t1\t1\t1"));
    EXPECT_EQ(ReadBytes(Path(kFluidUserFile)), "11\tB\t2\t2\t2\r\n");
    EXPECT_EQ(ModeOf(Path(kFluidUserFile)), 0640u);
}

TEST_F(Files, ALinkedUserFileStaysALink) {
    fs::create_directories(Path("elsewhere"));
    WriteBytes(Path("elsewhere/fluids.dat"), "11\tA\t1\t1\t1\r\n11\tB\t2\t2\t2\r\n");
    fs::create_symlink("elsewhere/fluids.dat", Path(kFluidUserFile));
    ASSERT_FALSE(Fluids().removeFirst("11\tA\t1\t1\t1"));
    EXPECT_TRUE(fs::is_symlink(Path(kFluidUserFile)));
    EXPECT_EQ(ReadBytes(Path("elsewhere/fluids.dat")), "11\tB\t2\t2\t2\r\n");
    WriteBytes(Path(kFluidBackupFile), "11\tA\t1\t1\t1\r\n11\tB\t2\t2\t2\r\n");
    ASSERT_FALSE(Fluids().recover());
    EXPECT_TRUE(fs::is_symlink(Path(kFluidUserFile)));
    EXPECT_EQ(ReadBytes(Path("elsewhere/fluids.dat")), "11\tA\t1\t1\t1\r\n11\tB\t2\t2\t2\r\n");
    ASSERT_FALSE(Fluids().append("11\tC\t3\t3\t3"));
    EXPECT_TRUE(fs::is_symlink(Path(kFluidUserFile)));
    EXPECT_EQ(ReadBytes(Path("elsewhere/fluids.dat")), "11\tA\t1\t1\t1\r\n11\tB\t2\t2\t2\r\n11\tC\t3\t3\t3\r\n");
}

TEST_F(Files, SavingAPanelOverALinkWritesItsTarget) {
    WriteBytes(Path("real.PW1"), "old");
    ::chmod(Path("real.PW1").c_str(), 0600);
    fs::create_symlink("real.PW1", Path("link.PW1"));
    const std::string bytes = SavePanelFile(PanelModel(PanelKind::PressureDrop, Locale{}));
    ASSERT_FALSE(WriteFileAtomically(Path("link.PW1").string(), bytes));
    EXPECT_TRUE(fs::is_symlink(Path("link.PW1")));
    EXPECT_EQ(ReadBytes(Path("real.PW1")), bytes);
    EXPECT_EQ(ModeOf(Path("real.PW1")), 0600u);
}

TEST_F(Files, SavingIntoAFolderThatTakesNoNewFileWritesInPlace) {
    WriteBytes(Path("panel.PW1"), std::string(5000, 'x'));  // longer than what replaces it
    ::chmod(Path("panel.PW1").c_str(), 0666);
    ::chmod(dir_.c_str(), 0555);
    const std::string bytes = SavePanelFile(PanelModel(PanelKind::PressureDrop, Locale{}));
    const std::string path = Path("panel.PW1").string();
    EXPECT_TRUE(InChild([&] { return !WriteFileAtomically(path, bytes); }, true));
    EXPECT_EQ(ReadBytes(Path("panel.PW1")), bytes);
    // A new file there is still refused, in the platform's words.
    const std::string fresh = Path("new.PW1").string();
    EXPECT_TRUE(InChild(
        [&] {
            const auto failure = WriteFileAtomically(fresh, bytes);
            return failure && FileErrorText(*failure) == "File access denied";
        },
        true));
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(Files, AReadOnlyPanelFileIsNotReplaced) {
    WriteBytes(Path("panel.PW1"), "old");
    ::chmod(Path("panel.PW1").c_str(), 0444);
    const auto failure = WriteFileAtomically(Path("panel.PW1").string(), "new");
    ASSERT_TRUE(failure);
    EXPECT_EQ(FileErrorText(*failure), "File is read-only");
    EXPECT_EQ(ReadBytes(Path("panel.PW1")), "old");
}

// ---------------------------------------------------------------- leftovers

TEST_F(Files, TemporariesOfDeadWritersAreRemovedAtStart) {
    WriteBytes(Path(kFluidUserFile), "11\tA\t1\t1\t1\r\n");
    // A process that has ended: its number is free.
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const fs::path stale = Path(std::string(kFluidUserFile) + ".corvane-new-" + std::to_string(dead));
    const fs::path living = Path(std::string(kFluidUserFile) + ".corvane-new-1");  // init never ends
    const fs::path other = Path(std::string(kFluidUserFile) + ".corvane-new-x");
    for (const auto& p : {stale, living, other}) WriteBytes(p, "half");
    FluidDatabaseModel m(Fluids(), Locale{});
    EXPECT_FALSE(m.load());
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(living));
    EXPECT_TRUE(fs::exists(other));
}

TEST_F(Files, TheFirstAddCreatesTheFileWhole) {
    DataFiles files(dir_.string(), (dir_ / "data" / "corvane").string(), kFluidStockFile, kFluidUserFile,
                    kFluidBackupFile);
    ASSERT_FALSE(files.append("11\tA\t1\t1\t1"));
    EXPECT_EQ(ReadBytes(dir_ / "data" / "corvane" / kFluidUserFile), "11\tA\t1\t1\t1\r\n");
    EXPECT_EQ(ModeOf(dir_ / "data" / "corvane") & 0077, 0u);
}

// ---------------------------------------------------------------- where user files live

TEST_F(Files, UserFilesGoToTheDataFolderWhenTheProgramFolderIsLocked) {
    auto env = [&](const char* name) -> const char* {
        static std::string xdg;
        xdg = (dir_ / "xdg").string();
        if (std::string(name) == "XDG_DATA_HOME") return xdg.c_str();
        return nullptr;
    };
    EXPECT_EQ(UserDataFolder(dir_.string(), env), dir_.string());
    fs::create_directories(Path("program"));
    ::chmod(Path("program").c_str(), 0555);
    EXPECT_EQ(UserDataFolder(Path("program").string(), env), (dir_ / "xdg").string() + "/corvane/");
    auto home = [&](const char* name) -> const char* {
        if (std::string(name) == "XDG_DATA_HOME") return "relative/ignored";
        if (std::string(name) == "HOME") return "/home/someone";
        return nullptr;
    };
    EXPECT_EQ(UserDataFolder(Path("program").string(), home), "/home/someone/.local/share/corvane/");
}

TEST_F(Files, AUserFileBesideAnInstalledProgramIsStillRead) {
    fs::create_directories(Path("program"));
    WriteBytes(Path("program") / kFluidUserFile, "11\tOld\t1\t1.000000\t1.000000\r\n");
    DataFiles files(Path("program").string(), Path("mine").string(), kFluidStockFile, kFluidUserFile,
                    kFluidBackupFile);
    ASSERT_FALSE(files.append("11\tNew\t2\t2.000000\t2.000000"));
    EXPECT_EQ(files.userLines(), (std::vector<std::string>{"11\tOld\t1\t1.000000\t1.000000",
                                                           "11\tNew\t2\t2.000000\t2.000000"}));
    EXPECT_FALSE(files.hasUserLine("11\tOld\t1\t1.000000\t1.000000"));  // not ours to remove
    EXPECT_EQ(ReadBytes(Path("program") / kFluidUserFile), "11\tOld\t1\t1.000000\t1.000000\r\n");
}

// ---------------------------------------------------------------- rewrite

TEST(Rewrite, KeepsEveryLineEndAndLongLine) {
    const fs::path p = fs::temp_directory_path() / ("corvane-rewrite-" + std::to_string(::getpid()));
    const std::string longLine(3u << 20, 'L');
    const std::string bytes = "a\r\nb\nc\rkey\r\n" + longLine + "\r\nd";
    WriteBytes(p, bytes);
    Rewrite r;
    r.longest = 1024;
    r.edit = [](std::string_view l) -> std::optional<std::string> {
        if (l == "key") return std::string();
        return std::nullopt;
    };
    r.tail = "tail\r\n";
    ASSERT_FALSE(RewriteFile(p.string(), r));
    EXPECT_TRUE(ReadBytes(p) == "a\r\nb\nc\r" + longLine + "\r\nd\r\ntail\r\n");
    // A last line ended by a lone CR keeps it.
    WriteBytes(p, "key\r\nz\r");
    r.tail.clear();
    ASSERT_FALSE(RewriteFile(p.string(), r));
    EXPECT_EQ(ReadBytes(p), "z\r");
    fs::remove(p);
}

}  // namespace
}  // namespace corvane
