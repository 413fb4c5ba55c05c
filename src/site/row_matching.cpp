#include "site/row_matching.h"

#include "text/regex.h"

#include <optional>

namespace pelloran {

namespace {

qsizetype rowEnd(const QString& text, const QList<qsizetype>& rowStarts, qsizetype i) {
    return i + 1 < rowStarts.size() ? rowStarts[i + 1] : text.size();
}

}  // namespace

QString rowText(const QString& text, const QList<qsizetype>& rowStarts, qsizetype i) {
    return text.mid(rowStarts[i], rowEnd(text, rowStarts, i) - rowStarts[i]);
}

QList<QStringList> matchEachRow(const QString& text, const QList<qsizetype>& rowStarts,
                                const QString& pattern, const QString& mustHold) {
    text::RegexBudget budget(text::regexStepBudget());
    return matchEachRow(text, rowStarts, pattern, budget, mustHold);
}

QList<QStringList> matchEachRow(const QString& text, const QList<qsizetype>& rowStarts,
                                const QString& pattern, text::RegexBudget& budget,
                                const QString& mustHold) {
    QList<QStringList> rows;
    // One matcher for all the rows: each row is a region of the page, read as a copy of it
    // would be, without copying it or setting up a matcher per row.
    text::RangeMatcher matcher(text, pattern, budget);
    std::optional<text::RangeMatcher> screen;
    if (!mustHold.isEmpty()) {
        screen.emplace(text, mustHold, budget);
    }
    for (qsizetype i = 0; i < rowStarts.size(); ++i) {
        const qsizetype end = rowEnd(text, rowStarts, i);
        const bool candidate = !screen || screen->matches(rowStarts[i], end);
        QStringList components =
            candidate ? matcher.firstComponents(rowStarts[i], end) : QStringList();
        if (budget.exhausted()) {
            return {};
        }
        if (!components.isEmpty()) {
            rows.append(std::move(components));
        }
    }
    return rows;
}

}  // namespace pelloran
