#include "remote/server_info.h"

#include "store/settings_keys.h"
#include "store/settings_store.h"

namespace pelloran {

ServerInfo::ServerInfo(SettingsStore& store) : store_(store) {
    reload();
}

void ServerInfo::reloadLocked() {
    values_.username = store_.string(keys::serverUser);
    values_.password = store_.string(keys::serverPassword);
    values_.address = store_.string(keys::serverAddress);
    values_.port = store_.string(keys::serverPort);
    values_.client = store_.string(keys::serverClient);
}

void ServerInfo::reload() {
    QMutexLocker lock(&mutex_);
    reloadLocked();
}

ServerInfo::Values ServerInfo::reloaded() {
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
    store_.setValue(key, value);
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
