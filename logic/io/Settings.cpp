#include "logic/io/Settings.h"

#include <algorithm>

#include "logic/io/FileIo.h"
#include "logic/io/FileLock.h"

namespace corvane {
namespace {

// A settings file is small: a larger one is not ours.
constexpr std::size_t kMaxSettingsBytes = 1u << 20;

constexpr const char* kHeading = "# Corvane's settings, written by the program.";

bool HoldsLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

}  // namespace

std::string ConfigFolder(const std::function<const char*(const char*)>& env) {
    const char* xdg = env("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is to be ignored.
    std::string base;
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = env("HOME");
        base = std::string(home && home[0] ? home : "") + "/.config";
    }
    if (base.back() != '/') base += '/';
    return base + "corvane/";
}

Settings::Settings(std::string path) : path_(std::move(path)) {}

std::optional<std::string> Settings::load() {
    lines_.clear();
    if (path_.empty() || !FileExists(path_)) return std::nullopt;
    const FileRead read = ReadWholeFile(path_, kMaxSettingsBytes);
    if (!read.bytes) return read.failure ? FileProblem(*read.failure) : path_ + ": " + read.error;
    std::string_view rest = *read.bytes;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        std::string line(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == kHeading) continue;
        const auto equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos || equals == 0)
            lines_.emplace_back(std::string(), std::move(line));
        else
            lines_.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return std::nullopt;
}

std::optional<std::string> Settings::save() const {
    if (path_.empty()) return std::nullopt;
    std::string bytes = std::string(kHeading) + "\n";
    for (const auto& [key, value] : lines_) bytes += (key.empty() ? value : key + "=" + value) + "\n";
    if (auto failure = MakeFolders(FolderOf(path_))) return FileProblem(*failure);
    // One copy of the program runs for a user, but its settings may sit in
    // a home folder that another machine shares: one writer at a time.
    FileLock lock;
    if (auto failure = FileLock::Take(path_, lock)) return FileProblem(*failure);
    if (auto failure = WriteFileAtomically(path_, bytes)) return FileProblem(*failure);
    return std::nullopt;
}

std::string Settings::value(std::string_view key) const {
    for (const auto& [k, v] : lines_)
        if (k == key) return v;
    return {};
}

std::vector<std::string> Settings::values(std::string_view key) const {
    std::vector<std::string> out;
    for (const auto& [k, v] : lines_)
        if (k == key) out.push_back(v);
    return out;
}

void Settings::set(std::string_view key, const std::string& value) { setValues(key, {value}); }

void Settings::setValues(std::string_view key, const std::vector<std::string>& values) {
    // The new values take the place of the first old one.
    auto at = std::find_if(lines_.begin(), lines_.end(), [&](const auto& l) { return l.first == key; });
    std::size_t index = at == lines_.end() ? lines_.size() : static_cast<std::size_t>(at - lines_.begin());
    lines_.erase(std::remove_if(lines_.begin(), lines_.end(), [&](const auto& l) { return l.first == key; }),
                 lines_.end());
    index = std::min(index, lines_.size());
    for (const std::string& v : values) {
        if (HoldsLineBreak(v) || v.empty()) continue;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index++), {std::string(key), v});
    }
}

}  // namespace corvane
