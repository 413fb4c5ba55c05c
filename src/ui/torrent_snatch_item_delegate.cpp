#include "ui/torrent_snatch_item_delegate.h"

#include "ui/colors.h"
#include "ui/ui_scale.h"

#include <QAbstractItemView>
#include <QPainter>
#include <algorithm>

namespace pelloran {

namespace {
constexpr qreal kNamePoints = 12;
constexpr qreal kSmallPoints = 10;
constexpr qreal kActivePoints = 19;
constexpr qreal kActiveWidth = 50;
constexpr qreal kLabelGap = 5;  // between the activity, ratio and size labels when they run long

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') {
        return u - '0';
    }
    if (u >= 'a' && u <= 'f') {
        return u - 'a' + 10;
    }
    if (u >= 'A' && u <= 'F') {
        return u - 'A' + 10;
    }
    return -1;
}

}  // namespace

QString TorrentSnatchItemDelegate::shownName(const QString& name) {
    if (!name.contains(QLatin1Char('\\'))) {
        return name;
    }
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c != QLatin1Char('\\') || i + 1 >= name.size()) {
            out.append(c);
            continue;
        }
        const QChar next = name[i + 1];
        if (next == QLatin1Char('u') && i + 5 < name.size()) {
            int code = 0;
            bool ok = true;
            for (qsizetype k = i + 2; k < i + 6; ++k) {
                const int h = hexValue(name[k]);
                ok = ok && h >= 0;
                code = code * 16 + std::max(h, 0);
            }
            if (ok) {
                out.append(QChar(char16_t(code)));
                i += 5;
                continue;
            }
        } else if (next == QLatin1Char('/') || next == QLatin1Char('"') ||
                   next == QLatin1Char('\\')) {
            out.append(next);
            ++i;
            continue;
        }
        out.append(c);
    }
    return out;
}

void TorrentSnatchItemDelegate::drawContentView(QPainter* p, const QRect& content,
                                                const TorrentPtr& t, bool highlighted) const {
    const UiScale s = scale();
    p->setPen(highlighted ? QColor(Qt::white) : colors::rowText());
    // How many points the view is wider than the phone: the transfer totals keep to the right edge.
    const qreal extra =
        std::max(0.0, s.points(view()->viewport()->width()) - qreal(UiScale::kPhoneWidth));
    drawImage(p, content, image(QStringLiteral("up.jpg"), 10, 10), 241 + extra, 20, 10, 10);
    drawImage(p, content, image(QStringLiteral("down.jpg"), 10, 10), 310 + extra, 20, 10, 10);

    p->setFont(s.font(FontFace::ArialBold, kNamePoints));
    drawText(p, content, 0, 5, shownName(t->name().value_or(QString())),
             s.points(view()->viewport()->width()));
    p->setFont(s.font(FontFace::Arial, kSmallPoints));
    const QFontMetricsF fm(p->font());
    // Activity at 0, ratio at 53, size at 103; a label that runs long pushes the next one on
    // rather than running into it.
    qreal x = 0;
    const std::pair<qreal, std::optional<QString>> labels[] = {
        {0, t->active() ? std::optional(QStringLiteral("Active:") + *t->active()) : std::nullopt},
        {53, t->ratio() ? std::optional(QStringLiteral("Ratio:") + *t->ratio()) : std::nullopt},
        {103, t->size() ? std::optional(QStringLiteral("Size:") + *t->size()) : std::nullopt},
    };
    for (const auto& [at, text] : labels) {
        x = std::max(x, at);
        if (text) {
            drawText(p, content, x, 20, *text);
            x += s.points(fm.horizontalAdvance(*text)) + kLabelGap;
        }
    }
    drawTextRightAligned(p, content, 243 - 4 + extra, 20, t->up().value_or(QString()));
    drawTextRightAligned(p, content, 312 - 4 + extra, 20, t->down().value_or(QString()));
    // The activity once more, large and red over the small one, where a row's wait note goes.
    if (const std::optional<QString> active = labels[0].second) {
        const QPen pen = p->pen();
        p->setPen(Qt::red);
        p->setFont(s.font(FontFace::ArialRoundedBold, kActivePoints));
        drawText(p, content, 0, 17, *active, kActiveWidth);
        p->setPen(pen);
    }
}

}  // namespace pelloran
