// The app with its passwords in a keyring (one of the test's own): the login face is filled
// from the keyring, what the member types goes back there, the remote client's password too,
// and the settings file never holds either.

#include "app_fixture.h"

#include "remote/server_info.h"
#include "support/fake_keyring.h"

namespace pelloran::test {
namespace {

class KeyringLoginTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(site.start());
        keyring->entries.insert(QString(keys::password), site.memberPassword());
        AppDriver::Options options;
        options.keyring = [state = keyring] { return std::make_unique<FakeKeyring>(state); };
        app = std::make_unique<AppDriver>(site, options);
    }
    void TearDown() override { app.reset(); }

    QString inKeyring(QLatin1StringView key) {
        QMutexLocker lock(&keyring->mutex);
        return keyring->entries.value(QString(key));
    }
    bool inFile(QLatin1StringView key) {
        return SettingsStore(app->homePath()).string(key).has_value();
    }

    demo::DemoSite site;
    std::shared_ptr<FakeKeyringState> keyring = std::make_shared<FakeKeyringState>();
    std::unique_ptr<AppDriver> app;
};

TEST_F(KeyringLoginTest, TheLoginFaceReadsAndWritesTheKeyringAndTheFileHoldsNoPassword) {
    ASSERT_TRUE(app->services().secrets().isKeyring());
    app->settings().setValue(keys::username, site.memberName());
    ASSERT_TRUE(app->settings().flush());
    app->launch();
    ASSERT_TRUE(app->waitForLoginFace());
    EXPECT_EQ(app->login()->passwordField()->text(), site.memberPassword());

    // A wrong password typed: kept (in the keyring) though the sign-in failed.
    app->signInByHand(site.memberName(), QStringLiteral("wrong & wr\u00f6ng"));
    QMessageBox* alert = app->waitForLoginAlert();
    ASSERT_NE(alert, nullptr);
    tapAlertButton(alert, 0);
    ASSERT_TRUE(app->waitForLoginIdle());
    ASSERT_TRUE(app->services().secrets().waitForWrites(QDeadlineTimer(10000)));
    EXPECT_EQ(inKeyring(keys::password), QStringLiteral("wrong & wr\u00f6ng"));
    EXPECT_FALSE(inFile(keys::password));

    app->signInByHand(site.memberName(), site.memberPassword());
    ASSERT_TRUE(app->waitForMainInterface());
    app->services().server().setPassword(QStringLiteral("cl1ent pass"));
    ASSERT_TRUE(app->services().secrets().waitForWrites(QDeadlineTimer(10000)));
    EXPECT_EQ(inKeyring(keys::password), site.memberPassword());
    EXPECT_EQ(inKeyring(keys::serverPassword), QStringLiteral("cl1ent pass"));
    EXPECT_EQ(app->services().server().reloaded().password, QStringLiteral("cl1ent pass"));
    EXPECT_FALSE(inFile(keys::password));
    EXPECT_FALSE(inFile(keys::serverPassword));
    EXPECT_TRUE(inFile(keys::username));
}

}  // namespace
}  // namespace pelloran::test
