#include "ui/note_banner.h"

#include "ui/ui_scale.h"

#include <QEvent>
#include <QTimer>

namespace pelloran {

namespace {
constexpr qreal kMargin = 8;
constexpr qreal kTop = 8;
constexpr qreal kFontPoints = 12;
}  // namespace

NoteBanner::NoteBanner(QWidget* window) : QLabel(window) {
    setObjectName(QStringLiteral("noteBanner"));
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Click to close"));
    const UiScale s = UiScale::of(window);
    setFont(s.font(FontFace::ArialBold, kFontPoints));
    setStyleSheet(QStringLiteral("QLabel { color: #1b1d22; background: #f6c266; border: 1px solid "
                                 "#a86a14; border-radius: %1px; padding: %2px; }")
                      .arg(s.px(6))
                      .arg(s.px(8)));
    window->installEventFilter(this);
    QTimer::singleShot(kShownMs, this, &QObject::deleteLater);
}

NoteBanner* NoteBanner::current(QWidget* window) {
    return window ? window->findChild<NoteBanner*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

NoteBanner* NoteBanner::show(QWidget* window, const QString& text) {
    if (!window) {
        return nullptr;
    }
    NoteBanner* note = current(window);
    if (note) {
        note->setText(note->text() + QStringLiteral("\n\n") + text);
    } else {
        note = new NoteBanner(window);
        note->setText(text);
    }
    note->relayout();
    note->QLabel::show();
    note->raise();
    return note;
}

void NoteBanner::relayout() {
    const UiScale s = UiScale::of(this);
    QWidget* window = parentWidget();
    const int width = window->width() - 2 * s.px(kMargin);
    setFixedWidth(width);
    setFixedHeight(heightForWidth(width));
    move(s.px(kMargin), s.px(kTop));
}

void NoteBanner::mouseReleaseEvent(QMouseEvent*) {
    deleteLater();
}

bool NoteBanner::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        relayout();
    }
    return QLabel::eventFilter(watched, event);
}

}  // namespace pelloran
