#include "remote/server_info.h"

#include "store/secret_store.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"

#include <QCoreApplication>
#include <QThread>

namespace pelloran {

namespace {
// How long a push or test waits for the keyring's copy of the password before using the one
// known here.
constexpr std::chrono::seconds kKeyringRefreshLimit{3};

QString optionSuffix(PushOption option) {
    switch (option) {
        case PushOption::Category:
            return QStringLiteral("Category");
        case PushOption::Tags:
            return QStringLiteral("Tags");
        case PushOption::SavePath:
            return QStringLiteral("SavePath");
        case PushOption::Paused:
            return QStringLiteral("Paused");
    }
    return QString();
}

bool onUiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}
}  // namespace

ServerInfo::ServerInfo(SettingsStore& store, SecretStore* secrets)
    : store_(store), secrets_(secrets) {
    reload();
}

void ServerInfo::reloadLocked() {
    values_.username = store_.string(keys::serverUser);
    values_.password = readSecret(store_, secrets_, keys::serverPassword);
    values_.address = store_.string(keys::serverAddress);
    values_.port = store_.string(keys::serverPort);
    values_.client = store_.string(keys::serverClient);
    values_.pushDefaults = pushDefaults(values_.client.value_or(QString()));
}

QString ServerInfo::pushDefaultKey(const QString& client, PushOption option) {
    QString name = client;
    if (!name.isEmpty()) {
        name[0] = name[0].toLower();
    }
    return QStringLiteral("Pelloran_") + name + optionSuffix(option);
}

PushOptions ServerInfo::pushDefaults(const QString& client) const {
    PushOptions options;
    if (client.isEmpty()) {
        return options;
    }
    options.category = store_.string(pushDefaultKey(client, PushOption::Category));
    options.tags = store_.stringList(pushDefaultKey(client, PushOption::Tags));
    options.savePath = store_.string(pushDefaultKey(client, PushOption::SavePath));
    options.paused =
        onOffValue(store_.string(pushDefaultKey(client, PushOption::Paused)).value_or(QString()));
    return options;
}

void ServerInfo::setPushDefaults(const QString& client, const PushOptions& options) {
    if (client.isEmpty()) {
        return;
    }
    QMutexLocker lock(&mutex_);
    const PushOptions stored = pushDefaults(client);
    bool changed = false;
    if (options.category && options.category != stored.category) {
        store_.setValue(pushDefaultKey(client, PushOption::Category), *options.category);
        changed = true;
    }
    if (options.tags && options.tags != stored.tags) {
        store_.setValue(pushDefaultKey(client, PushOption::Tags), *options.tags);
        changed = true;
    }
    if (options.savePath && options.savePath != stored.savePath) {
        store_.setValue(pushDefaultKey(client, PushOption::SavePath), *options.savePath);
        changed = true;
    }
    if (options.paused && options.paused != stored.paused) {
        store_.setValue(pushDefaultKey(client, PushOption::Paused), onOffText(*options.paused));
        changed = true;
    }
    if (changed) {
        if (values_.client == client) {
            values_.pushDefaults = options.over(values_.pushDefaults);
        }
        store_.flush();
    }
}

void ServerInfo::reload() {
    QMutexLocker lock(&mutex_);
    reloadLocked();
}

ServerInfo::Values ServerInfo::reloaded() {
    if (secrets_ && !onUiThread()) {
        secrets_->refresh(keys::serverPassword, QDeadlineTimer(kKeyringRefreshLimit));
    }
    QMutexLocker lock(&mutex_);
    reloadLocked();
    return values_;
}

ServerInfo::Values ServerInfo::values() const {
    QMutexLocker lock(&mutex_);
    return values_;
}

std::optional<QString> ServerInfo::username() const {
    return values().username;
}
std::optional<QString> ServerInfo::password() const {
    return values().password;
}
std::optional<QString> ServerInfo::address() const {
    return values().address;
}
std::optional<QString> ServerInfo::port() const {
    return values().port;
}
std::optional<QString> ServerInfo::client() const {
    return values().client;
}

void ServerInfo::set(std::optional<QString> Values::*field, QLatin1StringView key,
                     const QString& value) {
    QMutexLocker lock(&mutex_);
    std::optional<QString>& held = values_.*field;
    if (held && *held == value) {
        return;
    }
    held = value;
    if (key == keys::serverPassword) {
        writeSecret(store_, secrets_, key, value);
    } else {
        store_.setValue(key, value);
    }
    store_.flush();
}

void ServerInfo::setUsername(const QString& value) {
    set(&Values::username, keys::serverUser, value);
}
void ServerInfo::setPassword(const QString& value) {
    set(&Values::password, keys::serverPassword, value);
}
void ServerInfo::setAddress(const QString& value) {
    set(&Values::address, keys::serverAddress, value);
}
void ServerInfo::setPort(const QString& value) {
    set(&Values::port, keys::serverPort, value);
}
void ServerInfo::setClient(const QString& value) {
    set(&Values::client, keys::serverClient, value);
}

}  // namespace pelloran
