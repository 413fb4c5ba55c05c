// The list's desktop input: Enter opens the current row, the wheel and the scroll keys rest
// while a page loads, a click on a row's download button sends it rather than selecting the row,
// the context menu offers what a tap would do (and, for a client that has push options, "Send
// paused" and "Send to…"), and so does a long press on a download button.

#include "lists/all_list_view_controller.h"

#include "lists/torrent_list_model.h"
#include "remote/bit_client_registry.h"
#include "remote/server_info.h"
#include "ui/flat_cell_delegate.h"
#include "ui/torrent_item_delegate.h"

#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

namespace pelloran {

namespace {
// How long a press on a download button lasts before it opens the row's menu.
constexpr int kLongPressMs = 500;
}  // namespace

void AllListViewController::showRowMenu(const QPoint& pos) {
    const QModelIndex index = table_->indexAt(pos);
    if (!index.isValid() || model_->kindOf(index.row()) != ListRowKind::Torrent) {
        return;
    }
    const int row = index.row();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* open = menu->addAction(QStringLiteral("Open details"), this, [this, row] {
        if (rowSelectionEnabled_) {
            didSelectRow(row);
        }
    });
    open->setEnabled(rowSelectionEnabled_);
    if (qobject_cast<TorrentItemDelegate*>(table_->itemDelegate())) {
        // The torrent itself, not its row: a reload while the menu is open may move it.
        const TorrentPtr torrent = model_->torrentAt(row);
        menu->addAction(QStringLiteral("Send to my client"), this,
                        [this, torrent] { sendTorrent(torrent, {}); });
        // Only what the chosen client can do: its push options.
        ServerInfo* server = context_.remote.server;
        const BitClientType* type =
            server ? bitClientType(server->reloaded().client.value_or(QString())) : nullptr;
        if (type && type->pushOptions.paused) {
            menu->addAction(QStringLiteral("Send paused"), this, [this, torrent] {
                PushOptions paused;
                paused.paused = true;
                sendTorrent(torrent, paused);
            });
        }
        if (type && type->pushOptions.any()) {
            menu->addAction(QStringLiteral("Send to…"), this,
                            [this, torrent] { showSendToSheet(torrent); });
        }
    }
    menu->popup(table_->viewport()->mapToGlobal(pos));
}

bool AllListViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (rowSelectionEnabled_ && table_->currentIndex().isValid()) {
                didSelectRow(table_->currentIndex().row());
            }
            return true;
        }
        const bool scrollKey = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down ||
                               key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown ||
                               key->key() == Qt::Key_Home || key->key() == Qt::Key_End;
        if (scrollKey && !scrollingEnabled_) {
            return true;
        }
    }
    if (watched == table_->viewport()) {
        switch (event->type()) {
            case QEvent::Wheel:
                return !scrollingEnabled_;
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick: {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                const QModelIndex index = table_->indexAt(mouse->position().toPoint());
                pressedRow_ = index.isValid() ? index.row() : -1;
                const auto* delegate = qobject_cast<FlatCellDelegate*>(table_->itemDelegate());
                pressedAccessory_ = index.isValid() && delegate &&
                                    model_->kindOf(index.row()) == ListRowKind::Torrent &&
                                    delegate->accessoryRect(table_->visualRect(index))
                                        .contains(mouse->position().toPoint());
                if (mouse->button() != Qt::LeftButton) {
                    return false;
                }
                longPressed_ = false;
                if (pressedAccessory_ && event->type() == QEvent::MouseButtonPress) {
                    // Held down, the download button offers the row's menu instead.
                    if (!longPress_) {
                        longPress_ = new QTimer(this);
                        longPress_->setSingleShot(true);
                        longPress_->setInterval(kLongPressMs);
                        connect(longPress_, &QTimer::timeout, this, [this] {
                            if (pressedRow_ >= 0 && pressedAccessory_) {
                                longPressed_ = true;
                                showRowMenu(longPressAt_);
                            }
                        });
                    }
                    longPressAt_ = mouse->position().toPoint();
                    longPress_->start();
                }
                // The download button takes its own taps; rows take none while a page loads.
                return pressedAccessory_ || !rowSelectionEnabled_;
            }
            case QEvent::MouseButtonRelease: {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                if (mouse->button() != Qt::LeftButton) {
                    return false;
                }
                const QModelIndex index = table_->indexAt(mouse->position().toPoint());
                const int row = index.isValid() ? index.row() : -1;
                const bool accessory = pressedAccessory_;
                const int pressed = pressedRow_;
                pressedRow_ = -1;
                pressedAccessory_ = false;
                if (longPress_) {
                    longPress_->stop();
                }
                if (longPressed_) {
                    longPressed_ = false;
                    return true;  // the menu took the press
                }
                if (row < 0 || row != pressed) {
                    return accessory;
                }
                if (accessory) {
                    didTapDownloadButton(row);
                    return true;
                }
                if (rowSelectionEnabled_) {
                    // Let the view finish its own click first (selection, current row).
                    QTimer::singleShot(0, this, [this, row] { didSelectRow(row); });
                    return false;
                }
                return true;
            }
            case QEvent::MouseMove: {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                const QModelIndex index = table_->indexAt(mouse->position().toPoint());
                const auto* delegate = qobject_cast<FlatCellDelegate*>(table_->itemDelegate());
                const bool overButton = index.isValid() && delegate &&
                                        model_->kindOf(index.row()) == ListRowKind::Torrent &&
                                        delegate->accessoryRect(table_->visualRect(index))
                                            .contains(mouse->position().toPoint());
                table_->viewport()->setCursor(overButton ? Qt::PointingHandCursor
                                                         : Qt::ArrowCursor);
                return false;
            }
            default:
                break;
        }
    }
    return ViewController::eventFilter(watched, event);
}

}  // namespace pelloran
