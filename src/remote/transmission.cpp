#include "remote/transmission.h"

#include "net/http_request.h"

namespace pelloran {

QByteArray Transmission::getData() {
    const QString b = multipartBoundary();
    setName(QStringLiteral("torrent_files[]"));
    setFileContentType(QStringLiteral("application/x-bittorrent"));
    setPrefixData(QStringLiteral("--"));
    // A handshake that brought no id leaves the field empty; the client then refuses the upload.
    setPostfixData(QStringLiteral("\r\n--") + b +
                   QStringLiteral("\r\nContent-Disposition: form-data; "
                                  "name=\"X-Transmission-Session-Id\"\r\n\r\n") +
                   sessionId().value_or(QString()) + QStringLiteral("\r\n--") + b +
                   QStringLiteral("--\r\n"));
    return BitClient::getData();
}

QString Transmission::getUrl() const {
    return origin() + QStringLiteral("/transmission/upload?paused=false");
}

QString Transmission::webPath() const {
    return QStringLiteral("/transmission/web/");
}

QString Transmission::rpcUrl() const {
    return origin() + QStringLiteral("/transmission/rpc");
}

void Transmission::setSessionId(const NetContext& net) {
    HttpRequest request(rpcUrl(), net);
    request.setExtraHeaders({
        {QStringLiteral("X-Requested-With"), QStringLiteral("XMLHttpRequest")},
        {QStringLiteral("Pragma"), QStringLiteral("no-cache")},
        {QStringLiteral("Cache-Control"), QStringLiteral("no-cache")},
    });
    request.setUsername(username());
    request.setPassword(password());
    request.setTimeout(kRemoteTimeoutSeconds);
    request.request();
    // The answer is usually 409 (or 401): its status says nothing, only the header counts.
    const std::optional<QByteArray> id = headerValue(
        request.headers(), QByteArray(kSessionIdHeader.data(), kSessionIdHeader.size()));
    setSessionIdValue(id ? std::optional<QString>(QString::fromLatin1(*id)) : std::nullopt);
}

}  // namespace pelloran
