// The remote settings: write-through with a flush only on change, and reload.

#include "remote/server_info.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/temp_home.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

using Field = std::optional<QString> ServerInfo::Values::*;
using Setter = void (ServerInfo::*)(const QString&);

struct FieldCase {
    const char* label;
    Field field;
    Setter setter;
    QLatin1StringView key;
};

const FieldCase kFields[] = {
    {"username", &ServerInfo::Values::username, &ServerInfo::setUsername, keys::serverUser},
    {"password", &ServerInfo::Values::password, &ServerInfo::setPassword, keys::serverPassword},
    {"address", &ServerInfo::Values::address, &ServerInfo::setAddress, keys::serverAddress},
    {"port", &ServerInfo::Values::port, &ServerInfo::setPort, keys::serverPort},
    {"client", &ServerInfo::Values::client, &ServerInfo::setClient, keys::serverClient},
};

TEST(ServerInfo, FreshInstallHasEveryFieldAbsent) {
    test::TempHome home;
    SettingsStore store(home.path());
    ServerInfo info(store);
    for (const FieldCase& f : kFields) {
        EXPECT_EQ(info.values().*f.field, std::nullopt) << f.label;
    }
}

TEST(ServerInfo, SettersWriteThroughAndFlushOnlyOnChange) {
    test::TempHome home;
    SettingsStore store(home.path());
    ServerInfo info(store);
    for (const FieldCase& f : kFields) {
        SCOPED_TRACE(f.label);
        // Empty text differs from absent: it is stored and flushed.
        (info.*f.setter)(QString(QLatin1StringView("")));
        EXPECT_EQ(SettingsStore(home.path()).string(f.key), std::optional<QString>(QString()));

        (info.*f.setter)(QStringLiteral("v1"));
        EXPECT_EQ(info.values().*f.field, std::optional<QString>(QStringLiteral("v1")));
        EXPECT_EQ(SettingsStore(home.path()).string(f.key), std::optional<QString>("v1"));

        // Someone else writes the key behind the object's back; setting the value the object
        // already holds must not write it again.
        store.setValue(f.key, QStringLiteral("other"));
        (info.*f.setter)(QStringLiteral("v1"));
        EXPECT_EQ(store.string(f.key), std::optional<QString>(QStringLiteral("other")));
        EXPECT_EQ(SettingsStore(home.path()).string(f.key), std::optional<QString>("v1"));
    }
}

TEST(ServerInfo, ReloadPicksUpTheStore) {
    test::TempHome home;
    SettingsStore store(home.path());
    ServerInfo info(store);
    info.setClient(QStringLiteral("Vuze"));
    info.setPort(QStringLiteral("6886"));
    store.setValue(keys::serverClient, QStringLiteral("Utorrent"));
    store.setValue(keys::serverAddress, QStringLiteral("10.0.0.2"));
    EXPECT_EQ(info.client(), std::optional<QString>(QStringLiteral("Vuze")));  // until reloaded
    const ServerInfo::Values v = info.reloaded();
    EXPECT_EQ(v.client, std::optional<QString>(QStringLiteral("Utorrent")));
    EXPECT_EQ(v.address, std::optional<QString>(QStringLiteral("10.0.0.2")));
    EXPECT_EQ(v.port, std::optional<QString>(QStringLiteral("6886")));
    EXPECT_EQ(v.username, std::nullopt);

    // A second instance over the same file, as after a restart.
    store.flush();
    SettingsStore reopened(home.path());
    ServerInfo again(reopened);
    EXPECT_EQ(again.client(), std::optional<QString>(QStringLiteral("Utorrent")));
}

}  // namespace
}  // namespace pelloran
