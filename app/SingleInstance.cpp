#include "app/SingleInstance.h"

#include <QSocketNotifier>
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
    delete requests_;
    if (listening_ >= 0) ::close(listening_);
}

bool SingleInstance::tellRunningCopy() const {
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
        static constexpr char kRaise[] = "raise\n";
        Retrying([&] { return ::send(fd, kRaise, sizeof kRaise - 1, MSG_NOSIGNAL); });
    }
    ::close(fd);
    return running;
}

bool SingleInstance::anotherCopyRuns() {
    if (listening_ >= 0) return false;  // this copy holds the name
    sockaddr_un address{};
    socklen_t length = 0;
    // No name to hold (an unusual system): run without the guard rather
    // than refuse to start.
    if (!AbstractAddress(socketName_, address, length)) return false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (tellRunningCopy()) return true;
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

// Every waiting call is one request to come to the front; what it says
// is not read.
void SingleInstance::acceptRequests() {
    for (;;) {
        const int call = Retrying([&] { return ::accept4(listening_, nullptr, nullptr, SOCK_CLOEXEC); });
        if (call < 0) return;
        ::close(call);
        Q_EMIT raiseRequested();
    }
}

}  // namespace corvane
