#include "remote/automatic_push.h"

#include "net/cancellation.h"
#include "net/request_pacer.h"
#include "remote/alert_sink.h"
#include "remote/client_probe.h"
#include "remote/client_setup.h"
#include "remote/download_history.h"
#include "remote/fetch_page_download.h"
#include "remote/info_hash.h"
#include "remote/push_log.h"
#include "remote/remote_alerts.h"
#include "remote/server_info.h"
#include "remote/torrent_file_fetch.h"
#include "remote/torrent_push.h"
#include "site/favorites_scan.h"
#include "site/member_sample.h"
#include "site/site_config.h"
#include "site/site_urls.h"
#include "store/activity_database.h"
#include "store/activity_log.h"
#include "store/activity_recorder.h"
#include "store/run_lock.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"

#include <QEventLoop>
#include <QSet>
#include <QThread>

namespace pelloran {

namespace {

const QString kRunLockName = QStringLiteral("automatic-push.lock");

AutomaticPushProblem problemOf(PushOutcome outcome) {
    switch (outcome) {
        case PushOutcome::SignInRefused:
            return AutomaticPushProblem::ClientRefusedPassword;
        case PushOutcome::Banned:
            return AutomaticPushProblem::ClientBanned;
        default:
            return AutomaticPushProblem::ClientUnreachable;
    }
}

void noteProblem(AutomaticPushReport& report, AutomaticPushProblem problem) {
    if (report.problem == AutomaticPushProblem::None) {
        report.problem = problem;
    }
}

}  // namespace

std::chrono::milliseconds storedMinInterval(const SettingsStore& settings) {
    bool ok = false;
    const int seconds = settings.string(keys::pushMinInterval).value_or(QString()).toInt(&ok);
    if (!ok || seconds < 0 || seconds > kMaxMinIntervalSeconds) {
        return kDefaultMinInterval;
    }
    return std::chrono::seconds(seconds);
}

struct AutomaticPush::Scan {
    TorrentList accepted;  // in page order
    QList<FailedPage> failedPages;
    bool anyArrived = false;  // a page came, understood or not
    bool sessionStopped = false;
    std::optional<SlowDown> slowDown;
};

AutomaticPush::AutomaticPush(Context context, Options options)
    : context_(std::move(context)), options_(options) {}

void AutomaticPush::tell(const QString& name, Fate fate) const {
    if (progress_) {
        progress_(name, fate);
    }
}

AutomaticPushReport AutomaticPush::run(const QList<Filter>& filters) {
    AutomaticPushReport report;
    const ServerInfo::Values settings = context_.remote.server->reloaded();
    report.client = settings.client.value_or(QString());
    const RunLock::Attempt lock = RunLock::tryTake(context_.dataDirectory, kRunLockName);
    if (lock.status != RunLock::Status::Taken) {
        report.problem = lock.status == RunLock::Status::HeldElsewhere
                             ? AutomaticPushProblem::AnotherRunning
                             : AutomaticPushProblem::RunLockFailed;
        report.problemDetail = lock.problem;
        return report;
    }
    if (!clientFromSettings(settings)) {
        report.problem = AutomaticPushProblem::NoClient;  // the site is not asked for nothing
        return report;
    }
    // Nobody can type a CAPTCHA's words or a new password: one silent sign-in at most.
    if (context_.site.net.session) {
        context_.site.net.session->setReloginLimit(1);
    }
    std::optional<RequestPacer> pacer;
    if (options_.minInterval.count() > 0) {
        pacer.emplace(options_.minInterval,
                      QStringList{context_.site.config->siteHost, context_.site.config->forumHost});
    }
    RequestPacer* pace = pacer ? &*pacer : nullptr;

    const Scan found = scan(filters, pace);
    if (isCancelled(context_.site.net.cancellation)) {
        return report;  // stopped: what the scan found goes next run
    }
    report.failedPages = found.failedPages;
    const std::optional<SignInVerdict> signIn =
        context_.signInFailure ? context_.signInFailure() : std::nullopt;
    if (found.sessionStopped || signIn) {
        report.problem = signIn && signIn->captchaWanted ? AutomaticPushProblem::SiteWantsCaptcha
                                                         : AutomaticPushProblem::SiteSignInFailed;
        report.problemDetail = signIn ? signIn->message : QString(kSiteKeepsAskingMessage);
        return report;
    }
    if (found.slowDown) {
        // Nothing more goes to the site in this run; what was found waits for the next one.
        report.problem = AutomaticPushProblem::SiteSlowDown;
        report.slowDown = found.slowDown;
        stopped_ = AutomaticPushProblem::SiteSlowDown;
    } else if (!found.anyArrived) {
        report.problem = AutomaticPushProblem::SiteUnreachable;
        return report;
    }
    ratioHold_ = ratioGuardHold(warnBelowRatio(*context_.site.settings), latestSample());
    report.ratioGuard = ratioHold_;
    filters_ = filters;
    routes_ = loadFilterRoutes(*context_.site.settings);
    caps_ = storedCaps(*context_.site.settings);
    report.caps = caps_;
    if (caps_.countsTheDay() && context_.activity) {
        dayBefore_ =
            ActivityLog(*context_.activity)
                .sentSince(PushOrigin::Automatic, QDateTime::currentDateTimeUtc() - kCapWindow);
    }
    pushAll(found.accepted, report, pace);
    return report;
}

AutomaticPush::Scan AutomaticPush::scan(const QList<Filter>& filters, RequestPacer* pacer) {
    Scan result;
    SiteContext site = context_.site;
    site.net = site.net.withPacer(pacer);
    QEventLoop loop;
    FavoritesScan* running = nullptr;
    FavoritesScan favorites(
        site,
        [&](int page, const ListingOutcome& outcome) {
            result.anyArrived = result.anyArrived || outcome.arrived();
            if (outcome.arrived() && outcome.status != ListingStatus::NotUnderstood) {
                result.accepted += outcome.torrents;  // filtered on the fetch thread
                return;
            }
            // A page that failed on its own is named, and the others still count.
            result.failedPages.append({page, outcome.url, outcome.status});
            if (outcome.sessionStop != SessionStop::None || outcome.slowDown) {
                // The pages after it would only fail the same way.
                result.sessionStopped =
                    result.sessionStopped || outcome.sessionStop != SessionStop::None;
                if (outcome.slowDown && !result.slowDown) {
                    result.slowDown = outcome.slowDown;
                }
                running->stop();
            }
        },
        [&] { loop.quit(); });
    running = &favorites;
    favorites.setFilters(filters);
    if (favorites.start(options_.firstPage, options_.pages)) {
        loop.exec();
    }
    return result;
}

void AutomaticPush::pushAll(const TorrentList& rows, AutomaticPushReport& report,
                            RequestPacer* pacer) {
    // The pushes block on the network: off this thread, whose events keep flowing meanwhile.
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        QSet<QString> seenNames;
        QSet<QString> seenPages;
        for (const TorrentPtr& row : rows) {
            if (isCancelled(context_.remote.net.cancellation)) {
                break;  // stopped: the rest goes next run
            }
            const QString name = row->name().value_or(QString());
            const QString page = row->detailsUrl().value_or(QString());
            if (seenNames.contains(name) || (!page.isEmpty() && seenPages.contains(page))) {
                continue;  // a torrent that stands on two pages goes once
            }
            seenNames.insert(name);
            seenPages.insert(page);
            std::optional<HoldReason> reason;
            switch (decide(*row, &reason)) {
                case Decision::AlreadySent:
                    break;
                case Decision::HeldBack:
                    report.heldBack.append({name, *reason});
                    tell(name, Fate::HeldBack);
                    break;
                case Decision::RefusedBefore:
                    report.refusedBefore.append(name);
                    tell(name, Fate::RefusedBefore);
                    break;
                case Decision::Stopped:
                    report.notSent.append(name);
                    tell(name, Fate::NotSent);
                    break;
                case Decision::Push:
                    if (!clientTakesTorrents(
                            context_.remote.net.withPacer(pacer).withDeadline(startAction()),
                            report)) {
                        report.notSent.append(name);
                        tell(name, Fate::NotSent);
                        break;
                    }
                    // One deadline per torrent: its download, handshake and upload.
                    pushOne(*row, context_.remote.net.withPacer(pacer).withDeadline(startAction()),
                            report);
                    break;
            }
        }
    }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    worker->wait();
}

AutomaticPush::Decision AutomaticPush::decide(const Torrent& row,
                                              std::optional<HoldReason>* reason) const {
    const QString name = row.name().value_or(QString());
    // The app or a member's push may have sent it meanwhile.
    context_.site.settings->refresh();
    if (context_.remote.history->entries().contains(name)) {
        return Decision::AlreadySent;
    }
    const QString page = row.detailsUrl().value_or(QString());
    if (context_.activity && !page.isEmpty() &&
        context_.activity->wasSentFrom(page).value_or(false)) {
        return Decision::AlreadySent;
    }
    // Sending it again would only be downloaded from the site and refused again.
    if (context_.activity && !page.isEmpty() &&
        context_.activity->wasRefusedFrom(page).value_or(false)) {
        return Decision::RefusedBefore;
    }
    // The member's rules before the run's troubles: what they hold back is no failure.
    if (ratioHold_) {
        *reason = HoldReason::RatioGuard;
        return Decision::HeldBack;
    }
    if (caps_.any()) {
        std::optional<SentWindow> lastDay;
        if (dayBefore_) {
            lastDay = SentWindow{dayBefore_->count + sentThisRun_.count,
                                 dayBefore_->bytes + sentThisRun_.bytes};
        }
        if (const std::optional<PushCap> cap =
                capHoldingBack(caps_, bytesFromSizeText(row.size().value_or(QString())),
                               parseCount(row.up().value_or(QString())), lastDay)) {
            *reason = holdReasonOf(*cap);
            return Decision::HeldBack;
        }
    }
    return stopped_ ? Decision::Stopped : Decision::Push;
}

std::optional<MemberSample> AutomaticPush::latestSample() const {
    // The pages this run read carry the freshest bar; before any, the database's newest.
    if (context_.site.activity) {
        if (std::optional<MemberSample> fresh = context_.site.activity->latestSample()) {
            return fresh;
        }
    }
    return context_.activity ? ActivityLog(*context_.activity).latestSample() : std::nullopt;
}

bool AutomaticPush::clientTakesTorrents(const NetContext& net, AutomaticPushReport& report) {
    // Every download is a grab on the site, so none is made for a client that can't take it;
    // and asking once per run keeps a refused password from being tried again and again.
    if (clientAsked_) {
        return !stopped_;
    }
    clientAsked_ = true;
    const std::optional<PushOutcome> stopper =
        probeClient(context_.remote.server->reloaded(), net).stopper();
    if (!stopper) {
        return true;
    }
    if (isCancelled(net.cancellation)) {
        return false;  // stopped while asking: no fault of the client's
    }
    if (const std::optional<Alert> said = remote_alerts::forPushOutcome(*stopper);
        said && context_.remote.alerts) {
        context_.remote.alerts->showAlert(*said);
    }
    stopped_ = problemOf(*stopper);
    noteProblem(report, *stopped_);
    return false;
}

void AutomaticPush::pushOne(const Torrent& row, const NetContext& net,
                            AutomaticPushReport& report) {
    const QString name = row.name().value_or(QString());
    const QString page = row.detailsUrl().value_or(QString());
    const auto notSent = [&] {
        report.notSent.append(name);
        tell(name, Fate::NotSent);
    };
    const QString url =
        torrentFileUrl(*context_.site.config, row.downloadUrl().value_or(QString()));
    const TorrentFileFetch fetched = fetchTorrentFile(url, net);
    AlertSink* alerts = context_.remote.alerts;
    const ServerInfo::Values settings = context_.remote.server->reloaded();
    const PushOptions options = routeFor(name, filters_, routes_).over(settings.pushDefaults);
    const std::optional<qint64> size = bytesFromSizeText(row.size().value_or(QString()));
    const PushSubject subject{name, page, size, pushOptionsText(options)};
    const QString client = settings.client.value_or(QString());
    if (!fetched.file && isCancelled(net.cancellation)) {
        notSent();  // stopped before it came: neither the site's fault nor the client's
        return;
    }
    if (!fetched.file) {
        logPush(context_.remote, subject, client, {}, PushResult::Failed,
                (fetched.slowDown ? remote_alerts::siteSlowDown(*fetched.slowDown)
                                  : remote_alerts::websiteProblem())
                    .title);
        if (fetched.slowDown) {
            report.slowDown = fetched.slowDown;
            noteProblem(report, AutomaticPushProblem::SiteSlowDown);
            stopped_ = AutomaticPushProblem::SiteSlowDown;
        } else if (fetched.sessionStop != SessionStop::None) {
            const std::optional<SignInVerdict> signIn =
                context_.signInFailure ? context_.signInFailure() : std::nullopt;
            stopped_ = signIn && signIn->captchaWanted ? AutomaticPushProblem::SiteWantsCaptcha
                                                       : AutomaticPushProblem::SiteSignInFailed;
            noteProblem(report, *stopped_);
            report.problemDetail = signIn ? signIn->message : QString(kSiteKeepsAskingMessage);
        } else if (alerts) {
            alerts->showAlert(remote_alerts::websiteProblem());  // this torrent only
        }
        notSent();
        return;
    }
    const std::optional<InfoHashes> hashes = torrentInfoHashes(*fetched.file);
    const QByteArray infoHash = hashes ? hashes->v1 : QByteArray();
    ActivityDatabase* activity = context_.activity;
    const auto record = [&] {
        if (activity &&
            !activity->recordSent({infoHash, page, name, QDateTime::currentDateTimeUtc()})) {
            report.notRecorded = QStringLiteral("the activity database %1 can't be written")
                                     .arg(activity->filePath());
        }
    };
    if (activity && !infoHash.isEmpty() && activity->wasSent(infoHash).value_or(false)) {
        record();  // the same torrent on a new page: known by that page from now on
        return;
    }
    const PushReply reply =
        pushTorrentFile(settings, FetchPageDownload::fileNameFromUrl(url), *fetched.file, net,
                        context_.remote.uploadRoutes, options);
    const PushOutcome outcome = reply.outcome;
    if (!isDone(outcome) && isCancelled(net.cancellation)) {
        notSent();  // stopped before the client answered: tried again next run
        return;
    }
    const std::optional<Alert> said = remote_alerts::forPushOutcome(reply);
    logPush(context_.remote, subject, client, *fetched.file, pushResultOf(outcome),
            said ? said->title : QString());
    if (said && alerts) {
        alerts->showAlert(*said);
    }
    if (isDone(outcome)) {
        context_.remote.history->appendIfMissing(name);
        record();
        if (outcome == PushOutcome::Sent) {
            sentThisRun_.count += 1;
            sentThisRun_.bytes += size.value_or(0);
        }
        (outcome == PushOutcome::Sent ? report.sent : report.alreadyOnServer).append(name);
        tell(name, outcome == PushOutcome::Sent ? Fate::Sent : Fate::AlreadyOnServer);
        return;
    }
    if (outcome == PushOutcome::Refused) {
        // The client answered and did not take it. The next torrent would cost the site one
        // more download to meet what may be the same refusal: the run stops here. A refusal of
        // the torrent itself is kept, so no later run downloads it again; one of the member's
        // options (its words say which) is mended in the settings, and the torrent goes then.
        const bool remembered = reply.reason.isEmpty() && !page.isEmpty() && activity;
        if (remembered) {
            if (!activity->recordRefused(page, name, QDateTime::currentDateTimeUtc())) {
                report.notRecorded = QStringLiteral("the activity database %1 can't be written")
                                         .arg(activity->filePath());
            }
            tell(name, Fate::Refused);
        } else {
            notSent();
        }
        report.refused = RefusedTorrent{name, reply.reason, remembered};
        stopped_ = AutomaticPushProblem::ClientRefusedTorrent;
        noteProblem(report, *stopped_);
        return;
    }
    notSent();
    if (stopsTheClient(outcome)) {
        stopped_ = problemOf(outcome);
        noteProblem(report, *stopped_);
    }
}

}  // namespace pelloran
