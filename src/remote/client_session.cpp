#include "remote/client_session.h"

#include <QList>

namespace pelloran {

void ClientSession::prepare(HttpRequest& request, QMap<QString, QString> headers) const {
    request.setSharedCookies(false);
    if (!cookies_.isEmpty()) {
        headers.insert(QStringLiteral("Cookie"), QString::fromLatin1(cookieHeader()));
    }
    request.setExtraHeaders(headers);
}

void ClientSession::takeCookies(const HttpRequest& request) {
    for (const auto& [name, value] : request.headers()) {
        if (name.compare("Set-Cookie", Qt::CaseInsensitive) != 0) {
            continue;
        }
        const QList<QByteArray> fields = value.split(';');
        const QByteArray pair = fields.value(0).trimmed();
        const qsizetype equals = pair.indexOf('=');
        if (equals <= 0) {
            continue;
        }
        const QByteArray cookieName = pair.first(equals).trimmed();
        bool removed = false;
        for (qsizetype i = 1; i < fields.size(); ++i) {
            const QByteArray attribute = fields[i].trimmed();
            removed = removed || attribute.compare("Max-Age=0", Qt::CaseInsensitive) == 0;
        }
        if (removed) {
            cookies_.remove(cookieName);
        } else {
            cookies_.insert(cookieName, pair.mid(equals + 1).trimmed());
        }
    }
}

QByteArray ClientSession::cookieHeader() const {
    QByteArray header;
    for (auto it = cookies_.constBegin(); it != cookies_.constEnd(); ++it) {
        if (!header.isEmpty()) {
            header += "; ";
        }
        header += it.key() + '=' + it.value();
    }
    return header;
}

}  // namespace pelloran
