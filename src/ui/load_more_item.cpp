#include "ui/load_more_item.h"

#include "ui/colors.h"
#include "ui/ui_scale.h"

#include <QPainter>

namespace pelloran {

namespace {
constexpr qreal kCaptionPoints = 14;
constexpr qreal kDatePoints = 10;
constexpr qreal kStatusPoints = 11;
constexpr qreal kSideMargin = 10;
}  // namespace

void drawLoadMoreItem(QPainter* p, const QRect& content, const UiScale& s, const QString& dateText,
                      bool enabled, bool highlighted) {
    p->fillRect(content, highlighted ? colors::rowHighlight() : colors::rowBackground());
    const QColor caption = enabled ? QColor(232, 163, 61) : colors::grey(0.45);
    const QRect inner = content.adjusted(s.px(kSideMargin), 0, -s.px(kSideMargin), 0);
    const bool hasDate = !dateText.isEmpty();
    // normalLbl: the caption, centred; pageLbl under it. Both shrink to fit the row.
    QFont captionFont = s.font(FontFace::ArialBold, kCaptionPoints);
    const QRect captionRect(inner.left(), content.top() + s.px(hasDate ? 3 : 0), inner.width(),
                            hasDate ? s.px(18) : content.height());
    while (QFontMetrics(captionFont).horizontalAdvance(QString::fromLatin1(kLoadMoreCaption)) >
               inner.width() &&
           captionFont.pixelSize() > s.px(8)) {
        captionFont.setPixelSize(captionFont.pixelSize() - 1);
    }
    p->setFont(captionFont);
    p->setPen(caption);
    p->drawText(captionRect, Qt::AlignCenter, QString::fromLatin1(kLoadMoreCaption));
    if (hasDate) {
        QFont dateFont = s.font(FontFace::Arial, kDatePoints);
        while (QFontMetrics(dateFont).horizontalAdvance(dateText) > inner.width() &&
               dateFont.pixelSize() > s.px(6)) {
            dateFont.setPixelSize(dateFont.pixelSize() - 1);
        }
        p->setFont(dateFont);
        p->setPen(enabled ? colors::rowText() : colors::grey(0.45));
        p->drawText(QRect(inner.left(), content.top() + s.px(21), inner.width(), s.px(13)),
                    Qt::AlignCenter, dateText);
    }
}

void drawStatusLine(QPainter* p, const QRect& content, const UiScale& s, const QString& text) {
    p->setFont(s.font(FontFace::Arial, kStatusPoints));
    p->setPen(colors::grey(0.62));
    const QRect inner = content.adjusted(s.px(kSideMargin), 0, -s.px(kSideMargin), 0);
    p->drawText(inner, Qt::AlignCenter | Qt::TextWordWrap, text);
}

}  // namespace pelloran
