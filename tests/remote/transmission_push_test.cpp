// Pushes to Debian's real transmission-daemon over loopback, RPC authentication on: the upload
// (which Transmission 3 refuses), the RPC fallback, and each failure's alert.

#include "remote/remote_alerts.h"
#include "remote_fixture.h"
#include "support/transmission_daemon.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace pelloran {
namespace {

bool onCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

class TransmissionPushTest : public test::RemoteFixture {
protected:
    void SetUp() override {
        if (test::TransmissionDaemon::binaryPath().isEmpty()) {
            if (onCi()) {
                FAIL() << "transmission-daemon is not installed; scripts/deps installs it";
            }
            GTEST_SKIP() << "transmission-daemon is not installed; scripts/deps installs it";
        }
        QString error;
        ASSERT_TRUE(daemon.start(&error)) << error.toStdString();
        ASSERT_NO_FATAL_FAILURE(startSite());
        useClient(QStringLiteral("Transmission"), daemon.address(), daemon.port(),
                  daemon.username(), daemon.password());
        history.append(QStringLiteral("pushed earlier"));
    }

    std::vector<QString> daemonTorrentNames() {
        std::vector<QString> names;
        const auto torrents = daemon.torrents();
        EXPECT_TRUE(torrents.has_value()) << "torrent-get failed";
        for (const test::DaemonTorrent& t : torrents.value_or(std::vector<test::DaemonTorrent>{})) {
            names.push_back(t.name);
        }
        return names;
    }

    void expectFailure(const test::Outcome& outcome, const Alert& alert) {
        EXPECT_TRUE(outcome.delivered);
        EXPECT_EQ(outcome.result, std::nullopt);
        EXPECT_EQ(outcome.alerts, std::vector<Alert>{alert});
        EXPECT_EQ(history.entries(), QStringList{QStringLiteral("pushed earlier")});
    }

    test::TransmissionDaemon daemon;
};

TEST_F(TransmissionPushTest, PushedTorrentIsInTheDaemonAndLastInTheHistory) {
    const demo::DemoTorrent& first = site.torrents().at(3);
    const demo::DemoTorrent& second = site.torrents().at(11);

    const test::Outcome a = push(first);
    EXPECT_EQ(a.result, std::optional<QString>(first.name));
    EXPECT_TRUE(a.alerts.empty());
    const test::Outcome b = push(second);
    EXPECT_EQ(b.result, std::optional<QString>(second.name));

    EXPECT_EQ(history.entries(),
              (QStringList{QStringLiteral("pushed earlier"), first.name, second.name}));
    std::vector<QString> names = daemonTorrentNames();
    std::sort(names.begin(), names.end());
    std::vector<QString> expected{first.fileName, second.fileName};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
}

TEST_F(TransmissionPushTest, WrongCredentialsFail) {
    serverInfo.setPassword(QStringLiteral("not-the-password"));
    expectFailure(push(site.torrents().at(0)), remote_alerts::connectionFailed());
    serverInfo.setPassword(daemon.password());
    EXPECT_TRUE(daemonTorrentNames().empty());
}

TEST_F(TransmissionPushTest, StoppedDaemonFails) {
    daemon.stop();
    expectFailure(push(site.torrents().at(0)), remote_alerts::connectionFailed());
}

TEST_F(TransmissionPushTest, NoClientChosenFailsAfterFetchingFromTheSite) {
    serverInfo.setClient(QString());
    site.clearRequestLog();
    const demo::DemoTorrent& t = site.torrents().at(5);
    expectFailure(push(t), remote_alerts::connectionFailed());
    bool fetched = false;
    for (const demo::LoggedRequest& r : site.requestLog(QStringLiteral("site"))) {
        fetched = fetched || r.path.startsWith(QStringLiteral("/download/%1/").arg(t.id));
    }
    EXPECT_TRUE(fetched) << "the torrent file was not fetched from the site";
    EXPECT_TRUE(daemonTorrentNames().empty());
}

TEST_F(TransmissionPushTest, SiteNotAnsweringFails) {
    const QString url = torrentUrl(site.torrents().at(0));
    site.stop();
    expectFailure(push(url, site.torrents().at(0).name), remote_alerts::websiteProblem());
    EXPECT_TRUE(daemonTorrentNames().empty());
}

}  // namespace
}  // namespace pelloran
