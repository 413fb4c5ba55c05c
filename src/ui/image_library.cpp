#include "ui/image_library.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QSaveFile>
#include <QSet>
#include <QSvgRenderer>
#include <QThreadPool>
#include <cstring>

namespace pelloran {

namespace {

QString& keptFolder() {
    static QString folder;
    return folder;
}

// "<name>-<w>x<h>-<source digest>.argb": the premultiplied pixels as they are, row after row;
// a new source or size is a new file. The prefix before the digest names the older copies.
QString keptPrefix(const QString& name, const QSize& pixels) {
    QString base = name;
    base.truncate(base.lastIndexOf(QLatin1Char('.')) > 0 ? base.lastIndexOf(QLatin1Char('.'))
                                                         : base.size());
    return QStringLiteral("%1-%2x%3-").arg(base).arg(pixels.width()).arg(pixels.height());
}

QString keptFile(const QString& name, const QSize& pixels) {
    QFile source(ImageLibrary::resourcePath(name));
    if (!source.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray digest =
        QCryptographicHash::hash(source.readAll(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir(keptFolder())
        .filePath(keptPrefix(name, pixels) + QString::fromLatin1(digest) + QStringLiteral(".argb"));
}

QImage readKept(const QString& path, const QSize& pixels) {
    QFile f(path);
    const qint64 rowBytes = qint64(pixels.width()) * 4;
    if (!f.open(QIODevice::ReadOnly) || f.size() != rowBytes * pixels.height()) {
        return {};
    }
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < pixels.height(); ++y) {
        if (f.read(reinterpret_cast<char*>(image.scanLine(y)), rowBytes) != rowBytes) {
            return {};
        }
    }
    return image;
}

// Off the UI thread: the picture is on screen already, the file only spares the next start.
void keepInBackground(const QString& path, const QString& olderPrefix, const QImage& image) {
    QThreadPool::globalInstance()->start([path, olderPrefix, image] {
        const QFileInfo info(path);
        if (!QDir().mkpath(info.absolutePath())) {
            return;
        }
        QDir dir = info.absoluteDir();
        for (const QString& older : dir.entryList({olderPrefix + QStringLiteral("*")})) {
            dir.remove(older);  // drawn from an older source
        }
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            return;
        }
        const qint64 rowBytes = qint64(image.width()) * 4;
        for (int y = 0; y < image.height(); ++y) {
            f.write(reinterpret_cast<const char*>(image.constScanLine(y)), rowBytes);
        }
        f.commit();
    });
}

}  // namespace

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
    // Reading the size parses the whole SVG: each name's is read once.
    static QHash<QString, QSizeF> known;
    const auto found = known.constFind(name);
    if (found != known.constEnd()) {
        return *found;
    }
    QSizeF size;
    if (has(name)) {
        size = QSvgRenderer(resourcePath(name)).viewBoxF().size();
    }
    known.insert(name, size);
    return size;
}

void ImageLibrary::setKeptFolder(const QString& folder) {
    keptFolder() = folder;
}

QPixmap ImageLibrary::keptPixmap(const QString& name, const QSize& logicalSize,
                                 qreal devicePixelRatio) {
    return keptPixmapOrLater(name, logicalSize, devicePixelRatio, nullptr, {});
}

QPixmap ImageLibrary::keptPixmapOrLater(const QString& name, const QSize& logicalSize,
                                        qreal devicePixelRatio, QObject* context,
                                        const std::function<void()>& ready) {
    const QSize pixels(qRound(logicalSize.width() * devicePixelRatio),
                       qRound(logicalSize.height() * devicePixelRatio));
    if (keptFolder().isEmpty() || !has(name) || pixels.isEmpty()) {
        return pixmap(name, logicalSize, devicePixelRatio);
    }
    const QString key = QStringLiteral("pelloran-kept:%1:%2x%3@%4")
                            .arg(name)
                            .arg(pixels.width())
                            .arg(pixels.height())
                            .arg(devicePixelRatio);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached)) {
        return cached;
    }
    const auto keep = [key, devicePixelRatio](QImage drawn) {
        QPixmap result = QPixmap::fromImage(std::move(drawn));
        result.setDevicePixelRatio(devicePixelRatio);
        QPixmapCache::insert(key, result);
        return result;
    };
    const QString path = keptFile(name, pixels);
    if (QImage kept = readKept(path, pixels); !kept.isNull()) {
        return keep(std::move(kept));
    }
    if (!context) {
        QImage drawn = image(name, pixels);
        if (drawn.isNull()) {
            return {};
        }
        QPixmap result = keep(std::move(drawn));
        keepInBackground(path, keptPrefix(name, pixels), result.toImage());
        return result;
    }
    // Drawn once however often it is asked for meanwhile; the pixels become a pixmap, and
    // are kept, back on the asking thread.
    static QSet<QString> drawing;
    if (drawing.contains(key)) {
        return {};
    }
    drawing.insert(key);
    QPointer<QObject> guard(context);
    QThreadPool::globalInstance()->start([name, pixels, path, key, guard, ready, keep] {
        QImage drawn = image(name, pixels);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [drawn = std::move(drawn), name, pixels, path, key, guard, ready, keep]() mutable {
                drawing.remove(key);
                if (drawn.isNull()) {
                    return;
                }
                // The pixmap takes the pixels as they are; the file is written from them.
                const QPixmap kept = keep(std::move(drawn));
                keepInBackground(path, keptPrefix(name, pixels), kept.toImage());
                if (guard && ready) {
                    ready();
                }
            },
            Qt::QueuedConnection);
    });
    return {};
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
