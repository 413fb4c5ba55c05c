#include "remote/deluge_push.h"

#include <QJsonObject>
#include "remote/deluge.h"
#include "text/string_helpers.h"

namespace pelloran {

namespace {

PushOutcome refusedSignIn(SignInState state) {
    return state == SignInState::NoAnswer ? PushOutcome::Unreachable : PushOutcome::SignInRefused;
}

}  // namespace

PushOutcome addTorrentOutcome(const DelugeAnswer& answer) {
    if (answer.ok() && answer.result.isString() && !answer.result.toString().isEmpty()) {
        return PushOutcome::Sent;  // the torrent id the daemon gave it
    }
    if (answer.errorCode == Deluge::kServerError &&
        answer.errorMessage.contains(QLatin1StringView("already in session"),
                                     Qt::CaseInsensitive)) {
        return PushOutcome::AlreadyThere;
    }
    return PushOutcome::Refused;
}

PushOutcome pushToDeluge(Deluge& client, const NetContext& net) {
    client.setSessionId(net);
    if (client.signInState() != SignInState::Accepted) {
        return refusedSignIn(client.signInState());
    }
    const QJsonArray params{client.filename(), text::base64Encoding(client.file()), QJsonObject()};
    DelugeAnswer answer = client.call(QStringLiteral("core.add_torrent_file"), params, net);
    if (answer.errorCode == Deluge::kNotAuthenticated) {
        client.setSessionId(net);
        if (client.signInState() != SignInState::Accepted) {
            return refusedSignIn(client.signInState());
        }
        answer = client.call(QStringLiteral("core.add_torrent_file"), params, net);
    }
    if (!answer.responded) {
        return PushOutcome::Unreachable;
    }
    return addTorrentOutcome(answer);
}

}  // namespace pelloran
