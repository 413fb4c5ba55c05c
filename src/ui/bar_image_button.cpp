#include "ui/bar_image_button.h"

#include "ui/focus_ring.h"
#include "ui/image_library.h"
#include "ui/ui_scale.h"

#include <QEvent>
#include <QToolButton>

namespace pelloran {

namespace {

constexpr qreal kImageWidth = 50;
constexpr qreal kImageHeight = 47;
constexpr qreal kBarButtonHeight = 30;

// Draws the image at the window's scale once the button knows which window it is in.
class BarImageButton : public QToolButton {
public:
    BarImageButton(const QString& imageName, QWidget* parent)
        : QToolButton(parent), imageName_(imageName) {
        setAutoRaise(true);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        setStyleSheet(
            QStringLiteral("QToolButton { border: none; background: transparent; "
                           "padding: 0; } QToolButton:pressed { background: "
                           "rgba(255,255,255,30); }"));
        refresh();
    }

    QSize sizeHint() const override {
        const UiScale s = UiScale::of(this);
        const qreal h = kBarButtonHeight;
        return s.size(kImageWidth * h / kImageHeight, h);
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::ParentChange || e->type() == QEvent::Show) {
            refresh();
        }
        return QToolButton::event(e);
    }

private:
    void refresh() {
        const QSize size = sizeHint();
        setIcon(ImageLibrary::pixmap(imageName_, size, devicePixelRatioF()));
        setIconSize(size);
    }

    QString imageName_;
};

}  // namespace

QToolButton* makeBarImageButton(const QString& imageName, const QString& toolTip, QWidget* parent) {
    auto* b = new BarImageButton(imageName, parent);
    b->setObjectName(imageName);
    b->setToolTip(toolTip);
    addFocusRing(b);
    return b;
}

}  // namespace pelloran
