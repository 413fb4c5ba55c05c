// pelloran-cli favorites: the favorites scan, and with --push-new the unattended push of what
// it found that was never sent (what a systemd timer runs).

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/listing_fetch.h"

#include "remote/fetch_page_download.h"
#include "site/favorites_scan.h"
#include "site/filter.h"
#include "site/site_urls.h"

#include <QSet>

namespace pelloran::cli {

namespace {

struct ScanResult {
    TorrentList accepted;  // in page order, and the site's order within a page
    bool started = false;
    bool anyPage = false;
    std::optional<ListingOutcome> failure;  // the page that ended the scan early
};

// Up to ten pages fetch at once; the scan hands them over one by one in page order, whatever
// order the site answers in. A page the session refused or the reader did not understand ends
// the scan: the pages after it would only fail the same way.
ScanResult scanFavorites(CliCore& core, int start, int pages, const QList<Filter>& filters) {
    ScanResult result;
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
                result.anyPage = true;
                result.accepted += filterTorrents(outcome.torrents, filters);
            } else if (sessionStopped || outcome.status == ListingStatus::NotUnderstood) {
                if (!result.failure) {
                    result.failure = outcome;
                }
                running->stop();
            }
        },
        [&] { loop.quit(); });
    running = &scan;
    result.started = scan.start(start, pages);
    if (result.started) {
        loop.exec();
    }
    return result;
}

// Pushes, one at a time and in scan order, every accepted row whose name the history doesn't
// hold yet; a name that stands on two pages goes once. A row that fails stays out of the
// history, so the next run tries it again.
int pushNew(CliCore& core, const TorrentList& accepted) {
    QSet<QString> seen;
    int sent = 0;
    int failed = 0;
    for (const TorrentPtr& row : accepted) {
        const QString name = row->name().value_or(QString());
        if (seen.contains(name)) {
            continue;
        }
        seen.insert(name);
        // The app or another run may have sent it meanwhile.
        core.settings().refresh();
        if (core.history().entries().contains(name)) {
            continue;
        }
        const QString url = torrentFileUrl(core.config(), row->downloadUrl().value_or(QString()));
        // A failure raises its own alert (printed on stderr) and delivers no name.
        const std::optional<QString> pushed =
            core.run<FetchPageDownload>(core.serialQueue(), url, name, core.remote());
        if (pushed) {
            printOut(QStringLiteral("Sent ") + *pushed);
            ++sent;
        } else {
            printError(QStringLiteral("Not sent (tried again next run): ") + name);
            ++failed;
        }
    }
    if (failed > 0) {
        if (core.reloginFailure() || core.session().keepsAskingCount() > 0) {
            reportNoPage(core);
        }
        return kExitFailure;
    }
    if (sent == 0) {
        printOut(QStringLiteral("Nothing new to send."));
    }
    return kExitSuccess;
}

}  // namespace

int runFavorites(CliCore& core, const QStringList& args) {
    CommandLine cl(QStringLiteral("favorites"));
    cl.addValueOption(QStringLiteral("start"), QStringLiteral("S"));
    cl.addValueOption(QStringLiteral("pages"), QStringLiteral("N"));
    cl.addFlag(QStringLiteral("json"));
    cl.addFlag(QStringLiteral("push-new"));
    if (!cl.parse(args, 0)) {
        return usageError(cl.error());
    }
    const bool pushing = cl.isSet(QStringLiteral("push-new"));
    const bool json = cl.isSet(QStringLiteral("json"));
    if (pushing && json) {
        return usageError(QStringLiteral("favorites: --push-new prints no JSON"));
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
    if (pushing && filters.isEmpty()) {
        // Without a keyword nothing can be accepted: the site is not asked at all.
        printOut(QStringLiteral("No favorite filters: nothing to send."));
        return kExitSuccess;
    }
    core.enterSignedInMode();

    const ScanResult scan = scanFavorites(core, start, pages, filters);
    if (!scan.started) {
        return usageError(QStringLiteral("favorites: pages out of range"));
    }
    if (scan.failure) {
        return reportListingFailure(core, *scan.failure);
    }
    if (core.reloginFailure() || !scan.anyPage) {
        return reportNoPage(core);
    }
    return pushing ? pushNew(core, scan.accepted) : printTorrents(scan.accepted, json);
}

}  // namespace pelloran::cli
