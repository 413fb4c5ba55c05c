#include "lists/favorite_list_view_controller.h"

#include "lists/edit_favorite_list_view_controller.h"
#include "lists/list_rules.h"
#include "lists/torrent_list_model.h"
#include "settings/favorite_display_settings_view_controller.h"
#include "store/settings_store.h"
#include "ui/header_view.h"

#include <QToolButton>

namespace pelloran {

FavoriteListViewController::FavoriteListViewController(const ScreenContext& context,
                                                       QWidget* parent)
    : AllListViewController(context, parent),
      scan_(
          context.site, [this](int, const ListingOutcome& outcome) { loadedTorrents(outcome); },
          [this] { blockDone(); }) {
    setTitle(QStringLiteral("Favorite Torrents"));
    setTabBarItem(QStringLiteral("Favorites"), QStringLiteral("tabbar-favorites.png"));
    headerView()->setButtonsShown(true, false, true);
    connect(headerView(), &HeaderView::filters, this, &FavoriteListViewController::didFilters);
    // Filters and page count are read when the tab appears, as every fetch follows that.
}

FavoriteListViewController::~FavoriteListViewController() = default;

void FavoriteListViewController::fetchOnAppear() {
    SettingsStore& settings = *context().site.settings;
    settings.refresh();  // page count and filters may have been edited in another program
    numPages_ = storedFavoritesPageCount(settings);
    // Filters changed on the edit screen apply to the pages that arrive from now on.
    filters_ = loadFilters(settings);
    if (!model()->hasTorrentData() && !scan_.isScanning()) {
        const FavoritesBlock block = firstFavoritesBlock(numPages_);
        fetchNextXPages(block.count, block.first);
        currentPage_ = block.currentPage;
    }
}

void FavoriteListViewController::fetchNextXPages(int count, int startPage) {
    showLoading(QStringLiteral("Filtering..."));
    setScrollingEnabled(false);
    setRowSelectionEnabled(false);
    if (scan_.isScanning()) {
        pendingBlock_ = std::make_pair(count, startPage);  // starts when this block is done
    } else {
        scan_.setFilters(filters_);
        if (!scan_.start(startPage, count)) {
            blockDone();  // pages out of range: nothing to scan
            return;
        }
    }
    updateTabLock();
    model()->loadMoreStateChanged();
}

void FavoriteListViewController::fetchPage(int page) {
    const FavoritesBlock block = nextFavoritesBlock(page, numPages_);
    currentPage_ = block.currentPage;
    fetchNextXPages(block.count, block.first);
}

void FavoriteListViewController::loadedTorrents(const ListingOutcome& outcome) {
    if (refreshed_) {
        model()->setTorrentData(TorrentList{});
        refreshed_ = false;
    }
    // Whether the page had rows, before the filters took any away.
    noMoreTorrents_ = outcome.status != ListingStatus::Rows;
    setRowSelectionEnabled(true);
    lastDate_ = outcome.status == ListingStatus::Rows ? outcome.lastDate : std::nullopt;
    const bool failed =
        outcome.status == ListingStatus::NoPage || outcome.status == ListingStatus::NotUnderstood;
    lastFailure_ = failed ? std::optional<ListingStatus>(outcome.status) : std::nullopt;
    lastSlowDown_ = outcome.slowDown;
    // The rows arrive filtered (on the fetch thread): no keyword matching here.
    warmImagesFor(outcome.torrents);
    model()->appendTorrents(outcome.torrents);
    if (failed && model()->recordCount() == 0 && !scan_.isScanning()) {
        model()->setTorrentData(std::nullopt);  // nothing came: the next appearance asks again
    }
    updateFooter();
    model()->loadMoreStateChanged();
}

void FavoriteListViewController::blockDone() {
    if (pendingBlock_) {
        const auto [count, first] = *pendingBlock_;
        pendingBlock_.reset();
        scan_.setFilters(filters_);
        if (scan_.start(first, count)) {
            return;
        }
    }
    // The last page of the block is in.
    setScrollingEnabled(true);
    hideLoading();
    setRowSelectionEnabled(true);
    headerView()->refreshButton()->setEnabled(true);
    if (lastFailure_ && model()->recordCount() == 0) {
        model()->setTorrentData(std::nullopt);
    }
    updateFooter();
    updateTabLock();
    model()->loadMoreStateChanged();
}

void FavoriteListViewController::didRefresh() {
    if (scan_.isScanning()) {
        return;
    }
    scrollToTop();
    setScrollingEnabled(false);
    refreshed_ = true;
    headerView()->refreshButton()->setEnabled(false);
    const FavoritesBlock block = firstFavoritesBlock(numPages_);
    fetchNextXPages(block.count, block.first);
    currentPage_ = block.currentPage;
}

void FavoriteListViewController::didSettings() {
    pushScreen(new FavoriteDisplaySettingsViewController(*context().site.settings));
}

void FavoriteListViewController::didFilters() {
    pushScreen(new EditFavoriteListViewController(context()));
}

bool FavoriteListViewController::loadMoreTakesTouchesNow() const {
    return loadMoreTakesTouches(scan_.inFlight()) &&
           AllListViewController::loadMoreTakesTouchesNow();
}

bool FavoriteListViewController::isBusy() const {
    return scan_.isScanning() || pendingBlock_.has_value() || AllListViewController::isBusy();
}

}  // namespace pelloran
