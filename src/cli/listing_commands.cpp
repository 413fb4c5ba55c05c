// pelloran-cli browse | search | favorites | snatchlist: what the list screens request and show.

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/listing_fetch.h"

#include "site/favorites_scan.h"
#include "site/filter.h"
#include "site/site_urls.h"
#include "site/snatch_list.h"
#include "site/torrent_listing.h"
#include "text/url_escaping.h"

namespace pelloran::cli {

namespace {

int printTorrents(const TorrentList& torrents, bool json) {
    if (json) {
        printOut(jsonText(torrentsJson(torrents)));
    } else if (torrents.isEmpty()) {
        printOut(QStringLiteral("No torrents."));
    } else {
        printOut(torrentTable(torrents));
    }
    return kExitSuccess;
}

// Rows or the end of the listing are printed; anything else is a failure.
int printListing(CliCore& core, const ListingOutcome& outcome, bool json) {
    if (outcome.status == ListingStatus::NoPage || outcome.status == ListingStatus::NotUnderstood) {
        return reportListingFailure(core, outcome);
    }
    return printTorrents(outcome.torrents, json);
}

}  // namespace

int runBrowse(CliCore& core, const QStringList& args) {
    CommandLine cl(QStringLiteral("browse"));
    cl.addValueOption(QStringLiteral("page"), QStringLiteral("N"));
    cl.addFlag(QStringLiteral("json"));
    if (!cl.parse(args, 0)) {
        return usageError(cl.error());
    }
    const std::optional<int> page = cl.number(QStringLiteral("page"), 1, 1, kMaxPageNumber);
    if (!page) {
        return usageError(cl.error());
    }
    return printListing(core, fetchListing(core, browseUrl(core.config(), core.settings(), *page)),
                        cl.isSet(QStringLiteral("json")));
}

int runSearch(CliCore& core, const QStringList& args) {
    CommandLine cl(QStringLiteral("search"));
    cl.addValueOption(QStringLiteral("page"), QStringLiteral("N"));
    cl.addFlag(QStringLiteral("json"));
    if (!cl.parse(args, 1)) {
        return usageError(cl.error());
    }
    const std::optional<int> page = cl.number(QStringLiteral("page"), 1, 1, kMaxPageNumber);
    if (!page) {
        return usageError(cl.error());
    }
    const QString query = text::escapeSearchText(cl.positional().first());
    return printListing(core,
                        fetchListing(core, searchUrl(core.config(), core.settings(), query, *page)),
                        cl.isSet(QStringLiteral("json")));
}

int runFavorites(CliCore& core, const QStringList& args) {
    CommandLine cl(QStringLiteral("favorites"));
    cl.addValueOption(QStringLiteral("start"), QStringLiteral("S"));
    cl.addValueOption(QStringLiteral("pages"), QStringLiteral("N"));
    cl.addFlag(QStringLiteral("json"));
    if (!cl.parse(args, 0)) {
        return usageError(cl.error());
    }
    const std::optional<int> firstPage = cl.number(QStringLiteral("start"), 1, 1, kMaxPageNumber);
    const std::optional<int> pageCount = cl.number(
        QStringLiteral("pages"), storedFavoritesPageCount(core.settings()), 1, kMaxFavoritesPages);
    if (!firstPage || !pageCount) {
        return usageError(cl.error());
    }
    const int start = *firstPage;
    const int pages = *pageCount;
    if (start > kMaxPageNumber - (pages - 1)) {
        return usageError(
            QStringLiteral("favorites: the scan would go past page %1").arg(kMaxPageNumber));
    }
    const QList<Filter> filters = loadFilters(core.settings());
    core.enterSignedInMode();

    // Up to ten pages fetch at once; the scan hands them over one by one in page order,
    // whatever order the site answers in. A page the session refused or the reader did not
    // understand ends the scan: the pages after it would only fail the same way.
    TorrentList accepted;
    bool anyPage = false;
    std::optional<ListingOutcome> failure;
    int handedOver = 0;
    QEventLoop loop;
    ProgressLine progress;
    progress.show(QStringLiteral("Scanning page 0 of %1...").arg(pages));
    FavoritesScan* running = nullptr;
    FavoritesScan scan(
        core.site(),
        [&](int, const ListingOutcome& outcome) {
            ++handedOver;
            progress.show(QStringLiteral("Scanning page %1 of %2...").arg(handedOver).arg(pages));
            const bool sessionStopped = outcome.sessionStop != SessionStop::None;
            if (outcome.arrived() && outcome.status != ListingStatus::NotUnderstood) {
                anyPage = true;
                accepted += filterTorrents(outcome.torrents, filters);
            } else if (sessionStopped || outcome.status == ListingStatus::NotUnderstood) {
                if (!failure) {
                    failure = outcome;
                }
                running->stop();
            }
        },
        [&] { loop.quit(); });
    running = &scan;
    if (!scan.start(start, pages)) {
        return usageError(QStringLiteral("favorites: pages out of range"));
    }
    loop.exec();
    if (failure) {
        return reportListingFailure(core, *failure);
    }
    if (core.reloginFailure() || !anyPage) {
        return reportNoPage(core);
    }
    return printTorrents(accepted, cl.isSet(QStringLiteral("json")));
}

int runSnatchList(CliCore& core, const QStringList& args) {
    CommandLine cl(QStringLiteral("snatchlist"));
    cl.addFlag(QStringLiteral("json"));
    if (!cl.parse(args, 0)) {
        return usageError(cl.error());
    }
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
    if (cl.isSet(QStringLiteral("json"))) {
        printOut(jsonText(torrentsJson(*rows)));
    } else {
        printOut(rows->isEmpty() ? QStringLiteral("No torrents.") : snatchTable(*rows));
    }
    return kExitSuccess;
}

}  // namespace pelloran::cli
