#include "site/site_urls.h"

#include "site/site_config.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"

#include <QUrl>

namespace pelloran {

QString escapedSearchWords(const QString& words) {
    return QString::fromLatin1(QUrl::toPercentEncoding(words, QByteArrayLiteral("!$&'()*+,;=:@")));
}

namespace {

constexpr QLatin1StringView kFavoritesPath{
    "/torrents/browse/index/categories/"
    "1,8,9,10,11,12,13,14,15,29,2,26,27,3,17,18,19,20,21,22,28,30,32,4,16,31,5,6,23,24,25,7/"
    "page/"};

QString nonEmpty(const SettingsStore& settings, QLatin1StringView key) {
    return settings.string(key).value_or(QString());
}

}  // namespace

QString listingOptionsPath(const SettingsStore& settings, ListingKind kind) {
    const bool browse = kind == ListingKind::Browse;
    const QString categories =
        nonEmpty(settings, browse ? keys::categories : keys::searchCategories);
    const QString orderBy = nonEmpty(settings, browse ? keys::orderBy : keys::searchOrderBy);
    const QString sortBy = nonEmpty(settings, browse ? keys::sortBy : keys::searchSortBy);
    QString path;
    if (!categories.isEmpty()) {
        path += QStringLiteral("categories/") + categories + QLatin1Char('/');
    }
    if (!orderBy.isEmpty()) {
        path += orderBy + QLatin1Char('/');
    }
    if (!sortBy.isEmpty()) {
        path += QStringLiteral("order/") + sortBy + QLatin1Char('/');
    }
    return path;
}

QString browseUrl(const SiteConfig& config, const SettingsStore& settings, int page) {
    return config.siteUrl(QStringLiteral("/torrents/browse/index/") +
                          listingOptionsPath(settings, ListingKind::Browse) +
                          QStringLiteral("page/") + QString::number(page));
}

QString searchUrl(const SiteConfig& config, const SettingsStore& settings,
                  const QString& escapedQuery, int page) {
    QString path = QStringLiteral("/torrents/browse/index/query/") + escapedQuery +
                   QLatin1Char('/') + listingOptionsPath(settings, ListingKind::Search);
    if (page != 1) {
        path += QStringLiteral("page/") + QString::number(page);
    }
    return config.siteUrl(path);
}

QString favoritesUrl(const SiteConfig& config, int page) {
    return config.siteUrl(kFavoritesPath + QString::number(page));
}

QString detailsPageUrl(const SiteConfig& config, const QString& detailsUrl) {
    return QStringLiteral("http://") + config.siteHost + QLatin1Char('/') + detailsUrl;
}

QString profileUrl(const SiteConfig& config, const QString& username) {
    return config.siteUrl(QStringLiteral("/profile/") + username);
}

QString torrentFileUrl(const SiteConfig& config, const QString& downloadUrl) {
    return QStringLiteral("http://") + config.siteHost + downloadUrl;
}

QString snatchListUrl(const SiteConfig& config) {
    return config.siteUrl(QStringLiteral("/user/account/snatchlist"));
}

}  // namespace pelloran
