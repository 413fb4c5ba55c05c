// Push options on the wire. Against Debian's real clients (qbittorrent-nox 4.5.2,
// transmission-daemon 3.00, deluged + deluge-web 2.0.3), each supported option arrives: the
// client's own API shows the category, tags, save path and paused state of the added torrent.
// An option the client does not have is refused before anything is sent; one the client
// refuses fails the push with its reason and adds nothing. qBittorrent 5's "stopped" and
// Transmission 4's labels, which no Debian 12 package speaks, are checked against loopback
// stand-ins answering as those versions do. Each daemon starts once for its suite.

#include "net/cookie_store.h"
#include "remote/bit_client_registry.h"
#include "remote/info_hash.h"
#include "remote/remote_alerts.h"
#include "remote/torrent_push.h"
#include "support/deluge_daemon.h"
#include "support/hostile_server.h"
#include "support/need_installed.h"
#include "support/qbittorrent_daemon.h"
#include "support/temp_home.h"
#include "support/transmission_daemon.h"
#include "text/qstring_printer.h"

#include <fake_clients.h>
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <memory>

namespace pelloran {
namespace {

// A small valid torrent, its info-hash set by `name`.
QByteArray torrentFile(const QString& name) {
    const QByteArray n = name.toUtf8();
    return "d8:announce25:http://127.0.0.1/announce4:infod6:lengthi1024e4:name" +
           QByteArray::number(n.size()) + ':' + n +
           "12:piece lengthi16384e6:pieces20:" + QByteArray(20, 'p') + "ee";
}

QString hashOf(const QByteArray& file) {
    return QString::fromLatin1(torrentInfoHashes(file)->v1);
}

ServerInfo::Values clientAt(const QString& client, int port, const QString& user = QString(),
                            const QString& password = QString()) {
    ServerInfo::Values v;
    v.client = client;
    v.address = QStringLiteral("127.0.0.1");
    v.port = QString::number(port);
    v.username = user;
    v.password = password;
    return v;
}

PushReply push(const ServerInfo::Values& settings, const QString& name,
               const PushOptions& options) {
    CookieStore cookies;
    return pushTorrentFile(settings, name + QStringLiteral(".torrent"), torrentFile(name),
                           NetContext{&cookies, nullptr}, nullptr, options);
}

// The details the client gave of the torrent of that name; empty when it holds none.
template <class Daemon>
QJsonObject detailsOf(Daemon& daemon, const QString& name) {
    const std::string hash = hashOf(torrentFile(name)).toStdString();
    for (const test::DaemonTorrent& t :
         daemon.torrents().value_or(std::vector<test::DaemonTorrent>{})) {
        if (t.hashString.toStdString() == hash) {
            return t.details;
        }
    }
    return {};
}

// The same, once the client lists it: some add a torrent a moment after they answer.
template <class Daemon>
QJsonObject addedDetails(Daemon& daemon, const QString& name) {
    QDeadlineTimer patience(std::chrono::seconds(10));
    QJsonObject details = detailsOf(daemon, name);
    while (details.isEmpty() && !patience.hasExpired()) {
        QThread::msleep(100);
        details = detailsOf(daemon, name);
    }
    return details;
}

QString cleanPath(const QJsonValue& path) {
    return QDir::cleanPath(path.toString());
}

// Options the client has not: refused with the client's name, and not a byte sent.
TEST(PushOptionsRefusedTest, OptionsAClientHasNotAreRefusedBeforeAnythingIsSent) {
    test::HostileServer client;
    ASSERT_TRUE(client.start());
    PushOptions category;
    category.category = QStringLiteral("Films");
    PushOptions everything = category;
    everything.tags = QStringList{QStringLiteral("hd")};
    everything.savePath = QStringLiteral("/data");
    everything.paused = true;
    PushOptions tags;
    tags.tags = QStringList{QStringLiteral("hd")};
    PushOptions lineBreak;
    lineBreak.savePath = QStringLiteral("/data\n/etc");
    const struct {
        QString client;
        PushOptions options;
        QString reason;
    } cases[] = {
        {QStringLiteral("Vuze"), everything,
         QStringLiteral("Vuze has no category, tags, save path or start paused.")},
        {QStringLiteral("Utorrent"), category, QStringLiteral("uTorrent has no category.")},
        {QStringLiteral("Transmission"), category, QStringLiteral("Transmission has no category.")},
        {QStringLiteral("Deluge"), tags, QStringLiteral("Deluge has no tags.")},
        {QStringLiteral("qBittorrent"), lineBreak,
         QStringLiteral("A category, tag or save path can't hold a line break.")},
    };
    for (const auto& c : cases) {
        const PushReply result = push(clientAt(c.client, client.port()), c.client, c.options);
        EXPECT_EQ(result.outcome, PushOutcome::Refused) << c.client.toStdString();
        EXPECT_EQ(result.reason, c.reason);
        EXPECT_EQ(remote_alerts::forPushOutcome(result),
                  std::optional<Alert>(remote_alerts::pushOptionRefused(c.reason)));
    }
    EXPECT_TRUE(client.requests().empty());
    // Empty texts ask nothing, so no client refuses them.
    PushOptions cleared;
    cleared.category = QString();
    cleared.tags = QStringList();
    cleared.savePath = QString();
    EXPECT_EQ(pushOptionsProblem(*bitClientType(QStringLiteral("Vuze")), cleared), QString());
}

// One real daemon for a whole suite, its start-up being the slow part: started by the suite's
// set-up when installed, stopped by its tear-down.
template <typename Daemon>
struct SuiteDaemon {
    static void start(bool installed) {
        if (installed) {
            daemon = std::make_unique<Daemon>();
            if (!daemon->start(&startError)) {
                daemon.reset();
            }
        }
    }
    static void stop() { daemon.reset(); }

    static inline std::unique_ptr<Daemon> daemon;
    static inline QString startError;
};

class QBittorrentOptionsTest : public ::testing::Test {
protected:
    using Shared = SuiteDaemon<test::QBittorrentDaemon>;
    static bool installed() { return !test::QBittorrentDaemon::binaryPath().isEmpty(); }
    static void SetUpTestSuite() { Shared::start(installed()); }
    static void TearDownTestSuite() { Shared::stop(); }
    void SetUp() override {
        PELLORAN_NEED_INSTALLED(installed(), "qbittorrent-nox");
        ASSERT_NE(Shared::daemon, nullptr) << Shared::startError.toStdString();
    }
    static test::QBittorrentDaemon& daemon() { return *Shared::daemon; }
    static ServerInfo::Values settings() {
        return clientAt(QStringLiteral("qBittorrent"), Shared::daemon->port(),
                        Shared::daemon->username(), Shared::daemon->password());
    }
};

TEST_F(QBittorrentOptionsTest, CategoryTagsPathAndPausedArriveAndARefusedCategoryAddsNothing) {
    test::TempHome folder;
    PushOptions options;
    options.category = QStringLiteral("Films HD");  // not there yet: created first
    options.tags = QStringList{QStringLiteral("hd"), QStringLiteral("x264")};
    options.savePath = folder.path();
    options.paused = true;
    const PushReply sent = push(settings(), QStringLiteral("routed"), options);
    EXPECT_EQ(sent.outcome, PushOutcome::Sent) << sent.reason.toStdString();
    QJsonObject t = addedDetails(daemon(), QStringLiteral("routed"));
    // Its state says paused once it has looked at its folder.
    for (QDeadlineTimer patience(std::chrono::seconds(10));
         t.value(QStringLiteral("state")).toString().startsWith(QLatin1StringView("checking")) &&
         !patience.hasExpired();
         QThread::msleep(100)) {
        t = detailsOf(daemon(), QStringLiteral("routed"));
    }
    EXPECT_EQ(t.value(QStringLiteral("category")).toString(), QStringLiteral("Films HD"));
    EXPECT_EQ(t.value(QStringLiteral("tags")).toString(), QStringLiteral("hd, x264"));
    EXPECT_EQ(cleanPath(t.value(QStringLiteral("save_path"))), QDir::cleanPath(folder.path()));
    EXPECT_TRUE(t.value(QStringLiteral("state")).toString().startsWith(QLatin1StringView("paused")))
        << t.value(QStringLiteral("state")).toString().toStdString();

    // The same category again: it exists, and the torrent is started as asked.
    PushOptions again;
    again.category = QStringLiteral("Films HD");
    again.paused = false;
    EXPECT_EQ(push(settings(), QStringLiteral("second"), again).outcome, PushOutcome::Sent);
    const QJsonObject second = addedDetails(daemon(), QStringLiteral("second"));
    EXPECT_EQ(second.value(QStringLiteral("category")).toString(), QStringLiteral("Films HD"));
    EXPECT_FALSE(
        second.value(QStringLiteral("state")).toString().startsWith(QLatin1StringView("paused")));

    // A name it can't take: the client's words, and nothing added to a default place.
    PushOptions bad;
    bad.category = QStringLiteral("/bad//name/");
    const PushReply refused = push(settings(), QStringLiteral("refused"), bad);
    EXPECT_EQ(refused.outcome, PushOutcome::Refused);
    EXPECT_TRUE(refused.reason.startsWith(
        QStringLiteral("qBittorrent refused the category \"/bad//name/\": ")))
        << refused.reason.toStdString();
    EXPECT_TRUE(detailsOf(daemon(), QStringLiteral("refused")).isEmpty());
}

// qBittorrent 5 (Web API 2.11) says "stopped" where 4.x said "paused": the field is chosen
// from the version the client gives.
TEST(QBittorrentStartFieldTest, PausedOrStoppedAsTheWebApiVersionSays) {
    for (const auto api : {fake::QBittorrentApi::V4, fake::QBittorrentApi::V5_2}) {
        fake::FakeQBittorrent client;
        client.setApi(api);
        ASSERT_TRUE(client.start());
        PushOptions options;
        options.paused = true;
        options.category = QStringLiteral("Music");
        const PushReply result =
            push(clientAt(QStringLiteral("qBittorrent"), client.port(), QStringLiteral("admin"),
                          QStringLiteral("adminadmin")),
                 QStringLiteral("fake"), options);
        EXPECT_EQ(result.outcome, PushOutcome::Sent) << result.reason.toStdString();
        const bool v5 = api == fake::QBittorrentApi::V5_2;
        const fake::ReceivedRequest upload = client.lastRequest();
        ASSERT_EQ(upload.path, QByteArray("/api/v2/torrents/add"));
        const fake::ReceivedPart* stopped = upload.part(v5 ? "stopped" : "paused");
        ASSERT_NE(stopped, nullptr);
        EXPECT_EQ(stopped->content, QByteArray("true"));
        EXPECT_EQ(upload.part(v5 ? "paused" : "stopped"), nullptr);
        ASSERT_NE(upload.part("category"), nullptr);
        EXPECT_EQ(upload.part("category")->content, QByteArray("Music"));
        client.stop();
    }
}

class TransmissionOptionsTest : public ::testing::Test {
protected:
    using Shared = SuiteDaemon<test::TransmissionDaemon>;
    static bool installed() { return !test::TransmissionDaemon::binaryPath().isEmpty(); }
    static void SetUpTestSuite() { Shared::start(installed()); }
    static void TearDownTestSuite() { Shared::stop(); }
    void SetUp() override {
        PELLORAN_NEED_INSTALLED(installed(), "transmission-daemon");
        ASSERT_NE(Shared::daemon, nullptr) << Shared::startError.toStdString();
    }
    static test::TransmissionDaemon& daemon() { return *Shared::daemon; }
    static ServerInfo::Values settings() {
        return clientAt(QStringLiteral("Transmission"), Shared::daemon->port(),
                        Shared::daemon->username(), Shared::daemon->password());
    }
};

TEST_F(TransmissionOptionsTest, FolderAndPausedArriveAndLabelsAreRefusedBy300) {
    test::TempHome folder;
    PushOptions options;
    options.savePath = folder.path();
    options.paused = true;
    const PushReply sent = push(settings(), QStringLiteral("routed"), options);
    EXPECT_EQ(sent.outcome, PushOutcome::Sent) << sent.reason.toStdString();
    const QJsonObject t = addedDetails(daemon(), QStringLiteral("routed"));
    EXPECT_EQ(cleanPath(t.value(QStringLiteral("downloadDir"))), QDir::cleanPath(folder.path()));
    // Stopped, or checking its folder before it stops; never queued or downloading.
    const int status = t.value(QStringLiteral("status")).toInt(-1);
    EXPECT_TRUE(status >= 0 && status <= 2) << status;

    PushOptions labels;
    labels.tags = QStringList{QStringLiteral("hd")};
    const PushReply refused = push(settings(), QStringLiteral("labelled"), labels);
    EXPECT_EQ(refused.outcome, PushOutcome::Refused);
    EXPECT_EQ(refused.reason, QStringLiteral("This Transmission (3.00) has no labels: labels came "
                                             "with Transmission 4."));
    EXPECT_TRUE(detailsOf(daemon(), QStringLiteral("labelled")).isEmpty());
}

// Transmission 4 (RPC version 17) takes labels with the torrent.
TEST(TransmissionLabelsTest, Rpc17TakesLabels) {
    test::HostileServer client;
    client.route("POST", "/transmission/rpc", [](const test::HostileRequest& r) {
        if (r.header("X-Transmission-Session-Id") != "sid-4") {
            test::Reply conflict = test::page("<html>409</html>", 409);
            conflict.headers.emplace_back("X-Transmission-Session-Id", "sid-4");
            return conflict;
        }
        if (r.body.find("\"session-get\"") != std::string::npos) {
            return test::page(R"json({"arguments":{"rpc-version":17,"version":"4.0.5"},)json"
                              R"json("result":"success"})json");
        }
        return test::page(R"({"arguments":{"torrent-added":{"id":1}},"result":"success"})");
    });
    ASSERT_TRUE(client.start());
    PushOptions options;
    options.tags = QStringList{QStringLiteral("hd"), QStringLiteral("films")};
    const PushReply result = push(clientAt(QStringLiteral("Transmission"), client.port()),
                                  QStringLiteral("t4"), options);
    EXPECT_EQ(result.outcome, PushOutcome::Sent) << result.reason.toStdString();
    const std::vector<test::HostileRequest> requests = client.requests();
    ASSERT_FALSE(requests.empty());
    const QJsonObject add = QJsonDocument::fromJson(QByteArray::fromStdString(requests.back().body))
                                .object()
                                .value(QStringLiteral("arguments"))
                                .toObject();
    EXPECT_EQ(add.value(QStringLiteral("labels")).toArray(),
              (QJsonArray{QStringLiteral("hd"), QStringLiteral("films")}));
    EXPECT_EQ(add.value(QStringLiteral("paused")), QJsonValue(false));
    // With options the upload is skipped: it carries none of them.
    EXPECT_EQ(client.count("POST", "/transmission/upload"), 0);
}

class DelugeOptionsTest : public ::testing::Test {
protected:
    using Shared = SuiteDaemon<test::DelugeDaemon>;
    static bool installed() {
        return !test::DelugeDaemon::daemonPath().isEmpty() &&
               !test::DelugeDaemon::webPath().isEmpty();
    }
    static void SetUpTestSuite() { Shared::start(installed()); }
    static void TearDownTestSuite() { Shared::stop(); }
    void SetUp() override {
        PELLORAN_NEED_INSTALLED(installed(), "deluged and deluge-web");
        ASSERT_NE(Shared::daemon, nullptr) << Shared::startError.toStdString();
    }
    static test::DelugeDaemon& daemon() { return *Shared::daemon; }
    static ServerInfo::Values settings() {
        return clientAt(QStringLiteral("Deluge"), Shared::daemon->port(), QString(),
                        Shared::daemon->password());
    }
};

TEST_F(DelugeOptionsTest, FolderPausedAndALabelWithThePluginOnAndOff) {
    test::TempHome folder;
    PushOptions options;
    options.savePath = folder.path();
    options.paused = true;
    const PushReply sent = push(settings(), QStringLiteral("routed"), options);
    EXPECT_EQ(sent.outcome, PushOutcome::Sent) << sent.reason.toStdString();
    const QJsonObject t = detailsOf(daemon(), QStringLiteral("routed"));
    EXPECT_EQ(cleanPath(t.value(QStringLiteral("download_location"))),
              QDir::cleanPath(folder.path()));
    EXPECT_EQ(t.value(QStringLiteral("paused")), QJsonValue(true));

    // The Label plugin is off: told so, and nothing added.
    PushOptions labelled;
    labelled.category = QStringLiteral("Films");
    const PushReply off = push(settings(), QStringLiteral("labelled"), labelled);
    EXPECT_EQ(off.outcome, PushOutcome::Refused);
    EXPECT_TRUE(off.reason.startsWith(QStringLiteral("Deluge's Label plugin is not enabled")))
        << off.reason.toStdString();
    EXPECT_TRUE(detailsOf(daemon(), QStringLiteral("labelled")).isEmpty());

    // On: the label is made (in lower case, as the plugin keeps labels) and given.
    ASSERT_TRUE(daemon().callConnected("core.enable_plugin", R"(["Label"])").has_value());
    const PushReply on = push(settings(), QStringLiteral("labelled"), labelled);
    EXPECT_EQ(on.outcome, PushOutcome::Sent) << on.reason.toStdString();
    EXPECT_EQ(detailsOf(daemon(), QStringLiteral("labelled")).value(QStringLiteral("label")),
              QJsonValue(QStringLiteral("films")));
}

}  // namespace
}  // namespace pelloran
