#pragma once
// A push to Deluge: the handshake (sign-in, daemon connected), then "core.add_torrent_file"
// with the file name, the file in Base64 and the push options ("download_location",
// "add_paused"; "{}" without any). A label goes through the Label plugin: before the torrent
// is sent, the plugin must be enabled ("core.get_enabled_plugins") and the label exist
// ("label.get_labels", else "label.add"; the plugin keeps labels in lower case); after, the
// torrent gets it ("label.set_torrent"). A plugin switched off or a label refused ends the push
// before the torrent is sent, with the reason. Only an answer naming the new torrent's
// id is Sent: "{}", a null or false result say nothing was added. Error code 1 (the session
// ended) signs
// in again once and repeats the call once; error code 4 saying "already in session" is a torrent
// the daemon holds. The web interface's own "/upload" + "web.add_torrents" route is not used:
// on a duplicate it never answers.
//
// Blocks the calling thread: each exchange bounded by kRemoteTimeoutSeconds and the deadline
// `net` carries, which also ends a call the web interface leaves unanswered.

#include "net/net_context.h"
#include "remote/push_outcome.h"

namespace pelloran {

class Deluge;
struct DelugeAnswer;

PushReply pushToDeluge(Deluge& client, const NetContext& net);

// How an answer to core.add_torrent_file ends the push.
PushOutcome addTorrentOutcome(const DelugeAnswer& answer);

}  // namespace pelloran
