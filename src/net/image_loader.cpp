#include "net/image_loader.h"

#include "net/url_loader.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace pelloran {

ImageLoader::ImageLoader(const QString& url, const NetContext& net, QObject* context,
                         Callback callback)
    : url_(url),
      net_(net),
      context_(context),
      hasContext_(context != nullptr),
      callback_(std::move(callback)) {}

void ImageLoader::run() {
    UrlLoadRequest request;
    request.url = url_;
    const UrlLoadResult loaded = loadUrl(request, *net_.cookies);
    const QImage image = QImage::fromData(loaded.body);
    if (image.isNull() || !callback_ || !QCoreApplication::instance()) {
        return;
    }
    QPointer<QObject> context = context_;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [context, needsContext = hasContext_, callback = callback_, url = url_, image] {
            if (!needsContext || context) {
                callback(url, image);
            }
        },
        Qt::QueuedConnection);
}

}  // namespace pelloran
