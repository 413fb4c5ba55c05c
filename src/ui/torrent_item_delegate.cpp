#include "ui/torrent_item_delegate.h"

#include "ui/colors.h"
#include "ui/ui_scale.h"

#include <QAbstractItemView>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace pelloran {

namespace {
constexpr qreal kNamePoints = 12;
constexpr qreal kSmallPoints = 10;
constexpr qreal kWaitPoints = 19;
constexpr qreal kPhoneNameWidth = 230;
constexpr qreal kGap = 3;  // between the size and the seeder count
}  // namespace

QRect TorrentItemDelegate::accessoryRect(const QRect& rowRect) const {
    const UiScale s = scale();
    const int size = s.px(kAccessorySize);
    const int contentHeight = rowRect.height() - s.px(1);
    return {rowRect.right() + 1 - s.px(kAccessoryRightMargin) - size,
            rowRect.top() + (contentHeight - size) / 2, size, size};
}

void TorrentItemDelegate::drawContentView(QPainter* p, const QRect& content, const TorrentPtr& t,
                                          bool highlighted) const {
    const UiScale s = scale();
    p->setPen(highlighted ? QColor(Qt::white) : colors::rowText());

    drawImage(p, content, image(t->type(), 33, 33), 0, 0, 33, 33, highlighted ? 0.5 : 1.0);
    // How many points the view is wider than the phone: the seeders and leechers keep to the right
    // edge.
    const qreal extra =
        std::max(0.0, s.points(view()->viewport()->width()) - qreal(UiScale::kPhoneWidth));
    const qreal upX = 234 + extra;
    const qreal downX = 271 + extra;
    drawImage(p, content, image(QStringLiteral("up.jpg"), 10, 10), upX, 20, 10, 10);
    drawImage(p, content, image(QStringLiteral("down.jpg"), 10, 10), downX, 20, 10, 10);
    if (t->isDownloaded()) {
        drawImage(p, content, image(QStringLiteral("downloaded.png"), 24, 19), 48, 15, 24, 19);
    }

    const QFont small = s.font(FontFace::Arial, kSmallPoints);
    const std::optional<QString> wait = t->wait();
    if (wait) {
        p->setFont(small);
        p->drawText(QRectF(content.left() + s.pxF(10), content.top() + s.pxF(40), s.pxF(30),
                           content.height()),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, *wait);
    }
    p->setFont(s.font(FontFace::ArialBold, kNamePoints));
    const qreal nameWidth =
        isTablet() ? s.points(view()->viewport()->width()) : kPhoneNameWidth + extra;
    drawText(p, content, 40, 5, t->name().value_or(QString()), nameWidth);
    p->setFont(small);
    drawText(p, content, 40, 20, t->date().value_or(QString()));
    // The size stops short of the seeder count, however many digits that has.
    const QString up = t->up().value_or(QString());
    const qreal upLeft = upX - 4 - s.points(QFontMetricsF(small).horizontalAdvance(up));
    drawText(p, content, 160, 20, t->size().value_or(QString()),
             std::max(0.0, upLeft - kGap - 160));
    drawTextRightAligned(p, content, upX - 4, 20, up);
    drawTextRightAligned(p, content, downX - 4, 20, t->down().value_or(QString()));
    if (wait) {
        const QPen pen = p->pen();
        p->setPen(Qt::red);
        p->setFont(s.font(FontFace::ArialRoundedBold, kWaitPoints));
        drawText(p, content, 50, 17, *wait, 50);
        p->setPen(pen);
    }
}

}  // namespace pelloran
