#pragma once
// Adding a torrent through Transmission's RPC method "torrent-add", for the clients that refuse
// the multipart upload (Transmission 3 answers the upload address with a query string ("?paused=
// false") with 409 whatever the session id, and Transmission 4 has no upload address at all),
// and for every push with push options, which only the RPC carries.
//
// Blocks the calling thread for a few exchanges (see addTorrentByRpc).

#include "net/net_context.h"
#include "remote/push_options.h"
#include "remote/push_outcome.h"

#include <QByteArray>
#include <QString>

namespace pelloran {

class Transmission;

// The JSON request: {"method":"torrent-add","arguments":{"metainfo":BASE64,"paused":false}},
// with push options "download-dir", "labels" and the asked "paused" among the arguments.
QByteArray torrentAddRequest(const QByteArray& torrentFile, const PushOptions& options = {});

// True only when `answer` is a JSON object whose "result" is "success".
bool isRpcSuccess(const QByteArray& answer);

// How a torrent-add answer ends the push: a "success" naming the torrent under "torrent-added"
// is Sent, under "torrent-duplicate" one the client holds already; anything else, a "success"
// that names neither included, is Refused, with the client's "result" as the reason.
PushReply torrentAddOutcome(const QByteArray& answer);

// POSTs torrentAddRequest(client.file(), client.pushOptions()) to client.rpcUrl() with the
// client's session id and credentials. An answer of 409 carries the session id the client
// wants: it is taken into the client and the request is repeated once. Only an answer with a
// status of 200..299 is read (torrentAddOutcome); an error result with status 200 is a refusal.
// 401 is a refused sign-in, no answer Unreachable; a redirect is not followed (the file would
// not go with it). Labels are asked for only of a daemon whose "rpc-version" (session-get) has
// them: an older one is refused before the torrent is sent, with the reason.
PushReply addTorrentByRpc(Transmission& client, const NetContext& net);

}  // namespace pelloran
