#pragma once
// One writer at a time for a user's file: an advisory lock (flock) on
// "<file>.lock" beside it, which the system releases when the process ends,
// however it ends.  A writer that cannot get the lock within a few seconds
// gives up and changes nothing.
//
// The lock file holds no data and lives only while a writer holds it: the
// writer makes it, locks it, checks that the file it locked is still the
// one at that name (the writer before may have removed it meanwhile; then
// it starts again), and removes it before it lets go.  A lock file that a
// killed process left is not locked: the next writer takes it and removes
// it, and RemoveStaleLock removes it at the next start.  The signals that
// end a program and that it may catch (SIGINT, SIGTERM, SIGHUP) remove the
// lock files it holds on the way out (ReleaseLocksOnSignals).
//
// Every process and every DataFiles object takes its own lock: two objects
// in one process exclude each other as two processes do.

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>

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
    // names `path`: kFileBusy when another writer held it all the time; a
    // lock file that cannot be made or used is named in its `lock`.
    static std::optional<FileFailure> Take(const std::string& path, FileLock& into,
                                           std::chrono::milliseconds wait = kLockWait);
    bool held() const { return fd_ >= 0; }
    // Removes the lock file and lets go of the lock.
    void release();

private:
    int fd_ = -1;
    int slot_ = -1;  // in the list of held locks that the signals see
    std::string lockPath_;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
};

// Removes the lock file of `path` that a killed process left: taken at
// once where no other writer holds it, and let go.  Nothing happens where
// there is none or where another writer holds it.
void RemoveStaleLock(const std::string& path);

// SIGINT, SIGTERM and SIGHUP, where they would end the program (not where
// they are ignored), first remove the lock files this process holds and
// then end it as they would have.  For the programs' start.
void ReleaseLocksOnSignals();

}  // namespace corvane
