#pragma once
// The phone layout is drawn in points on a 320-point-wide screen; on a desktop every point is
// `factor` logical pixels (about 1.5 on a 1080p screen). Qt's own scaling (QT_SCALE_FACTOR,
// the screen's pixel ratio) still applies on top, since we work in logical pixels.
//
// The window carries its factor; widgets look it up with UiScale::of(widget).

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

namespace pelloran {

enum class FontFace {
    Arial,             // "Arial"
    ArialBold,         // "Arial-BoldMT"
    ArialRoundedBold,  // "ArialRoundedMTBold"
    System,            // the interface font
    SystemBold,
    NarrowBold,  // tab titles: narrow, so "All Torrents" fits its slot
};

class UiScale {
public:
    static constexpr int kPhoneWidth = 320;        // points
    static constexpr int kTallPhoneHeight = 568;   // points
    static constexpr int kShortPhoneHeight = 480;  // points
    static constexpr int kTabletWidth = 768;       // points: at least this wide counts as a tablet

    explicit UiScale(qreal factor = 1.0) : factor_(factor > 0 ? factor : 1.0) {}

    qreal factor() const { return factor_; }
    int px(qreal points) const { return qRound(points * factor_); }
    qreal pxF(qreal points) const { return points * factor_; }
    qreal points(qreal pixels) const { return pixels / factor_; }
    QRect rect(qreal x, qreal y, qreal w, qreal h) const;
    QSize size(qreal w, qreal h) const { return {px(w), px(h)}; }
    QPoint point(qreal x, qreal y) const { return {px(x), px(y)}; }

    // A font of `points` size; Arial resolves to its metric-compatible stand-in where the
    // system has no Arial.
    QFont font(FontFace face, qreal points) const;

    // About 1.5 on a 1080-pixel-tall screen, in quarter steps, never below 1.
    static qreal factorForScreenHeight(int availableLogicalHeight);
    // The window's height in points: the tall phone where it fits, else what the screen allows.
    static int windowHeightPoints(int availableLogicalHeight, qreal factor);

    // The scale of the window `widget` is in (1 when it has none yet).
    static UiScale of(const QWidget* widget);
    // Records `scale` on a top-level window for of().
    static void attach(QWidget* window, const UiScale& scale);

private:
    qreal factor_;
};

}  // namespace pelloran
