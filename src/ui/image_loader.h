#pragma once
// Loads a picture in the background: a plain GET (cookies apply, none of the page headers),
// decoded with QImage on the loading thread. Delivers (url, image) on the UI thread; nothing
// when no picture came. Pictures are decoded only where they are shown: the core (and so the
// command line) never loads Qt Gui.

#include "net/net_context.h"
#include "net/operation_queue.h"
#include "net/ui_receiver.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>

namespace pelloran {

class ImageLoader : public Operation {
public:
    using Callback = std::function<void(const QString& url, const QImage& image)>;
    ImageLoader(const QString& url, const NetContext& net, QObject* context, Callback callback);
    void run() override;

private:
    QString url_;
    NetContext net_;
    UiReceiver receiver_;
    Callback callback_;
};

// The image stretched to exactly width x height pixels (aspect ratio not kept).
QImage scaleToSize(const QImage& image, int width, int height);

}  // namespace pelloran
