#pragma once
// Our artwork by the resource names the screens use ("tabbar-all.png", "hd.png", "up.jpg"):
// each name maps to an SVG source compiled into the program (":/pelloran/images/hd.svg"),
// rendered at the size and pixel ratio asked for, so it is crisp at every scale.
// UI thread only, but for the drawing keptPixmapOrLater hands to a worker (rendered pixmaps
// are cached per name, size and ratio; large pictures also in
// the data folder, see keptPixmap).

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <functional>

class QObject;

namespace pelloran {

class ImageLibrary {
public:
    // Whether the program has an image of that name.
    static bool has(const QString& name);
    // The image's own size in points (its SVG view box); empty when there is none.
    static QSizeF naturalSize(const QString& name);
    // The image drawn to fill `logicalSize` at `devicePixelRatio`; null when there is none.
    static QPixmap pixmap(const QString& name, const QSize& logicalSize, qreal devicePixelRatio);
    // The same, with every opaque pixel painted `tint` (template images: tab icons).
    static QPixmap tinted(const QString& name, const QSize& logicalSize, qreal devicePixelRatio,
                          const QColor& tint);
    // An image of exactly `pixelSize` pixels; null when there is none.
    static QImage image(const QString& name, const QSize& pixelSize);

    // The same as pixmap(), for a large picture drawn at start (the login backdrop): once
    // drawn it is kept in the folder set by setKeptFolder, keyed by its pixel size and its
    // SVG source, so later starts read it back instead of drawing it again. Written in the
    // background; a missing or damaged file is drawn again.
    static QPixmap keptPixmap(const QString& name, const QSize& logicalSize,
                              qreal devicePixelRatio);
    // keptPixmap() when the picture is at hand (drawn before in this run, or kept in the
    // folder); otherwise null, and it is drawn on a worker thread, so that a first start's first
    // frame doesn't wait for it: `ready` then runs on `context`'s thread, and this call returns
    // the picture. Without a kept folder, drawn at once as keptPixmap() does.
    static QPixmap keptPixmapOrLater(const QString& name, const QSize& logicalSize,
                                     qreal devicePixelRatio, QObject* context,
                                     const std::function<void()>& ready);
    // Where keptPixmap keeps its pictures (created when needed); empty: not kept.
    static void setKeptFolder(const QString& folder);

    // ":/pelloran/images/<name without extension>.svg"
    static QString resourcePath(const QString& name);
};

}  // namespace pelloran
