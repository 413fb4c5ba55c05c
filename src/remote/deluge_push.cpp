#include "remote/deluge_push.h"

#include "remote/client_words.h"
#include "remote/deluge.h"
#include "text/string_helpers.h"

#include <QJsonObject>

namespace pelloran {

namespace {

PushOutcome refusedSignIn(SignInState state) {
    return state == SignInState::NoAnswer ? PushOutcome::Unreachable : PushOutcome::SignInRefused;
}

// The options of core.add_torrent_file: "{}" without push options, as always.
QJsonObject addOptions(const PushOptions& options) {
    QJsonObject object;
    if (options.asksSavePath()) {
        object.insert(QStringLiteral("download_location"), *options.savePath);
    }
    if (options.paused) {
        object.insert(QStringLiteral("add_paused"), *options.paused);
    }
    return object;
}

QString reasonOf(const DelugeAnswer& answer) {
    const QString words = clientWords(answer.errorMessage);
    return words.isEmpty() ? QStringLiteral("no answer") : words;
}

// Makes sure the Label plugin can give the torrent `label`; the reason when it can't.
std::optional<PushReply> prepareLabel(Deluge& client, const QString& label, const NetContext& net) {
    const DelugeAnswer plugins = client.call(QStringLiteral("core.get_enabled_plugins"), {}, net);
    if (!plugins.responded) {
        return PushReply(PushOutcome::Unreachable);
    }
    if (!plugins.ok() || !plugins.result.toArray().contains(QStringLiteral("Label"))) {
        return PushReply(PushOutcome::Refused,
                         QStringLiteral("Deluge's Label plugin is not enabled: enable it in "
                                        "Deluge's Preferences, under Plugins, to send with a "
                                        "label."));
    }
    const DelugeAnswer labels = client.call(QStringLiteral("label.get_labels"), {}, net);
    if (labels.ok() && labels.result.toArray().contains(label)) {
        return std::nullopt;
    }
    const DelugeAnswer added = client.call(QStringLiteral("label.add"), {label}, net);
    if (added.ok()) {
        return std::nullopt;
    }
    return PushReply(
        PushOutcome::Refused,
        QStringLiteral("Deluge refused the label \"%1\": %2").arg(label, reasonOf(added)));
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

PushReply pushToDeluge(Deluge& client, const NetContext& net) {
    client.setSessionId(net);
    if (client.signInState() != SignInState::Accepted) {
        return refusedSignIn(client.signInState());
    }
    const PushOptions& options = client.pushOptions();
    // The plugin keeps its labels in lower case, and finds a torrent's label only so.
    const QString label = options.asksCategory() ? options.category->toLower() : QString();
    if (!label.isEmpty()) {
        if (const std::optional<PushReply> refused = prepareLabel(client, label, net)) {
            return *refused;
        }
    }
    const QJsonArray params{client.filename(), text::base64Encoding(client.file()),
                            addOptions(options)};
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
    const PushOutcome outcome = addTorrentOutcome(answer);
    if (outcome != PushOutcome::Sent || label.isEmpty()) {
        return outcome;
    }
    const DelugeAnswer labelled =
        client.call(QStringLiteral("label.set_torrent"), {answer.result.toString(), label}, net);
    if (!labelled.ok()) {
        return PushReply(PushOutcome::Refused,
                         QStringLiteral("Deluge added the torrent but refused its label \"%1\": %2")
                             .arg(label, reasonOf(labelled)));
    }
    return outcome;
}

}  // namespace pelloran
