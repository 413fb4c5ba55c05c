#pragma once
// Hands one torrent file to the member's client: the adapter's handshake, then the multipart
// upload, judged by its status alone (200..299 is success, anything else or no answer is
// failure). For Transmission a refused upload is followed by the RPC method torrent-add, since
// current Transmission versions refuse the upload address (transmission_rpc.h); a server that
// did so once in this run is sent its later pushes over RPC at once (upload_routes.h).
//
// Blocks the calling thread: one exchange per step, each bounded by kRemoteTimeoutSeconds.

#include "net/net_context.h"

namespace pelloran {

class BitClient;
class UploadRoutes;

// `client` carries address, port, credentials, file name and file. True when the client took
// the torrent. `routes` may be null (no memory between pushes).
bool pushTorrent(BitClient& client, const NetContext& net, UploadRoutes* routes = nullptr);

}  // namespace pelloran
