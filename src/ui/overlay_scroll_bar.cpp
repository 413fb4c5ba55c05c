#include "ui/overlay_scroll_bar.h"

#include "ui/ui_scale.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QScrollBar>

namespace pelloran {

namespace {

constexpr qreal kWidthPoints = 6;

class OverlayScrollBar : public QScrollBar {
public:
    explicit OverlayScrollBar(QAbstractScrollArea* area)
        : QScrollBar(Qt::Vertical, area), area_(area) {
        QScrollBar* inner = area->verticalScrollBar();
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setCursor(Qt::ArrowCursor);
        setStyleSheet(QStringLiteral(
            "QScrollBar:vertical { background: transparent; width: 6px; margin: 2px 1px; }"
            "QScrollBar::handle:vertical { background: rgba(255,255,255,80); border-radius: 2px; "
            "min-height: 24px; } QScrollBar::handle:vertical:hover { background: "
            "rgba(255,255,255,140); } QScrollBar::add-line, QScrollBar::sub-line { height: 0; }"
            "QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }"));
        connect(inner, &QScrollBar::rangeChanged, this, [this](int min, int max) {
            setRange(min, max);
            setVisible(max > min);
        });
        connect(inner, &QScrollBar::valueChanged, this, &QScrollBar::setValue);
        connect(this, &QScrollBar::valueChanged, inner, &QScrollBar::setValue);
        setPageStep(inner->pageStep());
        connect(inner, &QScrollBar::rangeChanged, this,
                [this, inner] { setPageStep(inner->pageStep()); });
        setRange(inner->minimum(), inner->maximum());
        setVisible(inner->maximum() > inner->minimum());
        area->installEventFilter(this);
        place();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == area_ &&
            (event->type() == QEvent::Resize || event->type() == QEvent::Show)) {
            place();
        }
        return false;
    }

private:
    void place() {
        const int w = UiScale::of(area_).px(kWidthPoints);
        setGeometry(area_->width() - w, 0, w, area_->height());
        setFixedWidth(w);
        raise();
    }

    QAbstractScrollArea* area_;
};

}  // namespace

void attachOverlayScrollBar(QAbstractScrollArea* area) {
    new OverlayScrollBar(area);
}

}  // namespace pelloran
