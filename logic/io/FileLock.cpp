#include "logic/io/FileLock.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace corvane {

std::string LockPathOf(const std::string& path) { return WriteTarget(path).value_or(path) + ".lock"; }

FileLock::FileLock(FileLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

FileLock::~FileLock() { release(); }

void FileLock::release() {
    // Closing the only descriptor of the lock file releases the lock.
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::optional<FileFailure> FileLock::Take(const std::string& path, FileLock& into, std::chrono::milliseconds wait) {
    into.release();
    const std::string lockPath = LockPathOf(path);
    // Read access is enough for flock, so a lock file made by another user
    // of a shared folder serves as well.
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
    if (fd < 0) return FileFailure{path, errno, {}};
    FileLock lock;
    lock.fd_ = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0) return FileFailure{path, errno, {}};
    if (!S_ISREG(st.st_mode)) return FileFailure{lockPath, kNotRegularFile, S_ISDIR(st.st_mode) ? "a folder" : "not a regular file"};

    // Polled rather than blocking, so that the wait has an end; the pause
    // grows from 1 ms to 20 ms, short beside a writer's few milliseconds.
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::chrono::milliseconds pause{1};
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return FileFailure{path, errno, {}};
        if (std::chrono::steady_clock::now() >= deadline) return FileFailure{path, kFileBusy, {}};
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds{20});
    }
    into = std::move(lock);
    return std::nullopt;
}

}  // namespace corvane
