#pragma once
// Turns one page over to show another around the vertical axis, as a card is flipped: from the
// right or from the left. Both pages are pictured first; the real pages swap at the end.
// Runs on the event loop (an animation), never blocking it. UI thread only.

#include <QPixmap>
#include <QVariantAnimation>
#include <QWidget>
#include <functional>

namespace pelloran {

class FlipTransition : public QWidget {
    Q_OBJECT
public:
    enum class From { Right, Left };

    // Covers `container` with the turning picture of `from` becoming `to` (both children of
    // `container`, laid out already), then calls `done` and removes itself.
    static FlipTransition* flip(QWidget* container, QWidget* from, QWidget* to, From side,
                                int durationMs, std::function<void()> done);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FlipTransition(QWidget* container, QPixmap from, QPixmap to, From side);

    QPixmap from_;
    QPixmap to_;
    From side_;
    qreal progress_ = 0;
    QVariantAnimation animation_;
};

}  // namespace pelloran
