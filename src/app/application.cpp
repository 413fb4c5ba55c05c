#include "app/application.h"

#include "app/pelloran_app_delegate.h"
#include "remote/services.h"
#include "store/app_paths.h"
#include "text/string_helpers.h"
#include "ui/image_library.h"
#include "ui/web_screen_loader.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <QLoggingCategory>
#include <QThreadPool>
#include <QTimer>

namespace pelloran {

namespace {

// Drawn from its SVG at whatever size the desktop asks for, when it asks.
QIcon applicationIcon() {
    return QIcon(ImageLibrary::resourcePath(QStringLiteral("pelloran-icon.png")));
}

}  // namespace

namespace {

// ICU's calendar data, which the list's first date needs, is loaded on a worker thread while the
// member looks at the login face, not on the UI thread when the first page arrives (libcurl is
// loaded by the sign-in's first exchange, on its worker). It starts once the first frame is
// painted: sooner, it would compete with that frame.
class CalendarDataAfterFirstFrame : public QObject {
public:
    CalendarDataAfterFirstFrame() { QCoreApplication::instance()->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !started_) {
            started_ = true;
            QCoreApplication::instance()->removeEventFilter(this);
            QTimer::singleShot(0, this, [] {
                QThreadPool::globalInstance()->start([] {
                    text::dateStringFromString(QStringLiteral("2000-01-01"),
                                               QStringLiteral("yyyy-MM-dd"),
                                               QStringLiteral("d MMM"));
                });
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool started_ = false;
};

}  // namespace

int runApplication(int argc, char* argv[], const ApplicationHooks& hooks) {
    // What the web engine needs from the environment is set now, before the application (or
    // anything else) starts a thread that reads it.
    prepareWebEngineEnvironment(dataDirectoryFromEnvironment());
    // No Qt::AA_ShareOpenGLContexts: with it the application makes an OpenGL context at start,
    // which on X11 loads the OpenGL drivers (about 60 MB and a quarter of a second) into every
    // run, though only the web screens need that context. Their plugin makes it when the first
    // web screen opens (src/web/web_session.cpp), which Qt WebEngine allows.
    QApplication app(argc, argv);
    // The web engine reports its OpenGL set-up (a screenful) at info level whenever it starts;
    // QT_LOGGING_RULES still turns it back on.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QApplication::setApplicationName(QStringLiteral("pelloran"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pelloran"));
    QApplication::setApplicationVersion(QStringLiteral(PELLORAN_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("pelloran"));
    QApplication::setWindowIcon(applicationIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Pelloran: the tracker's torrents as lists, sent to your own BitTorrent client.\n"
        "The site and the data folder are configured by PELLORAN_* environment variables."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption scale(
        QStringLiteral("scale"),
        QStringLiteral("Pixels per point of the phone layout (default: about 1.5 on a 1080p "
                       "screen)."),
        QStringLiteral("factor"));
    const QCommandLineOption height(
        QStringLiteral("height"),
        QStringLiteral("Window height in points (default: as tall as the screen allows, up to "
                       "568)."),
        QStringLiteral("points"));
    parser.addOptions({scale, height});
    parser.process(app);

    PelloranAppDelegate::Options options;
    if (parser.isSet(scale)) {
        bool ok = false;
        options.scale = parser.value(scale).toDouble(&ok);
        if (!ok || options.scale < 0.5 || options.scale > 8) {
            qCritical("pelloran: --scale takes a number from 0.5 to 8");
            return 2;
        }
    }
    if (parser.isSet(height)) {
        bool ok = false;
        options.heightPoints = parser.value(height).toInt(&ok);
        if (!ok || options.heightPoints < 400 || options.heightPoints > 4000) {
            qCritical("pelloran: --height takes a number of points from 400 to 4000");
            return 2;
        }
    }

    std::unique_ptr<Services> services = Services::fromEnvironment();
    // The login backdrop, drawn once, is read back at later starts.
    ImageLibrary::setKeptFolder(
        QDir(services->dataDirectory()).filePath(QStringLiteral("cache/images")));
    int status = 0;
    {
        PelloranAppDelegate delegate(*services, options);
        delegate.applicationDidFinishLaunching();
        const CalendarDataAfterFirstFrame calendarData;
        if (hooks.launched) {
            hooks.launched(delegate);
        }
        status = app.exec();
    }
    return status;
}

}  // namespace pelloran
