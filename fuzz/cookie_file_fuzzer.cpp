// The cookie store over any cookies file: start-up never fails, and what it saves it loads
// again.

#include "fuzz_support.h"
#include "net/cookie_store.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

namespace {

QList<QByteArray> described(const QList<pelloran::Cookie>& cookies) {
    QList<QByteArray> out;
    for (const pelloran::Cookie& c : cookies) {
        out.append((c.domain + u'\t' + (c.includeSubdomains ? u'1' : u'0') + u'\t' + c.path +
                    u'\t' + (c.secure ? u'1' : u'0') + u'\t' + QString::number(c.expires) + u'\t' +
                    c.name + u'\t' + c.value + u'\t' + (c.httpOnly ? u'1' : u'0'))
                       .toUtf8());
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelloran;
    static QTemporaryDir home;
    QDir(home.path()).removeRecursively();
    QDir().mkpath(home.path());
    const QString first = home.filePath(QStringLiteral("cookies.txt"));
    {
        QFile file(first);
        fuzz::check(file.open(QIODevice::WriteOnly), "the test file is written");
        file.write(fuzz::bytesOf(data, size));
    }
    CookieStore store(first);
    const QList<Cookie> loaded = store.cookies();
    if (loaded.isEmpty()) {
        return 0;
    }
    const QString second = home.filePath(QStringLiteral("again/cookies.txt"));
    QDir().mkpath(home.filePath(QStringLiteral("again")));
    QFile::copy(first, second);  // replaced by the save below
    QFile::remove(first);
    fuzz::check(store.save(), "the store saves");
    CookieStore again(first);
    fuzz::check(described(again.cookies()) == described(loaded), "saved cookies load again");
    return 0;
}
