#include "ui/flip_transition.h"

#include <QPainter>
#include <QTransform>

namespace pelloran {

FlipTransition::FlipTransition(QWidget* container, QPixmap from, QPixmap to, From side)
    : QWidget(container), from_(std::move(from)), to_(std::move(to)), side_(side) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(container->rect());
}

FlipTransition* FlipTransition::flip(QWidget* container, QWidget* from, QWidget* to, From side,
                                     int durationMs, std::function<void()> done) {
    to->setGeometry(container->rect());
    auto* t = new FlipTransition(container, from->grab(), to->grab(), side);
    t->show();
    t->raise();
    t->animation_.setStartValue(0.0);
    t->animation_.setEndValue(1.0);
    t->animation_.setDuration(durationMs);
    t->animation_.setEasingCurve(QEasingCurve::InOutQuad);
    connect(&t->animation_, &QVariantAnimation::valueChanged, t, [t](const QVariant& v) {
        t->progress_ = v.toReal();
        t->update();
    });
    connect(&t->animation_, &QVariantAnimation::finished, t, [t, done = std::move(done)] {
        if (done) {
            done();
        }
        t->deleteLater();
    });
    t->animation_.start();
    return t;
}

void FlipTransition::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const qreal sign = side_ == From::Right ? 1 : -1;
    const qreal angle = progress_ * 180.0;
    const bool firstHalf = angle < 90;
    const QPixmap& page = firstHalf ? from_ : to_;
    const qreal shown = firstHalf ? angle : angle - 180;
    QTransform turn;
    turn.translate(width() / 2.0, height() / 2.0);
    turn.rotate(sign * shown, Qt::YAxis);
    turn.translate(-width() / 2.0, -height() / 2.0);
    p.setTransform(turn);
    p.drawPixmap(rect(), page);
}

}  // namespace pelloran
