#pragma once
// A database's files: the stock file beside the program (read only), the
// user file the program appends to, and the backup name that an
// interrupted removal of an earlier version may have left.
//
// Every read and write goes through FileIo: files are streamed, so a user
// file of any size is listed, appended to and rewritten without losing a
// byte of the lines the program does not change.  A removal writes the
// shortened file beside the old one and renames it into place, so a kill
// at any moment leaves the old file or the new one, never a part.
//
// A backup found at start is merged back: its valid data rows that the
// user file lacks go first, then the user file's lines.  A backup holding
// anything else (random bytes, NUL bytes, half lines) is never merged
// whole: it is renamed aside to "<backup>-<date>-<time>", and the user is
// told once.  Nothing is deleted.
//
// Where the program's folder cannot be written (an installed package), the
// user file lives in the user's data folder; a user file left beside the
// program is still read (its rows listed before the user's own) but never
// written.
//
// Two programs may change the user file at once (the window and
// corvane-cli, two scripts): every change, its first creation and a
// recovery included, runs under the user file's lock (FileLock), and what
// it decides ("already there", "not there") it decides on what the file
// holds under that lock.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logic/io/DataTable.h"
#include "logic/text/Locale.h"

namespace corvane {

struct UserFileLock;

class DataFiles {
public:
    // Stock, user and backup files all in `folder`.
    DataFiles(std::string folder, std::string stockName, std::string userName, std::string backupName);
    // Stock file in `programFolder`, user and backup files in `userFolder`
    // (created on the first write); a user file in `programFolder` is read
    // as well when the two folders differ.
    DataFiles(std::string programFolder, std::string userFolder, std::string stockName, std::string userName,
              std::string backupName);

    const std::string& stockPath() const { return stock_; }
    const std::string& userPath() const { return user_; }
    const std::string& backupPath() const { return backup_; }
    // The user file beside the program, read but never written; empty when
    // it is the user file itself.
    const std::string& sharedUserPath() const { return shared_; }

    // Each line of a file as UTF-8 (files are Windows-1252), streamed; a
    // missing file has none.  Returning false stops.  The problem, naming
    // the file, when one exists but cannot be read.
    using LineFn = std::function<bool(const std::string& line)>;
    std::optional<std::string> eachStockLine(const LineFn& fn) const;
    // The shared user file's lines, then the user's own.
    std::optional<std::string> eachUserLine(const LineFn& fn) const;
    // Any one file's lines likewise.
    static std::optional<std::string> EachLineOf(const std::string& path, const LineFn& fn);
    // The same, whole (for small files and tests).
    std::vector<std::string> stockLines(std::string* error = nullptr) const;
    std::vector<std::string> userLines(std::string* error = nullptr) const;
    bool userExists() const;
    // Whether the user's own file holds this line (the removable rows).
    bool hasUserLine(const std::string& line) const;

    // Fills the table (cleared first) from the files: the stock file and
    // then the user files, or the user files first when `userFirst`.  Each
    // file's rows go in whole or not at all: one that fails part-way adds
    // none.  Reading stops when the table is full.  The problems, one a
    // line.
    std::optional<std::string> fill(DataTable& table, const Locale& locale, bool localiseThird,
                                    bool userFirst) const;

    // The user file's lock, held while a Hold lives.  Taken again by this
    // object or a copy of it, it is only counted, so a caller may hold it
    // around a whole read-check-write and the steps inside take it again.
    class Hold {
    public:
        Hold() = default;
        Hold(Hold&&) noexcept = default;
        Hold& operator=(Hold&& other) noexcept;
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
        ~Hold();

    private:
        friend class DataFiles;
        std::shared_ptr<UserFileLock> lock_;
    };
    // Takes the lock, waiting a few seconds at most for another writer.  The
    // user's data folder is made first where it is apart from the program's
    // (the first addition).  The problem, naming the file, when the lock
    // cannot be had.
    std::optional<std::string> hold(Hold& into);

    // The table filled as the files are now, under the caller's hold: a
    // backup merged back first (its notice is no problem here), then fill().
    // The problem of a file that cannot be read or recovered.
    std::optional<std::string> refill(DataTable& table, const Locale& locale, bool localiseThird, bool userFirst);

    // Appends one line (with CR LF) to the user file, creating the file and
    // its folder.  The problem, or nothing on success.
    std::optional<std::string> append(const std::string& line);

    // Removes the first line equal to `line`; `removed` tells whether there
    // was one.  `step`, when given, is called after each step of the removal
    // (tests stop the removal there).
    std::optional<std::string> removeFirst(const std::string& line, const std::function<void(int)>& step = {},
                                           bool* removed = nullptr);

    // Merges a backup back into the user file and removes the temporaries
    // and the lock file of writers that were killed.  The problem or the
    // notice for the user.
    std::optional<std::string> recover();

    // Where the user's data folder comes from, named in a message when it
    // cannot be made ("XDG_DATA_HOME", "HOME").
    void setUserFolderOrigin(std::string origin) { origin_ = std::move(origin); }

    // What a recovery takes for a valid row of this data base (Windows-1252
    // bytes); IsDataRow unless set.
    void setRowTest(std::function<bool(std::string_view)> isRow) { isRow_ = std::move(isRow); }

private:
    std::string stock_;
    std::string user_;
    std::string backup_;
    std::string shared_;
    std::string origin_;
    std::function<bool(std::string_view)> isRow_;
    std::shared_ptr<UserFileLock> lock_;
};

// Whether a line of a data file (Windows-1252 bytes) is a data row the
// program writes or ships: five TAB-separated fields, a listed kind code
// (10, 11, 20 or 21), and no control character.
bool IsDataRow(std::string_view bytes);

// The folder for the user files: the program's folder when this user may
// create files in it, otherwise $XDG_DATA_HOME/corvane (by default
// $HOME/.local/share/corvane).  `env` reads an environment variable;
// `origin`, when given, gets the variable the folder comes from and its
// value ("XDG_DATA_HOME=/x"), empty for the program's folder.
std::string UserDataFolder(const std::string& programFolder, const std::function<const char*(const char*)>& env,
                           std::string* origin = nullptr);

}  // namespace corvane
