#include "ui/sheet_chrome.h"

#include "ui/colors.h"
#include "ui/focus_ring.h"
#include "ui/navigation_bar.h"
#include "ui/ui_scale.h"

#include <QEvent>
#include <QToolButton>

namespace pelloran::sheet_chrome {

QToolButton* barButton(const QString& text, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setText(text);
    b->setCursor(Qt::PointingHandCursor);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addFocusRing(b);
    return b;
}

void layoutBar(QWidget* sheet, NavigationBar* bar, QToolButton* left, QToolButton* right) {
    const UiScale s = UiScale::of(sheet);
    bar->setGeometry(0, 0, sheet->width(), s.px(NavigationBar::kHeightPoints));
    const QString buttonStyle =
        QStringLiteral(
            "QToolButton { color: white; background: %1; border: 1px solid %2; "
            "border-radius: %3px; padding: 0 %4px; } QToolButton:pressed { "
            "background: %2; }")
            .arg(colors::grey(0.16).name(), colors::grey(0.35).name())
            .arg(s.px(5))
            .arg(s.px(9));
    for (QToolButton* b : {left, right}) {
        b->setStyleSheet(buttonStyle);
        b->setFont(s.font(FontFace::SystemBold, 13));
    }
    bar->setItems(left, right);
}

void coverHost(QWidget* sheet) {
    if (QWidget* host = sheet->parentWidget()) {
        sheet->setGeometry(host->rect());
        host->installEventFilter(sheet);
    }
}

void followHost(QWidget* sheet, QObject* watched, QEvent* event) {
    if (watched == sheet->parentWidget() && event->type() == QEvent::Resize) {
        sheet->setGeometry(sheet->parentWidget()->rect());
    }
}

}  // namespace pelloran::sheet_chrome
