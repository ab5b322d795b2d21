#include "app/SingleInstance.h"

#include <QFile>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace corvane {

namespace {

// The name's address in the abstract namespace: a zero byte, then the
// name's bytes; nothing where the name does not fit.
bool AbstractAddress(const QString& name, sockaddr_un& address, socklen_t& length) {
    const QByteArray bytes = name.toUtf8();
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (bytes.isEmpty() || static_cast<std::size_t>(bytes.size()) + 1 > sizeof address.sun_path) return false;
    std::memcpy(address.sun_path + 1, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<std::size_t>(bytes.size()));
    return true;
}

// A system call again while a signal interrupts it.
template <class Call>
auto Retrying(Call call) {
    for (;;) {
        const auto r = call();
        if (r >= 0 || errno != EINTR) return r;
    }
}

}  // namespace

QString InstanceName() {
    const QString key = qEnvironmentVariable(kInstanceKeyVariable);
    QString name = QString::fromLatin1(kInstanceName);
    if (!key.isEmpty()) name += QStringLiteral("-") + key;
    return name;
}

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), socketName_(name + QStringLiteral("-") + QString::number(::getuid())) {}

SingleInstance::~SingleInstance() {
    for (Call& c : calls_) {
        delete c.notifier;
        ::close(c.fd);
    }
    delete requests_;
    if (listening_ >= 0) ::close(listening_);
}

bool SingleInstance::tellRunningCopy(const QByteArray& message) const {
    sockaddr_un address{};
    socklen_t length = 0;
    if (!AbstractAddress(socketName_, address, length)) return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    // A copy too busy to take the call within a second counts as running.
    const timeval second{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &second, sizeof second);
    const int connected = Retrying([&] { return ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length); });
    const bool running = connected == 0 || errno == EAGAIN;
    if (connected == 0) {
        for (qsizetype sent = 0; sent < message.size();) {
            const auto n = Retrying([&] {
                return ::send(fd, message.constData() + sent, static_cast<std::size_t>(message.size() - sent), MSG_NOSIGNAL);
            });
            if (n <= 0) break;
            sent += n;
        }
    }
    ::close(fd);
    return running;
}

bool SingleInstance::anotherCopyRuns(const QStringList& files) {
    if (listening_ >= 0) return false;  // this copy holds the name
    QByteArray message = files.isEmpty() ? QByteArray("raise\n") : QByteArray("open\n");
    for (const QString& file : files) message += QFile::encodeName(file) + '\0';
    sockaddr_un address{};
    socklen_t length = 0;
    // No name to hold (an unusual system): run without the guard rather
    // than refuse to start.
    if (!AbstractAddress(socketName_, address, length)) return false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (tellRunningCopy(message)) return true;
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) return false;
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 && ::listen(fd, 16) == 0) {
            listening_ = fd;
            requests_ = new QSocketNotifier(fd, QSocketNotifier::Read);
            connect(requests_, &QSocketNotifier::activated, this, [this] { acceptRequests(); });
            return false;
        }
        const int error = errno;
        ::close(fd);
        // Another copy took the name between our two steps: ask it again.
        if (error != EADDRINUSE) break;
    }
    return false;
}

namespace {

// A caller may hand over many files, within reason.
constexpr qsizetype kLongestCall = 1 << 20;
// Calls read at once; a further call ends the oldest.
constexpr std::size_t kMostCalls = 8;

// Whether the caller runs as this user.
bool SameUser(int fd) {
    ucred who{};
    socklen_t size = sizeof who;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &who, &size) == 0 && who.uid == ::getuid();
}

}  // namespace

// Every waiting call of this user is a request to come to the front; what
// it says is read as it comes.
void SingleInstance::acceptRequests() {
    for (;;) {
        const int call = Retrying([&] { return ::accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK); });
        if (call < 0) return;
        if (!SameUser(call)) {
            ::close(call);
            continue;
        }
        if (calls_.size() >= kMostCalls) endCall(calls_.front().fd);
        Call c;
        c.fd = call;
        c.notifier = new QSocketNotifier(call, QSocketNotifier::Read);
        connect(c.notifier, &QSocketNotifier::activated, this, [this, call] { readCall(call); });
        calls_.push_back(c);
        Q_EMIT raiseRequested();
    }
}

void SingleInstance::readCall(int fd) {
    const auto it = std::find_if(calls_.begin(), calls_.end(), [fd](const Call& c) { return c.fd == fd; });
    if (it == calls_.end()) return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = Retrying([&] { return ::recv(fd, buffer, sizeof buffer, 0); });
        if (n > 0) {
            it->said.append(buffer, static_cast<qsizetype>(n));
            if (it->said.size() > kLongestCall) break;  // not one of ours
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;  // more to come
        // The caller has said all: the files it hands over, if any.
        QStringList files;
        if (n == 0 && it->said.startsWith("open\n")) {
            for (const QByteArray& path : it->said.mid(5).split('\0'))
                if (!path.isEmpty() && path.startsWith('/')) files << QFile::decodeName(path);
        }
        endCall(fd);
        if (!files.isEmpty()) Q_EMIT openRequested(files);
        return;
    }
    endCall(fd);
}

void SingleInstance::endCall(int fd) {
    const auto it = std::find_if(calls_.begin(), calls_.end(), [fd](const Call& c) { return c.fd == fd; });
    if (it == calls_.end()) return;
    it->notifier->setEnabled(false);
    it->notifier->deleteLater();
    ::close(it->fd);
    calls_.erase(it);
}

}  // namespace corvane
