// pelloran-cli favorites: the favorites scan, and with --push-new the unattended push of what
// it found that was never sent (what a systemd timer runs; push_new_command.h).

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "cli/listing_fetch.h"
#include "cli/push_new_command.h"

#include "remote/automatic_push.h"
#include "site/favorites_scan.h"
#include "site/filter.h"
#include "site/site_urls.h"

namespace pelloran::cli {

namespace {

struct ScanResult {
    TorrentList accepted;  // in page order, and the site's order within a page
    bool started = false;
    bool anyPage = false;
    std::optional<ListingOutcome> failure;  // the page that ended the scan early
};

// Up to ten pages fetch at once; the scan hands them over one by one in page order, whatever
// order the site answers in. A page the session refused, the reader did not understand, or
// the site asked to slow down for ends the scan: the pages after it would only fail the same
// way.
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
            } else if (sessionStopped || outcome.slowDown ||
                       outcome.status == ListingStatus::NotUnderstood) {
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

}  // namespace

int runFavorites(CliCore& core, const CommandArgs& args) {
    const bool pushing = args.isSet(QStringLiteral("push-new"));
    const bool json = args.isSet(QStringLiteral("json"));
    if (!pushing &&
        (args.isSet(QStringLiteral("notify")) || args.isSet(QStringLiteral("min-interval")))) {
        return args.usageError(
            QStringLiteral("favorites: --notify and --min-interval go with --push-new"));
    }
    const int minInterval = args.number(
        QStringLiteral("min-interval"),
        int(std::chrono::duration_cast<std::chrono::seconds>(storedMinInterval(core.settings()))
                .count()));
    const int start = args.number(QStringLiteral("start"), 1);
    const int pages =
        args.number(QStringLiteral("pages"), storedFavoritesPageCount(core.settings()));
    if (start > kMaxPageNumber - (pages - 1)) {
        return args.usageError(
            QStringLiteral("favorites: the scan would go past page %1").arg(kMaxPageNumber));
    }
    if (pushing) {
        return runPushNew(core, {start, pages, std::chrono::seconds(minInterval),
                                 args.isSet(QStringLiteral("notify")), json});
    }
    const QList<Filter> filters = loadFilters(core.settings());
    core.enterSignedInMode();

    const ScanResult scan = scanFavorites(core, start, pages, filters);
    if (!scan.started) {
        return args.usageError(QStringLiteral("favorites: pages out of range"));
    }
    if (scan.failure) {
        return reportListingFailure(core, *scan.failure);
    }
    if (core.reloginFailure() || !scan.anyPage) {
        return reportNoPage(core);
    }
    return printTorrents(scan.accepted, json);
}

}  // namespace pelloran::cli
