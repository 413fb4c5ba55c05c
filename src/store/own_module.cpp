#include "store/own_module.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QMutex>

namespace pelloran {

namespace {

QStringList searchDirs() {
    QStringList dirs;
    // The program's own folder, read as Qt reads it but without needing the application object:
    // a module may be loaded ahead before it exists.
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (!program.isEmpty()) {
        const QDir appDir = QFileInfo(program).dir();
        dirs = {appDir.path(), QDir::cleanPath(appDir.filePath(QStringLiteral("../lib/pelloran")))};
    }
#ifdef PELLORAN_MODULE_DIR
    dirs.append(QStringLiteral(PELLORAN_MODULE_DIR));
#endif
    dirs.removeDuplicates();
    return dirs;
}

}  // namespace

QFunctionPointer ownModuleFunction(const QString& name, const char* symbol, QString* error,
                                   QLibrary::LoadHints hints) {
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    const QString fileName = name + QStringLiteral(".so");
    QString why = QStringLiteral("the module %1 was not found").arg(fileName);
    for (const QString& dir : searchDirs()) {
        const QString path = QDir(dir).filePath(fileName);
        if (!QFileInfo::exists(path)) {
            continue;
        }
        QLibrary library(path);  // QLibrary keeps one handle per file; it is never unloaded
        library.setLoadHints(hints);
        if (const QFunctionPointer f = library.resolve(symbol)) {
            return f;
        }
        why =
            QStringLiteral("the module %1 could not be used: %2").arg(path, library.errorString());
        break;
    }
    if (error) {
        *error = why;
    }
    return nullptr;
}

}  // namespace pelloran
