// Pushes to the loopback fake qBittorrent for the answers Debian's 4.5.2 can't give: 5.2's
// session cookie, 202 and 409, a session that ends before the upload, and "Fails." for a
// torrent the client does not hold. Also what goes on the wire: the Referer it demands, its own
// session cookie only (never the site's), and no HTTP authentication.

#include "remote/info_hash.h"
#include "remote/remote_alerts.h"
#include "remote_fixture.h"
#include "text/qstring_printer.h"

#include <fake_clients.h>
#include <gtest/gtest.h>

namespace pelloran {
namespace {

const QString kUser = QStringLiteral("admin");
const QString kPassword = QStringLiteral("a&b%25c d\u00e9");

class QBittorrentFakeTest : public test::RemoteFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(startSite());
        qbt.setLogin(kUser, kPassword);
        ASSERT_TRUE(qbt.start());
        useClient(QStringLiteral("qBittorrent"), QStringLiteral("127.0.0.1"), qbt.port(), kUser,
                  kPassword);
    }

    size_t count(const QByteArray& path) const {
        size_t n = 0;
        for (const fake::ReceivedRequest& r : qbt.requests()) {
            n += r.path == path;
        }
        return n;
    }

    fake::FakeQBittorrent qbt;
};

TEST_F(QBittorrentFakeTest, Version52TakesATorrentAndTellsADuplicate) {
    const demo::DemoTorrent& t = site.torrents().at(5);
    const test::Outcome sent = push(t);
    EXPECT_EQ(sent.result, std::optional<QString>(t.name));
    EXPECT_TRUE(sent.alerts.empty());
    ASSERT_EQ(qbt.addedTorrents().size(), 1u);
    EXPECT_EQ(qbt.addedTorrents()[0].bytes, t.torrentFile);

    const test::Outcome duplicate = push(t);  // 409
    EXPECT_EQ(duplicate.result, std::optional<QString>(t.name));
    EXPECT_EQ(duplicate.alerts, std::vector<Alert>{remote_alerts::alreadySent()});
    EXPECT_EQ(history.entries(), QStringList{t.name});

    const QByteArray origin = "http://127.0.0.1:" + QByteArray::number(qbt.port());
    for (const fake::ReceivedRequest& r : qbt.requests()) {
        SCOPED_TRACE(r.target.toStdString());
        EXPECT_TRUE(r.header("Referer").startsWith(origin));
        EXPECT_FALSE(r.hasHeader("Authorization"));
        // Only its own session, and only after the sign-in: the site's cookies on the same
        // host never reach it.
        const QByteArray cookie = r.header("Cookie");
        if (r.path == "/api/v2/auth/login") {
            EXPECT_TRUE(cookie.isNull());
        } else {
            EXPECT_TRUE(cookie.startsWith(qbt.sessionCookieName() + "=")) << cookie.data();
            EXPECT_FALSE(cookie.contains(';')) << cookie.data();
        }
    }
}

TEST_F(QBittorrentFakeTest, EndedSessionSignsInAgainOnce) {
    const demo::DemoTorrent& t = site.torrents().at(1);
    qbt.setEndSessionBeforeUpload(true);
    const test::Outcome outcome = push(t);
    EXPECT_EQ(outcome.result, std::optional<QString>(t.name));
    EXPECT_TRUE(outcome.alerts.empty());
    EXPECT_EQ(count("/api/v2/auth/login"), 2u);
    EXPECT_EQ(count("/api/v2/torrents/add"), 2u);
    EXPECT_EQ(qbt.addedTorrents().size(), 1u);
}

TEST_F(QBittorrentFakeTest, FailsIsADuplicateOnlyWhenTheClientHoldsTheInfoHash) {
    qbt.setApi(fake::QBittorrentApi::V4);
    qbt.setAnswerFails(true);
    const demo::DemoTorrent& t = site.torrents().at(4);

    const test::Outcome refused = push(t);
    EXPECT_EQ(refused.result, std::nullopt);
    EXPECT_EQ(refused.alerts, std::vector<Alert>{remote_alerts::connectionFailed()});
    EXPECT_TRUE(history.entries().isEmpty());
    // It was asked by both forms of the torrent's info-hash.
    const InfoHashes hashes = torrentInfoHashes(t.torrentFile).value();
    const fake::ReceivedRequest asked = qbt.lastRequest();
    EXPECT_EQ(asked.path, QByteArray("/api/v2/torrents/info"));
    EXPECT_EQ(asked.queryValue("hashes"), hashes.v1 + "|" + hashes.v2);

    qbt.setHeldHashes({hashes.v1});
    const test::Outcome held = push(t);
    EXPECT_EQ(held.result, std::optional<QString>(t.name));
    EXPECT_EQ(held.alerts, std::vector<Alert>{remote_alerts::alreadySent()});
    EXPECT_EQ(history.entries(), QStringList{t.name});
}

}  // namespace
}  // namespace pelloran
