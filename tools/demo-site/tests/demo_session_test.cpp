// Sign-in, lost sessions, the CAPTCHA exchange and the snatch list endpoint.

#include <gtest/gtest.h>

#include <QImage>
#include <QUrl>

#include "demo_site.h"
#include "icu_match.h"
#include "site_client.h"

namespace pelloran::demo::test {
namespace {

// The table-data body a client posts for the snatch list, 50 rows from row 0.
QByteArray snatchBody(const QString& userId) {
    QByteArray body =
        "sEcho=1&iColumns=10&sColumns=&iDisplayStart=0&iDisplayLength=50&sSearch=&bEscapeRegex="
        "true";
    for (int i = 0; i < 10; ++i) {
        body += "&sSearch_" + QByteArray::number(i) + "=&bEscapeRegex_" + QByteArray::number(i) +
                "=true&bSearchable_" + QByteArray::number(i) + "=true";
    }
    body += "&iSortingCols=1&iSortCol_0=9&sSortDir_0=desc";
    for (int i = 0; i < 10; ++i) {
        body += "&bSortable_" + QByteArray::number(i) + (i == 5 ? "=false" : "=true");
    }
    return body + "&userID=" + userId.toUtf8();
}

class DemoSessionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(site.start()); }

    DemoSite site{
        DemoSiteOptions{120, 25, 11, QStringLiteral("Login :: Pelloran Demo Tracker"), 0}};
};

TEST_F(DemoSessionTest, SignInJudgesTheFormAsABrowserSendsIt) {
    struct Case {
        const char* what;
        QByteArray body;
        bool signedIn;
    };
    const Case cases[] = {
        {"demo member", "username=demo&password=demo-pass-42&remember_me=on&login=submit", true},
        {"wrong password", "username=demo&password=demo-pass-43&remember_me=on&login=submit",
         false},
        {"unknown member", "username=nobody&password=demo-pass-42&remember_me=on&login=submit",
         false},
        {"escaped as a browser does",
         "username=quietfox&password=p%26ss%2541%2Bx&remember_me=on&login=submit", true},
        // Leaving "%" alone turns "%41" into "A" at the site.
        {"percent left unescaped",
         "username=quietfox&password=p%26ss%41%2Bx&remember_me=on&login=submit", false},
        {"plus not escaped", "username=quietfox&password=p%26ss%2541+x&remember_me=on&login=submit",
         false},
        {"uploader without password", "username=ReleaseBot&password=&login=submit", false},
    };
    SiteClient client(site.siteHost());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Reply reply = client.post(QStringLiteral("/user/account/login/"), c.body);
        if (c.signedIn) {
            EXPECT_EQ(reply.status, 302);
            EXPECT_EQ(reply.header("Location"), QStringLiteral("http://%1/").arg(site.siteHost()));
            EXPECT_EQ(reply.setCookies().size(), 2u);
        } else {
            EXPECT_EQ(reply.status, 200);
            EXPECT_EQ(titleOf(reply.text()), site.loginTitle());
            EXPECT_TRUE(reply.text().contains(QLatin1String("Invalid Username")));
            EXPECT_FALSE(reply.text().contains(QLatin1String("recaptcha_challenge_field")));
            EXPECT_TRUE(reply.setCookies().empty());
        }
    }
}

TEST_F(DemoSessionTest, SessionCookiesAreHostOnlyAndLastOnlyWhenRemembered) {
    for (const bool remember : {true, false}) {
        SiteClient client(site.siteHost());
        const Reply reply = client.post(QStringLiteral("/user/account/login/"),
                                        QByteArray("username=demo&password=demo-pass-42") +
                                            (remember ? "&remember_me=on" : "") + "&login=submit");
        ASSERT_EQ(reply.status, 302);
        const std::vector<QString> cookies = reply.setCookies();
        ASSERT_EQ(cookies.size(), 2u);
        EXPECT_TRUE(cookies[0].startsWith(QLatin1String("pelloran_session=")));
        EXPECT_EQ(cookies[1].section(QLatin1Char(';'), 0, 0), QStringLiteral("qauid=31337"));
        for (const QString& cookie : cookies) {
            EXPECT_FALSE(cookie.contains(QLatin1String("Domain"), Qt::CaseInsensitive));
            EXPECT_EQ(cookie.contains(QLatin1String("; Expires=")), remember);
            EXPECT_EQ(cookie.contains(QLatin1String("; Max-Age=2592000")), remember);
        }
    }
}

TEST_F(DemoSessionTest, SignInAnswersWithAPlainPageWhenTheRedirectIsSwitchedOff) {
    site.setSignInRedirect(false);
    SiteClient client(site.siteHost());
    const Reply reply = client.post(QStringLiteral("/user/account/login/"),
                                    "username=demo&password=demo-pass-42&login=submit");
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.header("Location"), QString());
    EXPECT_EQ(reply.setCookies().size(), 2u);
    EXPECT_NE(titleOf(reply.text()), site.loginTitle());
    EXPECT_TRUE(reply.text().contains(QLatin1String("Signed in.")));
}

TEST_F(DemoSessionTest, PagesShowTheLoginPageWithoutAValidSession) {
    SiteClient client(site.siteHost());
    const QString firstDetails = site.torrents().front().detailsHref;
    const QStringList paths = {QStringLiteral("/torrents/browse"),
                               QStringLiteral("/"),
                               QStringLiteral("/torrents/browse/index/page/2"),
                               firstDetails,
                               QStringLiteral("/profile/demo"),
                               escapeHref(site.torrents().front().downloadHref)};
    auto expectLoginPages = [&](bool expected) {
        for (const QString& path : paths) {
            const Reply reply = client.get(path);
            EXPECT_EQ(reply.status, 200) << path.toStdString();
            EXPECT_EQ(titleOf(reply.text()) == site.loginTitle(), expected) << path.toStdString();
        }
        const Reply snatches =
            client.post(QStringLiteral("/user/account/snatchlist"), snatchBody(site.memberId()));
        EXPECT_EQ(titleOf(snatches.text()) == site.loginTitle(), expected);
    };
    expectLoginPages(true);
    client.setCookie(QStringLiteral("pelloran_session=0123456789abcdef; qauid=31337"));
    expectLoginPages(true);
    ASSERT_EQ(client.signIn(site.memberName(), site.memberPassword()).status, 302);
    expectLoginPages(false);
    EXPECT_EQ(titleOf(client.get(QStringLiteral("/torrents/browse")).text()),
              QLatin1String("Browse :: Pelloran Demo Tracker"));
    site.expireAllSessions();
    expectLoginPages(true);
}

TEST_F(DemoSessionTest, CaptchaExchangeFromLoginPageToPicture) {
    site.setRequireCaptcha(true);
    SiteClient client(site.siteHost());
    const QString login = client.get(QStringLiteral("/user/account/login/")).text();
    EXPECT_TRUE(login.contains(QLatin1String("recaptcha_challenge_field")));
    const QStringList script = icuFirstMatch(login, kCaptchaScriptPattern);
    ASSERT_EQ(script.size(), 2);
    const QUrl scriptUrl(script[1]);
    EXPECT_EQ(scriptUrl.host() + QLatin1Char(':') + QString::number(scriptUrl.port()),
              site.captchaHost());

    SiteClient captcha(site.captchaHost());
    auto challenge = [&] {
        const Reply reply = captcha.get(scriptUrl.path() + QLatin1Char('?') + scriptUrl.query());
        EXPECT_EQ(reply.status, 200);
        EXPECT_FALSE(reply.setCookies().empty());
        const QStringList token = icuFirstMatch(reply.text(), kChallengePattern);
        return token.value(1);
    };
    const QString token = challenge();
    ASSERT_FALSE(token.isEmpty());
    ASSERT_TRUE(site.captchaAnswerFor(token).has_value());
    const QString answer = *site.captchaAnswerFor(token);
    const Reply picture = captcha.get(QStringLiteral("/image?c=") + token);
    EXPECT_EQ(picture.header("Content-Type"), QLatin1String("image/png"));
    EXPECT_EQ(QImage::fromData(picture.body, "PNG").size(), QSize(300, 57));

    auto post = [&](const QString& password, const QString& captchaFields) {
        return client.post(QStringLiteral("/user/account/login/"),
                           "username=demo&password=" + password.toUtf8() + captchaFields.toUtf8() +
                               "&remember_me=on&login=submit");
    };
    // The short form, as a client posts before it has seen a challenge.
    const Reply missing = post(site.memberPassword(), QString());
    EXPECT_EQ(titleOf(missing.text()), site.loginTitle());
    EXPECT_TRUE(missing.text().contains(QLatin1String("You did not fill in the words")));
    EXPECT_TRUE(missing.text().contains(QLatin1String("recaptcha_challenge_field")));
    EXPECT_FALSE(missing.text().contains(QLatin1String("Invalid Username")));
    EXPECT_EQ(icuFirstMatch(missing.text(), kCaptchaScriptPattern).size(), 2);

    auto fields = [&](const QString& t, const QString& answer) {
        return QStringLiteral("&recaptcha_challenge_field=") + t +
               QStringLiteral("&recaptcha_response_field=") +
               QString::fromLatin1(QUrl::toPercentEncoding(answer));
    };
    const Reply wrongWords = post(site.memberPassword(), fields(token, QStringLiteral("not it")));
    EXPECT_TRUE(wrongWords.text().contains(QLatin1String("You did not fill in the words")));
    // A token is good for one attempt only.
    EXPECT_FALSE(site.captchaAnswerFor(token).has_value());
    const Reply reused = post(site.memberPassword(), fields(token, answer));
    EXPECT_TRUE(reused.text().contains(QLatin1String("You did not fill in the words")));

    const QString second = challenge();
    const Reply wrongPassword =
        post(QStringLiteral("nope"), fields(second, *site.captchaAnswerFor(second)));
    EXPECT_TRUE(wrongPassword.text().contains(QLatin1String("Invalid Username")));
    EXPECT_TRUE(wrongPassword.text().contains(QLatin1String("recaptcha_challenge_field")));

    const QString third = challenge();
    EXPECT_EQ(
        post(site.memberPassword(), fields(third, site.captchaAnswerFor(third)->toUpper())).status,
        302);
}

TEST_F(DemoSessionTest, SnatchListAnswersTheSignedInMemberInRowsThePatternReads) {
    SiteClient client(site.siteHost());
    ASSERT_EQ(client.signIn(site.memberName(), site.memberPassword()).status, 302);
    const Reply reply =
        client.post(QStringLiteral("/user/account/snatchlist"), snatchBody(site.memberId()));
    ASSERT_EQ(reply.status, 200);
    const QString json = reply.text();
    EXPECT_FALSE(json.contains(QLatin1Char('\n')));
    EXPECT_TRUE(json.startsWith(QLatin1String(
        "{\"sEcho\":1,\"iTotalRecords\":80,\"iTotalDisplayRecords\":80,\"aaData\":[[")));
    for (const QChar c : json) {
        ASSERT_LT(c.unicode(), 128) << "json_encode writes non-ASCII as \\u escapes";
    }
    const std::vector<DemoSnatch> all = site.snatchList(site.memberName());
    ASSERT_EQ(all.size(), 80u);
    const std::vector<QStringList> rows = icuMatches(json, kSnatchPattern);
    ASSERT_EQ(rows.size(), 50u);
    for (size_t i = 0; i < rows.size(); ++i) {
        const QStringList& g = rows[i];
        const DemoSnatch& s = all[i];
        EXPECT_EQ(QString(g[1]).remove(QLatin1Char('\\')), s.detailsHref);
        EXPECT_EQ(g[3], s.sizeText);
        EXPECT_EQ(g[4], s.uploaded);
        EXPECT_EQ(g[5], s.downloaded);
        EXPECT_EQ(g[6], QString::number(s.active));
        EXPECT_EQ(g[7], s.ratio);
        // Names are HTML-escaped, then JSON-escaped; ASCII names read back after "&amp;".
        bool ascii =
            std::all_of(s.name.begin(), s.name.end(), [](QChar c) { return c.unicode() < 128; });
        if (ascii && !s.name.contains(QLatin1Char('"')) && !s.name.contains(QLatin1Char('/'))) {
            EXPECT_EQ(QString(g[2]).replace(QLatin1String("&amp;"), QLatin1String("&")), s.name);
        }
    }
    const Reply other =
        client.post(QStringLiteral("/user/account/snatchlist"), snatchBody(QStringLiteral("4242")));
    EXPECT_EQ(other.text(),
              QLatin1String(
                  "{\"sEcho\":1,\"iTotalRecords\":0,\"iTotalDisplayRecords\":0,\"aaData\":[]}"));
    site.setSnatchCount(3);
    EXPECT_EQ(
        icuMatches(
            client.post(QStringLiteral("/user/account/snatchlist"), snatchBody(site.memberId()))
                .text(),
            kSnatchPattern)
            .size(),
        3u);
}

}  // namespace
}  // namespace pelloran::demo::test
