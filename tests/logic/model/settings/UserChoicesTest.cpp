// What the program keeps between runs: the settings file, where file
// choosers start, the recent files and the sheet's title block.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "logic/io/Settings.h"
#include "logic/model/settings/UserChoices.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

class UserChoicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("corvane-choices-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "home" / "Documents");
        fs::create_directories(dir_ / "program");
    }
    void TearDown() override {
        fs::permissions(dir_ / "program", fs::perms::owner_all);
        fs::remove_all(dir_);
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    UserFolders folders() const { return {path("home/Documents"), path("home"), path("program")}; }
    fs::path dir_;
};

TEST(ConfigFolderTest, XdgConfigHomeWhenAbsoluteElseHome) {
    const struct {
        const char* xdg;
        const char* home;
        const char* folder;
    } cases[] = {{"/cfg", "/home/u", "/cfg/corvane/"},
                 {"/cfg/", "/home/u", "/cfg/corvane/"},
                 {"relative", "/home/u", "/home/u/.config/corvane/"},
                 {nullptr, "/home/u", "/home/u/.config/corvane/"},
                 {"", nullptr, "/.config/corvane/"}};
    for (const auto& c : cases) {
        const std::map<std::string, const char*> env = {{"XDG_CONFIG_HOME", c.xdg}, {"HOME", c.home}};
        EXPECT_EQ(ConfigFolder([&](const char* n) { return env.at(n); }), c.folder) << (c.xdg ? c.xdg : "(none)");
    }
}

TEST_F(UserChoicesTest, SettingsKeepLinesTheyDoNotKnowAndCreateTheirFolder) {
    const std::string file = path("config/corvane/settings");
    Settings s(file);
    EXPECT_FALSE(s.load());  // none yet: no problem
    s.set("name.sheet", "a.pdf");
    s.setValues("recent", {"/x/a.PW1", "/x/line\nbreak.PW2", "/x/b.PW2"});
    ASSERT_FALSE(s.save());
    EXPECT_EQ(fs::status(dir_ / "config" / "corvane").permissions() & fs::perms::all, fs::perms::owner_all);
    // A later version's line and a comment survive a rewrite by this one.
    std::ofstream(file, std::ios::app) << "# kept\nfuture.key=1\n";
    Settings again(file);
    ASSERT_FALSE(again.load());
    EXPECT_EQ(again.values("recent"), (std::vector<std::string>{"/x/a.PW1", "/x/b.PW2"}));
    again.setValues("recent", {"/x/c.PW3"});
    again.set("name.sheet", "");  // an empty value takes the key away
    ASSERT_FALSE(again.save());
    EXPECT_EQ(Read(file), "# Corvane's settings, written by the program.\nrecent=/x/c.PW3\n# kept\nfuture.key=1\n");
    // A file that cannot be read is named.
    fs::remove(file);
    fs::create_directory(file);
    const auto problem = Settings(file).load();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->rfind(file + ": ", 0), 0u) << *problem;
}

TEST_F(UserChoicesTest, ChoosersStartInTheDocumentsThenInTheLastFolderOfTheirKind) {
    Settings settings(path("settings"));
    UserChoices choices(settings, folders());
    EXPECT_EQ(choices.start(FileKind::Panel).folder, path("home/Documents"));
    choices.chosen(FileKind::Sheet, path("home/sheets-a.pdf"));
    EXPECT_EQ(choices.start(FileKind::Sheet).folder, path("home"));
    EXPECT_EQ(choices.start(FileKind::Sheet).name, "sheets-a.pdf");
    EXPECT_EQ(choices.start(FileKind::Sheet, "b.pdf").name, "b.pdf");
    // Each kind its own: panels, pictures and data still start in the documents.
    for (FileKind k : {FileKind::Panel, FileKind::Picture, FileKind::Data})
        EXPECT_EQ(choices.start(k).folder, path("home/Documents"));
    // A panel file offers no other panel's name.
    choices.chosen(FileKind::Panel, path("program/a.PW1"));
    EXPECT_EQ(choices.start(FileKind::Panel).name, "");
    EXPECT_EQ(choices.start(FileKind::Panel).folder, path("program"));  // the user may write it
    // Never the program's folder where the user may not write it, nor a
    // folder that is gone; without documents, home.
    // (No write bit at all: not writable for root either.)
    fs::permissions(dir_ / "program", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(choices.start(FileKind::Panel).folder, path("home/Documents"));
    choices.chosen(FileKind::Data, path("gone/x.csv"));
    fs::remove(dir_ / "home" / "Documents");
    EXPECT_EQ(choices.start(FileKind::Data).folder, path("home"));
    // Remembered in the settings file.
    Settings reread(path("settings"));
    ASSERT_FALSE(reread.load());
    EXPECT_EQ(UserChoices(reread, folders()).start(FileKind::Sheet).name, "sheets-a.pdf");
}

TEST(DocumentsFolderTest, AsXdgUserDirNamesIt) {
    const struct {
        const char* dirs;
        std::optional<std::string> folder;
    } cases[] = {
        {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", "/home/u/Dokumente"},
        {"XDG_DOCUMENTS_DIR=\"/data/docs\"", "/data/docs"},
        {"  XDG_DOCUMENTS_DIR=\"$HOME\"\n", "/home/u"},
        {"XDG_DOCUMENTS_DIR=docs\n", std::nullopt},
        {"XDG_MUSIC_DIR=\"$HOME/Music\"\n", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(DocumentsFolderOf(c.dirs, "/home/u"), c.folder) << c.dirs;
}

TEST_F(UserChoicesTest, RecentFilesNewestFirstTenAtMostAndTheTitleBlock) {
    Settings settings(path("settings"));
    UserChoices choices(settings, folders());
    std::vector<std::string> problems;
    choices.setProblemHandler([&](const std::string& p) { problems.push_back(p); });
    for (int i = 1; i <= 12; ++i) choices.addRecent("/f/" + std::to_string(i) + ".PW1");
    choices.addRecent("/f/5.PW1");
    auto recent = choices.recentFiles();
    ASSERT_EQ(recent.size(), kRecentFileCount);
    EXPECT_EQ(recent.front(), "/f/5.PW1");
    EXPECT_EQ(recent[1], "/f/12.PW1");
    EXPECT_EQ(recent.back(), "/f/3.PW1");  // 1 and 2 dropped off
    EXPECT_EQ(std::count(recent.begin(), recent.end(), "/f/5.PW1"), 1);
    choices.removeRecent("/f/12.PW1");
    EXPECT_EQ(choices.recentFiles()[1], "/f/11.PW1");
    const SheetTitle title{"Cooling loop", "P-101", "A. Engineer", "B. Checker", "C"};
    choices.setSheetTitle(title);
    Settings reread(path("settings"));
    ASSERT_FALSE(reread.load());
    EXPECT_EQ(UserChoices(reread, folders()).sheetTitle(), title);
    EXPECT_EQ(UserChoices(reread, folders()).recentFiles().size(), kRecentFileCount - 1);
    choices.clearRecent();
    EXPECT_TRUE(choices.recentFiles().empty());
    EXPECT_TRUE(problems.empty());
    // A settings file that cannot be written is said, and nothing else fails.
    Settings blocked(path("settings/settings"));  // below a file
    UserChoices unwritable(blocked, folders());
    unwritable.setProblemHandler([&](const std::string& p) { problems.push_back(p); });
    unwritable.addRecent("/f/1.PW1");
    EXPECT_EQ(unwritable.recentFiles().size(), 1u);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find(path("settings")), std::string::npos) << problems[0];
}

// Two copies of the program on one settings file: each change is made to
// what the file holds under its lock, so both copies' recent files stay,
// newest first by when each was opened, and each shows them all.
TEST_F(UserChoicesTest, TwoCopiesKeepEachOthersRecentFiles) {
    Settings first(path("settings")), second(path("settings"));
    UserChoices a(first, folders()), b(second, folders());
    for (int i = 1; i <= 3; ++i) {
        a.addRecent("/a/" + std::to_string(i));
        b.addRecent("/b/" + std::to_string(i));
    }
    a.setSheetTitle({"Loop", "", "", "", ""});
    b.setRunMetric(false);
    const std::vector<std::string> merged = {"/b/3", "/a/3", "/b/2", "/a/2", "/b/1", "/a/1"};
    EXPECT_EQ(b.recentFiles(), merged);
    a.reload();
    EXPECT_EQ(a.recentFiles(), merged);
    EXPECT_EQ(a.sheetTitle().project, "Loop");
    EXPECT_FALSE(a.runMetric());

    // Two processes at once: no change lost.
    a.clearRecent();
    std::vector<pid_t> children;
    for (const char* copy : {"/x/", "/y/"})
        if (children.push_back(::fork()); children.back() == 0) {
            Settings own(path("settings"));
            UserChoices c(own, folders());
            for (int i = 0; i < 5; ++i) c.addRecent(copy + std::to_string(i));
            ::_exit(0);
        }
    for (pid_t pid : children) ::waitpid(pid, nullptr, 0);
    a.reload();
    const auto all = a.recentFiles();
    ASSERT_EQ(all.size(), 10u);
    for (const char* copy : {"/x/", "/y/"})
        for (int i = 1; i < 5; ++i)  // each copy's own files newest first
            EXPECT_LT(std::find(all.begin(), all.end(), copy + std::to_string(i)) - all.begin(),
                      std::find(all.begin(), all.end(), copy + std::to_string(i - 1)) - all.begin());
    EXPECT_FALSE(fs::exists(path("settings.lock")));
}

// A settings file that cannot be read is not written over by a change.
TEST_F(UserChoicesTest, AnUnreadableSettingsFileIsNotWrittenOver) {
    const std::string big = "# not ours\n" + std::string(2u << 20, 'x');
    std::ofstream(path("settings"), std::ios::binary) << big;
    Settings settings(path("settings"));
    UserChoices choices(settings, folders());
    std::vector<std::string> problems;
    choices.setProblemHandler([&](const std::string& p) { problems.push_back(p); });
    choices.addRecent("/f/1.PW1");
    EXPECT_EQ(choices.recentFiles(), std::vector<std::string>{"/f/1.PW1"});
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("The change was not written"), std::string::npos) << problems[0];
    EXPECT_EQ(Read(path("settings")), big);
}

}  // namespace
}  // namespace corvane
