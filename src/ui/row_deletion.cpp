#include "ui/row_deletion.h"

#include "ui/ui_scale.h"

#include <QAbstractItemModel>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <cstdlib>

namespace pelloran {

RowDeletion::RowDeletion(QListView* list, std::function<void(int row)> deleteRow)
    : QObject(list),
      list_(list),
      deleteRow_(std::move(deleteRow)),
      button_(new QPushButton(QStringLiteral("Delete"), list->viewport())) {
    button_->setObjectName(QStringLiteral("rowDeleteButton"));
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setCursor(Qt::PointingHandCursor);
    button_->hide();
    connect(button_, &QPushButton::clicked, this, [this] {
        const QModelIndex index = revealed_;
        hideButton();
        deleteIndex(index);
    });

    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QListView::customContextMenuRequested, this, &RowDeletion::showContextMenu);
    connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this, &RowDeletion::hideButton);
    if (QAbstractItemModel* model = list_->model()) {
        for (auto signal : {&QAbstractItemModel::rowsRemoved, &QAbstractItemModel::rowsInserted}) {
            connect(model, signal, this, &RowDeletion::hideButton);
        }
        connect(model, &QAbstractItemModel::modelReset, this, &RowDeletion::hideButton);
    }
}

int RowDeletion::revealedRow() const {
    return button_->isVisible() && revealed_.isValid() ? revealed_.row() : -1;
}

void RowDeletion::hideButton() {
    revealed_ = QPersistentModelIndex();
    button_->hide();
}

void RowDeletion::deleteIndex(const QModelIndex& index) {
    if (index.isValid() && deleteRow_) {
        deleteRow_(index.row());
    }
}

bool RowDeletion::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace) &&
                key->modifiers() == Qt::NoModifier && list_->currentIndex().isValid()) {
                hideButton();
                deleteIndex(list_->currentIndex());
                return true;
            }
            if (key->key() == Qt::Key_Escape && revealedRow() >= 0) {
                hideButton();
                return true;
            }
        } else if (event->type() == QEvent::Resize) {
            placeButton();
        }
        return false;
    }
    if (watched == list_->viewport()) {
        return viewportEvent(event);
    }
    return false;
}

bool RowDeletion::viewportEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (revealedRow() >= 0) {
                // A tap beside the button only puts it away, as on a phone. (The button's own
                // presses go to the button, not through here.)
                hideButton();
                return true;
            }
            swiping_ = false;
            pressed_ = mouse->button() == Qt::LeftButton
                           ? QPersistentModelIndex(list_->indexAt(mouse->position().toPoint()))
                           : QPersistentModelIndex();
            pressPos_ = mouse->position().toPoint();
            return false;
        }
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (!(mouse->buttons() & Qt::LeftButton) || !pressed_.isValid()) {
                return false;
            }
            if (swiping_) {
                return true;
            }
            const QPoint moved = mouse->position().toPoint() - pressPos_;
            const int left = -moved.x();
            if (left >= UiScale::of(list_).px(kSwipePoints) && left > 2 * std::abs(moved.y())) {
                swiping_ = true;
                list_->clearSelection();
                reveal(pressed_);
                return true;
            }
            return false;
        }
        case QEvent::MouseButtonRelease:
            pressed_ = QPersistentModelIndex();
            if (swiping_) {
                swiping_ = false;
                return true;  // the swipe is not a tap on the row
            }
            return false;
        case QEvent::Resize:
            placeButton();
            return false;
        default:
            return false;
    }
}

void RowDeletion::reveal(const QModelIndex& index) {
    revealed_ = QPersistentModelIndex(index);
    placeButton();
    button_->show();
    button_->raise();
}

void RowDeletion::placeButton() {
    if (!revealed_.isValid()) {
        return;
    }
    const UiScale s = UiScale::of(list_);
    const QRect row = list_->visualRect(revealed_);
    const int width = s.px(kButtonWidthPoints);
    button_->setGeometry(row.right() + 1 - width, row.top(), width, row.height() - 1);
    button_->setFont(s.font(FontFace::SystemBold, 15));
    button_->setStyleSheet(
        QStringLiteral("QPushButton { color: white; background: #d0312d; "
                       "border: none; } QPushButton:pressed { background: "
                       "#a82420; }"));
}

void RowDeletion::showContextMenu(const QPoint& pos) {
    const QModelIndex index = list_->indexAt(pos);
    if (!index.isValid()) {
        return;
    }
    hideButton();
    auto* menu = new QMenu(list_);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QPersistentModelIndex row(index);
    menu->addAction(QStringLiteral("Delete"), this, [this, row] { deleteIndex(row); });
    menu->popup(list_->viewport()->mapToGlobal(pos));
}

}  // namespace pelloran
