#pragma once
// Debian's real transmission-daemon for tests and benchmarks: started in the foreground on a
// free loopback RPC port with a temporary configuration and download folder, RPC
// authentication on, only 127.0.0.1 allowed, and nothing that reaches beyond the machine (no
// DHT, LPD, uTP, PEX or port mapping; peers on loopback, random peer port). Stopped (and its
// folder removed) by the destructor.
//
// It talks to the daemon with its own small RPC client (cpp-httplib), independent of the code
// under test. Use it from one thread.

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <vector>

namespace pelloran::test {

struct DaemonTorrent {
    int id = 0;
    QString name;        // the "name" of the torrent's info dictionary
    QString hashString;  // info hash, 40 lowercase hex digits
    // Everything else the client told of it, in its own keys: where it went, how it started,
    // its category, tags or labels.
    QJsonObject details;
};

class TransmissionDaemon {
public:
    TransmissionDaemon();
    ~TransmissionDaemon();
    TransmissionDaemon(const TransmissionDaemon&) = delete;
    TransmissionDaemon& operator=(const TransmissionDaemon&) = delete;

    // The installed program, or "" when it is not on PATH.
    static QString binaryPath();

    // Starts the daemon and waits until its RPC address answers. False with a reason (never a
    // credential) in `error` when it could not be brought up.
    bool start(QString* error = nullptr);
    // Stops it; the RPC port then refuses connections. Safe to call twice.
    void stop();
    bool isRunning() const;

    int port() const { return port_; }
    QString address() const { return QStringLiteral("127.0.0.1"); }
    QString username() const { return username_; }
    QString password() const { return password_; }

    // Every torrent the daemon holds (RPC torrent-get); absent when the RPC failed.
    std::optional<std::vector<DaemonTorrent>> torrents();

private:
    bool launch(QString* error);
    bool waitForRpc();
    QString logTail() const;

    QTemporaryDir dir_;
    std::unique_ptr<QProcess> process_;
    int port_ = 0;
    QString username_;
    QString password_;
    QString sessionId_;
};

}  // namespace pelloran::test
