#include "site/row_matching.h"

#include "text/regex.h"

namespace pelloran {

QList<QStringList> matchEachRow(const QString& text, const QList<qsizetype>& rowStarts,
                                const QString& pattern) {
    QList<QStringList> rows;
    text::RegexBudget budget(text::regexStepBudget());
    for (qsizetype i = 0; i < rowStarts.size(); ++i) {
        const qsizetype end = i + 1 < rowStarts.size() ? rowStarts[i + 1] : text.size();
        QStringList components = text::captureComponentsMatchedByRegex(
            text.mid(rowStarts[i], end - rowStarts[i]), pattern, budget);
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
