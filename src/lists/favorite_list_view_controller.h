#pragma once
// The "Favorites" tab: the torrents, among the newest N listing pages of all categories, whose
// names match one of the member's saved keywords. A block of N pages (the favorites page count,
// 5 unless chosen) is fetched up to ten at once; the pages are filtered on their fetch threads
// and shown in page order as they arrive. The load-more row scans the next N pages.
// UI thread only.

#include "lists/all_list_view_controller.h"
#include "site/favorites_scan.h"
#include "site/filter.h"

#include <QList>
#include <optional>

namespace pelloran {

class FavoriteListViewController : public AllListViewController {
    Q_OBJECT
public:
    explicit FavoriteListViewController(const ScreenContext& context, QWidget* parent = nullptr);
    ~FavoriteListViewController() override;

    void didRefresh() override;
    void didSettings() override;
    // The header's filters button: a new "Favorite filters" screen.
    void didFilters();
    // The load-more row: `page` is the last page already fetched; the next N pages follow.
    void fetchPage(int page) override;
    void loadedTorrents(const ListingOutcome& outcome) override;

    // Scans `count` pages from `startPage` (after the block in progress, if any).
    void fetchNextXPages(int count, int startPage);

    int numPages() const { return numPages_; }
    const QList<Filter>& filters() const { return filters_; }
    bool isScanning() const { return scan_.isScanning(); }
    int pagesInFlight() const { return scan_.inFlight(); }
    bool isBusy() const override;

protected:
    void fetchOnAppear() override;
    bool loadMoreTakesTouchesNow() const override;

private:
    void blockDone();

    FavoritesScan scan_;
    QList<Filter> filters_;
    int numPages_ = kDefaultFavoritesPages;
    std::optional<std::pair<int, int>> pendingBlock_;  // count, first page
};

}  // namespace pelloran
