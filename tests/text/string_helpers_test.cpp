#include "text/string_helpers.h"
#include "text/url_escaping.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <QColor>
#include <QPainter>
#include <memory>

#include "text/html_entities.h"
#include "text/qstring_printer.h"
#include "ui/image_loader.h"

using namespace Qt::StringLiterals;

namespace pelloran::text {
namespace {

// ---------------------------------------------------------------- date re-formatting

// Puts ICU's default locale and time zone in a known state for one test and restores both.
class IcuDefaultsGuard {
public:
    IcuDefaultsGuard(const char* locale, const char* zone)
        : locale_(icu::Locale::getDefault()), zone_(icu::TimeZone::createDefault()) {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale(locale), status);
        icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(zone));
    }
    ~IcuDefaultsGuard() {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(locale_, status);
        icu::TimeZone::adoptDefault(zone_.release());
    }
    IcuDefaultsGuard(const IcuDefaultsGuard&) = delete;
    IcuDefaultsGuard& operator=(const IcuDefaultsGuard&) = delete;

private:
    icu::Locale locale_;
    std::unique_ptr<icu::TimeZone> zone_;
};

TEST(DateStringFromString, ReformatsInTheCurrentLocale) {
    const IcuDefaultsGuard guard("en_US", "Europe/Paris");
    // The space before "PM" is the pattern's own literal, so it stays U+0020 even where the
    // locale's standard time formats (ICU 72 and later) use a narrow no-break space.
    EXPECT_EQ(dateStringFromString(u"2012-03-05 14:07:09"_s, u"yyyy-MM-dd HH:mm:ss"_s,
                                   u"EEE, MMM d h:mm a"_s),
              u"Mon, Mar 5 2:07 PM"_s);
}

TEST(DateStringFromString, UsesTheCurrentLocaleAndZoneOnBothSides) {
    {
        const IcuDefaultsGuard guard("fr_FR", "UTC");
        EXPECT_EQ(
            dateStringFromString(u"05/03/2012 14:07"_s, u"dd/MM/yyyy HH:mm"_s, u"EEEE d MMMM"_s),
            u"lundi 5 mars"_s);
    }
    {
        const IcuDefaultsGuard guard("en_US", "America/New_York");
        EXPECT_EQ(
            dateStringFromString(u"2012-03-05 14:07:09"_s, u"yyyy-MM-dd HH:mm:ss"_s, u"HH:mm z"_s),
            u"14:07 EST"_s);
    }
}

TEST(DateStringFromString, TextThatDoesNotFitIsAbsent) {
    const IcuDefaultsGuard guard("en_US", "UTC");
    const QString pattern = u"yyyy-MM-dd HH:mm:ss"_s;
    for (const QString& text : {u""_s, u"yesterday"_s, u"2012-03-05"_s,
                                u"2012-03-05 14:07:09 extra"_s, u"2012-13-05 14:07:09"_s}) {
        EXPECT_EQ(dateStringFromString(text, pattern, u"EEE"_s), std::nullopt)
            << text.toStdString();
    }
}

// ---------------------------------------------------------------- Base64

TEST(Base64Encoding, PadsShortGroups) {
    const std::pair<QByteArray, QString> cases[] = {
        {"abc", u"YWJj"_s},
        {"ab", u"YWI="_s},
        {"a", u"YQ=="_s},
        {"", u""_s},
        {QByteArray("\x00\xfb\xff", 3), u"APv/"_s},
        {"user:p\xc3\xa4ss word", u"dXNlcjpww6RzcyB3b3Jk"_s},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(base64Encoding(bytes), expected) << bytes.toHex().toStdString();
    }
}

// ---------------------------------------------------------------- HTML unescaping

struct UnescapeCase {
    QString text;
    QString expected;
};

void PrintTo(const UnescapeCase& c, std::ostream* os) {
    PrintTo(c.text, os);
}

class Unescape : public testing::TestWithParam<UnescapeCase> {};

TEST_P(Unescape, DecodesOnlyWellFormedReferences) {
    EXPECT_EQ(stringByUnescapingFromHTML(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    StringHelpers, Unescape,
    testing::Values(
        UnescapeCase{u""_s, u""_s}, UnescapeCase{u"no references"_s, u"no references"_s},
        UnescapeCase{u"Tom &amp; Jerry &amp;&amp;"_s, u"Tom & Jerry &&"_s},
        UnescapeCase{u"&lt;b&gt;&quot;x&quot;&lt;/b&gt;"_s, u"<b>\"x\"</b>"_s},
        // A replacement is never scanned again.
        UnescapeCase{u"&amp;lt;"_s, u"&lt;"_s}, UnescapeCase{u"&amp;#65;"_s, u"&#65;"_s},
        // Numbers: decimal, hexadecimal with either marker, range 1..65534.
        UnescapeCase{u"&#65;&#x42;&#X43;&#x0x44;"_s, u"ABCD"_s},
        UnescapeCase{u"&#1;"_s, u"\u0001"_s}, UnescapeCase{u"&#65534;"_s, u"\uFFFE"_s},
        UnescapeCase{u"&#0;&#65535;&#x10000;&#xFFFF;"_s, u"&#0;&#65535;&#x10000;&#xFFFF;"_s},
        // Leading white space and a sign are read; anything else in the number is not.
        UnescapeCase{u"&# 65;&#+66;&#x 43;"_s, u"ABC"_s},
        UnescapeCase{u"&#-65;&#65 ;&#6a;&#x;&#x4g;&#0x41;"_s,
                     u"&#-65;&#65 ;&#6a;&#x;&#x4g;&#0x41;"_s},
        // Names: exact case only.
        UnescapeCase{u"&AMP;&Amp;&amp;"_s, u"&AMP;&Amp;&"_s},
        UnescapeCase{u"&apos;&nbsp;&Scaron;&scaron;&euro;"_s, u"'\u00A0\u0160\u0161\u20AC"_s},
        UnescapeCase{u"&unknown;&b;"_s, u"&unknown;&b;"_s},
        // Candidate length 4..10 from "&" to ";".
        UnescapeCase{u"a & a; b"_s, u"a & a; b"_s},
        UnescapeCase{u"&thetasym;&#0000065;"_s, u"\u03D1A"_s},
        UnescapeCase{u"&#00000065;&thetasyms;"_s, u"&#00000065;&thetasyms;"_s},
        // An "&" without ";" before the next "&" starts no reference.
        UnescapeCase{u"1 &lt 2 &gt; 0"_s, u"1 &lt 2 > 0"_s},
        UnescapeCase{u"AT&T; &amp;"_s, u"AT&T; &"_s}, UnescapeCase{u"a&b;c&amp;"_s, u"a&b;c&"_s},
        UnescapeCase{u"&&amp;;"_s, u"&&;"_s}, UnescapeCase{u"end &amp"_s, u"end &amp"_s}));

TEST(HtmlEntities, TableHoldsTheHtml4SetPlusAposInCodePointOrder) {
    const auto table = htmlEntities();
    ASSERT_EQ(table.size(), 253u);
    EXPECT_EQ(table.front().reference, u"&quot;");
    EXPECT_EQ(table.back().reference, u"&diams;");
    EXPECT_EQ(table.back().codeUnit, 9830);
    for (std::size_t i = 1; i < table.size(); ++i) {
        EXPECT_LT(table[i - 1].codeUnit, table[i].codeUnit) << i;
    }
    EXPECT_EQ(htmlEntityCodeUnit(u"&apos;"), u'\'');
    EXPECT_EQ(htmlEntityCodeUnit(u"&Scaron;"), 352);
    EXPECT_EQ(htmlEntityCodeUnit(u"&scaron;"), 353);
    EXPECT_EQ(htmlEntityCodeUnit(u"&AMP;"), std::nullopt);
}

TEST(HtmlEntities, EveryEntryDecodes) {
    for (const HtmlEntity& entity : htmlEntities()) {
        const QString reference =
            QString::fromUtf16(entity.reference.data(), qsizetype(entity.reference.size()));
        EXPECT_EQ(stringByUnescapingFromHTML(u"x"_s + reference + u"y"_s),
                  u"x"_s + QChar(entity.codeUnit) + u"y"_s)
            << reference.toStdString();
    }
}

TEST(Unescape, LargeTextWithManyReferences) {
    QString text;
    QString expected;
    for (int i = 0; i < 10000; ++i) {
        text += u"a&amp;lt;&#x41;"_s;
        expected += u"a&lt;A"_s;
    }
    EXPECT_EQ(stringByUnescapingFromHTML(text), expected);
}

// ---------------------------------------------------------------- percent-escaping

// Why it isn't QUrl::toPercentEncoding: every "%" is kept, a lone one too, where Qt writes "%25".
TEST(PercentEscape, KeepsUnreservedAndPercentEscapesEveryOtherByte) {
    const std::pair<QString, QString> cases[] = {
        {u"50% off"_s, u"50%%20off"_s},
        {u""_s, u""_s},
        {u"abcXYZ019-_.~%[]"_s, u"abcXYZ019-_.~%[]"_s},
        {u"100%25 sure"_s, u"100%25%20sure"_s},
        {u"a b\t\n\0\u0001\u007F"_s, u"a%20b%09%0A%00%01%7F"_s},
        {u"é€"_s, u"%C3%A9%E2%82%AC"_s},
        {u"{}|^`\\"_s, u"%7B%7D%7C%5E%60%5C"_s},
        {u"=,!$&'()*+;@?\"<>#:/"_s, u"%3D%2C%21%24%26%27%28%29%2A%2B%3B%40%3F%22%3C%3E%23%3A%2F"_s},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(stringWithPercentEscape(text), expected) << text.toStdString();
    }
}

// ---------------------------------------------------------------- image scaling

TEST(ScaleToSize, StretchesUprightToExactSize) {
    QImage source(100, 100, QImage::Format_ARGB32);
    {
        QPainter painter(&source);
        painter.fillRect(0, 0, 50, 50, Qt::red);
        painter.fillRect(50, 0, 50, 50, Qt::green);
        painter.fillRect(0, 50, 50, 50, Qt::blue);
        painter.fillRect(50, 50, 50, 50, Qt::white);
    }
    const QImage scaled = pelloran::scaleToSize(source, 48, 36);
    ASSERT_EQ(scaled.size(), QSize(48, 36));
    EXPECT_EQ(scaled.pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(scaled.pixelColor(45, 2), QColor(Qt::green));
    EXPECT_EQ(scaled.pixelColor(2, 33), QColor(Qt::blue));
    EXPECT_EQ(scaled.pixelColor(45, 33), QColor(Qt::white));

    EXPECT_TRUE(pelloran::scaleToSize(QImage(), 48, 36).isNull());
}

}  // namespace
}  // namespace pelloran::text
