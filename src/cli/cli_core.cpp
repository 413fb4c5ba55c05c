#include "cli/cli_core.h"

#include "cli/cli_output.h"
#include "cli/commands.h"
#include "site/member_sample.h"
#include "store/keyring_secret_store.h"

#include <csignal>

namespace pelloran::cli {

void StderrAlertSink::showAlert(const Alert& alert) {
    // Operations may raise alerts from their threads; the lock keeps title and message together.
    QMutexLocker lock(&mutex_);
    if (alert.kind == AlertKind::Problem) {
        printError(alert.title, alert.message);
    }
    last_ = alert;
}

std::optional<Alert> StderrAlertSink::lastAlert() const {
    QMutexLocker lock(&mutex_);
    return last_;
}

// Passwords are opened when first needed: most commands need none and never load the keyring's
// library nor reach the session bus.
CliCore::CliCore() : services_(Services::fromEnvironment(SecretStoreOpening::WhenFirstNeeded)) {
    // A stopped command ends through finish() like any other: the cancelled exchanges deliver
    // nothing, and what the stores hold is written whole.
    stop_ = std::make_unique<StopSignals>([this](int) { services_->closeNetwork(); });
    sayNotices();
}

CliCore::~CliCore() {
    finish(kExitSuccess);
}

int CliCore::finish(int status) {
    if (finished_) {
        return status;
    }
    finished_ = true;
    serialQueue_.waitForDone();
    recorder().flush();  // the busy timeout bounds the wait for another program's write
    renewer_.reset();
    cookies().save();
    // A password handed to the keyring is confirmed before the run ends; one it refused is in
    // the settings file by then (and a notice says so).
    secrets().waitForWrites(QDeadlineTimer(KeyringSecretStore::kWriteLimit));
    // A change the member asked for that isn't on disk is not a success, whatever else worked.
    const bool settingsLost = settings().hasUnsavedChanges();
    sayNotices();
    if (const int signal = stop_->received()) {
        printError(
            QStringLiteral("Stopped by %1: the exchanges in flight were cancelled.")
                .arg(signal == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM")));
        return stoppedExitStatus(signal);
    }
    return status == kExitSuccess && settingsLost ? kExitFailure : status;
}

void CliCore::sayNotices() {
    const QList<StoreNotice> notices = services_->takeNotices();
    for (const StoreNotice& notice : notices) {
        if (!said_.contains(notice.text)) {
            said_.insert(notice.text);
            printError(notice.text);
        }
    }
}

void CliCore::sayWherePasswordsAreKept() {
    if (secrets().isFallback()) {
        const QString where = secrets().location();
        if (!said_.contains(where)) {
            said_.insert(where);
            printError(where);
        }
    }
}

void CliCore::enterSignedInMode(Reads reads) {
    // Every site page read records a member-bar sample, and a push its outcome: the bar's
    // pattern is compiled while the network engine still loads, and the database opened while
    // the first exchange is in flight, rather than either after it.
    if (reads == Reads::Pages && !barPrepared_) {
        prepareMemberBarReading();
        barPrepared_ = true;
    }
    recorder().openAhead();
    if (!renewer_) {
        // Nobody can type a password into a running command: one silent sign-in per command
        // at most. Requests that met the login page together could otherwise each start one
        // when the site keeps asking, one after the other.
        session().setReloginLimit(1);
        renewer_ = std::make_unique<SessionRenewer>(site(), [this](const SignInVerdict& verdict) {
            {
                // The first failure is the cause; requests refused after it only repeat it.
                QMutexLocker lock(&failureMutex_);
                if (!reloginFailure_) {
                    reloginFailure_ = verdict;
                }
            }
            // Nobody can type a password into a running command: every request waiting for
            // the session gives up, and later ones don't wait at all.
            session().setShowLogin(false);
            session().abandonWaits();
        });
        renewer_->install();
    }
    session().setSessionValidated(true);
    session().setShowLogin(true);
}

std::optional<SignInVerdict> CliCore::reloginFailure() const {
    QMutexLocker lock(&failureMutex_);
    return reloginFailure_;
}

}  // namespace pelloran::cli
