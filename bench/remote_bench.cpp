// One push of a torrent to each of Debian's real clients over loopback, end to end, with the
// torrent file fetched from the in-process demo site and the history update:
//  - transmission-daemon: the session-id handshake, the upload (which Transmission 3 refuses
//    with 409), the RPC torrent-add that takes its place;
//  - qbittorrent-nox: the sign-in, the upload; and a push of a torrent it holds already
//    ("Fails.", then the info-hash lookup);
//  - deluged + deluge-web: the sign-in, web.connected, core.add_torrent_file.
// "Time" is wall time; "CPU" is the CPU time of the pushing thread alone, that is the client's
// own work (libcurl, Qt, body building, JSON, Base64, the settings flush), without the clients
// and the demo site, which run in other threads and processes.
//
// Transmission's phases are also timed one by one, and the pure preparation steps without any
// network. Needs the three clients (scripts/deps); a missing one skips its benchmarks.
// The settings flush after each push waits for the disk (fsync); TMPDIR=/dev/shm puts the
// settings and the daemon on tmpfs and shows the push without that wait.

#include <benchmark/benchmark.h>

#include "net/cookie_store.h"
#include "net/http_request.h"
#include "net/session.h"
#include "net/url_loader.h"
#include "remote/deluge.h"
#include "remote/download_history.h"
#include "remote/fetch_page_download.h"
#include "remote/info_hash.h"
#include "remote/qbittorrent.h"
#include "remote/server_info.h"
#include "remote/transmission.h"
#include "remote/transmission_rpc.h"
#include "store/settings_store.h"
#include "support/deluge_daemon.h"
#include "support/qbittorrent_daemon.h"
#include "support/transmission_daemon.h"

#include <demo_site.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <memory>

namespace {

using namespace pelloran;

// Enough distinct torrents that every push and torrent-add below adds a new one: a duplicate
// is cheaper for the daemon and would flatter the figures.
constexpr int kTorrents = 1300;
constexpr int kAdds = 200;  // iterations of each benchmark that adds torrents

// Remote settings of their own for one client, over the run's settings folder.
struct ClientSettings {
    QTemporaryDir home;
    SettingsStore store{home.path()};
    ServerInfo serverInfo{store};
    DownloadHistory history{store};
    QString error;  // why this client's benchmarks can't run; empty when they can
    size_t next = 0;
};

// Everything a push needs, brought up once for the whole run.
struct Environment {
    QTemporaryDir home;
    SettingsStore store{home.path()};
    ServerInfo serverInfo{store};
    DownloadHistory history{store};
    CookieStore cookies;
    demo::DemoSite site{demo::DemoSiteOptions{kTorrents, 25, 7, QStringLiteral("Login"), 0}};
    std::unique_ptr<Session> session;
    test::TransmissionDaemon daemon;
    QString error;          // why the push benchmarks can't run; empty when they can
    size_t nextUnsent = 0;  // the first torrent no benchmark has sent to transmission-daemon
    size_t nextRead = 0;
    test::QBittorrentDaemon qbittorrent;
    ClientSettings qbt;
    test::DelugeDaemon deluge;
    ClientSettings del;

    Environment() {
        if (!site.start()) {
            error = QStringLiteral("the demo site did not start");
            return;
        }
        session = std::make_unique<Session>(site.loginUrl(), site.loginTitle());
        HttpRequest signIn(site.loginUrl(), net());
        signIn.setType(QStringLiteral("POST"));
        signIn.setPostData(QStringLiteral("username=") + site.memberName() +
                           QStringLiteral("&password=") + site.memberPassword());
        signIn.request();
        if (!qbittorrent.start(&qbt.error)) {
            qbt.error = QStringLiteral("qbittorrent-nox: ") + qbt.error;
        }
        qbt.serverInfo.setClient(QStringLiteral("qBittorrent"));
        qbt.serverInfo.setAddress(qbittorrent.address());
        qbt.serverInfo.setPort(QString::number(qbittorrent.port()));
        qbt.serverInfo.setUsername(qbittorrent.username());
        qbt.serverInfo.setPassword(qbittorrent.password());
        if (!deluge.start(&del.error)) {
            del.error = QStringLiteral("Deluge: ") + del.error;
        }
        del.serverInfo.setClient(QStringLiteral("Deluge"));
        del.serverInfo.setAddress(deluge.address());
        del.serverInfo.setPort(QString::number(deluge.port()));
        del.serverInfo.setPassword(deluge.password());
        if (!daemon.start(&error)) {
            return;
        }
        serverInfo.setClient(QStringLiteral("Transmission"));
        serverInfo.setAddress(daemon.address());
        serverInfo.setPort(QString::number(daemon.port()));
        serverInfo.setUsername(daemon.username());
        serverInfo.setPassword(daemon.password());
    }

    NetContext net() { return NetContext{&cookies, session.get()}; }

    // A torrent transmission-daemon doesn't hold yet, so it really adds one: each benchmark
    // that sends takes its own; null once all are used (a torrent sent again would be refused).
    const demo::DemoTorrent* unsentTorrent() {
        return nextUnsent < size_t(site.torrents().size()) ? &site.torrents().at(nextUnsent++)
                                                           : nullptr;
    }
    // Any torrent, for the benchmarks that only fetch or ask: they take none of the unsent ones.
    const demo::DemoTorrent& someTorrent() {
        return site.torrents().at(nextRead++ % site.torrents().size());
    }
    QString urlOf(const demo::DemoTorrent& t) const {
        return site.siteUrl(QStringLiteral("/download/%1/bench.torrent").arg(t.id));
    }

    std::unique_ptr<Transmission> client(const demo::DemoTorrent& t) {
        auto c = std::make_unique<Transmission>();
        c->setAddress(daemon.address());
        c->setPort(QString::number(daemon.port()));
        c->setUsername(daemon.username());
        c->setPassword(daemon.password());
        c->setFilename(QStringLiteral("bench.torrent"));
        c->setFile(t.torrentFile);
        return c;
    }
};

Environment* env = nullptr;

bool ready(benchmark::State& state) {
    if (!env->error.isEmpty()) {
        state.SkipWithError(env->error.toStdString().c_str());
        return false;
    }
    return true;
}

void BM_PushToTransmissionDaemon(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    RemoteContext remote{env->net(), &env->serverInfo, &env->history, nullptr};
    for (auto _ : state) {
        const demo::DemoTorrent* unsent = env->unsentTorrent();
        if (!unsent) {
            state.SkipWithError("every torrent was sent already");
            return;
        }
        const demo::DemoTorrent& t = *unsent;
        FetchPageDownload push(env->urlOf(t), t.name, remote, nullptr, {});
        push.run();  // on this thread: its CPU time is the client's own work
        if (push.returnObject() != std::optional<QString>(t.name)) {
            state.SkipWithError("the push failed");
            return;
        }
    }
}
BENCHMARK(BM_PushToTransmissionDaemon)
    ->UseRealTime()
    ->Iterations(kAdds)
    ->Unit(benchmark::kMillisecond);

// A push end to end to one of the other clients, each time a torrent it doesn't hold yet.
void pushToClient(benchmark::State& state, ClientSettings& client) {
    if (!env->session || !client.error.isEmpty()) {
        state.SkipWithError(client.error.isEmpty() ? "the demo site did not start"
                                                   : client.error.toStdString().c_str());
        return;
    }
    RemoteContext remote{env->net(), &client.serverInfo, &client.history, nullptr};
    for (auto _ : state) {
        const demo::DemoTorrent& t = env->site.torrents().at(client.next++ % kTorrents);
        FetchPageDownload push(env->urlOf(t), t.name, remote, nullptr, {});
        push.run();
        if (push.outcome() != PushOutcome::Sent) {
            state.SkipWithError("the push failed");
            return;
        }
    }
}

void BM_PushToQBittorrent(benchmark::State& state) {
    pushToClient(state, env->qbt);
}
BENCHMARK(BM_PushToQBittorrent)->UseRealTime()->Iterations(kAdds)->Unit(benchmark::kMillisecond);

// The same torrent again: qBittorrent 4.5 answers "Fails.", then the info-hash lookup says it
// holds it.
void BM_DuplicatePushToQBittorrent(benchmark::State& state) {
    ClientSettings& client = env->qbt;
    if (!client.error.isEmpty() || client.next == 0) {
        state.SkipWithError("qBittorrent holds no torrent to push again");
        return;
    }
    RemoteContext remote{env->net(), &client.serverInfo, &client.history, nullptr};
    const demo::DemoTorrent& t = env->site.torrents().at(0);
    for (auto _ : state) {
        FetchPageDownload push(env->urlOf(t), t.name, remote, nullptr, {});
        push.run();
        if (push.outcome() != PushOutcome::AlreadyThere) {
            state.SkipWithError("the duplicate was not recognised");
            return;
        }
    }
}
BENCHMARK(BM_DuplicatePushToQBittorrent)->UseRealTime()->Unit(benchmark::kMillisecond);

// The sign-in alone: qBittorrent checks the password against its PBKDF2 hash each time.
void BM_QBittorrentSignIn(benchmark::State& state) {
    if (!env->qbt.error.isEmpty()) {
        state.SkipWithError(env->qbt.error.toStdString().c_str());
        return;
    }
    QBittorrent client;
    client.setAddress(env->qbittorrent.address());
    client.setPort(QString::number(env->qbittorrent.port()));
    client.setUsername(env->qbittorrent.username());
    client.setPassword(env->qbittorrent.password());
    for (auto _ : state) {
        client.setSessionId(env->net());
        if (client.signInState() != SignInState::Accepted) {
            state.SkipWithError("the sign-in was refused");
            return;
        }
    }
}
BENCHMARK(BM_QBittorrentSignIn)->UseRealTime()->Unit(benchmark::kMillisecond);

// The sign-in and the web.connected check a push makes before its add.
void BM_DelugeSignIn(benchmark::State& state) {
    if (!env->del.error.isEmpty()) {
        state.SkipWithError(env->del.error.toStdString().c_str());
        return;
    }
    Deluge client;
    client.setAddress(env->deluge.address());
    client.setPort(QString::number(env->deluge.port()));
    client.setPassword(env->deluge.password());
    for (auto _ : state) {
        client.setSessionId(env->net());
        if (client.signInState() != SignInState::Accepted) {
            state.SkipWithError("the sign-in was refused");
            return;
        }
    }
}
BENCHMARK(BM_DelugeSignIn)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_PushToDeluge(benchmark::State& state) {
    pushToClient(state, env->del);
}
BENCHMARK(BM_PushToDeluge)->UseRealTime()->Iterations(kAdds)->Unit(benchmark::kMillisecond);

void BM_FetchTorrentFromSite(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    for (auto _ : state) {
        UrlLoadRequest request;
        request.url = env->urlOf(env->someTorrent());
        benchmark::DoNotOptimize(loadUrl(request, env->cookies));
    }
}
BENCHMARK(BM_FetchTorrentFromSite)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_TransmissionHandshake(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    auto client = env->client(env->someTorrent());
    for (auto _ : state) {
        client->setSessionId(env->net());
        benchmark::DoNotOptimize(client->sessionId());
    }
}
BENCHMARK(BM_TransmissionHandshake)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_RefusedUpload(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    auto client = env->client(env->someTorrent());
    client->setSessionId(env->net());
    for (auto _ : state) {
        HttpRequest upload(client->getUrl(), env->net());
        upload.setType(QStringLiteral("POST"));
        upload.setClient(client.get());
        upload.setUsername(client->username());
        upload.setPassword(client->password());
        upload.request();
        benchmark::DoNotOptimize(upload.statusCode());
    }
}
BENCHMARK(BM_RefusedUpload)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_RpcTorrentAdd(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    for (auto _ : state) {
        const demo::DemoTorrent* unsent = env->unsentTorrent();
        if (!unsent) {
            state.SkipWithError("every torrent was sent already");
            return;
        }
        auto client = env->client(*unsent);
        client->setSessionIdValue(std::nullopt);  // the first RPC learns the id from its 409
        state.PauseTiming();
        client->setSessionId(env->net());
        state.ResumeTiming();
        if (addTorrentByRpc(*client, env->net()).outcome != PushOutcome::Sent) {
            state.SkipWithError("torrent-add failed");
            return;
        }
    }
}
BENCHMARK(BM_RpcTorrentAdd)->UseRealTime()->Iterations(kAdds)->Unit(benchmark::kMicrosecond);

void BM_HistoryAppend(benchmark::State& state) {
    if (!ready(state)) {
        return;
    }
    for (auto _ : state) {
        env->history.append(QStringLiteral("benchmark entry"));  // includes the durable flush
    }
}
BENCHMARK(BM_HistoryAppend)->UseRealTime()->Unit(benchmark::kMicrosecond);

// No network from here on: what the client computes for one push.

const QByteArray& sampleTorrent() {
    static const QByteArray bytes = [] {
        // About the size of a real single-file torrent: a 2 GB file in 4 MB pieces.
        QByteArray pieces(512 * 20, '\x5a');
        return QByteArray("d8:announce40:http://127.0.0.1:8410/announce.php?k=abc4:infod6:") +
               "lengthi2147483648e4:name12:movie.1080p.12:piece lengthi4194304e6:pieces" +
               QByteArray::number(pieces.size()) + ":" + pieces + "ee";
    }();
    return bytes;
}

void BM_BuildUploadBody(benchmark::State& state) {
    Transmission client;
    client.setFilename(QStringLiteral("movie.1080p.torrent"));
    client.setFile(sampleTorrent());
    client.setSessionIdValue(QStringLiteral("KuKxmRWx6BfsDsQhoiQztZAxoi6wIHyzXxdh2P2XaKoXfpVx"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(client.getData());
    }
    state.SetBytesProcessed(state.iterations() * sampleTorrent().size());
}
BENCHMARK(BM_BuildUploadBody)->Unit(benchmark::kMicrosecond);

void BM_TorrentInfoHashes(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(torrentInfoHashes(sampleTorrent()));
    }
    state.SetBytesProcessed(state.iterations() * sampleTorrent().size());
}
BENCHMARK(BM_TorrentInfoHashes)->Unit(benchmark::kMicrosecond);

void BM_BuildRpcRequest(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(torrentAddRequest(sampleTorrent()));
    }
    state.SetBytesProcessed(state.iterations() * sampleTorrent().size());
}
BENCHMARK(BM_BuildRpcRequest)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // the daemon runs under a QProcess
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    Environment environment;
    env = &environment;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    env = nullptr;
    return 0;
}
