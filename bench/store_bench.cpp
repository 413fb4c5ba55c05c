// The settings store's flush: a member's whole settings (every key, a full history, a few
// filters) written durably (temporary file, sync, rename, directory sync) under the lock file
// that makes each write a read-modify-write across processes; the same when another process
// wrote in between (the file is read again and merged); a read, which stays in memory; and a
// cookie save merged with another process's.

#include <benchmark/benchmark.h>

#include "net/cookie_store.h"
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

// Two stores on one folder stand for the app and a pelloran-cli run taking turns: each flush
// finds the file replaced, reads it again and merges before writing.
void BM_SettingsFlushAfterAnotherProcessWrote(benchmark::State& state) {
    QTemporaryDir dir;
    SettingsStore mine(dir.path());
    SettingsStore other(dir.path());
    fillTypicalSettings(mine);
    mine.flush();
    for (auto _ : state) {
        state.PauseTiming();
        other.setValue(keys::sortBy,
                       state.iterations() % 2 ? QStringLiteral("asc") : QStringLiteral("desc"));
        other.flush();
        state.ResumeTiming();
        mine.setValue(keys::tab, qint64(state.iterations() % 10));
        benchmark::DoNotOptimize(mine.flush());
    }
}
BENCHMARK(BM_SettingsFlushAfterAnotherProcessWrote)->Unit(benchmark::kMicrosecond);

void BM_SettingsRead(benchmark::State& state) {
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    fillTypicalSettings(store);
    store.flush();
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.stringList(keys::torrentHistory));
    }
}
BENCHMARK(BM_SettingsRead)->Unit(benchmark::kNanosecond);

// A sign-in's cookies saved while another process saved its own since this one last looked.
void BM_CookieSaveMergedWithAnotherProcess(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("cookies.txt"));
    CookieStore mine(file);
    CookieStore other(file);
    Cookie c;
    c.domain = QStringLiteral("127.0.0.1");
    c.expires = 4102444800;
    for (int i = 0; i < 10; ++i) {
        c.name = QStringLiteral("cookie%1").arg(i);
        c.value = QStringLiteral("value");
        mine.setCookie(c);
    }
    mine.save();
    qint64 round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        c.name = QStringLiteral("forum");
        c.value = QString::number(++round);
        other.setCookie(c);
        other.save();
        state.ResumeTiming();
        c.name = QStringLiteral("sid");
        mine.setCookie(c);
        benchmark::DoNotOptimize(mine.save());
    }
}
BENCHMARK(BM_CookieSaveMergedWithAnotherProcess)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
