#include "ui/segmented_control.h"

#include "ui/colors.h"
#include "ui/ui_scale.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace pelloran {

namespace {
constexpr qreal kRowGap = 6;
constexpr qreal kFontPoints = 13;
constexpr qreal kRadius = 5;
const QColor kAmber(232, 163, 61);
}  // namespace

SegmentedControl::SegmentedControl(const QStringList& titles, QWidget* parent)
    : QWidget(parent), titles_(titles) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void SegmentedControl::setSelectedIndex(int index) {
    selected_ = index >= 0 && index < count() ? index : -1;
    update();
}

void SegmentedControl::setMaxPerRow(int n) {
    maxPerRow_ = std::max(0, n);
    updateGeometry();
    update();
}

int SegmentedControl::rowCount() const {
    const int per = maxPerRow_ > 0 ? maxPerRow_ : std::max(1, count());
    return std::max(1, (count() + per - 1) / per);
}

QSize SegmentedControl::sizeHint() const {
    const UiScale s = UiScale::of(this);
    const int rows = rowCount();
    return {s.px(280), s.px(rows * kRowHeightPoints + (rows - 1) * kRowGap)};
}

QRect SegmentedControl::segmentRect(int index) const {
    if (index < 0 || index >= count()) {
        return {};
    }
    const UiScale s = UiScale::of(this);
    const int per = maxPerRow_ > 0 ? maxPerRow_ : std::max(1, count());
    const int row = index / per;
    const int inRow = std::min(per, count() - row * per);
    const int column = index % per;
    const int rowH = s.px(kRowHeightPoints);
    const int top = row * (rowH + s.px(kRowGap));
    const int left = width() * column / inRow;
    const int right = width() * (column + 1) / inRow;
    return {left, top, right - left, rowH};
}

void SegmentedControl::paintEvent(QPaintEvent*) {
    const UiScale s = UiScale::of(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal radius = s.pxF(kRadius);
    p.setFont(s.font(FontFace::SystemBold, kFontPoints));
    const int per = maxPerRow_ > 0 ? maxPerRow_ : std::max(1, count());
    for (int row = 0; row < rowCount(); ++row) {
        const int first = row * per;
        const int last = std::min(count(), first + per) - 1;
        const QRectF outline =
            QRectF(segmentRect(first).united(segmentRect(last))).adjusted(0.5, 0.5, -0.5, -0.5);
        QPainterPath shape;
        shape.addRoundedRect(outline, radius, radius);
        p.setClipPath(shape);
        QLinearGradient fill(0, outline.top(), 0, outline.bottom());
        fill.setColorAt(0, colors::grey(0.24));
        fill.setColorAt(1, colors::grey(0.1));
        p.fillRect(outline, fill);
        for (int i = first; i <= last; ++i) {
            const QRect r = segmentRect(i);
            if (i == selected_) {
                p.fillRect(r, kAmber);
            }
            if (i > first) {
                p.fillRect(QRectF(r.left(), r.top(), 1, r.height()), colors::grey(0.42));
            }
            p.setPen(i == selected_ ? QColor(20, 20, 20) : QColor(Qt::white));
            const QString shown =
                p.fontMetrics().elidedText(titles_[i], Qt::ElideRight, r.width() - s.px(6));
            p.drawText(r, Qt::AlignCenter, shown);
        }
        p.setClipping(false);
        p.setPen(QPen(hasFocus() ? QColor(255, 255, 255, 200) : colors::grey(0.45), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(outline, radius, radius);
    }
}

void SegmentedControl::mousePressEvent(QMouseEvent* event) {
    for (int i = 0; i < count(); ++i) {
        if (segmentRect(i).contains(event->position().toPoint())) {
            choose(i);
            return;
        }
    }
}

void SegmentedControl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        const int step = event->key() == Qt::Key_Left ? -1 : 1;
        const int from = selected_ < 0 ? (step > 0 ? -1 : count()) : selected_;
        const int next = std::clamp(from + step, 0, count() - 1);
        if (next != selected_) {
            choose(next);
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void SegmentedControl::choose(int index) {
    if (index == selected_) {
        return;  // the chosen segment again: nothing changes
    }
    selected_ = index;
    update();
    Q_EMIT segmentChosen(index);
}

}  // namespace pelloran
