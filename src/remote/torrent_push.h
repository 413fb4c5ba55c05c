#pragma once
// Hands one torrent file to the member's client. For Vuze, Transmission and uTorrent: the
// adapter's handshake, then the multipart upload, judged by its status: 200..299 answering the
// upload itself is success. The upload never follows a redirect: a 301/302/303 would turn it
// into a GET without the file, whose 200 says nothing about the torrent, so a redirect is a
// refusal. 401 is a refused sign-in, no answer at all Unreachable, anything else Refused. For
// Transmission a refused upload is followed
// by the RPC method torrent-add, since current Transmission versions refuse the upload address
// (transmission_rpc.h), and whose answer also tells a torrent the client holds already; a server
// that did so once in this run is sent its later pushes over RPC at once (upload_routes.h).
// qBittorrent and Deluge have pushes of their own (qbittorrent_push.h, deluge_push.h).
//
// Push options (the adapter's pushOptions()) the client does not have, or values no client
// could take (a line break), are refused before anything is sent, with the reason. A
// Transmission push with options goes over RPC at once: the upload carries none of them.
//
// Blocks the calling thread: one exchange per step, each bounded by kRemoteTimeoutSeconds and
// all of them by the deadline `net` carries (deadline.h).

#include "net/net_context.h"
#include "remote/push_outcome.h"
#include "remote/server_info.h"

#include <QByteArray>
#include <QString>

namespace pelloran {

class BitClient;
struct BitClientType;
class UploadRoutes;

// `client` carries address, port, credentials, file name and file. `routes` may be null (no
// memory between pushes).
PushReply pushTorrent(BitClient& client, const NetContext& net, UploadRoutes* routes = nullptr);

// The same for the client the remote settings choose, sent `file` under `fileName` with
// `options` (over nothing: the caller merges the stored defaults). Refused when no client is
// chosen (or the stored name is no adapter's).
PushReply pushTorrentFile(const ServerInfo::Values& settings, const QString& fileName,
                          const QByteArray& file, const NetContext& net,
                          UploadRoutes* routes = nullptr, const PushOptions& options = {});

// Why `options` can't go to the client of that type: the options it has not, or a value with a
// line break or other control character; "" when they can.
QString pushOptionsProblem(const BitClientType& type, const PushOptions& options);

}  // namespace pelloran
