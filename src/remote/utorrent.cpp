#include "remote/utorrent.h"

#include "net/http_request.h"

#include <QUrl>

namespace pelloran {

QByteArray Utorrent::getData() {
    setName(QStringLiteral("torrent_file"));
    setFileContentType(QStringLiteral("application/x-bittorrent"));
    setPrefixData(QStringLiteral("--"));
    setPostfixData(QStringLiteral("\r\n--") + multipartBoundary() + QStringLiteral("--\r\n"));
    return BitClient::getData();
}

QString Utorrent::getUrl() const {
    // Escaped, so that whatever the token page held stays the token's value: it can't add
    // actions ("&action=remove") or cut the add-file action off ("#").
    return origin() + QStringLiteral("/gui/?token=") +
           QString::fromLatin1(QUrl::toPercentEncoding(sessionId().value_or(QString()))) +
           QStringLiteral("&action=add-file");
}

QString Utorrent::webPath() const {
    return QStringLiteral("/gui/");
}

void Utorrent::setSessionId(const NetContext& net) {
    HttpRequestRegEx request(origin() + QStringLiteral("/gui/token.html"), QString(kTokenPattern),
                             net);
    request.setExtraHeaders({
        {QStringLiteral("X-Requested-With"), QStringLiteral("XMLHttpRequest")},
        {QStringLiteral("X-Request"), QStringLiteral("JSON")},
    });
    request.setUsername(username());
    request.setPassword(password());
    request.setTimeout(kRemoteTimeoutSeconds);
    request.request();
    setSessionIdValue(request.urlResponse() ? request.result() : std::nullopt);
}

}  // namespace pelloran
