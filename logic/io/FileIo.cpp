#include "logic/io/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/falloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {
namespace {

constexpr std::size_t kChunk = 1u << 16;
constexpr int kMostLinks = 40;
constexpr const char* kTemporaryMark = ".corvane-new-";

FileFailure Failure(const std::string& path, int error) { return FileFailure{path, error, {}, {}}; }

FileFailure NotRegular(const std::string& path, mode_t mode) {
    return FileFailure{path, kNotRegularFile, FileKindText(mode), {}};
}

// Closes the descriptor when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    void reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    // Closes now; false (errno set) when the close reports an error.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

// Opens a regular file without blocking; anything else is refused.
std::optional<FileFailure> OpenRegular(const std::string& path, int flags, Fd& fd, struct stat& st) {
    const int raw = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (raw < 0) {
        const int error = errno;
        struct stat probe {};
        if ((error == EISDIR || error == ENXIO || error == ENODEV || error == EOPNOTSUPP) &&
            ::stat(path.c_str(), &probe) == 0 && !S_ISREG(probe.st_mode))
            return NotRegular(path, probe.st_mode);
        return Failure(path, error);
    }
    fd.reset(raw);
    if (::fstat(raw, &st) != 0) return Failure(path, errno);
    if (!S_ISREG(st.st_mode)) return NotRegular(path, st.st_mode);
    // Regular files never block.  Writes get the flag cleared all the same;
    // a read that meets it anyway clears it then (ReadSome), which spares
    // every read of a file two system calls.
    if ((flags & O_ACCMODE) != O_RDONLY) ::fcntl(raw, F_SETFL, ::fcntl(raw, F_GETFL) & ~O_NONBLOCK);
    return std::nullopt;
}

bool IsRoot() { return ::geteuid() == 0; }

// A file may be changed: it has a write permission bit (root passes every
// other check, so the bits are the user's only way to protect a file from
// the program) and this user may write it.
std::optional<FileFailure> CheckWritable(const std::string& path, const struct stat& st) {
    if ((st.st_mode & 0222) == 0) return Failure(path, kReadOnlyFile);
    if (::access(path.c_str(), W_OK) != 0) return Failure(path, errno);
    return std::nullopt;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Reads up to `size` bytes; the count, 0 at the end, -1 on an error.  A
// file system that honours O_NONBLOCK for a regular file (the files are
// opened with it, so that a FIFO cannot hold the open) is read blocking.
ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n >= 0) return n;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            const int flags = ::fcntl(fd, F_GETFL);
            if (flags < 0 || !(flags & O_NONBLOCK) || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return n;
            continue;
        }
        if (errno != EINTR) return n;
    }
}

void SyncFolder(const std::string& path) {
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string TemporaryOf(const std::string& target) { return target + kTemporaryMark + std::to_string(::getpid()); }

// Splits a byte stream into lines, remembering each line's own end so that
// it can be written back unchanged.  A line longer than `longest` is passed
// to `raw` byte for byte as it comes (its end included) and then reported
// cut to `longest`.
class LineSplitter {
public:
    using LineFn = std::function<bool(std::string_view content, std::string_view end, bool cut)>;
    using RawFn = std::function<bool(std::string_view bytes)>;

    LineSplitter(std::size_t longest, LineFn line, RawFn raw)
        : longest_(longest), line_(std::move(line)), raw_(std::move(raw)) {}

    bool feed(std::string_view chunk) {
        for (char c : chunk)
            if (!take(c)) return false;
        return flushRaw();
    }

    bool finish() {
        if (afterCr_) return end("\r");
        if (!line_buffer_.empty() || long_) return end("");
        return true;
    }

private:
    bool take(char c) {
        if (afterCr_) {
            afterCr_ = false;
            if (c == '\n') {
                if (long_) rawPending_.push_back('\n');
                return end("\r\n");
            }
            if (!end("\r")) return false;
        }
        if (c == '\r') {
            afterCr_ = true;
            if (long_) rawPending_.push_back('\r');
            return true;
        }
        if (long_) {
            rawPending_.push_back(c);
            if (c == '\n') return end("\n");
            return rawPending_.size() < kChunk || flushRaw();
        }
        if (c == '\n') return end("\n");
        line_buffer_.push_back(c);
        if (line_buffer_.size() > longest_) {
            long_ = true;
            rawPending_ = line_buffer_;
            line_buffer_.resize(longest_);
        }
        return true;
    }

    bool flushRaw() {
        if (rawPending_.empty()) return true;
        const bool ok = !raw_ || raw_(rawPending_);
        rawPending_.clear();
        return ok;
    }

    bool end(std::string_view ending) {
        if (!flushRaw()) return false;
        const bool ok = line_(line_buffer_, ending, long_);
        line_buffer_.clear();
        long_ = false;
        return ok;
    }

    std::size_t longest_;
    LineFn line_;
    RawFn raw_;
    std::string line_buffer_;
    std::string rawPending_;
    bool long_ = false;
    bool afterCr_ = false;
};

// Feeds a whole regular file to the splitter.
std::optional<FileFailure> Stream(const std::string& path, LineSplitter& splitter, bool* stopped = nullptr) {
    Fd fd;
    struct stat st {};
    if (auto failure = OpenRegular(path, O_RDONLY, fd, st)) return failure;
    std::string buffer(kChunk, '\0');
    for (;;) {
        const ssize_t n = ReadSome(fd.get(), buffer.data(), buffer.size());
        if (n < 0) return Failure(path, errno);
        if (n == 0) break;
        if (!splitter.feed(std::string_view(buffer.data(), static_cast<std::size_t>(n)))) {
            if (stopped) *stopped = true;
            return std::nullopt;
        }
    }
    if (!splitter.finish() && stopped) *stopped = true;
    return std::nullopt;
}

// A new file beside the target, written through and then put in its place.
class NewFile {
public:
    // `like`: the file it replaces (its mode and owner are kept), if any.
    std::optional<FileFailure> open(const std::string& userPath, const std::string& target, const struct stat* like) {
        user_ = userPath;
        target_ = target;
        temp_ = TemporaryOf(target);
        int raw = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, like ? 0600 : 0666);
        if (raw < 0 && errno == EEXIST) {
            // Left by an earlier process of the same number: not ours to keep.
            ::unlink(temp_.c_str());
            raw = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, like ? 0600 : 0666);
        }
        if (raw < 0) return Failure(userPath, errno);
        fd_ = raw;
        if (like) {
            if (IsRoot()) (void)!::fchown(fd_, like->st_uid, like->st_gid);
            if (::fchmod(fd_, like->st_mode & 07777) != 0) return abandon(errno);
        }
        return std::nullopt;
    }

    bool write(std::string_view bytes) {
        if (error_) return false;
        buffer_.append(bytes);
        if (buffer_.size() >= kChunk) return flush();
        return true;
    }

    std::optional<FileFailure> commit() {
        if (!flush()) return abandon(error_);
        if (::fsync(fd_) != 0) return abandon(errno);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) return abandon(errno);
        if (::rename(temp_.c_str(), target_.c_str()) != 0) return abandon(errno);
        temp_.clear();
        SyncFolder(target_);
        return std::nullopt;
    }

    std::optional<FileFailure> abandon(int error) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        if (!temp_.empty()) ::unlink(temp_.c_str());
        temp_.clear();
        return Failure(user_, error);
    }

    int error() const { return error_; }

    ~NewFile() {
        if (fd_ >= 0 || !temp_.empty()) abandon(0);
    }

private:
    bool flush() {
        if (error_) return false;
        if (!WriteAll(fd_, buffer_)) {
            error_ = errno;
            return false;
        }
        buffer_.clear();
        return true;
    }

    std::string user_, target_, temp_;
    std::string buffer_;
    int fd_ = -1;
    int error_ = 0;
};

// What is at the target now: nothing (ENOENT), a regular file that may be
// written (its stat), or the failure.
std::optional<FileFailure> ExistingTarget(const std::string& userPath, const std::string& target, struct stat& st,
                                          bool& exists) {
    exists = false;
    if (::stat(target.c_str(), &st) != 0) {
        if (errno == ENOENT) return std::nullopt;
        return Failure(userPath, errno);
    }
    if (!S_ISREG(st.st_mode)) return NotRegular(userPath, st.st_mode);
    exists = true;
    if (auto failure = CheckWritable(target, st)) return Failure(userPath, failure->error);
    return std::nullopt;
}

std::optional<FileFailure> WriteInPlace(const std::string& userPath, const std::string& target,
                                        const std::string& bytes) {
    Fd fd;
    struct stat st {};
    if (auto failure = OpenRegular(target, O_WRONLY, fd, st)) return Failure(userPath, failure->error);
    // Overwritten in place, a write that stops part-way would leave a mix:
    // the size limit and the room on the disk are checked before any byte.
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && bytes.size() > limit.rlim_cur)
        return Failure(userPath, EFBIG);
    if (!bytes.empty() && ::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS)
        return Failure(userPath, errno);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd.get(), bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return Failure(userPath, n < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    if (::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0 || ::fsync(fd.get()) != 0)
        return Failure(userPath, errno);
    if (!fd.close()) return Failure(userPath, errno);
    return std::nullopt;
}

}  // namespace

std::string FileErrorText(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR: return "File not found";
        case EACCES:
        case EPERM:
        case EROFS: return "File access denied";
        case ENOSPC:
        case EDQUOT: return "Disk full";
        case ELOOP: return "The symbolic links of this name form a loop";
        case EISDIR: return "This is a folder, not a file";
        case EFBIG:
        case kFileTooLarge: return "File too large";
        case kReadOnlyFile: return "File is read-only";
        case kNotRegularFile: return "This is not a regular file";
        case kFileBusy: return "File is being changed by another program";
        default: return "I/O error " + std::to_string(error);
    }
}

std::string FileKindText(unsigned mode) {
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return {};
}

std::string FileErrorText(const FileFailure& failure) {
    std::string text = FileErrorText(failure.error);
    if (failure.error == kNotRegularFile && !failure.what.empty()) text = "This is " + failure.what + ", not a file";
    if (!failure.lock.empty()) return "The lock file " + failure.lock + " cannot be made: " + text;
    return text;
}

std::string FileProblem(const FileFailure& failure) {
    std::string advice;
    if (!failure.lock.empty()) {
        // The lock file is made beside the file while it changes.
        switch (failure.error) {
            case EACCES:
            case EPERM:
                advice = "You may not make a file in that folder: ask its owner, or use another folder. Nothing was "
                         "changed.";
                break;
            case kNotRegularFile:
            case EISDIR:
            case ELOOP:
                advice = "Corvane makes this file while it changes the file beside it: remove what stands in its "
                         "place. Nothing was changed.";
                break;
            default: break;
        }
        if (!advice.empty()) return failure.path + ": " + FileErrorText(failure) + "\r" + advice;
    }
    switch (failure.error) {
        case ENOENT:
        case ENOTDIR: advice = "Check the file's name and folder."; break;
        case EACCES:
        case EPERM: advice = "You may not change this file or its folder: ask its owner, or use another folder."; break;
        case EROFS: advice = "The disk holding it can only be read."; break;
        case ENOSPC:
        case EDQUOT: advice = "Make room on the disk and try again."; break;
        case ELOOP: advice = "Remove or correct the link that points back."; break;
        case kReadOnlyFile: advice = "Make the file writable to change it."; break;
        case kFileTooLarge: advice = "It is larger than any file Corvane reads."; break;
        case EFBIG: advice = "It would grow beyond the largest file this program may write (see ulimit -f); nothing was changed."; break;
        case kFileBusy: advice = "Another Corvane or corvane-cli kept it busy; nothing was changed. Try again when it is done."; break;
        case kNotRegularFile:
        case EISDIR: advice = "Corvane reads and writes regular files only."; break;
        default: advice = "The system reported an error; check the disk and try again."; break;
    }
    return failure.path + ": " + FileErrorText(failure) + "\r" + advice;
}

std::string FileProblem(const std::string& path, int error) { return FileProblem(Failure(path, error)); }

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::optional<std::string> WriteTarget(const std::string& path, FileFailure* failure) {
    std::string current = path;
    for (int hops = 0; hops <= kMostLinks; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n < 0) {
            if (failure) *failure = Failure(path, errno);
            return std::nullopt;
        }
        link.resize(static_cast<std::size_t>(n));
        current = !link.empty() && link[0] == '/' ? link : FolderOf(current) + "/" + link;
    }
    if (failure) *failure = Failure(path, ELOOP);
    return std::nullopt;
}

FileRead ReadWholeFile(const std::string& path, std::size_t limit) {
    auto refuse = [&](const FileFailure& f) { return FileRead{std::nullopt, FileErrorText(f), f}; };
    Fd fd;
    struct stat st {};
    if (auto failure = OpenRegular(path, O_RDONLY, fd, st)) return refuse(*failure);
    if (static_cast<std::uintmax_t>(st.st_size) > limit) return refuse(Failure(path, kFileTooLarge));
    // Read straight into the result: room for the size the file has and one
    // byte more, so that the end is seen by the first read of a small file.
    const std::size_t mostRead = limit < SIZE_MAX ? limit + 1 : limit;
    std::string bytes(std::min(static_cast<std::size_t>(st.st_size) + 1, mostRead), '\0');
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) bytes.resize(std::min(std::max<std::size_t>(2 * used, kChunk), mostRead));
        const std::size_t asked = bytes.size() - used;
        const ssize_t n = ReadSome(fd.get(), bytes.data() + used, asked);
        if (n < 0) return refuse(Failure(path, errno));
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
        // A file that grows while it is read is still refused whole.
        if (used > limit) return refuse(Failure(path, kFileTooLarge));
        // Fewer bytes than asked, ending at the size the file had when it
        // was opened: its end, without one more read to see nothing.
        if (static_cast<std::size_t>(n) < asked && used == static_cast<std::size_t>(st.st_size)) break;
    }
    bytes.resize(used);
    return {std::move(bytes), {}, std::nullopt};
}

std::optional<FileFailure> ForEachLine(const std::string& path, std::size_t longest, const LineVisitor& line) {
    LineSplitter splitter(
        longest, [&](std::string_view content, std::string_view, bool cut) { return line(content, cut); }, {});
    return Stream(path, splitter);
}

namespace {

// Where a write goes and what stands there now.
struct Destination {
    std::string target;
    struct stat st {};
    bool exists = false;
    const struct stat* like() const { return exists ? &st : nullptr; }
};

// Follows the links of `path`, refuses what may not be written, and removes
// the temporaries that killed writers left beside the target.
std::optional<FileFailure> Prepare(const std::string& path, Destination& d) {
    FileFailure failure;
    const auto target = WriteTarget(path, &failure);
    if (!target) return failure;
    d.target = *target;
    if (auto refused = ExistingTarget(path, d.target, d.st, d.exists)) return refused;
    RemoveDeadTemporaries(d.target);
    return std::nullopt;
}

}  // namespace

std::optional<FileFailure> WriteFileAtomically(const std::string& path, const std::string& bytes) {
    Destination d;
    if (auto refused = Prepare(path, d)) return refused;
    NewFile file;
    if (auto opened = file.open(path, d.target, d.like())) {
        // The folder takes no new file, but the file itself may be written.
        if (d.exists && (opened->error == EACCES || opened->error == EPERM)) return WriteInPlace(path, d.target, bytes);
        return opened;
    }
    file.write(bytes);
    return file.commit();
}

std::optional<FileFailure> RewriteFile(const std::string& path, const Rewrite& rewrite) {
    Destination d;
    if (auto refused = Prepare(path, d)) return refused;
    NewFile file;
    if (auto opened = file.open(path, d.target, d.like())) return opened;

    bool openLine = false;  // the last line written has no end
    auto write = [&](std::string_view bytes) {
        if (bytes.empty()) return true;
        if (openLine) {
            openLine = false;
            if (!file.write("\r\n")) return false;
        }
        return file.write(bytes);
    };
    LineSplitter splitter(
        rewrite.longest,
        [&](std::string_view content, std::string_view end, bool cut) {
            if (cut) {
                openLine = end.empty();
                return file.error() == 0;
            }
            std::optional<std::string> changed;
            if (rewrite.edit) changed = rewrite.edit(content);
            if (!changed) {
                if (!write(std::string(content) + std::string(end))) return false;
                openLine = end.empty() && !content.empty();
                return true;
            }
            return write(*changed);
        },
        [&](std::string_view bytes) { return write(bytes); });

    write(rewrite.head);
    if (d.exists) {
        if (auto read = Stream(d.target, splitter)) return file.abandon(read->error);
        if (file.error()) return file.abandon(file.error());
    }
    write(rewrite.tail);
    return file.commit();
}

std::optional<FileFailure> AppendLine(const std::string& path, const std::string& bytes) {
    Destination d;
    if (auto refused = Prepare(path, d)) return refused;
    if (!d.exists) {
        // Created whole: a new file beside, flushed, renamed, folder flushed.
        NewFile file;
        if (auto opened = file.open(path, d.target, nullptr)) return opened;
        file.write(bytes);
        return file.commit();
    }
    Fd fd;
    struct stat st {};
    if (auto opened = OpenRegular(d.target, O_RDWR | O_APPEND, fd, st)) return Failure(path, opened->error);
    std::string out = bytes;
    if (st.st_size > 0) {
        char last = 0;
        if (::pread(fd.get(), &last, 1, st.st_size - 1) != 1) return Failure(path, errno ? errno : EIO);
        if (last != '\n' && last != '\r') out = "\r\n" + out;
    }
    if (!WriteAll(fd.get(), out) || ::fsync(fd.get()) != 0) {
        const int error = errno;
        // A write cut short (a full disk) must not leave half a line behind.
        if (::ftruncate(fd.get(), st.st_size) == 0) ::fsync(fd.get());
        return Failure(path, error);
    }
    if (!fd.close()) return Failure(path, errno);
    return std::nullopt;
}

void RemoveDeadTemporaries(const std::string& path) {
    const std::string target = WriteTarget(path).value_or(path);
    const std::string folder = FolderOf(target);
    const std::string prefix = target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1) +
                               kTemporaryMark;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    bool removed = false;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) continue;
        const std::string_view number = name.substr(prefix.size());
        if (number.size() > 9 || number.find_first_not_of("0123456789") != std::string_view::npos) continue;
        const pid_t pid = static_cast<pid_t>(std::stol(std::string(number)));
        if (pid == ::getpid() || pid <= 0) continue;
        if (::kill(pid, 0) == 0 || errno != ESRCH) continue;  // its process still runs
        removed |= ::unlinkat(::dirfd(dir), entry->d_name, 0) == 0;
    }
    ::closedir(dir);
    if (removed) SyncFolder(target);
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

void IgnoreFileSizeSignal() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, nullptr);
}

bool FolderWritable(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    if ((st.st_mode & 0222) == 0) return false;
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool FolderExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<FileFailure> MakeFolders(const std::string& folder) {
    if (folder.empty() || FileExists(folder)) return std::nullopt;
    const std::string parent = FolderOf(folder);
    if (parent != folder)
        if (auto failure = MakeFolders(parent)) return failure;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return Failure(folder, errno);
    return std::nullopt;
}

}  // namespace corvane
