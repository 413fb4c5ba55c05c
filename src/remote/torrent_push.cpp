#include "remote/torrent_push.h"

#include "net/http_request.h"
#include "remote/bit_client.h"
#include "remote/bit_client_registry.h"
#include "remote/client_setup.h"
#include "remote/deluge.h"
#include "remote/deluge_push.h"
#include "remote/qbittorrent.h"
#include "remote/qbittorrent_push.h"
#include "remote/transmission.h"
#include "remote/transmission_rpc.h"
#include "remote/upload_routes.h"

namespace pelloran {

namespace {

constexpr int kUnauthorized = 401;

PushReply upload(BitClient& client, const NetContext& net) {
    HttpRequest request(client.getUrl(), net);
    request.setType(QStringLiteral("POST"));
    request.setClient(&client);
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
    // The body is not read: these web interfaces answer an upload with a page of their own.
    return request.isResponseValid() ? PushOutcome::Sent : PushOutcome::Refused;
}

PushReply pushToTransmission(Transmission& client, const NetContext& net, UploadRoutes* routes) {
    if (!client.pushOptions().isEmpty()) {
        return addTorrentByRpc(client, net);
    }
    const QString server = client.rpcUrl();
    if (routes && routes->prefersRpc(server)) {
        const PushReply result = addTorrentByRpc(client, net);
        if (result.outcome != PushOutcome::Refused) {
            return result;
        }
        routes->forget(server);  // it may have changed since: try the upload again
    }
    const PushReply uploaded = upload(client, net);
    if (uploaded.outcome == PushOutcome::Sent || uploaded.outcome == PushOutcome::SignInRefused) {
        return uploaded;  // the RPC would only meet the same refusal of the password
    }
    // The upload was refused or went unanswered. Transmission 3 refuses the upload address with
    // its query string, Transmission 4 has none: both take the same file over RPC.
    const PushReply result = addTorrentByRpc(client, net);
    if (result.outcome != PushOutcome::Refused && routes) {
        routes->rememberRpc(server);
    }
    return result;
}

bool hasControlCharacter(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

}  // namespace

QString pushOptionsProblem(const BitClientType& type, const PushOptions& options) {
    const QString unsupported =
        unsupportedOptionsMessage(clientDisplayName(type), type.pushOptions, options);
    if (!unsupported.isEmpty()) {
        return unsupported;
    }
    QStringList values = options.tags.value_or(QStringList());
    values << options.category.value_or(QString()) << options.savePath.value_or(QString());
    if (std::any_of(values.begin(), values.end(), hasControlCharacter)) {
        return QStringLiteral("A category, tag or save path can't hold a line break.");
    }
    return QString();
}

PushReply pushTorrent(BitClient& client, const NetContext& net, UploadRoutes* routes) {
    if (const QString problem = pushOptionsProblem(client.type(), client.pushOptions());
        !problem.isEmpty()) {
        return {PushOutcome::Refused, problem};  // nothing was sent
    }
    // These two sign in as part of their push.
    if (auto* qbittorrent = dynamic_cast<QBittorrent*>(&client)) {
        return pushToQBittorrent(*qbittorrent, net);
    }
    if (auto* deluge = dynamic_cast<Deluge*>(&client)) {
        return pushToDeluge(*deluge, net);
    }
    client.setSessionId(net);
    if (auto* transmission = dynamic_cast<Transmission*>(&client)) {
        return pushToTransmission(*transmission, net, routes);
    }
    return upload(client, net);
}

PushReply pushTorrentFile(const ServerInfo::Values& settings, const QString& fileName,
                          const QByteArray& file, const NetContext& net, UploadRoutes* routes,
                          const PushOptions& options) {
    std::unique_ptr<BitClient> client = clientFromSettings(settings);
    if (!client) {
        return PushOutcome::Refused;
    }
    client->setFilename(fileName);
    client->setFile(file);
    client->setPushOptions(options);
    return pushTorrent(*client, net, routes);
}

}  // namespace pelloran
