#include "text/string_helpers.h"

#include <unicode/parsepos.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

#include <QStringView>
#include <ranges>
#include <vector>

#include "text/html_entities.h"

namespace pelloran::text {

namespace {

icu::UnicodeString toIcu(const QString& text) {
    return icu::UnicodeString(reinterpret_cast<const UChar*>(text.utf16()),
                              static_cast<int32_t>(text.size()));
}

QString fromIcu(const icu::UnicodeString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

// Shortest and longest candidates worth a look: "&lt;" and "&thetasym;".
constexpr qsizetype kMinReference = 4;
constexpr qsizetype kMaxReference = 10;
constexpr char16_t kMaxNumericReference = 65534;

int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

// Reads the whole of `digits` as one number, the way a lenient number scanner reads a
// reference body: leading white space, then a sign (decimal only) or a "0x" prefix (hex
// only), then at least one digit, and nothing after the digits. The value saturates; any
// value that large is out of range anyway.
std::optional<long long> readNumber(QStringView digits, bool hex) {
    qsizetype i = 0;
    while (i < digits.size() && digits[i].isSpace()) {
        ++i;
    }
    bool negative = false;
    if (!hex && i < digits.size() && (digits[i] == u'+' || digits[i] == u'-')) {
        negative = digits[i] == u'-';
        ++i;
    }
    if (hex && digits.size() - i > 2 && digits[i] == u'0' &&
        (digits[i + 1] == u'x' || digits[i + 1] == u'X') && hexDigitValue(digits[i + 2]) >= 0) {
        i += 2;
    }
    const int base = hex ? 16 : 10;
    const qsizetype firstDigit = i;
    long long value = 0;
    for (; i < digits.size(); ++i) {
        const int d = hexDigitValue(digits[i]);
        if (d < 0 || d >= base) {
            break;
        }
        if (value < (1LL << 40)) {
            value = value * base + d;
        }
    }
    if (i == firstDigit || i != digits.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

// The code unit a candidate "&...;" stands for, or nothing when it is not a reference.
std::optional<char16_t> referenceCodeUnit(QStringView candidate) {
    if (candidate.size() < kMinReference || candidate.size() > kMaxReference) {
        return std::nullopt;
    }
    if (candidate[1] != u'#') {
        return htmlEntityCodeUnit(
            std::u16string_view(candidate.utf16(), static_cast<std::size_t>(candidate.size())));
    }
    const bool hex = candidate[2] == u'x' || candidate[2] == u'X';
    const QStringView body = candidate.mid(hex ? 3 : 2, candidate.size() - (hex ? 4 : 3));
    const std::optional<long long> value = readNumber(body, hex);
    if (!value || *value < 1 || *value > kMaxNumericReference) {
        return std::nullopt;
    }
    return static_cast<char16_t>(*value);
}

}  // namespace

std::optional<QString> dateStringFromString(const QString& text, const QString& sourceFormat,
                                            const QString& destinationFormat) {
    UErrorCode status = U_ZERO_ERROR;
    // Default locale and default time zone on both sides; strict parsing, so that a text
    // that doesn't fit the pattern (a month 13, trailing words) is refused, not guessed at.
    icu::SimpleDateFormat parser(toIcu(sourceFormat), status);
    icu::SimpleDateFormat formatter(toIcu(destinationFormat), status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    parser.setLenient(false);

    const icu::UnicodeString source = toIcu(text);
    icu::ParsePosition position(0);
    const UDate date = parser.parse(source, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != source.length()) {
        return std::nullopt;
    }
    icu::UnicodeString formatted;
    formatter.format(date, formatted);
    return fromIcu(formatted);
}

QString base64Encoding(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toBase64());
}

QString stringByUnescapingFromHTML(const QString& text) {
    if (!text.contains(u'&')) {
        return text;
    }
    // Searches run on the unchanged input from its end backwards. The output is gathered in
    // reverse as pieces, each a replacement code unit followed by an untouched run, and joined
    // once: a replacement is never scanned again and the work stays linear in the text size.
    struct Piece {
        char16_t unit;
        QStringView run;
    };
    const QStringView input(text);
    std::vector<Piece> pieces;
    qsizetype copiedFrom = input.size();  // input[copiedFrom..] is already in `pieces`
    qsizetype limit = input.size();
    while (limit > 0) {
        const qsizetype amp = input.first(limit).lastIndexOf(u'&');
        if (amp < 0) {
            break;
        }
        const qsizetype length = input.mid(amp, limit - amp).indexOf(u';') + 1;
        if (length > 0) {
            if (const std::optional<char16_t> unit = referenceCodeUnit(input.mid(amp, length))) {
                pieces.push_back({*unit, input.mid(amp + length, copiedFrom - (amp + length))});
                copiedFrom = amp;
            }
        }
        limit = amp;
    }
    if (pieces.empty()) {
        return text;
    }

    QString result;
    result.reserve(input.size());
    result.append(input.first(copiedFrom));
    for (const auto& piece : std::views::reverse(pieces)) {
        result.append(QChar(piece.unit));
        result.append(piece.run);
    }
    return result;
}

}  // namespace pelloran::text
