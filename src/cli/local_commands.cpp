// pelloran-cli history | filters | remote | settings | logout: the member's stored choices.

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/command_line.h"
#include "cli/commands.h"

#include "remote/automatic_push.h"
#include "remote/bit_client_registry.h"
#include "remote/fetch_page_remote_ui.h"
#include "remote/remote_alerts.h"
#include "site/category_table.h"
#include "site/favorites_scan.h"
#include "site/filter.h"
#include "store/settings_keys.h"
#include "text/regex.h"

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

int runHistory(CliCore& core, const QStringList& args) {
    CommandLine cl(QStringLiteral("history"));
    if (!cl.parse(args, 0, 2)) {
        return usageError(cl.error());
    }
    const QStringList& words = cl.positional();
    if (words.isEmpty()) {
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
    int row = 0;
    if (words.size() != 2 || words[0] != QLatin1StringView("remove") || !parseRow(words[1], &row)) {
        return usageError(QStringLiteral("history: use 'history' or 'history remove ROW'"));
    }
    const std::optional<QString> removed = core.history().removeRow(row);
    if (!removed) {
        return usageError(QStringLiteral("history: there is no row %1").arg(row));
    }
    printOut(QStringLiteral("Removed ") + *removed);
    return kExitSuccess;
}

int runFilters(CliCore& core, const QStringList& args) {
    CommandLine cl(QStringLiteral("filters"));
    if (!cl.parse(args, 0, 2)) {
        return usageError(cl.error());
    }
    const QStringList& words = cl.positional();
    if (words.isEmpty()) {
        const QList<Filter> filters = loadFilters(core.settings());
        if (filters.isEmpty()) {
            printOut(QStringLiteral("No favorite filters."));
        }
        for (qsizetype row = 0; row < filters.size(); ++row) {
            printOut(fitColumn(QString::number(row), 4, true) + QLatin1Char(' ') +
                     filters[row].regex());
        }
        return kExitSuccess;
    }
    if (words.size() == 2 && words[0] == QLatin1StringView("add")) {
        // A keyword that can't be read as a pattern would match nothing, ever: refuse it now.
        if (!text::isValidRegex(QStringLiteral(".*(") + words[1] + QStringLiteral(").*"))) {
            return usageError(QStringLiteral("filters: '%1' is not a valid pattern").arg(words[1]));
        }
        addFilter(core.settings(), words[1]);
        return kExitSuccess;
    }
    int row = 0;
    if (words.size() == 2 && words[0] == QLatin1StringView("remove") && parseRow(words[1], &row)) {
        if (!removeFilter(core.settings(), row)) {
            return usageError(QStringLiteral("filters: there is no row %1").arg(row));
        }
        return kExitSuccess;
    }
    return usageError(
        QStringLiteral("filters: use 'filters', 'filters add KEYWORD' or 'filters remove ROW'"));
}

int runRemote(CliCore& core, const QStringList& args) {
    CommandLine cl(QStringLiteral("remote"));
    cl.addValueOption(QStringLiteral("client"), QStringLiteral("NAME"));
    cl.addValueOption(QStringLiteral("address"), QStringLiteral("A"));
    cl.addValueOption(QStringLiteral("port"), QStringLiteral("P"));
    cl.addValueOption(QStringLiteral("user"), QStringLiteral("U"));
    cl.addFlag(QStringLiteral("password-stdin"));
    if (!cl.parse(args, 0, 1)) {
        return usageError(cl.error());
    }
    const QString action = cl.positional().value(0, QStringLiteral("show"));
    ServerInfo& server = core.server();
    if (action == QLatin1StringView("show")) {
        const ServerInfo::Values v = server.reloaded();
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
        return kExitSuccess;
    }
    if (action == QLatin1StringView("set")) {
        if (cl.isSet(QStringLiteral("client"))) {
            const BitClientType* type = nullptr;
            for (const BitClientType* t : bitClientTypes()) {
                if (t->name.compare(cl.value(QStringLiteral("client")), Qt::CaseInsensitive) == 0) {
                    type = t;
                }
            }
            if (!type) {
                QStringList names;
                for (const BitClientType* t : bitClientTypes()) {
                    names.append(QString(t->name));
                }
                return usageError(QStringLiteral("remote: --client is one of ") +
                                  names.join(QStringLiteral(", ")));
            }
            server.setClient(QString(type->name));
            // As on the settings screen, choosing a client brings its default port.
            server.setPort(QString(type->defaultPort));
        }
        if (cl.isSet(QStringLiteral("address"))) {
            server.setAddress(cl.value(QStringLiteral("address")));
        }
        if (cl.isSet(QStringLiteral("port"))) {
            server.setPort(cl.value(QStringLiteral("port")));
        }
        if (cl.isSet(QStringLiteral("user"))) {
            server.setUsername(cl.value(QStringLiteral("user")));
        }
        if (cl.isSet(QStringLiteral("password-stdin"))) {
            server.setPassword(readSecretLine());
            core.sayWherePasswordsAreKept();
        }
        return kExitSuccess;
    }
    if (action == QLatin1StringView("test")) {
        core.run<FetchPageRemoteUI>(core.serialQueue(), core.remote(), true);
        const std::optional<Alert> alert = core.alerts().lastAlert();
        return alert && *alert == remote_alerts::connectionTestSucceeded() ? kExitSuccess
                                                                           : kExitFailure;
    }
    return usageError(QStringLiteral("remote: use show, set or test"));
}

int runSettings(CliCore& core, const QStringList& args) {
    CommandLine cl(QStringLiteral("settings"));
    if (!cl.parse(args, 2, 3)) {
        return usageError(cl.error());
    }
    const QStringList& words = cl.positional();
    // Only the display settings and the automatic push's pace: the rest belongs to login,
    // remote, filters and history.
    static const QList<QLatin1StringView> displayKeys = {
        keys::categories,    keys::orderBy,      keys::sortBy,         keys::searchCategories,
        keys::searchOrderBy, keys::searchSortBy, keys::favoritesCount, keys::pushMinInterval};
    QString key = words[1];
    if (!key.startsWith(QStringLiteral("Pelloran_"))) {
        key.prepend(QStringLiteral("Pelloran_"));
    }
    auto known = std::find_if(displayKeys.begin(), displayKeys.end(),
                              [&](QLatin1StringView k) { return key == k; });
    if (known == displayKeys.end()) {
        return usageError(
            QStringLiteral("settings: '%1' is not a setting of this command").arg(words[1]));
    }
    if (words[0] == QLatin1StringView("get") && words.size() == 2) {
        if (const std::optional<QString> value = core.settings().string(key)) {
            printOut(*value);
        }
        return kExitSuccess;
    }
    if (words[0] != QLatin1StringView("set") || words.size() != 3) {
        return usageError(
            QStringLiteral("settings: use 'settings get KEY' or 'settings set KEY VALUE'"));
    }
    QString value = words[2];
    const auto isOption = [&value](const QList<ListingOption>& options) {
        return std::any_of(options.begin(), options.end(),
                           [&](const ListingOption& o) { return o.value == value; });
    };
    if (key == keys::categories || key == keys::searchCategories) {
        const QList<int> ids = categoryIdsFromSetting(value);
        value = categoriesSetting(ids);  // table order, unknown ids left out
    } else if (key == keys::orderBy || key == keys::searchOrderBy) {
        if (!isOption(orderOptions())) {
            return usageError(QStringLiteral(
                "settings: order is '', orderby/size, orderby/seeders or orderby/leechers"));
        }
    } else if (key == keys::sortBy || key == keys::searchSortBy) {
        if (!isOption(sortOptions())) {
            return usageError(QStringLiteral("settings: sort is desc or asc"));
        }
    } else if (key == keys::favoritesCount || key == keys::pushMinInterval) {
        const bool pages = key == keys::favoritesCount;
        const int minimum = pages ? 1 : 0;
        const int maximum = pages ? kMaxFavoritesPages : kMaxMinIntervalSeconds;
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok || number < minimum || number > maximum) {
            return usageError(QStringLiteral("settings: %1 is a number from %2 to %3")
                                  .arg(pages
                                           ? QStringLiteral("the favorites page count")
                                           : QStringLiteral("the automatic push's pace (seconds)"))
                                  .arg(minimum)
                                  .arg(maximum));
        }
        value = QString::number(number);
    }
    core.settings().setValue(key, value);
    core.settings().flush();
    return kExitSuccess;
}

int runLogout(CliCore& core, const QStringList& args) {
    CommandLine cl(QStringLiteral("logout"));
    if (!cl.parse(args, 0)) {
        return usageError(cl.error());
    }
    // The session lives in the cookies of the site and CAPTCHA domains; other hosts' cookies
    // (the forum's, the member's client's) stay. A host with a port is matched without it, as
    // cookies never carry ports.
    const SiteConfig& c = core.config();
    QStringList domains{c.cookieDomain, c.captchaCookieDomain, c.siteHost,
                        hostWithoutPort(c.siteHost)};
    domains.removeDuplicates();
    for (const QString& domain : domains) {
        core.cookies().deleteCookiesWithDomain(domain);
    }
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
