// A run stopped by a signal (systemd's SIGTERM when a timer run is stopped, Ctrl+C's SIGINT)
// ends at once wherever it waits on the network, with the stopped status, and leaves the data
// folder whole: the run lock free, the settings readable, the member still signed in. The
// waits below are far shorter than what the run waits on, so a run that ignored the signal, or
// died of it, fails them; no duration is asserted.

#include "cli/cli_fixture.h"
#include "store/run_lock.h"
#include "support/hostile_server.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <csignal>
#include <functional>

namespace pelloran {
namespace {

constexpr int kMuchSoonerMs = 15000;

class CliStopTest : public CliTest {};

TEST_F(CliStopTest, AStoppedPushNewEndsAtOnceWithTheStoppedStatusAndItsFilesWhole) {
    test::HostileServer client(test::HostileServer::Mode::Stall);
    ASSERT_TRUE(client.start());
    ASSERT_EQ(signIn().exitCode, 0);
    ASSERT_EQ(cli({QStringLiteral("filters"), QStringLiteral("add"), QStringLiteral(".")}).exitCode,
              0);
    ASSERT_EQ(setClient(QStringLiteral("Transmission"), QStringLiteral("127.0.0.1"), client.port(),
                        QStringLiteral("demo"), QStringLiteral("secret")),
              0);
    const auto favoritesAsked = [&] { return !site.requestLog(QStringLiteral("site")).empty(); };
    const struct {
        const char* what;
        int signal;
        int status;
        QStringList options;
        std::function<void()> arrange;
        std::function<bool()> waiting;  // true once the run waits where it is stopped
    } cases[] = {
        {"SIGTERM while the client never answers",
         SIGTERM,
         143,
         {QStringLiteral("--min-interval"), QStringLiteral("0")},
         [] {},
         [&] { return client.connectionCount() > 0; }},
        {"SIGINT while the site's Retry-After is waited out at the pace",
         SIGINT,
         130,
         {},
         [&] { site.setListingFailure(1, 429, QStringLiteral("40"), 1); },
         favoritesAsked},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        site.clearRequestLog();
        QProcess run;
        run.setProcessEnvironment(env);
        run.start(QStringLiteral(PELLORAN_CLI_PATH),
                  QStringList{QStringLiteral("favorites"), QStringLiteral("--push-new"),
                              QStringLiteral("--pages"), QStringLiteral("1")} +
                      c.options);
        ASSERT_TRUE(run.waitForStarted(10000));
        run.closeWriteChannel();
        ASSERT_TRUE(QTest::qWaitFor(c.waiting, 30000)) << "the run never got to its wait";
        ::kill(static_cast<pid_t>(run.processId()), c.signal);
        const bool ended = run.waitForFinished(kMuchSoonerMs);
        if (!ended) {
            run.kill();
            run.waitForFinished();
        }
        ASSERT_TRUE(ended) << "the run outlived its signal";
        const QString err = QString::fromUtf8(run.readAllStandardError());
        EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(run.exitCode(), c.status) << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("Stopped by "))) << err.toStdString();
        // A cancelled exchange is neither the site's fault nor the client's.
        EXPECT_FALSE(err.contains(QStringLiteral("Connection"))) << err.toStdString();
        EXPECT_FALSE(err.contains(QStringLiteral("problem"))) << err.toStdString();
        EXPECT_TRUE(QString::fromUtf8(run.readAllStandardOutput())
                        .contains(QStringLiteral("Summary: sent 0")));

        const RunLock::Attempt lock =
            RunLock::tryTake(home.path(), QStringLiteral("automatic-push.lock"));
        EXPECT_EQ(lock.status, RunLock::Status::Taken) << "the run lock outlived the run";
    }
    // Settings, history and cookies as they were: the client still chosen, nothing recorded as
    // sent, the member still signed in.
    const CliRun remote = cli({QStringLiteral("remote"), QStringLiteral("show")});
    EXPECT_EQ(remote.exitCode, 0) << remote.err.toStdString();
    EXPECT_TRUE(remote.out.contains(QString::number(client.port()))) << remote.out.toStdString();
    const CliRun history = cli({QStringLiteral("history")});
    EXPECT_EQ(history.exitCode, 0) << history.err.toStdString();
    EXPECT_EQ(cli({QStringLiteral("browse")}).exitCode, 0);
}

}  // namespace
}  // namespace pelloran
