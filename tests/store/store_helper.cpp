// A second (third, ...) process for the cross-process store tests. Each mode opens its store,
// prints "ready", then waits for a line on stdin before it writes, so that a test can start
// many and let them go at once, each with what it read before the others wrote.
//
//   store_helper hold-lock LOCKFILE           take the lock, print "locked", wait to be killed
//   store_helper history HOME PREFIX COUNT     append PREFIX-1 .. PREFIX-COUNT to the history
//   store_helper cookies FILE PREFIX COUNT     set and save cookies PREFIX-1 .. PREFIX-COUNT

#include "net/cookie_store.h"
#include "remote/download_history.h"
#include "store/settings_store.h"

#include <QCoreApplication>
#include <QLockFile>
#include <QThread>
#include <cstdio>
#include <iostream>
#include <string>

using namespace pelloran;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2) {
        return 2;
    }
    const auto waitForGo = [] {
        std::puts("ready");
        std::fflush(stdout);
        std::string go;
        std::getline(std::cin, go);
    };
    const QString mode = args[0];
    if (mode == QLatin1StringView("hold-lock")) {
        waitForGo();
        QLockFile lock(args[1]);
        if (!lock.tryLock(5000)) {
            return 1;
        }
        std::puts("locked");
        std::fflush(stdout);
        for (;;) {
            QThread::sleep(60);
        }
    }
    if (args.size() != 4) {
        return 2;
    }
    const QString prefix = args[2];
    const int count = args[3].toInt();
    if (mode == QLatin1StringView("history")) {
        SettingsStore store(args[1]);
        DownloadHistory history(store);
        waitForGo();
        for (int i = 1; i <= count; ++i) {
            history.append(prefix + QLatin1Char('-') + QString::number(i));
        }
        return store.hasUnsavedChanges() ? 1 : 0;
    }
    if (mode == QLatin1StringView("cookies")) {
        CookieStore cookies(args[1]);
        waitForGo();
        for (int i = 1; i <= count; ++i) {
            Cookie c;
            c.domain = QStringLiteral("127.0.0.1");
            c.name = prefix + QLatin1Char('-') + QString::number(i);
            c.value = QStringLiteral("v");
            cookies.setCookie(c);
            if (!cookies.save()) {
                return 1;
            }
        }
        return 0;
    }
    return 2;
}
