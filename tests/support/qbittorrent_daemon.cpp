#include "support/qbittorrent_daemon.h"

#include "support/loopback_port.h"

#include <httplib.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QUrl>

namespace pelloran::test {

namespace {

constexpr int kStartAttempts = 3;
constexpr int kWebUiWaitMs = 30000;

QByteArray pbkdf2Sha512(const QByteArray& password, const QByteArray& salt, int rounds) {
    // One block: SHA-512 gives the 64 bytes qBittorrent keeps.
    QMessageAuthenticationCode mac(QCryptographicHash::Sha512, password);
    mac.addData(salt + QByteArray("\x00\x00\x00\x01", 4));
    QByteArray u = mac.result();
    QByteArray t = u;
    for (int i = 1; i < rounds; ++i) {
        mac.reset();
        mac.addData(u);
        u = mac.result();
        for (qsizetype k = 0; k < t.size(); ++k) {
            t[k] = static_cast<char>(t[k] ^ u[k]);
        }
    }
    return t;
}

std::string formValue(const QString& value) {
    return QUrl::toPercentEncoding(value).toStdString();
}

}  // namespace

QString qbittorrentPasswordHash(const QString& password) {
    QByteArray salt(16, Qt::Uninitialized);
    for (char& c : salt) {
        c = static_cast<char>(QRandomGenerator::global()->bounded(256));
    }
    const QByteArray hash = pbkdf2Sha512(password.toUtf8(), salt, 100000);
    return QStringLiteral("@ByteArray(%1:%2)")
        .arg(QString::fromLatin1(salt.toBase64()), QString::fromLatin1(hash.toBase64()));
}

QBittorrentDaemon::QBittorrentDaemon()
    : username_(QStringLiteral("pelloran")),
      password_(QStringLiteral("p&ss%20 w\u00f6rd-") + randomHex(6)) {}

QBittorrentDaemon::~QBittorrentDaemon() {
    stop();
}

QString QBittorrentDaemon::binaryPath() {
    return QStandardPaths::findExecutable(QStringLiteral("qbittorrent-nox"));
}

bool QBittorrentDaemon::isRunning() const {
    return process_ && process_->state() != QProcess::NotRunning;
}

bool QBittorrentDaemon::start(QString* error) {
    if (isRunning()) {
        return true;
    }
    Startup startup;
    startup.missing =
        binaryPath().isEmpty()
            ? QStringLiteral("qbittorrent-nox is not installed (scripts/deps installs it)")
        : !dir_.isValid() ? QStringLiteral("no temporary folder for qbittorrent-nox")
                          : QString();
    startup.attempts = kStartAttempts;
    startup.tryOnce = [this](QString* why) { return launch(why) && signIn(); };
    startup.notReady = [this] {
        return QStringLiteral("qbittorrent-nox did not sign the fixture in: ") + logTail();
    };
    startup.stop = [this] { stop(); };
    return bringUp(startup, error);
}

bool QBittorrentDaemon::launch(QString* error) {
    port_ = freeLoopbackPort();
    const int peerPort = freeLoopbackPort();
    if (port_ == 0 || peerPort == 0) {
        if (error) {
            *error = QStringLiteral("no free loopback port");
        }
        return false;
    }
    const QDir root(dir_.path());
    const QString configDir = root.filePath(QStringLiteral("profile/qBittorrent/config"));
    root.mkpath(configDir);
    root.mkpath(QStringLiteral("downloads"));
    // The password goes through this file (as its hash) rather than the command line.
    const QString config =
        QStringLiteral(
            "[LegalNotice]\nAccepted=true\n\n"
            "[BitTorrent]\n"
            "Session\\DHTEnabled=false\nSession\\LSDEnabled=false\nSession\\PeXEnabled=false\n"
            "Session\\Port=%1\nSession\\Interface=lo\nSession\\InterfaceName=lo\n"
            "Session\\InterfaceAddress=127.0.0.1\nSession\\DefaultSavePath=%2\n"
            "Session\\AddTorrentPaused=true\n\n"
            "[Preferences]\n"
            "Connection\\UPnP=false\nGeneral\\Locale=en\n"
            "WebUI\\Address=127.0.0.1\nWebUI\\Port=%3\nWebUI\\UseUPnP=false\n"
            "WebUI\\LocalHostAuth=true\nWebUI\\Username=%4\nWebUI\\Password_PBKDF2=\"%5\"\n")
            .arg(peerPort)
            .arg(root.filePath(QStringLiteral("downloads")))
            .arg(port_)
            .arg(username_, qbittorrentPasswordHash(password_));
    QFile file(QDir(configDir).filePath(QStringLiteral("qBittorrent.conf")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(config.toUtf8()) < 0) {
        if (error) {
            *error = QStringLiteral("cannot write qBittorrent.conf");
        }
        return false;
    }
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);

    process_ = std::make_unique<QProcess>();
    if (!startLogged(*process_, binaryPath(),
                     {QStringLiteral("--profile=") + root.filePath(QStringLiteral("profile")),
                      QStringLiteral("--webui-port=%1").arg(port_)},
                     root.filePath(QStringLiteral("qbittorrent.log")))) {
        if (error) {
            *error = QStringLiteral("qbittorrent-nox did not start: ") + process_->errorString();
        }
        return false;
    }
    return true;
}

bool QBittorrentDaemon::signIn() {
    const std::string origin = "http://127.0.0.1:" + std::to_string(port_);
    return waitUntilReady(
        kWebUiWaitMs, 50, [this] { return isRunning(); },
        [&] {
            httplib::Client client("127.0.0.1", port_);
            client.set_connection_timeout(1, 0);
            client.set_read_timeout(5, 0);
            const std::string form =
                "username=" + formValue(username_) + "&password=" + formValue(password_);
            const httplib::Result res = client.Post("/api/v2/auth/login", {{"Referer", origin}},
                                                    form, "application/x-www-form-urlencoded");
            if (!res) {
                return Probe::NotYet;
            }
            const std::string cookie = res->get_header_value("Set-Cookie");
            if (res->status != 200 || res->body != "Ok." || cookie.empty()) {
                return Probe::Refused;  // up, but it doesn't take the password: never try it twice
            }
            sessionCookie_ = cookie.substr(0, cookie.find(';'));
            const httplib::Result v =
                client.Get("/api/v2/app/version", {{"Cookie", sessionCookie_}});
            version_ = v ? QString::fromStdString(v->body) : QString();
            return Probe::Ready;
        });
}

void QBittorrentDaemon::stop() {
    if (!process_) {
        return;
    }
    stopProcess(*process_, 10000);
    process_.reset();
    sessionCookie_.clear();
}

QString QBittorrentDaemon::logTail() const {
    return fileTail(QDir(dir_.path()).filePath(QStringLiteral("qbittorrent.log")), 600)
        .value_or(QStringLiteral("(no log)"));
}

std::optional<std::vector<DaemonTorrent>> QBittorrentDaemon::torrents() {
    httplib::Client client("127.0.0.1", port_);
    client.set_connection_timeout(2, 0);
    client.set_read_timeout(10, 0);
    const httplib::Result res = client.Get("/api/v2/torrents/info", {{"Cookie", sessionCookie_}});
    if (!res || res->status != 200) {
        return std::nullopt;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(res->body));
    if (!doc.isArray()) {
        return std::nullopt;
    }
    std::vector<DaemonTorrent> out;
    for (const QJsonValue& item : doc.array()) {
        const QJsonObject t = item.toObject();
        out.push_back({0, t.value(QStringLiteral("name")).toString(),
                       t.value(QStringLiteral("hash")).toString(), t});
    }
    return out;
}

}  // namespace pelloran::test
