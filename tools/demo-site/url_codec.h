#pragma once
// Decoding what browsers send (percent escapes, form bodies, the Cookie header) and escaping
// what the site writes into its pages.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

namespace pelloran::demo {

using FormFields = QList<QPair<QString, QString>>;

// "%XX" sequences as UTF-8; "+" stays (path segments).
QString percentDecode(QStringView raw);
// A form value: "+" is a space, then "%XX" as UTF-8.
QString formDecode(QStringView raw);
// "a=1&b=2" as an HTML form is decoded; a field without "=" has the value "".
FormFields parseForm(QStringView body);
std::optional<QString> formValue(const FormFields& fields, const QString& name);
// Escapes everything except unreserved characters and "/" (for hrefs written pre-escaped).
QString percentEncodePath(const QString& text);
// One cookie of a "Cookie: a=1; b=2" header, absent when not sent.
std::optional<QString> cookieValue(QStringView cookieHeader, QStringView name);
// Leading decimal digits of a text as a number, absent when it starts with no digit.
std::optional<int> leadingNumber(QStringView text);

}  // namespace pelloran::demo
