#pragma once
// The "Search" tab: the site's search listing for the text the member submits, a page at a
// time, restricted, ordered and sorted by the search display settings. Nothing is fetched
// until the first search; a new search or a refresh starts again at page 1. The page counter
// survives leaving the tab, so the load-more row goes on where it was. UI thread only.

#include "lists/all_list_view_controller.h"

#include <memory>

namespace pelloran {

class DisplaySettingsState;
class SearchBar;

class SearchListViewController : public AllListViewController {
    Q_OBJECT
public:
    explicit SearchListViewController(const ScreenContext& context, QWidget* parent = nullptr);
    ~SearchListViewController() override;

    void didRefresh() override;
    void fetchPage(int page) override;
    // The header's search button: the search display settings.
    void didSearch();
    // The search bar's search button (Return).
    void searchBarSearchButtonClicked();

    SearchBar* searchBar() const { return searchBar_; }
    // The last submitted search text, escaped; absent before the first search.
    const std::optional<QString>& searchString() const { return searchString_; }

protected:
    void fetchOnAppear() override;
    qreal tableTopPoints() const override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SearchBar* searchBar_;
    std::optional<QString> searchString_;
    std::unique_ptr<DisplaySettingsState> settingsState_;  // made on the first visit, kept
};

}  // namespace pelloran
