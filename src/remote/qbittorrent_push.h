#pragma once
// A push to qBittorrent: sign in, upload, and judge the answer by its words, not its status.
//  - up to 5.1 the upload answers 200 with "Ok." or "Fails."; "Fails." is said both for a
//    torrent it refuses and for one it holds already, so the client is then asked for the
//    torrent's info-hash (info_hash.h) before the push is called a failure. Two pushes of one
//    torrent that meet get "Fails." while the first is still being added and not yet listed:
//    the client is asked a few more times, briefly, within the push's deadline;
//  - from 5.2 it answers JSON: 200 or 202 with a count of torrents added (or being added), and
//    409 for a torrent it holds already;
//  - 403 means the session ended: signed in again once, and the upload repeated once;
//  - anything else (an HTML page or an empty body with 200, a redirect, which is never
//    followed, 415 for a file that is not a torrent, ...) is a refusal.
// A refused sign-in is never repeated (five ban the address for an hour); a banned one says so.
// With push options, the category is made sure of and the start field chosen between sign-in
// and upload (qbittorrent_options.h); a refusal there ends the push with the client's words.
//
// Blocks the calling thread: each exchange bounded by kRemoteTimeoutSeconds and the deadline
// `net` carries.

#include "net/net_context.h"
#include "remote/push_outcome.h"

#include <QByteArray>
#include <chrono>
#include <initializer_list>

namespace pelloran {

class QBittorrent;

PushReply pushToQBittorrent(QBittorrent& client, const NetContext& net);

// What an answer to torrents/add says.
enum class QBittorrentAddAnswer {
    Added,         // "Ok.", or 5.x's JSON counting a torrent added or being added
    Held,          // 409: the client holds it already
    Ambiguous,     // "Fails." (or a JSON count of failures only): refused, or held already
    SessionEnded,  // 403
    Refused,       // anything else
};
QBittorrentAddAnswer readAddAnswer(int status, const QByteArray& body);

// The pauses before asking again whether the client holds a torrent it answered "Fails." for.
inline constexpr std::initializer_list<std::chrono::milliseconds> kHeldLookupPauses{
    std::chrono::milliseconds(250), std::chrono::milliseconds(500), std::chrono::milliseconds(1000),
    std::chrono::milliseconds(2000)};

// Whether a torrents/info answer (a JSON array of torrents) holds a torrent with one of `hashes`
// (lowercase hex).
bool holdsTorrent(const QByteArray& answer, const QByteArrayList& hashes);

}  // namespace pelloran
