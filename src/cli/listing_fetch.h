#pragma once
// Site fetches shared by the commands, made as the signed-in main interface makes them, and
// what the commands print when no usable page came back.

#include "site/listing_outcome.h"

#include <QString>

namespace pelloran::cli {

class CliCore;

// One listing page: its rows, the end of the listing, no page, or a page not understood.
ListingOutcome fetchListing(CliCore& core, const QString& url);

// Reads the member bar (and the member id) from the session check page. False when no
// signed-in page came back.
bool loadMemberBar(CliCore& core);

// Prints the rows as a table, or as JSON; "No torrents." when there are none. Returns success.
int printTorrents(const TorrentList& torrents, bool json);

// After a fetch that brought no page: the re-login's failure, a site that keeps asking to sign
// in, or a connection error. Returns the failure exit status.
int reportNoPage(CliCore& core);

// For a listing that is neither rows nor an empty page: says why (no page, or which page was
// not understood) and returns the failure exit status.
int reportListingFailure(CliCore& core, const ListingOutcome& outcome);

}  // namespace pelloran::cli
