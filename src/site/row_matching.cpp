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

QString RowGroups::operator[](qsizetype i) const {
    const auto [from, to] = spans_[i];
    return from < 0 || to <= from ? QStringLiteral("") : text_.mid(from, to - from);
}

bool forEachMatchingRow(const QString& text, const QList<qsizetype>& rowStarts,
                        const QString& pattern, text::RegexBudget& budget,
                        const QString& mustHold,
                        const std::function<void(const RowGroups&)>& each) {
    // One matcher for all the rows: each row is a region of the page, read as a copy of it
    // would be, without copying it or setting up a matcher per row.
    text::RangeMatcher matcher(text, pattern, budget);
    std::optional<text::RangeMatcher> screen;
    if (!mustHold.isEmpty()) {
        screen.emplace(text, mustHold, budget);
    }
    text::RangeMatcher::Groups spans;
    const RowGroups groups(text, spans);
    for (qsizetype i = 0; i < rowStarts.size(); ++i) {
        const qsizetype end = rowEnd(text, rowStarts, i);
        const bool candidate = !screen || screen->matches(rowStarts[i], end);
        const bool found = candidate && matcher.findGroups(rowStarts[i], end, spans);
        if (budget.exhausted()) {
            return false;
        }
        if (found) {
            each(groups);
        }
    }
    return true;
}

QList<QStringList> matchEachRow(const QString& text, const QList<qsizetype>& rowStarts,
                                const QString& pattern, text::RegexBudget& budget,
                                const QString& mustHold) {
    QList<QStringList> rows;
    const bool whole = forEachMatchingRow(
        text, rowStarts, pattern, budget, mustHold, [&rows](const RowGroups& g) {
            QStringList components;
            components.reserve(g.size());
            for (qsizetype i = 0; i < g.size(); ++i) {
                components.append(g[i]);
            }
            rows.append(std::move(components));
        });
    return whole ? rows : QList<QStringList>{};
}

}  // namespace pelloran
