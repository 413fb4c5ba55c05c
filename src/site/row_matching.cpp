#include "site/row_matching.h"

#include "text/regex.h"

#include <optional>

namespace pelloran {

QList<QStringList> matchEachRow(const QString& text, const QList<qsizetype>& rowStarts,
                                const QString& pattern, const QString& mustHold) {
    QList<QStringList> rows;
    text::RegexBudget budget(text::regexStepBudget());
    text::RangeMatcher matcher(text, pattern, budget);
    std::optional<text::RangeMatcher> screen;
    if (!mustHold.isEmpty()) {
        screen.emplace(text, mustHold, budget);
    }
    for (qsizetype i = 0; i < rowStarts.size(); ++i) {
        const qsizetype end = i + 1 < rowStarts.size() ? rowStarts[i + 1] : text.size();
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
