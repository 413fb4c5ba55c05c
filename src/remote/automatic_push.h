#pragma once
// The automatic push of new favorites: the run a systemd timer starts while nobody watches. It
// must never harm the member's account, on the site or on the client:
//  - one run at a time per data folder (run_lock.h); a second one does nothing;
//  - its requests to the site keep a polite pace (request_pacer.h): one at a time, starts at
//    least minInterval apart, and a request to slow down is obeyed;
//  - it signs in to the site once at most, and never answers a CAPTCHA: a lost session that
//    needs one ends the run;
//  - the first refused, banned or unanswered sign-in at the client stops every push to it: no
//    further torrent is downloaded for it, and the member's client never bans the address for
//    a run of ours;
//  - a torrent is sent once: not again while its name is in the download history, nor while
//    the record of what the automatic push sent (activity_database.h) holds its details page
//    or its info-hash, however long ago that was;
//  - a rule the member chose holds back what it should, neither sent nor recorded as sent,
//    for a later run to send once it passes: the ratio guard (ratio_guard.h), judged on the
//    freshest member bar, holds back everything new while in force; the caps
//    (automatic_push_caps.h) what is too big, too poorly seeded or over a day's share.
// Each torrent goes with the push options of the first filter that accepted it, over the
// client's defaults (filter_routes.h).
// What happened comes back as one AutomaticPushReport.
//
// Thread contract: run() is called on the thread of the QCoreApplication and blocks it while
// pumping its events (the page scan delivers there). Pushes run on a thread of their own; the
// progress callback is called there.

#include "net/deadline.h"
#include "remote/automatic_push_caps.h"
#include "remote/automatic_push_report.h"
#include "remote/filter_routes.h"
#include "remote/remote_context.h"
#include "site/filter.h"
#include "site/sign_in.h"
#include "site/site_context.h"
#include "site/torrent.h"
#include "store/activity_log.h"
#include "store/ratio_guard.h"

#include <QString>
#include <chrono>
#include <functional>
#include <optional>

namespace pelloran {

class ActivityDatabase;
class RequestPacer;
class SettingsStore;

// The pace towards the site when the member chose none: about what private trackers expect.
inline constexpr std::chrono::seconds kDefaultMinInterval{2};
inline constexpr int kMaxMinIntervalSeconds = 3600;

// The stored pace (whole seconds, 0 for none); the default when absent or not such a number.
std::chrono::milliseconds storedMinInterval(const SettingsStore& settings);

class AutomaticPush {
public:
    struct Context {
        SiteContext site;
        RemoteContext remote;
        ActivityDatabase* activity = nullptr;
        QString dataDirectory;  // where the run lock lives
        // Why the silent re-login failed so far in this run, if it did.
        std::function<std::optional<SignInVerdict>()> signInFailure;
    };
    struct Options {
        int firstPage = 1;
        int pages = 5;
        // Between the starts of two requests to the site; 0 turns the pace off (ten pages at
        // once, as a member's own scan).
        std::chrono::milliseconds minInterval = kDefaultMinInterval;
    };

    // What became of one torrent, told as it happens.
    enum class Fate { Sent, AlreadyOnServer, NotSent, HeldBack, Refused, RefusedBefore };
    using Progress = std::function<void(const QString& name, Fate fate)>;

    AutomaticPush(Context context, Options options);

    void setProgress(Progress progress) { progress_ = std::move(progress); }

    // The whole run: lock, scan, pushes. `filters` must not be empty.
    AutomaticPushReport run(const QList<Filter>& filters);

    // The per-torrent decision, before anything is downloaded for it.
    enum class Decision {
        Push,
        AlreadySent,    // in the download history, or its details page in the sent record
        Stopped,        // the client or the site stopped taking anything in this run
        HeldBack,       // a rule the member chose holds it back (which: decide()'s `reason`)
        RefusedBefore,  // the client refused it in an earlier run: left to the member
    };

private:
    struct Scan;
    Scan scan(const QList<Filter>& filters, RequestPacer* pacer);
    void pushAll(const TorrentList& rows, AutomaticPushReport& report, RequestPacer* pacer);
    Decision decide(const Torrent& row, std::optional<HoldReason>* reason) const;
    std::optional<MemberSample> latestSample() const;
    // Whether the client can take torrents now, asked once per run before its first download;
    // a client that can't sets stopped_.
    bool clientTakesTorrents(const NetContext& net, AutomaticPushReport& report);
    // Downloads and pushes one torrent; a failure every later push would meet sets stopped_.
    void pushOne(const Torrent& row, const NetContext& net, AutomaticPushReport& report);
    void tell(const QString& name, Fate fate) const;

    Context context_;
    Options options_;
    Progress progress_;
    std::optional<AutomaticPushProblem> stopped_;  // on the push thread: why nothing more goes
    std::optional<RatioGuardHold> ratioHold_;      // judged once the pages were read
    QList<Filter> filters_;                        // of this run, in stored order
    QList<FilterRoute> routes_;                    // read at the run's start
    AutomaticPushCaps caps_;                       // read at the run's start
    // What was sent in the day before the run (absent when the record can't be read, or no
    // cap counts the day); this run's sends are added as they happen, as the record is
    // written behind the pushes.
    std::optional<SentWindow> dayBefore_;
    SentWindow sentThisRun_;    // on the push thread
    bool clientAsked_ = false;  // on the push thread
};

}  // namespace pelloran
