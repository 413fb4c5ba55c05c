#include "store/keyring_secret_store.h"

#include "store/app_paths.h"
#include "store/lazy_secret_store.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"

namespace pelloran {

namespace {

constexpr std::chrono::milliseconds kStartWait{5000};

const QLatin1StringView kSecretKeys[] = {keys::password, keys::serverPassword};

}  // namespace

KeyringSecretStore::KeyringSecretStore(SettingsStore& settings,
                                       std::unique_ptr<KeyringBackend> backend,
                                       const QString& scope)
    : settings_(settings), backend_(std::move(backend)), scope_(scope) {
    writer_.setMaxThreadCount(1);
    writer_.setExpiryTimeout(-1);
}

KeyringSecretStore::~KeyringSecretStore() {
    writer_.waitForDone();
}

QString KeyringSecretStore::entry(const QString& key) const {
    return scope_.isEmpty() ? key : QStringLiteral("%1 (%2)").arg(key, scope_);
}

std::unique_ptr<KeyringSecretStore> KeyringSecretStore::open(
    SettingsStore& settings, std::unique_ptr<KeyringBackend> backend, const QString& scope,
    QDeadlineTimer deadline, QString* whyNot) {
    std::unique_ptr<KeyringSecretStore> store(
        new KeyringSecretStore(settings, std::move(backend), scope));
    for (const QLatin1StringView key : kSecretKeys) {
        const KeyringAnswer answer = store->backend_->read(store->entry(key), deadline);
        if (answer.status == KeyringAnswer::Status::Failed) {
            *whyNot = QStringLiteral("the keyring is not available: %1").arg(answer.error);
            return nullptr;
        }
        store->values_.insert(key, answer.status == KeyringAnswer::Status::Found
                                       ? std::optional<QString>(answer.value)
                                       : std::nullopt);
    }
    // A password kept in the file by a run without the keyring is newer than the keyring's.
    bool moved = false;
    for (const QLatin1StringView key : kSecretKeys) {
        const std::optional<QString> inFile = settings.string(key);
        if (!inFile) {
            continue;
        }
        const KeyringAnswer answer = store->backend_->write(store->entry(key), *inFile, deadline);
        if (answer.status != KeyringAnswer::Status::Stored) {
            *whyNot =
                QStringLiteral("the keyring did not take the passwords: %1").arg(answer.error);
            return nullptr;
        }
        store->values_.insert(key, *inFile);
        settings.remove(key);
        moved = true;
    }
    if (moved) {
        settings.flush();  // when it fails, the copy stays in the file until the next flush
    }
    return store;
}

std::optional<QString> KeyringSecretStore::read(QLatin1StringView key) const {
    QMutexLocker lock(&mutex_);
    std::optional<QString> known = values_.value(QString(key));
    if (known) {
        return known;
    }
    // A password the keyring refused is in the file meanwhile.
    return settings_.string(key);
}

void KeyringSecretStore::write(QLatin1StringView key, const QString& value) {
    const QString k = key;
    quint64 generation = 0;
    {
        QMutexLocker lock(&mutex_);
        values_.insert(k, value);
        generation = ++generation_[k];
        ++writesRunning_;
    }
    writer_.start([this, k, value, generation] {
        const KeyringAnswer answer = backend_->write(
            entry(k), value, QDeadlineTimer(std::chrono::milliseconds(kWriteLimit)));
        written(k, value, generation, answer);
    });
}

void KeyringSecretStore::written(const QString& key, const QString& value, quint64 generation,
                                 const KeyringAnswer& answer) {
    bool latest = false;
    {
        QMutexLocker lock(&mutex_);
        latest = generation_.value(key) == generation;
    }
    // Only the latest write of a key decides where it lives: an older one's answer is stale.
    if (latest) {
        if (answer.status == KeyringAnswer::Status::Stored) {
            if (settings_.string(key)) {
                settings_.remove(key);  // a copy an earlier refusal left in the file
                settings_.flush();
            }
        } else {
            settings_.setValue(key, value);
            const bool saved = settings_.flush();
            notices_.add({StoreNotice::Kind::InFile, settings_.filePath(), QString(),
                          saved ? QStringLiteral("The keyring did not take a password (%1); it "
                                                 "is kept in the settings file %2 instead.")
                                      .arg(answer.error, settings_.filePath())
                                : QStringLiteral("The keyring did not take a password (%1).")
                                      .arg(answer.error)});
        }
    }
    QMutexLocker lock(&mutex_);
    --writesRunning_;
    allWritten_.wakeAll();
}

void KeyringSecretStore::refresh(QLatin1StringView key, QDeadlineTimer deadline) {
    const QString k = key;
    quint64 before = 0;
    {
        QMutexLocker lock(&mutex_);
        if (writesRunning_ > 0) {
            return;  // what memory holds is newer than the keyring's answer could be
        }
        before = generation_.value(k);
    }
    const KeyringAnswer answer = backend_->read(entry(k), deadline);
    if (answer.status == KeyringAnswer::Status::Failed) {
        return;
    }
    QMutexLocker lock(&mutex_);
    if (generation_.value(k) == before) {
        values_.insert(k, answer.status == KeyringAnswer::Status::Found
                              ? std::optional<QString>(answer.value)
                              : std::nullopt);
    }
}

bool KeyringSecretStore::waitForWrites(QDeadlineTimer deadline) {
    QMutexLocker lock(&mutex_);
    while (writesRunning_ > 0) {
        if (!allWritten_.wait(&mutex_, deadline)) {
            return false;
        }
    }
    return true;
}

QString KeyringSecretStore::location() const {
    return QStringLiteral("Passwords are kept in the desktop's keyring (service \"%1\").")
        .arg(kKeyringService);
}

SecretStoreChoice secretStoreChoiceFromEnvironment(const QProcessEnvironment& env) {
    const QString value = env.value(QStringLiteral("PELLORAN_KEYRING")).trimmed().toLower();
    if (value == QLatin1StringView("off") || value == QLatin1StringView("no") ||
        value == QLatin1StringView("0")) {
        return {false, QStringLiteral("PELLORAN_KEYRING is off"), kStartWait, QString(), {}};
    }
    const QString folder = dataDirectoryFromEnvironment(env);
    const QString defaultFolder = dataDirectoryFromEnvironment(QProcessEnvironment());
    return {true, QString(), kStartWait, folder == defaultFolder ? QString() : folder, {}};
}

std::unique_ptr<SecretStore> openSecretStore(SettingsStore& settings,
                                             const SecretStoreChoice& choice) {
    if (choice.keyring && choice.opening == SecretStoreOpening::WhenFirstNeeded) {
        SecretStoreChoice atFirstUse = choice;
        atFirstUse.opening = SecretStoreOpening::AtStart;
        return std::make_unique<LazySecretStore>(settings, std::move(atFirstUse));
    }
    if (!choice.keyring) {
        return std::make_unique<FileSecretStore>(settings, choice.why);
    }
    QString whyNot;
    if (std::unique_ptr<KeyringSecretStore> keyring = KeyringSecretStore::open(
            settings,
            choice.backend ? choice.backend() : makeQtKeychainBackend(QString(kKeyringService)),
            choice.scope, QDeadlineTimer(choice.wait), &whyNot)) {
        return keyring;
    }
    return std::make_unique<FileSecretStore>(settings, whyNot, true);
}

}  // namespace pelloran
