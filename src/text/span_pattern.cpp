#include "text/span_pattern.h"

#include "text/regex.h"

#include <QStringView>

namespace pelloran::text {

namespace {

using Kind = SpanPattern::Piece::Kind;

// Steps ICU takes between two calls of its match callback; each call spends one budget unit.
constexpr int kStepsPerUnit = 10000;

bool isLineTerminator(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x0a && u <= 0x0d) || u == 0x85 || u == 0x2028 || u == 0x2029;
}

bool isQuantifier(QChar c) {
    return c == u'*' || c == u'+' || c == u'?' || c == u'{';
}

bool isSetCharacter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'|' || c == u' ';
}

// A character that stands for itself outside a set, when no quantifier follows it.
bool isPlainLiteral(QChar c) {
    return !c.isSurrogate() && !QStringView(u"\\.[]()*+?{}|^$").contains(c);
}

// Where `literal` next occurs in `text` from `from` on; -1 when nowhere. Its first character is
// looked for with Qt's vectorised character search, which outruns a general string search on
// the short literals of a page pattern.
qsizetype indexOfLiteral(QStringView text, const QString& literal, qsizetype from) {
    const QChar first = literal[0];
    const QStringView rest = QStringView(literal).sliced(1);
    for (qsizetype at = text.indexOf(first, from); at >= 0; at = text.indexOf(first, at + 1)) {
        if (text.sliced(at + 1).startsWith(rest)) {
            return at;
        }
    }
    return -1;
}

}  // namespace

std::optional<SpanPattern> SpanPattern::compile(const QString& pattern) {
    SpanPattern p;
    QList<int> open;
    const auto at = [&pattern](qsizetype i) { return i < pattern.size() ? pattern[i] : QChar(); };
    const auto addLiteral = [&p](QChar c) {
        if (p.pieces_.isEmpty() || p.pieces_.last().kind != Kind::Literal) {
            p.pieces_.append({Kind::Literal, QString()});
        }
        p.pieces_.last().text.append(c);
    };
    // The quantifier after a span: "*?" lazy, "*" greedy; 0 for anything else.
    const auto spanQuantifier = [&at](qsizetype i) -> int {
        if (at(i) != u'*') {
            return 0;
        }
        if (at(i + 1) == u'?') {
            return isQuantifier(at(i + 2)) ? 0 : 2;
        }
        return isQuantifier(at(i + 1)) ? 0 : 1;
    };
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == u'.' || QStringView(pattern).sliced(i).startsWith(u"[\\s\\S]")) {
            const bool dot = c == u'.';
            const qsizetype after = i + (dot ? 1 : 6);
            const int q = spanQuantifier(after);
            if (q == 0) {
                return std::nullopt;
            }
            const Kind kind = q == 2 ? (dot ? Kind::LazyDot : Kind::LazyAny)
                                     : (dot ? Kind::GreedyDot : Kind::GreedyAny);
            p.pieces_.append({kind, QString()});
            i = after + q;
        } else if (c == u'[') {
            const qsizetype close = pattern.indexOf(u']', i + 1);
            if (close <= i + 1 || isQuantifier(at(close + 1))) {
                return std::nullopt;
            }
            const QString members = pattern.sliced(i + 1, close - i - 1);
            for (const QChar m : members) {
                if (!isSetCharacter(m)) {
                    return std::nullopt;
                }
            }
            p.pieces_.append({Kind::Set, members});
            i = close + 1;
        } else if (c == u'(') {
            if (at(i + 1) == u'?') {
                return std::nullopt;
            }
            open.append(++p.groups_);
            p.pieces_.append({Kind::Open, QString(), p.groups_});
            ++i;
        } else if (c == u')') {
            if (open.isEmpty() || isQuantifier(at(i + 1))) {
                return std::nullopt;
            }
            p.pieces_.append({Kind::Close, QString(), open.takeLast()});
            ++i;
        } else {
            // "\" before an ASCII character that is not a letter or digit makes it literal.
            const bool escaped = c == u'\\';
            const QChar literal = escaped ? at(i + 1) : c;
            const bool ok = escaped ? literal.unicode() > 0x20 && literal.unicode() < 0x7f &&
                                          !literal.isLetterOrNumber()
                                    : isPlainLiteral(c);
            i += escaped ? 2 : 1;
            if (!ok || isQuantifier(at(i))) {
                return std::nullopt;
            }
            addLiteral(literal);
        }
    }
    if (!open.isEmpty() || p.pieces_.isEmpty()) {
        return std::nullopt;
    }
    // A span's literal: the first piece after it that is not a group mark, when it is literal
    // text (starting with a whole character, so that each place it occurs is one a span ends on).
    for (qsizetype i = 0; i < p.pieces_.size(); ++i) {
        qsizetype j = i + 1;
        while (j < p.pieces_.size() &&
               (p.pieces_[j].kind == Kind::Open || p.pieces_[j].kind == Kind::Close)) {
            ++j;
        }
        if (j < p.pieces_.size() && p.pieces_[j].kind == Kind::Literal &&
            !p.pieces_[j].text[0].isSurrogate()) {
            p.pieces_[i].next = static_cast<int>(j);
        }
    }
    return p;
}

// One find: the backtracking search, in ICU's order of tries.
class SpanRun {
public:
    SpanRun(const SpanPattern& pattern, const QString& subject, qsizetype end, RegexBudget& budget)
        : pieces_(pattern.pieces_),
          text_(subject.constData(), end),
          budget_(budget),
          groups_(pattern.groups_ + 1, {-1, -1}) {}

    bool spent() const { return spent_; }
    QList<std::pair<qsizetype, qsizetype>>& groups() { return groups_; }
    qsizetype matchEnd() const { return matchEnd_; }

    // Whether the pattern from piece `i` on matches at `pos`.
    bool at(qsizetype i, qsizetype pos) {
        if (i == pieces_.size()) {
            matchEnd_ = pos;
            return true;
        }
        const SpanPattern::Piece& p = pieces_[i];
        switch (p.kind) {
            case Kind::Literal:
                return text_.sliced(pos).startsWith(p.text) && at(i + 1, pos + p.text.size());
            case Kind::Set:
                return pos < text_.size() && p.text.contains(text_[pos]) && at(i + 1, pos + 1);
            case Kind::Open:
            case Kind::Close: {
                qsizetype& mark =
                    p.kind == Kind::Open ? groups_[p.group].first : groups_[p.group].second;
                const qsizetype saved = mark;
                mark = pos;
                if (at(i + 1, pos)) {
                    return true;
                }
                mark = saved;
                return false;
            }
            case Kind::LazyAny:
            case Kind::LazyDot:
                return lazy(i, pos, p.kind == Kind::LazyDot);
            case Kind::GreedyAny:
            case Kind::GreedyDot:
                return greedy(i, pos, p.kind == Kind::GreedyDot);
        }
        return false;
    }

    // Counts `n` steps; false once the budget is spent.
    bool step(qsizetype n) {
        ticks_ -= n;
        while (ticks_ <= 0 && !spent_) {
            spent_ = !budget_.spend();
            ticks_ += kStepsPerUnit;
        }
        return !spent_;
    }

private:
    qsizetype nextCharacter(qsizetype q) const {
        return text_[q].isHighSurrogate() && q + 1 < text_.size() && text_[q + 1].isLowSurrogate()
                   ? q + 2
                   : q + 1;
    }
    qsizetype previousCharacter(qsizetype q, qsizetype floor) const {
        return text_[q - 1].isLowSurrogate() && q - 2 >= floor && text_[q - 2].isHighSurrogate()
                   ? q - 2
                   : q - 1;
    }
    const QString* literalAfter(qsizetype i) const {
        const int next = pieces_[i].next;
        return next >= 0 ? &pieces_[next].text : nullptr;
    }

    enum class Try { Matched, Failed, Stopped };
    // One try of the rest of the pattern (the pieces after `i`) at `q`, counted as a step
    // unless the caller counted it already.
    Try tryRest(qsizetype i, qsizetype q, bool countStep) {
        if (countStep && !step(1)) {
            return Try::Stopped;
        }
        if (at(i + 1, q)) {
            return Try::Matched;
        }
        return spent_ ? Try::Stopped : Try::Failed;
    }

    // Shortest first: each end from `pos` on, up to the end of the line for ".".
    bool lazy(qsizetype i, qsizetype pos, bool dot) {
        const QString* literal = literalAfter(i);
        for (qsizetype q = pos;;) {
            if (literal) {
                // Only where the literal starts can the rest match: go there at once.
                const qsizetype found = indexOfLiteral(text_, *literal, q);
                const qsizetype stop = found < 0 ? text_.size() : found;
                if (dot) {
                    for (qsizetype k = q; k < stop; ++k) {
                        if (isLineTerminator(text_[k])) {
                            step(k - q + 1);
                            return false;
                        }
                    }
                }
                if (!step(stop - q + 1) || found < 0) {
                    return false;
                }
                q = found;
            }
            if (const Try t = tryRest(i, q, !literal); t != Try::Failed) {
                return t == Try::Matched;
            }
            if (q >= text_.size() || (dot && isLineTerminator(text_[q]))) {
                return false;
            }
            q = nextCharacter(q);
        }
    }

    // Longest first: from the end of the line for "." (the end for any), back to `pos`.
    bool greedy(qsizetype i, qsizetype pos, bool dot) {
        qsizetype limit = pos;
        if (dot) {
            while (limit < text_.size() && !isLineTerminator(text_[limit])) {
                ++limit;
            }
        } else {
            limit = text_.size();
        }
        const QString* literal = literalAfter(i);
        for (qsizetype q = limit;;) {
            if (literal) {
                const qsizetype found = text_.lastIndexOf(*literal, q);
                if (!step(q - std::max(found, pos) + 1) || found < pos) {
                    return false;
                }
                q = found;
            }
            if (const Try t = tryRest(i, q, !literal); t != Try::Failed) {
                return t == Try::Matched;
            }
            if (q <= pos) {
                return false;
            }
            q = previousCharacter(q, pos);
        }
    }

    const QList<SpanPattern::Piece>& pieces_;
    const QStringView text_;  // the subject up to the range's end
    RegexBudget& budget_;
    QList<std::pair<qsizetype, qsizetype>> groups_;
    qsizetype matchEnd_ = -1;
    qsizetype ticks_ = kStepsPerUnit;
    bool spent_ = false;
};

SpanPattern::Outcome SpanPattern::find(const QString& subject, qsizetype start, qsizetype end,
                                       RegexBudget& budget,
                                       QList<std::pair<qsizetype, qsizetype>>& spans) const {
    if (budget.exhausted()) {
        return Outcome::BudgetSpent;
    }
    SpanRun run(*this, subject, end, budget);
    const QStringView text(subject.constData(), end);
    const QString* lead = pieces_[0].kind == Kind::Literal ? &pieces_[0].text : nullptr;
    for (qsizetype from = start; from <= end;) {
        if (lead) {
            from = indexOfLiteral(text, *lead, from);
            if (from < 0) {
                return Outcome::NotFound;
            }
        }
        if (run.at(0, from)) {
            spans = run.groups();
            spans[0] = {from, run.matchEnd()};
            return Outcome::Found;
        }
        if (run.spent()) {
            return Outcome::BudgetSpent;
        }
        if (from == end) {
            break;
        }
        from += text[from].isHighSurrogate() && from + 1 < end && text[from + 1].isLowSurrogate()
                    ? 2
                    : 1;
    }
    return Outcome::NotFound;
}

}  // namespace pelloran::text
