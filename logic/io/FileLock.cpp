#include "logic/io/FileLock.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace corvane {
namespace {

// The locks this process holds, for the signal handler: it may only read
// plain memory, so each is a fixed slot with its path, device and inode.
// The one piece of process state of the logic library: a signal reaches
// the process, not an object.
struct HeldLock {
    std::atomic<int> state{0};  // kFree, kBusy or kHeld
    dev_t dev = 0;
    ino_t ino = 0;
    char path[PATH_MAX] = {};
};
constexpr int kFree = 0, kBusy = 1, kHeld = 2;
constexpr int kMostHeldLocks = 16;
HeldLock gHeld[kMostHeldLocks];

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The slot now listing the lock, or -1 where none is free (or the path is
// too long): then a signal leaves that lock file for the next writer.
int ListHeld(const std::string& path, dev_t dev, ino_t ino) {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kMostHeldLocks; ++i) {
        int expected = kFree;
        if (!gHeld[i].state.compare_exchange_strong(expected, kBusy)) continue;
        gHeld[i].dev = dev;
        gHeld[i].ino = ino;
        std::memcpy(gHeld[i].path, path.c_str(), path.size() + 1);
        gHeld[i].state.store(kHeld);
        return i;
    }
    return -1;
}

void Unlist(int slot) {
    if (slot >= 0) gHeld[slot].state.store(kFree);
}

bool IsFileAt(const char* path, dev_t dev, ino_t ino) {
    struct stat st {};
    return ::stat(path, &st) == 0 && st.st_dev == dev && st.st_ino == ino;
}

// Async-signal-safe: stat, unlink, sigaction and raise only.
void RemoveHeldLocksAndEnd(int signal) {
    const int saved = errno;
    for (HeldLock& h : gHeld)
        if (h.state.load() == kHeld && IsFileAt(h.path, h.dev, h.ino)) ::unlink(h.path);
    errno = saved;
    // The handler was reset on entry (SA_RESETHAND): the signal, raised
    // again, ends the process as it would have without this handler once
    // the handler returns.
    ::raise(signal);
}

FileFailure LockFailure(const std::string& path, const std::string& lockPath, int error, std::string what = {}) {
    return FileFailure{path, error, std::move(what), lockPath};
}

}  // namespace

std::string LockPathOf(const std::string& path) { return WriteTarget(path).value_or(path) + ".lock"; }

FileLock::FileLock(FileLock&& other) noexcept
    : fd_(other.fd_), slot_(other.slot_), lockPath_(std::move(other.lockPath_)), dev_(other.dev_), ino_(other.ino_) {
    other.fd_ = -1;
    other.slot_ = -1;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = other.fd_;
        slot_ = other.slot_;
        lockPath_ = std::move(other.lockPath_);
        dev_ = other.dev_;
        ino_ = other.ino_;
        other.fd_ = -1;
        other.slot_ = -1;
    }
    return *this;
}

FileLock::~FileLock() { release(); }

void FileLock::release() {
    if (fd_ < 0) return;
    // Removed while still locked: a writer waiting on this file gets it
    // only after it is gone from the folder, sees that, and makes a new
    // one.  Where the folder does not let this user remove it, it stays,
    // unlocked, for the next writer.
    if (IsFileAt(lockPath_.c_str(), dev_, ino_)) ::unlink(lockPath_.c_str());
    Unlist(slot_);
    slot_ = -1;
    // Closing the only descriptor of the lock file releases the lock.
    ::close(fd_);
    fd_ = -1;
}

std::optional<FileFailure> FileLock::Take(const std::string& path, FileLock& into, std::chrono::milliseconds wait) {
    into.release();
    const std::string lockPath = LockPathOf(path);
    // Polled rather than blocking, so that the wait has an end; the pause
    // grows from 1 ms to 20 ms, short beside a writer's few milliseconds.
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::chrono::milliseconds pause{1};
    for (;;) {
        // Read access is enough for flock, so a lock file made by another
        // user of a shared folder serves as well.
        const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
        if (fd < 0) {
            const int error = errno;
            if (error == EINTR) continue;
            struct stat probe {};
            if (error == EISDIR && ::stat(lockPath.c_str(), &probe) == 0)
                return LockFailure(path, lockPath, kNotRegularFile, FileKindText(probe.st_mode));
            return LockFailure(path, lockPath, error);
        }
        FileLock lock;
        lock.fd_ = fd;
        struct stat st {};
        if (::fstat(fd, &st) != 0) return LockFailure(path, lockPath, errno);
        if (!S_ISREG(st.st_mode)) return LockFailure(path, lockPath, kNotRegularFile, FileKindText(st.st_mode));

        for (;;) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
            if (errno == EINTR) continue;
            if (errno != EWOULDBLOCK) return LockFailure(path, lockPath, errno);
            if (std::chrono::steady_clock::now() >= deadline) return FileFailure{path, kFileBusy, {}, {}};
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds{20});
        }
        // The writer before removed the file this one waited on: the lock
        // is on a file no other writer will open.  Again, on a new one.
        if (!IsFileAt(lockPath.c_str(), st.st_dev, st.st_ino)) {
            if (std::chrono::steady_clock::now() >= deadline) return FileFailure{path, kFileBusy, {}, {}};
            continue;
        }
        lock.lockPath_ = lockPath;
        lock.dev_ = st.st_dev;
        lock.ino_ = st.st_ino;
        lock.slot_ = ListHeld(lockPath, st.st_dev, st.st_ino);
        into = std::move(lock);
        return std::nullopt;
    }
}

void RemoveStaleLock(const std::string& path) {
    const std::string lockPath = LockPathOf(path);
    struct stat st {};
    if (::lstat(lockPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    FileLock lock;
    if (!FileLock::Take(path, lock, std::chrono::milliseconds{0})) lock.release();
}

void ReleaseLocksOnSignals() {
    for (int signal : kEndingSignals) {
        struct sigaction now {};
        if (::sigaction(signal, nullptr, &now) != 0 || now.sa_handler != SIG_DFL) continue;
        struct sigaction handler {};
        handler.sa_handler = RemoveHeldLocksAndEnd;
        handler.sa_flags = SA_RESETHAND;
        sigemptyset(&handler.sa_mask);
        ::sigaction(signal, &handler, nullptr);
    }
}

}  // namespace corvane
