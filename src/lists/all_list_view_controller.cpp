#include "lists/all_list_view_controller.h"

#include "lists/list_image_cache.h"
#include "lists/list_rules.h"
#include "lists/send_to_sheet.h"
#include "lists/torrent_list_model.h"
#include "remote/bit_client_registry.h"
#include "remote/fetch_page_download.h"
#include "remote/server_info.h"
#include "settings/display_settings_state.h"
#include "settings/display_settings_view_controller.h"
#include "site/member_sample.h"
#include "site/site_config.h"
#include "site/site_urls.h"
#include "site/torrent_listing.h"
#include "site/user_info.h"
#include "store/ratio_guard.h"
#include "store/settings_store.h"
#include "ui/after_next_frame.h"
#include "ui/colors.h"
#include "ui/header_view.h"
#include "ui/loading_indicator.h"
#include "ui/navigation_stack.h"
#include "ui/overlay_scroll_bar.h"
#include "ui/pending_web_screen.h"
#include "ui/sending_text.h"
#include "ui/tab_bar_controller.h"
#include "ui/torrent_item_delegate.h"
#include "ui/ui_scale.h"
#include "ui/web_screen_factory.h"
#include "ui/web_screen_loader.h"

#include <QListView>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

namespace pelloran {

namespace {
constexpr int kDeselectDelayMs = 250;
constexpr int kSendingOverlayOffset = 50;
}  // namespace

AllListViewController::AllListViewController(const ScreenContext& context, QWidget* parent)
    : ViewController(parent),
      context_(context),
      model_(new TorrentListModel(this)),
      header_(new HeaderView(this)),
      table_(new QListView(this)) {
    setTitle(QStringLiteral("All Torrents"));
    setTabBarItem(QStringLiteral("All Torrents"), QStringLiteral("tabbar-all.png"));
    images_ = new ListImageCache(context_.site.net, imageOperationQueue_, this);

    model_->setLoadMoreEnabledWhen([this] { return loadMoreTakesTouchesNow(); });
    table_->setModel(model_);
    table_->setFrameShape(QFrame::NoFrame);
    table_->setUniformItemSizes(true);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    table_->setMouseTracking(true);
    table_->setStyleSheet(
        QStringLiteral("QListView { background: %1; }").arg(colors::listBackground().name()));
    attachOverlayScrollBar(table_);
    table_->installEventFilter(this);
    table_->viewport()->installEventFilter(this);
    connect(table_, &QListView::customContextMenuRequested, this,
            &AllListViewController::showRowMenu);
    connect(images_, &ListImageCache::imageArrived, table_->viewport(),
            qOverload<>(&QWidget::update));

    header_->setButtonsShown(true, false, false);
    header_->raise();
    connect(header_, &HeaderView::refresh, this, [this] { didRefresh(); });
    connect(header_, &HeaderView::settings, this, [this] { didSettings(); });
    connect(header_, &HeaderView::viewProfile, this, [this] { didSelectProfile(); });

    // The list in front refreshes: only a visible screen's shortcut is live.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::Key_F5)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this] {
            if (header_->refreshButton()->isVisible() && header_->refreshButton()->isEnabled()) {
                didRefresh();
            }
        });
    }
}

AllListViewController::~AllListViewController() = default;

std::function<QPixmap(const std::optional<QString>&, const QSize&)>
AllListViewController::cellImages() {
    return [this](const std::optional<QString>& key, const QSize& points) {
        return images_->image(key, points, UiScale::of(this).factor(), devicePixelRatioF());
    };
}

void AllListViewController::warmImagesFor(const TorrentList& rows) {
    QList<QPair<QString, QSize>> items = {{QStringLiteral("up.jpg"), QSize(10, 10)},
                                          {QStringLiteral("down.jpg"), QSize(10, 10)},
                                          {QStringLiteral("downloaded.png"), QSize(24, 19)},
                                          {QStringLiteral("download.png"), QSize(25, 25)}};
    for (const TorrentPtr& t : rows) {
        const std::optional<QString> type = t->type();
        if (type && !type->contains(QLatin1String("http://"))) {
            const QPair<QString, QSize> item{*type, QSize(33, 33)};
            if (!items.contains(item)) {
                items.append(item);
            }
        }
    }
    images_->warmUp(items, UiScale::of(this).factor(), devicePixelRatioF());
}

FlatCellDelegate* AllListViewController::makeDelegate() {
    return new TorrentItemDelegate(table_, cellImages());
}

qreal AllListViewController::tableTopPoints() const {
    return HeaderView::kBarHeightPoints;
}

void AllListViewController::viewWillAppear() {
    if (!table_->itemDelegate() || !qobject_cast<FlatCellDelegate*>(table_->itemDelegate())) {
        table_->setItemDelegate(makeDelegate());
    }
    if (waitingForWebPage_) {
        webPageLoaded();  // back from a page that never said it had loaded
    }
    reloadHeaderView();
    if (NavigationStack* stack = navigationStack()) {
        stack->setNavigationBarHidden(true);
    }
    fetchOnAppear();
}

void AllListViewController::fetchOnAppear() {
    if (!model_->hasTorrentData() && pageLoads_ == 0) {
        currentPage_ = 1;
        fetchPage(1);
    }
}

void AllListViewController::reloadHeaderView() {
    const UserInfo* info = context_.site.userInfo;
    if (!info) {
        return;
    }
    header_->setMemberBar(info->username().value_or(QString()), info->ratio().value_or(QString()),
                          info->downloaded().value_or(QString()),
                          info->uploaded().value_or(QString()));
    // The bar just read is the latest sample: the guard judges it as the automatic push would.
    const std::optional<double> ratio = ratioFromBarText(info->ratio().value_or(QString()));
    header_->setRatioWarning(ratioGuardHold(warnBelowRatio(*context_.site.settings),
                                            MemberSample{QDateTime(), ratio, 0, 0})
                                 .has_value());
}

void AllListViewController::fetchPage(int page) {
    SettingsStore& settings = *context_.site.settings;
    settings.refresh();  // the display settings may have changed in another program
    startListingFetch(browseUrl(*context_.site.config, settings, page),
                      QStringLiteral("Loading..."));
}

void AllListViewController::startListingFetch(const QString& url, const QString& overlayText) {
    showLoading(overlayText);
    ++pageLoads_;
    setRowSelectionEnabled(false);
    updateTabLock();
    operationQueue_.addOperation(std::make_unique<FetchPageAllTorrents>(
        url, context_.site, this,
        [this](const ListingOutcome& outcome) { loadedTorrents(outcome); }));
    model_->loadMoreStateChanged();
}

void AllListViewController::loadedTorrents(const ListingOutcome& outcome) {
    pageLoads_ = std::max(0, pageLoads_ - 1);
    pageArrived(outcome, outcome.torrents);
}

void AllListViewController::pageArrived(const ListingOutcome& outcome, const TorrentList& rows) {
    if (refreshed_) {
        setScrollingEnabled(true);
        model_->setTorrentData(TorrentList{});
        refreshed_ = false;
    }
    noMoreTorrents_ = outcome.status != ListingStatus::Rows;
    if (!isLoadingPage()) {
        hideLoading();
    }
    setRowSelectionEnabled(!isLoadingPage());
    header_->refreshButton()->setEnabled(true);
    updateTabLock();

    lastDate_ = outcome.status == ListingStatus::Rows ? outcome.lastDate : std::nullopt;
    const bool failed =
        outcome.status == ListingStatus::NoPage || outcome.status == ListingStatus::NotUnderstood;
    lastFailure_ = failed ? std::optional<ListingStatus>(outcome.status) : std::nullopt;
    lastSlowDown_ = outcome.slowDown;
    warmImagesFor(rows);
    // A further page goes below the rows the member is looking at: they stay where they are,
    // wherever the view's current row (the load-more row just tapped) moves to.
    QScrollBar* bar = table_->verticalScrollBar();
    const int place = bar->value();
    const bool keepPlace = model_->recordCount() > 0;
    table_->setCurrentIndex(QModelIndex());
    model_->appendTorrents(rows);
    if (failed && model_->recordCount() == 0) {
        // Nothing usable came into an empty list: the next appearance asks again.
        model_->setTorrentData(std::nullopt);
    }
    updateFooter();
    if (keepPlace) {
        table_->doItemsLayout();  // the new rows count in the scroll range now
        bar->setValue(place);
    }
}

void AllListViewController::updateFooter() {
    if (lastFailure_ && lastSlowDown_) {
        model_->showStatus(slowDownMessage(*lastSlowDown_));
    } else if (lastFailure_) {
        model_->showStatus(QString::fromLatin1(*lastFailure_ == ListingStatus::NotUnderstood
                                                   ? kPageNotUnderstoodLine
                                                   : kSiteUnreachableLine));
    } else if (hasPaging() && model_->hasTorrentData() && !noMoreTorrents_) {
        model_->showLoadMore(loadMoreDateText(lastDate_));
    } else {
        model_->hideFooter();
    }
}

bool AllListViewController::loadMoreTakesTouchesNow() const {
    return loadMoreTakesTouches(operationQueue_.operationCount());
}

void AllListViewController::didSelectRow(int row) {
    if (row < 0 || row >= model_->rowCount()) {
        return;
    }
    const ListRowKind kind = model_->kindOf(row);
    if (kind == ListRowKind::LoadMore) {
        if (!noMoreTorrents_ && loadMoreTakesTouchesNow()) {
            currentPage_ += 1;
            fetchPage(currentPage_);
        }
    } else if (kind == ListRowKind::Torrent) {
        openDetails(row);
    }
    deselectSoon();
}

void AllListViewController::openDetails(int row) {
    const TorrentPtr t = model_->torrentAt(row);
    if (!t || !context_.web) {
        return;
    }
    const QString url = detailsPageUrl(*context_.site.config, t->detailsUrl().value_or(QString()));
    auto make = [this, url, row]() -> ViewController* {
        WebScreenFactory* factory = context_.web->factory();
        // Without the web screens there is no details page; the list stays usable.
        return factory ? factory->createDetailsScreen(url, row, context_, this) : nullptr;
    };
    if (context_.web->wasTried()) {
        pushScreen(make());
    } else {
        // The first web screen of the run loads the plugin: the bar and the overlay show first.
        pushScreen(new PendingWebScreen(make));
    }
}

void AllListViewController::didSelectProfile(const std::optional<QString>& name) {
    if (!context_.web) {
        return;
    }
    const bool firstWebScreen = !context_.web->wasTried();
    if (!firstWebScreen && !context_.web->factory()) {
        return;  // no web screens in this run: the name opens nothing
    }
    const QString who =
        name ? *name
             : (context_.site.userInfo ? context_.site.userInfo->username() : std::nullopt)
                   .value_or(QString());
    showLoading(QStringLiteral("Loading..."));
    waitingForWebPage_ = true;
    setRowSelectionEnabled(false);
    updateTabLock();
    // The profile screen ends the overlay and the lock once its page has loaded.
    const auto open = [this, who] {
        WebScreenFactory* factory = context_.web->factory();
        if (!factory) {
            webPageLoaded();  // no plugin after all: the overlay and the lock end here
            return;
        }
        pushScreen(
            factory->createProfileScreen(profileUrl(*context_.site.config, who), context_, this));
    };
    QWidget* overlay = LoadingIndicator::sharedInstance().box();
    if (firstWebScreen && overlay) {
        // The first web screen of the run loads the plugin: the overlay is drawn before that.
        AfterNextFrame::run(overlay, this, open);
    } else {
        open();
    }
}

void AllListViewController::pushScreen(ViewController* screen) {
    NavigationStack* stack = navigationStack();
    if (!screen) {
        return;
    }
    if (!stack) {
        screen->deleteLater();
        return;
    }
    stack->setNavigationBarHidden(false);
    stack->pushViewController(screen, true);
}

void AllListViewController::webPageLoaded() {
    waitingForWebPage_ = false;
    if (!isLoadingPage()) {
        hideLoading();
        setRowSelectionEnabled(true);
    }
    updateTabLock();
}

Alert AllListViewController::noDownloadPathAlert() const {
    return Alert{QStringLiteral("Can't send this torrent."),
                 QStringLiteral("The site gave no download link for this torrent."),
                 {QStringLiteral("Ok")}};
}

void AllListViewController::didTapDownloadButton(int tag) {
    sendRow(tag, {});
}

void AllListViewController::showSendToSheet(int row) {
    showSendToSheet(model_->torrentAt(row));
}

void AllListViewController::showSendToSheet(const TorrentPtr& t) {
    ServerInfo* server = context_.remote.server;
    if (!t || !server) {
        return;
    }
    const ServerInfo::Values v = server->reloaded();
    QWidget* host = context_.window ? context_.window : window();
    // The sheet lives on the window, which may outlast this screen.
    auto* sheet = new SendToSheet(
        host, t->name().value_or(QString()), pushOptionSupport(v.client.value_or(QString())),
        v.pushDefaults,
        [screen = QPointer<AllListViewController>(this), t](const PushOptions& options) {
            if (screen) {
                screen->sendTorrent(t, options);
            }
        });
    sheet->present();
}

void AllListViewController::sendRow(int tag, const PushOptions& overrides) {
    if (const TorrentPtr t = model_->torrentAt(tag)) {
        sendTorrent(t, overrides);
    }
}

void AllListViewController::sendTorrent(const TorrentPtr& t, const PushOptions& overrides) {
    if (!t) {
        return;
    }
    const std::optional<QString> path = t->downloadUrl();
    if (!path || path->isEmpty()) {
        // No address to fetch the torrent from: nothing is sent, the member is told why.
        if (context_.remote.alerts) {
            context_.remote.alerts->showAlert(noDownloadPathAlert());
        }
        return;
    }
    SendingTorrentIndicator& sending = SendingTorrentIndicator::sharedInstance();
    sending.setParentView(context_.window ? context_.window : window());
    const int before = sendingTorrentCount_;
    ++sendingTorrentCount_;
    sending.setString(sendingTextOnTap(before));
    sending.setOffset(kSendingOverlayOffset);
    sending.showLoadingIndicators();

    const QString url = torrentFileUrl(*context_.site.config, *path);
    auto push = std::make_unique<FetchPageDownload>(
        url, t->name().value_or(QString()), context_.remote, overrides, this,
        [this](std::optional<QString> name) { downloadedFinished(name); });
    push->setSubject({t->name().value_or(QString()),
                      t->detailsUrl().value_or(QString()),
                      bytesFromSizeText(t->size().value_or(QString())),
                      {}});
    setRowSelectionEnabled(!isLoadingPage());
    updateTabLock();
    operationQueue_.addOperation(std::move(push));
    model_->loadMoreStateChanged();
}

void AllListViewController::downloadedFinished(const std::optional<QString>& name) {
    sendingTorrentCount_ = std::max(0, sendingTorrentCount_ - 1);
    SendingTorrentIndicator& sending = SendingTorrentIndicator::sharedInstance();
    sending.setParentView(context_.window ? context_.window : window());
    sending.setString(sendingTextOnFinish(sendingTorrentCount_));
    sending.setOffset(kSendingOverlayOffset);
    sending.showLoadingIndicators();
    if (sendingTorrentCount_ < 1) {
        sending.hideLoadingIndicators();
    }
    if (name) {
        model_->markDownloaded(*name);
    }
    setRowSelectionEnabled(!isLoadingPage() && !waitingForWebPage_);
    updateTabLock();
    model_->loadMoreStateChanged();
}

void AllListViewController::didRefresh() {
    scrollToTop();
    setScrollingEnabled(false);
    refreshed_ = true;
    currentPage_ = 1;
    header_->refreshButton()->setEnabled(false);
    fetchPage(1);
}

void AllListViewController::didSettings() {
    if (!browseSettings_) {
        browseSettings_ =
            std::make_unique<DisplaySettingsState>(*context_.site.settings, ListingKind::Browse);
    }
    pushScreen(new DisplaySettingsViewController(*browseSettings_));
}

void AllListViewController::showLoading(const QString& text) {
    LoadingIndicator& loading = LoadingIndicator::sharedInstance();
    loading.setParentView(context_.window ? context_.window : window());
    loading.setString(text);
    loading.setOffset(0);
    loading.showLoadingIndicators();
}

void AllListViewController::hideLoading() {
    LoadingIndicator::sharedInstance().hideLoadingIndicators();
}

void AllListViewController::setRowSelectionEnabled(bool enabled) {
    rowSelectionEnabled_ = enabled;
}

void AllListViewController::setScrollingEnabled(bool enabled) {
    scrollingEnabled_ = enabled;
    for (QScrollBar* bar : table_->findChildren<QScrollBar*>()) {
        bar->setEnabled(enabled);
    }
}

bool AllListViewController::isBusy() const {
    return isLoadingPage() || sendingTorrentCount_ > 0 || waitingForWebPage_;
}

void AllListViewController::updateTabLock() {
    if (context_.tabBar) {
        context_.tabBar->setItemsEnabled(!isBusy());
    }
}

void AllListViewController::scrollToTop() {
    table_->scrollToTop();
}

void AllListViewController::deselectSoon() {
    QTimer::singleShot(kDeselectDelayMs, table_, [this] { table_->clearSelection(); });
}

void AllListViewController::resizeEvent(QResizeEvent*) {
    const UiScale s = UiScale::of(this);
    const int top = s.px(tableTopPoints());
    table_->setGeometry(0, top, width(), std::max(0, height() - top));
    header_->setGeometry(0, 0, width(), s.px(HeaderView::kHeightPoints));
    header_->raise();
}

}  // namespace pelloran
