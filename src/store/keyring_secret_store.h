#pragma once
// The passwords in the desktop's keyring, and the choice between it and the settings file.
//
// At start the keyring is asked once for both passwords, within a bounded wait: when it does
// not answer, or answers with an error, the run keeps the passwords in the settings file and
// says why. A password still in the settings file (from a run without a keyring) is written to
// the keyring and removed from the file only once the keyring confirmed the write.
//
// Later writes go to the keyring on a thread of their own, in the order they were made. When
// the keyring refuses one, the password is kept in the settings file instead (and a notice says
// so), so nothing the member typed is lost; the next start moves it again.

#include "store/keyring_backend.h"
#include "store/secret_store.h"

#include <QHash>
#include <QMutex>
#include <QProcessEnvironment>
#include <QThreadPool>
#include <QWaitCondition>
#include <chrono>
#include <functional>
#include <memory>

namespace pelloran {

// One name for every entry of this program in the keyring.
inline constexpr QLatin1StringView kKeyringService{"Pelloran"};

class KeyringSecretStore : public SecretStore {
public:
    // How long one background write may wait for the keyring.
    static constexpr std::chrono::seconds kWriteLimit{20};

    // Reads both passwords and moves those found in the settings file, all by `deadline`.
    // Null, with `whyNot` set, when the keyring can't be used for this run; the settings file
    // is then as it was.
    // `scope` tells this data folder's entries from another's (empty for the default folder).
    static std::unique_ptr<KeyringSecretStore> open(SettingsStore& settings,
                                                    std::unique_ptr<KeyringBackend> backend,
                                                    const QString& scope, QDeadlineTimer deadline,
                                                    QString* whyNot);
    // Waits for the writes still running (each is bounded by kWriteLimit).
    ~KeyringSecretStore() override;

    std::optional<QString> read(QLatin1StringView key) const override;
    void write(QLatin1StringView key, const QString& value) override;
    void refresh(QLatin1StringView key, QDeadlineTimer deadline) override;
    bool waitForWrites(QDeadlineTimer deadline) override;
    bool isKeyring() const override { return true; }
    QString location() const override;

private:
    KeyringSecretStore(SettingsStore& settings, std::unique_ptr<KeyringBackend> backend,
                       const QString& scope);
    // The keyring's name for a settings key.
    QString entry(const QString& key) const;
    void written(const QString& key, const QString& value, quint64 generation,
                 const KeyringAnswer& answer);

    SettingsStore& settings_;
    std::unique_ptr<KeyringBackend> backend_;
    QString scope_;
    mutable QMutex mutex_;  // guards the fields below
    QWaitCondition allWritten_;
    QHash<QString, std::optional<QString>> values_;  // what the keyring holds, as known here
    QHash<QString, quint64> generation_;             // per key: the latest write's number
    int writesRunning_ = 0;
    QThreadPool writer_;  // one thread: writes reach the keyring in order
};

enum class SecretStoreOpening { AtStart, WhenFirstNeeded };

struct SecretStoreChoice {
    bool keyring = true;             // try the keyring first
    QString why;                     // why not, when keyring is false
    std::chrono::milliseconds wait;  // how long start-up waits for the keyring's first answer
    // Empty for the default data folder; otherwise the folder, so that a PELLORAN_HOME of its
    // own (a second account, a test) never reads or overwrites the member's entries.
    QString scope;
    // Makes the keyring to use; empty: the desktop's, through QtKeychain (tests bring their own).
    std::function<std::unique_ptr<KeyringBackend>()> backend;
    // When the keyring is asked: at start (the app), or when a password is first read or
    // written (the command line, whose runs mostly need none; see lazy_secret_store.h).
    SecretStoreOpening opening = SecretStoreOpening::AtStart;
};

// PELLORAN_KEYRING=off keeps the passwords in the settings file (servers, tests); anything else
// tries the keyring. Read once at start-up.
SecretStoreChoice secretStoreChoiceFromEnvironment(
    const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

// The keyring store when the choice allows it and the keyring answers, else the settings file.
std::unique_ptr<SecretStore> openSecretStore(SettingsStore& settings,
                                             const SecretStoreChoice& choice);

}  // namespace pelloran
