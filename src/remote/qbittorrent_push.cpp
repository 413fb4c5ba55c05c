#include "remote/qbittorrent_push.h"

#include "net/cancellation.h"
#include "net/deadline.h"
#include "net/http_request.h"
#include "remote/info_hash.h"
#include "remote/qbittorrent.h"
#include "remote/qbittorrent_options.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace pelloran {

namespace {

constexpr int kForbidden = 403;
constexpr int kConflict = 409;

PushOutcome refusedSignIn(SignInState state) {
    switch (state) {
        case SignInState::Banned:
            return PushOutcome::Banned;
        case SignInState::NoAnswer:
            return PushOutcome::Unreachable;
        default:
            return PushOutcome::SignInRefused;
    }
}

bool isHeldNow(QBittorrent& client, const QByteArrayList& hashes, const NetContext& net) {
    HttpRequest request(client.torrentsInfoUrl(hashes), net);
    client.prepare(request);
    request.request();
    return request.isResponseValid() && holdsTorrent(request.responseData(), hashes);
}

// Asks the client whether it holds the torrent: the answer to "Fails.". A torrent another push
// is adding right now shows up a moment later, so a "no" is asked again a few times.
PushOutcome heldOrRefused(QBittorrent& client, const NetContext& net) {
    const std::optional<InfoHashes> hashes = torrentInfoHashes(client.file());
    if (!hashes) {
        return PushOutcome::Refused;  // no torrent the client could hold
    }
    const QByteArrayList wanted{hashes->v1, hashes->v2};
    if (isHeldNow(client, wanted, net)) {
        return PushOutcome::AlreadyThere;
    }
    for (const std::chrono::milliseconds pause : kHeldLookupPauses) {
        // A program that closes meanwhile ends the pause at once.
        if (!pauseWithin(pause, net.deadline, net.cancellation)) {
            break;
        }
        if (isHeldNow(client, wanted, net)) {
            return PushOutcome::AlreadyThere;
        }
    }
    return PushOutcome::Refused;
}

qint64 countIn(const QJsonObject& answer, const char* field) {
    return answer.value(QLatin1StringView(field)).toInteger(0);
}

}  // namespace

QBittorrentAddAnswer readAddAnswer(int status, const QByteArray& body) {
    if (status == kForbidden) {
        return QBittorrentAddAnswer::SessionEnded;
    }
    if (status == kConflict) {
        return QBittorrentAddAnswer::Held;
    }
    if (status < 200 || status >= 300) {
        return QBittorrentAddAnswer::Refused;
    }
    const QByteArray text = body.trimmed();
    if (text == "Ok.") {
        return QBittorrentAddAnswer::Added;
    }
    if (text == "Fails.") {
        return QBittorrentAddAnswer::Ambiguous;
    }
    const QJsonDocument doc = QJsonDocument::fromJson(text);
    if (doc.isObject()) {
        const QJsonObject counts = doc.object();
        if (countIn(counts, "success_count") > 0 || countIn(counts, "pending_count") > 0 ||
            !counts.value(QLatin1StringView("added_torrent_ids")).toArray().isEmpty()) {
            return QBittorrentAddAnswer::Added;
        }
        if (countIn(counts, "failure_count") > 0) {
            return QBittorrentAddAnswer::Ambiguous;
        }
    }
    return QBittorrentAddAnswer::Refused;
}

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

PushReply pushToQBittorrent(QBittorrent& client, const NetContext& net) {
    client.setSessionId(net);
    if (client.signInState() != SignInState::Accepted) {
        return refusedSignIn(client.signInState());
    }
    if (!client.pushOptions().isEmpty()) {
        if (const std::optional<QString> refusal = prepareQBittorrentOptions(client, net)) {
            return {PushOutcome::Refused, *refusal};
        }
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        HttpRequest upload(client.getUrl(), net);
        upload.setType(QStringLiteral("POST"));
        upload.setClient(&client);
        client.prepare(upload);
        upload.setFollowRedirects(false);
        upload.request();
        if (!upload.urlResponse()) {
            return PushOutcome::Unreachable;
        }
        switch (readAddAnswer(upload.statusCode(), upload.responseData())) {
            case QBittorrentAddAnswer::Added:
                return PushOutcome::Sent;
            case QBittorrentAddAnswer::Held:
                return PushOutcome::AlreadyThere;
            case QBittorrentAddAnswer::Ambiguous:
                return heldOrRefused(client, net);
            case QBittorrentAddAnswer::Refused:
                return PushOutcome::Refused;
            case QBittorrentAddAnswer::SessionEnded:
                break;
        }
        if (attempt == 0) {
            // The session ended between the sign-in and the upload: one fresh sign-in.
            client.setSessionId(net);
            if (client.signInState() != SignInState::Accepted) {
                return refusedSignIn(client.signInState());
            }
        }
    }
    return PushOutcome::Refused;
}

}  // namespace pelloran
