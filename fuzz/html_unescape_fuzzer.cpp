// HTML character references in any text.

#include "fuzz_support.h"
#include "text/string_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelloran;
    // Both ways in: page bytes as UTF-8, and raw UTF-16 code units (lone surrogates included).
    const QString utf8 = fuzz::textOf(data, size);
    const QString utf16(reinterpret_cast<const QChar*>(data), qsizetype(size / 2));
    for (const QString& text : {utf8, utf16}) {
        const QString out = text::stringByUnescapingFromHTML(text);
        fuzz::check(out.size() <= text.size(), "a reference is replaced by one code unit");
        fuzz::check(text.contains(QLatin1Char('&')) || out == text,
                    "text without references is kept");
    }
    return 0;
}
