#include "logic/model/settings/UserChoices.h"

#include <algorithm>

#include "logic/io/FileIo.h"

namespace corvane {
namespace {

constexpr const char* kRecentKey = "recent";
constexpr const char* kRunUnitsKey = "run.units";
// The user-dirs.dirs file is a few lines.
constexpr std::size_t kMaxUserDirsBytes = 1u << 16;

std::string KindKey(FileKind kind) {
    switch (kind) {
        case FileKind::Panel: return "panel";
        case FileKind::Sheet: return "sheet";
        case FileKind::Picture: return "picture";
        case FileKind::Data: return "data";
    }
    return "panel";
}

std::string NameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The title block's keys, in the order of its fields.
constexpr const char* kTitleKeys[] = {"sheet.project", "sheet.case", "sheet.prepared-by", "sheet.checked-by",
                                      "sheet.revision"};

}  // namespace

std::optional<std::string> DocumentsFolderOf(std::string_view userDirs, const std::string& home) {
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
    std::optional<std::string> found;
    while (!userDirs.empty()) {
        const auto end = userDirs.find('\n');
        std::string_view line = userDirs.substr(0, end);
        userDirs = end == std::string_view::npos ? std::string_view() : userDirs.substr(end + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.substr(0, kKey.size()) != kKey) continue;
        std::string_view value = line.substr(kKey.size());
        if (value.size() < 2 || value.front() != '"') continue;
        const auto close = value.find('"', 1);
        if (close == std::string_view::npos) continue;
        value = value.substr(1, close - 1);
        // The value is "$HOME/..." or an absolute path.
        if (value.substr(0, 5) == "$HOME") found = home + std::string(value.substr(5));
        else if (!value.empty() && value.front() == '/') found = std::string(value);
    }
    return found;
}

UserFolders UserFoldersOf(const std::function<const char*(const char*)>& env, std::string programFolder) {
    UserFolders f;
    const char* home = env("HOME");
    f.home = home && home[0] ? home : "/";
    f.program = std::move(programFolder);
    const char* xdg = env("XDG_CONFIG_HOME");
    const std::string config = xdg && xdg[0] == '/' ? std::string(xdg) : f.home + "/.config";
    const FileRead dirs = ReadWholeFile(config + "/user-dirs.dirs", kMaxUserDirsBytes);
    const auto named = dirs.bytes ? DocumentsFolderOf(*dirs.bytes, f.home) : std::nullopt;
    f.documents = named.value_or(f.home);
    return f;
}

UserChoices::UserChoices(Settings& settings, UserFolders folders) : settings_(settings), folders_(std::move(folders)) {}

ChooserStart UserChoices::start(FileKind kind, const std::string& name) const {
    const auto usable = [&](const std::string& folder) {
        if (folder.empty() || !FolderExists(folder)) return false;
        const auto trimmed = [](std::string f) {
            while (f.size() > 1 && f.back() == '/') f.pop_back();
            return f;
        };
        // The program's own folder only where the user may write it.
        return trimmed(folder) != trimmed(folders_.program) || FolderWritable(folder);
    };
    ChooserStart s;
    const std::string last = settings_.value("folder." + KindKey(kind));
    if (usable(last)) s.folder = last;
    else if (usable(folders_.documents)) s.folder = folders_.documents;
    else s.folder = folders_.home;
    // A panel file offers its panel's own name: the last one chosen may be
    // another panel's.
    s.name = !name.empty() || kind == FileKind::Panel ? name : settings_.value("name." + KindKey(kind));
    return s;
}

void UserChoices::change(const std::function<void(Settings&)>& edit) {
    if (auto problem = settings_.change(edit); problem && onProblem_) onProblem_(*problem);
}

void UserChoices::reload() {
    if (auto problem = settings_.load(); problem && onProblem_) onProblem_(*problem);
}

void UserChoices::chosen(FileKind kind, const std::string& path) {
    change([&](Settings& s) {
        s.set("folder." + KindKey(kind), FolderOf(path));
        s.set("name." + KindKey(kind), NameOf(path));
    });
}

namespace {

std::vector<std::string> RecentOf(const Settings& s) {
    std::vector<std::string> list = s.values(kRecentKey);
    if (list.size() > kRecentFileCount) list.resize(kRecentFileCount);
    return list;
}

}  // namespace

std::vector<std::string> UserChoices::recentFiles() const { return RecentOf(settings_); }

void UserChoices::addRecent(const std::string& path) {
    // Onto the list as the file holds it now: another copy's files stay,
    // each where its opening put it.
    change([&](Settings& s) {
        std::vector<std::string> list = RecentOf(s);
        list.erase(std::remove(list.begin(), list.end(), path), list.end());
        list.insert(list.begin(), path);
        if (list.size() > kRecentFileCount) list.resize(kRecentFileCount);
        s.setValues(kRecentKey, list);
    });
}

void UserChoices::removeRecent(const std::string& path) {
    change([&](Settings& s) {
        std::vector<std::string> list = RecentOf(s);
        list.erase(std::remove(list.begin(), list.end(), path), list.end());
        s.setValues(kRecentKey, list);
    });
}

void UserChoices::clearRecent() {
    change([](Settings& s) { s.setValues(kRecentKey, {}); });
}

SheetTitle UserChoices::sheetTitle() const {
    SheetTitle t;
    std::string* fields[] = {&t.project, &t.caseName, &t.preparedBy, &t.checkedBy, &t.revision};
    for (std::size_t i = 0; i < std::size(fields); ++i) *fields[i] = settings_.value(kTitleKeys[i]);
    return t;
}

void UserChoices::setSheetTitle(const SheetTitle& title) {
    const std::string* fields[] = {&title.project, &title.caseName, &title.preparedBy, &title.checkedBy,
                                   &title.revision};
    change([&](Settings& s) {
        for (std::size_t i = 0; i < std::size(fields); ++i) s.set(kTitleKeys[i], *fields[i]);
    });
}

bool UserChoices::runMetric() const { return settings_.value(kRunUnitsKey) != "imperial"; }

void UserChoices::setRunMetric(bool metric) {
    if (runMetric() == metric) return;
    change([&](Settings& s) { s.set(kRunUnitsKey, metric ? "metric" : "imperial"); });
}

}  // namespace corvane
