#pragma once
// logic/io: reading and writing the user's files safely (whole or not at
// all, appends flushed, interrupted removals recovered) and the lines of the
// stock and user data files.  It includes only text below it.
//
// This header: every read and write of a user's file goes through here.
//
// - Only regular files are read or written.  A file is opened without
//   blocking, so a FIFO, a device, a folder or a socket is refused at once
//   with a message that says what it is.
// - A file is read whole or refused whole: one larger than the caller's
//   limit is refused as too large, never cut short.
// - A file is replaced by writing a new file beside it, flushing it to the
//   disk, renaming it over the old one and flushing the folder.  The new
//   file gets the old one's mode; a symbolic link is followed, so the link
//   stays and its target gets the new content.  A file without any write
//   permission bit is read-only, also for root.
// - A rewrite streams the old file into the new one, so every line that it
//   does not change survives byte for byte, however long the file.
// - Our temporaries are named "<file>.corvane-new-<pid>"; one whose process
//   is gone is removed by RemoveDeadTemporaries.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Failures that are not an errno value.
inline constexpr int kNotRegularFile = -1;  // a FIFO, device, folder or socket
inline constexpr int kReadOnlyFile = -2;    // no write permission bit
inline constexpr int kFileTooLarge = -3;    // larger than the reader takes
inline constexpr int kFileBusy = -4;        // another writer held its lock too long

// Where an operation failed and why: an errno value or one of the above.
struct FileFailure {
    std::string path;
    int error = 0;
    std::string what;  // for kNotRegularFile: "a FIFO", "a folder", ...
    // Where the failure is the lock file's (FileLock) that keeps other
    // writers off `path`: that lock file.
    std::string lock;
};

// What a file that is not a regular one is: "a FIFO", "a folder", "a
// device", "a socket"; "" for any other kind.
std::string FileKindText(unsigned mode);

// The platform's short text: "File not found", "File access denied",
// "Disk full", "File too large", "I/O error <n>", and for the cases above
// "File is read-only", "File too large", "This is a FIFO, not a file",
// "File is being changed by another program", "The symbolic links of this
// name form a loop".  A lock file's failure names it: "The lock file
// <lock> cannot be made: File access denied".
std::string FileErrorText(int error);
std::string FileErrorText(const FileFailure& failure);

// The whole message for a user's data file: "<path>: <short text>", CR,
// and what the user can do.
std::string FileProblem(const FileFailure& failure);
std::string FileProblem(const std::string& path, int error);

struct FileRead {
    std::optional<std::string> bytes;  // nothing when the file was refused
    std::string error;                 // the short error text then
    std::optional<FileFailure> failure;
};

// The whole file, or nothing: a missing, special or unreadable file, or one
// of more than `limit` bytes (error kFileTooLarge), is refused.
FileRead ReadWholeFile(const std::string& path, std::size_t limit);

// The file's lines, streamed: `line` gets each line without its end
// (CR LF, CR or LF end a line; a last line without an end counts).  A line
// longer than `longest` is passed cut to that length with `cut` set.
// Returning false from `line` stops the reading.  Nothing when the file
// was read; a missing file is a failure (ENOENT).
using LineVisitor = std::function<bool(std::string_view line, bool cut)>;
std::optional<FileFailure> ForEachLine(const std::string& path, std::size_t longest, const LineVisitor& line);

// Whether something exists at `path` (a dangling link does not).
bool FileExists(const std::string& path);

// The path a write goes to: `path` with its symbolic links followed (the
// final target when the link dangles).  ELOOP for a loop of links.
std::optional<std::string> WriteTarget(const std::string& path, FileFailure* failure = nullptr);

// Writes the file whole or not at all (see above).  Where the folder does
// not allow a new file but the file itself may be written, it is written
// in place instead.
std::optional<FileFailure> WriteFileAtomically(const std::string& path, const std::string& bytes);

// Rewrites the file line by line: `edit` sees each line (without its end)
// and returns what to write instead, or nothing to keep the line and its
// end exactly as they are.  A line longer than `longest` is copied
// unseen.  `head` is written before the first line, `tail` after the last
// (a last line without an end gets CR LF first).  A missing `path` counts
// as empty.
struct Rewrite {
    std::string head;
    std::size_t longest = 1u << 20;
    std::function<std::optional<std::string>(std::string_view line)> edit;
    std::string tail;
};
std::optional<FileFailure> RewriteFile(const std::string& path, const Rewrite& rewrite);

// Appends the bytes to the file and flushes them to the disk.  A missing
// file is created whole (beside, flushed, renamed, folder flushed); a last
// line without its end gets CR LF first.  A write cut short is undone.
std::optional<FileFailure> AppendLine(const std::string& path, const std::string& bytes);

// Removes "<file>.corvane-new-<pid>" beside `path` whose process is gone.
void RemoveDeadTemporaries(const std::string& path);

// Whether two paths lead to the same file (same device and inode, through
// symbolic and hard links).  False where either does not exist.
bool SameFile(const std::string& a, const std::string& b);

// A write beyond the process's file size limit fails with EFBIG instead of
// ending the program (SIGXFSZ is ignored), so that it can be undone and
// reported.  For the programs' start.
void IgnoreFileSizeSignal();

// Whether the folder lets this user create a file in it (write and search
// permission, and for root a write permission bit).
bool FolderWritable(const std::string& folder);

// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& path);

// Whether `path` is a folder (following links).
bool FolderExists(const std::string& path);

// Creates the folder and any missing parent, for the user only (mode 0700);
// nothing to do where it exists.
std::optional<FileFailure> MakeFolders(const std::string& folder);

}  // namespace corvane
