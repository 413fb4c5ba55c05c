#pragma once
// The "All Torrents" tab: the newest torrents of the member's chosen categories, a site
// listing page at a time, with a load-more row at the end; and the base of the other torrent
// lists (search, favorites, snatch list), which share its header, rows, paging, pictures,
// sending of torrents to the member's client and the details and profile pages.
//
// Every page and every push runs on the screen's serial queue, pictures on its width-3 queue;
// results come back on the UI thread. While a page loads the tab bar is locked and rows can't be
// chosen; while pushes are outstanding the sending overlay counts them and the tab bar stays
// locked. A list whose fetch brought no page says so in one quiet line where the rows would be.
// UI thread only.

#include "net/operation_queue.h"
#include "remote/alert_sink.h"
#include "remote/push_options.h"
#include "site/listing_outcome.h"
#include "ui/list_screen_target.h"
#include "ui/screen_context.h"
#include "ui/view_controller.h"

#include <QPixmap>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QListView;
class QTimer;

namespace pelloran {

class DisplaySettingsState;
class FlatCellDelegate;
class HeaderView;
class ListImageCache;
class TorrentListModel;

// The quiet lines a list shows when a page did not come.
inline constexpr char kSiteUnreachableLine[] =
    "The site could not be reached. Refresh to try again.";
inline constexpr char kPageNotUnderstoodLine[] =
    "The site's page was not understood: the site may have changed its pages.";

class AllListViewController : public ViewController, public ListScreenTarget {
    Q_OBJECT
public:
    explicit AllListViewController(const ScreenContext& context, QWidget* parent = nullptr);
    // Waits for the operations still running; their results are dropped.
    ~AllListViewController() override;

    void viewWillAppear() override;

    // Header actions.
    virtual void didRefresh();
    virtual void didSettings();
    // The member's own profile when `name` is absent.
    void didSelectProfile(const std::optional<QString>& name = std::nullopt);

    // Asks for listing page `page`.
    virtual void fetchPage(int page);
    // A page arrived (or why none did).
    virtual void loadedTorrents(const ListingOutcome& outcome);

    // A row was chosen: the load-more row asks for the next page, a torrent opens its details.
    virtual void didSelectRow(int row);
    // Sends row `tag` to the member's client (its download button, or the details page's).
    void didTapDownloadButton(int tag) override;
    // Sends row `row` with `overrides` over the client's push defaults ("Send paused").
    void sendRow(int row, const PushOptions& overrides);
    // Sends that torrent, on whichever row it is by then, if any: what a menu or a sheet
    // opened for it sends, whatever a reload did to the rows meanwhile.
    void sendTorrent(const TorrentPtr& torrent, const PushOptions& overrides);
    // "Send to…": the sheet for one push with options of its own, over the window.
    // It holds the torrent itself, never its row.
    void showSendToSheet(int row);
    void showSendToSheet(const TorrentPtr& torrent);
    void webPageLoaded() override;
    // The header shows the member bar as last read.
    void reloadHeaderView();

    TorrentListModel* model() const { return model_; }
    QListView* tableView() const { return table_; }
    HeaderView* headerView() const { return header_; }
    int currentPage() const { return currentPage_; }
    int sendingTorrentCount() const { return sendingTorrentCount_; }
    bool noMoreTorrents() const { return noMoreTorrents_; }
    bool isLoadingPage() const { return pageLoads_ > 0; }
    bool rowSelectionEnabled() const { return rowSelectionEnabled_; }
    bool scrollingEnabled() const { return scrollingEnabled_; }
    int queuedOperations() const { return operationQueue_.operationCount(); }
    // Waiting for a page, a push or a web page: the tab bar stays locked meanwhile.
    virtual bool isBusy() const;

protected:
    const ScreenContext& context() const { return context_; }
    // Called as the screen appears: the first appearance (or the next one after a fetch that
    // brought nothing) asks for page 1.
    virtual void fetchOnAppear();
    // Where the list starts, in points from the screen's top (the search bar goes above it).
    virtual qreal tableTopPoints() const;
    // The row drawing; the snatch list draws its own rows.
    virtual FlatCellDelegate* makeDelegate();
    // The cells' images: ours by name, pictures by address (loaded three at a time).
    std::function<QPixmap(const std::optional<QString>&, const QSize&)> cellImages();
    // Has the pictures of `rows` drawn ahead, off the UI thread, before the rows are shown.
    void warmImagesFor(const TorrentList& rows);
    // Whether the list has further pages (the snatch list has one).
    virtual bool hasPaging() const { return true; }
    // What to tell the member when a row has no download path (nothing is sent).
    virtual Alert noDownloadPathAlert() const;
    // Whether the load-more row takes touches now.
    virtual bool loadMoreTakesTouchesNow() const;

    // Starts a page fetch of `url` under the loading overlay with `overlayText`.
    void startListingFetch(const QString& url, const QString& overlayText);
    // The page-arrival steps every list shares; `lastDate` is the page's last date before
    // filtering, `rows` the rows to append.
    void pageArrived(const ListingOutcome& outcome, const TorrentList& rows);
    // The load-more row, the quiet line, or nothing, from the list's state.
    void updateFooter();

    void showLoading(const QString& text);
    void hideLoading();
    void setRowSelectionEnabled(bool enabled);
    void setScrollingEnabled(bool enabled);
    // Locks the tab bar while this screen is busy.
    void updateTabLock();
    void scrollToTop();
    // Opens a screen made for this list on its navigation stack (the bar shows over it).
    void pushScreen(ViewController* screen);

    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    OperationQueue& operationQueue() { return operationQueue_; }

    int currentPage_ = 0;
    bool noMoreTorrents_ = false;
    bool refreshed_ = false;
    int pageLoads_ = 0;  // page fetches queued and not yet arrived
    std::optional<QString> lastDate_;
    std::optional<ListingStatus> lastFailure_;  // NoPage or NotUnderstood of the last arrival
    std::optional<SlowDown> lastSlowDown_;      // with lastFailure_: the site asked to slow down

private:
    void downloadedFinished(const std::optional<QString>& name);
    void openDetails(int row);
    void showRowMenu(const QPoint& pos);
    // A long press on a row's download button: where it began, and whether it opened the menu.
    QPoint longPressAt_;
    bool longPressed_ = false;
    QTimer* longPress_ = nullptr;
    void deselectSoon();

    ScreenContext context_;
    TorrentListModel* model_;
    HeaderView* header_;
    QListView* table_;
    ListImageCache* images_ = nullptr;
    std::unique_ptr<DisplaySettingsState> browseSettings_;  // made on the first visit, kept
    int sendingTorrentCount_ = 0;
    bool rowSelectionEnabled_ = true;
    bool scrollingEnabled_ = true;
    bool waitingForWebPage_ = false;
    int pressedRow_ = -1;
    bool pressedAccessory_ = false;
    // Last, so they are destroyed first: their operations deliver to this screen.
    OperationQueue imageOperationQueue_{3};
    OperationQueue operationQueue_{1};
};

}  // namespace pelloran
