#include "lists/list_image_cache.h"

#include "net/ui_receiver.h"
#include "text/string_helpers.h"
#include "ui/image_library.h"
#include "ui/image_loader.h"

namespace pelloran {

namespace {

const QString kUnknownImage = QStringLiteral("cat_unknown.png");

QString drawnKey(const QString& name, const QSize& pixels, qreal devicePixelRatio) {
    return QStringLiteral("%1|%2x%3@%4")
        .arg(name)
        .arg(pixels.width())
        .arg(pixels.height())
        .arg(devicePixelRatio);
}

// Draws our images off the UI thread (SVG rendering into QImage needs no GUI thread).
class WarmUp : public Operation {
public:
    struct Item {
        QString name;
        QSize pixels;
    };
    using Done = std::function<void(const QList<Item>&, const QList<QImage>&)>;
    WarmUp(QList<Item> items, QObject* context, Done done)
        : items_(std::move(items)), receiver_(context), done_(std::move(done)) {}

    void run() override {
        QList<QImage> images;
        images.reserve(items_.size());
        for (const Item& item : items_) {
            images.append(ImageLibrary::image(item.name, item.pixels));
        }
        receiver_.post([done = done_, items = items_, images] { done(items, images); });
    }

private:
    QList<Item> items_;
    UiReceiver receiver_;
    Done done_;
};

}  // namespace

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
        const QString& name = known.value() ? *key : kUnknownImage;
        const QSize pixels(qRound(logical.width() * devicePixelRatio),
                           qRound(logical.height() * devicePixelRatio));
        const QString drawnAs = drawnKey(name, pixels, devicePixelRatio);
        if (const auto drawn = drawn_.constFind(drawnAs); drawn != drawn_.constEnd()) {
            return *drawn;
        }
        if (drawing_.contains(drawnAs)) {
            return {};  // on its way: the row shows it in a moment
        }
        // Not drawn ahead (yet): ImageLibrary draws it now and keeps it.
        return ImageLibrary::pixmap(name, logical, devicePixelRatio);
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

void ListImageCache::warmUp(const QList<QPair<QString, QSize>>& items, qreal scale,
                            qreal devicePixelRatio) {
    QList<WarmUp::Item> todo;
    for (const auto& [asked, points] : items) {
        auto known = known_.find(asked);
        if (known == known_.end()) {
            known = known_.insert(asked, ImageLibrary::has(asked));
        }
        const QString name = known.value() ? asked : kUnknownImage;
        const QSize pixels(qRound(qRound(points.width() * scale) * devicePixelRatio),
                           qRound(qRound(points.height() * scale) * devicePixelRatio));
        const QString key = drawnKey(name, pixels, devicePixelRatio);
        if (!drawn_.contains(key) && !drawing_.contains(key)) {
            drawing_.insert(key);
            todo.append({name, pixels});
        }
    }
    if (todo.isEmpty()) {
        return;
    }
    queue_.addOperation(std::make_unique<WarmUp>(
        todo, this,
        [this, devicePixelRatio](const QList<WarmUp::Item>& done, const QList<QImage>& images) {
            for (qsizetype i = 0; i < done.size() && i < images.size(); ++i) {
                const QString key = drawnKey(done[i].name, done[i].pixels, devicePixelRatio);
                drawing_.remove(key);
                if (!images[i].isNull()) {
                    QPixmap pm = QPixmap::fromImage(images[i]);
                    pm.setDevicePixelRatio(devicePixelRatio);
                    drawn_.insert(key, pm);
                }
            }
            Q_EMIT imageArrived();
        }));
}

bool ListImageCache::isWarm(const QString& name, const QSize& points, qreal scale,
                            qreal devicePixelRatio) const {
    const QSize pixels(qRound(qRound(points.width() * scale) * devicePixelRatio),
                       qRound(qRound(points.height() * scale) * devicePixelRatio));
    return drawn_.contains(drawnKey(name, pixels, devicePixelRatio));
}

void ListImageCache::imageReady(const QString& url, const QImage& image) {
    pictures_.insert(url, scaleToSize(image, qRound(kPictureWidthPoints * pixelsPerPoint_),
                                      qRound(kPictureHeightPoints * pixelsPerPoint_)));
    Q_EMIT imageArrived();
}

}  // namespace pelloran
