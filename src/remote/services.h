#pragma once
// Everything one run of a front end (the app or the command line) owns below its screens or
// commands: the configuration, the settings, password and cookie stores in the data folder, the
// session state, the member bar, the remote settings, the download history, the memory of
// upload routes and the activity database (its file untouched until the first query). Made once at
// start-up and handed down; outlives every operation made with it.

#include "net/cancellation.h"
#include "net/cookie_store.h"
#include "net/session.h"
#include "remote/download_history.h"
#include "remote/remote_context.h"
#include "remote/server_info.h"
#include "remote/upload_routes.h"
#include "site/site_config.h"
#include "site/site_context.h"
#include "site/user_info.h"
#include "store/activity_database.h"
#include "store/activity_recorder.h"
#include "store/keyring_secret_store.h"
#include "store/settings_store.h"

#include <memory>

namespace pelloran {

class Services {
public:
    // The passwords stay in the settings file unless `secrets` asks for the keyring.
    explicit Services(const SiteConfig& config, const QString& dataDirectory,
                      const SecretStoreChoice& secrets = {false, {}, {}, {}, {}});
    // Configuration, data folder and keyring choice from the environment (read once, here).
    static std::unique_ptr<Services> fromEnvironment(
        SecretStoreOpening opening = SecretStoreOpening::AtStart);
    // Writes the cookies back to their file.
    ~Services();
    Services(const Services&) = delete;
    Services& operator=(const Services&) = delete;

    const SiteConfig& config() const { return config_; }
    QString dataDirectory() const { return dataDirectory_; }
    SettingsStore& settings() { return *settings_; }
    SecretStore& secrets() { return *secrets_; }
    CookieStore& cookies() { return *cookies_; }
    Session& session() { return *session_; }
    UserInfo& userInfo() { return userInfo_; }
    ServerInfo& server() { return *server_; }
    DownloadHistory& history() { return *history_; }
    // Opened by the first read or record, never on the UI thread: pages read and pushes made
    // are recorded on the recorder's thread, and screens read on their own threads.
    ActivityDatabase& activity() { return *activity_; }
    ActivityRecorder& recorder() { return *recorder_; }

    // What the stores found wrong with their files since last asked (a file set aside, a write
    // that failed), each once.
    QList<StoreNotice> takeNotices();

    // The program is closing: every exchange in flight ends at once, later ones don't start,
    // and no request waits for a sign-in any more. For good; the stores stay usable.
    void closeNetwork();
    bool isNetworkClosed() const { return cancellation_.isCancelled(); }

    NetContext net() {
        return {
            .cookies = cookies_.get(), .session = session_.get(), .cancellation = &cancellation_};
    }
    SiteContext site() {
        return {net(), &config_, settings_.get(), &userInfo_, secrets_.get(), recorder_.get()};
    }
    // `origin`: what starts the pushes made with it, for the activity log.
    RemoteContext remote(AlertSink* alerts, PushOrigin origin = PushOrigin::App) {
        return {net(),          server_.get(),   history_.get(), alerts,
                &uploadRoutes_, recorder_.get(), origin};
    }

private:
    SiteConfig config_;
    QString dataDirectory_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<SecretStore> secrets_;  // after settings_: it writes there
    std::unique_ptr<CookieStore> cookies_;
    std::unique_ptr<Session> session_;
    Cancellation cancellation_;
    UserInfo userInfo_;
    std::unique_ptr<ServerInfo> server_;
    std::unique_ptr<DownloadHistory> history_;
    std::unique_ptr<ActivityDatabase> activity_;
    std::unique_ptr<ActivityRecorder> recorder_;  // after activity_: it writes there
    UploadRoutes uploadRoutes_;
};

// Stores the running version under Pelloran_version when the stored one differs (an absent
// one does), with a flush. True when it wrote.
bool recordVersion(SettingsStore& settings, const QString& runningVersion);

}  // namespace pelloran
