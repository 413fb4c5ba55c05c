#pragma once
// A quicker way to run the row patterns of the page readers, with exactly ICU's results.
//
// A row pattern is a chain of literal text and spans ("[\s\S]*?", ".*?", ".*"), with capture
// groups and one-character sets of literal characters ("[G|M]"). ICU runs a lazy span one
// character at a time, saving its whole state at each, to try what follows; that is nearly all
// the time a large listing takes. Here a span followed by literal text goes straight to the
// next place where that text occurs: every place in between would fail on its first character
// anyway, so the same match is found, in the same order of tries.
//
// Only such patterns compile; anything else (alternation, other escapes and quantifiers,
// anchors, lookarounds) is left to ICU. Same semantics as regex.h: "." crosses no line
// terminator, positions are UTF-16 code units, a range behaves like a copy of that piece.

#include <QList>
#include <QString>
#include <optional>
#include <utility>

namespace pelloran::text {

class RegexBudget;

class SpanPattern {
public:
    // The pattern, or nothing when it is not made only of the pieces above.
    static std::optional<SpanPattern> compile(const QString& pattern);

    int groupCount() const { return groups_; }

    enum class Outcome { Found, NotFound, BudgetSpent };
    // The first match inside [start, end) of `subject`; `spans` gets, for the whole match and
    // each group, its start and end. Work is counted as ICU counts it (about one step per
    // character a span passes) and drawn from `budget` 10,000 steps at a time, the first
    // 10,000 of each range free, as ICU's match callback does.
    Outcome find(const QString& subject, qsizetype start, qsizetype end, RegexBudget& budget,
                 QList<std::pair<qsizetype, qsizetype>>& spans) const;

    struct Piece {
        enum class Kind { Literal, Set, Open, Close, LazyAny, LazyDot, GreedyDot, GreedyAny };
        Kind kind;
        QString text;   // Literal: the text; Set: its characters
        int group = 0;  // Open, Close
        int next = -1;  // spans: the literal piece right after (past group marks), if any
    };

private:
    QList<Piece> pieces_;
    int groups_ = 0;
    friend class SpanRun;
};

}  // namespace pelloran::text
