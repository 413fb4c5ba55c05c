#include "ui/ui_scale.h"

#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace pelloran {

namespace {

constexpr char kScaleProperty[] = "pelloranScale";
constexpr int kWindowFrameAllowance = 48;  // title bar and panel room, in logical pixels

}  // namespace

QRect UiScale::rect(qreal x, qreal y, qreal w, qreal h) const {
    // Edges are rounded, not sizes, so neighbours that touch in points touch in pixels too.
    const int left = px(x);
    const int top = px(y);
    return QRect(left, top, px(x + w) - left, px(y + h) - top);
}

QFont UiScale::font(FontFace face, qreal points) const {
    QFont f;
    if (face == FontFace::NarrowBold) {
        f.setFamilies({QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"),
                       QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    } else {
        // The interface font is Arial too, so every screen reads alike.
        f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    }
    f.setBold(face != FontFace::Arial && face != FontFace::System);
    f.setPixelSize(std::max(1, px(points)));
    return f;
}

qreal UiScale::factorForScreenHeight(int availableLogicalHeight) {
    const qreal raw = availableLogicalHeight * 1.5 / 1080.0;
    return std::max(1.0, std::round(raw * 4.0) / 4.0);
}

int UiScale::windowHeightPoints(int availableLogicalHeight, qreal factor) {
    const int fits = static_cast<int>((availableLogicalHeight - kWindowFrameAllowance) / factor);
    return std::clamp(fits, 400, kTallPhoneHeight);
}

UiScale UiScale::of(const QWidget* widget) {
    if (!widget) {
        return UiScale();
    }
    const QVariant v = widget->window()->property(kScaleProperty);
    return UiScale(v.isValid() ? v.toReal() : 1.0);
}

void UiScale::attach(QWidget* window, const UiScale& scale) {
    window->setProperty(kScaleProperty, scale.factor());
}

}  // namespace pelloran
