#pragma once
// The "My SnatchList" tab: the torrents the member downloaded from the site, newest first, at
// most 50, with size, transfer figures, activity and ratio. Fetched on the first appearance
// only (and again only when that fetch brought no answer); the refresh button fetches it anew.
// Snatch rows carry no download address, so sending one from its details page sends nothing
// and says why. UI thread only.

#include "lists/all_list_view_controller.h"

namespace pelloran {

// What the member is told when a snatch row's details page asks to send it.
inline constexpr char kSnatchSendTitle[] = "Not available here.";
inline constexpr char kSnatchSendMessage[] =
    "This torrent can't be sent from the snatch list: the site gives no download link there. "
    "Find it in All Torrents or Search to send it.";

class SnatchListViewController : public AllListViewController {
    Q_OBJECT
public:
    explicit SnatchListViewController(const ScreenContext& context, QWidget* parent = nullptr);

    void didRefresh() override;
    void fetchPage(int page) override;
    void fetchSnatchList();

protected:
    void fetchOnAppear() override;
    FlatCellDelegate* makeDelegate() override;
    Alert noDownloadPathAlert() const override;
    bool hasPaging() const override { return false; }

private:
    void loadedSnatchList(const std::optional<TorrentList>& torrents);
};

}  // namespace pelloran
