// pelloran-cli browse | search | snatchlist: what the list screens request and show.

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "cli/listing_fetch.h"

#include "site/site_urls.h"
#include "site/snatch_list.h"
#include "site/torrent_listing.h"

namespace pelloran::cli {

namespace {

// Rows or the end of the listing are printed; anything else is a failure.
int printListing(CliCore& core, const ListingOutcome& outcome, bool json) {
    if (outcome.status == ListingStatus::NoPage || outcome.status == ListingStatus::NotUnderstood) {
        return reportListingFailure(core, outcome);
    }
    return printTorrents(outcome.torrents, json);
}

}  // namespace

int runBrowse(CliCore& core, const CommandArgs& args) {
    const int page = args.number(QStringLiteral("page"), 1);
    return printListing(core, fetchListing(core, browseUrl(core.config(), core.settings(), page)),
                        args.isSet(QStringLiteral("json")));
}

int runSearch(CliCore& core, const CommandArgs& args) {
    const int page = args.number(QStringLiteral("page"), 1);
    const QString query = escapedSearchWords(args.positional().first());
    return printListing(core,
                        fetchListing(core, searchUrl(core.config(), core.settings(), query, page)),
                        args.isSet(QStringLiteral("json")));
}

int runSnatchList(CliCore& core, const CommandArgs& args) {
    core.enterSignedInMode();
    // The member's id comes with the member bar: read it from a signed-in page first.
    if (!loadMemberBar(core)) {
        return reportNoPage(core);
    }
    const QString body = snatchListBody(core.userInfo().ids().value_or(QString()));
    const std::optional<TorrentList> rows = core.run<FetchPageAllSnatchTorrents>(
        core.serialQueue(), snatchListUrl(core.config()), body, core.net());
    if (!rows) {
        return reportNoPage(core);
    }
    if (args.isSet(QStringLiteral("json"))) {
        printTorrentsJson(*rows);
    } else {
        printOut(rows->isEmpty() ? QStringLiteral("No torrents.") : snatchTable(*rows));
    }
    return kExitSuccess;
}

}  // namespace pelloran::cli
