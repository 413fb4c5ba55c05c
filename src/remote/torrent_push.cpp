#include "remote/torrent_push.h"

#include "net/http_request.h"
#include "remote/bit_client.h"
#include "remote/transmission.h"
#include "remote/transmission_rpc.h"

namespace pelloran {

bool pushTorrent(BitClient& client, const NetContext& net) {
    client.setSessionId(net);
    HttpRequest upload(client.getUrl(), net);
    upload.setType(QStringLiteral("POST"));
    upload.setClient(&client);
    upload.setUsername(client.username());
    upload.setPassword(client.password());
    upload.setTimeout(kRemoteTimeoutSeconds);
    upload.request();
    if (upload.isResponseValid()) {
        return true;  // the body is not read: some clients answer 200 with an error page
    }
    // The upload was refused or went unanswered. Transmission 3 refuses the upload address with
    // its query string, Transmission 4 has none: both take the same file over RPC.
    if (auto* transmission = dynamic_cast<Transmission*>(&client)) {
        return addTorrentByRpc(*transmission, net);
    }
    return false;
}

}  // namespace pelloran
