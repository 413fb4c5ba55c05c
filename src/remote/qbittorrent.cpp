#include "remote/qbittorrent.h"

#include <QUrl>

namespace pelloran {

namespace {

constexpr int kForbidden = 403;

QString formValue(const QString& value) {
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

}  // namespace

QByteArray QBittorrent::getData() {
    setName(QStringLiteral("torrents"));
    setFileContentType(QStringLiteral("application/x-bittorrent"));
    setPrefixData(QStringLiteral("--"));
    setPostfixData(QStringLiteral("\r\n--") + multipartBoundary() + QStringLiteral("--\r\n"));
    return BitClient::getData();
}

QString QBittorrent::getUrl() const {
    return origin() + QStringLiteral("/api/v2/torrents/add");
}

QString QBittorrent::referer() const {
    return origin() + QLatin1Char('/');
}

void QBittorrent::prepare(HttpRequest& request) const {
    session_.prepare(request, {{QStringLiteral("Referer"), referer()}});
    request.setTimeout(kRemoteTimeoutSeconds);
}

QString QBittorrent::torrentsInfoUrl(const QByteArrayList& hashes) const {
    return origin() + QStringLiteral("/api/v2/torrents/info?hashes=") +
           QString::fromLatin1(hashes.join("%7C"));
}

void QBittorrent::setSessionId(const NetContext& net) {
    session_.clear();
    HttpRequest request(origin() + QStringLiteral("/api/v2/auth/login"), net);
    request.setType(QStringLiteral("POST"));
    request.setPostData(QStringLiteral("username=") + formValue(username()) +
                        QStringLiteral("&password=") + formValue(password()));
    prepare(request);
    request.request();
    session_.takeCookies(request);
    const QString answer = request.result().value_or(QString()).trimmed();
    if (!request.urlResponse()) {
        signIn_ = SignInState::NoAnswer;
    } else if (request.isResponseValid() && answer == QLatin1StringView("Ok.")) {
        signIn_ = SignInState::Accepted;
    } else if (request.statusCode() == kForbidden &&
               answer.contains(QLatin1StringView("banned"), Qt::CaseInsensitive)) {
        signIn_ = SignInState::Banned;
    } else {
        signIn_ = SignInState::Refused;
    }
    // Only a session that signed in is worth keeping.
    if (signIn_ != SignInState::Accepted) {
        session_.clear();
    }
    setSessionIdValue(session_.isEmpty()
                          ? std::nullopt
                          : std::optional<QString>(QString::fromLatin1(session_.cookieHeader())));
}

}  // namespace pelloran
