// Pushes to the loopback fake qBittorrent for the answers Debian's 4.5.2 can't give: 5.2's
// session cookie, 202 and 409, a session that ends before the upload, and "Fails." for a
// torrent the client does not hold. Also what goes on the wire: the Referer it demands, its own
// session cookie only (never the site's), and no HTTP authentication.

#include "remote/info_hash.h"
#include "remote/qbittorrent_push.h"
#include "remote/remote_alerts.h"
#include "remote_fixture.h"
#include "support/test_server.h"
#include "text/qstring_printer.h"

#include <fake_clients.h>
#include <gtest/gtest.h>

#include <atomic>

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

TEST(QBittorrentAnswerTest, OnlyItsOwnWordsSayATorrentWasAdded) {
    using A = QBittorrentAddAnswer;
    const struct {
        int status;
        const char* body;
        A answer;
    } cases[] = {
        {200, "Ok.", A::Added},
        {200, " Ok.\n", A::Added},
        {202, R"({"pending_count":1})", A::Added},
        {200, R"({"success_count":1,"failure_count":0,"pending_count":0})", A::Added},
        {200, R"({"added_torrent_ids":["abc"]})", A::Added},
        {200, "Fails.", A::Ambiguous},
        {200, R"({"success_count":0,"failure_count":1,"pending_count":0})", A::Ambiguous},
        {409, R"({"error":"Torrent already exists"})", A::Held},
        {403, "Forbidden", A::SessionEnded},
        // Anything else says nothing about the torrent.
        {200, "", A::Refused},
        {200, "<html><body>qBittorrent Web UI</body></html>", A::Refused},
        {200, "{}", A::Refused},
        {200, R"({"success_count":0,"failure_count":0,"pending_count":0})", A::Refused},
        {200, "Ok. but not quite", A::Refused},
        {302, "", A::Refused},
        {500, "Ok.", A::Refused},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readAddAnswer(c.status, c.body), c.answer) << c.status << " " << c.body;
    }
}

// A scripted qBittorrent on the wire: it signs in, then answers the upload and the torrent
// lookups as each case says.
class QBittorrentScriptTest : public test::RemoteFixture {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(startSite()); }

    // `add` answers every upload; `heldAfter` lookups answer "none" before one finds the
    // torrent (-1: never).
    test::Outcome pushTo(int addStatus, const std::string& addBody, int heldAfter,
                         const demo::DemoTorrent& t) {
        test::TestServer client;
        auto lookups = std::make_shared<std::atomic<int>>(0);
        client.server().Post("/api/v2/auth/login",
                             [](const httplib::Request&, httplib::Response& res) {
                                 res.set_header("Set-Cookie", "SID=s1; HttpOnly; path=/");
                                 res.set_content("Ok.", "text/plain");
                             });
        client.server().Post("/api/v2/torrents/add",
                             [&](const httplib::Request&, httplib::Response& res) {
                                 res.status = addStatus;
                                 res.set_content(addBody, "text/plain");
                             });
        const std::string hash = torrentInfoHashes(t.torrentFile)->v1.toStdString();
        client.server().Get("/api/v2/torrents/info",
                            [=](const httplib::Request&, httplib::Response& res) {
                                const int asked = lookups->fetch_add(1);
                                res.set_content(heldAfter >= 0 && asked >= heldAfter
                                                    ? R"([{"hash":")" + hash + R"(","name":"x"}])"
                                                    : std::string("[]"),
                                                "application/json");
                            });
        EXPECT_TRUE(client.start());
        useClient(QStringLiteral("qBittorrent"), QStringLiteral("127.0.0.1"), client.port(),
                  QStringLiteral("admin"), QStringLiteral("pw"));
        test::Outcome outcome = push(t);
        lookupsMade = lookups->load();
        return outcome;
    }

    int lookupsMade = 0;
};

TEST_F(QBittorrentScriptTest, AnAnswerThatDoesNotSayAddedIsAFailure) {
    for (const std::string& body :
         {std::string(), std::string("<html>Web UI</html>"), std::string("{}")}) {
        SCOPED_TRACE(body);
        const test::Outcome outcome = pushTo(200, body, -1, site.torrents().at(1));
        EXPECT_EQ(outcome.result, std::nullopt);
        EXPECT_EQ(outcome.alerts, std::vector<Alert>{remote_alerts::connectionFailed()});
        EXPECT_TRUE(history.entries().isEmpty());
        EXPECT_EQ(lookupsMade, 0);
    }
}

// Two pushes of one torrent that meet: 4.5.2 answers "Fails." to the second while the first is
// still being added, and lists the torrent only a moment later.
TEST_F(QBittorrentScriptTest, FailsIsAskedAboutAgainBrieflyBeforeItIsAFailure) {
    const demo::DemoTorrent& t = site.torrents().at(2);
    const test::Outcome raced = pushTo(200, "Fails.", 2, t);
    EXPECT_EQ(raced.result, std::optional<QString>(t.name));
    EXPECT_EQ(raced.alerts, std::vector<Alert>{remote_alerts::alreadySent()});
    EXPECT_EQ(lookupsMade, 3);

    const test::Outcome refused = pushTo(200, "Fails.", -1, t);
    EXPECT_EQ(refused.result, std::nullopt);
    EXPECT_EQ(refused.alerts, std::vector<Alert>{remote_alerts::connectionFailed()});
    EXPECT_EQ(lookupsMade, int(kHeldLookupPauses.size()) + 1);
}

}  // namespace
}  // namespace pelloran
