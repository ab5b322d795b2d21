#pragma once
// One running copy per user.  The first copy listens on a local socket in
// Linux's abstract namespace, named after the instance name and the user;
// a later copy that reaches it asks it to come to the front, hands over the
// files it was started with, and ends.  The name vanishes with the process
// that held it, so a copy that crashed or was killed never blocks a later
// start.  Calls from another user are not answered.  (A plain socket
// watched by the event loop: the network library is not needed for it.)
//
// What a call says: "raise\n", or "open\n" and each absolute path followed
// by a zero byte; the call ends when the caller closes it.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

class QSocketNotifier;

namespace corvane {

inline constexpr const char* kInstanceName = "Corvane1482480178274976";

// Tests set this variable so that the copies they start, and their probes,
// hold a name of their own and never meet a copy the user is running.
inline constexpr const char* kInstanceKeyVariable = "CORVANE_INSTANCE_KEY";

// The instance name: kInstanceName, followed by "-" and the value of
// kInstanceKeyVariable where that is set and not empty.
QString InstanceName();

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& name = InstanceName(), QObject* parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another copy runs: it has been asked to come to the front
    // and to open the files (absolute paths), and this copy must end.
    // Otherwise this copy now holds the name.
    bool anotherCopyRuns(const QStringList& files = {});

    // The socket name: the instance name and the user's id.
    const QString& socketName() const { return socketName_; }

Q_SIGNALS:
    // Another copy was started and asks this one to come to the front.
    void raiseRequested();
    // ... and to open these files.
    void openRequested(const QStringList& files);

private:
    // A call being read.
    struct Call {
        int fd = -1;
        QByteArray said;
        QSocketNotifier* notifier = nullptr;
    };

    bool tellRunningCopy(const QByteArray& message) const;
    void acceptRequests();
    void readCall(int fd);
    void endCall(int fd);

    QString socketName_;
    int listening_ = -1;  // the socket that holds the name, once held
    QSocketNotifier* requests_ = nullptr;
    std::vector<Call> calls_;
};

}  // namespace corvane
