#pragma once
// Where the two passwords live: the member's site password (keys::password) and the remote
// client's (keys::serverPassword). With a desktop keyring they are kept there and the settings
// file keeps every other key; without one they stay in the 0600 settings file as before.
//
// Reads never wait for the keyring: they come from memory. Writes are seen by readers at once;
// the keyring store confirms them in the background. Thread-safe.

#include "store/store_notice.h"

#include <QDeadlineTimer>
#include <QLatin1StringView>
#include <QString>
#include <optional>

namespace pelloran {

class SettingsStore;

class SecretStore {
public:
    virtual ~SecretStore() = default;

    // The password under `key`; absent when none was stored. Never blocks.
    virtual std::optional<QString> read(QLatin1StringView key) const = 0;
    // Keeps `value` under `key`; read() answers it at once. The settings-file store sets it in
    // the settings, which the caller flushes as it flushes its other keys; the keyring store
    // sends it to the keyring in the background.
    virtual void write(QLatin1StringView key, const QString& value) = 0;
    // Asks the keyring again for `key` (another program may have changed it), waiting until
    // `deadline` at most; keeps what memory holds when no answer comes. Blocks: never on the UI
    // thread. The settings-file store has nothing to ask.
    virtual void refresh(QLatin1StringView key, QDeadlineTimer deadline) {
        (void)key;
        (void)deadline;
    }
    // Waits until `deadline` for the writes sent so far. True when none is still waiting.
    virtual bool waitForWrites(QDeadlineTimer deadline) {
        (void)deadline;
        return true;
    }

    virtual bool isKeyring() const = 0;
    // The keyring was wanted but could not be used: the passwords went to the file instead.
    virtual bool isFallback() const { return false; }
    // For the member: where the passwords are kept, and why not in the keyring when they aren't.
    virtual QString location() const = 0;

    // What the member should be told (a password the keyring refused, kept in the file).
    QList<StoreNotice> takeNotices() { return notices_.take(); }
    NoticeLog& notices() { return notices_; }

protected:
    NoticeLog notices_;
};

// The passwords in the settings file, under their own keys, as every other setting.
class FileSecretStore : public SecretStore {
public:
    // `reason`: why not in the keyring, for location(); empty when nobody asked for one.
    // `fallback`: the keyring was wanted and failed (rather than switched off).
    explicit FileSecretStore(SettingsStore& settings, QString reason = {}, bool fallback = false);

    std::optional<QString> read(QLatin1StringView key) const override;
    void write(QLatin1StringView key, const QString& value) override;
    bool isKeyring() const override { return false; }
    bool isFallback() const override { return fallback_; }
    QString location() const override;

private:
    SettingsStore& settings_;
    QString reason_;
    bool fallback_;
};

// The password under `key` from `secrets`, or from the settings file when there is no secret
// store (callers made without one keep the file, as before there was a keyring).
std::optional<QString> readSecret(const SettingsStore& settings, const SecretStore* secrets,
                                  QLatin1StringView key);
// Keeps `value` under `key` in `secrets`, or in the settings (unflushed) when there is none.
void writeSecret(SettingsStore& settings, SecretStore* secrets, QLatin1StringView key,
                 const QString& value);

}  // namespace pelloran
