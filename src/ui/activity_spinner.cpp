#include "ui/activity_spinner.h"

#include <QPainter>
#include <algorithm>

namespace pelloran {

namespace {
constexpr int kSpokes = 12;
}

ActivitySpinner::ActivitySpinner(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    timer_.setInterval(1000 / kSpokes);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % kSpokes;
        update();
    });
}

void ActivitySpinner::startAnimating() {
    timer_.start();
}

void ActivitySpinner::stopAnimating() {
    timer_.stop();
}

void ActivitySpinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(width(), height());
    painter.translate(width() / 2.0, height() / 2.0);
    const qreal inner = side * 0.22;
    const qreal outer = side * 0.48;
    QPen pen(Qt::white, side * 0.09, Qt::SolidLine, Qt::RoundCap);
    for (int i = 0; i < kSpokes; ++i) {
        // The spoke at step_ is brightest; the ones behind it fade out.
        const int age = (step_ - i + kSpokes) % kSpokes;
        QColor c = Qt::white;
        c.setAlphaF(float(1.0 - 0.8 * age / (kSpokes - 1)));
        pen.setColor(c);
        painter.setPen(pen);
        painter.save();
        painter.rotate(360.0 * i / kSpokes);
        painter.drawLine(QPointF(0, -inner), QPointF(0, -outer));
        painter.restore();
    }
}

}  // namespace pelloran
