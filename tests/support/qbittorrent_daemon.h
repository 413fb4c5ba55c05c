#pragma once
// Debian's real qbittorrent-nox for tests and benchmarks: started with a profile folder of its
// own in a temporary directory (configuration, downloads, logs: never the member's), its Web UI
// on a free loopback port with a known user name and password (stored as the PBKDF2 hash
// qBittorrent keeps), the legal notice accepted so it never asks, authentication demanded on
// loopback too, and nothing that reaches beyond the machine (no DHT, LSD, PeX or port mapping;
// peers on loopback). Stopped (and its folder removed) by the destructor.
//
// The password holds "&", "%", a space and a non-ASCII letter, so every test signs in with
// one. The fixture talks to qBittorrent with its own small client (cpp-httplib): it signs in
// once when it starts and keeps that session, which outlives a ban of the address. Use it from
// one thread.

#include "support/transmission_daemon.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <vector>

namespace pelloran::test {

class QBittorrentDaemon {
public:
    QBittorrentDaemon();
    ~QBittorrentDaemon();
    QBittorrentDaemon(const QBittorrentDaemon&) = delete;
    QBittorrentDaemon& operator=(const QBittorrentDaemon&) = delete;

    // The installed program, or "" when it is not on PATH.
    static QString binaryPath();

    // Starts it and waits until the Web UI signs the fixture in. False with a reason (never a
    // credential) in `error` when it could not be brought up.
    bool start(QString* error = nullptr);
    void stop();  // safe to call twice
    bool isRunning() const;

    int port() const { return port_; }
    QString address() const { return QStringLiteral("127.0.0.1"); }
    QString username() const { return username_; }
    QString password() const { return password_; }
    QString version() const { return version_; }  // "v4.5.2"

    // Every torrent it holds (name and info-hash); absent when the Web API failed.
    std::optional<std::vector<DaemonTorrent>> torrents();

private:
    bool launch(QString* error);
    bool signIn();
    QString logTail() const;

    QTemporaryDir dir_;
    std::unique_ptr<QProcess> process_;
    int port_ = 0;
    QString username_;
    QString password_;
    QString version_;
    std::string sessionCookie_;  // "SID=..." of the fixture's own session
};

// qBittorrent's stored form of a Web UI password: "@ByteArray(SALT:HASH)" with a random 16-byte
// salt and PBKDF2-HMAC-SHA512 of the UTF-8 password over 100000 rounds, both in Base64.
QString qbittorrentPasswordHash(const QString& password);

}  // namespace pelloran::test
