// pelloran-cli history | filters | remote | settings | logout: the member's stored choices.

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "cli/push_option_flags.h"

#include "remote/automatic_push.h"
#include "remote/bit_client_registry.h"
#include "remote/fetch_page_remote_ui.h"
#include "remote/filter_routes.h"
#include "remote/remote_alerts.h"
#include "site/category_table.h"
#include "site/favorites_scan.h"
#include "site/filter.h"
#include "site/sign_out.h"
#include "store/ratio_guard.h"
#include "store/settings_keys.h"

namespace pelloran::cli {

namespace {

bool parseRow(const QString& text, int* row) {
    bool ok = false;
    *row = text.toInt(&ok);
    return ok && *row >= 0;
}

QString orNone(const std::optional<QString>& value) {
    return value && !value->isEmpty() ? *value : QStringLiteral("(none)");
}

}  // namespace

int runHistoryList(CliCore& core, const CommandArgs&) {
    const QStringList entries = core.history().entries();
    if (entries.isEmpty()) {
        printOut(QStringLiteral("The download history is empty."));
    }
    // Newest first, as the history tab shows it.
    for (qsizetype row = 0; row < entries.size(); ++row) {
        printOut(fitColumn(QString::number(row), 4, true) + QLatin1Char(' ') +
                 entries[entries.size() - 1 - row]);
    }
    return kExitSuccess;
}

int runHistoryRemove(CliCore& core, const CommandArgs& args) {
    int row = 0;
    if (!parseRow(args.positional().first(), &row)) {
        return args.usageError(
            QStringLiteral("history remove: '%1' is not a row number").arg(args.positional()[0]));
    }
    const std::optional<QString> removed = core.history().removeRow(row);
    if (!removed) {
        return args.usageError(QStringLiteral("history: there is no row %1").arg(row));
    }
    printOut(QStringLiteral("Removed ") + *removed);
    return kExitSuccess;
}

int runFiltersList(CliCore& core, const CommandArgs&) {
    const QList<Filter> filters = loadFilters(core.settings());
    if (filters.isEmpty()) {
        printOut(QStringLiteral("No favorite filters."));
    }
    const QList<FilterRoute> routes = loadFilterRoutes(core.settings());
    const PushOptionSupport words =
        pushOptionSupport(core.server().reloaded().client.value_or(QString()));
    for (qsizetype row = 0; row < filters.size(); ++row) {
        printOut(filterLine(row, filters[row], routes, words));
    }
    return kExitSuccess;
}

int runFiltersAdd(CliCore& core, const CommandArgs& args) {
    const QString keyword = args.positional().first();
    // A keyword that can't be read as a pattern would match nothing, ever: refuse it now.
    if (!Filter::isUsable(keyword)) {
        return args.usageError(QStringLiteral("filters: '%1' is not a valid pattern").arg(keyword));
    }
    QString problem;
    const std::optional<PushOptions> route =
        pushOptionsFromFlags(args, PausedStyle::OnOff, &problem);
    if (!route) {
        return args.usageError(QStringLiteral("filters: ") + problem);
    }
    // A route the chosen client can't take would fail every push it routes.
    const BitClientType* type = bitClientType(core.server().reloaded().client.value_or(QString()));
    if (const QString refusal = pushOptionsRefusal(type, *route); !refusal.isEmpty()) {
        return args.usageError(QStringLiteral("filters: ") + refusal);
    }
    addRoutedFilter(core.settings(), keyword, *route);
    return kExitSuccess;
}

int runFiltersRemove(CliCore& core, const CommandArgs& args) {
    int row = 0;
    if (!parseRow(args.positional().first(), &row)) {
        return args.usageError(
            QStringLiteral("filters remove: '%1' is not a row number").arg(args.positional()[0]));
    }
    if (!removeRoutedFilter(core.settings(), row)) {
        return args.usageError(QStringLiteral("filters: there is no row %1").arg(row));
    }
    return kExitSuccess;
}

int runRemoteShow(CliCore& core, const CommandArgs&) {
    const ServerInfo::Values v = core.server().reloaded();
    printOut(QStringLiteral("Client:   ") + orNone(v.client));
    printOut(QStringLiteral("Address:  ") + orNone(v.address));
    printOut(QStringLiteral("Port:     ") + orNone(v.port));
    printOut(QStringLiteral("User:     ") + orNone(v.username));
    // The password itself is never shown.
    printOut(QStringLiteral("Password: ") + (v.password && !v.password->isEmpty()
                                                 ? QStringLiteral("(set)")
                                                 : QStringLiteral("(not set)")));
    printOut(QStringLiteral("Kept in:  ") + (core.secrets().isKeyring()
                                                 ? QStringLiteral("the desktop's keyring")
                                                 : QStringLiteral("the settings file")));
    // The chosen client's push defaults, for the options it has.
    if (const BitClientType* type = bitClientType(v.client.value_or(QString()))) {
        for (const QString& line : pushOptionLines(*type, v.pushDefaults)) {
            printOut(line);
        }
    }
    return kExitSuccess;
}

int runRemoteSet(CliCore& core, const CommandArgs& args) {
    ServerInfo& server = core.server();
    QString problem;
    const std::optional<PushOptions> defaults =
        pushOptionsFromFlags(args, PausedStyle::OnOff, &problem);
    if (!defaults) {
        return args.usageError(QStringLiteral("remote: ") + problem);
    }
    if (!defaults->isEmpty()) {
        // Checked before anything is stored: the client these defaults are for is the one
        // this command chooses, or the one chosen before.
        const QString client = args.isSet(QStringLiteral("client"))
                                   ? args.value(QStringLiteral("client"))
                                   : server.reloaded().client.value_or(QString());
        const BitClientType* type = nullptr;
        for (const BitClientType* t : bitClientTypes()) {
            if (t->name.compare(client, Qt::CaseInsensitive) == 0) {
                type = t;
            }
        }
        if (!type && !args.isSet(QStringLiteral("client"))) {
            return args.usageError(
                QStringLiteral("remote: choose a client (--client) before its push options"));
        }
        if (const QString refusal = pushOptionsRefusal(type, *defaults); !refusal.isEmpty()) {
            return args.usageError(QStringLiteral("remote: ") + refusal);
        }
    }
    if (args.isSet(QStringLiteral("client"))) {
        const BitClientType* type = nullptr;
        for (const BitClientType* t : bitClientTypes()) {
            if (t->name.compare(args.value(QStringLiteral("client")), Qt::CaseInsensitive) == 0) {
                type = t;
            }
        }
        if (!type) {
            QStringList names;
            for (const BitClientType* t : bitClientTypes()) {
                names.append(QString(t->name));
            }
            return args.usageError(QStringLiteral("remote: --client is one of ") +
                                   names.join(QStringLiteral(", ")));
        }
        server.setClient(QString(type->name));
        // As on the settings screen, choosing a client brings its default port.
        server.setPort(QString(type->defaultPort));
    }
    if (args.isSet(QStringLiteral("address"))) {
        server.setAddress(args.value(QStringLiteral("address")));
    }
    if (args.isSet(QStringLiteral("port"))) {
        server.setPort(args.value(QStringLiteral("port")));
    }
    if (args.isSet(QStringLiteral("user"))) {
        server.setUsername(args.value(QStringLiteral("user")));
    }
    if (args.isSet(QStringLiteral("password-stdin"))) {
        server.setPassword(readSecretLine());
        core.sayWherePasswordsAreKept();
    }
    if (!defaults->isEmpty()) {
        server.setPushDefaults(server.reloaded().client.value_or(QString()), *defaults);
    }
    return kExitSuccess;
}

int runRemoteTest(CliCore& core, const CommandArgs&) {
    core.run<FetchPageRemoteUI>(core.serialQueue(), core.remote(), true);
    const std::optional<Alert> alert = core.alerts().lastAlert();
    return alert && *alert == remote_alerts::connectionTestSucceeded() ? kExitSuccess
                                                                       : kExitFailure;
}

namespace {

// Only the display settings, the automatic push's pace and the ratio guard: the rest belongs to
// login, remote, filters and history. The key with its "Pelloran_" prefix, or absent when it isn't
// one of them.
std::optional<QString> settingsKey(const QString& word) {
    static const QList<QLatin1StringView> displayKeys = {
        keys::categories,       keys::orderBy,         keys::sortBy,
        keys::searchCategories, keys::searchOrderBy,   keys::searchSortBy,
        keys::favoritesCount,   keys::pushMinInterval, keys::warnBelowRatio};
    QString key = word;
    if (!key.startsWith(QStringLiteral("Pelloran_"))) {
        key.prepend(QStringLiteral("Pelloran_"));
    }
    const bool known = std::any_of(displayKeys.begin(), displayKeys.end(),
                                   [&](QLatin1StringView k) { return key == k; });
    return known ? std::optional<QString>(key) : std::nullopt;
}

}  // namespace

int runSettingsGet(CliCore& core, const CommandArgs& args) {
    const QString word = args.positional().first();
    const std::optional<QString> key = settingsKey(word);
    if (!key) {
        return args.usageError(
            QStringLiteral("settings: '%1' is not a setting of this command").arg(word));
    }
    if (const std::optional<QString> value = core.settings().string(*key)) {
        printOut(*value);
    }
    return kExitSuccess;
}

int runSettingsSet(CliCore& core, const CommandArgs& args) {
    const QString word = args.positional().first();
    const std::optional<QString> known = settingsKey(word);
    if (!known) {
        return args.usageError(
            QStringLiteral("settings: '%1' is not a setting of this command").arg(word));
    }
    const QString& key = *known;
    QString value = args.positional().at(1);
    const auto isOption = [&value](const QList<ListingOption>& options) {
        return std::any_of(options.begin(), options.end(),
                           [&](const ListingOption& o) { return o.value == value; });
    };
    if (key == keys::categories || key == keys::searchCategories) {
        const QList<int> ids = categoryIdsFromSetting(value);
        value = categoriesSetting(ids);  // table order, unknown ids left out
    } else if (key == keys::orderBy || key == keys::searchOrderBy) {
        if (!isOption(orderOptions())) {
            return args.usageError(QStringLiteral(
                "settings: order is '', orderby/size, orderby/seeders or orderby/leechers"));
        }
    } else if (key == keys::sortBy || key == keys::searchSortBy) {
        if (!isOption(sortOptions())) {
            return args.usageError(QStringLiteral("settings: sort is desc or asc"));
        }
    } else if (key == keys::favoritesCount || key == keys::pushMinInterval) {
        const bool pages = key == keys::favoritesCount;
        const int minimum = pages ? 1 : 0;
        const int maximum = pages ? kMaxFavoritesPages : kMaxMinIntervalSeconds;
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok || number < minimum || number > maximum) {
            return args.usageError(
                QStringLiteral("settings: %1 is a number from %2 to %3")
                    .arg(pages ? QStringLiteral("the favorites page count")
                               : QStringLiteral("the automatic push's pace (seconds)"))
                    .arg(minimum)
                    .arg(maximum));
        }
        value = QString::number(number);
    } else if (key == keys::warnBelowRatio && !value.isEmpty()) {
        const std::optional<QString> ratio = warnBelowRatioSetting(value);
        if (!ratio) {
            return args.usageError(QStringLiteral(
                "settings: warnBelowRatio is a ratio from 0.01 to 100, or \"\" to turn it off"));
        }
        value = *ratio;
    }
    core.settings().setValue(key, value);
    core.settings().flush();
    return kExitSuccess;
}

int runLogout(CliCore& core, const CommandArgs&) {
    deleteSessionCookies(core.cookies(), core.config());
    if (!core.cookies().save()) {
        // The session would come back at the next start: not signed out.
        const QString problem = core.cookies().saveProblem().value_or(QString());
        printError(problem);
        core.markSaid(problem);
        return kExitFailure;
    }
    printOut(QStringLiteral("Signed out."));
    return kExitSuccess;
}

}  // namespace pelloran::cli
