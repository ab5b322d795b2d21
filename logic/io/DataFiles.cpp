#include "logic/io/DataFiles.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

#include "logic/io/DataTable.h"
#include "logic/io/FileIo.h"
#include "logic/text/Cp1252.h"

namespace corvane {
namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::vector<std::string> ReadLines(const std::string& path, std::string* error) {
    if (!Exists(path)) return {};
    const FileRead file = ReadWholeFile(path, 64u << 20);
    if (!file.bytes) {
        if (error) *error = path + ": " + file.error;
        return {};
    }
    std::vector<std::string> lines;
    for (const std::string& l : SplitLines(*file.bytes)) lines.push_back(Cp1252ToUtf8(l));
    return lines;
}

std::string Folder(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

// Makes a rename or an unlink in the folder durable.
void SyncFolder(const std::string& path) {
    const int fd = ::open(Folder(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string Bytes(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += Utf8ToCp1252(l) + "\r\n";
    return out;
}

}  // namespace

std::string FileProblem(const std::string& path, int error) { return path + ": " + FileErrorText(error); }

DataFiles::DataFiles(std::string folder, std::string stockName, std::string userName, std::string backupName) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    stock_ = folder + stockName;
    user_ = folder + userName;
    backup_ = folder + backupName;
}

std::vector<std::string> DataFiles::stockLines(std::string* error) const { return ReadLines(stock_, error); }
std::vector<std::string> DataFiles::userLines(std::string* error) const { return ReadLines(user_, error); }
bool DataFiles::userExists() const { return Exists(user_); }

std::optional<std::string> DataFiles::append(const std::string& line) {
    // A file whose last line lacks its end gets one first, so the new line
    // stands on a line of its own.
    std::string bytes = Utf8ToCp1252(line) + "\r\n";
    if (Exists(user_)) {
        const FileRead current = ReadWholeFile(user_, 64u << 20);
        if (!current.bytes) return user_ + ": " + current.error;
        if (!current.bytes->empty() && current.bytes->back() != '\n' && current.bytes->back() != '\r')
            bytes = "\r\n" + bytes;
    }
    if (auto failure = AppendToFile(user_, bytes)) return FileProblem(failure->path, failure->error);
    return std::nullopt;
}

std::optional<std::string> DataFiles::writeAtomically(const std::vector<std::string>& lines) {
    if (auto failure = WriteFileAtomically(user_, Bytes(lines))) return FileProblem(failure->path, failure->error);
    return std::nullopt;
}

std::optional<std::string> DataFiles::recover() {
    if (!Exists(backup_)) return std::nullopt;
    std::string error;
    std::vector<std::string> merged = ReadLines(backup_, &error);
    if (!error.empty()) return error;
    const std::vector<std::string> current = ReadLines(user_, &error);
    if (!error.empty()) return error;
    std::map<std::string, int> inBackup;
    for (const std::string& l : merged) ++inBackup[l];
    for (const std::string& l : current) {
        auto it = inBackup.find(l);
        if (it != inBackup.end() && it->second > 0) --it->second;
        else merged.push_back(l);
    }
    if (auto problem = writeAtomically(merged)) return problem;
    if (::unlink(backup_.c_str()) != 0) return FileProblem(backup_, errno);
    SyncFolder(backup_);
    return std::nullopt;
}

std::optional<std::string> DataFiles::removeFirst(const std::string& line, const std::function<void(int)>& step) {
    auto after = [&](int n) {
        if (step) step(n);
    };
    // A backup from an interrupted removal goes back into the user file
    // before anything else happens to it.
    if (auto problem = recover()) return problem;
    after(1);
    if (!Exists(user_)) return std::nullopt;
    std::string error;
    std::vector<std::string> lines = ReadLines(user_, &error);
    if (!error.empty()) return error;
    if (::rename(user_.c_str(), backup_.c_str()) != 0) return FileProblem(user_, errno);
    SyncFolder(user_);
    after(2);
    for (auto it = lines.begin(); it != lines.end(); ++it)
        if (*it == line) {
            lines.erase(it);
            break;
        }
    if (auto problem = writeAtomically(lines)) {
        // Put the untouched file back; the backup holds every line.
        ::rename(backup_.c_str(), user_.c_str());
        return problem;
    }
    after(3);
    if (::unlink(backup_.c_str()) != 0) return FileProblem(backup_, errno);
    SyncFolder(backup_);
    after(4);
    return std::nullopt;
}

}  // namespace corvane
