#pragma once
// Percent-escaping for the two kinds of URL text the site scrapers build: an address taken
// from a page, and the member's search words put into a path.

#include <QString>

namespace pelloran::text {

// Escapes (as UTF-8 "%XX") every character a URL cannot hold as it stands, and keeps the
// characters a URL may hold, "/", "?", "&", "=" and "#" among them. A "%" that already starts a
// valid escape ("%20") is kept, so an address that is escaped once is not escaped again; a "%"
// not followed by two hex digits is escaped.
QString percentEscapeUrl(const QString& url);

// Search words for the query piece of a listing path: characters that may not stand in a URL
// become "%XX" (space gives "%20", "%" gives "%25", non-ASCII letters their UTF-8 bytes); the
// characters a URL allows, "/", "?", "&" and "+" among them, stay.
QString escapeSearchText(const QString& words);

}  // namespace pelloran::text
