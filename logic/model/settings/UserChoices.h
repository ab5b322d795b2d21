#pragma once
// logic/model/settings: what the program keeps of the user's choices.
// The top of the model's folders: it may include any of them.
//
// What the program remembers of the user's choices between runs, kept in
// the settings file: where each kind of file chooser starts and the name
// it offers, the recent panel files, the title block of the calculation
// sheet, and the units of the pipe run window.
//
// A chooser starts in the folder its kind of file was last chosen in; the
// first time, in the user's documents folder (as `xdg-user-dir DOCUMENTS`
// names it), else in the home folder; never in the program's own folder
// where the user may not write it (an installed program).

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logic/io/Settings.h"
#include "logic/model/sheets/CalculationSheet.h"

namespace corvane {

// Each kind keeps its own folder and name.
enum class FileKind { Panel, Sheet, Picture, Data };

// The folder XDG_DOCUMENTS_DIR names in the text of user-dirs.dirs, with
// "$HOME" replaced; nothing where the file names none.
std::optional<std::string> DocumentsFolderOf(std::string_view userDirs, const std::string& home);

struct UserFolders {
    std::string documents;  // may not exist
    std::string home;
    std::string program;    // the program's own folder
};
// The folders of this user: the documents folder from
// $XDG_CONFIG_HOME/user-dirs.dirs (else the home folder), the home folder.
UserFolders UserFoldersOf(const std::function<const char*(const char*)>& env, std::string programFolder);

// Where a chooser starts and the name it offers.
struct ChooserStart {
    std::string folder;
    std::string name;  // a bare name, or ""
};

// The recent panel files: at most this many, the newest first.
inline constexpr std::size_t kRecentFileCount = 10;

class UserChoices {
public:
    UserChoices(Settings& settings, UserFolders folders);

    // Told each problem of reading or writing the settings (each change is
    // written at once, merged with what another copy of the program wrote);
    // nothing else depends on them.
    void setProblemHandler(std::function<void(const std::string& problem)> handler) { onProblem_ = std::move(handler); }

    // Where a chooser of the kind starts; it offers `name` where one is
    // given, else the name last chosen for that kind (not for panel files:
    // that may be another panel's).
    ChooserStart start(FileKind kind, const std::string& name = {}) const;
    // A file chosen in a chooser of the kind: its folder and name are
    // remembered.
    void chosen(FileKind kind, const std::string& path);

    // The settings as the file holds them now, with the changes of another
    // copy of the program (before the recent files are shown).
    void reload();

    std::vector<std::string> recentFiles() const;
    // The path goes to the top of the list (once), the eleventh drops off.
    void addRecent(const std::string& path);
    void removeRecent(const std::string& path);
    void clearRecent();

    // The title block last entered for a calculation sheet.
    SheetTitle sheetTitle() const;
    void setSheetTitle(const SheetTitle& title);

    // The units the pipe run window shows, as last chosen: metric unless
    // imperial was.
    bool runMetric() const;
    void setRunMetric(bool metric);

private:
    void change(const std::function<void(Settings&)>& edit);

    Settings& settings_;
    UserFolders folders_;
    std::function<void(const std::string&)> onProblem_;
};

}  // namespace corvane
