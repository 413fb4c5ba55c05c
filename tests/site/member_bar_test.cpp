// The member bar: name forms, figures as printed, the member id from the cookie, and pages
// without a bar leaving the record alone.

#include "net/cookie_store.h"
#include "site/user_info.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

QString bar(const QString& link, const QString& ratio) {
    return QStringLiteral("<html><body><div id=\"memberBar\">\n <a href=\"/profile/demo\">") +
           link + QStringLiteral("</a>\n <span class=\"lbl\">Ratio:</span>") + ratio +
           QStringLiteral(
               "\n <span class=\"lbl\">Up:</span> 120.5 GB\n"
               " <span class=\"lbl\">Down:</span> 97.66 MB\n</div></body></html>");
}

TEST(MemberBarTest, ReadsNameFormsAndFiguresAsPrinted) {
    struct Case {
        QString link, ratio, name;
    };
    const Case cases[] = {
        {QStringLiteral("<span class=\"user\" style=\"color:#9cf\">demo</span>"),
         QStringLiteral("1.234"), QStringLiteral("demo")},
        {QStringLiteral("  quietfox\t"), QStringLiteral("3"), QStringLiteral("quietfox")},
        {QStringLiteral("<span class=\"x\"> spaced </span>"), QStringLiteral("12."),
         QStringLiteral("spaced")},
    };
    for (const Case& c : cases) {
        const auto parsed = parseMemberBar(bar(c.link, c.ratio));
        ASSERT_TRUE(parsed.has_value()) << c.link.toStdString();
        EXPECT_EQ(parsed->username, c.name);
        EXPECT_EQ(parsed->ratio, c.ratio);
        EXPECT_EQ(parsed->uploaded, QStringLiteral("120.5 GB"));
        EXPECT_EQ(parsed->downloaded, QStringLiteral("97.66 MB"));
    }
    EXPECT_FALSE(parseMemberBar(QStringLiteral("<html>no bar</html>")).has_value());
}

TEST(MemberBarTest, ReaderFillsRecordAndIdOnlyWhenBarFound) {
    CookieStore cookies;
    NetContext net{&cookies, nullptr};
    UserInfo info;
    info.setIds(QStringLiteral("111"));

    // A bar, but no qauid cookie yet: the four display values change, the id doesn't.
    refreshMemberBar(bar(QStringLiteral("demo"), QStringLiteral("2.5")).toUtf8(), info, net);
    EXPECT_EQ(info.username(), QStringLiteral("demo"));
    EXPECT_EQ(info.ratio(), QStringLiteral("2.5"));
    EXPECT_EQ(info.ids(), QStringLiteral("111"));

    Cookie qauid;
    qauid.domain = QStringLiteral("127.0.0.1");
    qauid.name = QStringLiteral("qauid");
    qauid.value = QStringLiteral("31337");
    cookies.setCookie(qauid);
    // A page without a bar changes nothing, not even the id.
    refreshMemberBar(QByteArray("<html>error</html>"), info, net);
    EXPECT_EQ(info.ids(), QStringLiteral("111"));
    // A non-ASCII page is read as UTF-8.
    refreshMemberBar(bar(QString::fromUtf8("J\xC3\xBCrgen"), QStringLiteral("0.5")).toUtf8(), info,
                     net);
    EXPECT_EQ(info.username(), QString::fromUtf8("J\xC3\xBCrgen"));
    EXPECT_EQ(info.ids(), QStringLiteral("31337"));
    EXPECT_EQ(info.downloaded(), QStringLiteral("97.66 MB"));
}

}  // namespace
}  // namespace pelloran
