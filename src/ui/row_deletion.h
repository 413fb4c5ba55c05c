#pragma once
// Deleting a row of a list the ways a member tries: a swipe to the left over the row shows a red
// "Delete" button at its right end (a tap on it deletes; a tap anywhere else, a scroll or a
// change of the rows puts it away), the Delete or Backspace key removes the current row, and the
// context menu offers "Delete". The list's owner does the deleting in `deleteRow`. UI thread
// only; owned by the list.

#include <QObject>
#include <QPersistentModelIndex>
#include <QPoint>
#include <functional>

class QListView;
class QPushButton;

namespace pelloran {

class RowDeletion : public QObject {
    Q_OBJECT
public:
    // A swipe counts once it went this far to the left, and further left than up or down.
    static constexpr qreal kSwipePoints = 30;
    static constexpr qreal kButtonWidthPoints = 82;

    RowDeletion(QListView* list, std::function<void(int row)> deleteRow);

    // The row whose Delete button shows; -1 when none does.
    int revealedRow() const;
    QPushButton* deleteButton() const { return button_; }
    void hideButton();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool viewportEvent(QEvent* event);
    void reveal(const QModelIndex& index);
    void placeButton();
    void showContextMenu(const QPoint& pos);
    void deleteIndex(const QModelIndex& index);

    QListView* list_;
    std::function<void(int)> deleteRow_;
    QPushButton* button_;
    QPersistentModelIndex revealed_;
    QPersistentModelIndex pressed_;  // the row a left press started on
    QPoint pressPos_;
    bool swiping_ = false;
};

}  // namespace pelloran
