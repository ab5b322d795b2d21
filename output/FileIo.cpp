#include "output/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <memory>

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
