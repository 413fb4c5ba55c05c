#pragma once
// Where the settings and cookie files live. Read once at start-up by the front ends.

#include <QProcessEnvironment>
#include <QString>

namespace pelloran {

// PELLORAN_HOME when set and not empty; otherwise the user's data folder + "/Pelloran".
QString dataDirectoryFromEnvironment(
    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

QString cookieFilePath(const QString& dataDirectory);  // dataDirectory + "/cookies.txt"

}  // namespace pelloran
