#include "text/url_escaping.h"

#include <QByteArray>

namespace pelloran::text {

namespace {

bool isAsciiAlnum(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The characters RFC 3986 allows in a URL outside escapes: unreserved and reserved.
bool isUrlCharacter(unsigned char c) {
    static constexpr char kAllowed[] = "-._~:/?#[]@!$&'()*+,;=";
    return isAsciiAlnum(c) ||
           (c != 0 &&
            QByteArray::fromRawData(kAllowed, sizeof(kAllowed) - 1).contains(static_cast<char>(c)));
}

bool keptInFormValue(unsigned char c) {
    return isAsciiAlnum(c) || c == '-' || c == '_' || c == '.' || c == '~' || c == '%' ||
           c == '[' || c == ']';
}

void appendEscaped(QByteArray& out, unsigned char c) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    out += '%';
    out += kHexDigits[c >> 4];
    out += kHexDigits[c & 0x0F];
}

}  // namespace

QString percentEscapeUrl(const QString& url) {
    const QByteArray bytes = url.toUtf8();
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '%' && i + 2 < bytes.size() && isHex(bytes[i + 1]) && isHex(bytes[i + 2])) {
            out += '%';
        } else if (c != '%' && isUrlCharacter(c)) {
            out += static_cast<char>(c);
        } else {
            appendEscaped(out, c);
        }
    }
    return QString::fromLatin1(out);
}

QString stringWithPercentEscape(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    QByteArray escaped;
    escaped.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (keptInFormValue(byte)) {
            escaped.append(c);
        } else {
            appendEscaped(escaped, byte);
        }
    }
    return QString::fromLatin1(escaped);
}

}  // namespace pelloran::text
