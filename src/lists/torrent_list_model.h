#pragma once
// The rows of a torrent list: the records shown (absent until a page has arrived), then one
// footer row: the load-more row, or a quiet line saying why nothing (more) came, or nothing.
// UI thread only.

#include "site/torrent.h"
#include "ui/list_cell_roles.h"

#include <QAbstractListModel>
#include <functional>
#include <optional>

namespace pelloran {

class TorrentListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum class Footer { None, LoadMore, Status };
    using RowKind = ListRowKind;

    explicit TorrentListModel(QObject* parent = nullptr);

    // The records; absent until the first page arrives (and again after a fetch that brought
    // nothing into an empty list, so that the next appearance asks again).
    const std::optional<TorrentList>& torrentData() const { return torrents_; }
    bool hasTorrentData() const { return torrents_.has_value(); }
    int recordCount() const { return torrents_ ? int(torrents_->size()) : 0; }
    TorrentPtr torrentAt(int row) const;

    void setTorrentData(std::optional<TorrentList> torrents);
    // Appends to the records (making them present when they were absent).
    void appendTorrents(const TorrentList& torrents);
    // Marks every record named `name` as sent and redraws those rows.
    void markDownloaded(const QString& name);

    Footer footer() const { return footer_; }
    bool hasLoadMoreRow() const { return footer_ == Footer::LoadMore; }
    // The load-more row with the last torrent's date on it.
    void showLoadMore(const QString& dateText);
    // The quiet line in place of the load-more row.
    void showStatus(const QString& text);
    void hideFooter();
    QString footerText() const { return footerText_; }

    // Whether the load-more row takes touches now (asked at each look).
    void setLoadMoreEnabledWhen(std::function<bool()> test) { loadMoreEnabled_ = std::move(test); }
    bool loadMoreEnabled() const { return !loadMoreEnabled_ || loadMoreEnabled_(); }
    // The load-more row's look may have changed (an operation was queued or finished).
    void loadMoreStateChanged();

    RowKind kindOf(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void setFooter(Footer footer, const QString& text);

    std::optional<TorrentList> torrents_;
    Footer footer_ = Footer::None;
    QString footerText_;
    std::function<bool()> loadMoreEnabled_;
};

}  // namespace pelloran
