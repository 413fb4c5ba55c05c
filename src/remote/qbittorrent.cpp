#include "remote/qbittorrent.h"

#include <QUrl>

namespace pelloran {

namespace {

constexpr int kForbidden = 403;
constexpr int kNoContent = 204;

QString formValue(const QString& value) {
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

}  // namespace

QByteArray QBittorrent::getData() {
    const QString b = multipartBoundary();
    const auto field = [&b](const QString& name, const QString& value) {
        return QStringLiteral("\r\n--") + b +
               QStringLiteral("\r\nContent-Disposition: form-data; name=\"") + name +
               QStringLiteral("\"\r\n\r\n") + value;
    };
    QString fields;
    const PushOptions& options = pushOptions();
    if (options.category) {
        fields += field(QStringLiteral("category"), *options.category);
    }
    if (options.tags) {
        fields += field(QStringLiteral("tags"), options.tags->join(QLatin1Char(',')));
    }
    if (options.asksSavePath()) {
        // With automatic management on (the client's own choice), a category's folder would
        // win over the path asked for.
        fields += field(QStringLiteral("savepath"), *options.savePath);
        fields += field(QStringLiteral("autoTMM"), QStringLiteral("false"));
    }
    if (options.paused) {
        fields +=
            field(startField_, *options.paused ? QStringLiteral("true") : QStringLiteral("false"));
    }
    setName(QStringLiteral("torrents"));
    setFileContentType(QStringLiteral("application/x-bittorrent"));
    setPrefixData(QStringLiteral("--"));
    setPostfixData(fields + QStringLiteral("\r\n--") + b + QStringLiteral("--\r\n"));
    return BitClient::getData();
}

QString QBittorrent::apiUrl(const QString& path) const {
    return origin() + QStringLiteral("/api/v2/") + path;
}

QString QBittorrent::getUrl() const {
    return apiUrl(QStringLiteral("torrents/add"));
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
    HttpRequest request(apiUrl(QStringLiteral("auth/login")), net);
    request.setType(QStringLiteral("POST"));
    request.setPostData(QStringLiteral("username=") + formValue(username()) +
                        QStringLiteral("&password=") + formValue(password()));
    prepare(request);
    request.request();
    session_.takeCookies(request);
    const QString answer = request.result().value_or(QString()).trimmed();
    if (!request.urlResponse()) {
        signIn_ = SignInState::NoAnswer;
    } else if ((request.isResponseValid() && answer == QLatin1StringView("Ok.")) ||
               (request.statusCode() == kNoContent && answer.isEmpty())) {
        // 5.2 answers every request that has nothing to say with 204, a sign-in included.
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
