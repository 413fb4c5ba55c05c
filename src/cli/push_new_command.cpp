#include "cli/push_new_command.h"

#include "cli/cli_core.h"
#include "cli/cli_output.h"
#include "cli/commands.h"
#include "cli/desktop_notifier.h"

#include "remote/automatic_push.h"
#include "site/filter.h"
#include "store/activity_log.h"
#include "store/ratio_guard.h"

namespace pelloran::cli {

namespace {

void tellProgress(const QString& name, AutomaticPush::Fate fate, bool json) {
    switch (fate) {
        case AutomaticPush::Fate::Sent:
            if (!json) {
                printOut(QStringLiteral("Sent ") + name);
            }
            return;
        case AutomaticPush::Fate::AlreadyOnServer:
            if (!json) {
                printOut(QStringLiteral("Already on server: ") + name);
            }
            return;
        case AutomaticPush::Fate::NotSent:
            printError(QStringLiteral("Not sent (tried again next run): ") + name);
            return;
        case AutomaticPush::Fate::HeldBack:
        case AutomaticPush::Fate::RefusedBefore:
            return;  // listed with its reason after the run
        case AutomaticPush::Fate::Refused:
            return;  // named in the sentence on what stopped the run
    }
}

void notify(CliCore& core, AutomaticPushReport report) {
    // The guard is told of once a day, however often the timer runs while it holds.
    ActivityLog log(core.activity());
    const QDate today = QDate::currentDate();
    report.tellRatioGuard = report.ratioGuard && !ratioGuardToldOn(log, today);
    const std::optional<AutomaticPushReport::Notification> note = report.notification();
    if (!note) {
        return;  // nothing new and nothing failed: nothing to bother the member with
    }
    if (notifyDesktop(note->title, note->body, report.exitStatus() != kExitSuccess) !=
        NotifyResult::Shown) {
        printError(note->line());  // no desktop to tell: the journal has it
    }
    if (report.tellRatioGuard) {
        recordRatioGuardTold(log, today);
    }
}

}  // namespace

int runPushNew(CliCore& core, const PushNewOptions& options) {
    const QList<Filter> filters = loadFilters(core.settings());
    if (filters.isEmpty()) {
        // Without a keyword nothing can be accepted: the site is not asked at all.
        const AutomaticPushReport nothing;
        if (options.json) {
            printOut(jsonText(nothing.json()));
        } else {
            printOut(QStringLiteral("No favorite filters: nothing to send."));
            printOut(nothing.summaryLine());
        }
        return kExitSuccess;
    }
    core.enterSignedInMode();
    RemoteContext remote = core.remote();
    remote.origin = PushOrigin::Automatic;
    AutomaticPush::Context context{core.site(), remote, &core.activity(), core.dataDirectory(),
                                   [&core] { return core.reloginFailure(); }};
    AutomaticPush push(context, {options.firstPage, options.pages, options.minInterval});
    push.setProgress([json = options.json](const QString& name, AutomaticPush::Fate fate) {
        tellProgress(name, fate, json);
    });
    const AutomaticPushReport report = push.run(filters);
    if (core.stopped()) {
        // What went is told and kept; what a cancelled exchange left undone is not a problem
        // of the site or the client, and goes next run. Nobody asked for a notification.
        printOut(options.json ? jsonText(report.json()) : report.summaryLine());
        return kExitSuccess;  // finish() says it was stopped, with its own status
    }
    if (report.problem == AutomaticPushProblem::AnotherRunning) {
        if (options.json) {
            printOut(jsonText(report.json()));
        } else {
            printOut(report.problemSentence());
        }
        return kExitSuccess;
    }
    for (const QString& line : report.failedPageLines()) {
        printError(line);
    }
    if (report.problem != AutomaticPushProblem::None) {
        printError(report.problemSentence());
    }
    if (options.json) {
        printOut(jsonText(report.json()));
    } else {
        for (const QString& line : report.heldBackLines() + report.refusedBeforeLines()) {
            printOut(line);
        }
        if (report.exitStatus() == kExitSuccess && report.sent.isEmpty() &&
            report.alreadyOnServer.isEmpty() && report.heldBack.isEmpty() &&
            report.refusedBefore.isEmpty()) {
            printOut(QStringLiteral("Nothing new to send."));
        }
        printOut(report.summaryLine());
    }
    if (report.ratioGuard) {
        printError(QStringLiteral("Holding back new torrents: ") +
                   ratioGuardSentence(*report.ratioGuard));
    }
    if (options.notify) {
        notify(core, report);
    }
    return report.exitStatus();
}

}  // namespace pelloran::cli
