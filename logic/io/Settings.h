#pragma once
// The program's own settings between runs: the recent panel files, the
// folder and name each kind of file chooser used last, and the title block
// of the calculation sheet.  One small text file in the user's
// configuration folder, $XDG_CONFIG_HOME/corvane/settings (by default
// ~/.config/corvane/settings): UTF-8, one "key=value" a line, a key that
// holds a list on as many lines.  Lines it does not know are kept, and the
// file is always written whole through FileIo.
//
// Two copies of the program (on two machines that share a home folder, or
// two displays) may change it at once: each change reads the file again
// under its lock, makes that one change to what it holds and writes it, so
// that neither copy's change is lost.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvane {

// "$XDG_CONFIG_HOME/corvane/" where that variable holds an absolute path,
// else "$HOME/.config/corvane/".
std::string ConfigFolder(const std::function<const char*(const char*)>& env);

inline constexpr const char* kSettingsFile = "settings";

class Settings {
public:
    // A path of "" keeps the settings in memory only.
    explicit Settings(std::string path = {});

    const std::string& path() const { return path_; }

    // Reads the file.  A missing file is no problem (no settings);
    // otherwise the problem names the file and says what happened, and the
    // settings stay as they were.
    std::optional<std::string> load();
    // Writes the file whole, creating its folder first.
    std::optional<std::string> save() const;
    // One change: under the file's lock the file is read again, `edit` is
    // applied to what it holds, and it is written.  Where the file cannot
    // be read, the change is made here only and the file is left as it is.
    std::optional<std::string> change(const std::function<void(Settings&)>& edit);

    // The first value of the key ("" where there is none).
    std::string value(std::string_view key) const;
    // Every value of the key, in order.
    std::vector<std::string> values(std::string_view key) const;
    // Sets the key to the value(s), replacing what it held.  A value with a
    // line break cannot be kept in the file and is left out.
    void set(std::string_view key, const std::string& value);
    void setValues(std::string_view key, const std::vector<std::string>& values);

private:
    // Writes the file whole; the caller holds its lock.
    std::optional<std::string> write() const;

    std::string path_;
    // key and value; a line that holds no "key=value" is kept with an
    // empty key as it was.
    std::vector<std::pair<std::string, std::string>> lines_;
};

}  // namespace corvane
