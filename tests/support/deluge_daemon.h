#pragma once
// Debian's real Deluge 2 for tests and benchmarks: deluged and deluge-web started with one
// configuration folder of their own in a temporary directory (never the member's), both on free
// loopback ports, the web interface's password set (its salted SHA-1 in web.conf) and the
// daemon in its host list with a local account from the auth file, so nothing is ever asked.
// The web interface starts unconnected: the first sign-in finds web.connected false and
// connects. No DHT, LSD, UPnP, NAT-PMP or peer exchange; peers on loopback. Both are stopped
// (and the folder removed) by the destructor.
//
// The password holds "&", "%", a space and a non-ASCII letter. The fixture talks to the web
// interface with its own small JSON-RPC client (cpp-httplib). Use it from one thread.

#include "support/transmission_daemon.h"

#include <QJsonValue>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <vector>

namespace pelloran::test {

class DelugeDaemon {
public:
    DelugeDaemon();
    ~DelugeDaemon();
    DelugeDaemon(const DelugeDaemon&) = delete;
    DelugeDaemon& operator=(const DelugeDaemon&) = delete;

    // The installed programs, or "" when one of them is not on PATH.
    static QString daemonPath();
    static QString webPath();

    // Starts both and waits until both listen. False with a reason (never a credential) in
    // `error` when they could not be brought up.
    bool start(QString* error = nullptr);
    void stop();  // safe to call twice
    // Stops the daemon only: the web interface stays, connected to nothing.
    void stopDaemon();
    bool isRunning() const;

    int port() const { return webPort_; }  // the web interface's
    QString address() const { return QStringLiteral("127.0.0.1"); }
    QString password() const { return password_; }

    // Every torrent the daemon holds, through the web interface (signing the fixture in and
    // connecting it when needed); absent when that failed.
    std::optional<std::vector<DaemonTorrent>> torrents();
    // One JSON-RPC call of the web interface, signed in and connected to the daemon first;
    // the answer's "result", or absent ("core.enable_plugin", ["Label"]).
    std::optional<QJsonValue> callConnected(const std::string& method, const std::string& params);

private:
    bool launch(QString* error);
    bool writeConfig(QString* error);
    QString logTail() const;
    bool signInConnected();
    // One JSON-RPC call with the fixture's session; the answer's "result", or absent.
    std::optional<QJsonValue> call(const std::string& method, const std::string& params);

    QTemporaryDir dir_;
    std::unique_ptr<QProcess> daemon_;
    std::unique_ptr<QProcess> web_;
    int daemonPort_ = 0;
    int webPort_ = 0;
    QString password_;
    QString localPassword_;  // the daemon account the web interface connects with
    std::string sessionCookie_;
};

}  // namespace pelloran::test
