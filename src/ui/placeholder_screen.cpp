#include "ui/placeholder_screen.h"

#include "ui/colors.h"
#include "ui/image_library.h"
#include "ui/ui_scale.h"

#include <QPainter>

namespace pelloran {

namespace {
constexpr qreal kImagePoints = 64;
constexpr qreal kTitlePoints = 17;
}  // namespace

PlaceholderScreen::PlaceholderScreen(const QString& title, const QString& tabTitle,
                                     const QString& imageName, QWidget* parent)
    : ViewController(parent) {
    setTitle(title);
    setTabBarItem(tabTitle, imageName);
}

void PlaceholderScreen::paintEvent(QPaintEvent*) {
    const UiScale s = UiScale::of(this);
    QPainter p(this);
    p.fillRect(rect(), colors::listBackground());
    const QSize icon = s.size(kImagePoints, kImagePoints);
    const int top = height() / 2 - icon.height();
    p.drawPixmap(
        (width() - icon.width()) / 2, top,
        ImageLibrary::tinted(tabImageName(), icon, devicePixelRatioF(), colors::grey(0.45)));
    p.setPen(colors::grey(0.6));
    p.setFont(s.font(FontFace::SystemBold, kTitlePoints));
    const QString text = title().isEmpty() ? tabTitle() : title();
    p.drawText(QRect(0, top + icon.height() + s.px(12), width(), s.px(30)), Qt::AlignCenter, text);
}

}  // namespace pelloran
