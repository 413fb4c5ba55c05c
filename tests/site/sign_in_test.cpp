// The sign-in form, stored credentials, CAPTCHA reading and the announcement answer.

#include "site/sign_in.h"
#include "site/announcement.h"
#include "site/captcha.h"
#include "site/site_config.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

TEST(SignInTest, FormEscapesOnlyThePasswordAndPercentToo) {
    EXPECT_EQ(
        signInFormBody(QStringLiteral("a&b"), QStringLiteral("p&ss%41+x y"), std::nullopt,
                       QString()),
        QStringLiteral("username=a&b&password=p%26ss%2541%2Bx%20y&remember_me=on&login=submit"));
    // An empty challenge (after a successful sign-in) is the short form again.
    EXPECT_EQ(signInFormBody(QStringLiteral("demo"), QStringLiteral("pw"), QString(),
                             QStringLiteral("ignored")),
              QStringLiteral("username=demo&password=pw&remember_me=on&login=submit"));
    EXPECT_EQ(signInFormBody(QStringLiteral("demo"), QString::fromUtf8("p\xC3\xA9"),
                             QStringLiteral("TOKEN"), QStringLiteral("two words")),
              QStringLiteral("username=demo&password=p%C3%A9&recaptcha_challenge_field=TOKEN&"
                             "recaptcha_response_field=two words&remember_me=on&login=submit"));
}

TEST(SignInTest, CredentialsAndAutomaticLoginSwitch) {
    test::TempHome home;
    SettingsStore settings(home.path());
    EXPECT_FALSE(automaticLoginEnabled(settings));  // absent: off
    storeCredentials(settings, QStringLiteral("demo"), QStringLiteral("wrong"), true);
    SettingsStore reread(home.path());
    EXPECT_EQ(reread.string(keys::username), QStringLiteral("demo"));
    EXPECT_EQ(reread.string(keys::password), QStringLiteral("wrong"));
    EXPECT_EQ(reread.string(keys::automaticLogin), QStringLiteral("YES"));
    for (const auto& [stored, on] :
         {std::pair{"YES", true}, {"NO", false}, {"maybe", true}, {"", true}}) {
        settings.setValue(keys::automaticLogin, QString::fromLatin1(stored));
        EXPECT_EQ(automaticLoginEnabled(settings), on) << stored;
    }
}

TEST(SignInTest, PageMarkersAnswerYesForAbsentText) {
    EXPECT_TRUE(hasCaptchaRequest(std::nullopt));
    EXPECT_TRUE(isInvalidUsername(std::nullopt));
    EXPECT_TRUE(isInvalidCaptcha(std::nullopt));
    EXPECT_FALSE(hasCaptchaRequest(QString()));
    EXPECT_TRUE(hasCaptchaRequest(QStringLiteral("<textarea name=\"recaptcha_challenge_field\">")));
}

TEST(SignInTest, CaptchaScriptAndToken) {
    const QString page = QStringLiteral(
        "<form><script type=\"text/javascript\"\n "
        "src=\"http://127.0.0.3:9/recaptcha/api/challenge?k=KEY\">"
        "</script></form>");
    EXPECT_EQ(captchaScriptUrl(page),
              QStringLiteral("http://127.0.0.3:9/recaptcha/api/challenge?k=KEY"));
    EXPECT_FALSE(captchaScriptUrl(QStringLiteral("<form>plain</form>")).has_value());
    EXPECT_EQ(captchaToken(QStringLiteral(
                  "var RecaptchaState = {\n site : 'K',\n challenge : 'T0k-en',\n};")),
              QStringLiteral("T0k-en"));
    EXPECT_FALSE(captchaToken(QStringLiteral("var x = {};")).has_value());
}

TEST(AnnouncementTest, AnswersAndQuery) {
    struct Case {
        bool valid;
        std::optional<QString> text;
        Announcement::Kind kind;
        QString message;
    };
    const Case cases[] = {
        {true, QStringLiteral("STOP:Closed for maintenance"), Announcement::Kind::Stop,
         QStringLiteral("Closed for maintenance")},
        {true, QStringLiteral("GO:Welcome back:again"), Announcement::Kind::Go,
         QStringLiteral("Welcome back")},  // cut at the second colon
        {true, QStringLiteral("GO"), Announcement::Kind::Go, QString()},
        {true, QString(), Announcement::Kind::Proceed, QString()},
        {true, QStringLiteral("Hello"), Announcement::Kind::Proceed, QString()},
        {false, QStringLiteral("STOP:ignored"), Announcement::Kind::Proceed, QString()},
        {true, std::nullopt, Announcement::Kind::Proceed, QString()},
    };
    for (const Case& c : cases) {
        const Announcement a = parseAnnouncement(c.valid, c.text);
        EXPECT_EQ(a.kind, c.kind) << c.text.value_or(QStringLiteral("<absent>")).toStdString();
        EXPECT_EQ(a.message, c.message);
    }
    SiteConfig config;
    config.announceHost = QStringLiteral("a.example");
    EXPECT_EQ(announcementUrl(config, QStringLiteral("0.1.0"), QStringLiteral("Pocket PC 2"),
                              QStringLiteral("12 & up")),
              QStringLiteral("http://a.example/pelloran.php?v=0.1.0&m=PocketPC2&p=12%20%26%20up"));
    // No value can add a field, end the query or turn into a space when decoded.
    EXPECT_EQ(announcementUrl(config, QStringLiteral("1+2=3"), QStringLiteral("A&m=B"),
                              QStringLiteral("x#y")),
              QStringLiteral("http://a.example/pelloran.php?v=1%2B2%3D3&m=A%26m%3DB&p=x%23y"));
}

}  // namespace
}  // namespace pelloran
