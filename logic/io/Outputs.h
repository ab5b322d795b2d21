#pragma once
// What an output of the program may be written over.  A calculation
// sheet, a picture, results, data or a document saved under a new name
// never takes the place of a file the program reads or keeps: the inputs
// of the command, every file of the data bases in use (read or not), the
// settings and the documents open in the window.  Every writer of an output
// asks OverwrittenFile before it writes.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

// A file an output must not be written over, and what it is, for the
// message ("the run file", "the user fluid file").
struct GuardedFile {
    std::string path;
    std::string what;
};

// The first of `guarded` that `output` is (the same device and inode,
// through symbolic and hard links); nothing where `output` is none of them
// or does not exist yet.
std::optional<GuardedFile> OverwrittenFile(const std::string& output, const std::vector<GuardedFile>& guarded);

// The files a window guards: those it keeps (the data bases, the
// settings), and those its open documents hold at the moment it writes.
class OutputGuard {
public:
    void add(GuardedFile file) { kept_.push_back(std::move(file)); }
    void add(const std::vector<GuardedFile>& files) { kept_.insert(kept_.end(), files.begin(), files.end()); }
    void setOpenDocuments(std::function<std::vector<GuardedFile>()> documents) { documents_ = std::move(documents); }

    // The file `output` would be written over: first one of `own` (what the
    // output shows), then a kept file, then an open document other than
    // `self` (the document being saved, which may take its own place).
    std::optional<GuardedFile> overwritten(const std::string& output, const std::vector<GuardedFile>& own = {},
                                           const std::string& self = {}) const;

private:
    std::vector<GuardedFile> kept_;
    std::function<std::vector<GuardedFile>()> documents_;
};

}  // namespace corvane
