#pragma once
// Everything one run of the app owns below the screens: the configuration, the settings and
// cookie stores in the data folder, the session state, the member bar, the remote settings and
// the download history. Made once at start-up and handed down; outlives every screen.

#include "net/cookie_store.h"
#include "net/session.h"
#include "remote/download_history.h"
#include "remote/remote_context.h"
#include "remote/server_info.h"
#include "site/site_config.h"
#include "site/site_context.h"
#include "site/user_info.h"
#include "store/keyring_secret_store.h"
#include "store/settings_store.h"

#include <memory>

namespace pelloran {

class AppServices {
public:
    // The passwords stay in the settings file unless `secrets` asks for the keyring.
    AppServices(const SiteConfig& config, const QString& dataDirectory,
                const SecretStoreChoice& secrets = {false, {}, {}, {}, {}});
    // Configuration, data folder and keyring choice from the environment (read once, here).
    static std::unique_ptr<AppServices> fromEnvironment();
    // Writes the cookies back to their file.
    ~AppServices();
    AppServices(const AppServices&) = delete;
    AppServices& operator=(const AppServices&) = delete;

    const SiteConfig& config() const { return config_; }
    QString dataDirectory() const { return dataDirectory_; }
    SettingsStore& settings() { return *settings_; }
    SecretStore& secrets() { return *secrets_; }
    CookieStore& cookies() { return *cookies_; }
    Session& session() { return *session_; }
    UserInfo& userInfo() { return userInfo_; }
    ServerInfo& server() { return *server_; }
    DownloadHistory& history() { return *history_; }

    NetContext net() { return {cookies_.get(), session_.get()}; }
    SiteContext site() { return {net(), &config_, settings_.get(), &userInfo_, secrets_.get()}; }
    RemoteContext remote(AlertSink* alerts) {
        return {net(), server_.get(), history_.get(), alerts};
    }

private:
    SiteConfig config_;
    QString dataDirectory_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<SecretStore> secrets_;  // after settings_: it writes there
    std::unique_ptr<CookieStore> cookies_;
    std::unique_ptr<Session> session_;
    UserInfo userInfo_;
    std::unique_ptr<ServerInfo> server_;
    std::unique_ptr<DownloadHistory> history_;
};

// Stores the running version under Pelloran_version when the stored one differs (an absent
// one does), with a flush. True when it wrote.
bool recordVersion(SettingsStore& settings, const QString& runningVersion);

}  // namespace pelloran
