#include "remote/transmission_rpc.h"

#include "net/http_request.h"
#include "remote/transmission.h"
#include "text/string_helpers.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace pelloran {

namespace {

constexpr int kConflictStatus = 409;  // the answer that hands out a fresh session id
constexpr int kUnauthorized = 401;

}  // namespace

QByteArray torrentAddRequest(const QByteArray& torrentFile) {
    const QJsonObject arguments{
        {QStringLiteral("metainfo"), text::base64Encoding(torrentFile)},
        {QStringLiteral("paused"), false},
    };
    const QJsonObject request{
        {QStringLiteral("method"), QStringLiteral("torrent-add")},
        {QStringLiteral("arguments"), arguments},
    };
    return QJsonDocument(request).toJson(QJsonDocument::Compact);
}

bool isRpcSuccess(const QByteArray& answer) {
    const QJsonDocument doc = QJsonDocument::fromJson(answer);
    return doc.isObject() &&
           doc.object().value(QStringLiteral("result")).toString() == QLatin1StringView("success");
}

PushOutcome torrentAddOutcome(const QByteArray& answer) {
    if (!isRpcSuccess(answer)) {
        return PushOutcome::Refused;
    }
    const QJsonObject arguments =
        QJsonDocument::fromJson(answer).object().value(QStringLiteral("arguments")).toObject();
    if (arguments.value(QStringLiteral("torrent-added")).isObject()) {
        return PushOutcome::Sent;
    }
    if (arguments.value(QStringLiteral("torrent-duplicate")).isObject()) {
        return PushOutcome::AlreadyThere;
    }
    return PushOutcome::Refused;
}

PushOutcome addTorrentByRpc(Transmission& client, const NetContext& net) {
    const QString body = QString::fromLatin1(torrentAddRequest(client.file()));
    const QByteArray idHeader(Transmission::kSessionIdHeader.data(),
                              Transmission::kSessionIdHeader.size());
    for (int attempt = 0; attempt < 2; ++attempt) {
        HttpRequest request(client.rpcUrl(), net);
        request.setType(QStringLiteral("POST"));
        request.setPostData(body);
        QMap<QString, QString> headers{
            {QStringLiteral("Content-Type"), QStringLiteral("application/json")}};
        if (client.sessionId()) {
            headers.insert(QString(Transmission::kSessionIdHeader), *client.sessionId());
        }
        request.setExtraHeaders(headers);
        request.setUsername(client.username());
        request.setPassword(client.password());
        request.setTimeout(kRemoteTimeoutSeconds);
        request.setFollowRedirects(false);
        request.request();
        if (!request.urlResponse()) {
            return PushOutcome::Unreachable;
        }
        if (request.statusCode() == kUnauthorized) {
            return PushOutcome::SignInRefused;
        }
        if (request.statusCode() == kConflictStatus) {
            const std::optional<QByteArray> id = headerValue(request.headers(), idHeader);
            if (!id) {
                return PushOutcome::Refused;  // a 409 without an id can't be answered
            }
            client.setSessionIdValue(QString::fromLatin1(*id));
            continue;
        }
        return request.isResponseValid() ? torrentAddOutcome(request.responseData())
                                         : PushOutcome::Refused;
    }
    return PushOutcome::Refused;
}

}  // namespace pelloran
