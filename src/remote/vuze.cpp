#include "remote/vuze.h"

namespace pelloran {

QByteArray Vuze::getData() {
    const QString b = multipartBoundary();
    setName(QStringLiteral("upfile_0"));
    setFileContentType(QStringLiteral("application/octet-stream"));
    // The plug-in's form has two file inputs; the first goes up empty.
    setPrefixData(QStringLiteral("--") + b +
                  QStringLiteral("\r\nContent-Disposition: form-data; name=\"upfile_1\"; "
                                 "filename=\"\"\r\nContent-Type: "
                                 "application/octet-stream\r\n\r\n\r\n--"));
    setPostfixData(QStringLiteral("\r\n--") + b + QStringLiteral("--\r\n"));
    return BitClient::getData();
}

QString Vuze::getUrl() const {
    return origin() + QStringLiteral("/index.tmpl?d=u&local=1");
}

}  // namespace pelloran
