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

// Search words for the query piece of a listing path: every character that may not stand in
// one path segment becomes "%XX" of its UTF-8 bytes, so the words always stay one segment:
// "/", "?", "#", "%", "[", "]", space, controls and every non-ASCII letter. Letters, digits
// and the segment's own punctuation ("-._~!$&'()*+,;=:@") stay.
QString escapeSearchText(const QString& words);

// A value for a URL's query ("?name=value"): every byte of its UTF-8 form except ASCII
// letters, digits and "-._~" becomes "%XX", so a value can neither add fields ("&", "="),
// nor end the query ("#"), nor change meaning when decoded ("+", "%").
QString escapeQueryValue(const QString& value);

}  // namespace pelloran::text
