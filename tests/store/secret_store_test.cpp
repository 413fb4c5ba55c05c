// Where the passwords live: the keyring when it answers, the settings file when it doesn't,
// the move from the file to the keyring only once the keyring confirmed it, and a password the
// keyring refuses kept in the file rather than lost. A keyring of the test's own stands in for
// the desktop's (the real one is tried in tests/cli).

#include "store/keyring_secret_store.h"
#include "store/lazy_secret_store.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/fake_keyring.h"
#include "support/temp_home.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSemaphore>

namespace pelloran {
namespace {

const QString kSitePassword = QStringLiteral("s1te & p\u00e4ss %41");
const QString kServerPassword = QStringLiteral("cl1ent pass");

QJsonObject fileOnDisk(const SettingsStore& settings) {
    QFile f(settings.filePath());
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(f.readAll()).object();
}

class SecretStoreTest : public ::testing::Test {
protected:
    std::unique_ptr<KeyringSecretStore> open(QString* whyNot = nullptr,
                                             const QString& scope = QString()) {
        QString ignored;
        return KeyringSecretStore::open(*settings, std::make_unique<test::FakeKeyring>(keyring),
                                        scope, QDeadlineTimer(5000), whyNot ? whyNot : &ignored);
    }
    void seedFile() {
        settings->setValue(keys::username, QStringLiteral("member"));
        settings->setValue(keys::password, kSitePassword);
        settings->setValue(keys::serverPassword, kServerPassword);
        ASSERT_TRUE(settings->flush());
    }

    test::TempHome home;
    std::unique_ptr<SettingsStore> settings = std::make_unique<SettingsStore>(home.path());
    std::shared_ptr<test::FakeKeyringState> keyring = std::make_shared<test::FakeKeyringState>();
};

TEST_F(SecretStoreTest, PasswordsInTheFileMoveToTheKeyringOnceItConfirms) {
    seedFile();
    auto store = open();
    ASSERT_TRUE(store);
    EXPECT_EQ(keyring->entries.value(QString(keys::password)), kSitePassword);
    EXPECT_EQ(keyring->entries.value(QString(keys::serverPassword)), kServerPassword);
    EXPECT_EQ(store->read(keys::password), kSitePassword);
    EXPECT_EQ(store->read(keys::serverPassword), kServerPassword);
    // Gone from the file on disk; every other key stays.
    const QJsonObject disk = fileOnDisk(*settings);
    EXPECT_FALSE(disk.contains(keys::password));
    EXPECT_FALSE(disk.contains(keys::serverPassword));
    EXPECT_EQ(disk.value(keys::username).toString(), QStringLiteral("member"));
    // The next start finds them in the keyring alone.
    SettingsStore reread(home.path());
    QString whyNot;
    auto again = KeyringSecretStore::open(reread, std::make_unique<test::FakeKeyring>(keyring), {},
                                          QDeadlineTimer(5000), &whyNot);
    ASSERT_TRUE(again) << whyNot.toStdString();
    EXPECT_EQ(again->read(keys::password), kSitePassword);
}

// Whatever goes wrong at start, the passwords stay where they were and the run uses the file.
TEST_F(SecretStoreTest, AKeyringThatFailsAtStartLeavesTheFileAsItWas) {
    struct Case {
        const char* what;
        bool failReads;
        bool failWrites;
        const char* reason;
    };
    const Case cases[] = {
        {"no secret service", true, false, "no secret service"},
        {"refuses the move", false, true, "the collection is locked"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempHome caseHome;
        settings = std::make_unique<SettingsStore>(caseHome.path());
        keyring = std::make_shared<test::FakeKeyringState>();
        keyring->failReads = c.failReads;
        keyring->failWrites = c.failWrites;
        seedFile();
        QString whyNot;
        EXPECT_FALSE(open(&whyNot));
        EXPECT_TRUE(whyNot.contains(QLatin1StringView(c.reason))) << whyNot.toStdString();
        const QJsonObject disk = fileOnDisk(*settings);
        EXPECT_EQ(disk.value(keys::password).toString(), kSitePassword);
        EXPECT_EQ(disk.value(keys::serverPassword).toString(), kServerPassword);
        EXPECT_FALSE(whyNot.contains(kSitePassword));
    }
}

TEST_F(SecretStoreTest, AWriteIsReadAtOnceAndNeverTouchesTheFile) {
    auto store = open();
    ASSERT_TRUE(store);
    QSemaphore hold;
    keyring->holdWrites = &hold;
    store->write(keys::serverPassword, kServerPassword);
    // Seen at once, while the keyring has not answered yet.
    EXPECT_EQ(store->read(keys::serverPassword), kServerPassword);
    EXPECT_FALSE(store->waitForWrites(QDeadlineTimer(0)));
    hold.release();
    ASSERT_TRUE(store->waitForWrites(QDeadlineTimer(10000)));
    EXPECT_EQ(keyring->entries.value(QString(keys::serverPassword)), kServerPassword);
    EXPECT_FALSE(fileOnDisk(*settings).contains(keys::serverPassword));
    EXPECT_TRUE(store->takeNotices().isEmpty());
}

// A refused write keeps the password in the file (nothing typed is lost) and says so without
// the password; the next accepted write takes the copy out of the file again.
TEST_F(SecretStoreTest, ARefusedWriteIsKeptInTheFileUntilTheKeyringTakesOne) {
    auto store = open();
    ASSERT_TRUE(store);
    keyring->failWrites = true;
    store->write(keys::password, kSitePassword);
    ASSERT_TRUE(store->waitForWrites(QDeadlineTimer(10000)));
    EXPECT_EQ(fileOnDisk(*settings).value(keys::password).toString(), kSitePassword);
    EXPECT_EQ(store->read(keys::password), kSitePassword);
    const QList<StoreNotice> notices = store->takeNotices();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0].kind, StoreNotice::Kind::InFile);
    EXPECT_TRUE(notices[0].text.contains(settings->filePath()));
    EXPECT_FALSE(notices[0].text.contains(kSitePassword));

    keyring->failWrites = false;
    store->write(keys::password, QStringLiteral("newer"));
    ASSERT_TRUE(store->waitForWrites(QDeadlineTimer(10000)));
    EXPECT_FALSE(fileOnDisk(*settings).contains(keys::password));
    EXPECT_EQ(keyring->entries.value(QString(keys::password)), QStringLiteral("newer"));
}

// Writes reach the keyring in order, and the answer to an older one never undoes a newer one:
// a refusal that comes back after a newer write was made leaves no stale copy in the file.
TEST_F(SecretStoreTest, OnlyTheLatestWriteDecidesWhereThePasswordLives) {
    auto store = open();
    ASSERT_TRUE(store);
    QSemaphore hold;
    keyring->holdWrites = &hold;
    keyring->failWrites = true;
    store->write(keys::password, QStringLiteral("older"));
    store->write(keys::password, QStringLiteral("newest"));
    EXPECT_EQ(store->read(keys::password), QStringLiteral("newest"));
    hold.release();  // the older write is refused
    keyring->writesDone.acquire();
    {
        QMutexLocker lock(&keyring->mutex);
        keyring->failWrites = false;  // the newest is taken
    }
    hold.release();
    ASSERT_TRUE(store->waitForWrites(QDeadlineTimer(10000)));
    EXPECT_EQ(keyring->entries.value(QString(keys::password)), QStringLiteral("newest"));
    EXPECT_FALSE(fileOnDisk(*settings).contains(keys::password));
    EXPECT_TRUE(store->takeNotices().isEmpty());
}

// A data folder of its own (PELLORAN_HOME) has entries of its own: a test or a second account
// never reads or overwrites the member's.
TEST_F(SecretStoreTest, ADataFolderOfItsOwnUsesEntriesOfItsOwn) {
    keyring->entries.insert(QString(keys::password), QStringLiteral("the member's"));
    auto store = open(nullptr, home.path());
    ASSERT_TRUE(store);
    EXPECT_FALSE(store->read(keys::password).has_value());
    store->write(keys::password, QStringLiteral("the test's"));
    ASSERT_TRUE(store->waitForWrites(QDeadlineTimer(10000)));
    EXPECT_EQ(keyring->entries.value(QString(keys::password)), QStringLiteral("the member's"));
    EXPECT_EQ(keyring->entries.size(), 2);

    QProcessEnvironment env;
    env.insert(QStringLiteral("PELLORAN_HOME"), home.path());
    EXPECT_EQ(secretStoreChoiceFromEnvironment(env).scope, home.path());
    EXPECT_TRUE(secretStoreChoiceFromEnvironment(QProcessEnvironment()).scope.isEmpty());
}

TEST_F(SecretStoreTest, KeyringOffKeepsThePasswordsInTheSettingsFile) {
    QProcessEnvironment env;
    env.insert(QStringLiteral("PELLORAN_KEYRING"), QStringLiteral("off"));
    const SecretStoreChoice choice = secretStoreChoiceFromEnvironment(env);
    ASSERT_FALSE(choice.keyring);
    std::unique_ptr<SecretStore> store = openSecretStore(*settings, choice);
    EXPECT_FALSE(store->isKeyring());
    EXPECT_TRUE(store->location().contains(settings->filePath()));
    EXPECT_TRUE(store->location().contains(QStringLiteral("PELLORAN_KEYRING")));
    store->write(keys::password, kSitePassword);
    ASSERT_TRUE(settings->flush());
    EXPECT_EQ(SettingsStore(home.path()).string(keys::password), kSitePassword);
}

// Opened on demand, the store makes no keyring until a password is asked for or set: a run
// that needs none never reaches the keyring; then it behaves as the store opened at start,
// notices included.
TEST_F(SecretStoreTest, OpenedOnDemandTheKeyringIsReachedOnlyForAPassword) {
    seedFile();
    int made = 0;
    SecretStoreChoice choice{true, {}, std::chrono::milliseconds(5000), {}, [&] {
                                 ++made;
                                 return std::make_unique<test::FakeKeyring>(keyring);
                             }};
    {
        LazySecretStore untouched(*settings, choice);
        EXPECT_TRUE(untouched.waitForWrites(QDeadlineTimer(1000)));
        EXPECT_TRUE(untouched.takeNotices().isEmpty());
    }
    EXPECT_EQ(made, 0);
    EXPECT_EQ(fileOnDisk(*settings).value(keys::password).toString(), kSitePassword);

    LazySecretStore store(*settings, choice);
    EXPECT_EQ(store.read(keys::password), kSitePassword);
    EXPECT_TRUE(store.isKeyring());
    EXPECT_EQ(made, 1);
    EXPECT_FALSE(fileOnDisk(*settings).contains(keys::password));
    keyring->failWrites = true;
    store.write(keys::serverPassword, QStringLiteral("refused"));
    ASSERT_TRUE(store.waitForWrites(QDeadlineTimer(10000)));
    const QList<StoreNotice> notices = store.takeNotices();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0].kind, StoreNotice::Kind::InFile);
    EXPECT_EQ(made, 1);
}

}  // namespace
}  // namespace pelloran
