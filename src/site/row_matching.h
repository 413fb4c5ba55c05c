#pragma once
// Reads the rows of a page one at a time: a row pattern is matched within each row's own text
// (from where one row starts to where the next one does), never across the whole page. A row
// that doesn't fit the pattern is then simply missing: its lazy spans can't run on into the
// next row and misread it. It also bounds each match by the size of one row.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

namespace pelloran {

namespace text {
class RegexBudget;
}

// The components of each row that matches `pattern`, in page order. One work budget covers
// the whole page; a page that spends it gives no rows at all, since a cut-off read can't be
// told from a complete one.
//
// `mustHold`, when given, is a pattern that every row matching `pattern` also matches (a piece
// of it, such as its tail): a row where it finds nothing is passed over without trying
// `pattern`. A row pattern made of lazy spans fails slowly, trying every way its spans could
// stretch before giving up; a short piece fails fast. The rows read are the same either way.
QList<QStringList> matchEachRow(const QString& text, const QList<qsizetype>& rowStarts,
                                const QString& pattern, const QString& mustHold = QString());
// The same, drawing on the caller's budget, so the caller can tell a spent budget (no rows)
// from a page where no row matched.
QList<QStringList> matchEachRow(const QString& text, const QList<qsizetype>& rowStarts,
                                const QString& pattern, text::RegexBudget& budget,
                                const QString& mustHold = QString());

// The groups of one matching row, read from the page without copying the row: [0] is the
// whole match, as in matchEachRow's components, and a group that took no part is "". Valid only
// during the call that hands it over.
class RowGroups {
public:
    RowGroups(const QString& text, const QList<std::pair<qsizetype, qsizetype>>& spans)
        : text_(text), spans_(spans) {}
    QString operator[](qsizetype i) const;
    qsizetype size() const { return spans_.size(); }

private:
    const QString& text_;
    const QList<std::pair<qsizetype, qsizetype>>& spans_;
};

// The rows matchEachRow reads, each given to `each` as it is read, in page order, so that a
// large page is never held twice. False when the budget ran out part-way: the rows already
// given then don't make a complete page, and the caller drops them.
bool forEachMatchingRow(const QString& text, const QList<qsizetype>& rowStarts,
                        const QString& pattern, text::RegexBudget& budget,
                        const QString& mustHold,
                        const std::function<void(const RowGroups&)>& each);

// The text of row `i`: from its start to the next row's start, or to the end of the text.
QString rowText(const QString& text, const QList<qsizetype>& rowStarts, qsizetype i);

}  // namespace pelloran
