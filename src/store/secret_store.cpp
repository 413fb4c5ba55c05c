#include "store/secret_store.h"

#include "store/settings_store.h"

namespace pelloran {

FileSecretStore::FileSecretStore(SettingsStore& settings, QString reason, bool fallback)
    : settings_(settings), reason_(std::move(reason)), fallback_(fallback) {}

std::optional<QString> FileSecretStore::read(QLatin1StringView key) const {
    return settings_.string(key);
}

void FileSecretStore::write(QLatin1StringView key, const QString& value) {
    settings_.setValue(key, value);
}

QString FileSecretStore::location() const {
    const QString where =
        QStringLiteral("Passwords are kept in the settings file %1").arg(settings_.filePath());
    return reason_.isEmpty() ? where + QLatin1Char('.')
                             : QStringLiteral("%1 (%2).").arg(where, reason_);
}

std::optional<QString> readSecret(const SettingsStore& settings, const SecretStore* secrets,
                                  QLatin1StringView key) {
    return secrets ? secrets->read(key) : settings.string(key);
}

void writeSecret(SettingsStore& settings, SecretStore* secrets, QLatin1StringView key,
                 const QString& value) {
    if (secrets) {
        secrets->write(key, value);
    } else {
        settings.setValue(key, value);
    }
}

}  // namespace pelloran
