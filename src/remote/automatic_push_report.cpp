#include "remote/automatic_push_report.h"

#include <QJsonArray>
#include <algorithm>

namespace pelloran {

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitCaptcha = 3;
// Names a notification lists before "and N more".
constexpr qsizetype kNamesShown = 3;

QString problemKey(AutomaticPushProblem problem) {
    switch (problem) {
        case AutomaticPushProblem::None:
            return QString();
        case AutomaticPushProblem::AnotherRunning:
            return QStringLiteral("anotherRunning");
        case AutomaticPushProblem::SiteWantsCaptcha:
            return QStringLiteral("siteWantsCaptcha");
        case AutomaticPushProblem::SiteSignInFailed:
            return QStringLiteral("siteSignInFailed");
        case AutomaticPushProblem::SiteUnreachable:
            return QStringLiteral("siteUnreachable");
        case AutomaticPushProblem::SiteSlowDown:
            return QStringLiteral("siteSlowDown");
        case AutomaticPushProblem::ClientRefusedPassword:
            return QStringLiteral("clientRefusedPassword");
        case AutomaticPushProblem::ClientBanned:
            return QStringLiteral("clientBanned");
        case AutomaticPushProblem::ClientUnreachable:
            return QStringLiteral("clientUnreachable");
        case AutomaticPushProblem::ClientRefusedTorrent:
            return QStringLiteral("clientRefusedTorrent");
        case AutomaticPushProblem::NoClient:
            return QStringLiteral("noClient");
        case AutomaticPushProblem::RunLockFailed:
            return QStringLiteral("runLockFailed");
    }
    return QString();
}

QString torrents(qsizetype n) {
    return QString::number(n) + (n == 1 ? QStringLiteral(" torrent") : QStringLiteral(" torrents"));
}

QString someNames(const QStringList& names) {
    QString text = names.mid(0, kNamesShown).join(QStringLiteral(", "));
    if (names.size() > kNamesShown) {
        text += QStringLiteral(" and %1 more").arg(names.size() - kNamesShown);
    }
    return text;
}

QString pageNumbers(const QList<FailedPage>& pages) {
    QStringList numbers;
    for (const FailedPage& p : pages) {
        numbers.append(QString::number(p.page));
    }
    return numbers.join(QStringLiteral(", "));
}

QJsonArray jsonNames(const QStringList& names) {
    return QJsonArray::fromStringList(names);
}

constexpr HoldReason kHoldReasons[] = {HoldReason::RatioGuard, HoldReason::MaxSize,
                                       HoldReason::MinSeeders, HoldReason::MaxPerDay,
                                       HoldReason::MaxBytesPerDay};

}  // namespace

HoldReason holdReasonOf(PushCap cap) {
    switch (cap) {
        case PushCap::MaxSize:
            return HoldReason::MaxSize;
        case PushCap::MinSeeders:
            return HoldReason::MinSeeders;
        case PushCap::MaxPerDay:
            return HoldReason::MaxPerDay;
        case PushCap::MaxBytesPerDay:
            return HoldReason::MaxBytesPerDay;
    }
    return HoldReason::MaxSize;
}

namespace {

std::optional<PushCap> capOf(HoldReason reason) {
    switch (reason) {
        case HoldReason::RatioGuard:
            return std::nullopt;
        case HoldReason::MaxSize:
            return PushCap::MaxSize;
        case HoldReason::MinSeeders:
            return PushCap::MinSeeders;
        case HoldReason::MaxPerDay:
            return PushCap::MaxPerDay;
        case HoldReason::MaxBytesPerDay:
            return PushCap::MaxBytesPerDay;
    }
    return std::nullopt;
}

// "ratio 0.71 below 0.80", or with several rules each with its count: "largest size 20 GB: 2,
// at most 5 torrents a day: 1". "" when nothing was held back and the guard is not in force.
QString holdReasons(const AutomaticPushReport& report) {
    QList<std::pair<HoldReason, qsizetype>> counts;
    for (const HoldReason reason : kHoldReasons) {
        const qsizetype n =
            std::count_if(report.heldBack.begin(), report.heldBack.end(),
                          [reason](const HeldBack& h) { return h.reason == reason; });
        if (n > 0 || (reason == HoldReason::RatioGuard && report.ratioGuard)) {
            counts.append({reason, n});
        }
    }
    QStringList parts;
    for (const auto& [reason, n] : counts) {
        parts.append(counts.size() == 1
                         ? report.holdReasonText(reason)
                         : QStringLiteral("%1: %2").arg(report.holdReasonText(reason)).arg(n));
    }
    return parts.join(QStringLiteral(", "));
}

}  // namespace

QString holdReasonKey(HoldReason reason) {
    const std::optional<PushCap> cap = capOf(reason);
    return cap ? capKey(*cap) : QStringLiteral("ratioGuard");
}

QString AutomaticPushReport::holdReasonText(HoldReason reason) const {
    if (const std::optional<PushCap> cap = capOf(reason)) {
        return capLimitText(caps, *cap);
    }
    return ratioGuard ? QStringLiteral("ratio %1 below %2")
                            .arg(ratioText(ratioGuard->ratio), ratioText(ratioGuard->warnBelow))
                      : QStringLiteral("ratio guard");
}

QStringList AutomaticPushReport::refusedBeforeLines() const {
    QStringList lines;
    for (const QString& name : refusedBefore) {
        lines.append(QStringLiteral("Not sent again (refused by the client before): ") + name);
    }
    return lines;
}

QStringList AutomaticPushReport::heldBackLines() const {
    QStringList lines;
    for (const HeldBack& held : heldBack) {
        lines.append(
            QStringLiteral("Held back (%1): %2").arg(holdReasonText(held.reason), held.name));
    }
    return lines;
}

int AutomaticPushReport::exitStatus() const {
    if (problem == AutomaticPushProblem::AnotherRunning) {
        return 0;
    }
    if (problem == AutomaticPushProblem::SiteWantsCaptcha) {
        return kExitCaptcha;
    }
    const bool failed = problem != AutomaticPushProblem::None || !notSent.isEmpty() ||
                        !failedPages.isEmpty() || !notRecorded.isEmpty();
    return failed ? kExitFailure : 0;
}

bool AutomaticPushReport::anythingToTell() const {
    return problem != AutomaticPushProblem::AnotherRunning &&
           (exitStatus() != 0 || !sent.isEmpty() || !alreadyOnServer.isEmpty() ||
            (ratioGuard && tellRatioGuard));
}

QString AutomaticPushReport::summaryLine() const {
    const QString to = client.isEmpty() ? QString() : QStringLiteral(" to ") + client;
    QString line =
        QStringLiteral("Summary: sent %1%2, already on server %3, not sent %4, pages failed %5")
            .arg(sent.size())
            .arg(to)
            .arg(alreadyOnServer.size())
            .arg(notSent.size())
            .arg(failedPages.size());
    // Without a rule that holds back, the line stays as journal readers know it.
    if (ratioGuard || caps.any() || !heldBack.isEmpty()) {
        line += QStringLiteral(", held back %1").arg(heldBack.size());
        if (const QString reasons = holdReasons(*this); !reasons.isEmpty()) {
            line += QStringLiteral(" (%1)").arg(reasons);
        }
    }
    if (!refusedBefore.isEmpty()) {
        line += QStringLiteral(", refused before %1").arg(refusedBefore.size());
    }
    return line;
}

QJsonObject AutomaticPushReport::json() const {
    QJsonArray pages;
    for (const FailedPage& p : failedPages) {
        pages.append(QJsonObject{
            {QStringLiteral("page"), p.page},
            {QStringLiteral("url"), p.url},
            {QStringLiteral("notUnderstood"), p.status == ListingStatus::NotUnderstood},
        });
    }
    QJsonObject object{
        {QStringLiteral("client"), client},
        {QStringLiteral("sent"), jsonNames(sent)},
        {QStringLiteral("alreadyOnServer"), jsonNames(alreadyOnServer)},
        {QStringLiteral("notSent"), jsonNames(notSent)},
        {QStringLiteral("pagesFailed"), pages},
        {QStringLiteral("exitStatus"), exitStatus()},
    };
    object.insert(QStringLiteral("problem"), problem == AutomaticPushProblem::None
                                                 ? QJsonValue(QJsonValue::Null)
                                                 : QJsonValue(problemKey(problem)));
    object.insert(QStringLiteral("message"), problemSentence().isEmpty()
                                                 ? QJsonValue(QJsonValue::Null)
                                                 : QJsonValue(problemSentence()));
    if (!notRecorded.isEmpty()) {
        object.insert(QStringLiteral("notRecorded"), notRecorded);
    }
    QJsonArray held;
    for (const HeldBack& h : heldBack) {
        held.append(QJsonObject{{QStringLiteral("name"), h.name},
                                {QStringLiteral("reason"), holdReasonKey(h.reason)}});
    }
    object.insert(QStringLiteral("heldBack"), held);
    object.insert(QStringLiteral("refused"),
                  refused ? QJsonValue(QJsonObject{{QStringLiteral("name"), refused->name},
                                                   {QStringLiteral("reason"), refused->reason}})
                          : QJsonValue(QJsonValue::Null));
    object.insert(QStringLiteral("refusedBefore"), jsonNames(refusedBefore));
    object.insert(QStringLiteral("ratioGuard"),
                  ratioGuard ? QJsonValue(QJsonObject{
                                   {QStringLiteral("ratio"), ratioGuard->ratio},
                                   {QStringLiteral("warnBelow"), ratioGuard->warnBelow},
                               })
                             : QJsonValue(QJsonValue::Null));
    return object;
}

QString AutomaticPushReport::problemSentence() const {
    const QString who = client.isEmpty() ? QStringLiteral("Your BitTorrent client") : client;
    switch (problem) {
        case AutomaticPushProblem::None:
            return QString();
        case AutomaticPushProblem::AnotherRunning:
            return QStringLiteral("Another automatic push is running.");
        case AutomaticPushProblem::SiteWantsCaptcha:
            return QStringLiteral(
                "The site wants the words of a CAPTCHA picture to sign in again: sign in with "
                "pelloran-cli login.");
        case AutomaticPushProblem::SiteSignInFailed:
            return QStringLiteral(
                       "Signing in to the site again failed: %1 Sign in with "
                       "pelloran-cli login.")
                .arg(problemDetail);
        case AutomaticPushProblem::SiteUnreachable:
            return QStringLiteral("The site could not be reached.");
        case AutomaticPushProblem::SiteSlowDown:
            return slowDownMessage(slowDown.value_or(SlowDown{}));
        case AutomaticPushProblem::ClientRefusedPassword:
            return QStringLiteral(
                       "%1 refused the password: it was not asked again, so that it does not "
                       "lock this device out. Check the password in the remote settings.")
                .arg(who);
        case AutomaticPushProblem::ClientBanned:
            return QStringLiteral(
                       "%1 refuses this device after too many wrong passwords. Check the "
                       "password in the remote settings, then wait for the ban to end.")
                .arg(who);
        case AutomaticPushProblem::ClientUnreachable:
            return QStringLiteral("%1 could not be reached.").arg(who);
        case AutomaticPushProblem::ClientRefusedTorrent: {
            const RefusedTorrent r = refused.value_or(RefusedTorrent{});
            const QString why =
                r.reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(r.reason);
            return r.remembered
                       ? QStringLiteral(
                             "%1 refused %2%3. The automatic push does not send it again: push "
                             "it by hand once %1 takes it.")
                             .arg(who, r.name, why)
                       : QStringLiteral(
                             "%1 refused %2%3. Mend the push options in the settings; it is "
                             "sent again at the next run.")
                             .arg(who, r.name, why);
        }
        case AutomaticPushProblem::NoClient:
            return QStringLiteral(
                "No BitTorrent client is set up: choose one with pelloran-cli remote set.");
        case AutomaticPushProblem::RunLockFailed:
            return QStringLiteral("The automatic push could not start: %1.").arg(problemDetail);
    }
    return QString();
}

QStringList AutomaticPushReport::failedPageLines() const {
    QStringList lines;
    for (const FailedPage& p : failedPages) {
        lines.append(p.status == ListingStatus::NotUnderstood
                         ? QStringLiteral("Favorites page %1 was not understood: %2")
                               .arg(p.page)
                               .arg(pageNotUnderstoodMessage(p.url))
                         : QStringLiteral("Favorites page %1 could not be fetched (%2).")
                               .arg(p.page)
                               .arg(p.url));
    }
    return lines;
}

std::optional<AutomaticPushReport::Notification> AutomaticPushReport::notification() const {
    if (!anythingToTell()) {
        return std::nullopt;
    }
    const QString where = client.isEmpty() ? QStringLiteral("your client") : client;
    QStringList parts;
    if (!sent.isEmpty()) {
        parts.append(QStringLiteral("Sent %1 to %2: %3.")
                         .arg(torrents(sent.size()), where, someNames(sent)));
    }
    if (!alreadyOnServer.isEmpty()) {
        parts.append(
            QStringLiteral("%1 already on %2.").arg(torrents(alreadyOnServer.size()), where));
    }
    if (problem != AutomaticPushProblem::None) {
        parts.append(problemSentence());
    }
    if (!failedPages.isEmpty() && problem != AutomaticPushProblem::SiteUnreachable) {
        parts.append(QStringLiteral("Favorites pages not read: %1.").arg(pageNumbers(failedPages)));
    }
    if (!notSent.isEmpty()) {
        parts.append(
            QStringLiteral("%1 not sent, tried again next run.").arg(torrents(notSent.size())));
    }
    const bool guardNews = ratioGuard && tellRatioGuard;
    if (guardNews) {
        parts.append(QStringLiteral("Holding back every new torrent (%1 in this run). %2")
                         .arg(heldBack.size())
                         .arg(ratioGuardSentence(*ratioGuard)));
    } else if (!heldBack.isEmpty()) {
        // Held back alone is no news (the same torrent is held back at every run until it
        // passes), but a notification given anyway says so.
        parts.append(QStringLiteral("%1 held back (%2).")
                         .arg(torrents(heldBack.size()), holdReasons(*this)));
    }
    if (!notRecorded.isEmpty()) {
        parts.append(QStringLiteral("What was sent could not be recorded: %1").arg(notRecorded));
    }
    const bool failed = exitStatus() != 0;
    QString title;
    if (!failed) {
        title = QStringLiteral("Pelloran sent %1").arg(torrents(sent.size()));
        if (sent.isEmpty()) {
            title = guardNews ? QStringLiteral("Pelloran: holding back new torrents")
                              : QStringLiteral("Pelloran: nothing new sent");
        }
    } else {
        title = sent.isEmpty() ? QStringLiteral("Pelloran: automatic push failed")
                               : QStringLiteral("Pelloran: automatic push partly failed");
    }
    return Notification{title, parts.join(QLatin1Char(' '))};
}

}  // namespace pelloran
