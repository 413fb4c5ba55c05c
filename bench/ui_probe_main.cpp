// pelloran-ui-probe MODE [app options]: the app (or an empty window) started as the app starts,
// reporting on stdout what ui_bench measures. Modes:
//   empty    an empty QWidget window; prints "shown" when it is first painted, then quits
//   login    the app; prints "shown" when the login face is first painted, then quits
//   sign-in  the app signing in by itself (credentials and PELLORAN_* set by the caller);
//            a 1 ms timer watches the event loop from launch until the main interface shows;
//            prints "gap MS", then "rss KB" and "webengine 0|1" once it has settled, then quits
//   favorites  signs in the same way, then opens the favorites tab, whose scan (the page count
//            and filters the caller stored) arrives with the pictures of its rows; a 10 ms
//            timer watches the event loop from the tab's opening until the scan is in and
//            drawn; prints "gap MS" and "rows N", then quits
//   browse-ten signs in, then loads ten pages of the browse list through its load-more row,
//            drawing each page's rows and pictures; prints "pages N" and "rss KB", then quits
//   details  the app signing in by itself, then opening the details page at
//            PELLORAN_PROBE_DETAILS_URL through the web plugin; once the page has loaded and
//            settled, prints the memory of the whole process tree (the app and the web
//            engine's processes): "tree-pss KB", "tree-rss KB", "app-pss KB", "processes N";
//            with PELLORAN_PROBE_SHOT set, saves a picture of the whole screen there
//   details-click  signs in, then clicks the first row of the browse list, as the member does,
//            and goes back once its details page shows; then the same with the second row.
//            Prints for each ("first-", then "later-"): "overlay MS", from the click until a
//            frame shows a navigation bar with the loading overlay over the list (the stand-in
//            that shows while the web plugin loads counts), "screen MS", until a frame shows
//            the details screen's own navigation with the overlay, "text
//            MS", from the click until the page's text is loaded, and "window-recreated 0|1",
//            whether the window's native window was re-created (destroyed and made again, or
//            replaced) between the click and the text; with PELLORAN_PROBE_FLASH set, also
//            "white-samples N": how many of its 5 ms polls read a white page off the screen
//   close-idle signs in, lets the app settle, then closes the window as the member does;
//            prints "closing" just before (the caller times the rest until the process ends)
//   close-push signs in, sends the first browse row to the client in the remote settings
//            (one that never answers, set up by the caller) and closes the window while that
//            push waits; prints "closing" the same way

#include "app/application.h"
#include "app/login_view_controller.h"
#include "app/pelloran_app_delegate.h"
#include "app/pelloran_window.h"
#include "app/switch_view_controller.h"
#include "lists/all_list_view_controller.h"
#include "lists/favorite_list_view_controller.h"
#include "lists/torrent_list_model.h"
#include "ui/loading_indicator.h"
#include "ui/navigation_stack.h"
#include "ui/tab_bar_controller.h"
#include "ui/web_screen_factory.h"
#include "ui/web_tab_screen.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QMouseEvent>
#include <QMultiMap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
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

// PSS and RSS of one process, in kB (-1 when it is gone).
struct ProcessMemory {
    long pss = -1;
    long rss = -1;
};

long statusField(const QByteArray& text, const char* name) {
    for (const QByteArray& line : text.split('\n')) {
        if (line.startsWith(name)) {
            return line.mid(qsizetype(std::strlen(name))).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

ProcessMemory memoryOf(qint64 pid) {
    ProcessMemory m;
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (rollup.open(QIODevice::ReadOnly)) {
        m.pss = statusField(rollup.readAll(), "Pss:");
    }
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        m.rss = statusField(status.readAll(), "VmRSS:");
    }
    return m;
}

// This process and every process below it.
QList<qint64> processTree() {
    QMultiMap<qint64, qint64> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!isPid || !stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // "pid (name) state ppid ...": the name may hold spaces, so read after the last ')'.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        children.insert(fields.value(1).toLongLong(), pid);
    }
    QList<qint64> tree{QCoreApplication::applicationPid()};
    for (qsizetype i = 0; i < tree.size(); ++i) {
        tree += children.values(tree[i]);
    }
    return tree;
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

// Records the longest gap in the event loop while it runs: the longest time between the ticks
// of a timer. A stall of S ms shows as a gap of S plus up to one tick, so against the one-frame
// goal of the sign-in (16.7 ms) the tick is 1 ms: a 10 ms tick could report a 7 ms stall as 17.
// The favorites scan keeps its 10 ms tick, so that its figure compares with earlier ones.
class GapWatch {
public:
    explicit GapWatch(int tickMs) : tickMs_(tickMs) {
        ticker_.setInterval(tickMs);
        ticker_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            longest_ = std::max(longest_, now - last_);
            if (qEnvironmentVariableIsSet("PELLORAN_PROBE_TRACE") && now - last_ > tickMs_ + 4) {
                std::fprintf(stderr, "gap %lld ms ending at %lld ms\n", now - last_, now);
            }
            last_ = now;
        });
    }
    void start() {
        clock_.start();
        last_ = 0;
        ticker_.start();
    }
    qint64 stop() {
        ticker_.stop();
        return longest_;
    }

private:
    int tickMs_;
    QTimer ticker_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

int runSignIn(int argc, char* argv[]) {
    ApplicationHooks hooks;
    QElapsedTimer clock;
    GapWatch watch(1);
    std::unique_ptr<FirstPaint> painted;
    hooks.launched = [&](PelloranAppDelegate& delegate) {
        // The sign-in starts with the login face; the watch starts once that face is on
        // screen (its first frame is start-up, which BM_StartupToLoginFace measures).
        clock.start();
        painted =
            std::make_unique<FirstPaint>(delegate.viewController()->loginViewController(), [&] {
                say(QStringLiteral("first-frame %1").arg(clock.elapsed()).toUtf8().constData());
                watch.start();
            });
        QObject::connect(
            delegate.viewController(), &SwitchViewController::faceShown, [&](bool mainInterface) {
                if (!mainInterface) {
                    return;
                }
                // Until the main interface has been drawn.
                QTimer::singleShot(200, [&] {
                    say(QStringLiteral("gap %1").arg(watch.stop()).toUtf8().constData());
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


// Runs `step` every 20 ms once the main interface shows and its first page is in, until it
// returns false.
void whenSignedIn(PelloranAppDelegate& delegate, std::function<bool()> step) {
    auto* poll = new QTimer(delegate.viewController());
    poll->setInterval(20);
    auto started = std::make_shared<bool>(false);
    QObject::connect(poll, &QTimer::timeout, [poll, &delegate, step, started] {
        TabBarController* tabs = delegate.viewController()->tabBarController();
        if (!*started && (!tabs || !delegate.viewController()->isMainInterfaceShown() ||
                          !tabs->itemsEnabled())) {
            return;
        }
        *started = true;
        if (!step()) {
            poll->stop();
        }
    });
    poll->start();
}

int runFavorites(int argc, char* argv[]) {
    ApplicationHooks hooks;
    GapWatch watch(10);
    enum class Phase { Waiting, Scanning, Drawing } phase = Phase::Waiting;
    hooks.launched = [&](PelloranAppDelegate& delegate) {
        whenSignedIn(delegate, [&] {
            TabBarController* tabs = delegate.viewController()->tabBarController();
            auto* favorites = dynamic_cast<FavoriteListViewController*>(tabs->screen(1));
            if (!favorites) {
                return false;
            }
            if (phase == Phase::Waiting) {
                watch.start();
                tabs->setSelectedIndex(1);
                phase = Phase::Scanning;
                return true;
            }
            if (phase == Phase::Scanning && !favorites->isBusy()) {
                phase = Phase::Drawing;
                // Until the rows and their pictures have been drawn.
                QTimer::singleShot(300, [&, favorites] {
                    say(QStringLiteral("gap %1").arg(watch.stop()).toUtf8().constData());
                    say(QStringLiteral("rows %1")
                            .arg(favorites->model()->recordCount())
                            .toUtf8()
                            .constData());
                    QCoreApplication::quit();
                });
                return false;
            }
            return true;
        });
    };
    return runApplication(argc, argv, hooks);
}

int runBrowseTen(int argc, char* argv[]) {
    ApplicationHooks hooks;
    constexpr int kPages = 10;
    hooks.launched = [&](PelloranAppDelegate& delegate) {
        whenSignedIn(delegate, [&] {
            TabBarController* tabs = delegate.viewController()->tabBarController();
            auto* browse = dynamic_cast<AllListViewController*>(tabs->screen(0));
            if (!browse || browse->isBusy() || browse->queuedOperations() > 0) {
                return true;
            }
            // Each page is drawn, pictures and all, before the next one is asked for.
            browse->tableView()->scrollToBottom();
            QCoreApplication::processEvents();
            if (browse->currentPage() < kPages && browse->model()->hasLoadMoreRow()) {
                browse->didSelectRow(browse->model()->rowCount() - 1);
                return true;
            }
            const int pages = browse->currentPage();
            QTimer::singleShot(1000, [pages] {
                say(QStringLiteral("pages %1").arg(pages).toUtf8().constData());
                say(QStringLiteral("rss %1").arg(residentKilobytes()).toUtf8().constData());
                QCoreApplication::quit();
            });
            return false;
        });
    };
    return runApplication(argc, argv, hooks);
}

int runDetails(int argc, char* argv[]) {
    ApplicationHooks hooks;
    QTimer poll;
    QPointer<ViewController> details;
    hooks.launched = [&](PelloranAppDelegate& delegate) {
        QObject::connect(
            delegate.viewController(), &SwitchViewController::faceShown, [&](bool mainInterface) {
                if (!mainInterface || details) {
                    return;
                }
                TabBarController* tabs = delegate.viewController()->tabBarController();
                auto* forum = dynamic_cast<WebTabScreen*>(tabs->screen(4));
                WebScreenFactory* factory = delegate.webLoader().factory();
                if (!forum || !factory) {
                    std::fprintf(stderr, "pelloran-ui-probe: no web plugin: %s\n",
                                 qPrintable(delegate.webLoader().errorString()));
                    QCoreApplication::exit(1);
                    return;
                }
                details =
                    factory->createDetailsScreen(qEnvironmentVariable("PELLORAN_PROBE_DETAILS_URL"),
                                                 0, forum->screenContext(), nullptr);
                tabs->navigationStack(0)->pushViewController(details, false);
                poll.start(100);
            });
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!details || details->property("loadsEnded").toInt() < 1 ||
                details->property("loading").toBool()) {
                return;
            }
            poll.stop();
            // Settled: the page drawn, the engine's processes done starting.
            QTimer::singleShot(3000, [] {
                long pss = 0;
                long rss = 0;
                const QList<qint64> tree = processTree();
                for (const qint64 pid : tree) {
                    const ProcessMemory m = memoryOf(pid);
                    pss += std::max(m.pss, 0L);
                    rss += std::max(m.rss, 0L);
                }
                const ProcessMemory app = memoryOf(QCoreApplication::applicationPid());
                say(QStringLiteral("tree-pss %1").arg(pss).toUtf8().constData());
                say(QStringLiteral("tree-rss %1").arg(rss).toUtf8().constData());
                say(QStringLiteral("app-pss %1").arg(app.pss).toUtf8().constData());
                say(QStringLiteral("processes %1").arg(tree.size()).toUtf8().constData());
                // What the display shows now (the X server's picture under xvfb-run).
                const QString shot = qEnvironmentVariable("PELLORAN_PROBE_SHOT");
                if (!shot.isEmpty() && QGuiApplication::primaryScreen()) {
                    QGuiApplication::primaryScreen()->grabWindow(0).save(shot);
                }
                QCoreApplication::quit();
            });
        });
    };
    return runApplication(argc, argv, hooks);
}

// Watches, from a click on a browse row, for the first frame that shows the details screen
// with the loading overlay, and for the page's text. Paint events are seen here even while
// the UI thread is busy between them, so a frame is timed when it is drawn.
class DetailsClickWatch : public QObject {
public:
    DetailsClickWatch(TabBarController* tabs, AllListViewController* browse, WebScreenLoader& web)
        : tabs_(tabs), browse_(browse), web_(web), window_(tabs->window()) {
        qApp->installEventFilter(this);
        poll_.setInterval(5);
        QObject::connect(&poll_, &QTimer::timeout, [this] { step(); });
        poll_.start();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The window's native surface going away: the window is being re-created.
        if (event->type() == QEvent::PlatformSurface && watched == window_->windowHandle() &&
            static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed) {
            ++recreations_;
        }
        if (event->type() == QEvent::Paint && clicked_ && detailsOnTop() &&
            LoadingIndicator::sharedInstance().isShown()) {
            if (overlayMs_ < 0) {
                overlayMs_ = clock_.elapsed();
            }
            // The stand-in shown while the web plugin loads is not the details screen itself.
            if (screenMs_ < 0 && !tabs_->navigationStack(0)->topViewController()->inherits(
                                     "pelloran::PendingWebScreen")) {
                screenMs_ = clock_.elapsed();
            }
        }
        return false;
    }

private:
    bool detailsOnTop() const { return tabs_->navigationStack(0)->depth() > 1; }

    // What the display shows in the middle of the page's place, read back from the screen: a
    // square there all near white (the dark pages and the list are never white).
    bool lookedWhite() const {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen) {
            return false;
        }
        constexpr int kSide = 40;
        const QPoint middle =
            window_->mapToGlobal(QPoint(window_->width() / 2, window_->height() / 3));
        const QImage square =
            screen->grabWindow(0, middle.x() - kSide / 2, middle.y() - kSide / 2, kSide, kSide)
                .toImage();
        if (square.isNull()) {
            return false;
        }
        for (int y = 0; y < square.height(); ++y) {
            for (int x = 0; x < square.width(); ++x) {
                if (qGray(square.pixel(x, y)) < 200) {
                    return false;
                }
            }
        }
        return true;
    }

    void click(int row) {
        QListView* list = browse_->tableView();
        const QPoint at = list->visualRect(browse_->model()->index(row)).center();
        overlayMs_ = -1;
        screenMs_ = -1;
        clicked_ = true;
        recreations_ = 0;
        whiteSamples_ = 0;
        windowBefore_ = window_->windowHandle();
        winIdBefore_ = window_->internalWinId();
        clock_.start();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(list->viewport(), &e);
        }
    }

    void step() {
        if (!clicked_) {
            click(round_);
            return;
        }
        if (!web_.isLoaded() && !web_.errorString().isEmpty()) {
            // The click found no web plugin, so no details page will ever open.
            std::fprintf(stderr, "pelloran-ui-probe: no web plugin: %s\n",
                         qPrintable(web_.errorString()));
            poll_.stop();
            QCoreApplication::exit(1);
            return;
        }
        if (watchFlashes_ && lookedWhite()) {
            ++whiteSamples_;
        }
        ViewController* top = tabs_->navigationStack(0)->topViewController();
        if (!detailsOnTop() || top->property("loadsEnded").toInt() < 1) {
            return;
        }
        const char* which = round_ == 0 ? "first" : "later";
        say(QStringLiteral("%1-overlay %2").arg(which).arg(overlayMs_).toUtf8().constData());
        say(QStringLiteral("%1-screen %2").arg(which).arg(screenMs_).toUtf8().constData());
        say(QStringLiteral("%1-text %2").arg(which).arg(clock_.elapsed()).toUtf8().constData());
        const bool recreated = recreations_ > 0 || window_->windowHandle() != windowBefore_ ||
                               window_->internalWinId() != winIdBefore_;
        if (watchFlashes_) {
            say(QStringLiteral("%1-white-samples %2")
                    .arg(which)
                    .arg(whiteSamples_)
                    .toUtf8()
                    .constData());
        }
        say(QStringLiteral("%1-window-recreated %2")
                .arg(which)
                .arg(recreated ? 1 : 0)
                .toUtf8()
                .constData());
        clicked_ = false;
        poll_.stop();
        tabs_->navigationStack(0)->popViewController(false);
        if (++round_ == 2) {
            QCoreApplication::quit();
            return;
        }
        QTimer::singleShot(500, [this] { poll_.start(); });
    }

    TabBarController* tabs_;
    AllListViewController* browse_;
    WebScreenLoader& web_;
    QWidget* window_;
    QPointer<QWindow> windowBefore_;
    WId winIdBefore_ = 0;
    int recreations_ = 0;
    // With PELLORAN_PROBE_FLASH set, every poll also reads the screen back (under X, where the
    // web view draws through OpenGL), counting the samples that showed a white page.
    const bool watchFlashes_ = qEnvironmentVariableIsSet("PELLORAN_PROBE_FLASH");
    int whiteSamples_ = 0;
    QTimer poll_;
    QElapsedTimer clock_;
    bool clicked_ = false;
    qint64 overlayMs_ = -1;
    qint64 screenMs_ = -1;
    int round_ = 0;
};

int runDetailsClick(int argc, char* argv[]) {
    ApplicationHooks hooks;
    std::unique_ptr<DetailsClickWatch> watch;
    hooks.launched = [&](PelloranAppDelegate& delegate) {
        whenSignedIn(delegate, [&] {
            TabBarController* tabs = delegate.viewController()->tabBarController();
            auto* browse = dynamic_cast<AllListViewController*>(tabs->screen(0));
            if (!browse || browse->isBusy() || browse->model()->recordCount() < 2) {
                return true;
            }
            // Settled first: the click is the member's, not part of signing in.
            QTimer::singleShot(1000, [&watch, &delegate, tabs, browse] {
                watch = std::make_unique<DetailsClickWatch>(tabs, browse, delegate.webLoader());
            });
            return false;
        });
    };
    return runApplication(argc, argv, hooks);
}

// Signs in, then (with `push`) sends the first browse row and waits until it is under way,
// then closes the window.
int runClose(int argc, char* argv[], bool push) {
    ApplicationHooks hooks;
    hooks.launched = [push](PelloranAppDelegate& delegate) {
        auto pushed = std::make_shared<bool>(false);
        whenSignedIn(delegate, [&delegate, push, pushed] {
            TabBarController* tabs = delegate.viewController()->tabBarController();
            auto* browse = dynamic_cast<AllListViewController*>(tabs->screen(0));
            if (!browse || browse->isBusy() || browse->model()->recordCount() == 0) {
                return true;
            }
            if (push && !*pushed) {
                *pushed = true;
                browse->didTapDownloadButton(0);
            }
            // Settled (or, with a push, the push has reached the client that never answers).
            QTimer::singleShot(1000, [&delegate] {
                say("closing");
                delegate.window()->close();
            });
            return false;
        });
    };
    return runApplication(argc, argv, hooks);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: pelloran-ui-probe empty|login|sign-in|favorites|browse-ten|details|"
                     "details-click|close-idle|close-push [app options]\n");
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
    if (std::strcmp(mode, "favorites") == 0) {
        return runFavorites(argc, argv);
    }
    if (std::strcmp(mode, "browse-ten") == 0) {
        return runBrowseTen(argc, argv);
    }
    if (std::strcmp(mode, "details") == 0) {
        return runDetails(argc, argv);
    }
    if (std::strcmp(mode, "details-click") == 0) {
        return runDetailsClick(argc, argv);
    }
    if (std::strcmp(mode, "close-idle") == 0 || std::strcmp(mode, "close-push") == 0) {
        return runClose(argc, argv, std::strcmp(mode, "close-push") == 0);
    }
    std::fprintf(stderr, "pelloran-ui-probe: unknown mode %s\n", mode);
    return 2;
}
