#include "fake_vuze.h"

namespace pelloran::fake {

namespace {

const QByteArray kStylesheetPath = QByteArrayLiteral("/styles/vuze.css");

QByteArray page(const QString& message) {
    return QStringLiteral(
               "<html><head><title>%1</title>"
               "<link rel=\"stylesheet\" type=\"text/css\" href=\"styles/vuze.css\"></head>"
               "<body><h1>%1</h1><p>%2</p></body></html>")
        .arg(QLatin1String(kVuzeWebUiTitle), message.toHtmlEscaped())
        .toUtf8();
}

}  // namespace

FakeVuze::FakeVuze() : FakeClientBase("Azureus Web UI") {}

// Stops here so no server thread can reach route() once this part of the object is gone.
FakeVuze::~FakeVuze() {
    stop();
}

FakeClientBase::Answer FakeVuze::route(const ReceivedRequest& request) {
    const bool get = request.method == "GET" || request.method == "HEAD";
    if (get && request.path == "/") {
        return {200, "text/html; charset=utf-8", page(QStringLiteral("No torrents yet.")), {}};
    }
    if (get && request.path == kStylesheetPath) {
        return {200, "text/css", "body { font-family: sans-serif; }\n", {}};
    }
    if (request.method == "POST" && request.path == "/index.tmpl") {
        if (request.queryValue("d") != QByteArray("u") ||
            request.queryValue("local") != QByteArray("1")) {
            return {400, "text/html; charset=utf-8", page(QStringLiteral("Unknown request.")), {}};
        }
        return upload(request);
    }
    return {404, "text/html; charset=utf-8", page(QStringLiteral("Not found.")), {}};
}

FakeClientBase::Answer FakeVuze::upload(const ReceivedRequest& request) {
    auto refuse = [](const QString& why) {
        return Answer{400, "text/html; charset=utf-8", page(why), {}};
    };
    if (!request.multipart) {
        return refuse(QStringLiteral("Upload failed: the form is not multipart/form-data."));
    }
    if (request.malformed) {
        return refuse(
            QStringLiteral("Upload failed: malformed form (%1).").arg(request.malformedReason));
    }
    const ReceivedPart* file = request.part("upfile_0");
    if (file == nullptr || !file->filename) {
        return refuse(QStringLiteral("Upload failed: no file in upfile_0."));
    }
    if (file->content.isEmpty()) {
        return refuse(QStringLiteral("Upload failed: the file is empty."));
    }
    addTorrent(*file->filename, file->content);
    return {200, "text/html; charset=utf-8", page(QStringLiteral("Torrent uploaded.")), {}};
}

}  // namespace pelloran::fake
