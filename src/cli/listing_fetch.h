#pragma once
// Site fetches shared by the commands, made as the signed-in main interface makes them.

#include "site/torrent.h"

#include <QString>
#include <optional>

namespace pelloran::cli {

class CliCore;

// One listing page's rows; absent when no page came back.
std::optional<TorrentList> fetchListing(CliCore& core, const QString& url);

// Reads the member bar (and the member id) from the session check page. False when no
// signed-in page came back.
bool loadMemberBar(CliCore& core);

// After a fetch that brought no page: the re-login's failure, or a connection error. Returns
// the failure exit status.
int reportNoPage(CliCore& core);

}  // namespace pelloran::cli
