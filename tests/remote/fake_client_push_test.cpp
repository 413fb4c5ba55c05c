// Pushes to the loopback fake Vuze and uTorrent web interfaces: what reaches them, how their
// refusals end, and the history under concurrent pushes.

#include "remote/remote_alerts.h"
#include "remote_fixture.h"
#include "store/settings_keys.h"
#include "support/test_server.h"
#include "text/qstring_printer.h"

#include <fake_clients.h>
#include <gtest/gtest.h>

#include <QSet>
#include <map>
#include <mutex>

namespace pelloran {
namespace {

class FakeClientPushTest : public test::RemoteFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(startSite());
        ASSERT_TRUE(vuze.start());
        ASSERT_TRUE(utorrent.start());
    }

    fake::FakeClientBase& fakeNamed(const QString& name) {
        return name == QLatin1StringView("Vuze") ? static_cast<fake::FakeClientBase&>(vuze)
                                                 : utorrent;
    }

    fake::FakeVuze vuze;
    fake::FakeUtorrent utorrent;
};

TEST_F(FakeClientPushTest, TorrentReachesTheClientWithCredentialsAndFileName) {
    const demo::DemoTorrent& t = site.torrents().at(7);
    // The last piece of the address is the file name, percent escapes and all.
    const QString url = torrentUrl(t, QStringLiteral("Caf%C3%A9%20Noir.torrent"));
    for (const QString& name : {QStringLiteral("Vuze"), QStringLiteral("Utorrent")}) {
        SCOPED_TRACE(name.toStdString());
        fake::FakeClientBase& fake = fakeNamed(name);
        fake.setCredentials(QStringLiteral("member"), QStringLiteral("pa:ss w\u00f6rd"));
        useClient(name, QStringLiteral("127.0.0.1"), fake.port(), QStringLiteral("member"),
                  QStringLiteral("pa:ss w\u00f6rd"));

        const test::Outcome outcome = push(url, t.name);
        EXPECT_EQ(outcome.result, std::optional<QString>(t.name));
        EXPECT_TRUE(outcome.alerts.empty());
        const std::vector<fake::AddedTorrent> added = fake.addedTorrents();
        ASSERT_EQ(added.size(), 1u);  // the fake demands the credentials on every request
        EXPECT_EQ(added[0].filename, QByteArray("Caf%C3%A9%20Noir.torrent"));
        EXPECT_EQ(added[0].bytes, t.torrentFile);
        const fake::ReceivedRequest upload = fake.lastRequest();
        EXPECT_EQ(upload.method, QByteArray("POST"));
        EXPECT_EQ(upload.header("Keep-Alive"), QByteArray("115"));
    }
    const std::vector<fake::ReceivedRequest> u = utorrent.requests();
    ASSERT_EQ(u.size(), 2u);
    EXPECT_EQ(u[0].target, QByteArray("/gui/token.html"));
    EXPECT_EQ(u[1].target,
              "/gui/?token=" + utorrent.issuedTokens().at(0).toLatin1() + "&action=add-file");
    EXPECT_EQ(vuze.requests().size(), 1u);  // no handshake
    EXPECT_EQ(history.entries(), (QStringList{t.name, t.name}));
}

// The token page may hold anything; what it holds reaches the client as the token and
// nothing else. Raw, "&action=remove" would add an action and "#" cut the add-file action off
// (the client then answers its build number, and the push looked sent).
TEST_F(FakeClientPushTest, UtorrentTokenStaysOneQueryValue) {
    const std::string token = "abc&action=remove&hash=0123456789abcdef#x y+z%41";
    test::TestServer client;
    std::mutex mutex;
    std::vector<std::multimap<std::string, std::string>> uploads;
    client.server().Get("/gui/token.html", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><div id='token' style='display:none;'>" + token + "</div></html>",
                        "text/html");
    });
    client.server().Post("/gui/", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(mutex);
        uploads.emplace_back(req.params.begin(), req.params.end());
        const bool addsTheFile =
            req.get_param_value_count("action") == 1 &&
            req.get_param_value("action") == "add-file" && req.get_param_value("token") == token &&
            req.body.find("name=\"torrent_file\"; filename=") != std::string::npos;
        res.status = addsTheFile ? 200 : 400;
        res.set_content(addsTheFile ? "{\"build\":25406}" : "invalid request", "text/plain");
    });
    ASSERT_TRUE(client.start());
    useClient(QStringLiteral("Utorrent"), QStringLiteral("127.0.0.1"), client.port());
    const demo::DemoTorrent& t = site.torrents().at(3);
    const test::Outcome outcome = push(t);
    EXPECT_EQ(outcome.result, std::optional<QString>(t.name));
    EXPECT_TRUE(outcome.alerts.empty());
    std::lock_guard lock(mutex);
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0],
              (std::multimap<std::string, std::string>{{"action", "add-file"}, {"token", token}}));
}

TEST_F(FakeClientPushTest, NoUserNameSendsNoAuthorization) {
    // First with the user name never stored (absent), then stored empty.
    for (const QString& name : {QStringLiteral("Vuze"), QStringLiteral("Utorrent")}) {
        fake::FakeClientBase& fake = fakeNamed(name);
        serverInfo.setClient(name);
        serverInfo.setAddress(QStringLiteral("127.0.0.1"));
        serverInfo.setPort(QString::number(fake.port()));
        serverInfo.setPassword(QStringLiteral("ignored"));
        if (name == QLatin1StringView("Utorrent")) {
            serverInfo.setUsername(QString());
        }
        ASSERT_EQ(serverInfo.username().has_value(), name == QLatin1StringView("Utorrent"));
        EXPECT_TRUE(push(site.torrents().at(1)).result.has_value()) << name.toStdString();
        for (const fake::ReceivedRequest& r : fake.requests()) {
            EXPECT_FALSE(r.hasHeader("Authorization")) << r.target.toStdString();
        }
    }
}

TEST_F(FakeClientPushTest, RefusalsFailWithoutTouchingTheHistory) {
    history.append(QStringLiteral("kept"));
    const struct {
        const char* label;
        const char* client;
        std::function<void()> arrange;
    } cases[] = {
        {"vuze 500", "Vuze", [this] { vuze.setFailWithStatus(500); }},
        {"vuze wrong password", "Vuze",
         [this] { vuze.setCredentials(QStringLiteral("member"), QStringLiteral("other")); }},
        {"vuze drops the connection", "Vuze", [this] { vuze.setDropConnection(true); }},
        {"utorrent 500", "Utorrent", [this] { utorrent.setFailWithStatus(500); }},
        // The whole page becomes the token: the add-file address is then refused.
        {"utorrent page without token", "Utorrent", [this] { utorrent.setOmitTokenElement(true); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        vuze.setFailWithStatus(0);
        vuze.setDropConnection(false);
        vuze.setCredentials(QString(), QString());
        utorrent.setFailWithStatus(0);
        utorrent.setOmitTokenElement(false);
        c.arrange();
        const QString name = QString::fromLatin1(c.client);
        useClient(name, QStringLiteral("127.0.0.1"), fakeNamed(name).port(),
                  QStringLiteral("member"), QStringLiteral("secret"));
        const test::Outcome outcome = push(site.torrents().at(4));
        EXPECT_TRUE(outcome.delivered);
        EXPECT_EQ(outcome.result, std::nullopt);
        EXPECT_EQ(outcome.alerts, std::vector<Alert>{remote_alerts::connectionFailed()});
        EXPECT_EQ(history.entries(), QStringList{QStringLiteral("kept")});
    }
    EXPECT_TRUE(vuze.addedTorrents().empty());
    EXPECT_TRUE(utorrent.addedTorrents().empty());
}

TEST_F(FakeClientPushTest, FullHistoryDropsTheOldest) {
    QStringList full;
    for (int i = 0; i < 50; ++i) {
        full.append(QStringLiteral("old %1").arg(i));
    }
    store.setValue(keys::torrentHistory, full);
    useClient(QStringLiteral("Vuze"), QStringLiteral("127.0.0.1"), vuze.port());
    const demo::DemoTorrent& t = site.torrents().at(9);
    ASSERT_EQ(push(t).result, std::optional<QString>(t.name));
    full.removeFirst();
    full.append(t.name);
    EXPECT_EQ(SettingsStore(home.path()).stringList(keys::torrentHistory), full);
}

TEST_F(FakeClientPushTest, ConcurrentPushesFromTwoScreensLoseNoEntry) {
    useClient(QStringLiteral("Vuze"), QStringLiteral("127.0.0.1"), vuze.port());
    constexpr int kPerQueue = 20;
    OperationQueue browse(1);
    OperationQueue search(1);
    QObject context;
    int delivered = 0;
    QStringList expected;
    for (int i = 0; i < kPerQueue; ++i) {
        for (OperationQueue* queue : {&browse, &search}) {
            const QString name =
                QStringLiteral("%1 push %2")
                    .arg(queue == &browse ? QStringLiteral("browse") : QStringLiteral("search"))
                    .arg(i);
            expected.append(name);
            queue->addOperation(std::make_unique<FetchPageDownload>(
                torrentUrl(site.torrents().at(size_t(i))), name, remote(), &context,
                [&delivered](std::optional<QString> result) {
                    delivered += result.has_value() ? 1 : 0;
                }));
        }
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered == 2 * kPerQueue; }, 90000));
    QStringList got =
        SettingsStore(home.path()).stringList(keys::torrentHistory).value_or(QStringList());
    EXPECT_EQ(got.size(), 2 * kPerQueue);
    got.sort();
    expected.sort();
    EXPECT_EQ(got, expected);
    EXPECT_EQ(vuze.addedTorrents().size(), size_t(2 * kPerQueue));
}

}  // namespace
}  // namespace pelloran
