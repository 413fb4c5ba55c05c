#include "remote/qbittorrent_push.h"

#include "net/http_request.h"
#include "remote/info_hash.h"
#include "remote/qbittorrent.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace pelloran {

namespace {

constexpr int kForbidden = 403;
constexpr int kConflict = 409;

PushOutcome refusedSignIn(SignInState state) {
    return state == SignInState::Banned ? PushOutcome::Banned : PushOutcome::Refused;
}

// Asks the client whether it holds the torrent: the answer to "Fails.".
PushOutcome heldOrRefused(QBittorrent& client, const NetContext& net) {
    const std::optional<InfoHashes> hashes = torrentInfoHashes(client.file());
    if (!hashes) {
        return PushOutcome::Refused;  // no torrent the client could hold
    }
    const QByteArrayList wanted{hashes->v1, hashes->v2};
    HttpRequest request(client.torrentsInfoUrl(wanted), net);
    client.prepare(request);
    request.request();
    return request.isResponseValid() && holdsTorrent(request.responseData(), wanted)
               ? PushOutcome::AlreadyThere
               : PushOutcome::Refused;
}

}  // namespace

bool holdsTorrent(const QByteArray& answer, const QByteArrayList& hashes) {
    const QJsonDocument doc = QJsonDocument::fromJson(answer);
    if (!doc.isArray()) {
        return false;
    }
    for (const QJsonValue& item : doc.array()) {
        const QJsonObject torrent = item.toObject();
        for (const char* field : {"hash", "infohash_v1"}) {
            const QByteArray value =
                torrent.value(QLatin1StringView(field)).toString().toLatin1().toLower();
            if (!value.isEmpty() && hashes.contains(value)) {
                return true;
            }
        }
    }
    return false;
}

PushOutcome pushToQBittorrent(QBittorrent& client, const NetContext& net) {
    client.setSessionId(net);
    if (client.signInState() != SignInState::Accepted) {
        return refusedSignIn(client.signInState());
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        HttpRequest upload(client.getUrl(), net);
        upload.setType(QStringLiteral("POST"));
        upload.setClient(&client);
        client.prepare(upload);
        upload.request();
        const int status = upload.statusCode();
        if (status == kForbidden && attempt == 0) {
            // The session ended between the sign-in and the upload: one fresh sign-in.
            client.setSessionId(net);
            if (client.signInState() != SignInState::Accepted) {
                return refusedSignIn(client.signInState());
            }
            continue;
        }
        if (status == kConflict) {
            return PushOutcome::AlreadyThere;
        }
        if (!upload.isResponseValid()) {
            return PushOutcome::Refused;
        }
        const QString answer = upload.result().value_or(QString()).trimmed();
        if (answer == QLatin1StringView("Fails.")) {
            return heldOrRefused(client, net);
        }
        return PushOutcome::Sent;
    }
    return PushOutcome::Refused;
}

}  // namespace pelloran
