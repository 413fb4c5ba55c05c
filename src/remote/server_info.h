#pragma once
// The remote client settings: which client, where, and with which credentials. Every change is
// written straight through to the settings store and flushed, so it survives a restart and the
// next push or test sees it.
//
// One instance for the program, owned by the front end and handed down. Every reader calls
// reload() before using the values, because the settings may have changed since it last looked.
// Thread-safe: the UI thread edits while push and test operations reload and read.

#include "remote/push_options.h"

#include <QMutex>
#include <QString>
#include <optional>

namespace pelloran {

class SecretStore;
class SettingsStore;

class ServerInfo {
public:
    // The five settings; each is absent until something stored it.
    struct Values {
        std::optional<QString> username;  // "" or absent: no authentication
        std::optional<QString> password;
        std::optional<QString> address;
        std::optional<QString> port;
        std::optional<QString> client;  // adapter name (bit_client_registry.h)
        // Where that client's pushes go unless a push says otherwise; each field absent until
        // the member set it.
        PushOptions pushDefaults;
    };

    // Loads the settings from `store`, and the password from `secrets` (the settings file when
    // null); both must outlive this object.
    explicit ServerInfo(SettingsStore& store, SecretStore* secrets = nullptr);
    ServerInfo(const ServerInfo&) = delete;
    ServerInfo& operator=(const ServerInfo&) = delete;

    // Reads all five keys again (an absent key gives an absent field).
    void reload();
    // reload() and a consistent copy of the five values, in one step. Off the UI thread it
    // also asks the keyring again for the password (another program may have changed it),
    // waiting a few seconds at most; on the UI thread it never waits.
    Values reloaded();

    Values values() const;
    std::optional<QString> username() const;
    std::optional<QString> password() const;
    std::optional<QString> address() const;
    std::optional<QString> port() const;
    std::optional<QString> client() const;

    // When `value` differs from the one held: hold it, write it and flush the store. An empty
    // text differs from an absent value.
    void setUsername(const QString& value);
    void setPassword(const QString& value);
    void setAddress(const QString& value);
    void setPort(const QString& value);
    void setClient(const QString& value);

    // The push defaults stored for client `client` (a stored adapter name), chosen or not: each
    // client keeps its own, under "Pelloran_" + the name in lower camel case + "Category",
    // "Tags", "SavePath" or "Paused" ("on"/"off"). Absent fields are absent.
    PushOptions pushDefaults(const QString& client) const;
    // Writes each field `options` sets that differs from the stored one, and flushes; fields it
    // leaves absent stay as stored.
    void setPushDefaults(const QString& client, const PushOptions& options);

    // The settings key of one push default of one client: "Pelloran_qBittorrentCategory".
    static QString pushDefaultKey(const QString& client, PushOption option);

private:
    void reloadLocked();
    void set(std::optional<QString> Values::*field, QLatin1StringView key, const QString& value);

    SettingsStore& store_;
    SecretStore* secrets_;
    mutable QMutex mutex_;  // guards values_ and keeps each setter's hold-and-write together
    Values values_;
};

}  // namespace pelloran
