#include "site/filter.h"

#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "text/regex.h"

#include <vector>

namespace pelloran {

QString Filter::patternFor(const QString& keyword) {
    return QStringLiteral(".*(") + keyword + QStringLiteral(").*");
}

bool Filter::isUsable(const QString& keyword) {
    return text::isValidRegex(patternFor(keyword));
}

bool Filter::isAccepted(const QString& name, text::RegexBudget* budget) const {
    const QString pattern = patternFor(regex_);
    text::RegexBudget own(text::regexStepBudget());
    return !text::arrayOfCaptureComponentsMatchedByRegex(name, pattern, budget ? *budget : own)
                .isEmpty();
}

TorrentList filterTorrents(const TorrentList& torrents, const QList<Filter>& filters) {
    TorrentList accepted;
    // A budget per keyword: a run-away keyword stops matching, the others go on working.
    std::vector<text::RegexBudget> budgets(static_cast<size_t>(filters.size()),
                                           text::RegexBudget(text::regexStepBudget()));
    for (const TorrentPtr& t : torrents) {
        const QString name = t->name().value_or(QString());
        for (qsizetype i = 0; i < filters.size(); ++i) {
            if (filters[i].isAccepted(name, &budgets[static_cast<size_t>(i)])) {
                accepted.append(t);
                break;
            }
        }
    }
    return accepted;
}

QList<Filter> loadFilters(const SettingsStore& settings) {
    QList<Filter> filters;
    for (const QString& keyword : settings.stringList(keys::filters).value_or(QStringList())) {
        filters.append(Filter(keyword));
    }
    return filters;
}

void addFilter(SettingsStore& settings, const QString& keyword) {
    settings.updateStringList(keys::filters, [&](QStringList& list) { list.append(keyword); });
    settings.flush();
}

bool removeFilter(SettingsStore& settings, int row, const std::optional<QString>& shown,
                  QString* removedKeyword) {
    bool removed = false;
    settings.updateStringList(keys::filters, [&](QStringList& list) {
        if (shown && (row < 0 || row >= list.size() || list[row] != *shown)) {
            row = int(list.indexOf(*shown));
        }
        if (row >= 0 && row < list.size()) {
            if (removedKeyword) {
                *removedKeyword = list.at(row);
            }
            list.removeAt(row);
            removed = true;
        }
    });
    settings.flush();
    return removed;
}

}  // namespace pelloran
