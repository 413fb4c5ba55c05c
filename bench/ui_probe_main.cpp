// pelloran-ui-probe MODE [app options]: the app (or an empty window) started as the app starts,
// reporting on stdout what ui_bench measures. Modes:
//   empty    an empty QWidget window; prints "shown" when it is first painted, then quits
//   login    the app; prints "shown" when the login face is first painted, then quits
//   sign-in  the app signing in by itself (credentials and PELLORAN_* set by the caller);
//            a 10 ms timer watches the event loop from launch until the main interface shows;
//            prints "gap MS", then "rss KB" and "webengine 0|1" once it has settled, then quits

#include "app/application.h"
#include "app/login_view_controller.h"
#include "app/pelloran_app_delegate.h"
#include "app/switch_view_controller.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>

namespace {

using namespace pelloran;

// Calls `then` once, after the first paint of `widget` or of anything in it (a face covered by
// opaque children is never painted itself), once that frame is done.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* widget, std::function<void()> then) : then_(std::move(then)) {
        widget->installEventFilter(this);
        for (QWidget* child : widget->findChildren<QWidget*>()) {
            child->installEventFilter(this);
        }
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && then_) {
            auto then = std::move(then_);
            then_ = nullptr;
            QTimer::singleShot(0, then);
        }
        return false;
    }

private:
    std::function<void()> then_;
};

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

long residentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

bool webEngineMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("WebEngine");
}

int runEmpty(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(480, 852);
    FirstPaint painted(&window, [] {
        say("shown");
        QCoreApplication::quit();
    });
    window.show();
    return app.exec();
}

int runLogin(int argc, char* argv[]) {
    ApplicationHooks hooks;
    std::unique_ptr<FirstPaint> painted;
    hooks.launched = [&](PelloranAppDelegate& delegate) {
        painted =
            std::make_unique<FirstPaint>(delegate.viewController()->loginViewController(), [] {
                say("shown");
                QCoreApplication::quit();
            });
    };
    return runApplication(argc, argv, hooks);
}

int runSignIn(int argc, char* argv[]) {
    ApplicationHooks hooks;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticker;
    std::unique_ptr<FirstPaint> painted;
    hooks.launched = [&](PelloranAppDelegate& delegate) {
        ticker.setInterval(10);
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longest = std::max(longest, now - last);
            if (qEnvironmentVariableIsSet("PELLORAN_PROBE_TRACE") && now - last > 20) {
                std::fprintf(stderr, "gap %lld ms ending at %lld ms\n", now - last, now);
            }
            last = now;
        });
        // The sign-in starts with the login face; the watch starts once that face is on
        // screen (its first frame is start-up, which BM_StartupToLoginFace measures).
        clock.start();
        painted =
            std::make_unique<FirstPaint>(delegate.viewController()->loginViewController(), [&] {
                say(QStringLiteral("first-frame %1").arg(clock.elapsed()).toUtf8().constData());
                last = clock.elapsed();
                ticker.start();
            });
        QObject::connect(
            delegate.viewController(), &SwitchViewController::faceShown, [&](bool mainInterface) {
                if (!mainInterface) {
                    return;
                }
                // Until the main interface has been drawn.
                QTimer::singleShot(200, [&] {
                    ticker.stop();
                    say(QStringLiteral("gap %1").arg(longest).toUtf8().constData());
                });
                QTimer::singleShot(1000, [] {
                    say(QStringLiteral("rss %1").arg(residentKilobytes()).toUtf8().constData());
                    say(webEngineMapped() ? "webengine 1" : "webengine 0");
                    QCoreApplication::quit();
                });
            });
    };
    return runApplication(argc, argv, hooks);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pelloran-ui-probe empty|login|sign-in [app options]\n");
        return 2;
    }
    const char* mode = argv[1];
    // The app sees its own options only.
    argv[1] = argv[0];
    ++argv;
    --argc;
    if (std::strcmp(mode, "empty") == 0) {
        return runEmpty(argc, argv);
    }
    if (std::strcmp(mode, "login") == 0) {
        return runLogin(argc, argv);
    }
    if (std::strcmp(mode, "sign-in") == 0) {
        return runSignIn(argc, argv);
    }
    std::fprintf(stderr, "pelloran-ui-probe: unknown mode %s\n", mode);
    return 2;
}
