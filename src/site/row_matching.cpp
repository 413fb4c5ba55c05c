#include "site/row_matching.h"

#include "text/regex.h"

namespace pelloran {

QString rowText(const QString& text, const QList<qsizetype>& rowStarts, qsizetype i) {
    const qsizetype end = i + 1 < rowStarts.size() ? rowStarts[i + 1] : text.size();
    return text.mid(rowStarts[i], end - rowStarts[i]);
}

QList<QStringList> matchEachRow(const QString& text, const QList<qsizetype>& rowStarts,
                                const QString& pattern) {
    text::RegexBudget budget(text::regexStepBudget());
    return matchEachRow(text, rowStarts, pattern, budget);
}

QList<QStringList> matchEachRow(const QString& text, const QList<qsizetype>& rowStarts,
                                const QString& pattern, text::RegexBudget& budget) {
    QList<QStringList> rows;
    for (qsizetype i = 0; i < rowStarts.size(); ++i) {
        QStringList components =
            text::captureComponentsMatchedByRegex(rowText(text, rowStarts, i), pattern, budget);
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
