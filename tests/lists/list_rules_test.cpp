// The list rules that need no widget: the load-more row's date, when it takes touches, and the
// favorites block arithmetic.

#include "lists/list_rules.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

TEST(ListRules, LoadMoreDateIsTheLastDateReformattedOrNothing) {
    const QString shown = loadMoreDateText(QStringLiteral("2012-06-30 21:14:05"));
    EXPECT_TRUE(shown.contains(QStringLiteral("Jun 30"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("9:14"))) << shown.toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("21:"))) << shown.toStdString();
    for (const std::optional<QString>& last :
         {std::optional<QString>(), std::optional<QString>(QString()),
          std::optional<QString>(QStringLiteral("30/06/2012 21:14")),
          std::optional<QString>(QStringLiteral("yesterday"))}) {
        EXPECT_EQ(loadMoreDateText(last), QString())
            << last.value_or(QStringLiteral("(absent)")).toStdString();
    }
}

TEST(ListRules, LoadMoreTakesTouchesWhileFewerThanTwoOperationsAreQueued) {
    EXPECT_TRUE(loadMoreTakesTouches(0));
    EXPECT_TRUE(loadMoreTakesTouches(1));
    EXPECT_FALSE(loadMoreTakesTouches(2));
    EXPECT_FALSE(loadMoreTakesTouches(5));
}

TEST(ListRules, FavoritesBlocksFollowOnFromTheLastPageFetched) {
    struct Case {
        int pagesPerBlock;
        FavoritesBlock first;
        FavoritesBlock second;  // load-more asks for current page + 1
    };
    const Case cases[] = {
        {5, {1, 5, 4}, {6, 5, 9}},
        {1, {1, 1, 0}, {2, 1, 1}},
        {12, {1, 12, 11}, {13, 12, 23}},
        {0, {1, 1, 0}, {2, 1, 1}},  // a block has at least one page
    };
    for (const Case& c : cases) {
        const FavoritesBlock first = firstFavoritesBlock(c.pagesPerBlock);
        EXPECT_EQ(first, c.first) << c.pagesPerBlock;
        const FavoritesBlock second = nextFavoritesBlock(first.currentPage + 1, c.pagesPerBlock);
        EXPECT_EQ(second, c.second) << c.pagesPerBlock;
        // The current page stays one less than the last page fetched.
        EXPECT_EQ(second.currentPage, second.first + second.count - 2) << c.pagesPerBlock;
    }
}

}  // namespace
}  // namespace pelloran
