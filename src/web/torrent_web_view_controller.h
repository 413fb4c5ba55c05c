#pragma once
// A torrent's details page, opened from row `tag` of a torrent list. The page is fetched on the
// screen's queue (the overlay shows meanwhile) and cut down to the torrent block; the bar holds
// back, previous page, IMDb (when the page links to it), forward and download. Download sends
// the row through the list, as the row's own button does; links to .torrent files are inert.
// After the first page, any further page can always return to the details page (stackCounter).
// UI thread only.

#include "web/web_view_controller.h"

#include <QSet>

namespace pelloran::web {

struct DetailsPage;

class TorrentWebViewController : public WebViewController {
    Q_OBJECT
public:
    TorrentWebViewController(WebSession& session, const ScreenContext& context, const QString& url,
                             int tag, ListScreenTarget* target, QWidget* parent = nullptr);

    int tag() const { return tag_; }
    const std::optional<QString>& imdb() const { return imdb_; }
    // 0 while the first page is shown, 1 once any load has finished.
    int stackCounter() const { return stackCounter_; }

    ToolbarButton* previousButton() const { return backbutton_; }
    ToolbarButton* forwardButton() const { return forwardbutton_; }
    ToolbarButton* downloadButton() const { return download_; }
    ToolbarButton* imdbButton() const { return imdbButton_; }  // null without a link

    void goBack();
    void goForward();
    void didTapImdbButton();

protected:
    void webViewDidStartLoad() override;
    void webViewDidFinishLoad() override;
    void webViewDidFailLoad() override;
    bool shouldStartLoad(const QUrl& url, WebPage::NavigationType type) override;

private:
    void detailsArrived(const DetailsPage& details);
    void updateHistoryButtons();
    void noteHistoryEntry();

    int tag_;
    std::optional<QString> imdb_;
    int stackCounter_ = 0;
    // History entries that hold a page text this screen loaded itself. The engine can't bring
    // those back from its history, so the way back to them shows the text again.
    QSet<int> ownEntries_;
    BarArea* right_ = nullptr;
    ToolbarButton* backbutton_ = nullptr;
    ToolbarButton* forwardbutton_ = nullptr;
    ToolbarButton* download_ = nullptr;
    ToolbarButton* imdbButton_ = nullptr;
};

}  // namespace pelloran::web
