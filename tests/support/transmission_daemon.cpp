#include "support/transmission_daemon.h"

#include "support/loopback_port.h"

#include <httplib.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

namespace pelloran::test {

namespace {

constexpr int kStartAttempts = 3;
constexpr int kRpcWaitMs = 15000;

}  // namespace

TransmissionDaemon::TransmissionDaemon()
    : username_(QStringLiteral("pelloran")), password_(randomHex(12)) {}

TransmissionDaemon::~TransmissionDaemon() {
    stop();
}

QString TransmissionDaemon::binaryPath() {
    return QStandardPaths::findExecutable(QStringLiteral("transmission-daemon"));
}

bool TransmissionDaemon::isRunning() const {
    return process_ && process_->state() != QProcess::NotRunning;
}

bool TransmissionDaemon::start(QString* error) {
    if (isRunning()) {
        return true;
    }
    Startup startup;
    startup.missing =
        binaryPath().isEmpty()
            ? QStringLiteral("transmission-daemon is not installed (scripts/deps installs it)")
        : !dir_.isValid() ? QStringLiteral("no temporary folder for the daemon")
                          : QString();
    startup.attempts = kStartAttempts;
    startup.tryOnce = [this](QString* why) { return launch(why) && waitForRpc(); };
    startup.notReady = [this] {
        return QStringLiteral("transmission-daemon did not answer on its RPC port: ") + logTail();
    };
    startup.stop = [this] { stop(); };
    return bringUp(startup, error);
}

bool TransmissionDaemon::launch(QString* error) {
    port_ = freeLoopbackPort();
    if (port_ == 0) {
        if (error) {
            *error = QStringLiteral("no free loopback port");
        }
        return false;
    }
    const QDir root(dir_.path());
    root.mkpath(QStringLiteral("config"));
    root.mkpath(QStringLiteral("downloads"));
    const QJsonObject settings{
        {QStringLiteral("rpc-enabled"), true},
        {QStringLiteral("rpc-bind-address"), QStringLiteral("127.0.0.1")},
        {QStringLiteral("rpc-port"), port_},
        {QStringLiteral("rpc-authentication-required"), true},
        {QStringLiteral("rpc-username"), username_},
        {QStringLiteral("rpc-password"), password_},  // hashed by the daemon when it saves
        {QStringLiteral("rpc-whitelist-enabled"), true},
        {QStringLiteral("rpc-whitelist"), QStringLiteral("127.0.0.1")},
        {QStringLiteral("rpc-host-whitelist-enabled"), false},
        {QStringLiteral("bind-address-ipv4"), QStringLiteral("127.0.0.1")},
        {QStringLiteral("bind-address-ipv6"), QStringLiteral("::1")},
        {QStringLiteral("peer-port-random-on-start"), true},
        {QStringLiteral("peer-port-random-low"), 49152},
        {QStringLiteral("peer-port-random-high"), 65535},
        {QStringLiteral("port-forwarding-enabled"), false},
        {QStringLiteral("dht-enabled"), false},
        {QStringLiteral("lpd-enabled"), false},
        {QStringLiteral("utp-enabled"), false},
        {QStringLiteral("pex-enabled"), false},
        {QStringLiteral("download-dir"), root.filePath(QStringLiteral("downloads"))},
        {QStringLiteral("incomplete-dir-enabled"), false},
        {QStringLiteral("watch-dir-enabled"), false},
        {QStringLiteral("message-level"), 1},
    };
    // The password goes through this file rather than the command line, where every process on
    // the machine could read it.
    QFile file(root.filePath(QStringLiteral("config/settings.json")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(QJsonDocument(settings).toJson()) < 0) {
        if (error) {
            *error = QStringLiteral("cannot write the daemon's settings");
        }
        return false;
    }
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);

    process_ = std::make_unique<QProcess>();
    if (!startLogged(*process_, binaryPath(),
                     {QStringLiteral("--foreground"), QStringLiteral("--config-dir"),
                      root.filePath(QStringLiteral("config"))},
                     root.filePath(QStringLiteral("daemon.log")))) {
        if (error) {
            *error =
                QStringLiteral("transmission-daemon did not start: ") + process_->errorString();
        }
        return false;
    }
    return true;
}

bool TransmissionDaemon::waitForRpc() {
    return waitUntilReady(
        kRpcWaitMs, 50, [this] { return isRunning(); },
        [this] {
            httplib::Client client("127.0.0.1", port_);
            client.set_connection_timeout(1, 0);
            client.set_read_timeout(2, 0);
            // 401 without credentials: the RPC server is up.
            return client.Get("/transmission/rpc") ? Probe::Ready : Probe::NotYet;
        });
}

void TransmissionDaemon::stop() {
    if (!process_) {
        return;
    }
    stopProcess(*process_, 5000);
    process_.reset();
    sessionId_.clear();
}

QString TransmissionDaemon::logTail() const {
    return fileTail(QDir(dir_.path()).filePath(QStringLiteral("daemon.log")), 600)
        .value_or(QStringLiteral("(no log)"));
}

std::optional<std::vector<DaemonTorrent>> TransmissionDaemon::torrents() {
    httplib::Client client("127.0.0.1", port_);
    client.set_basic_auth(username_.toStdString(), password_.toStdString());
    client.set_connection_timeout(2, 0);
    client.set_read_timeout(10, 0);
    const std::string body =
        R"({"method":"torrent-get","arguments":{"fields":["id","name","hashString","downloadDir","status"]}})";
    for (int attempt = 0; attempt < 2; ++attempt) {
        const httplib::Headers headers{{"X-Transmission-Session-Id", sessionId_.toStdString()}};
        httplib::Result res = client.Post("/transmission/rpc", headers, body, "application/json");
        if (!res) {
            return std::nullopt;
        }
        if (res->status == 409) {
            sessionId_ = QString::fromStdString(res->get_header_value("X-Transmission-Session-Id"));
            continue;
        }
        const QJsonObject answer =
            QJsonDocument::fromJson(QByteArray::fromStdString(res->body)).object();
        if (res->status != 200 ||
            answer.value(QStringLiteral("result")).toString() != QLatin1StringView("success")) {
            return std::nullopt;
        }
        std::vector<DaemonTorrent> out;
        const QJsonArray list = answer.value(QStringLiteral("arguments"))
                                    .toObject()
                                    .value(QStringLiteral("torrents"))
                                    .toArray();
        for (const QJsonValue& item : list) {
            const QJsonObject t = item.toObject();
            out.push_back({t.value(QStringLiteral("id")).toInt(),
                           t.value(QStringLiteral("name")).toString(),
                           t.value(QStringLiteral("hashString")).toString(), t});
        }
        return out;
    }
    return std::nullopt;
}

}  // namespace pelloran::test
