#pragma once
// The list screens' rules that need no widget: what the load-more row says, when it takes
// touches, and the favorites block arithmetic. Pure functions.

#include <QString>
#include <optional>

namespace pelloran {

// The load-more row's date: the last listed torrent's "yyyy-MM-dd HH:mm:ss" date as
// "EEE, MMM d h:mm a" in the current locale; "" when there is none or it does not parse.
QString loadMoreDateText(const std::optional<QString>& lastDate);

// The load-more row answers while fewer than two operations are queued (a page load running
// plus one more would make the next page come twice).
inline constexpr int kLoadMoreQueueLimit = 2;
inline bool loadMoreTakesTouches(int queuedOperations) {
    return queuedOperations < kLoadMoreQueueLimit;
}

// A block of favorites pages: `count` pages from `first`, after which the list's current page
// is `currentPage` (always one less than the last page fetched).
struct FavoritesBlock {
    int first = 1;
    int count = 1;
    int currentPage = 0;
    friend bool operator==(const FavoritesBlock&, const FavoritesBlock&) = default;
};
// The first block: pages 1..n.
FavoritesBlock firstFavoritesBlock(int pagesPerBlock);
// The block the load-more row asks for, given the page it asks for (current page + 1, the last
// page already fetched): the n pages after that one.
FavoritesBlock nextFavoritesBlock(int requestedPage, int pagesPerBlock);

}  // namespace pelloran
