// pelloran-cli against a hostile site: a sign-in form answered with a 307 to another host must
// not take the password there, and the command must say it failed, not "Signed in as".

#include "support/hostile_server.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace pelloran {
namespace {

using test::HostileServer;

TEST(CliHostileSiteTest, SignInRedirectedToAnotherHostFails) {
    const std::string title = "Login :: Hostile Tracker";
    HostileServer elsewhere(HostileServer::Mode::Answer, "127.0.0.5");
    elsewhere.route("", "*", test::page("<html><title>Welcome</title></html>"));
    ASSERT_TRUE(elsewhere.start());
    HostileServer site;
    site.route("", "*", test::loginPage(title));
    site.route("POST", "/user/account/login/",
               test::redirect(307, elsewhere.url(QStringLiteral("/steal")).toStdString()));
    ASSERT_TRUE(site.start());
    HostileServer announce;
    announce.route("", "*", test::page(""));
    ASSERT_TRUE(announce.start());

    test::TempHome home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELLORAN_HOME"), home.path());
    env.insert(QStringLiteral("PELLORAN_KEYRING"), QStringLiteral("off"));
    env.insert(QStringLiteral("PELLORAN_SITE_HOST"), site.hostPort());
    env.insert(QStringLiteral("PELLORAN_COOKIE_DOMAIN"), QStringLiteral("127.0.0.1"));
    env.insert(QStringLiteral("PELLORAN_ANNOUNCE_HOST"), announce.hostPort());
    env.insert(QStringLiteral("PELLORAN_LOGIN_TITLE"), QString::fromStdString(title));
    QProcess cli;
    cli.setProcessEnvironment(env);
    cli.start(QStringLiteral(PELLORAN_CLI_PATH),
              {QStringLiteral("login"), QStringLiteral("--username"), QStringLiteral("member"),
               QStringLiteral("--password-stdin")});
    ASSERT_TRUE(cli.waitForStarted(10000));
    cli.write("secret\n");
    cli.closeWriteChannel();
    ASSERT_TRUE(cli.waitForFinished(90000));

    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    EXPECT_EQ(cli.exitCode(), 1) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("Connection error."))) << err.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("Signed in as"))) << out.toStdString();
    EXPECT_EQ(site.count("POST", "/user/account/login/"), 1);
    EXPECT_EQ(elsewhere.requests().size(), 0u);
}

}  // namespace
}  // namespace pelloran
