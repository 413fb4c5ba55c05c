#include "remote/transmission_rpc.h"

#include "net/http_request.h"
#include "remote/client_words.h"
#include "remote/transmission.h"
#include "text/string_helpers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace pelloran {

namespace {

constexpr int kConflictStatus = 409;  // the answer that hands out a fresh session id
constexpr int kUnauthorized = 401;

// One RPC exchange: the answer of status 200..299, or how it failed.
struct RpcAnswer {
    std::optional<PushOutcome> failure;
    QByteArray body;
};

RpcAnswer callRpc(Transmission& client, const QByteArray& request, const NetContext& net) {
    const QString body = QString::fromLatin1(request);
    const QByteArray idHeader(Transmission::kSessionIdHeader.data(),
                              Transmission::kSessionIdHeader.size());
    for (int attempt = 0; attempt < 2; ++attempt) {
        HttpRequest exchange(client.rpcUrl(), net);
        exchange.setType(QStringLiteral("POST"));
        exchange.setPostData(body);
        QMap<QString, QString> headers{
            {QStringLiteral("Content-Type"), QStringLiteral("application/json")}};
        if (client.sessionId()) {
            headers.insert(QString(Transmission::kSessionIdHeader), *client.sessionId());
        }
        exchange.setExtraHeaders(headers);
        exchange.setUsername(client.username());
        exchange.setPassword(client.password());
        exchange.setTimeout(kRemoteTimeoutSeconds);
        exchange.setFollowRedirects(false);
        exchange.request();
        if (!exchange.urlResponse()) {
            return {PushOutcome::Unreachable, {}};
        }
        if (exchange.statusCode() == kUnauthorized) {
            return {PushOutcome::SignInRefused, {}};
        }
        if (exchange.statusCode() == kConflictStatus) {
            const std::optional<QByteArray> id = headerValue(exchange.headers(), idHeader);
            if (!id) {
                return {PushOutcome::Refused, {}};  // a 409 without an id can't be answered
            }
            client.setSessionIdValue(QString::fromLatin1(*id));
            continue;
        }
        if (!exchange.isResponseValid()) {
            return {PushOutcome::Refused, {}};
        }
        return {std::nullopt, exchange.responseData()};
    }
    return {PushOutcome::Refused, {}};
}

// Labels are dropped without a word by a daemon that predates them: ask it what it speaks.
std::optional<PushReply> refuseLabelsIfOld(Transmission& client, const NetContext& net) {
    const RpcAnswer session =
        callRpc(client, QByteArrayLiteral(R"({"method":"session-get"})"), net);
    if (session.failure) {
        return PushReply(*session.failure);
    }
    const QJsonObject arguments = QJsonDocument::fromJson(session.body)
                                      .object()
                                      .value(QStringLiteral("arguments"))
                                      .toObject();
    const int rpcVersion = arguments.value(QStringLiteral("rpc-version")).toInt(0);
    if (rpcVersion >= Transmission::kLabelsSinceRpcVersion) {
        return std::nullopt;
    }
    const QString version =
        arguments.value(QStringLiteral("version")).toString().section(QLatin1Char(' '), 0, 0);
    return PushReply(
        PushOutcome::Refused,
        QStringLiteral("This Transmission%1 has no labels: labels came with Transmission 4.")
            .arg(version.isEmpty() ? QString()
                                   : QStringLiteral(" (%1)").arg(clientWords(version))));
}

}  // namespace

QByteArray torrentAddRequest(const QByteArray& torrentFile, const PushOptions& options) {
    QJsonObject arguments{
        {QStringLiteral("metainfo"), text::base64Encoding(torrentFile)},
        {QStringLiteral("paused"), options.paused.value_or(false)},
    };
    if (options.asksSavePath()) {
        arguments.insert(QStringLiteral("download-dir"), *options.savePath);
    }
    if (options.asksTags()) {
        arguments.insert(QStringLiteral("labels"), QJsonArray::fromStringList(*options.tags));
    }
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

PushReply torrentAddOutcome(const QByteArray& answer) {
    const QJsonObject object = QJsonDocument::fromJson(answer).object();
    if (!isRpcSuccess(answer)) {
        const QString result = clientWords(object.value(QStringLiteral("result")).toString());
        return {PushOutcome::Refused,
                result.isEmpty()
                    ? QString()
                    : QStringLiteral("Transmission refused the torrent: %1").arg(result)};
    }
    const QJsonObject arguments = object.value(QStringLiteral("arguments")).toObject();
    if (arguments.value(QStringLiteral("torrent-added")).isObject()) {
        return PushOutcome::Sent;
    }
    if (arguments.value(QStringLiteral("torrent-duplicate")).isObject()) {
        return PushOutcome::AlreadyThere;
    }
    return PushOutcome::Refused;
}

PushReply addTorrentByRpc(Transmission& client, const NetContext& net) {
    const PushOptions& options = client.pushOptions();
    if (options.asksTags()) {
        if (const std::optional<PushReply> refused = refuseLabelsIfOld(client, net)) {
            return *refused;
        }
    }
    const RpcAnswer added = callRpc(client, torrentAddRequest(client.file(), options), net);
    if (added.failure) {
        return *added.failure;
    }
    PushReply result = torrentAddOutcome(added.body);
    if (options.isEmpty()) {
        result.reason.clear();  // a push without options keeps the alert it always had
    }
    return result;
}

}  // namespace pelloran
