#include "site/favorites_scan.h"

#include "net/page_order.h"
#include "site/site_config.h"
#include "site/site_urls.h"
#include "site/torrent_listing.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"

namespace pelloran {

namespace {

// One favorites page, its rows filtered on the fetch thread.
class FilteredPageFetch : public FetchPageAllTorrents {
public:
    FilteredPageFetch(const QString& url, const SiteContext& site, QObject* context,
                      Callback callback, QList<Filter> filters)
        : FetchPageAllTorrents(url, site, context, std::move(callback)),
          filters_(std::move(filters)) {}

protected:
    void main() override {
        FetchPageAllTorrents::main();
        ListingOutcome outcome = returnObject();
        outcome.torrents = filterTorrents(outcome.torrents, filters_);
        setReturnObject(std::move(outcome));
    }

private:
    QList<Filter> filters_;
};

}  // namespace

int storedFavoritesPageCount(const SettingsStore& settings) {
    const std::optional<QString> stored = settings.string(keys::favoritesCount);
    if (!stored) {
        return kDefaultFavoritesPages;
    }
    bool ok = false;
    const qlonglong pages = stored->trimmed().toLongLong(&ok);
    if (!ok || pages < 1) {
        return 1;
    }
    return int(std::min<qlonglong>(pages, kMaxFavoritesPages));
}

FavoritesScan::FavoritesScan(const SiteContext& site, PageHandler onPage, DoneHandler onDone)
    : site_(site),
      onPage_(std::move(onPage)),
      onDone_(std::move(onDone)),
      guard_(std::make_unique<QObject>()) {}

FavoritesScan::~FavoritesScan() {
    guard_.reset();  // deliveries still queued for the UI thread are dropped
    queue_.waitForDone();
}

bool FavoritesScan::start(int first, int count) {
    if (inFlight_ > 0 || count < 1 || count > kMaxFavoritesPages || first < 1 ||
        first > kMaxPageNumber - (count - 1)) {
        return false;
    }
    first_ = first;
    next_ = first;
    last_ = first + count - 1;
    stopped_ = false;
    blockFilters_ = filters_;
    order_ = std::make_shared<PageOrder>(first, 0);
    while (next_ <= last_ && inFlight_ < kWindow) {
        launch(next_++);
    }
    return true;
}

void FavoritesScan::stop() {
    stopped_ = true;
}

void FavoritesScan::launch(int page) {
    ++inFlight_;
    order_->add(page);
    auto deliver = [this, page](const ListingOutcome& outcome) { delivered(page, outcome); };
    std::unique_ptr<FetchPageAllTorrents> op =
        blockFilters_
            ? std::make_unique<FilteredPageFetch>(favoritesUrl(*site_.config, page), site_,
                                                  guard_.get(), deliver, *blockFilters_)
            : std::make_unique<FetchPageAllTorrents>(favoritesUrl(*site_.config, page), site_,
                                                     guard_.get(), deliver);
    // The block's first page waits for nothing; every later one for the page before it, which
    // was made earlier and so is in the list until it has been handed over.
    op->setPageOrder(order_, page, page == first_ ? std::nullopt : std::optional<int>(page - 1));
    queue_.addOperation(std::move(op));
}

void FavoritesScan::delivered(int page, const ListingOutcome& outcome) {
    --inFlight_;
    if (onPage_) {
        onPage_(page, outcome);
    }
    if (!stopped_ && next_ <= last_) {
        launch(next_++);
    }
    if (inFlight_ == 0 && onDone_) {
        onDone_();
    }
}

}  // namespace pelloran
