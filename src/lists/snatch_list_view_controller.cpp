#include "lists/snatch_list_view_controller.h"

#include "lists/torrent_list_model.h"
#include "site/site_urls.h"
#include "site/snatch_list.h"
#include "site/user_info.h"
#include "ui/header_view.h"
#include "ui/torrent_snatch_item_delegate.h"
#include "ui/ui_scale.h"

#include <QListView>

namespace pelloran {

SnatchListViewController::SnatchListViewController(const ScreenContext& context, QWidget* parent)
    : AllListViewController(context, parent) {
    setTitle(QStringLiteral("Snatch List"));
    setTabBarItem(QStringLiteral("My SnatchList"), QStringLiteral("tabbar-history.png"));
    headerView()->setButtonsShown(false, false, false);
}

FlatCellDelegate* SnatchListViewController::makeDelegate() {
    return new TorrentSnatchItemDelegate(tableView(), cellImages());
}

void SnatchListViewController::fetchOnAppear() {
    if (!model()->hasTorrentData() && !isLoadingPage()) {
        fetchSnatchList();
    }
}

void SnatchListViewController::fetchPage(int) {
    fetchSnatchList();  // one page only
}

void SnatchListViewController::fetchSnatchList() {
    const UserInfo* info = context().site.userInfo;
    const QString body = snatchListBody(info ? info->ids().value_or(QString()) : QString());
    showLoading(QStringLiteral("Loading..."));
    ++pageLoads_;
    setRowSelectionEnabled(false);
    updateTabLock();
    operationQueue().addOperation(std::make_unique<FetchPageAllSnatchTorrents>(
        snatchListUrl(*context().site.config), body, context().site.net, this,
        [this](const std::optional<TorrentList>& rows) { loadedSnatchList(rows); }));
}

void SnatchListViewController::loadedSnatchList(const std::optional<TorrentList>& rows) {
    ListingOutcome outcome;
    outcome.status = !rows             ? ListingStatus::NoPage
                     : rows->isEmpty() ? ListingStatus::Empty
                                       : ListingStatus::Rows;
    if (rows) {
        outcome.torrents = *rows;
    }
    loadedTorrents(outcome);
}

void SnatchListViewController::didRefresh() {
    if (isLoadingPage()) {
        return;
    }
    scrollToTop();
    setScrollingEnabled(false);
    refreshed_ = true;
    model()->setTorrentData(TorrentList{});
    fetchSnatchList();
}

Alert SnatchListViewController::noDownloadPathAlert() const {
    return Alert{QString::fromLatin1(kSnatchSendTitle),
                 QString::fromLatin1(kSnatchSendMessage),
                 {QStringLiteral("Ok")}};
}

}  // namespace pelloran
