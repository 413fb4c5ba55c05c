// Member-bar samples as the activity database keeps them: pages whose bar the site printed in
// every unit from bytes to terabytes, a ratio of "Inf" or none at all, and pages that give no
// sample.

#include "site/member_sample.h"
#include "page_frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pelloran {
namespace {

QString page(const QString& ratio, const QString& up, const QString& down, bool plain = false) {
    demo::DemoMember member;
    member.name = QStringLiteral("demo");
    member.ratio = ratio;
    member.uploaded = up;
    member.downloaded = down;
    member.plainProfileLink = plain;
    return demo::pageFrame(QStringLiteral("Browse"),
                           QStringLiteral("<div id=\"middle\">") + demo::memberBar(member) +
                               QStringLiteral("<table><tr><td>rows</td></tr></table></div>"));
}

TEST(MemberSampleTest, BarsInEveryUnitWithOrWithoutARatio) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr qint64 kKiB = 1024;
    struct Case {
        const char* ratio;
        const char* up;
        const char* down;
        std::optional<double> wantRatio;
        qint64 wantUp, wantDown;
    };
    const Case cases[] = {
        {"1.234", "512 B", "0.50 KB", 1.234, 512, 512},
        {"0.071", "97.66 MB", "1.5 GB", 0.071, qint64(std::llround(97.66 * kKiB * kKiB)),
         3 * kKiB * kKiB * kKiB / 2},
        {"12.", "2.25 TB", "100 GB", 12.0, 9 * kKiB * kKiB * kKiB * kKiB / 4,
         100 * kKiB * kKiB * kKiB},
        {"Inf", "3 KiB", "0 B", kInf, 3 * kKiB, 0},
        {"---", "10 MB", "0 B", std::nullopt, 10 * kKiB * kKiB, 0},
        {"", "1 B", "2 B", std::nullopt, 1, 2},
    };
    const QDateTime at = QDateTime::fromSecsSinceEpoch(1800000000, Qt::UTC);
    for (const bool plain : {false, true}) {
        for (const Case& c : cases) {
            const std::optional<MemberSample> s =
                readMemberSample(page(QString::fromLatin1(c.ratio), QString::fromLatin1(c.up),
                                      QString::fromLatin1(c.down), plain),
                                 at);
            ASSERT_TRUE(s.has_value()) << c.ratio << " " << c.up;
            EXPECT_EQ(s->time, at);
            EXPECT_EQ(s->ratio, c.wantRatio) << c.ratio;
            EXPECT_EQ(s->uploaded, c.wantUp) << c.up;
            EXPECT_EQ(s->downloaded, c.wantDown) << c.down;
        }
    }
}

TEST(MemberSampleTest, PagesWithoutAReadableBarGiveNoSample) {
    const QDateTime at = QDateTime::currentDateTimeUtc();
    const QString noBar[] = {
        QStringLiteral("<html><title>Login :: Site</title><form>...</form></html>"),
        page(QStringLiteral("1.0"), QStringLiteral("lots"), QStringLiteral("1 GB")),
        page(QStringLiteral("1.0"), QStringLiteral("1 GB"), QStringLiteral("5 XB")),
        // A bar start with no end: read within its window, never past it.
        QStringLiteral("<div id=\"memberBar\">") + QString(200000, QLatin1Char('x')),
    };
    for (const QString& p : noBar) {
        EXPECT_FALSE(readMemberSample(p, at).has_value()) << p.left(80).toStdString();
    }
}

TEST(MemberSampleTest, SizesAsListingsPrintThem) {
    EXPECT_EQ(bytesFromSizeText(QStringLiteral("700.5 MB")),
              qint64(std::llround(700.5 * 1024 * 1024)));
    EXPECT_EQ(bytesFromSizeText(QStringLiteral(" 4 GB ")), 4LL * 1024 * 1024 * 1024);
    EXPECT_EQ(bytesFromSizeText(QStringLiteral("4GB")), std::nullopt);
    EXPECT_EQ(bytesFromSizeText(QStringLiteral("-1 MB")), std::nullopt);
    EXPECT_EQ(bytesFromSizeText(QStringLiteral("99999999 PB")), std::nullopt);  // past 64 bits
}

}  // namespace
}  // namespace pelloran
