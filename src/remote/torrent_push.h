#pragma once
// Hands one torrent file to the member's client. For Vuze, Transmission and uTorrent: the
// adapter's handshake, then the multipart upload, judged by its status alone (200..299 is
// success, anything else or no answer is failure). For Transmission a refused upload is followed
// by the RPC method torrent-add, since current Transmission versions refuse the upload address
// (transmission_rpc.h), and whose answer also tells a torrent the client holds already; a server
// that did so once in this run is sent its later pushes over RPC at once (upload_routes.h).
// qBittorrent and Deluge have pushes of their own (qbittorrent_push.h, deluge_push.h).
//
// Blocks the calling thread: one exchange per step, each bounded by kRemoteTimeoutSeconds and
// all of them by the deadline `net` carries (deadline.h).

#include "net/net_context.h"
#include "remote/push_outcome.h"

namespace pelloran {

class BitClient;
class UploadRoutes;

// `client` carries address, port, credentials, file name and file. `routes` may be null (no
// memory between pushes).
PushOutcome pushTorrent(BitClient& client, const NetContext& net, UploadRoutes* routes = nullptr);

}  // namespace pelloran
