// pelloran-fake-clients: runs the fake Vuze and uTorrent web interfaces on loopback until
// SIGINT or SIGTERM, for the demo and for manual trials. Prints where each one listens.

#include <pthread.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

#include "fake_clients.h"

namespace {

// Reads a port option; -1 when it is not a number from 0 to 65535.
int portOption(const QCommandLineParser& parser, const QString& name) {
    bool ok = false;
    const int port = parser.value(name).toInt(&ok);
    return ok && port >= 0 && port <= 65535 ? port : -1;
}

}  // namespace

int main(int argc, char** argv) {
    // Blocked before any server thread exists, so the threads inherit the mask and only the
    // sigwait below receives the stop signals.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pelloran-fake-clients"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves fake Vuze and uTorrent web interfaces on 127.0.0.1 until SIGINT or SIGTERM.\n"
        "Prints PELLORAN_FAKE_VUZE=127.0.0.1:PORT and PELLORAN_FAKE_UTORRENT=127.0.0.1:PORT."));
    parser.addHelpOption();
    const QCommandLineOption vuzePort(QStringLiteral("vuze-port"),
                                      QStringLiteral("Port of the fake Vuze (0 = any free)."),
                                      QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption utorrentPort(
        QStringLiteral("utorrent-port"),
        QStringLiteral("Port of the fake uTorrent (0 = any free)."), QStringLiteral("port"),
        QStringLiteral("0"));
    const QCommandLineOption user(QStringLiteral("user"),
                                  QStringLiteral("Demand Basic authentication with this user."),
                                  QStringLiteral("name"));
    const QCommandLineOption password(
        QStringLiteral("password"),
        QStringLiteral("Password for --user (visible to ps; prefer --password-stdin)."),
        QStringLiteral("password"));
    const QCommandLineOption passwordStdin(
        QStringLiteral("password-stdin"),
        QStringLiteral("Read the password for --user from the first line of standard input."));
    parser.addOptions({vuzePort, utorrentPort, user, password, passwordStdin});
    parser.process(app);

    const int vuzePortValue = portOption(parser, vuzePort.names().first());
    const int utorrentPortValue = portOption(parser, utorrentPort.names().first());
    if (vuzePortValue < 0 || utorrentPortValue < 0) {
        std::fprintf(stderr, "pelloran-fake-clients: a port must be a number from 0 to 65535\n");
        return 2;
    }
    if (parser.isSet(password) && parser.isSet(passwordStdin)) {
        std::fprintf(stderr, "pelloran-fake-clients: give --password or --password-stdin\n");
        return 2;
    }
    QString passwordValue = parser.value(password);
    if (parser.isSet(passwordStdin)) {
        std::string line;
        std::getline(std::cin, line);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        passwordValue = QString::fromStdString(line);
    }

    pelloran::fake::FakeVuze vuze;
    pelloran::fake::FakeUtorrent utorrent;
    vuze.setCredentials(parser.value(user), passwordValue);
    utorrent.setCredentials(parser.value(user), passwordValue);
    if (!vuze.start(vuzePortValue)) {
        std::fprintf(stderr, "pelloran-fake-clients: cannot listen on 127.0.0.1:%d for Vuze\n",
                     vuzePortValue);
        return 1;
    }
    if (!utorrent.start(utorrentPortValue)) {
        std::fprintf(stderr, "pelloran-fake-clients: cannot listen on 127.0.0.1:%d for uTorrent\n",
                     utorrentPortValue);
        return 1;
    }
    std::printf("PELLORAN_FAKE_VUZE=%s\nPELLORAN_FAKE_UTORRENT=%s\n", qPrintable(vuze.hostPort()),
                qPrintable(utorrent.hostPort()));
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    utorrent.stop();
    vuze.stop();
    return 0;
}
