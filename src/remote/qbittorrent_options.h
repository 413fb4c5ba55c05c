#pragma once
// What a qBittorrent push asks before its upload when it carries push options, so that nothing
// goes to a place the member did not choose:
//  - a category that does not exist yet is created first (torrents/createCategory): the upload
//    would otherwise create it on its own, or drop a name it can't take and add the torrent
//    without one. A refusal (409 "Incorrect category name") ends the push before the upload,
//    with the client's words;
//  - start paused is "paused" up to Web API 2.10 and "stopped" from 2.11 (qBittorrent 5): the
//    version is asked (app/webapiVersion) and the field chosen from it. An unknown version is
//    refused rather than guessed: a wrong field is ignored and the torrent would start.
// Nothing is asked when the push carries no options.
//
// Blocks the calling thread: each exchange bounded by kRemoteTimeoutSeconds and the deadline.

#include "net/net_context.h"

#include <QString>
#include <optional>

namespace pelloran {

class QBittorrent;

// Prepares `client` for an upload with its push options (the sign-in done). Absent when the
// upload may go; otherwise the reason it may not, for the member.
std::optional<QString> prepareQBittorrentOptions(QBittorrent& client, const NetContext& net);

// "2.8.19" -> whether that Web API version says "stopped"; absent when it is no version.
std::optional<bool> webApiSaysStopped(const QString& version);

}  // namespace pelloran
