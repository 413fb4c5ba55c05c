#pragma once
// Small pure helpers shared by the sign-in step, the HTTP layer, the page readers and the
// lists: date re-formatting, Base64, HTML character references, image
// scaling. Each is a pure function and safe from any thread.

#include <QByteArray>
#include <QString>
#include <optional>

namespace pelloran::text {

// Re-formats `text` from one Unicode (UTS #35) date pattern to another, in the current locale
// and time zone. Absent when `text` does not parse with `sourceFormat`.
std::optional<QString> dateStringFromString(const QString& text, const QString& sourceFormat,
                                            const QString& destinationFormat);

// Standard Base64 (RFC 4648) with "=" padding, no line breaks. Empty input gives "".
QString base64Encoding(const QByteArray& bytes);

// Decodes HTML character references in one backward pass: named references of the 253-entry
// table (exact case), decimal and hexadecimal references 1..65534. A replacement is never
// scanned again; anything that isn't a reference stays as it is.
QString stringByUnescapingFromHTML(const QString& text);

}  // namespace pelloran::text
