#pragma once
// One running copy per user.  The first copy listens on a local socket in
// Linux's abstract namespace, named after the instance name and the user;
// a later copy that reaches it asks it to come to the front and ends.  The
// name vanishes with the process that held it, so a copy that crashed or
// was killed never blocks a later start.  (A plain socket watched by the
// event loop: the network library is not needed for it.)

#include <QObject>
#include <QString>

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
    // and this copy must end.  Otherwise this copy now holds the name.
    bool anotherCopyRuns();

    // The socket name: the instance name and the user's id.
    const QString& socketName() const { return socketName_; }

Q_SIGNALS:
    // Another copy was started and asks this one to come to the front.
    void raiseRequested();

private:
    bool tellRunningCopy() const;
    void acceptRequests();

    QString socketName_;
    int listening_ = -1;  // the socket that holds the name, once held
    QSocketNotifier* requests_ = nullptr;
};

}  // namespace corvane
