// The user's pump library: its lines, its rules, and a file that keeps
// every line it does not change.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/model/pumps/PumpLibrary.h"
#include "logic/model/pumps/PumpModel.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

TEST(PumpRows, WrittenAndReadBack) {
    const PumpRecord p{"Small pump \u00e9", {{0, 12}, {100, 10.5}, {200, 4}}};
    EXPECT_EQ(PumpRowLine(p), "Small pump \u00e9\t0\t12\t100\t10.5\t200\t4");
    EXPECT_EQ(ParsePumpRow(PumpRowLine(p)), p);
    const PumpRecord odd{"x", {{1.0 / 3, 0.1}}};
    EXPECT_EQ(ParsePumpRow(PumpRowLine(odd)), odd);  // the shortest text that reads back exactly
    for (const char* bad : {"", "name", "name\t1", "name\t1\t2\t3", "name\t1\tx", "\t1\t2", "name\t1\t2\t", "a\tnan\t2"})
        EXPECT_FALSE(ParsePumpRow(bad)) << bad;
    EXPECT_TRUE(IsPumpRow("P\xe9\t1\t2"));  // Windows-1252 bytes
    EXPECT_FALSE(IsPumpRow("10\tWater\t20\t1.004\t0.998"));  // a fluid's line is not a pump
}

class PumpLibraryFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("corvane-pumps-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string folder() const { return dir_.string() + "/"; }
    std::string user() const { return folder() + kPumpUserFile; }
    std::string bytes() const {
        std::ifstream in(user(), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void write(const std::string& b) const { std::ofstream(user(), std::ios::binary) << b; }
    PumpLibrary library() const { return PumpLibrary(PumpFiles(folder(), folder())); }
    fs::path dir_;
};

TEST_F(PumpLibraryFiles, AddListAndRemove) {
    PumpLibrary lib = library();
    EXPECT_TRUE(lib.list().empty());  // no file yet
    ASSERT_FALSE(lib.add({"A", {{100, 30}}}));
    ASSERT_FALSE(lib.add({"B", {{0, 20}, {100, 15}, {200, 5}}}));
    EXPECT_EQ(bytes(), "A\t100\t30\r\nB\t0\t20\t100\t15\t200\t5\r\n");
    const auto listed = lib.list();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_TRUE(listed[1].own);
    EXPECT_EQ(lib.find("B")->points.size(), 3u);

    EXPECT_EQ(lib.add({"A", {{50, 10}}}), (Refusal{MessageKind::Information, kEntryExistsText}));
    EXPECT_EQ(lib.add({"C", {{0, 10}, {100, 12}}}), refusals::PumpHeadsRise());
    EXPECT_EQ(lib.add({"C", {}}), refusals::PumpNoPoints());

    ASSERT_FALSE(lib.remove("A"));
    EXPECT_EQ(bytes(), "B\t0\t20\t100\t15\t200\t5\r\n");
    EXPECT_EQ(lib.remove("A"), refusals::PumpNotInUserFile("A"));
}

TEST_F(PumpLibraryFiles, ARemovalKeepsEveryOtherLineAsItWas) {
    // Lines the library does not write itself: other spellings of numbers,
    // a line it cannot read, a last line without its end.
    write("A\t100.0\t30.00\r\nnot a pump\r\nB\t1e2\t3E1\r\n\xff\xfe garbage\nC\t10\t5");
    PumpLibrary lib = library();
    ASSERT_EQ(lib.list().size(), 3u);
    ASSERT_FALSE(lib.remove("B"));
    EXPECT_EQ(bytes(), "A\t100.0\t30.00\r\nnot a pump\r\n\xff\xfe garbage\nC\t10\t5");
    ASSERT_FALSE(lib.remove("A"));
    EXPECT_EQ(bytes(), "not a pump\r\n\xff\xfe garbage\nC\t10\t5");
}

TEST_F(PumpLibraryFiles, AReadOnlyFileIsRefusedAndKept) {
    write("A\t100\t30\r\n");
    ::chmod(user().c_str(), 0444);
    PumpLibrary lib = library();
    const auto add = lib.add({"B", {{100, 30}}});
    ASSERT_TRUE(add);
    EXPECT_EQ(add->kind, MessageKind::Error);
    EXPECT_EQ(add->text.rfind(kAddFailedText, 0), 0u);
    ASSERT_TRUE(lib.remove("A"));
    EXPECT_EQ(bytes(), "A\t100\t30\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(user().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST_F(PumpLibraryFiles, RecoveryTakesBackOnlyPumpRows) {
    write("A\t100\t30\r\n");
    std::ofstream(folder() + kPumpBackupFile, std::ios::binary) << "B\t50\t10\r\n10\tWater\t20\t1.004\t0.998\r\n";
    PumpLibrary lib = library();
    const auto notice = lib.recover();
    ASSERT_TRUE(notice);  // the fluid's line is not a pump: the backup is kept aside
    EXPECT_NE(notice->find("were merged back"), std::string::npos);
    EXPECT_EQ(bytes(), "B\t50\t10\r\nA\t100\t30\r\n");
    EXPECT_FALSE(fs::exists(folder() + kPumpBackupFile));
}

}  // namespace
}  // namespace corvane
