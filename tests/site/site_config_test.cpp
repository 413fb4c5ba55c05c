// Site configuration: build defaults, environment overrides, and the addresses built from them.

#include "site/site_config.h"
#include "store/app_paths.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

TEST(SiteConfigTest, EnvironmentOverridesDefaultsOnlyWhenSet) {
    QProcessEnvironment env;
    env.insert(QStringLiteral("PELLORAN_SITE_HOST"), QStringLiteral("127.0.0.1:8410"));
    env.insert(QStringLiteral("PELLORAN_LOGIN_TITLE"), QStringLiteral("Sign in"));
    env.insert(QStringLiteral("PELLORAN_FORUM_HOST"), QString());  // empty: keep the default
    const SiteConfig defaults = SiteConfig::buildDefaults();
    const SiteConfig c = SiteConfig::fromEnvironment(env);
    EXPECT_EQ(c.siteHost, QStringLiteral("127.0.0.1:8410"));
    EXPECT_EQ(c.loginTitle, QStringLiteral("Sign in"));
    EXPECT_EQ(c.forumHost, defaults.forumHost);
    EXPECT_EQ(c.imdbHost, defaults.imdbHost);
    EXPECT_EQ(c.loginUrl(), QStringLiteral("http://127.0.0.1:8410/user/account/login/"));
    EXPECT_EQ(c.sessionCheckUrl(), QStringLiteral("http://127.0.0.1:8410/torrents/browse"));
    EXPECT_EQ(hostWithoutPort(c.siteHost), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(hostWithoutPort(QStringLiteral("tracker.example")),
              QStringLiteral("tracker.example"));
}

TEST(SiteConfigTest, HomeFolderComesFromEnvironment) {
    QProcessEnvironment env;
    env.insert(QStringLiteral("PELLORAN_HOME"), QStringLiteral("/tmp/pelloran-home"));
    EXPECT_EQ(dataDirectoryFromEnvironment(env), QStringLiteral("/tmp/pelloran-home"));
    EXPECT_EQ(cookieFilePath(QStringLiteral("/tmp/h")), QStringLiteral("/tmp/h/cookies.txt"));
    EXPECT_TRUE(
        dataDirectoryFromEnvironment(QProcessEnvironment()).endsWith(QStringLiteral("/Pelloran")));
}

}  // namespace
}  // namespace pelloran
