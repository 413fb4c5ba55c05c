// pelloran-cli push: fetch a torrent from the site and push it to the member's client.

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "cli/listing_fetch.h"
#include "cli/push_option_flags.h"

#include "remote/bit_client_registry.h"
#include "remote/fetch_page_download.h"
#include "remote/remote_alerts.h"
#include "site/site_urls.h"

namespace pelloran::cli {

int runPush(CliCore& core, const CommandArgs& args) {
    const bool byUrl = args.isSet(QStringLiteral("url")) || args.isSet(QStringLiteral("name"));
    const bool byRow = args.isSet(QStringLiteral("browse-row"));
    if (byUrl == byRow ||
        (byUrl && !(args.isSet(QStringLiteral("url")) && args.isSet(QStringLiteral("name"))))) {
        return args.usageError(QStringLiteral("push: give --url and --name, or --browse-row"));
    }
    // Options the chosen client can't take are refused before the site is even asked.
    QString problem;
    const std::optional<PushOptions> overrides =
        pushOptionsFromFlags(args, PausedStyle::Flags, &problem);
    if (!overrides) {
        return args.usageError(QStringLiteral("push: ") + problem);
    }
    const ServerInfo::Values remote = core.server().reloaded();
    const BitClientType* type = bitClientType(remote.client.value_or(QString()));
    if (const QString refusal = pushOptionsRefusal(type, overrides->over(remote.pushDefaults));
        !refusal.isEmpty()) {
        return args.usageError(QStringLiteral("push: ") + refusal);
    }
    core.enterSignedInMode(CliCore::Reads::TorrentFilesOnly);

    QString url;
    QString name;
    if (byUrl) {
        url = args.value(QStringLiteral("url"));
        name = args.value(QStringLiteral("name"));
    } else {
        const int row = args.number(QStringLiteral("browse-row"), 0);
        const int page = args.number(QStringLiteral("page"), 1);
        const ListingOutcome listing =
            fetchListing(core, browseUrl(core.config(), core.settings(), page));
        if (listing.status == ListingStatus::NoPage ||
            listing.status == ListingStatus::NotUnderstood) {
            return reportListingFailure(core, listing);
        }
        const TorrentList& rows = listing.torrents;
        if (row >= rows.size()) {
            return args.usageError(
                QStringLiteral("push: browse page %1 has %2 rows").arg(page).arg(rows.size()));
        }
        const TorrentPtr& t = rows[row];
        url = torrentFileUrl(core.config(), t->downloadUrl().value_or(QString()));
        name = t->name().value_or(QString());
    }
    // Failures raise their own alert (printed on stderr) and deliver no name.
    const std::optional<QString> sent =
        core.run<FetchPageDownload>(core.serialQueue(), url, name, core.remote(), *overrides);
    if (!sent) {
        // When the session was the trouble, say so after the alert.
        if (core.reloginFailure() || core.session().keepsAskingCount() > 0) {
            return reportNoPage(core);
        }
        return kExitFailure;
    }
    // A torrent the client holds already counts as sent, and says so.
    if (core.alerts().lastAlert() == remote_alerts::alreadySent()) {
        printOut(QStringLiteral("Already on server: ") + *sent +
                 QStringLiteral(" (your BitTorrent client already has it)"));
        return kExitSuccess;
    }
    printOut(QStringLiteral("Sent ") + *sent);
    return kExitSuccess;
}

}  // namespace pelloran::cli
