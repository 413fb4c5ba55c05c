#include "lists/history_list_view_controller.h"

#include "remote/download_history.h"
#include "store/settings_store.h"
#include "ui/colors.h"
#include "ui/overlay_scroll_bar.h"
#include "ui/row_deletion.h"
#include "ui/text_row_delegate.h"

#include <QListView>
#include <QTimer>

namespace pelloran {

namespace {

constexpr int kDeselectDelayMs = 250;

}  // namespace

HistoryListModel::HistoryListModel(QObject* parent) : QAbstractListModel(parent) {}

void HistoryListModel::setHistory(const QStringList& oldestFirst) {
    beginResetModel();
    history_ = oldestFirst;
    endResetModel();
}

void HistoryListModel::removeRowShown(int row) {
    const int i = entryIndex(row);
    if (row < 0 || i < 0) {
        return;
    }
    beginRemoveRows({}, row, row);
    history_.removeAt(i);
    endRemoveRows();
}

int HistoryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(history_.size());
}

QVariant HistoryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    return history_.value(entryIndex(index.row()));
}

HistoryListViewController::HistoryListViewController(const ScreenContext& context, QWidget* parent)
    : ViewController(parent),
      history_(context.remote.history),
      settings_(context.site.settings),
      model_(new HistoryListModel(this)),
      list_(new QListView(this)) {
    setTabBarItem(QStringLiteral("D/l History"), QStringLiteral("tabbar-snatch.png"));
    list_->setModel(model_);
    list_->setItemDelegate(new TextRowDelegate(list_));  // the same plain row as the filters
    list_->setFrameShape(QFrame::NoFrame);
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list_->setStyleSheet(
        QStringLiteral("QListView { background: %1; }").arg(colors::listBackground().name()));
    attachOverlayScrollBar(list_);
    new RowDeletion(list_, [this](int row) { deleteRow(row); });
    // Choosing a row only flashes it: there is nothing to open.
    connect(list_, &QListView::clicked, this, [this] {
        QTimer::singleShot(kDeselectDelayMs, list_, [this] { list_->clearSelection(); });
    });
    reloadHistory();
}

void HistoryListViewController::viewWillAppear() {
    reloadHistory();
}

void HistoryListViewController::reloadHistory() {
    if (settings_) {
        settings_->refresh();  // pushes from another program (pelloran-cli) show up too
    }
    model_->setHistory(history_ ? history_->entries() : QStringList());
}

void HistoryListViewController::deleteRow(int row) {
    if (!history_ || row < 0 || row >= model_->rowCount()) {
        return;
    }
    // The store is read afresh; the row count shown says which entry the row is, even when a
    // push landed after the list was loaded.
    if (history_->removeRow(row, model_->historyTorrents().size())) {
        model_->removeRowShown(row);
    } else {
        reloadHistory();
    }
}

void HistoryListViewController::resizeEvent(QResizeEvent*) {
    list_->setGeometry(rect());
}

}  // namespace pelloran
