#pragma once
// logic/io: reading and writing the user's files safely (whole or not at
// all, appends flushed, interrupted removals recovered) and the lines of the
// stock and user data files.  It includes only text below it.
//
// This header: reading a whole file, with the platform's words for what
// went wrong, and writing one atomically.

#include <optional>
#include <string>

namespace corvane {

// "File not found", "File access denied", "Disk full" or "I/O error <n>".
std::string FileErrorText(int error);

struct FileRead {
    std::optional<std::string> bytes;  // nothing when the file could not be read
    std::string error;                 // the error text then
};

// Where a write failed and why (an errno value).
struct FileFailure {
    std::string path;
    int error;
};

// Writes the file whole or not at all: the bytes go into a new file
// beside it, are flushed to the disk, and only then take the old file's
// place.  Any failure leaves the old file as it was and removes the new.
std::optional<FileFailure> WriteFileAtomically(const std::string& path, const std::string& bytes);

// Appends the bytes to the file (created when missing) and flushes them to
// the disk.
std::optional<FileFailure> AppendToFile(const std::string& path, const std::string& bytes);

// The whole file, up to `limit` bytes and one more (so that a caller can
// tell a file that is too long).
FileRead ReadWholeFile(const std::string& path, std::size_t limit);

}  // namespace corvane
