#include "ui/flat_cell_delegate.h"

#include "ui/colors.h"
#include "ui/list_cell_roles.h"
#include "ui/load_more_item.h"
#include "ui/ui_scale.h"

#include <QAbstractItemView>
#include <QPainter>

namespace pelloran {

FlatCellDelegate::FlatCellDelegate(QAbstractItemView* view, CellImageProvider images)
    : QStyledItemDelegate(view), view_(view), images_(std::move(images)) {}

UiScale FlatCellDelegate::scale() const {
    return UiScale::of(view_);
}

bool FlatCellDelegate::isTablet() const {
    return scale().points(view_->viewport()->width()) >= UiScale::kTabletWidth;
}

QSize FlatCellDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {view_->viewport()->width(), scale().px(kRowHeightPoints)};
}

QRect FlatCellDelegate::accessoryRect(const QRect&) const {
    return {};
}

QPixmap FlatCellDelegate::image(const std::optional<QString>& key, qreal w, qreal h) const {
    return images_ ? images_(key, QSize(qRound(w), qRound(h))) : QPixmap();
}

void FlatCellDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const UiScale s = scale();
    const QRect row = option.rect;
    // The last point of the row is left to the list's background: the separator.
    const QRect content(row.left(), row.top(), row.width(), row.height() - s.px(1));
    const auto kind = ListRowKind(index.data(list_roles::Kind).toInt());
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    p->setRenderHint(QPainter::SmoothPixmapTransform);
    p->setClipRect(row);
    if (kind == ListRowKind::Torrent) {
        const bool highlighted = option.state & (QStyle::State_Selected | QStyle::State_Sunken);
        // The row's grey selection shows through the cell's clear background.
        p->fillRect(content, highlighted ? colors::rowHighlight() : colors::rowBackground());
        const auto torrent = index.data(list_roles::Record).value<TorrentPtr>();
        if (torrent) {
            drawContentView(p, content, torrent, highlighted);
        }
        const QRect accessory = accessoryRect(row);
        if (!accessory.isEmpty()) {
            p->drawPixmap(accessory,
                          image(QStringLiteral("download.png"), s.points(accessory.width()),
                                s.points(accessory.height())));
        }
    } else if (kind == ListRowKind::LoadMore) {
        const bool enabled = index.data(list_roles::Enabled).toBool();
        const bool highlighted =
            enabled && (option.state & (QStyle::State_Selected | QStyle::State_Sunken));
        drawLoadMoreItem(p, content, s, index.data().toString(), enabled, highlighted);
    } else {
        drawStatusLine(p, content, s, index.data().toString());
    }
    p->restore();
}

void FlatCellDelegate::drawText(QPainter* p, const QRect& content, qreal x, qreal y,
                                const QString& text, std::optional<qreal> maxWidth) const {
    if (text.isEmpty()) {
        return;
    }
    const UiScale s = scale();
    const QFontMetricsF fm(p->font());
    const qreal left = content.left() + s.pxF(x);
    const qreal top = content.top() + s.pxF(y);
    QString shown = text;
    qreal width = fm.horizontalAdvance(text) + 1;
    if (maxWidth) {
        const qreal limit = s.pxF(*maxWidth);
        shown = fm.elidedText(text, Qt::ElideRight, limit);
        width = std::min(width, limit);
    }
    p->drawText(QRectF(left, top, width, fm.height()), Qt::AlignLeft | Qt::AlignTop, shown);
}

void FlatCellDelegate::drawTextRightAligned(QPainter* p, const QRect& content, qreal rightX,
                                            qreal y, const QString& text) const {
    if (text.isEmpty()) {
        return;
    }
    const UiScale s = scale();
    const QFontMetricsF fm(p->font());
    const qreal width = fm.horizontalAdvance(text);
    const qreal right = content.left() + s.pxF(rightX);
    p->drawText(QRectF(right - width - 1, content.top() + s.pxF(y), width + 1, fm.height()),
                Qt::AlignRight | Qt::AlignTop, text);
}

void FlatCellDelegate::drawImage(QPainter* p, const QRect& content, const QPixmap& image, qreal x,
                                 qreal y, qreal w, qreal h, qreal opacity) const {
    if (image.isNull()) {
        return;
    }
    const UiScale s = scale();
    const qreal old = p->opacity();
    p->setOpacity(old * opacity);
    p->drawPixmap(QRectF(content.left() + s.pxF(x), content.top() + s.pxF(y), s.pxF(w), s.pxF(h)),
                  image, QRectF(QPointF(0, 0), QSizeF(image.size())));
    p->setOpacity(old);
}

}  // namespace pelloran
