#include "remote/bit_client.h"

namespace pelloran {

QString multipartBoundary() {
    return QString(kMultipartBoundary);
}

QByteArray BitClient::getData() {
    // The header starts with the boundary itself: the "--" of its delimiter line ends prefixData.
    const QString header =
        multipartBoundary() + QStringLiteral("\r\nContent-Disposition: form-data; name=\"") +
        name_ + QStringLiteral("\"; filename=\"") + filename_ +
        QStringLiteral("\"\r\nContent-Type: ") + fileContentType_ + QStringLiteral("\r\n\r\n");
    QByteArray body = prefixData_.toUtf8();
    body += header.toUtf8();
    body += file_;
    body += postfixData_.toUtf8();
    return body;
}

QString BitClient::origin() const {
    return QStringLiteral("http://") + address_ + QLatin1Char(':') + port_;
}

QString BitClient::originWithCredentials() const {
    if (username_.isEmpty()) {
        return origin();
    }
    return QStringLiteral("http://") + username_ + QLatin1Char(':') + password_ + QLatin1Char('@') +
           address_ + QLatin1Char(':') + port_;
}

QString BitClient::getUrl() const {
    return origin() + QLatin1Char('/');
}

QString BitClient::webPath() const {
    return QStringLiteral("/");
}

QString BitClient::getWebUrl() const {
    return (usesHttpAuthentication() ? originWithCredentials() : origin()) + webPath();
}

QString BitClient::webUrlWithoutCredentials() const {
    return origin() + webPath();
}

void BitClient::setSessionId(const NetContext&) {}

}  // namespace pelloran
