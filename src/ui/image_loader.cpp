#include "ui/image_loader.h"

#include "net/url_loader.h"

namespace pelloran {

ImageLoader::ImageLoader(const QString& url, const NetContext& net, QObject* context,
                         Callback callback)
    : url_(url), net_(net), receiver_(context), callback_(std::move(callback)) {}

void ImageLoader::run() {
    UrlLoadRequest request;
    request.url = url_;
    request.cancellation = net_.cancellation;
    const UrlLoadResult loaded = loadUrl(request, *net_.cookies);
    const QImage image = QImage::fromData(loaded.body);
    if (image.isNull() || !callback_) {
        return;
    }
    receiver_.post([callback = callback_, url = url_, image] { callback(url, image); });
}

QImage scaleToSize(const QImage& image, int width, int height) {
    if (image.isNull() || width <= 0 || height <= 0) {
        return {};
    }
    return image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace pelloran
