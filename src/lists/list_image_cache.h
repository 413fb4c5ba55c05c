#pragma once
// A list screen's cell images by key. A key without "http://" names one of our images ("up.jpg",
// "hd.png"): drawn once per size and kept; a name we have no image for shows "cat_unknown.png".
// A key with "http://" is a picture to fetch: its first use starts one load on the list's
// picture queue (three at a time) and keeps an empty placeholder under the key, so the same
// address is never asked twice; the picture, scaled to 48 by 36 points, replaces it when it
// arrives and imageArrived() asks the list to redraw. Our images can be drawn ahead on the
// picture queue (warmUp), so that the first rows don't wait for them. UI thread only.

#include "net/net_context.h"
#include "net/operation_queue.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPixmap>
#include <QSet>
#include <QSize>
#include <QString>
#include <optional>

namespace pelloran {

class ListImageCache : public QObject {
    Q_OBJECT
public:
    static constexpr int kPictureWidthPoints = 48;
    static constexpr int kPictureHeightPoints = 36;
    static constexpr int kInitialCapacity = 30;

    // Pictures load through `queue` (the list's width-3 picture queue), which must outlive this.
    ListImageCache(const NetContext& net, OperationQueue& queue, QObject* parent = nullptr);

    // The image for `key`, drawn to fill `points` at `scale` x `devicePixelRatio` pixels per
    // point; null for an absent key and while a picture is on its way.
    QPixmap image(const std::optional<QString>& key, const QSize& points, qreal scale,
                  qreal devicePixelRatio);

    // Draws our images `items` (name and size in points) on the picture queue, at `scale` x
    // `devicePixelRatio` pixels per point, for image() to hand out without drawing them itself;
    // until they are drawn image() gives nothing for them, and imageArrived() follows.
    void warmUp(const QList<QPair<QString, QSize>>& items, qreal scale, qreal devicePixelRatio);
    bool isWarm(const QString& name, const QSize& points, qreal scale,
                qreal devicePixelRatio) const;

    // Picture addresses asked for (arrived or not).
    int pictureCount() const { return int(pictures_.size()); }

Q_SIGNALS:
    void imageArrived();

private:
    void imageReady(const QString& url, const QImage& image);

    NetContext net_;
    OperationQueue& queue_;
    QHash<QString, QImage> pictures_;  // by URL; a null image is the placeholder
    QHash<QString, bool> known_;       // our image names: whether we have one
    QHash<QString, QPixmap> drawn_;    // our images drawn ahead, by name, size and density
    QSet<QString> drawing_;            // the same keys, being drawn
    qreal pixelsPerPoint_ = 1.0;       // what the cells asked for last
};

}  // namespace pelloran
