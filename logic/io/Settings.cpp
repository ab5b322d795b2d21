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
    if (path_.empty()) return std::nullopt;
    if (!FileExists(path_)) {
        // A dangling link or a loop of links is a problem; a missing file not.
        FileFailure failure;
        if (!WriteTarget(path_, &failure)) return FileProblem(failure);
        lines_.clear();
        return std::nullopt;
    }
    const FileRead read = ReadWholeFile(path_, kMaxSettingsBytes);
    if (!read.bytes) return read.failure ? FileProblem(*read.failure) : path_ + ": " + read.error;
    lines_.clear();
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
    if (auto failure = MakeFolders(FolderOf(path_))) return FileProblem(*failure);
    FileLock lock;
    if (auto failure = FileLock::Take(path_, lock)) return FileProblem(*failure);
    return write();
}

std::optional<std::string> Settings::write() const {
    std::string bytes = std::string(kHeading) + "\n";
    for (const auto& [key, value] : lines_) bytes += (key.empty() ? value : key + "=" + value) + "\n";
    if (auto failure = WriteFileAtomically(path_, bytes)) return FileProblem(*failure);
    return std::nullopt;
}

std::optional<std::string> Settings::change(const std::function<void(Settings&)>& edit) {
    if (path_.empty()) {
        edit(*this);
        return std::nullopt;
    }
    if (auto failure = MakeFolders(FolderOf(path_))) {
        edit(*this);
        return FileProblem(*failure);
    }
    // Another copy of the program may change the file meanwhile: read,
    // changed and written while it may not.
    FileLock lock;
    if (auto failure = FileLock::Take(path_, lock)) {
        edit(*this);
        return FileProblem(*failure);
    }
    if (auto unread = load()) {
        edit(*this);
        return *unread + "\rThe change was not written, so that nothing in the file is lost.";
    }
    edit(*this);
    return write();
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
