#include "web/torrent_web_view_controller.h"

#include "net/operation_queue.h"
#include "ui/list_screen_target.h"
#include "web/bar_buttons.h"
#include "web/fetch_web_page.h"
#include "web/page_scripts.h"
#include "web/web_rules.h"

#include <QWebEngineHistory>

namespace pelloran::web {

namespace {
constexpr QSizeF kLeftArea{160, 30};
// 180 points of buttons, placed 20 points in from the bar's right end.
constexpr QSizeF kRightArea{200, 30};
}  // namespace

TorrentWebViewController::TorrentWebViewController(WebSession& session,
                                                   const ScreenContext& context, const QString& url,
                                                   int tag, ListScreenTarget* target,
                                                   QWidget* parent)
    : WebViewController(session, context, target, parent), tag_(tag) {
    auto* left = new BarArea(kLeftArea, this);
    left->hide();
    auto* back = new ToolbarButton(QStringLiteral("back.png"), left);
    left->place(back, 0);
    connect(back, &QAbstractButton::clicked, this, &WebViewController::cancel);
    backbutton_ = new ToolbarButton(QStringLiteral("previous-toolbar.png"), left);
    left->place(backbutton_, 65);
    connect(backbutton_, &QAbstractButton::clicked, this, &TorrentWebViewController::goBack);
    setLeftBarWidget(left);

    right_ = new BarArea(kRightArea, this);
    right_->hide();
    forwardbutton_ = new ToolbarButton(QStringLiteral("forward-toolbar.png"), right_);
    right_->place(forwardbutton_, 65);
    connect(forwardbutton_, &QAbstractButton::clicked, this, &TorrentWebViewController::goForward);
    download_ = new ToolbarButton(QStringLiteral("download-toolbar.png"), right_);
    download_->setProperty("tag", tag_);
    right_->place(download_, 130);
    connect(download_, &QAbstractButton::clicked, this, [this] {
        if (ListScreenTarget* list = this->target()) {
            list->didTapDownloadButton(tag_);
        }
    });
    setRightBarWidget(right_);
    backbutton_->setEnabled(false);
    forwardbutton_->setEnabled(false);

    showLoading(0);
    operationQueue().addOperation(std::make_unique<FetchPageDetails>(
        url, context.site, this, [this](const DetailsPage& details) { detailsArrived(details); }));
}

void TorrentWebViewController::detailsArrived(const DetailsPage& details) {
    imdb_ = details.imdb;
    if (imdb_ && !imdbButton_) {
        imdbButton_ = new ToolbarButton(QStringLiteral("imdb-toolbar.png"), right_);
        right_->place(imdbButton_, 0);
        connect(imdbButton_, &QAbstractButton::clicked, this,
                &TorrentWebViewController::didTapImdbButton);
    }
    stackCounter_ = 0;
    initializeWebView(details.page);
}

void TorrentWebViewController::goBack() {
    QWebEngineHistory* history = webPage()->history();
    if (history->canGoBack() && !ownEntries_.contains(history->currentItemIndex() - 1)) {
        history->back();
        return;
    }
    // Nothing to go back to in the view, or the details page itself: it is shown again.
    showPage(result().value_or(QString()), baseUrl());
    backbutton_->setEnabled(false);
    stackCounter_ = 0;
}

void TorrentWebViewController::goForward() {
    webPage()->history()->forward();
}

void TorrentWebViewController::didTapImdbButton() {
    if (imdb_) {
        loadRequest(QUrl(*imdb_));
    }
}

void TorrentWebViewController::webViewDidStartLoad() {
    backbutton_->setEnabled(false);
    forwardbutton_->setEnabled(false);
    showLoading(0);
}

void TorrentWebViewController::webViewDidFinishLoad() {
    noteHistoryEntry();
    runScript(kTorrentScript);
    hideLoading();
    updateHistoryButtons();
    stackCounter_ = 1;
    // The list that opened this page may have locked its rows and tabs for it.
    releaseTarget();
}

void TorrentWebViewController::webViewDidFailLoad() {
    hideLoading();
    updateHistoryButtons();
    releaseTarget();
}

void TorrentWebViewController::noteHistoryEntry() {
    const int current = webPage()->history()->currentItemIndex();
    // A new entry replaces every entry from its place on.
    ownEntries_.removeIf([current](int entry) { return entry >= current; });
    if (WebPage::isOwnContent(webPage()->requestedUrl())) {
        ownEntries_.insert(current);
    }
}

void TorrentWebViewController::updateHistoryButtons() {
    QWebEngineHistory* history = webPage()->history();
    forwardbutton_->setEnabled(history->canGoForward());
    backbutton_->setEnabled(history->canGoBack() || stackCounter_ == 1);
}

bool TorrentWebViewController::shouldStartLoad(const QUrl& url, WebPage::NavigationType) {
    // The torrent itself goes through the download button and the list.
    return !isTorrentFileLink(url);
}

}  // namespace pelloran::web
