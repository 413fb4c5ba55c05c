#pragma once
// A temporary folder standing in for PELLORAN_HOME: settings and cookie files of one test.

#include <QString>
#include <QTemporaryDir>

namespace pelloran::test {

class TempHome {
public:
    TempHome() = default;
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
};

}  // namespace pelloran::test
