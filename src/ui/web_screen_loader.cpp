#include "ui/web_screen_loader.h"

#include "ui/web_screen_factory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace pelloran {

WebScreenLoader::WebScreenLoader(const QStringList& searchDirs) : searchDirs_(searchDirs) {}

QStringList WebScreenLoader::defaultSearchDirs() {
    const QDir appDir(QCoreApplication::applicationDirPath());
    // Installed: /usr/bin/pelloran finds /usr/lib/pelloran/pelloran_web.so.
    QStringList dirs{appDir.path(),
                     QDir::cleanPath(appDir.filePath(QStringLiteral("../lib/pelloran")))};
#ifdef PELLORAN_WEB_PLUGIN_DIR
    dirs.append(QStringLiteral(PELLORAN_WEB_PLUGIN_DIR));
#endif
    dirs.removeDuplicates();
    return dirs;
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
            QObject* root = loader_.instance();
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
