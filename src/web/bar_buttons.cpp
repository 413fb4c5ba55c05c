#include "web/bar_buttons.h"

#include "ui/focus_ring.h"
#include "ui/image_library.h"
#include "ui/ui_scale.h"

#include <QPainter>

namespace pelloran::web {

ToolbarButton::ToolbarButton(const QString& imageName, QWidget* parent)
    : QAbstractButton(parent), image_(imageName) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setObjectName(imageName);
    addFocusRing(this);
}

QSize ToolbarButton::sizeHint() const {
    return UiScale::of(this).size(kWidth, kHeight - kRaise);
}

void ToolbarButton::paintEvent(QPaintEvent*) {
    const UiScale s = UiScale::of(this);
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!isEnabled()) {
        p.setOpacity(0.3);
    } else if (isDown()) {
        p.setOpacity(0.6);
    }
    const QSize size = s.size(kWidth, kHeight);
    p.drawPixmap(QPoint(0, -s.px(kRaise)), ImageLibrary::pixmap(image_, size, devicePixelRatioF()));
}

BarArea::BarArea(QSizeF size, QWidget* parent) : QWidget(parent), size_(size) {}

void BarArea::place(ToolbarButton* button, qreal x) {
    button->setParent(this);
    bool moved = false;
    for (auto& entry : buttons_) {
        if (entry.first == button) {
            entry.second = x;
            moved = true;
        }
    }
    if (!moved) {
        buttons_.append({button, x});
    }
    button->show();
    relayout();
}

QSize BarArea::sizeHint() const {
    return UiScale::of(this).size(size_.width(), size_.height());
}

void BarArea::resizeEvent(QResizeEvent*) {
    relayout();
}

void BarArea::relayout() {
    const UiScale s = UiScale::of(this);
    QRegion taken;
    for (const auto& [button, x] : std::as_const(buttons_)) {
        const QRect r(QPoint(s.px(x), 0), button->sizeHint());
        button->setGeometry(r);
        if (button->isVisibleTo(this)) {
            taken += r;
        }
    }
    setMask(taken.isEmpty() ? QRegion(0, 0, 1, 1) : taken);
}

}  // namespace pelloran::web
