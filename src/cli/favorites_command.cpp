// pelloran-cli favorites: the favorites scan, and with --push-new the unattended push of what
// it found that was never sent (what a systemd timer runs; push_new_command.h).

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "cli/listing_fetch.h"
#include "cli/push_new_command.h"
#include "cli/push_option_flags.h"

#include "remote/automatic_push.h"
#include "remote/automatic_push_caps.h"
#include "remote/bit_client_registry.h"
#include "remote/filter_routes.h"
#include "remote/server_info.h"
#include "site/favorites_scan.h"
#include "site/filter.h"
#include "site/site_urls.h"

#include <algorithm>
#include <limits>

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

const QString kOff = QStringLiteral("off");

const struct {
    PushCap cap;
    const char* option;
} kCapOptions[] = {{PushCap::MaxSize, "max-size"},
                   {PushCap::MinSeeders, "min-seeders"},
                   {PushCap::MaxPerDay, "max-per-day"},
                   {PushCap::MaxBytesPerDay, "max-size-per-day"}};

bool isSizeCap(PushCap cap) {
    return cap == PushCap::MaxSize || cap == PushCap::MaxBytesPerDay;
}

// A cap's value as typed: a size ("20GB", "700 MB", a bare number of GB) or a count; absent
// when it is neither.
std::optional<qint64> capValue(PushCap cap, const QString& text) {
    if (!isSizeCap(cap)) {
        const std::optional<int> n = parseCount(text);
        return n ? std::optional<qint64>(*n) : std::nullopt;
    }
    bool bare = false;
    text.trimmed().toDouble(&bare);
    return parseSize(bare ? text.trimmed() + QStringLiteral("GB") : text);
}

// The caps the options give, stored; false (with the usage error printed) when one can't be
// read.
bool storeCapOptions(CliCore& core, const CommandArgs& args, int* status) {
    AutomaticPushCaps caps;
    QList<PushCap> cleared;
    for (const auto& [cap, option] : kCapOptions) {
        const QString name = QString::fromLatin1(option);
        if (!args.isSet(name)) {
            continue;
        }
        const QString text = args.value(name);
        if (text == kOff) {
            cleared.append(cap);
            continue;
        }
        const std::optional<qint64> value = capValue(cap, text);
        if (!value || (!isSizeCap(cap) && *value > std::numeric_limits<int>::max())) {
            *status = args.usageError(
                QStringLiteral("favorites: --%1 is %2 or off")
                    .arg(name, isSizeCap(cap) ? QStringLiteral("a size such as 20GB or 700MB")
                                              : QStringLiteral("a whole number")));
            return false;
        }
        switch (cap) {
            case PushCap::MaxSize:
                caps.maxSize = *value;
                break;
            case PushCap::MinSeeders:
                caps.minSeeders = int(*value);
                break;
            case PushCap::MaxPerDay:
                caps.maxPerDay = int(*value);
                break;
            case PushCap::MaxBytesPerDay:
                caps.maxBytesPerDay = *value;
                break;
        }
    }
    storeCaps(core.settings(), caps, cleared);
    return true;
}

QString capLine(const char* label, const std::optional<QString>& value) {
    return QStringLiteral("  %1 %2").arg(QString::fromLatin1(label).leftJustified(15),
                                         value.value_or(QStringLiteral("(no cap)")));
}

void printRules(CliCore& core) {
    const QList<Filter> filters = loadFilters(core.settings());
    const QList<FilterRoute> routes = loadFilterRoutes(core.settings());
    printOut(QStringLiteral(
        "Filters (the first that accepts a torrent routes it, over the client's defaults):"));
    if (filters.isEmpty()) {
        printOut(QStringLiteral("  none"));
    }
    const PushOptionSupport words =
        pushOptionSupport(core.server().reloaded().client.value_or(QString()));
    for (qsizetype row = 0; row < filters.size(); ++row) {
        printOut(filterLine(row, filters[row], routes, words));
    }
    const AutomaticPushCaps caps = storedCaps(core.settings());
    const auto size = [](const std::optional<qint64>& bytes) {
        return bytes ? std::optional<QString>(sizeText(*bytes)) : std::nullopt;
    };
    const auto count = [](const std::optional<int>& n) {
        return n ? std::optional<QString>(QString::number(*n)) : std::nullopt;
    };
    printOut(QStringLiteral("Caps of the automatic push (a day: the last 24 hours):"));
    printOut(capLine("Largest size:", size(caps.maxSize)));
    printOut(capLine("Fewest seeders:", count(caps.minSeeders)));
    printOut(capLine("Torrents a day:", count(caps.maxPerDay)));
    printOut(capLine("Size a day:", size(caps.maxBytesPerDay)));
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
    const bool setsCaps =
        std::any_of(std::begin(kCapOptions), std::end(kCapOptions),
                    [&args](const auto& c) { return args.isSet(QString::fromLatin1(c.option)); });
    if (setsCaps || args.isSet(QStringLiteral("show-rules"))) {
        if (pushing || json) {
            return args.usageError(
                QStringLiteral("favorites: --show-rules and the caps go without --push-new or "
                               "--json"));
        }
        int status = kExitSuccess;
        if (setsCaps && !storeCapOptions(core, args, &status)) {
            return status;
        }
        printRules(core);
        return kExitSuccess;
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
