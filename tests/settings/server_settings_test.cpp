// The Remote Settings tab: the client chooser built from the adapters, the default port, the
// fields stored as their editing ends, Test, and the password kept in the keyring.

#include "net/cookie_store.h"
#include "remote/bit_client_registry.h"
#include "remote/server_info.h"
#include "settings/server_settings_view_controller.h"
#include "store/keyring_secret_store.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/fake_keyring.h"
#include "support/temp_home.h"
#include "ui/navigation_stack.h"
#include "ui/push_options_form.h"
#include "ui/segmented_control.h"
#include "ui/toggle_switch.h"
#include "ui/web_screen_loader.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

namespace pelloran {
namespace {

class ServerSettingsTest : public ::testing::Test {
protected:
    ServerSettingsTest() {
        context.site.settings = &settings;
        context.remote.server = &server;
    }
    std::optional<QString> stored(QLatin1StringView key) {
        return SettingsStore(home.path()).string(key);
    }
    // The tab as the member opens it: inside its navigation stack, shown.
    std::unique_ptr<NavigationStack> openTab() {
        screen = new ServerSettingsViewController(context);
        auto stack = std::make_unique<NavigationStack>(screen);
        stack->resize(320, 480);
        static_cast<QWidget*>(stack.get())->show();
        stack->notifyWillAppear();
        return stack;
    }

    test::TempHome home;
    SettingsStore settings{home.path()};
    ServerInfo server{settings};
    ScreenContext context;
    ServerSettingsViewController* screen = nullptr;
};

TEST_F(ServerSettingsTest, FirstShowingChoosesTheFirstClientAndStoresItsDefaultPort) {
    auto stack = openTab();
    EXPECT_EQ(screen->tabTitle(), QStringLiteral("Remote Settings"));
    EXPECT_TRUE(stack->isNavigationBarHidden());
    // One position per adapter, in index order, each with its own help text.
    const QList<const BitClientType*>& types = bitClientTypes();
    ASSERT_EQ(screen->clientChooser()->count(), types.size());
    EXPECT_EQ(screen->clientChooser()->titles(),
              (QStringList{"Vuze", "Transmission", "uTorrent", "qBittorrent", "Deluge"}));
    EXPECT_EQ(screen->clientChooser()->selectedIndex(), 0);
    EXPECT_EQ(screen->descriptionLabel()->toPlainText(), QString(types[0]->description));
    EXPECT_EQ(screen->portField()->text(), QStringLiteral("6886"));
    EXPECT_EQ(stored(keys::serverClient), QStringLiteral("Vuze"));
    EXPECT_EQ(stored(keys::serverPort), QStringLiteral("6886"));
    EXPECT_FALSE(stored(keys::serverAddress));
    EXPECT_EQ(screen->passwordField()->echoMode(), QLineEdit::Password);

    // Choosing a client puts its default port in, over a port typed before.
    screen->portField()->setText(QStringLiteral("1234"));
    Q_EMIT screen->portField()->editingFinished();
    EXPECT_EQ(stored(keys::serverPort), QStringLiteral("1234"));
    const QRect utorrent = screen->clientChooser()->segmentRect(2);
    QTest::mouseClick(screen->clientChooser(), Qt::LeftButton, {}, utorrent.center());
    EXPECT_EQ(stored(keys::serverClient), QStringLiteral("Utorrent"));
    EXPECT_EQ(screen->portField()->text(), QStringLiteral("8080"));
    EXPECT_EQ(stored(keys::serverPort), QStringLiteral("8080"));
    EXPECT_EQ(screen->descriptionLabel()->toPlainText(), QString(types[2]->description));
}

TEST_F(ServerSettingsTest, AStoredClientAndPortAreShownAndKept) {
    settings.setValue(keys::serverClient, QStringLiteral("Transmission"));
    settings.setValue(keys::serverPort, QStringLiteral("9092"));
    settings.setValue(keys::serverAddress, QStringLiteral("192.168.1.5"));
    settings.flush();
    server.reload();
    auto stack = openTab();
    EXPECT_EQ(screen->clientChooser()->selectedIndex(), 1);
    EXPECT_EQ(screen->portField()->text(), QStringLiteral("9092"));
    EXPECT_EQ(stored(keys::serverPort), QStringLiteral("9092"));
    EXPECT_EQ(screen->addressField()->text(), QStringLiteral("192.168.1.5"));

    // An unknown stored name shows the first position.
    settings.setValue(keys::serverClient, QStringLiteral("Azureus"));
    settings.flush();
    server.reload();
    auto other = openTab();
    EXPECT_EQ(screen->clientChooser()->selectedIndex(), 0);
}

TEST_F(ServerSettingsTest, ReturnStoresTheFieldAndMovesOnAndTestStoresThePasswordBeingTyped) {
    WebScreenLoader loader({QStringLiteral(FAKE_WEB_PLUGIN_DIR)});
    context.web = &loader;
    auto stack = openTab();
    stack->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(stack.get()));

    screen->addressField()->setFocus();
    QTest::keyClicks(screen->addressField(), QStringLiteral("10.0.0.2"));
    QTest::keyClick(screen->addressField(), Qt::Key_Return);
    EXPECT_EQ(stored(keys::serverAddress), QStringLiteral("10.0.0.2"));
    EXPECT_TRUE(screen->portField()->hasFocus());
    QTest::keyClick(screen->portField(), Qt::Key_Return);
    EXPECT_TRUE(screen->userField()->hasFocus());
    QTest::keyClicks(screen->userField(), QStringLiteral("admin"));
    QTest::keyClick(screen->userField(), Qt::Key_Return);
    EXPECT_EQ(stored(keys::serverUser), QStringLiteral("admin"));
    EXPECT_TRUE(screen->passwordField()->hasFocus());

    QTest::keyClicks(screen->passwordField(), QStringLiteral("s3cret"));
    QTest::mouseClick(screen->testButton(), Qt::LeftButton);  // still typing the password
    EXPECT_EQ(stored(keys::serverPassword), QStringLiteral("s3cret"));
    // The run's first web screen: a stand-in with the bar until the plugin has loaded.
    ASSERT_EQ(stack->depth(), 2);
    EXPECT_FALSE(stack->isNavigationBarHidden());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return stack->topViewController()->title() == QLatin1String("Fake remote test"); },
        5000));
    EXPECT_EQ(stack->depth(), 2);
}

// The first web screen of the run, with no plugin to be had: the stand-in leaves, and the test
// runs without the web screens, its button held until the client answered (or didn't).
TEST_F(ServerSettingsTest, TestWithoutThePluginStillRunsAfterTheStandIn) {
    WebScreenLoader none(QStringList{});
    context.web = &none;
    CookieStore cookies;
    context.remote.net.cookies = &cookies;
    auto stack = openTab();
    screen->addressField()->setText(QStringLiteral("127.0.0.1"));
    Q_EMIT screen->addressField()->editingFinished();
    screen->portField()->setText(QStringLiteral("1"));  // nothing listens there
    Q_EMIT screen->portField()->editingFinished();
    QTest::mouseClick(screen->testButton(), Qt::LeftButton);
    EXPECT_EQ(stack->depth(), 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return stack->depth() == 1; }, 5000));
    EXPECT_TRUE(none.wasTried());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen->testButton()->isEnabled(); }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return screen->testButton()->isEnabled(); }, 20000));
}

TEST_F(ServerSettingsTest, WithAKeyringThePasswordIsReadFromItAndTypedIntoItNeverTheFile) {
    auto keyring = std::make_shared<test::FakeKeyringState>();
    QString whyNot;
    std::unique_ptr<KeyringSecretStore> secrets =
        KeyringSecretStore::open(settings, std::make_unique<test::FakeKeyring>(keyring),
                                 home.path(), QDeadlineTimer(5000), &whyNot);
    ASSERT_NE(secrets, nullptr) << whyNot.toStdString();
    secrets->write(keys::serverPassword, QStringLiteral("from the keyring"));
    ASSERT_TRUE(secrets->waitForWrites(QDeadlineTimer(10000)));
    ServerInfo keyed(settings, secrets.get());
    context.remote.server = &keyed;

    auto stack = openTab();
    EXPECT_EQ(screen->passwordField()->text(), QStringLiteral("from the keyring"));
    screen->passwordField()->setText(QStringLiteral("n3w & p\u00e4ss"));
    Q_EMIT screen->passwordField()->editingFinished();
    screen->addressField()->setText(QStringLiteral("10.0.0.3"));
    stack->notifyWillDisappear();  // leaving the tab keeps what was typed
    ASSERT_TRUE(secrets->waitForWrites(QDeadlineTimer(10000)));

    QMutexLocker lock(&keyring->mutex);
    ASSERT_EQ(keyring->entries.size(), 1);
    EXPECT_EQ(keyring->entries.begin().value(), QStringLiteral("n3w & p\u00e4ss"));
    EXPECT_FALSE(stored(keys::serverPassword));
    EXPECT_EQ(stored(keys::serverAddress), QStringLiteral("10.0.0.3"));
}

TEST_F(ServerSettingsTest, AnotherProgramsChangeIsShownOnTheNextVisitAndNeverWrittenOver) {
    settings.setValue(keys::serverClient, QStringLiteral("Vuze"));
    settings.setValue(keys::serverPort, QStringLiteral("43415"));
    settings.setValue(keys::serverUser, QStringLiteral("member"));
    settings.setValue(keys::serverPassword, QStringLiteral("old"));
    settings.flush();
    server.reload();
    WebScreenLoader loader({QStringLiteral(FAKE_WEB_PLUGIN_DIR)});
    context.web = &loader;
    auto stack = openTab();
    EXPECT_EQ(screen->portField()->text(), QStringLiteral("43415"));

    // The command line (its own store on the same file) sets up another client meanwhile.
    auto elsewhere = [&](const QString& client, const QString& port, const QString& user) {
        SettingsStore other(home.path());
        other.setValue(keys::serverClient, client);
        other.setValue(keys::serverPort, port);
        other.setValue(keys::serverUser, user);
        other.setValue(keys::serverPassword, user + QStringLiteral("-pw"));
        ASSERT_TRUE(other.flush());
    };
    elsewhere(QStringLiteral("Transmission"), QStringLiteral("29091"), QStringLiteral("demo"));
    stack->notifyWillDisappear();  // leaving writes nothing the member didn't change
    stack->notifyWillAppear();
    EXPECT_EQ(screen->clientChooser()->selectedIndex(), 1);
    EXPECT_EQ(screen->portField()->text(), QStringLiteral("29091"));
    EXPECT_EQ(screen->userField()->text(), QStringLiteral("demo"));
    EXPECT_EQ(screen->passwordField()->text(), QStringLiteral("demo-pw"));

    // Shown but untouched fields stay out of it: only the one the member edits is written, and
    // Test stores nothing else either.
    elsewhere(QStringLiteral("Deluge"), QStringLiteral("8112"), QStringLiteral("third"));
    screen->addressField()->setText(QStringLiteral("10.0.0.9"));
    Q_EMIT screen->addressField()->editingFinished();
    Q_EMIT screen->portField()->editingFinished();
    screen->test();
    EXPECT_EQ(stack->depth(), 2);
    EXPECT_EQ(stored(keys::serverClient), QStringLiteral("Deluge"));
    EXPECT_EQ(stored(keys::serverPort), QStringLiteral("8112"));
    EXPECT_EQ(stored(keys::serverUser), QStringLiteral("third"));
    EXPECT_EQ(stored(keys::serverPassword), QStringLiteral("third-pw"));
    EXPECT_EQ(stored(keys::serverAddress), QStringLiteral("10.0.0.9"));
}

TEST_F(ServerSettingsTest, AWideWindowCentresTheFormAndThePhoneWidthKeepsItsPositions) {
    auto stack = openTab();
    const struct {
        int width;
        int left;  // where the phone-wide column starts
    } widths[] = {{320, 0}, {640, 160}, {1000, 340}};
    for (const auto& w : widths) {
        SCOPED_TRACE(w.width);
        stack->resize(w.width, 480);
        EXPECT_EQ(screen->clientChooser()->geometry().x(), w.left + 20);
        EXPECT_EQ(screen->addressField()->geometry().x(), w.left + 100);
        EXPECT_EQ(screen->testButton()->geometry().x(), w.left + 20);
        EXPECT_EQ(screen->testButton()->width(), 280);
    }
}

}  // namespace
}  // namespace pelloran

namespace pelloran {
namespace {

// Each client shows the push fields it has, filled from its own defaults; an edit stores only
// that field, under that client's keys.
TEST_F(ServerSettingsTest, PushDefaultsShowTheChosenClientsFieldsAndStoreOneFieldAtATime) {
    server.setPushDefaults(QStringLiteral("Deluge"),
                           PushOptions{QStringLiteral("films"), {}, {}, {}});
    auto stack = openTab();
    PushOptionsForm* form = screen->pushOptionsForm();
    const struct {
        int position;
        bool category, tags, savePath, paused;
        QString categoryCaption;
    } cases[] = {
        {0, false, false, false, false, QString()},  // Vuze
        {1, false, true, true, true, QString()},     // Transmission: labels
        {2, false, false, false, false, QString()},  // uTorrent
        {3, true, true, true, true, QStringLiteral("Category")},
        {4, true, false, true, true, QStringLiteral("Label")},
    };
    for (const auto& c : cases) {
        screen->clientChooser()->setSelectedIndex(c.position);
        screen->didSelectClient(c.position);
        EXPECT_EQ(form->categoryField()->isVisibleTo(form), c.category) << c.position;
        EXPECT_EQ(form->tagsField()->isVisibleTo(form), c.tags) << c.position;
        EXPECT_EQ(form->savePathField()->isVisibleTo(form), c.savePath) << c.position;
        EXPECT_EQ(form->pausedSwitch()->isVisibleTo(form), c.paused) << c.position;
        EXPECT_EQ(form->heightPoints() > 0, c.category || c.tags || c.savePath || c.paused)
            << c.position;
        if (!c.categoryCaption.isEmpty()) {
            EXPECT_EQ(form->categoryField()->accessibleName(), c.categoryCaption);
        }
    }
    // Deluge (chosen last) shows its stored label.
    EXPECT_EQ(form->categoryField()->text(), QStringLiteral("films"));

    screen->clientChooser()->setSelectedIndex(3);
    screen->didSelectClient(3);
    form->savePathField()->setText(QStringLiteral("/srv/films"));
    Q_EMIT form->savePathField()->editingFinished();
    form->pausedSwitch()->click();
    EXPECT_EQ(stored(QLatin1StringView("Pelloran_qBittorrentSavePath")),
              QStringLiteral("/srv/films"));
    EXPECT_EQ(stored(QLatin1StringView("Pelloran_qBittorrentPaused")), QStringLiteral("on"));
    // The empty category field is no choice: nothing written for it, and Deluge's stays.
    stack->notifyWillDisappear();
    EXPECT_FALSE(stored(QLatin1StringView("Pelloran_qBittorrentCategory")));
    EXPECT_EQ(stored(QLatin1StringView("Pelloran_delugeCategory")), QStringLiteral("films"));
}

}  // namespace
}  // namespace pelloran
