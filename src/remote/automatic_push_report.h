#pragma once
// What one automatic push run did, and the ways it is told: one summary line for the journal,
// one JSON object, the lines that name each favorites page that failed, and the one desktop
// notification (none when nothing new was found and nothing failed). Pure.

#include "net/slow_down.h"
#include "remote/automatic_push_caps.h"
#include "site/listing_outcome.h"
#include "store/ratio_guard.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace pelloran {

// What stopped a run before it was through, the first such thing it met.
enum class AutomaticPushProblem {
    None,
    AnotherRunning,         // another run holds the folder: this one did nothing
    SiteWantsCaptcha,       // the lost session can't be renewed without a member (exit 3)
    SiteSignInFailed,       // the stored credentials no longer sign in
    SiteUnreachable,        // no favorites page came at all
    SiteSlowDown,           // the site asked to slow down for longer than the run waits
    ClientRefusedPassword,  // the client refused the credentials once: not asked again
    ClientBanned,           // the client refuses this address after too many wrong passwords
    ClientUnreachable,      // the client (or Deluge's daemon) did not answer
    ClientRefusedTorrent,   // the client answered a push without taking the torrent
    NoClient,               // no client is chosen in the remote settings
    RunLockFailed,          // the run lock could not be taken (not held by another run)
};

struct FailedPage {
    int page = 0;
    QString url;
    ListingStatus status = ListingStatus::NoPage;  // NoPage or NotUnderstood
};

// Why a new torrent was held back: a rule the member chose, not a failure. It is neither sent
// nor recorded as sent, and a later run sends it once it passes (the ratio rose, a cap changed,
// a day went by). The ratio guard comes first: while it is in force it holds back everything.
enum class HoldReason { RatioGuard, MaxSize, MinSeeders, MaxPerDay, MaxBytesPerDay };

HoldReason holdReasonOf(PushCap cap);
// "ratioGuard", "maxSize", ... (the JSON's words).
QString holdReasonKey(HoldReason reason);

struct HeldBack {
    QString name;
    HoldReason reason = HoldReason::RatioGuard;

    friend bool operator==(const HeldBack&, const HeldBack&) = default;
};

struct RefusedTorrent {
    QString name;
    QString reason;  // the client's words; "" when it gave none
    // Whether later runs leave it alone: a refusal of the torrent itself, not of the options
    // the member set (those are mended in the settings, and the torrent goes then).
    bool remembered = false;

    friend bool operator==(const RefusedTorrent&, const RefusedTorrent&) = default;
};

struct AutomaticPushReport {
    QString client;               // the client's stored name; "" when none is chosen
    QStringList sent;             // in the order pushed
    QStringList alreadyOnServer;  // the client had them already
    QStringList notSent;          // tried again next run
    // The torrent the client refused in this run (the run stopped there), with the client's
    // reason when it gave one; and what earlier runs saw refused, which is not sent again.
    std::optional<RefusedTorrent> refused;
    QStringList refusedBefore;
    QList<FailedPage> failedPages;
    AutomaticPushProblem problem = AutomaticPushProblem::None;
    QString problemDetail;             // the site's sign-in message, the lock's problem...
    std::optional<SlowDown> slowDown;  // with SiteSlowDown
    QString notRecorded;               // why what was sent could not be recorded; "" when it was
    // The ratio guard was in force: every new torrent was held back by it.
    std::optional<RatioGuardHold> ratioGuard;
    AutomaticPushCaps caps;    // the caps of the run
    QList<HeldBack> heldBack;  // in page order

    // Whether the notification tells of the guard: once a day (the front end decides).
    bool tellRatioGuard = true;

    // 0 when everything found went and every page came; 3 when the site wants a CAPTCHA; 1 for
    // any other failure. Another run holding the folder is not a failure.
    int exitStatus() const;
    bool anythingToTell() const;  // something new was found, or something failed

    // "Summary: sent 2 to qBittorrent, already on server 0, not sent 1, pages failed 1", and
    // while the ratio guard is in force or caps are set ", held back 3 (ratio 0.71 below 0.80)"
    // or ", held back 3 (largest size 20 GB: 2, at most 5 torrents a day: 1)".
    QString summaryLine() const;
    // The rule in the member's words: "ratio 0.71 below 0.80", "largest size 20 GB".
    QString holdReasonText(HoldReason reason) const;
    // One line per torrent held back: "Held back (largest size 20 GB): NAME".
    QStringList heldBackLines() const;
    // One line per torrent not sent because an earlier run saw the client refuse it.
    QStringList refusedBeforeLines() const;
    QJsonObject json() const;
    // One sentence on what stopped the run; "" without a problem.
    QString problemSentence() const;
    // One line per failed page, for stderr.
    QStringList failedPageLines() const;

    struct Notification {
        QString title;
        QString body;
        QString line() const { return title + QStringLiteral(": ") + body; }
    };
    // Absent when there is nothing to tell.
    std::optional<Notification> notification() const;
};

}  // namespace pelloran
