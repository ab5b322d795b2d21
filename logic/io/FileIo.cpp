#include "logic/io/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <memory>
#include <unistd.h>

namespace corvane {

std::string FileErrorText(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR: return "File not found";
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS: return "File access denied";
        case ENOSPC:
        case EDQUOT: return "Disk full";
        default: return "I/O error " + std::to_string(error);
    }
}

namespace {

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::optional<FileFailure> WriteFileAtomically(const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".corvane-new-" + std::to_string(::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return FileFailure{path, errno};
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && written) {
        error = errno;
        ::unlink(temp.c_str());
        return FileFailure{path, error};
    }
    if (!written) {
        ::unlink(temp.c_str());
        return FileFailure{path, error};
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
        ::unlink(temp.c_str());
        return FileFailure{path, error};
    }
    // The new name itself reaches the disk.
    const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return std::nullopt;
}

std::optional<FileFailure> AppendToFile(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return FileFailure{path, errno};
    struct stat before {};
    const bool sized = ::fstat(fd, &before) == 0;
    const bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int error = errno;
    // A write cut short (a full disk) must not leave half a line behind.
    if (!ok && sized && ::ftruncate(fd, before.st_size) == 0) ::fsync(fd);
    ::close(fd);
    if (!ok) return FileFailure{path, error};
    return std::nullopt;
}

FileRead ReadWholeFile(const std::string& path, std::size_t limit) {
    errno = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!f) return {std::nullopt, FileErrorText(errno ? errno : EIO)};
    std::string bytes;
    char buffer[65536];
    while (bytes.size() <= limit) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, f.get());
        bytes.append(buffer, n);
        if (n < sizeof buffer) break;
    }
    if (std::ferror(f.get())) return {std::nullopt, FileErrorText(errno ? errno : EIO)};
    return {std::move(bytes), {}};
}

}  // namespace corvane
