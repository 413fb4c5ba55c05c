#pragma once
// Free loopback ports and small helpers shared by the fixtures that start real BitTorrent
// clients (transmission-daemon, qbittorrent-nox, deluged and deluge-web).

#include <QString>
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

// The last `bytes` bytes of a program's log file, trimmed; absent when it can't be read.
std::optional<QString> fileTail(const QString& path, int bytes);

// Whether CI=true: a missing real component then fails a test instead of skipping it.
bool onCi();

}  // namespace pelloran::test
