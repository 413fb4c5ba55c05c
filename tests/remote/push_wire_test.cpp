// Pushes to hostile clients: an upload redirected to another host never carries the torrent
// there and is a failure, and a client that stalls ends the whole push at its one deadline.

#include "net/deadline.h"
#include "remote/remote_alerts.h"
#include "remote_fixture.h"
#include "support/hostile_server.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

using test::HostileServer;

class PushWireTest : public test::RemoteFixture {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(startSite()); }

    test::Outcome pushWithin(const demo::DemoTorrent& t, std::chrono::milliseconds limit) {
        const RemoteContext action = remote().withDeadline(startAction(limit));
        return run([&](QObject* context, FetchPageDownload::Callback callback) {
            return std::make_unique<FetchPageDownload>(torrentUrl(t), t.name, action, context,
                                                       std::move(callback));
        });
    }

    void expectFailedPush(const test::Outcome& outcome) {
        EXPECT_TRUE(outcome.delivered);
        EXPECT_EQ(outcome.result, std::nullopt);
        EXPECT_EQ(outcome.alerts, std::vector<Alert>{remote_alerts::connectionFailed()});
        EXPECT_TRUE(history.entries().isEmpty());
    }
};

TEST_F(PushWireTest, UploadRedirectedToAnotherHostIsAFailure) {
    HostileServer elsewhere(HostileServer::Mode::Answer, "127.0.0.5");
    elsewhere.route("", "*", test::page("<html>thanks</html>"));
    ASSERT_TRUE(elsewhere.start());
    const std::string away = elsewhere.url(QStringLiteral("/upload")).toStdString();

    for (const char* name : {"Vuze", "Transmission", "Utorrent", "qBittorrent", "Deluge"}) {
        SCOPED_TRACE(name);
        HostileServer client;
        test::Reply conflict = test::page("<html>409</html>", 409);
        conflict.headers.emplace_back("X-Transmission-Session-Id", "sid-1");
        client.route("GET", "/transmission/rpc", conflict);
        client.route("GET", "/gui/token.html", test::utorrentTokenPage("tok"));
        // Every upload, Transmission's RPC fallback included, is sent on to the other host, and
        // so is Deluge's sign-in with the password.
        client.route("POST", "*", test::redirect(307, away));
        test::Reply signedIn = test::page("Ok.");
        signedIn.headers.emplace_back("Set-Cookie", "SID=s1; HttpOnly; path=/");
        client.route("POST", "/api/v2/auth/login", signedIn);
        ASSERT_TRUE(client.start());
        useClient(QString::fromLatin1(name), QStringLiteral("127.0.0.1"), client.port());

        expectFailedPush(push(site.torrents().at(2)));
        bool uploaded = false;
        for (const test::HostileRequest& r : client.requests()) {
            uploaded = uploaded || r.method == "POST";
        }
        EXPECT_TRUE(uploaded) << "the upload never reached the client";
    }
    EXPECT_EQ(elsewhere.requests().size(), 0u);
}

// A browser-style redirect would send the upload on as a GET without the torrent, and its 200
// passed for "Sent": now the redirect is the answer, and a failure.
TEST_F(PushWireTest, UploadRedirectedOnItsOwnHostIsAFailureAndNotFollowed) {
    for (const char* name : {"Vuze", "Transmission", "Utorrent", "qBittorrent", "Deluge"}) {
        for (const int status : {301, 302, 303}) {
            SCOPED_TRACE(std::string(name) + " " + std::to_string(status));
            HostileServer client;
            test::Reply conflict = test::page("<html>409</html>", 409);
            conflict.headers.emplace_back("X-Transmission-Session-Id", "sid-1");
            client.route("GET", "/transmission/rpc", conflict);
            client.route("GET", "/gui/token.html", test::utorrentTokenPage("tok"));
            client.route("GET", "/thanks", test::page("<html>thanks</html>"));
            client.route("POST", "*", test::redirect(status, "/thanks"));
            test::Reply signedIn = test::page("Ok.");
            signedIn.headers.emplace_back("Set-Cookie", "SID=s1; HttpOnly; path=/");
            client.route("POST", "/api/v2/auth/login", signedIn);
            // Deluge signs in and finds its daemon; only the upload itself is redirected.
            client.route("POST", "/json", [status](const test::HostileRequest& r) {
                if (r.body.find("core.add_torrent_file") != std::string::npos) {
                    return test::redirect(status, "/thanks");
                }
                test::Reply answer = test::page(R"({"result": true, "error": null, "id": 1})");
                answer.headers.emplace_back("Set-Cookie", "_session_id=d1; Path=/json");
                return answer;
            });
            ASSERT_TRUE(client.start());
            useClient(QString::fromLatin1(name), QStringLiteral("127.0.0.1"), client.port());

            expectFailedPush(push(site.torrents().at(3)));
            EXPECT_EQ(client.count("GET", "/thanks"), 0);
            bool uploaded = false;
            for (const test::HostileRequest& r : client.requests()) {
                uploaded = uploaded || r.body.find("announce") != std::string::npos ||
                           r.body.find("add_torrent_file") != std::string::npos;
            }
            EXPECT_TRUE(uploaded) << "the upload never reached the client";
        }
    }
}

TEST_F(PushWireTest, WholePushEndsAtItsDeadlineWhenTheClientStalls) {
    for (const char* name : {"Transmission", "qBittorrent", "Deluge"}) {
        SCOPED_TRACE(name);
        HostileServer client(HostileServer::Mode::Stall);
        ASSERT_TRUE(client.start());
        useClient(QString::fromLatin1(name), QStringLiteral("127.0.0.1"), client.port());

        // Handshake, upload and RPC fallback (sign-in, daemon check, add) may take 30 s each;
        // the push as a whole gets 1 s.
        expectFailedPush(pushWithin(site.torrents().at(2), std::chrono::seconds(1)));
        // The first exchange used up the push's time: nothing else went out.
        EXPECT_EQ(client.connectionCount(), 1);
    }
}

}  // namespace
}  // namespace pelloran
