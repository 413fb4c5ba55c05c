#include "ui/tab_bar.h"

#include "ui/colors.h"
#include "ui/image_library.h"
#include "ui/ui_scale.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace pelloran {

namespace {
constexpr qreal kIconPoints = 30;
constexpr qreal kIconTop = 3;
constexpr qreal kTitlePoints = 10;
constexpr qreal kTitleBaselineFromBottom = 4;
}  // namespace

TabBar::TabBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
}

void TabBar::setItems(const QList<Item>& items) {
    items_ = items;
    update();
}

void TabBar::setCurrentSlot(int slot) {
    current_ = slot;
    update();
}

void TabBar::setAllEnabled(bool enabled) {
    for (Item& i : items_) {
        i.enabled = enabled;
    }
    update();
}

QRect TabBar::slotRect(int slot) const {
    if (items_.isEmpty()) {
        return {};
    }
    const int n = int(items_.size());
    const int left = width() * slot / n;
    const int right = width() * (slot + 1) / n;
    return QRect(left, 0, right - left, height());
}

int TabBar::slotAt(const QPoint& pos) const {
    for (int i = 0; i < items_.size(); ++i) {
        if (slotRect(i).contains(pos)) {
            return i;
        }
    }
    return -1;
}

void TabBar::mouseReleaseEvent(QMouseEvent* event) {
    const int slot = slotAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && slot >= 0 && items_[slot].enabled) {
        Q_EMIT slotClicked(slot);
    }
}

void TabBar::paintEvent(QPaintEvent*) {
    const UiScale s = UiScale::of(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), colors::barBackground());
    p.fillRect(QRect(0, 0, width(), 1), colors::grey(0.22));
    const QFont font = s.font(FontFace::NarrowBold, kTitlePoints);
    p.setFont(font);
    const qreal dpr = devicePixelRatioF();
    for (int i = 0; i < items_.size(); ++i) {
        const Item& item = items_[i];
        const QRect r = slotRect(i);
        const bool selected = i == current_;
        if (selected) {
            // A soft lit plate behind the selected item.
            QPainterPath plate;
            plate.addRoundedRect(QRectF(r.adjusted(s.px(2), s.px(2), -s.px(2), -s.px(2))), s.pxF(4),
                                 s.pxF(4));
            p.fillPath(plate, colors::grey(0.16));
        }
        QColor tint = selected ? colors::barTint() : colors::barItemIdle();
        if (!item.enabled) {
            tint.setAlphaF(0.35f);
        }
        const QSize icon = s.size(kIconPoints, kIconPoints);
        const QPixmap pm = ImageLibrary::tinted(item.imageName, icon, dpr, tint);
        p.drawPixmap(r.x() + (r.width() - icon.width()) / 2, s.px(kIconTop), pm);
        p.setPen(tint);
        const QRect textRect(r.x(), r.bottom() - s.px(kTitleBaselineFromBottom + kTitlePoints + 2),
                             r.width(), s.px(kTitlePoints + 2));
        p.drawText(textRect, Qt::AlignHCenter | Qt::AlignBottom,
                   QFontMetrics(font).elidedText(item.title, Qt::ElideRight, r.width() - 2));
    }
}

}  // namespace pelloran
