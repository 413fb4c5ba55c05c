// Pushes to Debian's real deluged + deluge-web (2.0.3) over loopback, with a password holding
// "&", "%", a space and a non-ASCII letter: the first push finds the web interface unconnected
// and connects it to its daemon, a second push of the same torrent ("already in session") is
// already sent, the session stays out of the shared cookie store, and a wrong password or a
// daemon gone fail with the connection alert rather than hang.

#include "remote/info_hash.h"
#include "remote/remote_alerts.h"
#include "remote_fixture.h"
#include "support/deluge_daemon.h"
#include "support/loopback_port.h"
#include "support/test_server.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <mutex>

namespace pelloran {
namespace {

class DelugePushTest : public test::RemoteFixture {
protected:
    void SetUp() override {
        if (test::DelugeDaemon::daemonPath().isEmpty() || test::DelugeDaemon::webPath().isEmpty()) {
            if (test::onCi()) {
                FAIL() << "deluged and deluge-web are not installed; scripts/deps installs them";
            }
            GTEST_SKIP() << "deluged and deluge-web are not installed; scripts/deps installs them";
        }
        QString error;
        ASSERT_TRUE(deluge.start(&error)) << error.toStdString();
        ASSERT_NO_FATAL_FAILURE(startSite());
        // A user name is not Deluge's: it is left unused.
        useClient(QStringLiteral("Deluge"), deluge.address(), deluge.port(),
                  QStringLiteral("ignored"), deluge.password());
    }

    QStringList heldHashes() {
        const auto torrents = deluge.torrents();
        EXPECT_TRUE(torrents.has_value()) << "the fixture could not list the torrents";
        QStringList hashes;
        for (const test::DaemonTorrent& t : torrents.value_or(std::vector<test::DaemonTorrent>{})) {
            hashes.append(t.hashString);
        }
        hashes.sort();
        return hashes;
    }

    void expectFailure(const test::Outcome& outcome) {
        EXPECT_TRUE(outcome.delivered);
        EXPECT_EQ(outcome.result, std::nullopt);
        EXPECT_EQ(outcome.alerts, std::vector<Alert>{remote_alerts::connectionFailed()});
    }

    test::DelugeDaemon deluge;
};

TEST_F(DelugePushTest, PushConnectsToTheDaemonAndPushingAgainIsAlreadySent) {
    const demo::DemoTorrent& first = site.torrents().at(8);
    const demo::DemoTorrent& second = site.torrents().at(9);
    const QStringList siteCookies = cookieNames();

    const test::Outcome a = push(first);
    EXPECT_EQ(a.result, std::optional<QString>(first.name));
    EXPECT_TRUE(a.alerts.empty());
    const test::Outcome again = push(first);
    EXPECT_EQ(again.result, std::optional<QString>(first.name));
    EXPECT_EQ(again.alerts, std::vector<Alert>{remote_alerts::alreadySent()});
    EXPECT_EQ(push(second).result, std::optional<QString>(second.name));

    EXPECT_EQ(history.entries(), (QStringList{first.name, second.name}));
    QStringList expected{QString::fromLatin1(torrentInfoHashes(first.torrentFile)->v1),
                         QString::fromLatin1(torrentInfoHashes(second.torrentFile)->v1)};
    expected.sort();
    EXPECT_EQ(heldHashes(), expected);
    EXPECT_EQ(cookieNames(), siteCookies);

    const test::Outcome tested = fetchRemoteUi(true);
    ASSERT_TRUE(tested.result.has_value());
    EXPECT_TRUE(tested.result->contains(QLatin1StringView("Deluge")));
    EXPECT_EQ(tested.alerts, std::vector<Alert>{remote_alerts::connectionTestSucceeded()});
}

TEST_F(DelugePushTest, WrongPasswordAndDaemonGoneFail) {
    const demo::DemoTorrent& t = site.torrents().at(3);
    serverInfo.setPassword(deluge.password().left(5));
    expectFailure(push(t));
    EXPECT_EQ(fetchRemoteUi(true).alerts, std::vector<Alert>{remote_alerts::connectionFailed()});
    EXPECT_TRUE(heldHashes().isEmpty());

    // The web interface without its daemon: "core" calls would never be answered, so the push
    // finds it unconnected, can't connect it, and fails.
    serverInfo.setPassword(deluge.password());
    deluge.stopDaemon();
    expectFailure(push(t));
    EXPECT_TRUE(history.entries().isEmpty());
}

// ---- The exchanges Debian's Deluge won't show on demand, against a scripted web interface ----

struct Scripted {
    std::string method;
    std::string answer;  // the whole JSON answer
};

struct ScriptCase {
    const char* label;
    std::vector<Scripted> script;  // the calls expected, in order, with their answers
    bool pushed;
};

class DelugeScriptTest : public test::RemoteFixture {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(startSite()); }
};

TEST_F(DelugeScriptTest, SignInConnectAndRepeatAsTheAnswersSay) {
    const std::string ok = R"({"result": true, "error": null, "id": 1})";
    const std::string methods = R"({"result": ["core.add_torrent_file"], "error": null, "id": 1})";
    const std::string added = R"({"result": "0123abcd", "error": null, "id": 1})";
    const std::string notSignedIn =
        R"({"result": null, "error": {"message": "Not authenticated", "code": 1}, "id": 1})";
    const std::string hosts =
        R"({"result": [["h1", "127.0.0.1", 1, "a"], ["h2", "127.0.0.1", 2, "b"]], "error": null})";
    const ScriptCase cases[] = {
        {"connected already",
         {{"auth.login", ok}, {"web.connected", ok}, {"core.add_torrent_file", added}},
         true},
        {"second host connects",
         {{"auth.login", ok},
          {"web.connected", R"({"result": false, "error": null})"},
          {"web.get_hosts", hosts},
          {"web.connect", R"({"result": null, "error": null})"},  // h1 doesn't answer
          {"web.connect", methods},
          {"core.add_torrent_file", added}},
         true},
        {"no host connects",
         {{"auth.login", ok},
          {"web.connected", R"({"result": false, "error": null})"},
          {"web.get_hosts", R"({"result": [], "error": null})"}},
         false},
        {"session ended: one fresh sign-in",
         {{"auth.login", ok},
          {"web.connected", ok},
          {"core.add_torrent_file", notSignedIn},
          {"auth.login", ok},
          {"web.connected", ok},
          {"core.add_torrent_file", added}},
         true},
        {"session ends again: no more",
         {{"auth.login", ok},
          {"web.connected", ok},
          {"core.add_torrent_file", notSignedIn},
          {"auth.login", ok},
          {"web.connected", ok},
          {"core.add_torrent_file", notSignedIn}},
         false},
        {"other daemon error",
         {{"auth.login", ok},
          {"web.connected", ok},
          {"core.add_torrent_file",
           R"({"result": null, "error": {"message": "AddTorrentError: decoding filedump failed", "code": 4}})"}},
         false},
        {"error with status 200 and no JSON", {{"auth.login", "<html>proxy error</html>"}}, false},
        // Answers without an error that name no torrent: nothing was added.
        {"empty object",
         {{"auth.login", ok}, {"web.connected", ok}, {"core.add_torrent_file", "{}"}},
         false},
        {"null result",
         {{"auth.login", ok},
          {"web.connected", ok},
          {"core.add_torrent_file", R"({"result": null, "error": null, "id": 3})"}},
         false},
        {"false result",
         {{"auth.login", ok},
          {"web.connected", ok},
          {"core.add_torrent_file", R"({"result": false, "error": null, "id": 3})"}},
         false},
    };
    for (const ScriptCase& c : cases) {
        SCOPED_TRACE(c.label);
        test::TestServer web;
        std::mutex mutex;
        size_t next = 0;
        int sessions = 0;
        web.server().Post("/json", [&](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(mutex);
            const QJsonObject call =
                QJsonDocument::fromJson(QByteArray::fromStdString(req.body)).object();
            const std::string method =
                call.value(QStringLiteral("method")).toString().toStdString();
            const Scripted step = next < c.script.size() ? c.script[next] : Scripted{"", "{}"};
            ++next;
            EXPECT_EQ(method, step.method) << "call " << next;
            // Every call after a sign-in carries that sign-in's session, and nothing else.
            if (method != "auth.login") {
                EXPECT_EQ(req.get_header_value("Cookie"),
                          "_session_id=s" + std::to_string(sessions))
                    << method;
            }
            if (method == "auth.login") {
                res.set_header("Set-Cookie",
                               "_session_id=s" + std::to_string(++sessions) + "; Path=/json");
            }
            res.set_content(step.answer, "application/json");
        });
        ASSERT_TRUE(web.start());
        useClient(QStringLiteral("Deluge"), QStringLiteral("127.0.0.1"), web.port(), QString(),
                  QStringLiteral("pw"));
        const demo::DemoTorrent& t = site.torrents().at(0);
        const test::Outcome outcome = push(t);
        EXPECT_EQ(outcome.result.has_value(), c.pushed);
        EXPECT_EQ(next, c.script.size()) << "calls made";
        for (const test::RecordedRequest& r : web.requests()) {
            const QJsonObject call =
                QJsonDocument::fromJson(QByteArray::fromStdString(r.body)).object();
            const QString method = call.value(QStringLiteral("method")).toString();
            EXPECT_EQ(r.header("Content-Type"), "application/json") << method.toStdString();
            EXPECT_FALSE(r.hasHeader("Authorization"));
            if (method == QLatin1StringView("core.add_torrent_file")) {
                const QJsonArray params = call.value(QStringLiteral("params")).toArray();
                EXPECT_EQ(QByteArray::fromBase64(params.at(1).toString().toLatin1()),
                          t.torrentFile);
                EXPECT_TRUE(params.at(2).isObject());
            }
        }
    }
}

}  // namespace
}  // namespace pelloran
