#pragma once
// A plain text row of the lists without pictures (the favorite filters): 37 points high, a
// 36-point dark grey content area with the text in light grey bold Arial 12 at x 5; the last
// point is left to the list's background as a separator.

#include <QStyledItemDelegate>

class QAbstractItemView;

namespace pelloran {

class TextRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr qreal kRowHeightPoints = 37;

    explicit TextRowDelegate(QAbstractItemView* view);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    QAbstractItemView* view_;
};

}  // namespace pelloran
