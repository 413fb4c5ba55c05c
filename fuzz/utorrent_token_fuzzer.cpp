// The uTorrent token page, read as the handshake reads it, and the upload address built from
// it: whatever the page holds, the address carries one add-file action and the token intact.

#include "fuzz_support.h"
#include "remote/utorrent.h"

#include <QUrl>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pelloran::fuzz::boundRegexWork();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelloran;
    const QString page = fuzz::textOf(data, size);
    // The single-match request: group 1 when the page matches, otherwise the whole page.
    const QStringList match =
        text::captureComponentsMatchedByRegex(page, QString(Utorrent::kTokenPattern));
    const QString token = match.size() == 2 ? match[1] : page;

    Utorrent client;
    client.setAddress(QStringLiteral("127.0.0.1"));
    client.setPort(QStringLiteral("8080"));
    client.setSessionIdValue(token);
    const QString url = client.getUrl();
    const QString prefix = QStringLiteral("http://127.0.0.1:8080/gui/?");
    fuzz::check(url.startsWith(prefix) && !url.contains(QLatin1Char('#')),
                "the address has one query and no fragment");
    const QStringList fields = url.mid(prefix.size()).split(QLatin1Char('&'));
    fuzz::check(fields.size() == 2, "two query fields");
    fuzz::check(fields[1] == QLatin1String("action=add-file"), "one add-file action");
    fuzz::check(fields[0].startsWith(QLatin1String("token=")), "the token first");
    fuzz::check(QByteArray::fromPercentEncoding(fields[0].mid(6).toLatin1()) == token.toUtf8(),
                "the token arrives intact");
    return 0;
}
