#include "lists/list_image_cache.h"

#include "net/image_loader.h"
#include "text/string_helpers.h"
#include "ui/image_library.h"

namespace pelloran {

namespace {
const QString kUnknownImage = QStringLiteral("cat_unknown.png");
}

ListImageCache::ListImageCache(const NetContext& net, OperationQueue& queue, QObject* parent)
    : QObject(parent), net_(net), queue_(queue) {
    pictures_.reserve(kInitialCapacity);
}

QPixmap ListImageCache::image(const std::optional<QString>& key, const QSize& points, qreal scale,
                              qreal devicePixelRatio) {
    if (!key) {
        return {};
    }
    const QSize logical(qRound(points.width() * scale), qRound(points.height() * scale));
    pixelsPerPoint_ = scale * devicePixelRatio;
    if (!key->contains(QLatin1String("http://"))) {
        auto known = known_.find(*key);
        if (known == known_.end()) {
            known = known_.insert(*key, ImageLibrary::has(*key));
        }
        // ImageLibrary keeps what it drew per name, size and ratio.
        return ImageLibrary::pixmap(known.value() ? *key : kUnknownImage, logical,
                                    devicePixelRatio);
    }
    const auto found = pictures_.constFind(*key);
    if (found == pictures_.constEnd()) {
        pictures_.insert(*key, QImage());  // placeholder: asked once
        queue_.addOperation(std::make_unique<ImageLoader>(
            *key, net_, this,
            [this](const QString& url, const QImage& image) { imageReady(url, image); }));
        return {};
    }
    if (found->isNull()) {
        return {};
    }
    QPixmap pm = QPixmap::fromImage(*found);
    pm.setDevicePixelRatio(devicePixelRatio);
    return pm;
}

void ListImageCache::imageReady(const QString& url, const QImage& image) {
    pictures_.insert(url, text::scaleToSize(image, qRound(kPictureWidthPoints * pixelsPerPoint_),
                                            qRound(kPictureHeightPoints * pixelsPerPoint_)));
    Q_EMIT imageArrived();
}

}  // namespace pelloran
