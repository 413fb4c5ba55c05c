#include "remote/deluge.h"

#include "net/http_request.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace pelloran {

QString Deluge::getUrl() const {
    return origin() + QStringLiteral("/json");
}

QByteArray Deluge::requestBody(const QString& method, const QJsonArray& params, int id) {
    const QJsonObject request{
        {QStringLiteral("method"), method},
        {QStringLiteral("params"), params},
        {QStringLiteral("id"), id},
    };
    return QJsonDocument(request).toJson(QJsonDocument::Compact);
}

DelugeAnswer Deluge::readAnswer(const QByteArray& body) {
    DelugeAnswer answer;
    const QJsonDocument doc = QJsonDocument::fromJson(body);
    if (!doc.isObject()) {
        return answer;
    }
    const QJsonObject object = doc.object();
    answer.answered = true;
    answer.result = object.value(QStringLiteral("result"));
    const QJsonValue error = object.value(QStringLiteral("error"));
    if (error.isObject()) {
        answer.errorCode = error.toObject().value(QStringLiteral("code")).toInt(-1);
        answer.errorMessage = error.toObject().value(QStringLiteral("message")).toString();
    }
    return answer;
}

DelugeAnswer Deluge::call(const QString& method, const QJsonArray& params, const NetContext& net) {
    HttpRequest request(getUrl(), net);
    request.setType(QStringLiteral("POST"));
    request.setPostData(QString::fromUtf8(requestBody(method, params, nextId_++)));
    // Exactly this value: with a charset parameter the web interface refuses the call.
    session_.prepare(request, {{QStringLiteral("Content-Type"), QStringLiteral("application/json")},
                               {QStringLiteral("Accept"), QStringLiteral("application/json")}});
    request.setTimeout(kRemoteTimeoutSeconds);
    // The password and the torrent go to this address only: a redirect is a refusal.
    request.setFollowRedirects(false);
    request.request();
    session_.takeCookies(request);
    DelugeAnswer answer;
    if (request.isResponseValid()) {
        answer = readAnswer(request.responseData());
    }
    answer.responded = request.urlResponse().has_value();
    return answer;
}

bool Deluge::connectToDaemon(const NetContext& net) {
    const DelugeAnswer connected = call(QStringLiteral("web.connected"), {}, net);
    if (connected.ok() && connected.result.toBool()) {
        return true;
    }
    const DelugeAnswer hosts = call(QStringLiteral("web.get_hosts"), {}, net);
    if (!hosts.ok()) {
        return false;
    }
    // Each host is [id, address, port, user]; the first that takes the connection serves.
    for (const auto& host : hosts.result.toArray()) {
        const QString id = host.toArray().at(0).toString();
        if (id.isEmpty()) {
            continue;
        }
        // A connected web interface answers with the daemon's method list; null means the
        // daemon did not answer, with no error.
        const DelugeAnswer connect = call(QStringLiteral("web.connect"), {id}, net);
        if (connect.ok() && connect.result.isArray()) {
            return true;
        }
    }
    return false;
}

void Deluge::setSessionId(const NetContext& net) {
    session_.clear();
    const DelugeAnswer login = call(QStringLiteral("auth.login"), {password()}, net);
    if (!login.answered) {
        signIn_ = SignInState::NoAnswer;
    } else if (!login.ok() || login.result != QJsonValue(true)) {
        signIn_ = SignInState::Refused;
    } else {
        signIn_ = connectToDaemon(net) ? SignInState::Accepted : SignInState::NoAnswer;
    }
    setSessionIdValue(session_.isEmpty()
                          ? std::nullopt
                          : std::optional<QString>(QString::fromLatin1(session_.cookieHeader())));
}

}  // namespace pelloran
