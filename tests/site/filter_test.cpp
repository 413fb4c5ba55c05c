// Favorite filters: keywords as pattern pieces, the saved list, and run-away keywords.

#include "site/filter.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

TEST(FilterTest, KeywordIsACaseSensitivePatternPiece) {
    struct Case {
        QString keyword, name;
        bool accepted;
    };
    const Case cases[] = {
        {QStringLiteral("x264"), QStringLiteral("Movie.720p.x264-GRP"), true},
        {QStringLiteral("x264"), QStringLiteral("Movie.720p.X264-GRP"), false},
        {QStringLiteral("720p|1080p"), QStringLiteral("Show.1080p.WEB"), true},
        {QStringLiteral("720p|1080p"), QStringLiteral("Show.720p.WEB"), true},
        {QStringLiteral("720p|1080p"), QStringLiteral("Show.480p.WEB"), false},
        {QString(), QStringLiteral("anything at all"), true},
        {QStringLiteral("S0.E0"), QStringLiteral("Show.S02E05"), true},
        {QStringLiteral("(unbalanced"), QStringLiteral("(unbalanced"), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Filter(c.keyword).isAccepted(c.name), c.accepted)
            << c.keyword.toStdString() << " / " << c.name.toStdString();
    }
}

// Both front ends refuse a keyword by this rule, so it must judge the keyword inside the
// pattern it is looked for with, not on its own: ")(" is no pattern alone but a valid piece.
TEST(FilterTest, AKeywordIsUsableWhenItMakesAPatternPiece) {
    const std::pair<QString, bool> cases[] = {
        {QStringLiteral("x264"), true},    {QString(), true},
        {QStringLiteral(")("), true},      {QStringLiteral("(unbalanced"), false},
        {QStringLiteral("a)"), false},     {QStringLiteral("[x"), false},
        {QStringLiteral("a{2,1}"), false},
    };
    for (const auto& [keyword, usable] : cases) {
        EXPECT_EQ(Filter::isUsable(keyword), usable) << keyword.toStdString();
    }
}

TEST(FilterTest, FilteringKeepsOrderAndNoFiltersKeepNothing) {
    TorrentList rows;
    for (const char* name : {"A.x264", "B.xvid", "C.x264", "D.1080p"}) {
        rows.append(std::make_shared<Torrent>());
        rows.last()->setName(QString::fromLatin1(name));
    }
    const TorrentList kept =
        filterTorrents(rows, {Filter(QStringLiteral("x264")), Filter(QStringLiteral("1080p"))});
    ASSERT_EQ(kept.size(), 3);
    EXPECT_EQ(kept[0]->name(), QStringLiteral("A.x264"));
    EXPECT_EQ(kept[1]->name(), QStringLiteral("C.x264"));
    EXPECT_EQ(kept[2]->name(), QStringLiteral("D.1080p"));
    EXPECT_TRUE(filterTorrents(rows, {}).isEmpty());
}

TEST(FilterTest, RunAwayKeywordEndsAndOthersStillMatch) {
    // Catastrophic backtracking on names of repeated letters.
    TorrentList rows;
    for (int i = 0; i < 25; ++i) {
        rows.append(std::make_shared<Torrent>());
        rows.last()->setName(QString(40, QLatin1Char('a')) + QStringLiteral("!x264"));
    }
    const TorrentList kept =
        filterTorrents(rows, {Filter(QStringLiteral("(a+)+$")), Filter(QStringLiteral("x264"))});
    EXPECT_EQ(kept.size(), 25);  // the sane keyword still accepts every row
}

TEST(FilterTest, SavedListAddsAndRemovesInOrder) {
    test::TempHome home;
    SettingsStore settings(home.path());
    EXPECT_TRUE(loadFilters(settings).isEmpty());
    addFilter(settings, QStringLiteral("x264"));
    addFilter(settings, QString());  // an empty keyword is kept as typed
    addFilter(settings, QStringLiteral("720p|1080p"));
    SettingsStore reread(home.path());
    const QList<Filter> filters = loadFilters(reread);
    ASSERT_EQ(filters.size(), 3);
    EXPECT_EQ(filters[1].regex(), QString());
    EXPECT_TRUE(removeFilter(settings, 1));
    EXPECT_FALSE(removeFilter(settings, 5));
    EXPECT_TRUE(removeFilter(settings, 0));
    EXPECT_TRUE(removeFilter(settings, 0));
    // Deleting the last one leaves an empty list, present in the store.
    EXPECT_EQ(SettingsStore(home.path()).stringList(keys::filters), QStringList());
}

TEST(FilterTest, RemovingWhatTheMemberSawSurvivesAnotherProgramsChange) {
    // The screen showed "a,b,c"; another program then stored `now`; the member deletes row 1
    // ("b").
    struct Case {
        QStringList now;
        bool removed;
        QStringList after;
    };
    const Case cases[] = {
        {{"a", "b", "c"}, true, {"a", "c"}},
        {{"new", "a", "b", "c"}, true, {"new", "a", "c"}},  // moved down: still "b" goes
        {{"b"}, true, {}},                                  // moved up
        {{"a", "c"}, false, {"a", "c"}},                    // already gone: nothing else goes
    };
    for (const Case& c : cases) {
        test::TempHome home;
        SettingsStore settings(home.path());
        SettingsStore other(home.path());
        other.setValue(keys::filters, c.now);
        ASSERT_TRUE(other.flush());
        EXPECT_EQ(removeFilter(settings, 1, QStringLiteral("b")), c.removed)
            << c.now.join(',').toStdString();
        EXPECT_EQ(SettingsStore(home.path()).stringList(keys::filters), c.after)
            << c.now.join(',').toStdString();
    }
}

}  // namespace
}  // namespace pelloran
