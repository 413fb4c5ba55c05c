// The web suites run inside a QApplication set up as the app sets itself up, with the engine
// drawing in software offscreen. The engine's home folders point at an empty folder of the
// run's own, so a test can tell whether the engine wrote anything outside PELLORAN_HOME.
#include "ui/web_screen_loader.h"
#include "web_fixture.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <QTemporaryDir>

namespace {

void setIfEmpty(const char* name, const QByteArray& value) {
    if (qEnvironmentVariableIsEmpty(name)) {
        qputenv(name, value);
    }
}

}  // namespace

int main(int argc, char** argv) {
    setIfEmpty("QT_QPA_PLATFORM", "offscreen");
    setIfEmpty("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    setIfEmpty("QT_QUICK_BACKEND", "software");
    if (::geteuid() == 0) {
        setIfEmpty("QTWEBENGINE_DISABLE_SANDBOX", "1");  // the engine's sandbox refuses root
    }
    QTemporaryDir engineHome;
    const QByteArray home = engineHome.path().toUtf8();
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
        qputenv(name, name == std::string("HOME") ? home : home + "/" + name);
    }
    pelloran::test::engineHomePath = engineHome.path();
    // As the app does before the engine loads: the driver's caches go to the app's folder.
    QTemporaryDir appHome;
    pelloran::keepDriverCachesIn(appHome.path());
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
