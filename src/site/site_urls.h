#pragma once
// Every site address the lists build. Listing URLs read their optional pieces (categories,
// ordering, sort direction) from the settings store at each call; an empty or missing setting
// leaves its piece out.

#include <QString>

namespace pelloran {

class SettingsStore;
struct SiteConfig;

// Listing pages are numbered from 1; no page past this one is ever asked for.
inline constexpr int kMaxPageNumber = 1000000;

// Which of the two sets of display settings a listing reads.
enum class ListingKind { Browse, Search };

// "categories/8,9/" + "orderby/size/" + "order/desc/" (each piece only when set).
QString listingOptionsPath(const SettingsStore& settings, ListingKind kind);

// http://host/torrents/browse/index/<options>page/N
QString browseUrl(const SiteConfig& config, const SettingsStore& settings, int page);

// Search words as one segment of a listing path: every character that may not stand in one
// path segment becomes "%XX" of its UTF-8 bytes ("/", "?", "#", "%", "[", "]", space, controls,
// every non-ASCII letter), so the words always stay one segment. Letters, digits and the
// segment's own punctuation ("-._~!$&'()*+,;=:@") stay.
QString escapedSearchWords(const QString& words);

// http://host/torrents/browse/index/query/<escapedQuery>/<options>[page/N], the page piece only
// after page 1. `escapedQuery` is already escaped (escapedSearchWords).
QString searchUrl(const SiteConfig& config, const SettingsStore& settings,
                  const QString& escapedQuery, int page);

// The browse path with every category, in the site's fixed order, always with a page piece.
QString favoritesUrl(const SiteConfig& config, int page);

// "http://host/" + detailsUrl: a details path that starts with "/" gives two slashes.
QString detailsPageUrl(const SiteConfig& config, const QString& detailsUrl);

// "http://host/profile/" + name, unescaped.
QString profileUrl(const SiteConfig& config, const QString& username);

// "http://host" + downloadUrl.
QString torrentFileUrl(const SiteConfig& config, const QString& downloadUrl);

// The snatch list's data address.
QString snatchListUrl(const SiteConfig& config);

}  // namespace pelloran
