#include "settings/settings_layout.h"

#include "ui/colors.h"
#include "ui/overlay_scroll_bar.h"
#include "ui/ui_scale.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

namespace pelloran::settings_layout {

void styleScrollArea(QScrollArea* area, QWidget* content) {
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidgetResizable(false);
    area->setWidget(content);
    area->setStyleSheet(
        QStringLiteral("QScrollArea { background: %1; }").arg(colors::listBackground().name()));
    content->setAutoFillBackground(true);
    QPalette pal = content->palette();
    pal.setColor(QPalette::Window, colors::listBackground());
    content->setPalette(pal);
    area->viewport()->setAutoFillBackground(true);
    area->viewport()->setPalette(pal);
    attachOverlayScrollBar(area);
}

QLabel* addLabel(QWidget* parent, const QString& text, qreal x, qreal y, qreal w, qreal h) {
    auto* label = new QLabel(text, parent);
    label->setProperty("pointRect", QRectF(x, y, w, h));
    label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

void styleSectionHeader(QLabel* label) {
    label->setAlignment(Qt::AlignCenter);
    label->setProperty("bold", true);
    label->setStyleSheet(QStringLiteral("color: #e8a33d; background: transparent;"));
}

int columnLeft(const UiScale& scale, int width) {
    return std::max(0, (width - scale.px(UiScale::kPhoneWidth)) / 2);
}

int placeByPoints(QWidget* content, const UiScale& scale, int width) {
    const int left = columnLeft(scale, width);
    for (QObject* child : content->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w) {
            continue;
        }
        const QVariant r = w->property("pointRect");
        if (r.isValid()) {
            const QRectF pts = r.toRectF();
            w->setGeometry(
                scale.rect(pts.x(), pts.y(), pts.width(), pts.height()).translated(left, 0));
        }
        if (auto* label = qobject_cast<QLabel*>(w)) {
            const QVariant size = label->property("fontPoints");
            const qreal points = size.isValid() ? size.toReal() : kLabelFontPoints;
            label->setFont(scale.font(
                label->property("bold").toBool() ? FontFace::SystemBold : FontFace::System,
                points));
        }
    }
    const qreal heightPoints = content->property("contentHeightPoints").toReal();
    content->resize(width, scale.px(heightPoints));
    return left;
}

}  // namespace pelloran::settings_layout
