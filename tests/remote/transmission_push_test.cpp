// Pushes to Debian's real transmission-daemon over loopback, RPC authentication on: the upload
// (which Transmission 3 refuses), the RPC fallback, the run's memory of that refusal, and each
// failure's alert.

#include "remote/remote_alerts.h"
#include "remote_fixture.h"
#include "support/need_installed.h"
#include "support/test_server.h"
#include "support/transmission_daemon.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>


namespace pelloran {
namespace {

// Stands between the push and the daemon: passes every request on unchanged and records it.
class RecordingRelay {
public:
    explicit RecordingRelay(int targetPort) : targetPort_(targetPort) {
        auto forward = [this](const httplib::Request& req, httplib::Response& res) {
            httplib::Client daemon("127.0.0.1", targetPort_);
            httplib::Headers headers;
            for (const auto& [name, value] : req.headers) {
                // httplib's own bookkeeping and what the client sets again
                if (name != "Host" && name != "Content-Length" && name != "REMOTE_ADDR" &&
                    name != "REMOTE_PORT" && name != "LOCAL_ADDR" && name != "LOCAL_PORT") {
                    headers.emplace(name, value);
                }
            }
            const httplib::Result answer = req.method == "POST"
                                               ? daemon.Post(req.target, headers, req.body,
                                                             req.get_header_value("Content-Type"))
                                               : daemon.Get(req.target, headers);
            if (!answer) {
                res.status = 502;
                return;
            }
            res.status = answer->status;
            for (const auto& [name, value] : answer->headers) {
                if (name != "Content-Length" && name != "Transfer-Encoding" &&
                    name != "Content-Type") {
                    res.set_header(name, value);
                }
            }
            res.set_content(answer->body, answer->get_header_value("Content-Type"));
        };
        front_.server().Get(".*", forward);
        front_.server().Post(".*", forward);
    }

    bool start() { return front_.start(); }
    int port() const { return front_.port(); }
    size_t count(const std::string& method, const std::string& path,
                 const std::string& bodyPart = std::string()) const {
        size_t n = 0;
        for (const test::RecordedRequest& r : front_.requests()) {
            n += r.method == method && r.path == path && r.body.find(bodyPart) != std::string::npos;
        }
        return n;
    }

private:
    int targetPort_;
    test::TestServer front_;
};

class TransmissionPushTest : public test::RemoteFixture {
protected:
    void SetUp() override {
        PELLORAN_NEED_INSTALLED(!test::TransmissionDaemon::binaryPath().isEmpty(),
                                "transmission-daemon");
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

TEST_F(TransmissionPushTest, RefusedUploadIsRememberedForLaterPushesToTheSameDaemon) {
    RecordingRelay relay(daemon.port());
    ASSERT_TRUE(relay.start());
    useClient(QStringLiteral("Transmission"), daemon.address(), relay.port(), daemon.username(),
              daemon.password());
    const demo::DemoTorrent& first = site.torrents().at(3);
    const demo::DemoTorrent& second = site.torrents().at(11);
    const demo::DemoTorrent& third = site.torrents().at(12);

    EXPECT_EQ(push(first).result, std::optional<QString>(first.name));
    EXPECT_EQ(relay.count("POST", "/transmission/upload"), 1u);  // refused by Transmission 3
    EXPECT_EQ(relay.count("POST", "/transmission/rpc", "torrent-add"), 1u);

    // The same daemon again: straight to RPC, one round trip fewer each.
    EXPECT_EQ(push(second).result, std::optional<QString>(second.name));
    EXPECT_EQ(push(third).result, std::optional<QString>(third.name));
    EXPECT_EQ(relay.count("POST", "/transmission/upload"), 1u);
    EXPECT_EQ(relay.count("POST", "/transmission/rpc", "torrent-add"), 3u);
    EXPECT_EQ(daemonTorrentNames().size(), 3u);
}

TEST_F(TransmissionPushTest, PushingATorrentAgainIsAlreadySent) {
    const demo::DemoTorrent& t = site.torrents().at(7);
    EXPECT_EQ(push(t).result, std::optional<QString>(t.name));
    // The daemon answers "torrent-duplicate": done, told, and listed once.
    const test::Outcome again = push(t);
    EXPECT_EQ(again.result, std::optional<QString>(t.name));
    EXPECT_EQ(again.alerts, std::vector<Alert>{remote_alerts::alreadySent()});
    EXPECT_EQ(history.entries(), (QStringList{QStringLiteral("pushed earlier"), t.name}));
    EXPECT_EQ(daemonTorrentNames().size(), 1u);
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
