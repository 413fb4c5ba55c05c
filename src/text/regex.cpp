#include "text/regex.h"

#include "text/span_pattern.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <QHash>
#include <QMutex>
#include <atomic>
#include <memory>

namespace pelloran::text {

namespace {

using PatternPtr = std::shared_ptr<const icu::RegexPattern>;

// Compiled patterns keyed by pattern text. A pattern that does not compile is cached as null
// so that a bad filter keyword is not recompiled for every listed torrent. The cache is
// bounded: filter keywords are typed by the member, so its size is not ours to predict.
class PatternCache {
public:
    PatternPtr get(const QString& pattern) {
        {
            QMutexLocker lock(&mutex_);
            auto it = cache_.constFind(pattern);
            if (it != cache_.constEnd()) {
                return it.value();
            }
        }
        PatternPtr compiled = compile(pattern);
        QMutexLocker lock(&mutex_);
        if (cache_.size() >= kMaxEntries) {
            cache_.clear();
        }
        cache_.insert(pattern, compiled);
        return compiled;
    }

    void clear() {
        QMutexLocker lock(&mutex_);
        cache_.clear();
    }

    static PatternPtr compile(const QString& pattern) {
        UErrorCode status = U_ZERO_ERROR;
        UParseError parseError;
        const icu::UnicodeString source(reinterpret_cast<const UChar*>(pattern.utf16()),
                                        static_cast<int32_t>(pattern.size()));
        std::unique_ptr<icu::RegexPattern> compiled(
            icu::RegexPattern::compile(source, 0, parseError, status));
        if (U_FAILURE(status)) {
            return nullptr;
        }
        return PatternPtr(std::move(compiled));
    }

private:
    static constexpr qsizetype kMaxEntries = 512;
    QMutex mutex_;
    QHash<QString, PatternPtr> cache_;
};

PatternCache& cache() {
    static PatternCache instance;
    return instance;
}

std::atomic<int> g_stepBudget{kDefaultRegexStepBudget};

// Counts engine steps over a whole operation (all finds together) and stops the engine when
// the budget is spent, so that many slow matches can't add up to an unbounded run either.
UBool U_CALLCONV onMatchStep(const void* context, int32_t /*steps*/) {
    auto* budget = static_cast<RegexBudget*>(const_cast<void*>(context));
    return budget->spend();
}

// One matcher over one subject, with the work budget attached. `ok()` is false when the
// pattern did not compile or the engine failed (including running out of budget).
class BoundedMatcher {
public:
    BoundedMatcher(const QString& subject, const QString& pattern, RegexBudget* shared = nullptr)
        : pattern_(cache().get(pattern)),
          subject_(false, reinterpret_cast<const UChar*>(subject.utf16()),
                   static_cast<int32_t>(subject.size())),
          own_(g_stepBudget.load(std::memory_order_relaxed)),
          budget_(shared ? shared : &own_) {
        if (budget_->exhausted()) {
            status_ = U_REGEX_STOPPED_BY_CALLER;
            return;
        }
        if (!pattern_) {
            status_ = U_REGEX_RULE_SYNTAX;
            return;
        }
        matcher_.reset(pattern_->matcher(status_));
        if (U_FAILURE(status_)) {
            return;
        }
        matcher_->reset(subject_);
        matcher_->setMatchCallback(onMatchStep, budget_, status_);
    }

    bool ok() const { return U_SUCCESS(status_); }

    bool find() {
        if (!ok()) {
            return false;
        }
        const bool found = matcher_->find(status_);
        return found && ok();
    }

    int groupCount() const { return matcher_->groupCount(); }

    // Start and end of group `group` in the current match; start -1 when it took no part.
    std::pair<int32_t, int32_t> range(int group) {
        const int32_t start = matcher_->start(group, status_);
        const int32_t end = matcher_->end(group, status_);
        return {start, end};
    }

    icu::RegexMatcher& matcher() { return *matcher_; }
    UErrorCode& status() { return status_; }

private:
    PatternPtr pattern_;
    icu::UnicodeString subject_;  // read-only alias of the caller's QString
    RegexBudget own_;
    RegexBudget* budget_;
    UErrorCode status_ = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher_;
};

QStringList components(BoundedMatcher& m, const QString& subject) {
    const int groups = m.groupCount();
    QStringList list;
    list.reserve(groups + 1);
    for (int g = 0; g <= groups; ++g) {
        const auto [start, end] = m.range(g);
        if (start < 0 || end <= start) {
            list.append(QStringLiteral(""));
        } else {
            list.append(subject.mid(start, end - start));
        }
    }
    return list;
}

}  // namespace

namespace {

// The components of a match found by a SpanPattern, as components() gives ICU's.
QStringList spanComponents(const QString& subject,
                           const QList<std::pair<qsizetype, qsizetype>>& spans) {
    QStringList list;
    list.reserve(spans.size());
    for (const auto& [from, to] : spans) {
        list.append(from < 0 || to <= from ? QStringLiteral("") : subject.mid(from, to - from));
    }
    return list;
}

QStringList firstComponents(const QString& subject, const QString& pattern, RegexBudget* budget) {
    // An empty subject has no components, even for a pattern that matches empty text.
    if (subject.isEmpty()) {
        return {};
    }
    // The patterns a SpanPattern takes (a page's title, say) need no ICU at all: a run that
    // reads nothing else never pays for ICU's start-up.
    if (const std::optional<SpanPattern> spans = SpanPattern::compile(pattern)) {
        RegexBudget own(g_stepBudget.load(std::memory_order_relaxed));
        QList<std::pair<qsizetype, qsizetype>> found;
        return spans->find(subject, 0, subject.size(), budget ? *budget : own, found) ==
                       SpanPattern::Outcome::Found
                   ? spanComponents(subject, found)
                   : QStringList{};
    }
    BoundedMatcher m(subject, pattern, budget);
    if (!m.find()) {
        return {};
    }
    QStringList list = components(m, subject);
    return m.ok() ? list : QStringList{};
}

QList<QStringList> allComponents(const QString& subject, const QString& pattern,
                                 RegexBudget* budget) {
    if (subject.isEmpty()) {
        return {};
    }
    BoundedMatcher m(subject, pattern, budget);
    QList<QStringList> all;
    while (m.find()) {
        all.append(components(m, subject));
    }
    // Running out of budget part-way gives nothing rather than a truncated list: a caller
    // can't tell a cut-off page from a complete one.
    return m.ok() ? all : QList<QStringList>{};
}

}  // namespace

RegexBudget::RegexBudget(int steps) : remaining_(steps) {}

class RangeMatcher::Impl {
public:
    Impl(const QString& subject, const QString& pattern, RegexBudget& budget)
        : subject_(subject), budget_(budget), spans_(SpanPattern::compile(pattern)) {
        if (!spans_) {
            matcher_.emplace(subject, pattern, &budget);
        }
    }

    const QString& subject() const { return subject_; }

    // The first match inside [start, end): true with where its components lie in `groups`
    // when wanted.
    bool findIn(qsizetype start, qsizetype end, RangeMatcher::Groups* groups) {
        if (start < 0 || end > subject_.size() || start >= end) {
            return false;
        }
        if (spans_) {
            RangeMatcher::Groups& found = groups ? *groups : scratch_;
            found.clear();
            return spans_->find(subject_, start, end, budget_, found) ==
                   SpanPattern::Outcome::Found;
        }
        if (!matcher_->ok()) {
            return false;
        }
        // A region with ICU's default bounds (anchoring, opaque) is what a copy of the range
        // would be, without the copy, the pattern lookup and a new matcher for every range.
        matcher_->matcher().region(start, end, matcher_->status());
        if (!matcher_->find()) {
            return false;
        }
        if (groups) {
            groups->clear();
            for (int g = 0; g <= matcher_->groupCount(); ++g) {
                const auto [from, to] = matcher_->range(g);
                groups->append({from, to});
            }
            if (!matcher_->ok()) {
                groups->clear();
                return false;
            }
        }
        return true;
    }

private:
    const QString& subject_;
    RegexBudget& budget_;
    std::optional<SpanPattern> spans_;       // the quick way, for the patterns it takes
    std::optional<BoundedMatcher> matcher_;  // ICU, for every other pattern
    RangeMatcher::Groups scratch_;           // where a match nobody asked about lies
};

RangeMatcher::RangeMatcher(const QString& subject, const QString& pattern, RegexBudget& budget)
    : impl_(std::make_unique<Impl>(subject, pattern, budget)) {}

RangeMatcher::~RangeMatcher() = default;

QStringList RangeMatcher::firstComponents(qsizetype start, qsizetype end) {
    Groups groups;
    return impl_->findIn(start, end, &groups) ? spanComponents(impl_->subject(), groups)
                                              : QStringList{};
}

bool RangeMatcher::findGroups(qsizetype start, qsizetype end, Groups& groups) {
    groups.clear();
    return impl_->findIn(start, end, &groups);
}

bool RangeMatcher::matches(qsizetype start, qsizetype end) {
    return impl_->findIn(start, end, nullptr);
}

QStringList captureComponentsMatchedByRegex(const QString& subject, const QString& pattern) {
    return firstComponents(subject, pattern, nullptr);
}

QStringList captureComponentsMatchedByRegex(const QString& subject, const QString& pattern,
                                            RegexBudget& budget) {
    return firstComponents(subject, pattern, &budget);
}

QList<QStringList> arrayOfCaptureComponentsMatchedByRegex(const QString& subject,
                                                          const QString& pattern) {
    return allComponents(subject, pattern, nullptr);
}

QList<QStringList> arrayOfCaptureComponentsMatchedByRegex(const QString& subject,
                                                          const QString& pattern,
                                                          RegexBudget& budget) {
    return allComponents(subject, pattern, &budget);
}

std::optional<QString> stringByMatching(const QString& subject, const QString& pattern,
                                        int capture) {
    BoundedMatcher m(subject, pattern);
    if (!m.find() || capture < 0 || capture > m.groupCount()) {
        return std::nullopt;
    }
    const auto [start, end] = m.range(capture);
    if (!m.ok() || start < 0) {
        return std::nullopt;
    }
    return subject.mid(start, end - start);
}

int replaceOccurrencesOfRegex(QString& subject, const QString& pattern, const QString& tmpl) {
    BoundedMatcher m(subject, pattern);
    const icu::UnicodeString replacement(reinterpret_cast<const UChar*>(tmpl.utf16()),
                                         static_cast<int32_t>(tmpl.size()));
    icu::UnicodeString result;
    int count = 0;
    while (m.find()) {
        m.matcher().appendReplacement(result, replacement, m.status());
        if (!m.ok()) {
            return 0;
        }
        ++count;
    }
    if (!m.ok() || count == 0) {
        return 0;
    }
    m.matcher().appendTail(result);
    subject = QString(reinterpret_cast<const QChar*>(result.getBuffer()), result.length());
    return count;
}

bool isValidRegex(const QString& pattern) {
    return cache().get(pattern) != nullptr;
}

void clearRegexCache() {
    cache().clear();
}

void setRegexStepBudget(int steps) {
    g_stepBudget.store(steps > 0 ? steps : kDefaultRegexStepBudget, std::memory_order_relaxed);
}

int regexStepBudget() {
    return g_stepBudget.load(std::memory_order_relaxed);
}

}  // namespace pelloran::text
