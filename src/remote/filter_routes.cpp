#include "remote/filter_routes.h"

#include "store/settings_keys.h"
#include "store/settings_store.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace pelloran {

namespace {

const QString kKeywordKey = QStringLiteral("keyword");

std::optional<FilterRoute> readRoute(const QString& text) {
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8());
    const QJsonValue keyword = doc.object().value(kKeywordKey);
    if (!doc.isObject() || !keyword.isString()) {
        return std::nullopt;
    }
    return FilterRoute{keyword.toString(), pushOptionsFromJson(doc.object())};
}

}  // namespace

QList<FilterRoute> loadFilterRoutes(const SettingsStore& settings) {
    QList<FilterRoute> routes;
    for (const QString& text : settings.stringList(keys::filterRoutes).value_or(QStringList())) {
        if (const std::optional<FilterRoute> route = readRoute(text)) {
            routes.append(*route);
        }
    }
    return routes;
}

PushOptions routeOf(const QList<FilterRoute>& routes, const QString& keyword) {
    for (const FilterRoute& route : routes) {
        if (route.keyword == keyword) {
            return route.options;
        }
    }
    return {};
}

void setFilterRoute(SettingsStore& settings, const QString& keyword, const PushOptions& options) {
    settings.updateStringList(keys::filterRoutes, [&](QStringList& list) {
        list.removeIf([&](const QString& text) {
            const std::optional<FilterRoute> route = readRoute(text);
            return route && route->keyword == keyword;
        });
        if (!options.isEmpty()) {
            QJsonObject object = pushOptionsToJson(options);
            object.insert(kKeywordKey, keyword);
            list.append(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
        }
    });
    settings.flush();
}

void addRoutedFilter(SettingsStore& settings, const QString& keyword, const PushOptions& options) {
    addFilter(settings, keyword);
    if (!options.isEmpty()) {
        setFilterRoute(settings, keyword, options);
    }
}

bool removeRoutedFilter(SettingsStore& settings, int row, const std::optional<QString>& shown) {
    QString keyword;
    if (!removeFilter(settings, row, shown, &keyword)) {
        return false;
    }
    const QList<Filter> after = loadFilters(settings);
    const bool kept = std::any_of(after.begin(), after.end(),
                                  [&](const Filter& f) { return f.regex() == keyword; });
    if (!kept && !routeOf(loadFilterRoutes(settings), keyword).isEmpty()) {
        setFilterRoute(settings, keyword, {});
    }
    return true;
}

PushOptions routeFor(const QString& name, const QList<Filter>& filters,
                     const QList<FilterRoute>& routes) {
    for (const Filter& filter : filters) {
        if (filter.isAccepted(name)) {
            return routeOf(routes, filter.regex());
        }
    }
    return {};
}

}  // namespace pelloran
