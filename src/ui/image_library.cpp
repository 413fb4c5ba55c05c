#include "ui/image_library.h"

#include <QFile>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace pelloran {

QString ImageLibrary::resourcePath(const QString& name) {
    QString base = name;
    const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
        base.truncate(dot);
    }
    return QStringLiteral(":/pelloran/images/") + base + QStringLiteral(".svg");
}

bool ImageLibrary::has(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && QFile::exists(resourcePath(name));
}

QSizeF ImageLibrary::naturalSize(const QString& name) {
    if (!has(name)) {
        return {};
    }
    QSvgRenderer renderer(resourcePath(name));
    return renderer.viewBoxF().size();
}

QImage ImageLibrary::image(const QString& name, const QSize& pixelSize) {
    if (!has(name) || pixelSize.isEmpty()) {
        return {};
    }
    QSvgRenderer renderer(resourcePath(name));
    if (!renderer.isValid()) {
        return {};
    }
    QImage out(pixelSize, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixelSize)));
    return out;
}

QPixmap ImageLibrary::pixmap(const QString& name, const QSize& logicalSize,
                             qreal devicePixelRatio) {
    return tinted(name, logicalSize, devicePixelRatio, QColor());
}

QPixmap ImageLibrary::tinted(const QString& name, const QSize& logicalSize, qreal devicePixelRatio,
                             const QColor& tint) {
    const QString key = QStringLiteral("pelloran:%1:%2x%3@%4:%5")
                            .arg(name)
                            .arg(logicalSize.width())
                            .arg(logicalSize.height())
                            .arg(devicePixelRatio)
                            .arg(tint.isValid() ? tint.name(QColor::HexArgb) : QString());
    QPixmap cached;
    if (QPixmapCache::find(key, &cached)) {
        return cached;
    }
    const QSize pixels(qRound(logicalSize.width() * devicePixelRatio),
                       qRound(logicalSize.height() * devicePixelRatio));
    QImage drawn = image(name, pixels);
    if (drawn.isNull()) {
        return {};
    }
    if (tint.isValid()) {
        QPainter painter(&drawn);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(drawn.rect(), tint);
    }
    QPixmap result = QPixmap::fromImage(std::move(drawn));
    result.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, result);
    return result;
}

}  // namespace pelloran
