// The quick matcher against ICU itself: for the page readers' row patterns and small patterns
// made of each kind of piece, on rows built from the patterns' own pieces with random gaps,
// repeats and noise (line terminators, surrogate pairs, near-misses), every range and every
// whole subject gives exactly the components ICU gives.

#include "text/span_pattern.h"
#include "site/snatch_list.h"
#include "site/torrent_listing.h"
#include "text/regex.h"

#include <gtest/gtest.h>

#include <unicode/regex.h>
#include <QRandomGenerator>
#include <memory>

#include "text/listing_fixture.h"
#include "text/qstring_printer.h"

using namespace Qt::StringLiterals;

namespace pelloran::text {
namespace {

// Cuts a pattern into what a matching subject is made of: its literal text, with each span,
// group mark and set replaced by a short sample of what it may take.
QStringList piecesOf(const QString& pattern) {
    QStringList pieces;
    QString literal;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'\\' && i + 1 < pattern.size() && pattern[i + 1] != u's') {
            literal += pattern[++i];
        } else if (c == u'[' || c == u'.' || c == u'(' || c == u')' || c == u'*' || c == u'?') {
            if (!literal.isEmpty()) {
                pieces.append(literal);
                literal.clear();
            }
            if (c == u'[') {
                const qsizetype close = pattern.indexOf(u']', i);
                const QString set = pattern.mid(i + 1, close - i - 1);
                pieces.append(set.startsWith(u'\\') ? u"x\ny"_s : set.left(1));
                i = close;
            } else if (c == u'.') {
                pieces.append(u"v=1"_s);
            }
        } else {
            literal += c;
        }
    }
    if (!literal.isEmpty()) {
        pieces.append(literal);
    }
    return pieces;
}

// ICU's own components of the first match in `subject` (the regex.h rules: a group that took
// no part or matched nothing is "", no match is an empty list).
QStringList icuComponents(const QString& subject, const QString& pattern) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    const icu::UnicodeString icuPattern(reinterpret_cast<const UChar*>(pattern.utf16()),
                                        static_cast<int32_t>(pattern.size()));
    const std::unique_ptr<icu::RegexPattern> compiled(
        icu::RegexPattern::compile(icuPattern, 0, parseError, status));
    const icu::UnicodeString text(reinterpret_cast<const UChar*>(subject.utf16()),
                                  static_cast<int32_t>(subject.size()));
    const std::unique_ptr<icu::RegexMatcher> m(compiled->matcher(text, status));
    QStringList list;
    if (U_FAILURE(status) || subject.isEmpty() || !m->find(status)) {
        return list;
    }
    for (int g = 0; g <= m->groupCount(); ++g) {
        const int32_t from = m->start(g, status);
        const int32_t to = m->end(g, status);
        list.append(from < 0 || to <= from ? u""_s : subject.mid(from, to - from));
    }
    return list;
}

QString subjectFrom(const QStringList& pieces, QRandomGenerator& random) {
    static const QStringList noise{
        u"\n"_s, u"\r\n"_s, u"\u2028"_s, u"\u0085"_s, u"\U0001F600"_s, u"\xD800"_s, u"é"_s,
        u" "_s,  u">"_s,    u"\""_s,     u"<td>"_s,   u"</td>"_s,      u" MB"_s,    u"KB"_s};
    QString subject;
    const int rows = 1 + random.bounded(3);
    for (int row = 0; row < rows; ++row) {
        for (const QString& piece : pieces) {
            // A change for 28 in `range`: about three per row for a long pattern.
            const int range = std::max(100, 28 * static_cast<int>(pieces.size()) / 3);
            const int roll = random.bounded(range);
            if (roll < 6) {
                continue;  // dropped
            }
            if (roll < 16) {
                subject += noise[random.bounded(noise.size())];
            } else if (roll < 22) {
                subject += piece.left(random.bounded(piece.size() + 1));  // a near-miss
            }
            subject += piece;
            if (roll >= 22 && roll < 28) {
                subject += piece;  // repeated: the spans must try the later one too
            }
        }
    }
    return subject;
}

TEST(SpanPattern, GivesWhatIcuGivesForEveryRange) {
    const QString patterns[] = {
        fixture::kListingRowPattern,
        kTorrentRowPattern,
        kSnatchRowPattern,
        u"<td>.*? [G|M]B</td>[\\s\\S]*?<td>[\\s\\S]*?<td.*?>.*?</td>[\\s\\S]*?<td.*?>.*?</td>"_s,
        u"a(.*)b(.*?)c"_s,
        u"(x[\\s\\S]*)y"_s,
        u"((.*?)=)(.*)"_s,
        u".*?v[\\s\\S]*?=1"_s,
        u"<\\/a>\\\"(.*?)\\\""_s,
    };
    QRandomGenerator random(22);
    RegexBudget budget(1 << 30);
    int missed = 0;
    for (const QString& pattern : patterns) {
        SCOPED_TRACE(pattern.toStdString());
        ASSERT_TRUE(SpanPattern::compile(pattern).has_value());
        const QStringList pieces = piecesOf(pattern);
        int matched = 0;  // the subjects must reach both outcomes, over all the patterns
        for (int round = 0; round < 300; ++round) {
            const QString subject = subjectFrom(pieces, random);
            RangeMatcher matcher(subject, pattern, budget);
            const qsizetype start = random.bounded(subject.size() / 4 + 1);
            const qsizetype end = subject.size() - random.bounded(subject.size() / 4 + 1);
            const QStringList icu = icuComponents(subject.mid(start, end - start), pattern);
            ASSERT_EQ(matcher.firstComponents(start, end), icu) << subject.toStdString();
            ASSERT_EQ(matcher.matches(start, end), !icu.isEmpty());
            ASSERT_EQ(captureComponentsMatchedByRegex(subject, pattern, budget),
                      icuComponents(subject, pattern));
            matched += icu.isEmpty() ? 0 : 1;
        }
        EXPECT_GT(matched, 10);
        missed += 300 - matched;
    }
    EXPECT_GT(missed, 100);
}

TEST(SpanPattern, LeavesOtherPatternsToIcu) {
    for (const QString& pattern :
         {u"a|b"_s, u"(?:a)"_s, u"a+"_s, u"\\d"_s, u"^a"_s, u"a$"_s, u"(a)*"_s, u"[a-z]"_s,
          u"[^a]"_s, u".+"_s, u"x{2}"_s, u"(a"_s, u"a)"_s, u".*+"_s, u""_s}) {
        EXPECT_FALSE(SpanPattern::compile(pattern).has_value()) << pattern.toStdString();
    }
}

}  // namespace
}  // namespace pelloran::text
