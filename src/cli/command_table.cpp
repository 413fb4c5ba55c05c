// The commands of pelloran-cli: their words, positional arguments, options and help.
//
// To add an option, add an OptionSpec to its command's entry below (a value name makes it take
// a value, a range makes it a checked whole number) and read it in the command's run function
// with args.isSet(), args.value() or args.number(); its --help line and the overall help follow.
// To add a command, write `int runX(CliCore&, const CommandArgs&)` in the file of its kind,
// declare it in commands.h and add its entry here: one word, or two for a sub-command (the
// longest words that match the command line win, so "remote" and "remote set" can both exist).
// Usage errors (unknown option, missing value, number out of range, positional words the
// command doesn't take) are refused before the command runs, with exit status 2.

#include "cli/commands.h"
#include "cli/push_option_flags.h"

#include "remote/automatic_push.h"
#include "site/favorites_scan.h"
#include "site/site_urls.h"

#include <limits>

namespace pelloran::cli {

namespace {

constexpr NumberRange kPageRange{1, kMaxPageNumber};
constexpr NumberRange kRowRange{0, std::numeric_limits<int>::max()};

OptionSpec flag(const char* name, const char* description) {
    return {QString::fromLatin1(name), QString(), QString::fromUtf8(description), std::nullopt};
}

OptionSpec valued(const char* name, const char* valueName, const char* description,
                  std::optional<NumberRange> range = std::nullopt) {
    return {QString::fromLatin1(name), QString::fromLatin1(valueName),
            QString::fromUtf8(description), range};
}

QStringList words(const char* first, const char* second = nullptr) {
    QStringList w{QString::fromLatin1(first)};
    if (second) {
        w.append(QString::fromLatin1(second));
    }
    return w;
}

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

const QString kSigningIn = QStringLiteral("Signing in");
const QString kLists = QStringLiteral(
    "Lists (one row per torrent; \"*\" marks a torrent already sent to your client)");
const QString kSending = QStringLiteral("Sending to your BitTorrent client");
const QString kStored = QStringLiteral("Stored choices");
const QString kAccount = QStringLiteral("Your account over time (the activity database)");

QList<CommandSpec> makeTable() {
    const OptionSpec json = flag("json", "Prints JSON instead of a table.");
    const OptionSpec page = valued("page", "N", "The page to list.", kPageRange);
    return {
        {.words = words("login"),
         .summary = text("sign in (stored credentials unless given); exit 3 when the site asks "
                         "for the\nwords of a CAPTCHA picture, then answer with --captcha"),
         .options = {valued("username", "U", "The user name to sign in with (and store)."),
                     flag("password-stdin", "Reads the password from the first line of stdin."),
                     valued("auto", "on|off", "Signs in automatically when the app starts."),
                     valued("captcha", "ANSWER",
                            "The words of the CAPTCHA picture the site asked for."),
                     flag("json", "Prints the member bar as JSON.")},
         .run = runLogin,
         .network = true,
         .section = kSigningIn},
        {.words = words("logout"),
         .summary = text("forget the site session (deletes the site's cookies)"),
         .run = runLogout,
         .network = true,
         .section = kSigningIn},

        {.words = words("browse"),
         .summary = text("newest torrents of your chosen categories"),
         .options = {page, json},
         .run = runBrowse,
         .network = true,
         .section = kLists},
        {.words = words("search"),
         .arguments = QStringLiteral("TEXT"),
         .summary = text("search the site"),
         .options = {page, json},
         .minPositional = 1,
         .maxPositional = 1,
         .run = runSearch,
         .network = true,
         .section = kLists},
        {.words = words("favorites"),
         .summary =
             text("newest pages filtered by your saved keywords. With --push-new, the automatic\n"
                  "push: sends every accepted torrent not sent before, one run at a time, SECONDS\n"
                  "(2) between requests to the site (0: no pace); --notify: one desktop\n"
                  "notification; exit 1 when something failed (tried again next run), 3 when the\n"
                  "site wants a CAPTCHA. The cap options store the automatic push's caps (off: no\n"
                  "cap) and show the rules, as --show-rules does; a torrent a cap holds back is\n"
                  "sent by a later run once it passes"),
         .options = {valued("start", "S", "The first page of the scan.", kPageRange),
                     valued("pages", "N", "How many pages to scan (the stored count unless given).",
                            NumberRange{1, kMaxFavoritesPages}),
                     flag("json", "Prints JSON: the rows, or with --push-new the run's summary."),
                     flag("push-new", "Sends every accepted torrent not sent before."),
                     valued("min-interval", "SECONDS",
                            "With --push-new: seconds between requests to the site (the stored "
                            "pace unless given; 0: no pace).",
                            NumberRange{0, kMaxMinIntervalSeconds}),
                     flag("notify", "With --push-new: ends with one desktop notification."),
                     flag("show-rules",
                          "Shows the filters with their routes and the automatic push's caps."),
                     valued("max-size", "SIZE|off",
                            "Caps the automatic push: no torrent bigger than SIZE (20GB, 700MB; "
                            "a bare number is GB)."),
                     valued("min-seeders", "N|off",
                            "Caps the automatic push: no torrent with fewer than N seeders."),
                     valued("max-per-day", "N|off",
                            "Caps the automatic push: at most N torrents per rolling 24 hours."),
                     valued("max-size-per-day", "SIZE|off",
                            "Caps the automatic push: at most SIZE sent per rolling 24 hours.")},
         .run = runFavorites,
         .network = true,
         .section = kLists},
        {.words = words("snatchlist"),
         .summary = text("the torrents you downloaded from the site"),
         .options = {json},
         .run = runSnatchList,
         .network = true,
         .section = kLists},

        {.words = words("push"),
         .summary = text("fetch a .torrent from the site and push it: give --url and --name, or\n"
                         "--browse-row (a torrent your client already has counts as sent); the\n"
                         "push options go over the client's defaults for this push only"),
         .options =
             QList<OptionSpec>{
                 valued("url", "URL", "The torrent file's address on the site."),
                 valued("name", "NAME", "The torrent's name, for the history."),
                 valued("browse-row", "I", "Pushes row I (from 0) of a browse page.", kRowRange),
                 valued("page", "N", "The browse page of --browse-row.", kPageRange)}
             << pushOptionSpecs(PausedStyle::Flags, QStringLiteral("this push")),
         .run = runPush,
         .network = true,
         .section = kSending},
        {.words = words("history"),
         .summary = text("names sent, newest first"),
         .run = runHistoryList,
         .section = kSending},
        {.words = words("history", "remove"),
         .arguments = QStringLiteral("ROW"),
         .summary = text("forget one name (its row as history lists it)"),
         .minPositional = 1,
         .maxPositional = 1,
         .run = runHistoryRemove,
         .section = kSending},
        {.words = words("remote"),
         .summary = text("your client settings (the password is never shown)"),
         .run = runRemoteShow,
         .section = kSending},
        {.words = words("remote", "show"),
         .summary = text("the same"),
         .run = runRemoteShow,
         .section = kSending},
        {.words = words("remote", "set"),
         .summary =
             text("change your client settings (choosing a client brings its default port);\n"
                  "the push options are the chosen client's defaults, for those it has"),
         .options =
             QList<OptionSpec>{
                 valued("client", "NAME", "Vuze, Transmission, Utorrent, qBittorrent or Deluge."),
                 valued("address", "A", "The client's host name or address."),
                 valued("port", "P", "The client's web UI port."),
                 valued("user", "U", "The web UI's user name."),
                 flag("password-stdin",
                      "Reads the web UI's password from the first line of stdin.")}
             << pushOptionSpecs(PausedStyle::OnOff, QStringLiteral("every push")),
         .run = runRemoteSet,
         .section = kSending},
        {.words = words("remote", "test"),
         .summary = text("try the settings against your client"),
         .run = runRemoteTest,
         .network = true,
         .section = kSending},

        {.words = words("filters"),
         .summary = text("favorite keywords (ICU patterns, case-sensitive)"),
         .run = runFiltersList,
         .section = kStored},
        {.words = words("filters", "add"),
         .arguments = QStringLiteral("KEYWORD"),
         .summary =
             text("add a favorite keyword; the push options route what it accepts (the\n"
                  "first filter that accepts a torrent routes it, over the client's defaults)"),
         .options = pushOptionSpecs(PausedStyle::OnOff, QStringLiteral("what it accepts")),
         .minPositional = 1,
         .maxPositional = 1,
         .run = runFiltersAdd,
         .section = kStored},
        {.words = words("filters", "remove"),
         .arguments = QStringLiteral("ROW"),
         .summary = text("remove a keyword (its row as filters lists it)"),
         .minPositional = 1,
         .maxPositional = 1,
         .run = runFiltersRemove,
         .section = kStored},
        {.words = words("settings", "get"),
         .arguments = QStringLiteral("KEY"),
         .summary = text("a stored setting: categories, orderBy, sortBy, searchCategories,\n"
                         "searchOrderBy, searchSortBy, favoritesCount, pushMinInterval,\n"
                         "warnBelowRatio"),
         .minPositional = 1,
         .maxPositional = 1,
         .run = runSettingsGet,
         .section = kStored},
        {.words = words("settings", "set"),
         .arguments = QStringLiteral("KEY VALUE"),
         .summary = text("change one: favoritesCount from 1 to %1, pushMinInterval (seconds\n"
                         "between the automatic push's requests) from 0 to %2, warnBelowRatio\n"
                         "(the ratio guard: 0.01 to 100, \"\" turns it off)")
                        .arg(kMaxFavoritesPages)
                        .arg(kMaxMinIntervalSeconds),
         .minPositional = 2,
         .maxPositional = 2,
         .run = runSettingsSet,
         .section = kStored},

        {.words = words("activity"),
         .summary = text("pushes made by the app, the command line and the automatic push,\n"
                         "newest first"),
         .options = {json, valued("limit", "N", "Lists N pushes (50 unless given).",
                                  NumberRange{1, 1000000})},
         .run = runActivity,
         .section = kAccount},
        {.words = words("stats"),
         .summary = text("latest ratio and totals with their change over 1, 7 and 30 days, and\n"
                         "pushes by outcome; --json and --csv list every member-bar sample"),
         .options = {valued("days", "N", "Only the last N days (all unless given).",
                            NumberRange{1, 36500}),
                     flag("json", "Prints the samples and push counts as one JSON object."),
                     flag("csv", "Prints the samples as time,ratio,uploaded,downloaded rows.")},
         .run = runStats,
         .section = kAccount},
    };
}

// Breaks a synopsis before an option so no line is wider than the help's 100 columns.
QStringList wrapSynopsis(const QString& synopsis, int width, int continuationIndent) {
    QStringList lines;
    QString line;
    for (const QString& part : synopsis.split(QStringLiteral(" ["))) {
        const QString piece = line.isEmpty() ? part : QStringLiteral(" [") + part;
        if (!line.isEmpty() && line.size() + piece.size() > width) {
            lines.append(line);
            line = QString(continuationIndent, QLatin1Char(' ')) + piece.trimmed();
        } else {
            line += piece;
        }
    }
    lines.append(line);
    return lines;
}

}  // namespace

const QList<CommandSpec>& commandTable() {
    static const QList<CommandSpec> table = makeTable();
    return table;
}

QString overallHelp() {
    QString help = QStringLiteral(
        "Usage: pelloran-cli COMMAND [OPTIONS]\n"
        "       pelloran-cli COMMAND --help    the options of one command\n");
    QString section;
    for (const CommandSpec& spec : commandTable()) {
        if (spec.section != section) {
            section = spec.section;
            help += QLatin1Char('\n') + section + QLatin1Char('\n');
        }
        QString synopsis = QStringLiteral("  ") + spec.words.join(QLatin1Char(' '));
        if (!spec.arguments.isEmpty()) {
            synopsis += QLatin1Char(' ') + spec.arguments;
        }
        if (!spec.options.isEmpty()) {
            synopsis += QLatin1Char(' ') + optionSynopsis(spec);
        }
        const int indent = int(2 + spec.words.join(QLatin1Char(' ')).size() + 1);
        for (const QString& line : wrapSynopsis(synopsis, 98, indent)) {
            help += line + QLatin1Char('\n');
        }
        for (const QString& line : spec.summary.split(QLatin1Char('\n'))) {
            help += QStringLiteral("      ") + line + QLatin1Char('\n');
        }
    }
    help += QStringLiteral(
        "\nEnvironment: PELLORAN_HOME (settings and cookies folder), PELLORAN_KEYRING=off "
        "(passwords in\nthe settings file, not the desktop's keyring), PELLORAN_SITE_HOST and "
        "the other PELLORAN_*\nsite values. Exit status: 0 done, 1 failed (reason on stderr), "
        "2 usage, 3 CAPTCHA,\n130 stopped by SIGINT, 143 stopped by SIGTERM.\n");
    return help;
}

}  // namespace pelloran::cli
