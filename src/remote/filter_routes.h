#pragma once
// Where the automatic push sends what a favorite filter accepted: a filter may carry push
// options of its own (a category, tags, a save path, start paused), and a torrent goes with
// the options of the first filter that accepts it, over the client's defaults.
//
// A route belongs to the keyword: it is stored under Pelloran_filterRoutes, one JSON object per
// keyword, beside the Part's plain list of keywords, which stays as it is. Two filters of one
// keyword share it (the first of them is the one that accepts anyway). Removing the last
// filter of a keyword removes its route, so the keyword added again starts without one.
// Safe from any thread (the settings store is).

#include "remote/push_options.h"
#include "site/filter.h"

#include <QList>
#include <QString>

namespace pelloran {

class SettingsStore;

struct FilterRoute {
    QString keyword;
    PushOptions options;

    friend bool operator==(const FilterRoute&, const FilterRoute&) = default;
};

// The stored routes in stored order; an element that is not such an object is left out.
QList<FilterRoute> loadFilterRoutes(const SettingsStore& settings);
// The route of `keyword` (empty options when it has none).
PushOptions routeOf(const QList<FilterRoute>& routes, const QString& keyword);

// Sets the route of `keyword` (empty options remove it) and flushes.
void setFilterRoute(SettingsStore& settings, const QString& keyword, const PushOptions& options);
// Adds the filter as typed (site/filter.h) and, when `options` is not empty, its route.
void addRoutedFilter(SettingsStore& settings, const QString& keyword, const PushOptions& options);
// Removes the filter at `row` (as removeFilter() does, `shown` included) and, when no filter of
// its keyword is left, its route; false when there is no such row.
bool removeRoutedFilter(SettingsStore& settings, int row,
                        const std::optional<QString>& shown = std::nullopt);

// The route of the first filter that accepts `name` (empty options when that filter has none,
// or none accepts it).
PushOptions routeFor(const QString& name, const QList<Filter>& filters,
                     const QList<FilterRoute>& routes);

}  // namespace pelloran
