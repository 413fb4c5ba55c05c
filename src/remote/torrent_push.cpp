#include "remote/torrent_push.h"

#include "net/http_request.h"
#include "remote/bit_client.h"
#include "remote/transmission.h"
#include "remote/transmission_rpc.h"
#include "remote/upload_routes.h"

namespace pelloran {

namespace {

bool upload(BitClient& client, const NetContext& net) {
    HttpRequest request(client.getUrl(), net);
    request.setType(QStringLiteral("POST"));
    request.setClient(&client);
    request.setUsername(client.username());
    request.setPassword(client.password());
    request.setTimeout(kRemoteTimeoutSeconds);
    request.request();
    // The body is not read: some clients answer 200 with an error page.
    return request.isResponseValid();
}

}  // namespace

bool pushTorrent(BitClient& client, const NetContext& net, UploadRoutes* routes) {
    client.setSessionId(net);
    auto* transmission = dynamic_cast<Transmission*>(&client);
    const QString server = transmission ? transmission->rpcUrl() : QString();
    if (transmission && routes && routes->prefersRpc(server)) {
        if (addTorrentByRpc(*transmission, net)) {
            return true;
        }
        routes->forget(server);  // it may have changed since: try the upload again
    }
    if (upload(client, net)) {
        return true;
    }
    // The upload was refused or went unanswered. Transmission 3 refuses the upload address with
    // its query string, Transmission 4 has none: both take the same file over RPC.
    if (!transmission || !addTorrentByRpc(*transmission, net)) {
        return false;
    }
    if (routes) {
        routes->rememberRpc(server);
    }
    return true;
}

}  // namespace pelloran
