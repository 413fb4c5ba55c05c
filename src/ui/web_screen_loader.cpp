#include "ui/web_screen_loader.h"

#include "ui/web_screen_factory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include <unistd.h>

namespace pelloran {

namespace {

// Qt WebEngine, started by the plugin after the application exists, warns that it should have
// been set up before (Qt::AA_ShareOpenGLContexts); the plugin does the equivalent itself when
// it starts. Those two warnings are dropped while the plugin loads; everything else passes.
QtMessageHandler previousHandler = nullptr;

void quietEngineStart(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg &&
        (text.contains(QLatin1String("Qt WebEngine seems to be initialized from a plugin")) ||
         text.contains(QLatin1String("AA_ShareOpenGLContexts")))) {
        return;
    }
    if (previousHandler) {
        previousHandler(type, context, text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
}

class QuietEngineStart {
public:
    QuietEngineStart() { previousHandler = qInstallMessageHandler(quietEngineStart); }
    ~QuietEngineStart() { qInstallMessageHandler(previousHandler); }
    QuietEngineStart(const QuietEngineStart&) = delete;
    QuietEngineStart& operator=(const QuietEngineStart&) = delete;
};

}  // namespace

void keepDriverCachesIn(const QString& dataDirectory) {
    if (dataDirectory.isEmpty() || qEnvironmentVariableIsSet("MESA_SHADER_CACHE_DIR") ||
        qEnvironmentVariableIsSet("MESA_SHADER_CACHE_DISABLE")) {
        return;
    }
    const QString cache = QDir(dataDirectory).filePath(QStringLiteral("cache/mesa"));
    // Mesa doesn't create the folder itself: without it the cache is just switched off.
    if (!QDir().mkpath(cache)) {
        return;
    }
    QFile::setPermissions(cache,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("MESA_SHADER_CACHE_DIR", QFile::encodeName(cache));
}

void allowEngineAsRoot() {
    if (::geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
        return;
    }
    // Chromium's sandbox refuses to start for root, and the engine's helper process then takes
    // the whole app down at the first web page. Run as root, the pages go without it.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fprintf(stderr,
                 "pelloran: running as root, so web pages are shown without Chromium's "
                 "sandbox\n");
}

void prepareWebEngineEnvironment(const QString& dataDirectory) {
    keepDriverCachesIn(dataDirectory);
    allowEngineAsRoot();
}

WebScreenLoader::WebScreenLoader(const QStringList& searchDirs) : searchDirs_(searchDirs) {}

QStringList WebScreenLoader::defaultSearchDirs() {
    const QDir appDir(QCoreApplication::applicationDirPath());
    // The build tree keeps the plugin beside the program; installed, /usr/bin/pelloran finds
    // /usr/lib/pelloran/pelloran_web.so. Only folders relative to the program: an installed
    // app never looks into the tree it was built in.
    QStringList dirs{appDir.path(),
                     QDir::cleanPath(appDir.filePath(QStringLiteral("../lib/pelloran")))};
    dirs.removeDuplicates();
    return dirs;
}

void WebScreenLoader::useFactory(WebScreenFactory* factory) {
    tried_ = true;
    factory_ = factory;
    error_.clear();
}

WebScreenFactory* WebScreenLoader::factory() {
    if (tried_) {
        return factory_;
    }
    tried_ = true;
    const QString base = QString::fromLatin1(kPluginBaseName);
    for (const QString& dir : searchDirs_) {
        for (const QString& name :
             {base + QStringLiteral(".so"), QStringLiteral("lib") + base + QStringLiteral(".so")}) {
            const QString path = QDir(dir).filePath(name);
            if (!QFileInfo::exists(path)) {
                continue;
            }
            loader_.setFileName(path);
            QObject* root = nullptr;
            {
                QuietEngineStart quiet;
                root = loader_.instance();
            }
            factory_ = qobject_cast<WebScreenFactory*>(root);
            if (factory_) {
                error_.clear();
                return factory_;
            }
            error_ = root ? QStringLiteral("%1 is not a web screen plugin").arg(path)
                          : loader_.errorString();
        }
    }
    if (error_.isEmpty()) {
        error_ =
            QStringLiteral("no %1 plugin in %2").arg(base, searchDirs_.join(QLatin1String(", ")));
    }
    return nullptr;
}

}  // namespace pelloran
