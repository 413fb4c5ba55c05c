// pelloran-cli browse | search | favorites | snatchlist: what the list screens request and show.

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/listing_fetch.h"

#include "store/settings_keys.h"
#include "net/page_order.h"
#include "site/filter.h"
#include "site/site_urls.h"
#include "site/snatch_list.h"
#include "site/torrent_listing.h"
#include "text/url_escaping.h"

namespace pelloran::cli {

namespace {

constexpr int kFavoritesQueueWidth = 10;
constexpr int kDefaultFavoritesPages = 5;

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

// How many pages one favorites scan covers: the stored count, at least 1, 5 when unset.
int storedFavoritesPages(const SettingsStore& settings) {
    const std::optional<QString> stored = settings.string(keys::favoritesCount);
    if (!stored) {
        return kDefaultFavoritesPages;
    }
    bool ok = false;
    const int pages = stored->trimmed().toInt(&ok);
    return ok && pages >= 1 ? pages : 1;
}

}  // namespace

int runBrowse(CliCore& core, const QStringList& args) {
    CommandLine cl(QStringLiteral("browse"));
    cl.addValueOption(QStringLiteral("page"), QStringLiteral("N"));
    cl.addFlag(QStringLiteral("json"));
    if (!cl.parse(args, 0)) {
        return usageError(cl.error());
    }
    const std::optional<int> page = cl.number(QStringLiteral("page"), 1, 1);
    if (!page) {
        return usageError(cl.error());
    }
    const std::optional<TorrentList> rows =
        fetchListing(core, browseUrl(core.config(), core.settings(), *page));
    if (!rows) {
        return reportNoPage(core);
    }
    return printTorrents(*rows, cl.isSet(QStringLiteral("json")));
}

int runSearch(CliCore& core, const QStringList& args) {
    CommandLine cl(QStringLiteral("search"));
    cl.addValueOption(QStringLiteral("page"), QStringLiteral("N"));
    cl.addFlag(QStringLiteral("json"));
    if (!cl.parse(args, 1)) {
        return usageError(cl.error());
    }
    const std::optional<int> page = cl.number(QStringLiteral("page"), 1, 1);
    if (!page) {
        return usageError(cl.error());
    }
    const QString query = text::escapeSearchText(cl.positional().first());
    const std::optional<TorrentList> rows =
        fetchListing(core, searchUrl(core.config(), core.settings(), query, *page));
    if (!rows) {
        return reportNoPage(core);
    }
    return printTorrents(*rows, cl.isSet(QStringLiteral("json")));
}

int runFavorites(CliCore& core, const QStringList& args) {
    CommandLine cl(QStringLiteral("favorites"));
    cl.addValueOption(QStringLiteral("start"), QStringLiteral("S"));
    cl.addValueOption(QStringLiteral("pages"), QStringLiteral("N"));
    cl.addFlag(QStringLiteral("json"));
    if (!cl.parse(args, 0)) {
        return usageError(cl.error());
    }
    const std::optional<int> firstPage = cl.number(QStringLiteral("start"), 1, 1);
    const std::optional<int> pageCount =
        cl.number(QStringLiteral("pages"), storedFavoritesPages(core.settings()), 1);
    if (!firstPage || !pageCount) {
        return usageError(cl.error());
    }
    const int start = *firstPage;
    const int pages = *pageCount;
    const QList<Filter> filters = loadFilters(core.settings());
    core.enterSignedInMode();

    // All pages fetch at once on a wide queue; the shared page order hands them over one by
    // one in page order, whatever order the site answers in.
    OperationQueue queue(kFavoritesQueueWidth);
    auto order = std::make_shared<PageOrder>(start, pages);
    QList<std::optional<TorrentList>> arrived;
    QEventLoop loop;
    QObject context;
    ProgressLine progress;
    progress.show(QStringLiteral("Scanning page 0 of %1...").arg(pages));
    for (int i = 0; i < pages; ++i) {
        const int page = start + i;
        auto op = std::make_unique<FetchPageAllTorrents>(
            favoritesUrl(core.config(), page), core.site(), &context,
            [&, pages](std::optional<TorrentList> rows) {
                arrived.append(std::move(rows));
                progress.show(
                    QStringLiteral("Scanning page %1 of %2...").arg(arrived.size()).arg(pages));
                if (arrived.size() == pages) {
                    loop.quit();
                }
            });
        op->setPageOrder(order, page, i == 0 ? std::nullopt : std::optional<int>(page - 1));
        queue.addOperation(std::move(op));
    }
    if (arrived.size() < pages) {
        loop.exec();
    }
    if (core.reloginFailure()) {
        return reportNoPage(core);
    }
    TorrentList accepted;
    bool anyPage = false;
    for (const std::optional<TorrentList>& rows : arrived) {
        if (rows) {
            anyPage = true;
            accepted += filterTorrents(*rows, filters);
        }
    }
    if (!anyPage) {
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
