#pragma once
// Strict multipart/form-data reading, done by hand on the raw body so that a body the client
// got slightly wrong (a broken delimiter, a missing header end, bytes after the closing line)
// is caught instead of being smoothed over as lenient parsers do.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>
#include <vector>

namespace pelloran::fake {

// Header lines as received: name (case kept) and value (surrounding blanks removed).
using HeaderList = QList<QPair<QByteArray, QByteArray>>;

struct ReceivedPart {
    QByteArray name;                     // Content-Disposition "name" parameter
    std::optional<QByteArray> filename;  // "filename" parameter byte for byte; absent when not sent
    QByteArray contentType;              // the part's Content-Type value; null when not sent
    QByteArray content;                  // the part's bytes, without the CR LF before the delimiter
    HeaderList headers;                  // the part's header lines in the order sent
};

struct MultipartParse {
    std::vector<ReceivedPart> parts;
    QString error;  // empty when the body is well formed; otherwise the first fault found
    bool ok() const { return error.isEmpty(); }
};

// The boundary announced by a "multipart/form-data; boundary=..." Content-Type value (the type is
// matched case-insensitively, the boundary may be quoted). Absent when the value is not
// multipart/form-data or its boundary is missing, longer than 70 bytes or holds a line break.
std::optional<QByteArray> multipartBoundary(const QByteArray& contentType);

// Reads a form-data body delimited by `boundary`. Accepted shape, and nothing looser:
// the body starts with "--" boundary CR LF (no preamble); each part has header lines ending in
// CR LF CR LF, among them exactly one Content-Disposition "form-data" with a name; its content
// runs to the next CR LF "--" boundary, which is followed either by CR LF (another part) or by
// "--" and then at most one CR LF (no epilogue).
// A quoted parameter value ends at the first quote followed by ';' or the end of the line, so a
// file name that itself holds a quote is kept exactly as written; nothing is unescaped.
MultipartParse parseMultipartBody(const QByteArray& body, const QByteArray& boundary);

}  // namespace pelloran::fake
