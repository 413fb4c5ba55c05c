#pragma once
// A push to qBittorrent: sign in, upload, and judge the answer, which says more than its status.
//  - up to 5.1 the upload answers 200 with "Ok." or "Fails."; "Fails." is said both for a
//    torrent it refuses and for one it holds already, so the client is then asked for the
//    torrent's info-hash (info_hash.h) before the push is called a failure;
//  - from 5.2 it answers JSON: 200 or 202 (added, or being added) and 409 for a torrent it
//    holds already;
//  - 403 means the session ended: signed in again once, and the upload repeated once;
//  - anything else (415 for a file that is not a torrent, ...) is a refusal.
// A refused sign-in is never repeated (five ban the address for an hour); a banned one says so.
//
// Blocks the calling thread: each exchange bounded by kRemoteTimeoutSeconds and the deadline
// `net` carries.

#include "net/net_context.h"
#include "remote/push_outcome.h"

#include <QByteArray>

namespace pelloran {

class QBittorrent;

PushOutcome pushToQBittorrent(QBittorrent& client, const NetContext& net);

// Whether a torrents/info answer (a JSON array of torrents) holds a torrent with one of `hashes`
// (lowercase hex).
bool holdsTorrent(const QByteArray& answer, const QByteArrayList& hashes);

}  // namespace pelloran
