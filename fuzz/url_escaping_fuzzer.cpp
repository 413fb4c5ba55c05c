// The URL escapings on any text: what each lets through, and that decoding gives the text back.

#include "fuzz_support.h"
#include "site/site_urls.h"
#include "text/url_escaping.h"

namespace {

bool isUnreserved(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');  // the escapers write capitals
}

// Only `allowed` characters and well-formed "%XX" escapes, and decoding gives `original`.
void checkEscaped(const QString& escaped, const QByteArray& original, bool (*allowed)(char),
                  const char* what) {
    const QByteArray bytes = escaped.toLatin1();
    pelloran::fuzz::check(QString::fromLatin1(bytes) == escaped, what);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '%') {
            pelloran::fuzz::check(
                i + 2 < bytes.size() && isHex(bytes[i + 1]) && isHex(bytes[i + 2]), what);
            i += 2;
        } else {
            pelloran::fuzz::check(allowed(bytes[i]), what);
        }
    }
    pelloran::fuzz::check(QByteArray::fromPercentEncoding(bytes) == original, what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelloran;
    const QString text = fuzz::textOf(data, size);
    const QByteArray utf8 = text.toUtf8();

    checkEscaped(
        escapedSearchWords(text), utf8,
        [](char c) { return isUnreserved(c) || QByteArray("!$&'()*+,;=:@").contains(c); },
        "search words stay one path segment");

    const QString url = text::percentEscapeUrl(text);
    for (const QChar c : url) {
        fuzz::check(c.unicode() > 32 && c.unicode() < 127, "an escaped address is plain ASCII");
    }
    const QString form = text::stringWithPercentEscape(text);
    for (const QChar c : form) {
        fuzz::check(c.unicode() > 32 && c.unicode() < 127, "an escaped form value is plain ASCII");
    }
    return 0;
}
