#pragma once
// The favorites scan: fetches a block of consecutive listing pages of all categories in
// parallel and hands each page's outcome over in page order, whatever order the site answers
// in. At most kWindow page fetches exist at any moment: the next page's fetch is made when an
// earlier page has been handed over, so a long block costs no more memory than ten pages.
//
// Thread contract: made, started, stopped and destroyed on the UI thread; the handlers run
// there. Destroying the scan drops the deliveries still to come and waits for the fetches in
// flight to end.

#include "net/operation_queue.h"
#include "site/filter.h"
#include "site/listing_outcome.h"
#include "site/site_context.h"

#include <QList>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>

namespace pelloran {

class PageOrder;
class SettingsStore;

// A block covers 1 to kMaxFavoritesPages pages; 5 when the member never chose.
inline constexpr int kMaxFavoritesPages = 100;
inline constexpr int kDefaultFavoritesPages = 5;

// The stored number of pages per block, brought into 1..kMaxFavoritesPages (a stored value
// that isn't a number counts as 1, as the favorites settings screen never writes one).
int storedFavoritesPageCount(const SettingsStore& settings);

class FavoritesScan {
public:
    static constexpr int kWindow = 10;

    using PageHandler = std::function<void(int page, const ListingOutcome& outcome)>;
    using DoneHandler = std::function<void()>;

    // `onPage` gets every page of a block in page order; `onDone` runs once after the last
    // page of the block (or, after stop(), the last page in flight) was handed over.
    FavoritesScan(const SiteContext& site, PageHandler onPage, DoneHandler onDone = {});
    ~FavoritesScan();
    FavoritesScan(const FavoritesScan&) = delete;
    FavoritesScan& operator=(const FavoritesScan&) = delete;

    // Scans `count` pages from `first` on. False, with nothing started, while a block is still
    // being scanned or when the pages are out of range (count 1..kMaxFavoritesPages, pages
    // 1..kMaxPageNumber).
    bool start(int first, int count);
    // Starts no further page fetch; the fetches in flight still hand their pages over.
    void stop();

    // With filters, every page is filtered on its fetch thread, before it waits for its turn:
    // its outcome's torrents are then only the rows some filter accepts (none when the list is
    // empty), while its status and lastDate still tell what the page held. Keyword matching
    // can be slow for a pathological keyword, so it stays off the UI thread. Applies to the
    // pages fetched from the next start() on.
    void setFilters(std::optional<QList<Filter>> filters) { filters_ = std::move(filters); }

    bool isScanning() const { return inFlight_ > 0; }
    int inFlight() const { return inFlight_; }  // page fetches made and not yet handed over

private:
    void launch(int page);
    void delivered(int page, const ListingOutcome& outcome);

    SiteContext site_;
    PageHandler onPage_;
    DoneHandler onDone_;
    std::unique_ptr<QObject> guard_;  // delivery context: gone with the scan
    std::shared_ptr<PageOrder> order_;
    int first_ = 0;
    int next_ = 0;  // the next page to fetch
    int last_ = 0;  // the last page of the block
    int inFlight_ = 0;
    bool stopped_ = false;
    std::optional<QList<Filter>> filters_;
    std::optional<QList<Filter>> blockFilters_;  // the filters of the block being scanned
    OperationQueue queue_{kWindow};
};

}  // namespace pelloran
