#include "ui/toggle_switch.h"

#include "ui/colors.h"
#include "ui/ui_scale.h"

#include <QPainter>
#include <QPainterPath>

namespace pelloran {

ToggleSwitch::ToggleSwitch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    knob_.setDuration(150);
    connect(&knob_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        position_ = v.toReal();
        update();
    });
}

QSize ToggleSwitch::sizeHint() const {
    return UiScale::of(this).size(kWidthPoints, kHeightPoints);
}

void ToggleSwitch::checkStateSet() {
    knob_.stop();
    position_ = isChecked() ? 1 : 0;
    update();
}

void ToggleSwitch::nextCheckState() {
    QAbstractButton::nextCheckState();
    knob_.stop();
    knob_.setStartValue(position_);
    knob_.setEndValue(isChecked() ? 1.0 : 0.0);
    knob_.start();
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal radius = track.height() / 2;
    const QColor off = colors::grey(0.78);
    const QColor on(232, 163, 61);  // the app's amber
    QColor fill;
    fill.setRgbF(float(off.redF() + (on.redF() - off.redF()) * position_),
                 float(off.greenF() + (on.greenF() - off.greenF()) * position_),
                 float(off.blueF() + (on.blueF() - off.blueF()) * position_));
    if (!isEnabled()) {
        fill.setAlphaF(0.5f);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(track, radius, radius);
    const qreal d = track.height() - 4;
    const qreal x = track.left() + 2 + (track.width() - d - 4) * position_;
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawEllipse(QRectF(x, track.top() + 3, d, d));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(x, track.top() + 2, d, d));
    if (hasFocus()) {
        // Dark inside a white edge: seen on the grey track and on the amber one alike.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 230), 1.5));
        p.drawRoundedRect(track, radius, radius);
        const QRectF inner = track.adjusted(2, 2, -2, -2);
        p.setPen(QPen(QColor(20, 20, 20, 200), 2));
        p.drawRoundedRect(inner, inner.height() / 2, inner.height() / 2);
    }
}

}  // namespace pelloran
