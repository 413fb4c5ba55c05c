#pragma once
// The permission bits of a file (e.g. 0600), or -1 when it can't be read. A wider `mask` (07777)
// includes the sticky and set-id bits.

#include <QFile>
#include <QString>

#include <sys/stat.h>

namespace pelloran::test {

inline int fileMode(const QString& path, int mask = 0777) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        return -1;
    }
    return static_cast<int>(st.st_mode) & mask;
}

}  // namespace pelloran::test
