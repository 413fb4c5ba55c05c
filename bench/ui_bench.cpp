// The app as the member starts it, measured from outside (pelloran-ui-probe):
//  - BM_StartupToLoginFace: time from starting the process to the login face first painted,
//    next to an empty QWidget window started by the same binary in the same way, and by a
//    minimal program that links Qt Widgets alone (pelloran-empty-window), in turn; medians;
//  - BM_SignInUiThread: signing in against the demo site with a 1-second site delay (the
//    session check) and a 2-second announcement delay, a 1 ms timer recording the longest gap
//    in the UI thread's event loop from the login face's first frame until the main interface
//    has been drawn; then the resident memory after sign-in, with no web screen
//    opened, and whether any Qt WebEngine library is in the process;
//  - BM_FavoritesScanUiThread: the favorites tab opened after sign-in, scanning 10 pages that
//    the demo site answers 50 ms each, its rows drawn with their pictures: the longest gap in
//    the UI thread's event loop from the tab's opening until the scan is in and drawn;
//  - BM_BrowseTenPagesMemory: the resident memory after ten pages of the browse list were
//    loaded through the load-more row and drawn with their pictures.
//  - BM_DetailsPageMemory: the memory of the whole process tree (the app and Qt WebEngine's
//    processes, PSS summed, and RSS summed for comparison) with one details page open after
//    signing in.
//  - BM_DetailsClick: the member clicks a browse row; the time until a frame shows a navigation
//    bar and the loading overlay (the stand-in while the web plugin loads counts), until one
//    shows the details screen's own, and until the page's text is in, for the first
//    details page of the run (the web plugin loads then) and a later one; and whether the
//    window's native window was re-created on the way (it must not be); with
//    PELLORAN_PROBE_FLASH set (under X), how many screen samples showed a white page.
//  - BM_CloseToExit/idle and /mid_push: the time from the member closing the window until the
//    process has ended, signed in and idle, and with a push waiting on a client that never
//    answers.
// The probe runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>
#include <QMap>
#include <optional>

#include "demo_site.h"
#include "site/sign_in.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/hostile_server.h"
#include "support/test_server.h"

#include <unistd.h>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace pelloran;

QProcessEnvironment probeEnvironment(const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (env.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty()) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    if (env.value(QStringLiteral("QT_QPA_PLATFORM")) == QLatin1String("offscreen")) {
        // No display: the web engine draws in software.
        env.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QStringLiteral("--disable-gpu"));
        env.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    }
    if (::geteuid() == 0) {
        env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    }
    env.insert(QStringLiteral("PELLORAN_HOME"), home);
    env.insert(QStringLiteral("PELLORAN_KEYRING"), QStringLiteral("off"));
    return env;
}

struct ProbeRun {
    qint64 shownMs = -1;    // from process start to the "shown" line
    qint64 closingMs = -1;  // from process start to the "closing" line
    qint64 exitMs = -1;     // from process start to its end
    QMap<QString, qint64> values;
    bool ok = false;
};

ProbeRun runProbe(const QString& mode, const QProcessEnvironment& env,
                  const QString& program = QStringLiteral(PELLORAN_UI_PROBE)) {
    ProbeRun run;
    QProcess probe;
    probe.setProcessEnvironment(env);
    probe.setProcessChannelMode(qEnvironmentVariableIsSet("PELLORAN_PROBE_TRACE")
                                    ? QProcess::ForwardedErrorChannel
                                    : QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    probe.start(program, {mode, QStringLiteral("--scale"), QStringLiteral("1.5"),
                          QStringLiteral("--height"), QStringLiteral("568")});
    while (probe.state() != QProcess::NotRunning || probe.canReadLine()) {
        if (!probe.canReadLine() && !probe.waitForReadyRead(30000)) {
            break;
        }
        while (probe.canReadLine()) {
            const QList<QByteArray> words = probe.readLine().trimmed().split(' ');
            if (words.value(0) == "shown") {
                run.shownMs = clock.elapsed();
            } else if (words.value(0) == "closing") {
                run.closingMs = clock.elapsed();
            } else if (words.size() == 2) {
                run.values.insert(QString::fromUtf8(words[0]), words[1].toLongLong());
            }
        }
    }
    probe.waitForFinished(30000);
    run.exitMs = clock.elapsed();
    run.ok = probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
    return run;
}

double median(std::vector<qint64> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? double(values[n / 2]) : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

void BM_StartupToLoginFace(benchmark::State& state) {
    std::vector<qint64> minimal, empty, login;
    for (auto _ : state) {
        QTemporaryDir home;
        const QProcessEnvironment env = probeEnvironment(home.path());
        const ProbeRun bare =
            runProbe(QStringLiteral("empty"), env, QStringLiteral(PELLORAN_EMPTY_WINDOW));
        const ProbeRun emptyRun = runProbe(QStringLiteral("empty"), env);
        const ProbeRun loginRun = runProbe(QStringLiteral("login"), env);
        for (const ProbeRun* run : {&bare, &emptyRun, &loginRun}) {
            if (!run->ok || run->shownMs < 0) {
                state.SkipWithError("the probe did not show its window");
                return;
            }
        }
        minimal.push_back(bare.shownMs);
        empty.push_back(emptyRun.shownMs);
        login.push_back(loginRun.shownMs);
        state.SetIterationTime(loginRun.shownMs / 1000.0);
    }
    state.counters["minimal_window_ms"] = median(minimal);
    state.counters["empty_window_ms"] = median(empty);
    state.counters["login_face_ms"] = median(login);
    state.counters["ratio"] = median(login) / median(empty);
    state.counters["ratio_to_minimal"] = median(login) / median(minimal);
}
BENCHMARK(BM_StartupToLoginFace)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// The probe's environment for signing in to `site` by itself with the settings `prepare` adds.
QProcessEnvironment signedInEnvironment(const QTemporaryDir& home, demo::DemoSite& site,
                                        const std::function<void(SettingsStore&)>& prepare) {
    {
        SettingsStore settings(home.path());
        storeCredentials(settings, site.memberName(), site.memberPassword(), true);
        if (prepare) {
            prepare(settings);
        }
        settings.flush();
    }
    QProcessEnvironment env = probeEnvironment(home.path());
    env.insert(QStringLiteral("PELLORAN_SITE_HOST"), site.siteHost());
    env.insert(QStringLiteral("PELLORAN_FORUM_HOST"), site.forumHost());
    env.insert(QStringLiteral("PELLORAN_COOKIE_DOMAIN"), site.cookieDomain());
    env.insert(QStringLiteral("PELLORAN_CAPTCHA_HOST"), site.captchaHost());
    env.insert(QStringLiteral("PELLORAN_CAPTCHA_COOKIE_DOMAIN"), site.captchaCookieDomain());
    env.insert(QStringLiteral("PELLORAN_ANNOUNCE_HOST"), site.announceHost());
    env.insert(QStringLiteral("PELLORAN_LOGIN_TITLE"), site.loginTitle());
    return env;
}

// Runs the probe in `mode` once per iteration, each time in a fresh home whose environment
// `environment` makes, timing each run, and gives the largest of each value the runs printed.
// Absent (and the benchmark marked failed with `failure`) when a run did not print `expected`.
std::optional<QMap<QString, qint64>> largestProbeValues(
    benchmark::State& state, const QString& mode,
    const std::function<QProcessEnvironment(const QTemporaryDir&)>& environment,
    const QString& expected, const char* failure) {
    QMap<QString, qint64> largest;
    for (auto _ : state) {
        QTemporaryDir home;
        const QProcessEnvironment env = environment(home);
        QElapsedTimer clock;
        clock.start();
        const ProbeRun run = runProbe(mode, env);
        if (!run.ok || !run.values.contains(expected)) {
            state.SkipWithError(failure);
            return std::nullopt;
        }
        state.SetIterationTime(clock.elapsed() / 1000.0);
        for (auto it = run.values.constBegin(); it != run.values.constEnd(); ++it) {
            largest[it.key()] = std::max(largest.value(it.key()), it.value());
        }
    }
    return largest;
}

double megabytes(qint64 kilobytes) {
    return double(kilobytes) / 1024.0;
}

void BM_SignInUiThread(benchmark::State& state) {
    demo::DemoSite site;
    test::TestServer announcement;
    announcement.server().Get("/pelloran.php", [](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        res.set_content("", "text/plain");
    });
    if (!site.start() || !announcement.start()) {
        state.SkipWithError("the loopback servers did not start");
        return;
    }
    site.setListingDelay(0, 1000);  // the session check is a listing page
    const auto most = largestProbeValues(
        state, QStringLiteral("sign-in"),
        [&](const QTemporaryDir& home) {
            QProcessEnvironment env = signedInEnvironment(home, site, {});
            env.insert(QStringLiteral("PELLORAN_ANNOUNCE_HOST"), announcement.hostPort());
            return env;
        },
        QStringLiteral("gap"), "the probe did not sign in");
    if (!most) {
        return;
    }
    state.counters["longest_ui_gap_ms"] = double(most->value(QStringLiteral("gap")));
    state.counters["rss_after_sign_in_MB"] = megabytes(most->value(QStringLiteral("rss")));
    state.counters["webengine_loaded"] = double(most->value(QStringLiteral("webengine")));
    state.counters["first_frame_ms"] = double(most->value(QStringLiteral("first-frame")));
}
BENCHMARK(BM_SignInUiThread)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FavoritesScanUiThread(benchmark::State& state) {
    demo::DemoSite site;
    if (!site.start()) {
        state.SkipWithError("the demo site did not start");
        return;
    }
    site.setListingDelay(0, 50);  // every listing page, the favorites pages among them
    const auto most = largestProbeValues(
        state, QStringLiteral("favorites"),
        [&](const QTemporaryDir& home) {
            return signedInEnvironment(home, site, [](SettingsStore& settings) {
                settings.setValue(keys::favoritesCount, QStringLiteral("10"));
                settings.setValue(keys::filters,
                                  QStringList{QStringLiteral("720p|1080p"), QStringLiteral("x264"),
                                              QStringLiteral("XviD"), QStringLiteral("[Dd]ust")});
            });
        },
        QStringLiteral("gap"), "the probe did not scan the favorites");
    if (!most) {
        return;
    }
    state.counters["longest_ui_gap_ms"] = double(most->value(QStringLiteral("gap")));
    state.counters["favorite_rows"] = double(most->value(QStringLiteral("rows")));
}
BENCHMARK(BM_FavoritesScanUiThread)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BrowseTenPagesMemory(benchmark::State& state) {
    demo::DemoSite site;
    if (!site.start()) {
        state.SkipWithError("the demo site did not start");
        return;
    }
    const auto most = largestProbeValues(
        state, QStringLiteral("browse-ten"),
        [&](const QTemporaryDir& home) { return signedInEnvironment(home, site, {}); },
        QStringLiteral("rss"), "the probe did not browse ten pages");
    if (!most) {
        return;
    }
    state.counters["rss_after_ten_pages_MB"] = megabytes(most->value(QStringLiteral("rss")));
    state.counters["pages"] = double(most->value(QStringLiteral("pages")));
}
BENCHMARK(BM_BrowseTenPagesMemory)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DetailsPageMemory(benchmark::State& state) {
    demo::DemoSite site;
    if (!site.start()) {
        state.SkipWithError("the demo site did not start");
        return;
    }
    const auto most = largestProbeValues(
        state, QStringLiteral("details"),
        [&](const QTemporaryDir& home) {
            QProcessEnvironment env = signedInEnvironment(home, site, {});
            env.insert(QStringLiteral("PELLORAN_PROBE_DETAILS_URL"),
                       site.siteUrl(site.torrents().front().detailsHref));
            return env;
        },
        QStringLiteral("tree-pss"), "the probe did not open the details page");
    if (!most) {
        return;
    }
    state.counters["tree_pss_MB"] = megabytes(most->value(QStringLiteral("tree-pss")));
    state.counters["tree_rss_MB"] = megabytes(most->value(QStringLiteral("tree-rss")));
    state.counters["app_pss_MB"] = megabytes(most->value(QStringLiteral("app-pss")));
    state.counters["processes"] = double(most->value(QStringLiteral("processes")));
}
BENCHMARK(BM_DetailsPageMemory)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DetailsClick(benchmark::State& state) {
    demo::DemoSite site;
    if (!site.start()) {
        state.SkipWithError("the demo site did not start");
        return;
    }
    const auto most = largestProbeValues(
        state, QStringLiteral("details-click"),
        [&](const QTemporaryDir& home) { return signedInEnvironment(home, site, {}); },
        QStringLiteral("later-text"), "the probe did not open two details pages");
    if (!most) {
        return;
    }
    for (const char* name : {"first-overlay", "first-screen", "first-text", "later-overlay",
                             "later-screen", "later-text"}) {
        QString counter = QString::fromLatin1(name).replace(QLatin1Char('-'), QLatin1Char('_'));
        state.counters[(counter + QStringLiteral("_ms")).toStdString()] =
            double(most->value(QString::fromLatin1(name)));
    }
    // 1 when any run re-created the window for the first (or a later) details page.
    state.counters["first_window_recreated"] =
        double(most->value(QStringLiteral("first-window-recreated")));
    state.counters["later_window_recreated"] =
        double(most->value(QStringLiteral("later-window-recreated")));
    // Read off the screen only with PELLORAN_PROBE_FLASH (under X, e.g. xvfb-run).
    if (most->contains(QStringLiteral("first-white-samples"))) {
        state.counters["first_white_samples"] =
            double(most->value(QStringLiteral("first-white-samples")));
        state.counters["later_white_samples"] =
            double(most->value(QStringLiteral("later-white-samples")));
    }
}
BENCHMARK(BM_DetailsClick)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CloseToExit(benchmark::State& state) {
    const bool midPush = state.range(0) == 1;
    demo::DemoSite site;
    // The member's client: takes the connection and the upload, never answers.
    test::HostileServer client;
    test::Reply never = test::page("");
    never.delivery = test::Delivery::Never;
    client.route("", "*", never);
    if (!site.start() || !client.start()) {
        state.SkipWithError("the loopback servers did not start");
        return;
    }
    qint64 longest = 0;
    qint64 total = 0;
    int runs = 0;
    for (auto _ : state) {
        QTemporaryDir home;
        const QProcessEnvironment env =
            signedInEnvironment(home, site, [&client](SettingsStore& settings) {
                settings.setValue(keys::serverClient, QStringLiteral("Transmission"));
                settings.setValue(keys::serverAddress, QString::fromStdString(client.address()));
                settings.setValue(keys::serverPort, QString::number(client.port()));
            });
        const ProbeRun run =
            runProbe(midPush ? QStringLiteral("close-push") : QStringLiteral("close-idle"), env);
        if (!run.ok || run.closingMs < 0) {
            state.SkipWithError("the probe did not close its window");
            return;
        }
        const qint64 closing = run.exitMs - run.closingMs;
        longest = std::max(longest, closing);
        total += closing;
        ++runs;
        state.SetIterationTime(double(closing) / 1000.0);
    }
    state.counters["close_to_exit_ms"] = double(total) / runs;
    state.counters["longest_ms"] = double(longest);
    state.counters["client_connections"] = double(client.connectionCount());
}
BENCHMARK(BM_CloseToExit)
    ->ArgName("mid_push")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
