#pragma once
// One writer at a time for a user's file: an advisory lock (flock) on
// "<file>.lock" beside it, which the system releases when the process ends,
// however it ends.  The lock file holds no data and stays.  A writer that
// cannot get the lock within a few seconds gives up and changes nothing.
//
// Every process and every DataFiles object takes its own lock: two objects
// in one process exclude each other as two processes do.

#include <chrono>
#include <optional>
#include <string>

#include "logic/io/FileIo.h"

namespace corvane {

// How long a writer waits for another one to finish.
inline constexpr std::chrono::milliseconds kLockWait{5000};

// The lock file of a user's file: "<file>.lock" beside the file the path
// leads to (its symbolic links followed).
std::string LockPathOf(const std::string& path);

class FileLock {
public:
    FileLock() = default;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // Locks the user's file at `path`, waiting at most `wait`.  The failure
    // names `path`: kFileBusy when another writer held it all the time.
    static std::optional<FileFailure> Take(const std::string& path, FileLock& into,
                                           std::chrono::milliseconds wait = kLockWait);
    bool held() const { return fd_ >= 0; }
    void release();

private:
    int fd_ = -1;
};

}  // namespace corvane
