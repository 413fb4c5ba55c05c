#pragma once
// Favorite filters: keywords the member saved, each read as a piece of an ICU regular
// expression and looked for anywhere in a torrent's name (case-sensitive).

#include "site/torrent.h"

#include <QList>
#include <QString>
#include <optional>

namespace pelloran {

class SettingsStore;

namespace text {
class RegexBudget;
}

class Filter {
public:
    explicit Filter(const QString& keyword) : regex_(keyword) {}
    QString regex() const { return regex_; }

    // The whole pattern a keyword is looked for with: the keyword anywhere in the name.
    static QString patternFor(const QString& keyword);
    // The keyword makes a valid pattern. One that doesn't would match nothing, ever: the
    // front ends refuse it when it is typed.
    static bool isUsable(const QString& keyword);

    // The keyword is found in `name`. An empty keyword accepts every name; a keyword that is
    // not a valid pattern accepts none. `budget` bounds the work across a whole scan.
    bool isAccepted(const QString& name, text::RegexBudget* budget = nullptr) const;

private:
    QString regex_;
};

// The rows some filter accepts, in order. No filters: no rows. Each keyword has one work budget
// for the whole call, so a pathological keyword slows a page by a bounded amount, never hangs
// a scan, and doesn't stop the other keywords from matching.
TorrentList filterTorrents(const TorrentList& torrents, const QList<Filter>& filters);

// The saved filters, in the order added.
QList<Filter> loadFilters(const SettingsStore& settings);
// Appends a keyword as typed (an empty one included) and flushes.
void addFilter(SettingsStore& settings, const QString& keyword);
// Removes the keyword at `row` (in stored order) and flushes; false when there is no such row.
// With `shown`, the keyword the member saw at that row: when another program changed the list
// since, that keyword is removed wherever it now is, and nothing when it is gone. `removed`,
// when given, gets the keyword taken out.
bool removeFilter(SettingsStore& settings, int row,
                  const std::optional<QString>& shown = std::nullopt, QString* removed = nullptr);

}  // namespace pelloran
