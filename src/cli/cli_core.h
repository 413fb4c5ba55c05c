#pragma once
// Everything one run of the command line owns: the configuration read from the environment,
// the settings and cookie stores in the data folder, the session state, the member bar, the
// remote settings and history, the alert printer, and the silent re-login. Operations run on
// queues as in the app; the command waits for each delivery in a local event loop.

#include "net/cookie_store.h"
#include "net/operation_queue.h"
#include "net/session.h"
#include "remote/alert_sink.h"
#include "remote/download_history.h"
#include "remote/remote_context.h"
#include "remote/server_info.h"
#include "remote/upload_routes.h"
#include "site/session_renewer.h"
#include "site/sign_in.h"
#include "site/site_config.h"
#include "site/site_context.h"
#include "site/user_info.h"
#include "store/activity_database.h"
#include "store/keyring_secret_store.h"
#include "store/settings_store.h"

#include <QEventLoop>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <memory>
#include <optional>

namespace pelloran::cli {

// Prints each problem alert to stderr as two lines, title then message, and keeps the last
// alert. Information alerts are only kept: the command says what happened in its own words.
class StderrAlertSink : public AlertSink {
public:
    void showAlert(const Alert& alert) override;
    std::optional<Alert> lastAlert() const;

private:
    mutable QMutex mutex_;
    std::optional<Alert> last_;
};

class CliCore {
public:
    // Prints, once, what the stores found wrong with their files (a file set aside).
    CliCore();
    ~CliCore();  // finish() when the command didn't call it

    // Ends the run: waits for the queue, saves the cookies and prints what the stores have to
    // say. Returns `status`, or the failure status when the command succeeded but settings it
    // changed could not be saved.
    int finish(int status);
    // A store's message the command printed itself: not printed again as a notice.
    void markSaid(const QString& text) { said_.insert(text); }

    const SiteConfig& config() const { return config_; }
    QString dataDirectory() const { return dataDirectory_; }
    SettingsStore& settings() { return *settings_; }
    SecretStore& secrets() { return *secrets_; }
    // A command that stores a password calls this: when the keyring was wanted but could not
    // be used, where the password is kept (and why) is said on stderr, once in the run.
    void sayWherePasswordsAreKept();
    CookieStore& cookies() { return *cookies_; }
    Session& session() { return *session_; }
    UserInfo& userInfo() { return userInfo_; }
    ServerInfo& server() { return *server_; }
    DownloadHistory& history() { return *history_; }
    StderrAlertSink& alerts() { return alerts_; }
    // Made on first use: commands that never ask don't touch the file.
    ActivityDatabase& activity();

    NetContext net() { return {cookies_.get(), session_.get()}; }
    SiteContext site() { return {net(), &config_, settings_.get(), &userInfo_, secrets_.get()}; }
    RemoteContext remote() {
        return {net(), server_.get(), history_.get(), &alerts_, &uploadRoutes_};
    }

    // Site commands act as the signed-in main interface: a page that comes back as the login
    // page starts a silent re-login with the stored credentials. When that fails, waiting
    // requests end without a page and reloginFailure() tells why.
    void enterSignedInMode();
    std::optional<SignInVerdict> reloginFailure() const;

    // Runs one operation and waits (pumping events) for its delivery, which always comes.
    template <typename Op, typename... Args>
    auto run(OperationQueue& queue, Args&&... args) {
        using Result = std::decay_t<decltype(std::declval<Op&>().returnObject())>;
        std::optional<Result> got;
        QEventLoop loop;
        QObject context;
        queue.addOperation(
            std::make_unique<Op>(std::forward<Args>(args)..., &context, [&](Result value) {
                got = std::move(value);
                loop.quit();
            }));
        if (!got) {
            loop.exec();
        }
        return std::move(*got);
    }

    OperationQueue& serialQueue() { return serialQueue_; }

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
    std::unique_ptr<ActivityDatabase> activity_;
    StderrAlertSink alerts_;
    UploadRoutes uploadRoutes_;
    std::unique_ptr<SessionRenewer> renewer_;
    mutable QMutex failureMutex_;
    std::optional<SignInVerdict> reloginFailure_;
    OperationQueue serialQueue_{1};
    QSet<QString> said_;
    bool finished_ = false;

    void sayNotices();
};

}  // namespace pelloran::cli
