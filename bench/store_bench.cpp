// The settings store's flush: a member's whole settings (every key, a full history, a few
// filters) written durably (temporary file, sync, rename, directory sync).

#include <benchmark/benchmark.h>

#include "store/settings_keys.h"
#include "store/settings_store.h"

#include <QTemporaryDir>

namespace {

using namespace pelloran;

void fillTypicalSettings(SettingsStore& store) {
    store.setValue(keys::version, QStringLiteral("0.1.0"));
    store.setValue(keys::username, QStringLiteral("demo"));
    store.setValue(keys::password, QStringLiteral("demo-pass-42"));
    store.setValue(keys::automaticLogin, QStringLiteral("YES"));
    store.setValue(keys::tab, qint64(3));
    store.setValue(keys::categories, QStringLiteral("8,9,10,11,12,13,14,15,29"));
    store.setValue(keys::orderBy, QStringLiteral("orderby/size"));
    store.setValue(keys::sortBy, QStringLiteral("desc"));
    store.setValue(keys::favoritesCount, QStringLiteral("10"));
    store.setValue(keys::filters, QStringList{QStringLiteral("x264"), QStringLiteral("720p|1080p"),
                                              QStringLiteral("FLAC"), QStringLiteral("S0.E0")});
    QStringList history;
    for (int i = 0; i < 50; ++i) {
        history.append(QStringLiteral("Some.Release.Name.%1.720p.BluRay.x264-GROUP").arg(i));
    }
    store.setValue(keys::torrentHistory, history);
    store.setValue(keys::serverClient, QStringLiteral("Transmission"));
    store.setValue(keys::serverAddress, QStringLiteral("192.168.1.20"));
    store.setValue(keys::serverPort, QStringLiteral("9091"));
    store.setValue(keys::serverUser, QStringLiteral("admin"));
    store.setValue(keys::serverPassword, QStringLiteral("secret"));
}

void BM_SettingsFlush(benchmark::State& state) {
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    fillTypicalSettings(store);
    for (auto _ : state) {
        // Each flush follows a change, as every writer in the app does.
        store.setValue(keys::tab, qint64(state.iterations() % 10));
        benchmark::DoNotOptimize(store.flush());
    }
}
BENCHMARK(BM_SettingsFlush)->Unit(benchmark::kMicrosecond);

void BM_SettingsHistoryAppendAndFlush(benchmark::State& state) {
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    fillTypicalSettings(store);
    for (auto _ : state) {
        store.updateStringList(keys::torrentHistory, [](QStringList& list) {
            list.append(QStringLiteral("Another.Release.720p"));
            if (list.size() > 50) {
                list.removeFirst();
            }
        });
        benchmark::DoNotOptimize(store.flush());
    }
}
BENCHMARK(BM_SettingsHistoryAppendAndFlush)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
