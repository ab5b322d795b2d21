#pragma once
// The program's own settings between runs: the recent panel files, the
// folder and name each kind of file chooser used last, and the title block
// of the calculation sheet.  One small text file in the user's
// configuration folder, $XDG_CONFIG_HOME/corvane/settings (by default
// ~/.config/corvane/settings): UTF-8, one "key=value" a line, a key that
// holds a list on as many lines.  Lines it does not know are kept, and the
// file is always written whole through FileIo.

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

    // Reads the file.  A missing file is no problem; otherwise the problem
    // names the file and says what happened.
    std::optional<std::string> load();
    // Writes the file whole, creating its folder first.
    std::optional<std::string> save() const;

    // The first value of the key ("" where there is none).
    std::string value(std::string_view key) const;
    // Every value of the key, in order.
    std::vector<std::string> values(std::string_view key) const;
    // Sets the key to the value(s), replacing what it held.  A value with a
    // line break cannot be kept in the file and is left out.
    void set(std::string_view key, const std::string& value);
    void setValues(std::string_view key, const std::vector<std::string>& values);

private:
    std::string path_;
    // key and value; a line that holds no "key=value" is kept with an
    // empty key as it was.
    std::vector<std::pair<std::string, std::string>> lines_;
};

}  // namespace corvane
