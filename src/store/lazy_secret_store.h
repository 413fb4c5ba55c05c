#pragma once
// The passwords' store, opened when a password is first asked for or set. For a program that
// needs the passwords in few of its runs (the command line): a run that needs none never loads
// the keyring's library nor speaks to the desktop's session bus.
//
// The first call opens the store as openSecretStore does and may wait for the keyring as long
// as its start-up wait: only for callers that may block (never the app's UI thread).

#include "store/keyring_secret_store.h"

#include <QMutex>
#include <memory>

namespace pelloran {

class LazySecretStore : public SecretStore {
public:
    LazySecretStore(SettingsStore& settings, SecretStoreChoice choice);

    std::optional<QString> read(QLatin1StringView key) const override;
    void write(QLatin1StringView key, const QString& value) override;
    void refresh(QLatin1StringView key, QDeadlineTimer deadline) override;
    // Nothing was written when the store was never opened.
    bool waitForWrites(QDeadlineTimer deadline) override;
    bool isKeyring() const override;
    bool isFallback() const override;
    QString location() const override;

    bool isOpen() const;

private:
    SecretStore& store() const;

    SettingsStore& settings_;
    SecretStoreChoice choice_;
    mutable QMutex mutex_;  // guards opening
    mutable std::unique_ptr<SecretStore> store_;
};

}  // namespace pelloran
