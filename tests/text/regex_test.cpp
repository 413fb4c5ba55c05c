#include "text/regex.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <atomic>
#include <climits>
#include <thread>
#include <vector>

#include "text/listing_fixture.h"
#include "text/qstring_printer.h"

using namespace Qt::StringLiterals;

namespace pelloran::text {
namespace {

// Restores the default work budget after a test that changes it.
class BudgetGuard {
public:
    explicit BudgetGuard(int steps) { setRegexStepBudget(steps); }
    ~BudgetGuard() { setRegexStepBudget(0); }
    BudgetGuard(const BudgetGuard&) = delete;
    BudgetGuard& operator=(const BudgetGuard&) = delete;
};

struct CaptureCase {
    const char* what;
    QString subject;
    QString pattern;
    QStringList expected;
};

void PrintTo(const CaptureCase& c, std::ostream* os) {
    *os << c.what;
}

class CaptureComponents : public testing::TestWithParam<CaptureCase> {};

TEST_P(CaptureComponents, FirstMatchWithEveryGroup) {
    const CaptureCase& c = GetParam();
    EXPECT_EQ(captureComponentsMatchedByRegex(c.subject, c.pattern), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Regex, CaptureComponents,
    testing::Values(
        CaptureCase{"title on one line",
                    u"<head><title>Browse :: Site</title></head>"_s,
                    fixture::kTitlePattern,
                    {u"<title>Browse :: Site</title>"_s, u"Browse :: Site"_s}},
        CaptureCase{"dot does not cross LF",
                    u"<title>Browse ::\nSite</title>"_s,
                    fixture::kTitlePattern,
                    {}},
        CaptureCase{"dot does not cross CR",
                    u"<title>Browse ::\rSite</title>"_s,
                    fixture::kTitlePattern,
                    {}},
        CaptureCase{"only the first match",
                    u"<b>1</b><b>2</b>"_s,
                    u"<b>(\\d)</b>"_s,
                    {u"<b>1</b>"_s, u"1"_s}},
        CaptureCase{
            "optional group absent is empty", u"ac"_s, u"(a)(b)?"_s, {u"a"_s, u"a"_s, u""_s}},
        CaptureCase{
            "group matching nothing is empty", u"ac"_s, u"(a)(b*)"_s, {u"a"_s, u"a"_s, u""_s}},
        CaptureCase{"case-sensitive", u"Show.720p.X264-GRP"_s, u".*(x264).*"_s, {}},
        CaptureCase{"same case matches",
                    u"Show.720p.x264-GRP"_s,
                    u".*(x264).*"_s,
                    {u"Show.720p.x264-GRP"_s, u"x264"_s}},
        CaptureCase{"bar is literal in a class",
                    u"<td>1.2 |B</td>"_s,
                    u"<td>(.*?) ([G|M]B)"_s,
                    {u"<td>1.2 |B"_s, u"1.2"_s, u"|B"_s}},
        CaptureCase{
            "no comments mode, space and hash literal", u"x a #b"_s, u"a #b"_s, {u"a #b"_s}},
        CaptureCase{"no multi-line mode", u"a\nb"_s, u"^b"_s, {}},
        CaptureCase{"brackets span lines",
                    u"<p>a\r\nb</p>"_s,
                    u"<p>([\\s\\S]*)</p>"_s,
                    {u"<p>a\r\nb</p>"_s, u"a\r\nb"_s}},
        CaptureCase{"unbalanced parenthesis", u"Show (2012)"_s, u".*((2012).*"_s, {}},
        CaptureCase{"empty subject", u""_s, u"x*"_s, {}},
        CaptureCase{"positions are UTF-16 units",
                    u"\U0001F600<b>é</b>"_s,
                    u"<b>(.)</b>"_s,
                    {u"<b>é</b>"_s, u"é"_s}}));

TEST(ArrayOfCaptureComponents, MatchesInOrderWithoutOverlap) {
    EXPECT_EQ(
        arrayOfCaptureComponentsMatchedByRegex(u"<b>1</b>x<b>2</b>\n<b>3</b>"_s, u"<b>(\\d)</b>"_s),
        (QList<QStringList>{
            {u"<b>1</b>"_s, u"1"_s}, {u"<b>2</b>"_s, u"2"_s}, {u"<b>3</b>"_s, u"3"_s}}));
    EXPECT_EQ(arrayOfCaptureComponentsMatchedByRegex(u"aaaaa"_s, u"aa"_s),
              (QList<QStringList>{{u"aa"_s}, {u"aa"_s}}));
}

TEST(ArrayOfCaptureComponents, GroupsThatTookNoPartAreEmpty) {
    EXPECT_EQ(arrayOfCaptureComponentsMatchedByRegex(u"ab"_s, u"(a)|(b)"_s),
              (QList<QStringList>{{u"a"_s, u"a"_s, u""_s}, {u"b"_s, u""_s, u"b"_s}}));
}

TEST(ArrayOfCaptureComponents, EmptyMatchAdvancesOneUnit) {
    EXPECT_EQ(arrayOfCaptureComponentsMatchedByRegex(u"axb"_s, u"x*"_s),
              (QList<QStringList>{{u""_s}, {u"x"_s}, {u""_s}, {u""_s}}));
}

TEST(ArrayOfCaptureComponents, NoMatchEmptySubjectAndBadPatternGiveEmptyList) {
    EXPECT_TRUE(arrayOfCaptureComponentsMatchedByRegex(u"abc"_s, u"x"_s).isEmpty());
    EXPECT_TRUE(arrayOfCaptureComponentsMatchedByRegex(u""_s, u"x*"_s).isEmpty());
    EXPECT_TRUE(
        arrayOfCaptureComponentsMatchedByRegex(u"Show (2012)"_s, u".*((2012).*"_s).isEmpty());
}

// A range reads exactly as a copy of that piece would: anchors, lookarounds and lazy spans
// stop at its bounds, and the components are the piece's own text.
TEST(RangeMatcher, RangeReadsLikeACopyOfThatPiece) {
    const QString subject = u"<r>a1</r>\n<r>b22</r>\n<r>c</r>"_s;
    const struct {
        const char* what;
        QString pattern;
        qsizetype start, end;
    } cases[] = {
        {"captures", u"<r>([a-z])(\\d*)</r>"_s, 10, 20},
        {"start anchor at the range start", u"^<r>(.)"_s, 10, 20},
        {"end anchor at the range end", u"(\\d+)</r>\n$"_s, 10, 21},
        {"lookahead sees nothing past the end", u"\\d+</r>(?=\n)"_s, 10, 20},
        {"lazy span stops at the end", u"b[\\s\\S]*?c"_s, 10, 21},
        {"group that took no part", u"(x)?<r>(b)"_s, 10, 20},
        {"empty range", u"x*"_s, 5, 5},
        {"bad pattern", u"(<r>"_s, 0, 9},
    };
    RegexBudget budget(regexStepBudget());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RangeMatcher m(subject, c.pattern, budget);
        const QStringList copy =
            captureComponentsMatchedByRegex(subject.mid(c.start, c.end - c.start), c.pattern);
        EXPECT_EQ(m.firstComponents(c.start, c.end), copy);
        EXPECT_EQ(m.matches(c.start, c.end), !copy.isEmpty());
    }
    // The same matcher serves range after range, in any order.
    RangeMatcher rows(subject, u"<r>(\\w+)</r>"_s, budget);
    EXPECT_EQ(rows.firstComponents(21, 29), (QStringList{u"<r>c</r>"_s, u"c"_s}));
    EXPECT_EQ(rows.firstComponents(0, 9), (QStringList{u"<r>a1</r>"_s, u"a1"_s}));
    EXPECT_TRUE(rows.firstComponents(0, 8).isEmpty());
}

TEST(RangeMatcher, SpentBudgetEndsEveryRange) {
    const QString page = fixture::listingPage(100, false);
    RegexBudget budget(2);
    RangeMatcher m(page, fixture::kListingRowPattern, budget);
    EXPECT_TRUE(m.firstComponents(0, page.size()).isEmpty());
    EXPECT_TRUE(budget.exhausted());
    RangeMatcher after(u"abc"_s, u"b"_s, budget);
    EXPECT_FALSE(after.matches(0, 3));
}

TEST(StringByMatching, AbsentOnlyWhenNothingOrNoPart) {
    const QString page = u"Recaptcha.create(...{ challenge : 'ab12-_x', server: 'x' })"_s;
    EXPECT_EQ(stringByMatching(page, u"challenge[ ]*:[ ]*'(.*?)'"_s, 1), u"ab12-_x"_s);
    EXPECT_EQ(stringByMatching(page, u"challenge[ ]*:[ ]*'(.*?)'"_s, 0),
              u"challenge : 'ab12-_x'"_s);
    EXPECT_EQ(stringByMatching(u"key: ''"_s, u"key: '(.*?)'"_s, 1), u""_s);
    EXPECT_EQ(stringByMatching(u"ac"_s, u"(a)(b)?"_s, 2), std::nullopt);
    EXPECT_EQ(stringByMatching(u"no key here"_s, u"challenge[ ]*:[ ]*'(.*?)'"_s, 1), std::nullopt);
    EXPECT_EQ(stringByMatching(u"(x"_s, u"(x"_s, 0), std::nullopt);
}

TEST(ReplaceOccurrences, EmptyTemplateRemovesEveryBlock) {
    QString page =
        u"<p>keep</p><div class=\"ad\">one\n</div><p>too</p><div class=\"ad\">two</div>"_s;
    EXPECT_EQ(replaceOccurrencesOfRegex(page, u"<div class=\"ad\">[\\s\\S]*?</div>"_s, u""_s), 2);
    EXPECT_EQ(page, u"<p>keep</p><p>too</p>"_s);

    QString whole = u"<div>x</div>"_s;
    EXPECT_EQ(replaceOccurrencesOfRegex(whole, u"<div>.*</div>"_s, u""_s), 1);
    EXPECT_EQ(whole, u""_s);
}

TEST(ReplaceOccurrences, NoMatchOrBadPatternLeavesText) {
    const QString original = u"<p>keep</p>"_s;
    QString page = original;
    EXPECT_EQ(replaceOccurrencesOfRegex(page, u"<div>.*</div>"_s, u""_s), 0);
    EXPECT_EQ(page, original);
    EXPECT_EQ(replaceOccurrencesOfRegex(page, u"(<p>"_s, u""_s), 0);
    EXPECT_EQ(page, original);
}

TEST(ReplaceOccurrences, TemplateExpandsGroupsAndEscapes) {
    QString text = u"a=1, b=2"_s;
    EXPECT_EQ(replaceOccurrencesOfRegex(text, u"(\\w)=(\\d)"_s, u"$2\\$$1"_s), 2);
    EXPECT_EQ(text, u"1$a, 2$b"_s);
}

TEST(RegexValidity, ReportsWhetherPatternCompiles) {
    EXPECT_TRUE(isValidRegex(fixture::kListingRowPattern));
    EXPECT_FALSE(isValidRegex(u".*(abc.*"_s));
}

// Several fetch threads and the UI thread use the operations at once, while the cache is
// emptied now and then (memory pressure). Every result must still be right.
TEST(RegexConcurrency, ThreadsShareTheCacheSafely) {
    const QString page = fixture::listingPage(5, true);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 500; ++i) {
                switch ((i + t) % 5) {
                    case 0:
                        failures += arrayOfCaptureComponentsMatchedByRegex(
                                        page, fixture::kListingRowPattern)
                                        .size() != 5;
                        break;
                    case 1:
                        failures += captureComponentsMatchedByRegex(page, fixture::kTitlePattern)
                                        .value(1) != u"Browse :: Pelloran Tracker"_s;
                        break;
                    case 2:
                        failures += stringByMatching(page, u"id=\"r(\\d+)\""_s, 1) != u"1001"_s;
                        break;
                    case 3: {
                        QString copy = page;
                        failures +=
                            replaceOccurrencesOfRegex(copy, u"<tr class=\"t[^>]*>"_s, u""_s) != 5;
                        break;
                    }
                    default:
                        // A favorite filter: a keyword pattern against a torrent name.
                        failures += captureComponentsMatchedByRegex(
                                        u"Show.S01E%1.720p.x264"_s.arg(i), u".*(S01E%1).*"_s.arg(i))
                                        .value(1) != u"S01E%1"_s.arg(i);
                        if (t == 0 && i % 30 == 0) {
                            clearRegexCache();
                        }
                        break;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
}

// A page of table rows that never carry the category image sends the row pattern into
// catastrophic backtracking (hours of work). The work budget must end it quickly and give
// the no-match result; the bound is the one the listing reader promises the member.
TEST(RegexBudget, RunawayListingPatternEndsWithinOneSecond) {
    const QString page = fixture::listingPage(100, false);
    ASSERT_GT(page.size(), 240 * 1000);

    QElapsedTimer timer;
    timer.start();
    const QList<QStringList> rows =
        arrayOfCaptureComponentsMatchedByRegex(page, fixture::kListingRowPattern);
    const qint64 elapsedMs = timer.elapsed();

    EXPECT_TRUE(rows.isEmpty());
    EXPECT_LT(elapsedMs, 1000);

    // Every operation gives its own no-match result when the budget runs out.
    QString copy = page;
    EXPECT_TRUE(captureComponentsMatchedByRegex(page, fixture::kListingRowPattern).isEmpty());
    EXPECT_EQ(stringByMatching(page, fixture::kListingRowPattern, 1), std::nullopt);
    EXPECT_EQ(replaceOccurrencesOfRegex(copy, fixture::kListingRowPattern, u""_s), 0);
    EXPECT_EQ(copy, page);
}

TEST(RegexBudget, ExhaustedBudgetGivesNothingRatherThanATruncatedList) {
    const QString page = fixture::listingPage(100, true);
    const BudgetGuard guard(1);
    EXPECT_TRUE(
        arrayOfCaptureComponentsMatchedByRegex(page, fixture::kListingRowPattern).isEmpty());
}

TEST(RegexBudget, FullListingPageParsesWithinDefaultBudget) {
    const QString page = fixture::listingPage(100, true);
    ASSERT_GT(page.size(), 240 * 1000);

    const QList<QStringList> rows =
        arrayOfCaptureComponentsMatchedByRegex(page, fixture::kListingRowPattern);
    ASSERT_EQ(rows.size(), 100);
    for (int i = 0; i < rows.size(); ++i) {
        const int id = 1001 + i;
        const QStringList& row = rows[i];
        ASSERT_EQ(row.size(), 10);
        EXPECT_EQ(row[1], u"cat_%1.png"_s.arg(id % 12));
        EXPECT_EQ(row[2], u"details.php?id=%1&amp;hit=1"_s.arg(id));
        EXPECT_EQ(row[3], u"Some.Show.S01E%1.720p.HDTV.x264-GRP &amp; Friends"_s.arg(id));
        EXPECT_EQ(row[4], u"2012-03-05 14:07:09"_s);
        EXPECT_EQ(row[5], u"download.php/%1/Some Show S01E%1.torrent"_s.arg(id));
        EXPECT_EQ(row[6], u"1.%1"_s.arg(id % 100));
        EXPECT_EQ(row[7], u"GB"_s);
        EXPECT_EQ(row[8], QString::number(id % 50 + 1));
        EXPECT_EQ(row[9], QString::number(id % 9));
    }
}

}  // namespace
}  // namespace pelloran::text
