// How a run of the automatic push tells the member: one desktop notification through the
// freedesktop notification service on the session bus (here a fake service on a bus of the
// test's own), none when nothing new was found and nothing failed, the same line on stderr
// without a bus, and with --json the summary as one object.

#include "cli/cli_fixture.h"
#include "support/need_installed.h"
#include "text/qstring_printer.h"

#include <QDBusConnection>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QVariantMap>

namespace pelloran {
namespace {

class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Note {
        QString app;
        QString title;
        QString body;
        QVariantMap hints;
    };
    std::vector<Note> notes;

public Q_SLOTS:
    uint Notify(const QString& app, uint, const QString&, const QString& title, const QString& body,
                const QStringList&, const QVariantMap& hints, int) {
        notes.push_back({app, title, body, hints});
        return uint(notes.size());
    }
};

class CliNotifyTest : public CliTest {
protected:
    // A closed port: the client can't be reached, so a run fails without any real client.
    void chooseUnreachableClient() {
        test::TestServer closed;
        ASSERT_TRUE(closed.start());
        const int port = closed.port();
        closed.stop();
        ASSERT_EQ(setClient(QStringLiteral("Transmission"), QStringLiteral("127.0.0.1"), port,
                            QString(), QString()),
                  0);
    }

    void prepare() {
        ASSERT_EQ(signIn().exitCode, 0);
        ASSERT_EQ(cli({QStringLiteral("filters"), QStringLiteral("add"), QStringLiteral("x264")})
                      .exitCode,
                  0);
    }

    // Runs while this thread keeps serving the bus (the fake service answers from here).
    CliRun cliServingEvents(const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(PELLORAN_CLI_PATH), args);
        p.closeWriteChannel();
        EXPECT_TRUE(QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 60000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    const QStringList pushNew{QStringLiteral("favorites"), QStringLiteral("--push-new"),
                              QStringLiteral("--notify"),  QStringLiteral("--min-interval"),
                              QStringLiteral("0"),         QStringLiteral("--pages"),
                              QStringLiteral("1")};
};

TEST_F(CliNotifyTest, WithoutASessionBusTheNotificationIsALineAndJsonIsOneObject) {
    ASSERT_NO_FATAL_FAILURE(prepare());
    ASSERT_NO_FATAL_FAILURE(chooseUnreachableClient());
    QTemporaryDir runtime;
    for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "WAYLAND_DISPLAY"}) {
        env.remove(QString::fromLatin1(name));
    }
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());

    const CliRun run = cli(pushNew + QStringList{QStringLiteral("--json")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(
        QStringLiteral("Pelloran: automatic push failed: Transmission could not be reached.")))
        << run.err.toStdString();
    const QJsonDocument doc = QJsonDocument::fromJson(run.out.toUtf8());
    ASSERT_TRUE(doc.isObject()) << run.out.toStdString();
    const QJsonObject summary = doc.object();
    EXPECT_EQ(summary.value(QStringLiteral("problem")).toString(),
              QStringLiteral("clientUnreachable"));
    EXPECT_FALSE(summary.value(QStringLiteral("notSent")).toArray().isEmpty());
    EXPECT_EQ(summary.value(QStringLiteral("exitStatus")).toInt(), 1);
}

TEST_F(CliNotifyTest, OneNotificationPerRunAndNoneWhenNothingHappened) {
    const QString busDaemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    PELLORAN_NEED_INSTALLED(!busDaemon.isEmpty(), "dbus-daemon");
    PELLORAN_NEED_INSTALLED(daemonAvailable(), "transmission-daemon");
    QProcess bus;
    bus.start(busDaemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                          QStringLiteral("--print-address=1")});
    ASSERT_TRUE(bus.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    const auto stopBus = qScopeGuard([&bus] {
        bus.terminate();
        bus.waitForFinished(5000);
    });
    QDBusConnection connection =
        QDBusConnection::connectToBus(address, QStringLiteral("pelloran-notify-test"));
    ASSERT_TRUE(connection.isConnected());
    FakeNotifications service;
    ASSERT_TRUE(connection.registerObject(QStringLiteral("/org/freedesktop/Notifications"),
                                          &service, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(connection.registerService(QStringLiteral("org.freedesktop.Notifications")));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);

    ASSERT_NO_FATAL_FAILURE(prepare());
    ASSERT_NO_FATAL_FAILURE(chooseUnreachableClient());
    const CliRun failed = cliServingEvents(pushNew);
    EXPECT_EQ(failed.exitCode, 1);
    ASSERT_EQ(service.notes.size(), 1u) << failed.err.toStdString();
    EXPECT_EQ(service.notes[0].app, QStringLiteral("Pelloran"));
    EXPECT_EQ(service.notes[0].title, QStringLiteral("Pelloran: automatic push failed"));
    EXPECT_TRUE(service.notes[0].body.contains(QStringLiteral("could not be reached")));
    EXPECT_EQ(service.notes[0].hints.value(QStringLiteral("urgency")).toInt(), 2);
    EXPECT_FALSE(failed.err.contains(service.notes[0].title));  // told once, on the desktop

    test::TransmissionDaemon transmission;
    QString error;
    ASSERT_TRUE(transmission.start(&error)) << error.toStdString();
    ASSERT_EQ(setClient(QStringLiteral("Transmission"), transmission.address(), transmission.port(),
                        transmission.username(), transmission.password()),
              0);
    const CliRun sent = cliServingEvents(pushNew);
    EXPECT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    ASSERT_EQ(service.notes.size(), 2u);
    EXPECT_TRUE(service.notes[1].title.startsWith(QStringLiteral("Pelloran sent ")));
    EXPECT_TRUE(service.notes[1].body.contains(QStringLiteral("to Transmission")));

    const CliRun nothing = cliServingEvents(pushNew);
    EXPECT_EQ(nothing.exitCode, 0);
    EXPECT_EQ(service.notes.size(), 2u);
}

}  // namespace
}  // namespace pelloran

#include "cli_push_new_notify_test.moc"
