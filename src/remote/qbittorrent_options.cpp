#include "remote/qbittorrent_options.h"

#include "net/http_request.h"
#include "remote/client_words.h"
#include "remote/qbittorrent.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace pelloran {

namespace {

bool holdsCategory(QBittorrent& client, const QString& category, const NetContext& net) {
    HttpRequest request(client.apiUrl(QStringLiteral("torrents/categories")), net);
    client.prepare(request);
    request.request();
    if (!request.isResponseValid()) {
        return false;  // creating it tells
    }
    const QJsonDocument doc = QJsonDocument::fromJson(request.responseData());
    return doc.isObject() && doc.object().contains(category);
}

std::optional<QString> createCategory(QBittorrent& client, const QString& category,
                                      const NetContext& net) {
    HttpRequest request(client.apiUrl(QStringLiteral("torrents/createCategory")), net);
    request.setType(QStringLiteral("POST"));
    request.setPostData(QStringLiteral("category=") +
                        QString::fromLatin1(QUrl::toPercentEncoding(category)) +
                        QStringLiteral("&savePath="));
    client.prepare(request);
    request.setFollowRedirects(false);
    request.request();
    if (request.isResponseValid()) {
        return std::nullopt;
    }
    return QStringLiteral("qBittorrent refused the category \"%1\": %2")
        .arg(category, clientWords(request));
}

}  // namespace

std::optional<bool> webApiSaysStopped(const QString& version) {
    const QStringList parts = version.trimmed().split(QLatin1Char('.'));
    bool majorOk = false;
    bool minorOk = false;
    const int major = parts.value(0).toInt(&majorOk);
    const int minor = parts.value(1).toInt(&minorOk);
    if (parts.size() < 2 || !majorOk || !minorOk) {
        return std::nullopt;
    }
    return major > QBittorrent::kStoppedSinceMajor ||
           (major == QBittorrent::kStoppedSinceMajor && minor >= QBittorrent::kStoppedSinceMinor);
}

std::optional<QString> prepareQBittorrentOptions(QBittorrent& client, const NetContext& net) {
    const PushOptions& options = client.pushOptions();
    if (options.paused) {
        HttpRequest request(client.apiUrl(QStringLiteral("app/webapiVersion")), net);
        client.prepare(request);
        request.request();
        const std::optional<bool> stopped =
            request.isResponseValid() ? webApiSaysStopped(request.result().value_or(QString()))
                                      : std::nullopt;
        if (!stopped) {
            return QStringLiteral(
                "qBittorrent did not tell its Web API version, so Pelloran can't tell it to add "
                "the torrent paused.");
        }
        client.setStartField(*stopped ? QStringLiteral("stopped") : QStringLiteral("paused"));
    }
    if (options.asksCategory() && !holdsCategory(client, *options.category, net)) {
        return createCategory(client, *options.category, net);
    }
    return std::nullopt;
}

}  // namespace pelloran
