#include "support/deluge_daemon.h"

#include "support/loopback_port.h"

#include <httplib.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

namespace pelloran::test {

namespace {

constexpr int kStartAttempts = 2;
constexpr int kListenWaitMs = 60000;  // deluged takes seconds to come up on a busy machine
const QString kHostId = QStringLiteral("5e1f2d3c4b5a69788796a5b4c3d2e1f0");

// A Deluge configuration file: a JSON header naming the file's format, then the values.
bool writeDelugeConfig(const QString& path, int fileVersion, const QJsonObject& values) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const QJsonObject header{{QStringLiteral("file"), fileVersion}, {QStringLiteral("format"), 1}};
    const bool written = file.write(QJsonDocument(header).toJson(QJsonDocument::Compact)) > 0 &&
                         file.write(QJsonDocument(values).toJson()) > 0;
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return written;
}

}  // namespace

DelugeDaemon::DelugeDaemon()
    : password_(QStringLiteral("d&lu%41ge p\u00e4ss-") + randomHex(6)),
      localPassword_(randomHex(16)) {}

DelugeDaemon::~DelugeDaemon() {
    stop();
}

QString DelugeDaemon::daemonPath() {
    return QStandardPaths::findExecutable(QStringLiteral("deluged"));
}

QString DelugeDaemon::webPath() {
    return QStandardPaths::findExecutable(QStringLiteral("deluge-web"));
}

bool DelugeDaemon::isRunning() const {
    return web_ && web_->state() != QProcess::NotRunning && daemon_ &&
           daemon_->state() != QProcess::NotRunning;
}

bool DelugeDaemon::start(QString* error) {
    if (isRunning()) {
        return true;
    }
    Startup startup;
    startup.missing =
        daemonPath().isEmpty() || webPath().isEmpty()
            ? QStringLiteral("deluged or deluge-web is not installed (scripts/deps installs them)")
        : !dir_.isValid() ? QStringLiteral("no temporary folder for Deluge")
                          : QString();
    startup.attempts = kStartAttempts;
    startup.tryOnce = [this](QString* why) { return launch(why); };
    startup.notReady = [this] {
        return QStringLiteral("Deluge did not listen on its ports: ") + logTail();
    };
    startup.stop = [this] { stop(); };
    return bringUp(startup, error);
}

bool DelugeDaemon::writeConfig(QString* error) {
    const QDir root(dir_.path());
    root.mkpath(QStringLiteral("config"));
    root.mkpath(QStringLiteral("downloads"));
    const QDir config(root.filePath(QStringLiteral("config")));
    const QString downloads = root.filePath(QStringLiteral("downloads"));

    QFile auth(config.filePath(QStringLiteral("auth")));
    bool written =
        auth.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        auth.write(
            (QStringLiteral("localclient:") + localPassword_ + QStringLiteral(":10\n")).toUtf8()) >
            0;
    auth.close();
    auth.setPermissions(QFile::ReadOwner | QFile::WriteOwner);

    written = written &&
              writeDelugeConfig(config.filePath(QStringLiteral("core.conf")), 1,
                                {{QStringLiteral("download_location"), downloads},
                                 {QStringLiteral("move_completed_path"), downloads},
                                 {QStringLiteral("torrentfiles_location"), downloads},
                                 {QStringLiteral("add_paused"), true},
                                 {QStringLiteral("dht"), false},
                                 {QStringLiteral("upnp"), false},
                                 {QStringLiteral("natpmp"), false},
                                 {QStringLiteral("lsd"), false},
                                 {QStringLiteral("utpex"), false},
                                 {QStringLiteral("random_port"), true},
                                 {QStringLiteral("listen_interface"), QStringLiteral("127.0.0.1")},
                                 {QStringLiteral("new_release_check"), false},
                                 {QStringLiteral("allow_remote"), false},
                                 {QStringLiteral("enabled_plugins"), QJsonArray()}});

    const QString salt = randomHex(20);
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(salt.toUtf8() + password_.toUtf8(), QCryptographicHash::Sha1)
            .toHex());
    written =
        written && writeDelugeConfig(config.filePath(QStringLiteral("web.conf")), 2,
                                     {{QStringLiteral("pwd_salt"), salt},
                                      {QStringLiteral("pwd_sha1"), hash},
                                      {QStringLiteral("port"), webPort_},
                                      {QStringLiteral("interface"), QStringLiteral("127.0.0.1")},
                                      {QStringLiteral("https"), false},
                                      {QStringLiteral("default_daemon"), QString()},
                                      {QStringLiteral("first_login"), false},
                                      {QStringLiteral("enabled_plugins"), QJsonArray()}});
    written =
        written && writeDelugeConfig(
                       config.filePath(QStringLiteral("hostlist.conf")), 3,
                       {{QStringLiteral("hosts"),
                         QJsonArray{QJsonArray{kHostId, QStringLiteral("127.0.0.1"), daemonPort_,
                                               QStringLiteral("localclient"), localPassword_}}}});
    if (!written && error) {
        *error = QStringLiteral("cannot write Deluge's configuration");
    }
    return written;
}

bool DelugeDaemon::launch(QString* error) {
    daemonPort_ = freeLoopbackPort();
    webPort_ = freeLoopbackPort();
    if (daemonPort_ == 0 || webPort_ == 0 || daemonPort_ == webPort_) {
        if (error) {
            *error = QStringLiteral("no free loopback ports");
        }
        return false;
    }
    if (!writeConfig(error)) {
        return false;
    }
    const QDir root(dir_.path());
    const QString config = root.filePath(QStringLiteral("config"));
    // Quiet: Debian's 2.0.3 logging breaks on Python 3.11 and fills the output with tracebacks.
    daemon_ = std::make_unique<QProcess>();
    web_ = std::make_unique<QProcess>();
    const bool started = startLogged(*daemon_, daemonPath(),
                                     {QStringLiteral("--do-not-daemonize"),
                                      QStringLiteral("--quiet"), QStringLiteral("--config"), config,
                                      QStringLiteral("--port"), QString::number(daemonPort_),
                                      QStringLiteral("--ui-interface"), QStringLiteral("127.0.0.1"),
                                      QStringLiteral("--interface"), QStringLiteral("127.0.0.1")},
                                     root.filePath(QStringLiteral("deluged.log"))) &&
                         startLogged(*web_, webPath(),
                                     {QStringLiteral("--do-not-daemonize"),
                                      QStringLiteral("--quiet"), QStringLiteral("--config"), config,
                                      QStringLiteral("--port"), QString::number(webPort_),
                                      QStringLiteral("--interface"), QStringLiteral("127.0.0.1")},
                                     root.filePath(QStringLiteral("deluge-web.log")));
    if (!started) {
        if (error) {
            *error = QStringLiteral("Deluge did not start");
        }
        return false;
    }
    return waitUntilReady(
        kListenWaitMs, 100, [this] { return isRunning(); },
        [this] {
            return portAnswers(daemonPort_) && portAnswers(webPort_) ? Probe::Ready : Probe::NotYet;
        });
}

void DelugeDaemon::stopDaemon() {
    if (daemon_) {
        stopProcess(*daemon_, 10000);
    }
}

void DelugeDaemon::stop() {
    for (std::unique_ptr<QProcess>* process : {&web_, &daemon_}) {
        if (*process) {
            stopProcess(**process, 10000);
        }
        process->reset();
    }
    sessionCookie_.clear();
}

QString DelugeDaemon::logTail() const {
    QString tail;
    for (const char* name : {"deluged.log", "deluge-web.log"}) {
        if (const std::optional<QString> last =
                fileTail(QDir(dir_.path()).filePath(QLatin1StringView(name)), 300)) {
            tail += QLatin1StringView(name) + QStringLiteral(": ") + *last + QLatin1Char('\n');
        }
    }
    return tail.isEmpty() ? QStringLiteral("(no log)") : tail;
}

std::optional<QJsonValue> DelugeDaemon::call(const std::string& method, const std::string& params) {
    httplib::Client client("127.0.0.1", webPort_);
    client.set_connection_timeout(2, 0);
    client.set_read_timeout(20, 0);
    httplib::Headers headers;
    if (!sessionCookie_.empty()) {
        headers.emplace("Cookie", sessionCookie_);
    }
    const std::string body = R"({"method":")" + method + R"(","params":)" + params + R"(,"id":1})";
    const httplib::Result res = client.Post("/json", headers, body, "application/json");
    if (!res || res->status != 200) {
        return std::nullopt;
    }
    const std::string cookie = res->get_header_value("Set-Cookie");
    if (!cookie.empty()) {
        sessionCookie_ = cookie.substr(0, cookie.find(';'));
    }
    const QJsonObject answer =
        QJsonDocument::fromJson(QByteArray::fromStdString(res->body)).object();
    if (!answer.value(QStringLiteral("error")).isNull()) {
        return std::nullopt;
    }
    return answer.value(QStringLiteral("result"));
}

bool DelugeDaemon::signInConnected() {
    const QByteArray passwordJson =
        QJsonDocument(QJsonArray{password_}).toJson(QJsonDocument::Compact);
    const auto login = call("auth.login", passwordJson.toStdString());
    if (!login || !login->toBool()) {
        return false;
    }
    const auto connected = call("web.connected", "[]");
    if (!connected) {
        return false;
    }
    if (!connected->toBool()) {
        const auto connect = call("web.connect", "[\"" + kHostId.toStdString() + "\"]");
        if (!connect || !connect->isArray()) {
            return false;
        }
    }
    return true;
}

std::optional<QJsonValue> DelugeDaemon::callConnected(const std::string& method,
                                                      const std::string& params) {
    if (!signInConnected()) {
        return std::nullopt;
    }
    return call(method, params);
}

std::optional<std::vector<DaemonTorrent>> DelugeDaemon::torrents() {
    const auto status = callConnected("core.get_torrents_status",
                                      R"([{},["name","download_location","paused","label"]])");
    if (!status || !status->isObject()) {
        return std::nullopt;
    }
    std::vector<DaemonTorrent> out;
    const QJsonObject torrents = status->toObject();
    for (auto it = torrents.begin(); it != torrents.end(); ++it) {
        const QJsonObject t = it.value().toObject();
        out.push_back({0, t.value(QStringLiteral("name")).toString(), it.key(), t});
    }
    return out;
}

}  // namespace pelloran::test
