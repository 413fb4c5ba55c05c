#pragma once
// Everything one run of the command line owns: the services every front end has (configuration
// from the environment, stores, session, member bar, remote settings and history), the alert
// printer, and the silent re-login. Operations run on queues as in the app; the command waits
// for each delivery in a local event loop.

#include "cli/stop_signals.h"
#include "net/operation_queue.h"
#include "remote/alert_sink.h"
#include "remote/services.h"
#include "site/session_renewer.h"
#include "site/sign_in.h"

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
    // changed could not be saved, or the stopped status (stop_signals.h) when a SIGTERM or
    // SIGINT stopped it.
    int finish(int status);
    // Whether a SIGTERM or SIGINT stopped the command: every exchange was cancelled then.
    bool stopped() const { return stop_ && stop_->received() != 0; }
    // A store's message the command printed itself: not printed again as a notice.
    void markSaid(const QString& text) { said_.insert(text); }

    const SiteConfig& config() const { return services_->config(); }
    QString dataDirectory() const { return services_->dataDirectory(); }
    SettingsStore& settings() { return services_->settings(); }
    SecretStore& secrets() { return services_->secrets(); }
    // A command that stores a password calls this: when the keyring was wanted but could not
    // be used, where the password is kept (and why) is said on stderr, once in the run.
    void sayWherePasswordsAreKept();
    CookieStore& cookies() { return services_->cookies(); }
    Session& session() { return services_->session(); }
    UserInfo& userInfo() { return services_->userInfo(); }
    ServerInfo& server() { return services_->server(); }
    DownloadHistory& history() { return services_->history(); }
    StderrAlertSink& alerts() { return alerts_; }
    // Nothing touches the file until something is read or recorded: commands that never do
    // don't pay for it. What the command records is written on the recorder's thread and
    // waited for by finish().
    ActivityDatabase& activity() { return services_->activity(); }
    ActivityRecorder& recorder() { return services_->recorder(); }

    NetContext net() { return services_->net(); }
    SiteContext site() { return services_->site(); }
    RemoteContext remote() { return services_->remote(&alerts_, PushOrigin::CommandLine); }

    // Site commands act as the signed-in main interface: a page that comes back as the login
    // page starts a silent re-login with the stored credentials. When that fails, waiting
    // requests end without a page and reloginFailure() tells why. A command that reads site
    // pages (not only torrent files) says so, and the reading of their member bar is prepared.
    enum class Reads { Pages, TorrentFilesOnly };
    void enterSignedInMode(Reads reads = Reads::Pages);
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
    std::unique_ptr<Services> services_;
    std::unique_ptr<StopSignals> stop_;  // after services_: it closes their network
    StderrAlertSink alerts_;
    std::unique_ptr<SessionRenewer> renewer_;
    mutable QMutex failureMutex_;
    std::optional<SignInVerdict> reloginFailure_;
    OperationQueue serialQueue_{1};
    QSet<QString> said_;
    bool finished_ = false;
    bool barPrepared_ = false;

    void sayNotices();
};

}  // namespace pelloran::cli
