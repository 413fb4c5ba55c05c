#pragma once
// Free loopback ports and small helpers shared by the fixtures that start real BitTorrent
// clients (transmission-daemon, qbittorrent-nox, deluged and deluge-web).

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QProcess;

namespace pelloran::test {

// A loopback TCP port nobody listens on right now. Another process may take it before the
// program under test binds it; the fixtures then try again with another port.
int freeLoopbackPort();

// `bytes` random bytes as lowercase hex.
QString randomHex(int bytes);

// Whether something accepts TCP connections on 127.0.0.1:port.
bool portAnswers(int port);

// Asks a started program to end, waits up to `graceMs`, then kills it. Nothing when it has
// already ended.
void stopProcess(QProcess& process, int graceMs);

// Starts `program` with its output (both channels) going to `logFile`; false when it did not
// start.
bool startLogged(QProcess& process, const QString& program, const QStringList& arguments,
                 const QString& logFile);

// What one look at a starting program found.
enum class Probe { NotYet, Ready, Refused };

// Looks with `probe` every `intervalMs` until it finds the program Ready (true) or Refused
// (false), the program has ended (`running` false), or `ms` passed.
bool waitUntilReady(int ms, int intervalMs, const std::function<bool()>& running,
                    const std::function<Probe()>& probe);

// How a fixture brings its programs up.
struct Startup {
    QString missing;   // why it can't start at all ("" when it can): not installed, no folder
    int attempts = 1;  // a try may lose its fresh ports to another process
    std::function<bool(QString* why)> tryOnce;  // launch on fresh ports, wait until it answers
    std::function<QString()> notReady;          // the reason for a try that failed without one
    std::function<void()> stop;                 // ends what a failed try left running
};

// Runs the tries; false with the last reason in `error` (never a credential) when none came up.
bool bringUp(const Startup& startup, QString* error);

// The last `bytes` bytes of a program's log file, trimmed; absent when it can't be read.
std::optional<QString> fileTail(const QString& path, int bytes);

// Whether CI=true: a missing real component then fails a test instead of skipping it.
bool onCi();

}  // namespace pelloran::test
