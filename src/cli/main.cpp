// pelloran-cli: sign in, list, search, scan favorites and push torrents from a terminal, on the
// same settings, cookies and core as the app.

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/commands.h"

#include <QCoreApplication>
#include <cstdio>
#include <functional>
#include <map>

namespace {

constexpr char kHelp[] = R"(Usage: pelloran-cli COMMAND [OPTIONS]

Signing in
  login [--username U] [--password-stdin] [--auto on|off] [--captcha ANSWER] [--json]
                               sign in (stored credentials unless given); exit 3 when the site
                               asks for the words of a CAPTCHA picture, then answer with --captcha
  logout                       forget the site session (deletes the site's cookies)

Lists (one row per torrent; "*" marks a torrent already sent to your client)
  browse [--page N] [--json]           newest torrents of your chosen categories
  search TEXT [--page N] [--json]      search the site
  favorites [--start S] [--pages N] [--json]
                                       newest pages filtered by your saved keywords
                                       (pages 1 to 1000000, N from 1 to 100)
  favorites --push-new [--start S] [--pages N] [--min-interval SECONDS] [--notify] [--json]
                                       the automatic push: sends every accepted torrent not
                                       sent before, one run at a time, SECONDS (2) between
                                       requests to the site (0: no pace); --notify: one
                                       desktop notification; exit 1 when something failed
                                       (tried again next run), 3 when the site wants a CAPTCHA
  snatchlist [--json]                  the torrents you downloaded from the site

Sending to your BitTorrent client
  push --url URL --name NAME           fetch a .torrent from the site and push it (a torrent
                                       your client already has counts as sent)
  push --browse-row I [--page N]       push row I (from 0) of a browse page
  history [remove ROW]                 names sent, newest first
  remote [show]                        your client settings (the password is never shown)
  remote set [--client Vuze|Transmission|Utorrent|qBittorrent|Deluge] [--address A]
             [--port P] [--user U] [--password-stdin]
  remote test                          try the settings against your client

Stored choices
  filters [add KEYWORD | remove ROW]   favorite keywords (ICU patterns, case-sensitive)
  settings get KEY | settings set KEY VALUE
                                       display settings: categories, orderBy, sortBy,
                                       searchCategories, searchOrderBy, searchSortBy,
                                       favoritesCount (1 to 100), pushMinInterval (seconds
                                       between the automatic push's requests, 0 to 3600)

Environment: PELLORAN_HOME (settings and cookies folder), PELLORAN_KEYRING=off (passwords in
the settings file, not the desktop's keyring), PELLORAN_SITE_HOST and the other PELLORAN_*
site values. Exit status: 0 done, 1 failed (reason on stderr), 2 usage, 3 CAPTCHA.
)";

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pelloran-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELLORAN_VERSION));
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("-h") ||
        args[0] == QStringLiteral("help")) {
        std::fputs(kHelp, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? pelloran::cli::kExitUsage : pelloran::cli::kExitSuccess;
    }
    if (args[0] == QStringLiteral("--version")) {
        pelloran::cli::printOut(QStringLiteral("pelloran-cli " PELLORAN_VERSION));
        return pelloran::cli::kExitSuccess;
    }
    using Command = std::function<int(pelloran::cli::CliCore&, const QStringList&)>;
    const std::map<QString, Command> commands = {
        {QStringLiteral("login"), pelloran::cli::runLogin},
        {QStringLiteral("logout"), pelloran::cli::runLogout},
        {QStringLiteral("browse"), pelloran::cli::runBrowse},
        {QStringLiteral("search"), pelloran::cli::runSearch},
        {QStringLiteral("favorites"), pelloran::cli::runFavorites},
        {QStringLiteral("snatchlist"), pelloran::cli::runSnatchList},
        {QStringLiteral("push"), pelloran::cli::runPush},
        {QStringLiteral("history"), pelloran::cli::runHistory},
        {QStringLiteral("filters"), pelloran::cli::runFilters},
        {QStringLiteral("remote"), pelloran::cli::runRemote},
        {QStringLiteral("settings"), pelloran::cli::runSettings},
    };
    const QString name = args.takeFirst();
    const auto command = commands.find(name);
    if (command == commands.end()) {
        return pelloran::cli::usageError(QStringLiteral("unknown command '%1'").arg(name));
    }
    pelloran::cli::CliCore core;
    const int status = command->second(core, args);
    return core.finish(status);
}
