#include "logic/io/DataFiles.h"

#include <cerrno>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

#include "logic/io/DataTable.h"
#include "logic/io/FileIo.h"
#include "logic/io/FileLock.h"
#include "logic/text/Cp1252.h"
#include "logic/text/NumberText.h"

namespace corvane {
namespace {

// No data row is longer; a longer line is kept as it is but never parsed.
constexpr std::size_t kLongestDataLine = 1u << 16;

std::string Slashed(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

std::optional<std::string> EachLine(const std::string& path, const DataFiles::LineFn& fn) {
    if (!FileExists(path)) {
        // A dangling link or a loop of links is a problem; a missing file not.
        FileFailure failure;
        if (!WriteTarget(path, &failure)) return FileProblem(failure);
        return std::nullopt;
    }
    const auto failure = ForEachLine(path, kLongestDataLine, [&](std::string_view line, bool cut) {
        return cut || fn(Cp1252ToUtf8(line));
    });
    if (failure) return FileProblem(*failure);
    return std::nullopt;
}

// Creates the folder and any missing parent, for the user only; a file in
// its place is named.
std::optional<std::string> MakeFolder(const std::string& folder) {
    if (!folder.empty() && FileExists(folder) && !FolderExists(folder)) return folder + ": This is a file, not a folder";
    if (auto failure = MakeFolders(folder)) return FileProblem(*failure);
    return std::nullopt;
}

// "<backup>-YYYYMMDD-HHMMSS", with "-2", "-3" ... when that name is taken.
std::string AsideName(const std::string& backup) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "-%Y%m%d-%H%M%S", &local);
    std::string name = backup + stamp;
    for (int n = 2; FileExists(name); ++n) name = backup + stamp + "-" + std::to_string(n);
    return name;
}

}  // namespace

bool IsDataRow(std::string_view bytes) {
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7f) return false;
    }
    const auto record = ParseDataLine(bytes, DotLocale(), false);
    return record && IsListedCode(record->code, true);
}

std::string UserDataFolder(const std::string& programFolder, const std::function<const char*(const char*)>& env,
                           std::string* origin) {
    if (origin) origin->clear();
    if (FolderWritable(programFolder.empty() ? "." : programFolder)) return programFolder;
    const char* xdg = env("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is to be ignored.
    if (xdg && xdg[0] == '/') {
        if (origin) *origin = std::string("XDG_DATA_HOME=") + xdg;
        return Slashed(xdg) + "corvane/";
    }
    const char* home = env("HOME");
    if (origin) *origin = std::string("HOME=") + (home ? home : "");
    return Slashed(home && home[0] ? home : "/") + ".local/share/corvane/";
}

struct UserFileLock {
    FileLock lock;
    int depth = 0;
};

DataFiles::Hold& DataFiles::Hold::operator=(Hold&& other) noexcept {
    if (this != &other) {
        Hold gone(std::move(*this));
        lock_ = std::move(other.lock_);
    }
    return *this;
}

DataFiles::Hold::~Hold() {
    if (lock_ && --lock_->depth == 0) lock_->lock.release();
}

std::optional<std::string> DataFiles::hold(Hold& into) {
    into = Hold();
    if (lock_->depth == 0) {
        // The user's data folder apart from the program's is made by the
        // first addition; any other folder must be there already.
        if (!shared_.empty())
            if (auto problem = MakeFolder(FolderOf(user_))) {
                if (origin_.empty()) return problem;
                const std::string variable = origin_.substr(0, origin_.find('='));
                return *problem + "\rThe folder for your data files is made from " + origin_ + ": set " + variable +
                       " to a folder you may write.";
            }
        if (auto failure = FileLock::Take(user_, lock_->lock)) return FileProblem(*failure);
    }
    ++lock_->depth;
    into.lock_ = lock_;
    return std::nullopt;
}

DataFiles::DataFiles(std::string folder, std::string stockName, std::string userName, std::string backupName)
    : DataFiles(folder, folder, std::move(stockName), std::move(userName), std::move(backupName)) {}

DataFiles::DataFiles(std::string programFolder, std::string userFolder, std::string stockName, std::string userName,
                     std::string backupName) {
    programFolder = Slashed(programFolder);
    userFolder = Slashed(userFolder);
    stock_ = programFolder + stockName;
    user_ = userFolder + userName;
    backup_ = userFolder + backupName;
    if (programFolder != userFolder) shared_ = programFolder + userName;
    lock_ = std::make_shared<UserFileLock>();
}

std::optional<std::string> DataFiles::eachStockLine(const LineFn& fn) const { return EachLine(stock_, fn); }

std::optional<std::string> DataFiles::eachUserLine(const LineFn& fn) const {
    bool going = true;
    auto counting = [&](const std::string& l) { return going = fn(l); };
    std::optional<std::string> problem;
    if (!shared_.empty()) problem = EachLine(shared_, counting);
    if (!going) return problem;
    auto own = EachLine(user_, counting);
    return problem ? problem : own;
}

std::optional<std::string> DataFiles::EachLineOf(const std::string& path, const LineFn& fn) {
    return EachLine(path, fn);
}

namespace {

std::vector<std::string> Collect(const std::function<std::optional<std::string>(const DataFiles::LineFn&)>& each,
                                 std::string* error) {
    std::vector<std::string> lines;
    if (auto problem = each([&](const std::string& l) {
            lines.push_back(l);
            return true;
        });
        problem && error)
        *error = *problem;
    return lines;
}

}  // namespace

std::vector<std::string> DataFiles::stockLines(std::string* error) const {
    return Collect([&](const LineFn& fn) { return eachStockLine(fn); }, error);
}

std::vector<std::string> DataFiles::userLines(std::string* error) const {
    return Collect([&](const LineFn& fn) { return eachUserLine(fn); }, error);
}

std::optional<std::string> DataFiles::fill(DataTable& table, const Locale& locale, bool localiseThird,
                                           bool userFirst) const {
    table.clear();
    std::optional<std::string> problems;
    auto from = [&](const std::string& path) {
        if (path.empty()) return;
        const DataTable before = table;
        auto problem = EachLine(path, [&](const std::string& line) {
            if (auto r = ParseDataLine(line, locale, localiseThird)) return table.add(*r);
            return true;
        });
        if (!problem) return;
        table = before;
        problems = problems ? *problems + "\r" + *problem : *problem;
    };
    if (!userFirst) from(stock_);
    from(shared_);
    from(user_);
    if (userFirst) from(stock_);
    return problems;
}

std::optional<std::string> DataFiles::refill(DataTable& table, const Locale& locale, bool localiseThird,
                                             bool userFirst) {
    auto problem = recover();
    if (problem && FileExists(backup_)) return problem;
    return fill(table, locale, localiseThird, userFirst);
}

bool DataFiles::userExists() const { return FileExists(user_); }

bool DataFiles::hasUserLine(const std::string& line) const {
    bool found = false;
    EachLine(user_, [&](const std::string& l) { return !(found = l == line); });
    return found;
}

std::optional<std::string> DataFiles::append(const std::string& line) {
    Hold held;
    if (auto problem = hold(held)) return problem;
    if (auto failure = AppendLine(user_, Utf8ToCp1252(line) + "\r\n")) return FileProblem(*failure);
    return std::nullopt;
}

std::optional<std::string> DataFiles::recover() {
    RemoveDeadTemporaries(user_);
    // The lock file of a killed writer goes with its temporaries; one this
    // object holds is in use.
    if (lock_->depth == 0) RemoveStaleLock(user_);
    if (!FileExists(backup_)) return std::nullopt;
    const std::string lead = "The backup " + backup_ + " of an interrupted removal could not be merged back:\r";
    Hold held;
    if (auto problem = hold(held)) return lead + *problem;
    // Another program may have merged it while this one waited.
    if (!FileExists(backup_)) return std::nullopt;

    // The backup's valid rows, in order; anything else leaves it aside.
    std::vector<std::string> rows;
    bool garbage = false;
    if (auto failure = ForEachLine(backup_, kLongestDataLine, [&](std::string_view line, bool cut) {
            if (!cut && (isRow_ ? isRow_(line) : IsDataRow(line))) rows.emplace_back(line);
            else garbage = garbage || !line.empty() || cut;
            return true;
        }))
        return lead + FileProblem(*failure);

    if (!rows.empty()) {
        std::unordered_map<std::string, int> restored;
        std::string head;
        for (const std::string& r : rows) {
            ++restored[r];
            head += r + "\r\n";
        }
        Rewrite merge;
        merge.longest = kLongestDataLine;
        // A user line that the backup holds as well is written once, from
        // the backup, in the backup's place.
        merge.edit = [&](std::string_view line) -> std::optional<std::string> {
            const auto it = restored.find(std::string(line));
            if (it == restored.end() || it->second == 0) return std::nullopt;
            --it->second;
            return std::string();
        };
        merge.head = std::move(head);
        if (auto failure = RewriteFile(user_, merge)) return lead + FileProblem(*failure);
    }

    if (!garbage) {
        if (::unlink(backup_.c_str()) != 0) return lead + FileProblem(backup_, errno);
        return std::nullopt;
    }
    const std::string aside = AsideName(backup_);
    if (::rename(backup_.c_str(), aside.c_str()) != 0) return lead + FileProblem(backup_, errno);
    return "The backup " + backup_ + " of an interrupted removal held lines that are not data rows.\r" +
           (rows.empty() ? std::string("None of it was merged") : "Only its " + std::to_string(rows.size()) +
                                                                       " data rows were merged back") +
           "; it was kept as " + aside + ".";
}

std::optional<std::string> DataFiles::removeFirst(const std::string& line, const std::function<void(int)>& step,
                                                  bool* removedOne) {
    auto after = [&](int n) {
        if (step) step(n);
    };
    bool removed = false;
    if (removedOne) *removedOne = false;
    if (!userExists() && !FileExists(backup_)) return std::nullopt;
    Hold held;
    if (auto problem = hold(held)) return problem;
    // A backup from an interrupted removal goes back into the user file
    // before anything else happens to it.
    if (auto problem = recover(); problem && FileExists(backup_)) return problem;
    after(1);
    if (!userExists()) return std::nullopt;
    after(2);
    const std::string key = Utf8ToCp1252(line);
    Rewrite remove;
    remove.longest = kLongestDataLine;
    remove.edit = [&](std::string_view l) -> std::optional<std::string> {
        if (removed || l != key) return std::nullopt;
        removed = true;
        return std::string();
    };
    if (auto failure = RewriteFile(user_, remove)) return FileProblem(*failure);
    if (removedOne) *removedOne = removed;
    after(3);
    after(4);
    return std::nullopt;
}

}  // namespace corvane
