// Pushes to Debian's real qbittorrent-nox (4.5.2) over loopback, signed in with a password
// holding "&", "%", a space and a non-ASCII letter: the torrent reaches it, a second push of
// the same torrent ("Fails." from 4.5.2, then found by its info-hash) is already sent, the
// session stays out of the shared cookie store, and refused sign-ins are never repeated, so the
// ban comes only after the member's own five tries and is told as such.

#include "remote/info_hash.h"
#include "remote/remote_alerts.h"
#include "remote_fixture.h"
#include "support/loopback_port.h"
#include "support/need_installed.h"
#include "support/qbittorrent_daemon.h"
#include "support/test_server.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

class QBittorrentPushTest : public test::RemoteFixture {
protected:
    void SetUp() override {
        PELLORAN_NEED_INSTALLED(!test::QBittorrentDaemon::binaryPath().isEmpty(),
                                "qbittorrent-nox");
        QString error;
        ASSERT_TRUE(daemon.start(&error)) << error.toStdString();
        ASSERT_NO_FATAL_FAILURE(startSite());
        useClient(QStringLiteral("qBittorrent"), daemon.address(), daemon.port(), daemon.username(),
                  daemon.password());
    }

    std::vector<test::DaemonTorrent> held() {
        const auto torrents = daemon.torrents();
        EXPECT_TRUE(torrents.has_value()) << "torrents/info failed";
        return torrents.value_or(std::vector<test::DaemonTorrent>{});
    }

    void expectFailure(const test::Outcome& outcome, const Alert& alert) {
        EXPECT_TRUE(outcome.delivered);
        EXPECT_EQ(outcome.result, std::nullopt);
        EXPECT_EQ(outcome.alerts, std::vector<Alert>{alert});
    }

    test::QBittorrentDaemon daemon;
};

TEST_F(QBittorrentPushTest, PushedTorrentIsThereAndPushingItAgainIsAlreadySent) {
    const demo::DemoTorrent& t = site.torrents().at(6);
    history.append(QStringLiteral("pushed earlier"));
    const QStringList siteCookies = cookieNames();

    const test::Outcome first = push(t);
    EXPECT_EQ(first.result, std::optional<QString>(t.name));
    EXPECT_TRUE(first.alerts.empty());
    std::vector<test::DaemonTorrent> torrents = held();
    ASSERT_EQ(torrents.size(), 1u);
    EXPECT_EQ(torrents[0].name, t.fileName);
    EXPECT_EQ(torrents[0].hashString.toLatin1(), torrentInfoHashes(t.torrentFile)->v1);

    // 4.5.2 answers "Fails." for the same torrent again: asked by its info-hash, it has it.
    const test::Outcome again = push(t);
    EXPECT_EQ(again.result, std::optional<QString>(t.name));
    EXPECT_EQ(again.alerts, std::vector<Alert>{remote_alerts::alreadySent()});
    EXPECT_EQ(history.entries(), (QStringList{QStringLiteral("pushed earlier"), t.name}));
    // Sent from elsewhere (not in the history): it goes there once.
    history.removeRow(0);
    EXPECT_EQ(push(t).alerts, std::vector<Alert>{remote_alerts::alreadySent()});
    EXPECT_EQ(history.entries(), (QStringList{QStringLiteral("pushed earlier"), t.name}));
    EXPECT_EQ(held().size(), 1u);

    // The client's session never entered the cookie store the site's requests use.
    EXPECT_EQ(cookieNames(), siteCookies);
}

// Two pushes of one torrent that meet (the app and a run of the command line): whichever comes
// second finds it being added. Both are done, and the client holds it once.
TEST_F(QBittorrentPushTest, TwoPushesOfOneTorrentAtOnceAreBothDone) {
    const demo::DemoTorrent& t = site.torrents().at(11);
    OperationQueue first(1);
    OperationQueue second(1);
    QObject context;
    std::vector<std::optional<QString>> results;
    for (OperationQueue* queue : {&first, &second}) {
        queue->addOperation(std::make_unique<FetchPageDownload>(
            torrentUrl(t), t.name, remote(), &context,
            [&results](std::optional<QString> name) { results.push_back(std::move(name)); }));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return results.size() == 2; }, 90000));
    EXPECT_EQ(results, (std::vector<std::optional<QString>>{t.name, t.name}));
    EXPECT_EQ(held().size(), 1u);
    EXPECT_EQ(history.entries(), QStringList{t.name});
}

TEST_F(QBittorrentPushTest, FileThatIsNotATorrentIsRefused) {
    // A bencoded dictionary, so the site's download passes; qBittorrent answers 415.
    test::TestServer files;
    files.server().Get("/spam.torrent", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("d4:spam4:eggse", "application/x-bittorrent");
    });
    ASSERT_TRUE(files.start());
    expectFailure(push(files.url(QStringLiteral("/spam.torrent")), QStringLiteral("spam")),
                  remote_alerts::connectionFailed());
    EXPECT_TRUE(held().empty());
    EXPECT_TRUE(history.entries().isEmpty());
}

TEST_F(QBittorrentPushTest, ConnectionTestSignsIn) {
    const test::Outcome tested = fetchRemoteUi(true);
    ASSERT_TRUE(tested.result.has_value());
    EXPECT_TRUE(tested.result->contains(QLatin1StringView("qBittorrent")));
    EXPECT_EQ(tested.alerts, std::vector<Alert>{remote_alerts::connectionTestSucceeded()});

    // Its page answers anyone; the wrong password is caught by the sign-in.
    serverInfo.setPassword(QStringLiteral("not the password"));
    const test::Outcome refused = fetchRemoteUi(true);
    EXPECT_TRUE(refused.result.has_value());
    EXPECT_EQ(refused.alerts, std::vector<Alert>{remote_alerts::connectionFailed()});
}

TEST_F(QBittorrentPushTest, RefusedSignInsAreNeverRepeatedAndTheBanIsTold) {
    const demo::DemoTorrent& t = site.torrents().at(2);
    serverInfo.setPassword(daemon.password() + QStringLiteral("x"));
    // Each push signs in once: the member's five pushes are qBittorrent's five refusals.
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        expectFailure(push(t), remote_alerts::connectionFailed());
    }
    expectFailure(push(t), remote_alerts::clientBanned());
    // Even the right password is refused now; the test says so too.
    serverInfo.setPassword(daemon.password());
    expectFailure(push(t), remote_alerts::clientBanned());
    EXPECT_EQ(fetchRemoteUi(true).alerts, std::vector<Alert>{remote_alerts::clientBanned()});
    EXPECT_TRUE(held().empty());
    EXPECT_TRUE(history.entries().isEmpty());
}

}  // namespace
}  // namespace pelloran
