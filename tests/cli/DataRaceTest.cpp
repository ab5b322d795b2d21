// Several writers of one user file at once - corvane-cli processes and the
// window's model in this process - lose no entry, add none twice and report
// no removal that did not happen; readers of a backup merge it once; a write
// stopped by the file size limit leaves the file as it was.

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/model/data/PipeDatabaseModel.h"
#include "logic/model/pumps/PumpLibrary.h"

extern char** environ;

namespace corvane {
namespace {

namespace fs = std::filesystem;

const std::string kCli = CORVANE_CLI;
constexpr int kWriters = 4;  // the window and three corvane-cli
constexpr int kRounds = 5;

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// corvane-cli started with its standard error into `err`.
pid_t Start(std::vector<std::string> words, const fs::path& err) {
    std::vector<char*> argv = {const_cast<char*>(kCli.c_str())};
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, kCli.c_str(), &files, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&files);
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The window as a writer: a model loaded once, as the dialog's is, whose
// list is as old as its last change.  True when it reported the change done.
struct Window {
    virtual ~Window() = default;
    virtual bool add(const std::string& name) = 0;
    virtual bool remove(const std::string& name) = 0;
};

template <class Model>
struct DialogWindow : Window {
    DialogWindow(DataFiles files, std::array<std::string, 3> rest) : m(std::move(files), Locale{}), rest(rest) {
        m.load();
        m.show();
    }
    bool add(const std::string& name) override {
        m.setField(typename Model::Field(0), name);
        for (int f = 1; f < 4; ++f) m.setField(typename Model::Field(f), rest[static_cast<std::size_t>(f - 1)]);
        return !m.add();
    }
    bool remove(const std::string& name) override {
        for (std::size_t i = 0; i < m.rows().size(); ++i)
            if (SplitRow(m.rows()[i])[0] == name) {
                m.selectRow(static_cast<int>(i));
                return m.removeEnabled() && !m.remove();
            }
        return false;
    }
    Model m;
    std::array<std::string, 3> rest;  // the fields after the name, as the file holds them
};

struct PumpWindow : Window {
    explicit PumpWindow(const std::string& dir) : lib(PumpFiles(dir, dir)) {}
    bool add(const std::string& name) override { return !lib.add({name, {{100, 10}}}); }
    bool remove(const std::string& name) override { return !lib.remove(name); }
    PumpLibrary lib;
};

// A user file: the words of corvane-cli after "data add|remove NOUN NAME",
// its line of a name (prefix, name, suffix), and the window's writer.
struct Kind {
    const char *label, *noun, *userFile;
    std::vector<std::string> addRest, removeRest;
    std::string prefix, suffix;
    std::function<std::unique_ptr<Window>(const std::string& dir)> window;
};

void PrintTo(const Kind& k, std::ostream* os) { *os << k.label; }

const Kind kKinds[] = {
    {"fluids", "fluid", kFluidUserFile, {"20", "1", "1"}, {"20"}, "11\t", "\t20\t1.000000\t1.000000\r\n",
     [](const std::string& d) -> std::unique_ptr<Window> {
         return std::make_unique<DialogWindow<FluidDatabaseModel>>(
             DataFiles(d, kFluidStockFile, kFluidUserFile, kFluidBackupFile),
             std::array<std::string, 3>{"20", "1.000000", "1.000000"});
     }},
    {"pipes", "pipe", kPipeUserFile, {"1", "10"}, {"1"}, "11\t", "\t1\t10.000\t0.394\r\n",
     [](const std::string& d) -> std::unique_ptr<Window> {
         return std::make_unique<DialogWindow<PipeDatabaseModel>>(
             DataFiles(d, kPipeStockFile, kPipeUserFile, kPipeBackupFile),
             std::array<std::string, 3>{"1", "10.000", "0.394"});
     }},
    {"pumps", "pump", kPumpUserFile, {"100:10"}, {}, "", "\t100\t10\r\n",
     [](const std::string& d) -> std::unique_ptr<Window> { return std::make_unique<PumpWindow>(d); }},
};

enum class Race { Adds, SameName, Removes, Mixed };

class DataRace : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("corvane-race-" + std::to_string(::getpid()) + "-" + GetParam().label);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        std::ofstream(dir_ / kFluidStockFile, std::ios::binary) << "10\tWater\t20\t1.004000\t0.998000\r\n";
        std::ofstream(dir_ / kPipeStockFile, std::ios::binary) << "10\tSteel\t1\t26.645\t1.049\r\n";
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Line(const std::string& name) const { return GetParam().prefix + name + GetParam().suffix; }
    // The names in the user file, each with its count.
    std::map<std::string, int> Names() const {
        std::map<std::string, int> names;
        std::ifstream in(dir_ / GetParam().userFile, std::ios::binary);
        for (std::string line; std::getline(in, line);)
            ++names[line.substr(GetParam().prefix.size(), line.find('\t', GetParam().prefix.size()) - GetParam().prefix.size())];
        return names;
    }
    std::vector<std::string> Command(const char* verb, const std::string& name) const {
        std::vector<std::string> w = {"data", verb, GetParam().noun, name};
        const auto& rest = std::string(verb) == "add" ? GetParam().addRest : GetParam().removeRest;
        w.insert(w.end(), rest.begin(), rest.end());
        w.insert(w.end(), {"--data-dir", dir_.string()});
        return w;
    }

    // Rounds of the window and three corvane-cli writing at once, on a
    // fresh file (none at the start of a round) or on one whose five other
    // entries must stay.  The faults are counted and reported together.
    void Run(Race race, bool fresh) {
        auto removes = [&](int w) { return race == Race::Removes || (race == Race::Mixed && w % 2 == 1); };
        auto name = [&](int r, int w) {
            if (race == Race::SameName) return "Same " + std::to_string(r);
            return (removes(w) ? "Old " : "New ") + std::to_string(r) + "-" + std::to_string(w);
        };
        fs::remove(dir_ / GetParam().userFile);
        if (!fresh) {
            // Listed by the window, as what it removes must be.
            std::ofstream file(dir_ / GetParam().userFile, std::ios::binary);
            for (int i = 0; i < 5; ++i) file << Line("Keep " + std::to_string(i));
            for (int r = 0; r < kRounds; ++r)
                for (int w = 0; w < kWriters; ++w)
                    if (removes(w)) file << Line(name(r, w));
        }
        const auto window = GetParam().window(dir_.string());
        int lost = 0, twice = 0, falseRemoved = 0, refused = 0, sameDone = 0;
        for (int r = 0; r < kRounds; ++r) {
            if (fresh) fs::remove(dir_ / GetParam().userFile);
            std::vector<pid_t> pids;
            for (int w = 1; w < kWriters; ++w)
                pids.push_back(Start(Command(removes(w) ? "remove" : "add", name(r, w)), dir_ / std::to_string(w)));
            std::vector<bool> done = {removes(0) ? window->remove(name(r, 0)) : window->add(name(r, 0))};
            for (pid_t pid : pids) done.push_back(Wait(pid) == 0);
            const auto names = Names();
            for (int w = 0; w < kWriters; ++w) {
                const int count = names.count(name(r, w)) ? names.at(name(r, w)) : 0;
                const bool ok = done[static_cast<std::size_t>(w)];
                if (race == Race::SameName) {
                    sameDone += ok;
                    refused += !ok && w > 0 && Read(dir_ / std::to_string(w)) != std::string(kEntryExistsText) + "\n";
                } else {
                    refused += !ok;
                    falseRemoved += ok && removes(w) && count != 0;
                }
                lost += !removes(w) && count == 0;
                twice += count > 1;
            }
            for (int i = 0; i < 5 && !fresh; ++i) lost += names.count("Keep " + std::to_string(i)) ? 0 : 1;
        }
        if (race == Race::SameName) EXPECT_EQ(sameDone, kRounds) << "rounds of one name not added exactly once";
        EXPECT_EQ(lost, 0) << "entries lost";
        EXPECT_EQ(twice, 0) << "entries there twice";
        EXPECT_EQ(falseRemoved, 0) << "removals reported done with the entry still there";
        EXPECT_EQ(refused, 0) << "writers refused without a reason";
    }

    fs::path dir_;
};

TEST_P(DataRace, WritersAtOnceLoseNothing) {
    const std::tuple<Race, bool, const char*> kRaces[] = {
        {Race::Adds, true, "adds, fresh file"}, {Race::Adds, false, "adds"},
        {Race::SameName, true, "same name, fresh file"}, {Race::SameName, false, "same name"},
        {Race::Removes, false, "removals"}, {Race::Mixed, false, "adds and removals"}};
    for (const auto& [race, fresh, what] : kRaces) {
        SCOPED_TRACE(what);
        Run(race, fresh);
    }
}

// Readers that find the backup of an interrupted removal: one merges it
// back, the others find it gone and say nothing.
TEST_P(DataRace, ReadersOfABackupMergeItOnceWithoutAWord) {
    std::string backup = GetParam().userFile;
    backup.replace(backup.rfind(".dat"), 4, ".bak");
    std::ofstream(dir_ / GetParam().userFile, std::ios::binary) << Line("Kept");
    std::ofstream(dir_ / backup, std::ios::binary) << Line("Kept") << Line("Restored");
    std::vector<pid_t> pids;
    for (int w = 0; w < 4; ++w)
        pids.push_back(Start({"data", "list", GetParam().label, "--data-dir", dir_.string()}, dir_ / std::to_string(w)));
    for (int w = 0; w < 4; ++w) {
        EXPECT_EQ(Wait(pids[static_cast<std::size_t>(w)]), 0);
        EXPECT_EQ(Read(dir_ / std::to_string(w)), "");
    }
    EXPECT_EQ(Names(), (std::map<std::string, int>{{"Kept", 1}, {"Restored", 1}}));
    EXPECT_FALSE(fs::exists(dir_ / backup));
}

// An addition beyond the process's file size limit is a file problem that
// changes nothing; SIGXFSZ does not end the program.
TEST_P(DataRace, AnAdditionBeyondTheFileSizeLimitChangesNothing) {
    // Room beyond the limit for the message on standard error, a file too.
    std::ofstream(dir_ / GetParam().userFile, std::ios::binary) << Line("A") << std::string(1000, 'x') << "\r\n";
    const std::string before = Read(dir_ / GetParam().userFile);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_DFL);  // the program must ignore it itself
        const rlimit limit{before.size() + 4, before.size() + 4};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(Wait(Start(Command("add", "A longer name"), dir_ / "err")));
    }
    EXPECT_EQ(Wait(pid), 2);
    EXPECT_EQ(Read(dir_ / GetParam().userFile), before);
    EXPECT_NE(Read(dir_ / "err").find((dir_ / GetParam().userFile).string() + ": File too large\n"), std::string::npos)
        << Read(dir_ / "err");
}

INSTANTIATE_TEST_SUITE_P(EveryUserFile, DataRace, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace corvane
