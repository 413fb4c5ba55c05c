#include "lists/torrent_list_model.h"

namespace pelloran {

TorrentListModel::TorrentListModel(QObject* parent) : QAbstractListModel(parent) {}

TorrentPtr TorrentListModel::torrentAt(int row) const {
    if (!torrents_ || row < 0 || row >= torrents_->size()) {
        return nullptr;
    }
    return torrents_->at(row);
}

void TorrentListModel::setTorrentData(std::optional<TorrentList> torrents) {
    beginResetModel();
    torrents_ = std::move(torrents);
    endResetModel();
}

void TorrentListModel::appendTorrents(const TorrentList& torrents) {
    if (!torrents_) {
        beginResetModel();
        torrents_ = torrents;
        endResetModel();
        return;
    }
    if (torrents.isEmpty()) {
        return;
    }
    const int first = recordCount();
    beginInsertRows({}, first, first + int(torrents.size()) - 1);
    torrents_->append(torrents);
    endInsertRows();
}

void TorrentListModel::markDownloaded(const QString& name) {
    if (!torrents_) {
        return;
    }
    for (int row = 0; row < torrents_->size(); ++row) {
        const TorrentPtr& t = torrents_->at(row);
        if (t->name() == name) {
            t->setIsDownloaded(true);
            Q_EMIT dataChanged(index(row), index(row));
        }
    }
}

void TorrentListModel::showLoadMore(const QString& dateText) {
    setFooter(Footer::LoadMore, dateText);
}

void TorrentListModel::showStatus(const QString& text) {
    setFooter(Footer::Status, text);
}

void TorrentListModel::hideFooter() {
    setFooter(Footer::None, QString());
}

void TorrentListModel::setFooter(Footer footer, const QString& text) {
    const int row = recordCount();
    if (footer_ == footer) {
        if (footerText_ != text) {
            footerText_ = text;
            if (footer_ != Footer::None) {
                Q_EMIT dataChanged(index(row), index(row));
            }
        }
        return;
    }
    if (footer_ != Footer::None) {
        beginRemoveRows({}, row, row);
        footer_ = Footer::None;
        footerText_.clear();
        endRemoveRows();
    }
    if (footer != Footer::None) {
        beginInsertRows({}, row, row);
        footer_ = footer;
        footerText_ = text;
        endInsertRows();
    }
}

void TorrentListModel::loadMoreStateChanged() {
    if (footer_ == Footer::LoadMore) {
        const int row = recordCount();
        Q_EMIT dataChanged(index(row), index(row));
    }
}

TorrentListModel::RowKind TorrentListModel::kindOf(int row) const {
    if (row < recordCount()) {
        return RowKind::Torrent;
    }
    return footer_ == Footer::Status ? RowKind::Status : RowKind::LoadMore;
}

int TorrentListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return recordCount() + (footer_ == Footer::None ? 0 : 1);
}

QVariant TorrentListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const RowKind kind = kindOf(index.row());
    if (role == list_roles::Kind) {
        return int(kind);
    }
    if (role == list_roles::Record) {
        return kind == RowKind::Torrent ? QVariant::fromValue(torrentAt(index.row())) : QVariant();
    }
    if (role == list_roles::Enabled) {
        return kind == RowKind::LoadMore && loadMoreEnabled();
    }
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        if (kind == RowKind::Torrent) {
            return torrentAt(index.row())->name().value_or(QString());
        }
        return footerText_;
    }
    return {};
}

Qt::ItemFlags TorrentListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    switch (kindOf(index.row())) {
        case RowKind::Torrent:
            return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        case RowKind::LoadMore:
            return loadMoreEnabled() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
        case RowKind::Status:
            return Qt::NoItemFlags;
    }
    return Qt::NoItemFlags;
}

}  // namespace pelloran
