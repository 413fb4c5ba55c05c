#include "cli/listing_fetch.h"

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "site/sign_in.h"
#include "site/torrent_listing.h"

namespace pelloran::cli {

ListingOutcome fetchListing(CliCore& core, const QString& url) {
    core.enterSignedInMode();
    return core.run<FetchPageAllTorrents>(core.serialQueue(), url, core.site());
}

bool loadMemberBar(CliCore& core) {
    core.enterSignedInMode();
    auto check = core.run<FetchPageLoginCheck>(core.serialQueue(), core.config().sessionCheckUrl(),
                                               core.site());
    return check && isStillSignedIn(*check, core.session()) && core.userInfo().username();
}

int printTorrents(const TorrentList& torrents, bool json) {
    if (json) {
        printTorrentsJson(torrents);
    } else if (torrents.isEmpty()) {
        printOut(QStringLiteral("No torrents."));
    } else {
        printOut(torrentTable(torrents));
    }
    return kExitSuccess;
}

int reportNoPage(CliCore& core) {
    if (const auto failure = core.reloginFailure()) {
        printError(QString(kLoginFailedTitle), failure->message);
    } else if (core.session().keepsAskingCount() > 0) {
        printError(QString(kLoginFailedTitle), QString(kSiteKeepsAskingMessage));
    } else {
        printError(QString(kConnectionErrorMessage));
    }
    return kExitFailure;
}

int reportListingFailure(CliCore& core, const ListingOutcome& outcome) {
    if (outcome.status == ListingStatus::NotUnderstood) {
        printError(QString(kPageNotUnderstoodTitle), pageNotUnderstoodMessage(outcome.url));
        return kExitFailure;
    }
    if (outcome.slowDown) {
        printError(QString(kPageNotUnderstoodTitle), slowDownMessage(*outcome.slowDown));
        return kExitFailure;
    }
    return reportNoPage(core);
}

}  // namespace pelloran::cli
