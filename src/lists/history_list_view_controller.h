#pragma once
// The "D/l History" tab: the names of the torrents sent to the member's client, newest first.
// Entries can be deleted (a swipe to the left, the Delete key or the context menu); the
// torrent stays on the client. Reloaded from the store each time the tab is shown.
// No network traffic. UI thread only.

#include "ui/screen_context.h"
#include "ui/view_controller.h"

#include <QAbstractListModel>
#include <QStringList>

class QListView;

namespace pelloran {

class DownloadHistory;
class SettingsStore;

// Rows of the history: row r shows entry (count - 1 - r) of the stored list (oldest first).
class HistoryListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit HistoryListModel(QObject* parent = nullptr);

    void setHistory(const QStringList& oldestFirst);
    const QStringList& historyTorrents() const { return history_; }
    // The stored-list index row `row` shows.
    int entryIndex(int row) const { return int(history_.size()) - 1 - row; }
    void removeRowShown(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QStringList history_;
};

class HistoryListViewController : public ViewController {
    Q_OBJECT
public:
    static constexpr int kRowHeightPoints = 37;

    explicit HistoryListViewController(const ScreenContext& context, QWidget* parent = nullptr);

    void viewWillAppear() override;
    // Reads the stored history again and redraws.
    void reloadHistory();
    // Deletes the entry row `row` shows, from the store (flushed) and from the list.
    void deleteRow(int row);

    QListView* listView() const { return list_; }
    HistoryListModel* model() const { return model_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    DownloadHistory* history_;
    SettingsStore* settings_;
    HistoryListModel* model_;
    QListView* list_;
};

}  // namespace pelloran
