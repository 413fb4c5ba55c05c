#include "remote/client_words.h"

#include "net/http_request.h"

namespace pelloran {

QString clientWords(const QString& text) {
    // Markup is left out by hand: an error page's tags say nothing to the member.
    QString plain;
    bool inTag = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('<')) {
            inTag = true;
        } else if (c == QLatin1Char('>') && inTag) {
            inTag = false;
            plain += QLatin1Char(' ');
        } else if (!inTag) {
            plain += c;
        }
    }
    QString words = plain.simplified();
    if (words.size() > kClientWordsLimit) {
        words = words.left(kClientWordsLimit - 3) + QStringLiteral("...");
    }
    return words;
}

QString clientWords(const HttpRequest& request) {
    if (!request.urlResponse()) {
        return QStringLiteral("no answer");
    }
    const QString words = clientWords(request.result().value_or(QString()));
    return words.isEmpty() ? QStringLiteral("HTTP status %1").arg(request.statusCode()) : words;
}

}  // namespace pelloran
