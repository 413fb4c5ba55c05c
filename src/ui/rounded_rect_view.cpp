#include "ui/rounded_rect_view.h"

#include "ui/ui_scale.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace pelloran {

RoundedRectView::RoundedRectView(QWidget* parent) : QWidget(parent) {
    // Whatever colour or opacity is set later, the corners stay see-through.
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void RoundedRectView::setStrokeColor(const QColor& c) {
    strokeColor_ = c;
    update();
}

void RoundedRectView::setRectColor(const QColor& c) {
    rectColor_ = c;
    update();
}

void RoundedRectView::setStrokeWidth(qreal w) {
    strokeWidth_ = w;
    update();
}

void RoundedRectView::setCornerRadius(qreal r) {
    cornerRadius_ = r;
    update();
}

qreal RoundedRectView::effectiveRadius(const QSizeF& size, qreal cornerRadius) {
    return std::min({cornerRadius, size.width() / 2, size.height() / 2});
}

void RoundedRectView::paintEvent(QPaintEvent*) {
    const UiScale scale = UiScale::of(this);
    const QRectF bounds = QRectF(rect());
    const qreal radius = effectiveRadius(bounds.size(), scale.pxF(cornerRadius_));
    // From the middle of the left edge, clockwise through each corner's arc, back to the start.
    QPainterPath path;
    const qreal l = bounds.left(), t = bounds.top(), r = bounds.right(), b = bounds.bottom();
    path.moveTo(l, (t + b) / 2);
    path.arcTo(QRectF(l, t, 2 * radius, 2 * radius), 180, -90);
    path.lineTo((l + r) / 2, t);
    path.arcTo(QRectF(r - 2 * radius, t, 2 * radius, 2 * radius), 90, -90);
    path.lineTo(r, (t + b) / 2);
    path.arcTo(QRectF(r - 2 * radius, b - 2 * radius, 2 * radius, 2 * radius), 0, -90);
    path.lineTo((l + r) / 2, b);
    path.arcTo(QRectF(l, b - 2 * radius, 2 * radius, 2 * radius), 270, -90);
    path.closeSubpath();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, rectColor_);
    if (strokeWidth_ > 0) {
        painter.strokePath(path, QPen(strokeColor_, scale.pxF(strokeWidth_)));
    }
}

}  // namespace pelloran
