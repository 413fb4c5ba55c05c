// The activity database's costs: what a page fetch pays to hand over its member-bar sample
// (reading the bar and queueing it; the write happens on the recorder's thread), the write of a
// sample and a push in their own transaction, `pelloran-cli stats --json` over 100,000 samples
// and 10,000 pushes, and the Stats screen's time to read and draw a year of samples.

#include <benchmark/benchmark.h>

#include "page_frame.h"
#include "site/member_sample.h"
#include "site/site_context.h"
#include "stats/stats_view_controller.h"
#include "store/activity_database.h"
#include "store/activity_log.h"
#include "store/activity_recorder.h"
#include "store/settings_store.h"
#include "support/activity_seed.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using namespace pelloran;

QString browsePage() {
    demo::DemoMember member{QStringLiteral("demo"),
                            {},
                            QStringLiteral("1"),
                            QStringLiteral("1.234"),
                            QStringLiteral("120.5 GB"),
                            QStringLiteral("97.66 GB"),
                            0,
                            false};
    QString rows;
    for (int i = 0; i < 50; ++i) {
        rows +=
            QStringLiteral("<tr><td><a href=\"/torrent/%1/Name\">Name %1</a></td></tr>\n").arg(i);
    }
    return demo::pageFrame(QStringLiteral("Browse"),
                           QStringLiteral("<div id=\"middle\">") + demo::memberBar(member) +
                               QStringLiteral("<table>") + rows + QStringLiteral("</table></div>"));
}

// On the fetch thread: the bar of a 50-row page read and handed to the recorder (the same bar
// every time, as pages read minutes apart mostly are: the recorder drops the repeat).
void BM_NoteMemberBarOnTheFetchThread(benchmark::State& state) {
    QTemporaryDir home;
    ActivityDatabase db(home.path());
    ActivityRecorder recorder(db);
    SiteContext site;
    site.activity = &recorder;
    const QString page = browsePage();
    for (auto _ : state) {
        noteMemberBar(site, page);
    }
    recorder.flush();
}
BENCHMARK(BM_NoteMemberBarOnTheFetchThread)->Unit(benchmark::kMicrosecond);

// On the calling thread: a sample with new figures and a push queued (the recorder's thread
// writes them meanwhile).
void BM_QueueSampleAndPush(benchmark::State& state) {
    QTemporaryDir home;
    ActivityDatabase db(home.path());
    ActivityRecorder recorder(db);
    PushRecord push;
    push.name = QStringLiteral("Some.Release.720p.x264-GROUP");
    qint64 n = 0;
    for (auto _ : state) {
        ++n;
        recorder.addSample({QDateTime::currentDateTimeUtc(), 1.0, n, n});
        recorder.addPush(push);
    }
    recorder.flush();
}
BENCHMARK(BM_QueueSampleAndPush)->Unit(benchmark::kMicrosecond);

// On the recorder's thread: one sample and one push written in one transaction (WAL, so no
// sync per commit beyond SQLite's own).
void BM_WriteSampleAndPush(benchmark::State& state) {
    QTemporaryDir home;
    ActivityDatabase db(home.path());
    ActivityLog log(db);
    qint64 n = 0;
    PushRecord push;
    push.name = QStringLiteral("Some.Release.720p.x264-GROUP");
    push.detailsPath = QStringLiteral("/torrent/1/Some-Release");
    push.infoHash = QByteArray(40, 'a');
    push.client = QStringLiteral("qBittorrent");
    push.options = QStringLiteral("{}");
    push.result = PushResult::Sent;
    for (auto _ : state) {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        push.time = now;
        ++n;
        log.write({MemberSample{now, 1.0, n, n}}, {push});
    }
}
BENCHMARK(BM_WriteSampleAndPush)->Unit(benchmark::kMicrosecond);

// The whole command, start to exit, as a script runs it.
void BM_StatsJsonCommand(benchmark::State& state) {
    QTemporaryDir home;
    {
        ActivityDatabase db(home.path());
        test::ActivitySeed seed;
        seed.end = QDateTime::currentDateTimeUtc();
        seed.samples = 100000;
        seed.stepSeconds = 600;
        seed.pushes = 10000;
        if (!test::seedActivity(db, seed)) {
            state.SkipWithError("the database could not be filled");
            return;
        }
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PELLORAN_HOME"), home.path());
    env.insert(QStringLiteral("PELLORAN_KEYRING"), QStringLiteral("off"));
    qint64 bytes = 0;
    for (auto _ : state) {
        QProcess cli;
        cli.setProcessEnvironment(env);
        cli.start(QStringLiteral(PELLORAN_CLI),
                  {QStringLiteral("stats"), QStringLiteral("--json")});
        cli.waitForFinished(120000);
        bytes = cli.readAllStandardOutput().size();
        if (cli.exitCode() != 0) {
            state.SkipWithError("stats --json failed");
            return;
        }
    }
    state.counters["output_MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_StatsJsonCommand)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The Stats screen with a year of samples (every 10 minutes) and 2,000 pushes, "All" chosen:
// from the read being asked for to the screen drawn into a picture.
void BM_StatsScreenYearOfSamples(benchmark::State& state) {
    QTemporaryDir home;
    ActivityDatabase db(home.path());
    test::ActivitySeed seed;
    seed.end = QDateTime::currentDateTimeUtc();
    seed.samples = 365 * 24 * 6;
    seed.stepSeconds = 600;
    seed.pushes = 2000;
    if (!test::seedActivity(db, seed)) {
        state.SkipWithError("the database could not be filled");
        return;
    }
    ActivityRecorder recorder(db);
    SettingsStore settings(home.path());
    ScreenContext context;
    context.site.settings = &settings;
    context.site.activity = &recorder;
    StatsViewController screen(context);
    screen.resize(480, 800);
    screen.show();
    screen.setRange(StatsViewController::Range::All);
    if (!QTest::qWaitFor([&] { return !screen.isReading(); }, 60000)) {
        state.SkipWithError("the screen did not read the database");
        return;
    }
    for (auto _ : state) {
        screen.reload();
        if (!QTest::qWaitFor([&] { return !screen.isReading(); }, 60000)) {
            state.SkipWithError("the screen did not read the database");
            return;
        }
        benchmark::DoNotOptimize(screen.grab());
    }
    state.counters["samples"] = double(screen.shownStats().samples.size());
}
BENCHMARK(BM_StatsScreenYearOfSamples)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
