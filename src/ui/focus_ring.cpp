#include "ui/focus_ring.h"

#include "ui/ui_scale.h"

#include <QEvent>
#include <QFocusEvent>
#include <QPainter>
#include <QWidget>

namespace pelloran {

namespace {

class FocusRing : public QWidget {
public:
    FocusRing(QWidget* control, double radiusPoints)
        : QWidget(control), control_(control), radius_(radiusPoints) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        hide();
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == control_) {
            switch (e->type()) {
                case QEvent::FocusIn:
                    if (static_cast<QFocusEvent*>(e)->reason() != Qt::MouseFocusReason) {
                        setGeometry(control_->rect());
                        raise();
                        show();
                    }
                    break;
                case QEvent::FocusOut:
                    hide();
                    break;
                case QEvent::Resize:
                    setGeometry(control_->rect());
                    break;
                default:
                    break;
            }
        }
        return false;
    }

    void paintEvent(QPaintEvent*) override {
        const UiScale s = UiScale::of(this);
        const qreal pen = std::max<qreal>(1.5, s.pxF(1.5));
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 210), pen));
        const QRectF ring = QRectF(rect()).adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
        p.drawRoundedRect(ring, s.pxF(radius_), s.pxF(radius_));
    }

private:
    QWidget* control_;
    double radius_;
};

}  // namespace

void addFocusRing(QWidget* control, double radiusPoints) {
    new FocusRing(control, radiusPoints);  // owned by the control
}

}  // namespace pelloran
