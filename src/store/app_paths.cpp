#include "store/app_paths.h"

#include <QDir>
#include <QStandardPaths>

namespace pelloran {

QString dataDirectoryFromEnvironment(const QProcessEnvironment& env) {
    const QString home = env.value(QStringLiteral("PELLORAN_HOME"));
    if (!home.isEmpty()) {
        return QDir(home).absolutePath();
    }
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Pelloran"));
}

QString cookieFilePath(const QString& dataDirectory) {
    return QDir(dataDirectory).filePath(QStringLiteral("cookies.txt"));
}

}  // namespace pelloran
