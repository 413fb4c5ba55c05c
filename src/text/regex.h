#pragma once
// The four regular-expression operations every page reader uses. ICU syntax and semantics,
// no flags: case-sensitive, "." crosses no line terminator, no multi-line mode.
//
// Positions are UTF-16 code units (QString and icu::UnicodeString share them). Compiled
// patterns are cached by pattern text. Every operation is bounded: a match that exceeds the
// work budget (a hostile page, a pathological filter keyword) gives the operation's no-match
// result, exactly like a pattern that does not compile. All functions are thread-safe.

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>

namespace pelloran::text {

// A work budget shared by several operations, e.g. all the rows of one page or all the names
// a filter keyword is tried on, so that many small run-aways can't add up to a long one.
// Once it is spent, every operation given it returns its no-match result. Not thread-safe:
// one budget belongs to one thread's piece of work.
class RegexBudget {
public:
    explicit RegexBudget(int steps);
    bool exhausted() const { return remaining_ <= 0; }
    int remaining() const { return remaining_; }
    bool spend() { return --remaining_ > 0; }  // one engine step; false once spent

private:
    int remaining_;
};

// Components of the FIRST match: [whole match, group 1, ..., group n]; always n + 1 entries.
// A group that took no part, or matched nothing, is "". No match: empty list.
QStringList captureComponentsMatchedByRegex(const QString& subject, const QString& pattern);

// One component list (as above) per match, left to right, non-overlapping. No match: empty.
QList<QStringList> arrayOfCaptureComponentsMatchedByRegex(const QString& subject,
                                                          const QString& pattern);

// The text of `capture` in the first match. Absent when nothing matches or when that group
// took no part in the match; "" when it matched empty text.
std::optional<QString> stringByMatching(const QString& subject, const QString& pattern,
                                        int capture);

// The same, drawing on a shared budget instead of a fresh one.
QStringList captureComponentsMatchedByRegex(const QString& subject, const QString& pattern,
                                            RegexBudget& budget);
QList<QStringList> arrayOfCaptureComponentsMatchedByRegex(const QString& subject,
                                                          const QString& pattern,
                                                          RegexBudget& budget);

// Matches one pattern within successive ranges of one subject, such as the rows of a page,
// with one matcher and one budget for all of them. A range behaves exactly like a copy of
// that piece of the subject: its bounds are the subject's start and end for the pattern.
// Not thread-safe; the subject must outlive it.
class RangeMatcher {
public:
    RangeMatcher(const QString& subject, const QString& pattern, RegexBudget& budget);
    ~RangeMatcher();
    RangeMatcher(const RangeMatcher&) = delete;
    RangeMatcher& operator=(const RangeMatcher&) = delete;

    // Components of the first match inside [start, end), as captureComponentsMatchedByRegex
    // gives them for subject.mid(start, end - start). Empty when nothing matches, the range is
    // empty, the pattern does not compile or the budget is spent.
    QStringList firstComponents(qsizetype start, qsizetype end);
    // Where the components of that match lie in the subject, copying nothing: `groups` gets a
    // (from, to) pair per component, the whole match first; a pair with to <= from (or from
    // < 0) is a component firstComponents gives as "". False on the same grounds as above.
    using Groups = QList<std::pair<qsizetype, qsizetype>>;
    bool findGroups(qsizetype start, qsizetype end, Groups& groups);
    // Whether anything matches inside [start, end); false on the same grounds.
    bool matches(qsizetype start, qsizetype end);

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

// Replaces every match in `subject` by the ICU replacement template ("$n", "\" escapes).
// Returns the number of replacements; `subject` is untouched when it is 0.
int replaceOccurrencesOfRegex(QString& subject, const QString& pattern, const QString& tmpl);

// True when `pattern` compiles under ICU. Lets callers refuse a bad keyword up front.
bool isValidRegex(const QString& pattern);

// Drops every cached compiled pattern (e.g. on memory pressure).
void clearRegexCache();

// Work budget of one operation, in ICU match-engine steps (10,000 engine iterations each,
// about 0.2 ms on a desktop core). The default cuts a run-away operation off after about
// 0.1 s, leaving room under the one-second bound on slower machines, while a whole 250 KB
// listing page parsed with the row pattern in one go needs about 22 steps (row by row, as the
// listing reader does it, far fewer): over 20 times the work of a real page fits.
constexpr int kDefaultRegexStepBudget = 500;
void setRegexStepBudget(int steps);  // for tests and benchmarks; 0 restores the default
int regexStepBudget();

}  // namespace pelloran::text
