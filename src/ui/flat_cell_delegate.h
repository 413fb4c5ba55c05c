#pragma once
// The base of the torrent lists' row drawing: every row is 37 points high and its content is
// painted by one routine over the row less its last point of height, which stays the list's
// background and reads as a separator. Footer rows (the load-more row and the quiet status
// line) are drawn here; cell kinds override drawContentView() for the record rows.
// UI thread only.

#include "site/torrent.h"

#include <QPixmap>
#include <QStyledItemDelegate>
#include <functional>
#include <optional>

class QAbstractItemView;

namespace pelloran {

class UiScale;

// The cell images by key ("up.jpg", a category image name, or a picture's URL), drawn to fill
// a size in points; a null pixmap when there is none.
using CellImageProvider =
    std::function<QPixmap(const std::optional<QString>& key, const QSize& logicalSize)>;

class FlatCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr qreal kRowHeightPoints = 37;

    FlatCellDelegate(QAbstractItemView* view, CellImageProvider images);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // Where a record row's download button sits (empty for cells without one), in view pixels.
    virtual QRect accessoryRect(const QRect& rowRect) const;

protected:
    // Paints a record row's content into `content` (the row less its bottom point).
    virtual void drawContentView(QPainter* p, const QRect& content, const TorrentPtr& torrent,
                                 bool highlighted) const = 0;

    QAbstractItemView* view() const { return view_; }
    UiScale scale() const;
    // The view is at least as wide as a tablet screen.
    bool isTablet() const;
    QPixmap image(const std::optional<QString>& key, qreal w, qreal h) const;
    // Text whose top left is at (x, y) points from `content`'s top left, cut to `maxWidth`
    // points with an ellipsis when given.
    void drawText(QPainter* p, const QRect& content, qreal x, qreal y, const QString& text,
                  std::optional<qreal> maxWidth = std::nullopt) const;
    // Text whose right edge is at x points.
    void drawTextRightAligned(QPainter* p, const QRect& content, qreal rightX, qreal y,
                              const QString& text) const;
    void drawImage(QPainter* p, const QRect& content, const QPixmap& image, qreal x, qreal y,
                   qreal w, qreal h, qreal opacity = 1.0) const;

private:
    QAbstractItemView* view_;
    CellImageProvider images_;
};

}  // namespace pelloran
