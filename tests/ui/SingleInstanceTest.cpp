// One copy per user: a second start brings the first to the front and
// ends; a killed copy never blocks a later start.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QUuid>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "app/SingleInstance.h"
#include "tests/ui/UiFixture.h"

namespace corvane {
namespace {

using SingleInstanceTest = test::UiTest;

TEST_F(SingleInstanceTest, SecondCopyAsksTheFirstToComeForward) {
    const QString name = "CorvaneTest-" + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance first(name);
    ASSERT_FALSE(first.anotherCopyRuns());
    int raised = 0;
    QObject::connect(&first, &SingleInstance::raiseRequested, [&] { ++raised; });
    SingleInstance second(name);
    EXPECT_TRUE(second.anotherCopyRuns());
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 1; }, 3000));
}

TEST_F(SingleInstanceTest, SecondCopyHandsOverItsFiles) {
    const QString name = "CorvaneTest-" + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance first(name);
    ASSERT_FALSE(first.anotherCopyRuns());
    std::vector<QStringList> opened;
    int raised = 0;
    QObject::connect(&first, &SingleInstance::openRequested, [&](const QStringList& f) { opened.push_back(f); });
    QObject::connect(&first, &SingleInstance::raiseRequested, [&] { ++raised; });
    const QStringList files = {"/tmp/a case.PW1", QString::fromUtf8("/tmp/été/b.pw2")};
    SingleInstance second(name);
    EXPECT_TRUE(second.anotherCopyRuns(files));
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened.size() == 1; }, 3000));
    EXPECT_EQ(opened[0], files);
    // Without files, only to the front; a relative path is not taken.
    SingleInstance third(name);
    EXPECT_TRUE(third.anotherCopyRuns());
    SingleInstance fourth(name);
    EXPECT_TRUE(fourth.anotherCopyRuns({"relative.PW1"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 3; }, 3000));
    QTest::qWait(100);
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(SingleInstanceTest, ACallerThatSaysNothingBlocksNeitherTheHolderNorLaterCalls) {
    const QString name = "CorvaneTest-" + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance first(name);
    ASSERT_FALSE(first.anotherCopyRuns());
    int raised = 0;
    QObject::connect(&first, &SingleInstance::raiseRequested, [&] { ++raised; });

    // A connection to the name in the abstract namespace that stays open
    // and silent.
    const QByteArray bytes = first.socketName().toUtf8();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const int silent = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(silent, 0);
    ASSERT_EQ(::connect(silent, reinterpret_cast<const sockaddr*>(&address),
                        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<std::size_t>(bytes.size()))),
              0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 1; }, 3000));

    SingleInstance second(name);
    EXPECT_TRUE(second.anotherCopyRuns());
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised == 2; }, 3000));
    ::close(silent);
    // Asking the holder again changes nothing: it holds the name.
    EXPECT_FALSE(first.anotherCopyRuns());
}

TEST_F(SingleInstanceTest, ANameTooLongForTheSystemRunsWithoutTheGuard) {
    const QString name(200, QLatin1Char('n'));
    SingleInstance first(name);
    EXPECT_FALSE(first.anotherCopyRuns());
    SingleInstance second(name);
    EXPECT_FALSE(second.anotherCopyRuns());
}

TEST_F(SingleInstanceTest, NameIsFreeAgainWhenTheHolderGoes) {
    const QString name = "CorvaneTest-" + QUuid::createUuid().toString(QUuid::Id128);
    {
        SingleInstance first(name);
        ASSERT_FALSE(first.anotherCopyRuns());
    }
    SingleInstance next(name);
    EXPECT_FALSE(next.anotherCopyRuns());
    EXPECT_NE(next.socketName().indexOf(name), -1);
}

TEST_F(SingleInstanceTest, TheRealNameIsTheUsersUnlessATestKeyIsSet) {
    const QByteArray saved = qgetenv(kInstanceKeyVariable);
    const QString uid = QString::number(::getuid());

    qunsetenv(kInstanceKeyVariable);
    EXPECT_EQ(SingleInstance().socketName(), QString::fromLatin1(kInstanceName) + "-" + uid);
    qputenv(kInstanceKeyVariable, "");
    EXPECT_EQ(SingleInstance().socketName(), QString::fromLatin1(kInstanceName) + "-" + uid);

    qputenv(kInstanceKeyVariable, "test42");
    EXPECT_EQ(SingleInstance().socketName(), QString::fromLatin1(kInstanceName) + "-test42-" + uid);

    if (saved.isNull())
        qunsetenv(kInstanceKeyVariable);
    else
        qputenv(kInstanceKeyVariable, saved);
}

// The real program, started twice, and killed.  The copies and the probes
// share a key of this test's own, so a Corvane the user is running meanwhile
// neither answers the probes nor is asked to come forward.
class ProgramInstances : public test::UiTest {
protected:
    void SetUp() override {
        test::UiTest::SetUp();
        saved_ = qgetenv(kInstanceKeyVariable);
        qputenv(kInstanceKeyVariable, key().toUtf8());
    }
    void TearDown() override {
        if (saved_.isNull())
            qunsetenv(kInstanceKeyVariable);
        else
            qputenv(kInstanceKeyVariable, saved_);
        test::UiTest::TearDown();
    }
    static const QString& key() {
        static const QString k = "test-" + QUuid::createUuid().toString(QUuid::Id128);
        return k;
    }
    static QProcess* Start() {
        auto* p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert(kInstanceKeyVariable, key());
        p->setProcessEnvironment(env);
        p->start(CORVANE_PROGRAM, {});
        return p;
    }
    // Waits until a copy holds the instance name.
    static bool Holding() {
        return QTest::qWaitFor(
            [] {
                SingleInstance probe;
                return probe.anotherCopyRuns();
            },
            10000);
    }

private:
    QByteArray saved_;
};

TEST_F(ProgramInstances, SecondStartEndsAtOnceAndAKilledCopyBlocksNothing) {
    std::unique_ptr<QProcess> first(Start());
    ASSERT_TRUE(first->waitForStarted(5000));
    ASSERT_TRUE(Holding());  // (each probe also asks the first copy forward)

    std::unique_ptr<QProcess> second(Start());
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);

    ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
    ASSERT_TRUE(first->waitForFinished(5000));

    std::unique_ptr<QProcess> third(Start());
    ASSERT_TRUE(third->waitForStarted(5000));
    EXPECT_FALSE(third->waitForFinished(1500)) << "a new start after a killed copy must run";
    EXPECT_TRUE(Holding());
    third->kill();
    third->waitForFinished(5000);
}

// What the start does not need stays unloaded: no image-format plugin (the
// menu bar's "more" picture is drawn) and no network library (the guard is a
// plain socket).
TEST_F(ProgramInstances, TheStartLoadsNoImagePluginsAndNoNetworkLibrary) {
    std::unique_ptr<QProcess> copy(Start());
    ASSERT_TRUE(copy->waitForStarted(5000));
    ASSERT_TRUE(Holding());  // the window is made once the name is held
    const QString path = QString("/proc/%1/maps").arg(copy->processId());
    auto mapped = [&] {
        QFile maps(path);
        return maps.open(QIODevice::ReadOnly) ? maps.readAll() : QByteArray();
    };
    // The window has begun once its font is mapped; the menu bar follows
    // within moments, however slow the build.
    EXPECT_TRUE(QTest::qWaitFor([&] { return mapped().contains("Liberation"); }, 20000));
    QElapsedTimer watched;
    watched.start();
    QByteArray seen;
    while (watched.elapsed() < 1500 && !seen.contains("/imageformats/")) {
        QTest::qWait(100);
        seen = mapped();
    }
    EXPECT_TRUE(seen.contains("libQt6Widgets")) << "the maps of the program itself";
    EXPECT_FALSE(seen.contains("/imageformats/"));
    EXPECT_FALSE(seen.contains("libQt6Network"));
    copy->kill();
    copy->waitForFinished(5000);
}

TEST_F(ProgramInstances, ACopyOfTheUserRunningMeanwhileIsNotDisturbed) {
    // Stands for the user's own copy under the real name.  Where the user
    // does run one, this stand-in finds it and holds nothing; the test's
    // copy must run all the same.
    const QByteArray ours = qgetenv(kInstanceKeyVariable);
    qunsetenv(kInstanceKeyVariable);
    SingleInstance users;
    users.anotherCopyRuns();
    qputenv(kInstanceKeyVariable, ours);
    int raised = 0;
    QObject::connect(&users, &SingleInstance::raiseRequested, [&] { ++raised; });

    std::unique_ptr<QProcess> first(Start());
    ASSERT_TRUE(first->waitForStarted(5000));
    ASSERT_TRUE(Holding());
    EXPECT_EQ(first->state(), QProcess::Running) << "the test's copy must not hand over to the user's";
    QTest::qWait(200);
    EXPECT_EQ(raised, 0) << "the user's copy must not be asked forward";
    first->kill();
    first->waitForFinished(5000);
}

}  // namespace
}  // namespace corvane
