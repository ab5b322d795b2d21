#include "app/SingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace corvane {

QString InstanceName() {
    const QString key = qEnvironmentVariable(kInstanceKeyVariable);
    QString name = QString::fromLatin1(kInstanceName);
    if (!key.isEmpty()) name += QStringLiteral("-") + key;
    return name;
}

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent), socketName_(name + QStringLiteral("-") + QString::number(::getuid())) {}

bool SingleInstance::tellRunningCopy() {
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(socketName_);
    if (!socket.waitForConnected(1000)) return false;
    socket.write("raise\n");
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::anotherCopyRuns() {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (tellRunningCopy()) return true;
        auto* server = new QLocalServer(this);
        server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
        if (server->listen(socketName_)) {
            server_ = server;
            connect(server_, &QLocalServer::newConnection, this, [this] {
                while (QLocalSocket* s = server_->nextPendingConnection()) {
                    connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
                    Q_EMIT raiseRequested();
                }
            });
            return false;
        }
        const auto error = server->serverError();
        delete server;
        // Another copy took the name between our two steps: ask it again.
        if (error != QAbstractSocket::AddressInUseError) break;
    }
    // No name to hold (an unusual system): run without the guard rather
    // than refuse to start.
    return false;
}

}  // namespace corvane
