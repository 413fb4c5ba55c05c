#pragma once
// The two percent-escapers whose bytes differ from QUrl::toPercentEncoding, which always
// escapes "%": an address taken from a page keeps the escapes it already has, and a form value
// keeps every "%". Everything else is escaped with QUrl::toPercentEncoding itself.

#include <QString>

namespace pelloran::text {

// Escapes (as UTF-8 "%XX") every character a URL cannot hold as it stands, and keeps the
// characters a URL may hold, "/", "?", "&", "=" and "#" among them. A "%" that already starts a
// valid escape ("%20") is kept, so an address that is escaped once is not escaped again; a "%"
// not followed by two hex digits is escaped.
QString percentEscapeUrl(const QString& url);

// UTF-8 percent-escaping for form values: keeps ASCII letters, digits and "-_.~%[]", escapes
// every other byte as "%XX" (capitals). An existing "%" is kept, so escapes pass through.
QString stringWithPercentEscape(const QString& text);

}  // namespace pelloran::text
