#pragma once
// A database's files in the program's folder: the stock file (read only),
// the user file the program appends to, and the backup that exists only
// while a user entry is being removed.
//
// Nothing the user added is ever lost.  A removal renames the user file to
// the backup, writes the shortened file beside it, puts it in place and
// only then deletes the backup; a backup found later (the removal was
// interrupted) is merged back: every line of the backup, then every line
// of the user file that the backup lacks.  A failure leaves the files as
// they were and says what went wrong, naming the file.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

class DataFiles {
public:
    DataFiles(std::string folder, std::string stockName, std::string userName, std::string backupName);

    const std::string& stockPath() const { return stock_; }
    const std::string& userPath() const { return user_; }
    const std::string& backupPath() const { return backup_; }

    // The lines of the stock and user files, as UTF-8 (files are
    // Windows-1252); a missing file has none.  `error`, when given, gets
    // the text of a file that exists but cannot be read.
    std::vector<std::string> stockLines(std::string* error = nullptr) const;
    std::vector<std::string> userLines(std::string* error = nullptr) const;
    bool userExists() const;

    // Appends one line (with CR LF) to the user file, creating it.  The
    // error text, or nothing on success.
    std::optional<std::string> append(const std::string& line);

    // Removes the first line equal to `line`.  `step`, when given, is called
    // after each step of the removal (tests stop the removal there).
    std::optional<std::string> removeFirst(const std::string& line, const std::function<void(int)>& step = {});

    // Merges a backup left by an interrupted removal back into the user
    // file.  Nothing to do when there is no backup.
    std::optional<std::string> recover();

private:
    std::optional<std::string> writeAtomically(const std::vector<std::string>& lines);

    std::string stock_;
    std::string user_;
    std::string backup_;
};

// "<path>: <reason>" for a file operation that failed with `error`.
std::string FileProblem(const std::string& path, int error);

}  // namespace corvane
