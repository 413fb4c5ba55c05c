#include "lists/search_list_view_controller.h"

#include "lists/torrent_list_model.h"
#include "settings/display_settings_state.h"
#include "settings/display_settings_view_controller.h"
#include "site/site_urls.h"
#include "store/settings_store.h"
#include "ui/header_view.h"
#include "ui/search_bar.h"
#include "ui/ui_scale.h"

#include <QListView>
#include <QMouseEvent>

namespace pelloran {

SearchListViewController::SearchListViewController(const ScreenContext& context, QWidget* parent)
    : AllListViewController(context, parent), searchBar_(new SearchBar(this)) {
    setTitle(QStringLiteral("Search"));
    setTabBarItem(QStringLiteral("Search"), QStringLiteral("tabbar-search.png"));
    headerView()->setButtonsShown(false, true, false);
    connect(headerView(), &HeaderView::search, this, &SearchListViewController::didSearch);
    connect(searchBar_, &SearchBar::searchButtonClicked, this,
            &SearchListViewController::searchBarSearchButtonClicked);
    tableView()->viewport()->installEventFilter(this);
}

SearchListViewController::~SearchListViewController() = default;

qreal SearchListViewController::tableTopPoints() const {
    return HeaderView::kBarHeightPoints + SearchBar::kHeightPoints;
}

void SearchListViewController::fetchOnAppear() {
    // Nothing is fetched here: the list waits for a search and keeps its rows afterwards.
    if (currentPage_ < 1) {
        currentPage_ = 1;
    }
}

void SearchListViewController::searchBarSearchButtonClicked() {
    const QString words = searchBar_->text();
    if (words.trimmed().isEmpty()) {
        return;  // nothing to look for
    }
    model()->setTorrentData(TorrentList{});
    currentPage_ = 1;
    noMoreTorrents_ = true;  // no load-more row while the first page loads
    lastFailure_.reset();
    updateFooter();
    searchString_ = escapedSearchWords(words);
    searchBar_->resignFirstResponder();
    fetchPage(1);
}

void SearchListViewController::fetchPage(int page) {
    if (!searchString_) {
        return;
    }
    SettingsStore& settings = *context().site.settings;
    settings.refresh();
    startListingFetch(searchUrl(*context().site.config, settings, *searchString_, page),
                      QStringLiteral("Searching..."));
}

void SearchListViewController::didRefresh() {
    if (!searchString_ || isLoadingPage()) {
        return;  // before the first search there is nothing to send
    }
    model()->setTorrentData(TorrentList{});
    currentPage_ = 1;
    noMoreTorrents_ = true;
    lastFailure_.reset();
    updateFooter();
    fetchPage(1);
}

void SearchListViewController::didSearch() {
    if (!settingsState_) {
        settingsState_ =
            std::make_unique<DisplaySettingsState>(*context().site.settings, ListingKind::Search);
    }
    pushScreen(new DisplaySettingsViewController(*settingsState_));
}

void SearchListViewController::resizeEvent(QResizeEvent* event) {
    AllListViewController::resizeEvent(event);
    const UiScale s = UiScale::of(this);
    searchBar_->setGeometry(0, s.px(HeaderView::kBarHeightPoints), width(),
                            s.px(SearchBar::kHeightPoints));
    headerView()->raise();
}

void SearchListViewController::mousePressEvent(QMouseEvent* event) {
    searchBar_->resignFirstResponder();  // a touch outside the controls puts the keyboard away
    AllListViewController::mousePressEvent(event);
}

bool SearchListViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tableView()->viewport() && event->type() == QEvent::MouseButtonPress) {
        searchBar_->resignFirstResponder();
    }
    return AllListViewController::eventFilter(watched, event);
}

}  // namespace pelloran
