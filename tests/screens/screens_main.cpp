// pelloran-screens OUTPUT_DIR [--scale F]: renders every screen of the app into OUTPUT_DIR.

#include "screens.h"

#include "ui/web_screen_loader.h"

#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <algorithm>
#include <cstdio>

using namespace pelloran;

namespace {
void setIfEmpty(const char* name, const QByteArray& value) {
    if (qEnvironmentVariableIsEmpty(name)) {
        qputenv(name, value);
    }
}
}  // namespace

int main(int argc, char* argv[]) {
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        // The web engine draws in software where there is no display.
        setIfEmpty("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
        setIfEmpty("QT_QUICK_BACKEND", "software");
    }
    if (::geteuid() == 0) {
        setIfEmpty("QTWEBENGINE_DISABLE_SANDBOX", "1");  // the engine's sandbox refuses root
    }
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: pelloran-screens OUTPUT_DIR [--scale F]\n");
        return 2;
    }
    const QString out = args[1];
    qreal scale = 1.5;
    const qsizetype at = args.indexOf(QStringLiteral("--scale"));
    if (at > 0 && at + 1 < args.size()) {
        scale = args[at + 1].toDouble();
    }
    QDir().mkpath(out);

    demo::DemoSite site;
    if (!site.start()) {
        std::fprintf(stderr, "pelloran-screens: the demo site did not start\n");
        return 1;
    }
    test::AppDriver::Options options;
    options.scale = scale;
    options.webPluginDirs = WebScreenLoader::defaultSearchDirs();
    test::AppDriver driver(site, options);
    int failures = 0;
    std::vector<screens::Shot> shots = screens::shellShots();
    for (screens::Shot& shot : screens::listShots()) {
        shots.push_back(std::move(shot));
    }
    for (screens::Shot& shot : screens::webShots()) {
        shots.push_back(std::move(shot));
    }
    for (screens::Shot& shot : screens::statsShots()) {
        shots.push_back(std::move(shot));
    }
    // The unreachable-site pictures stop the demo site: they go last.
    std::stable_partition(shots.begin(), shots.end(), [](const screens::Shot& shot) {
        return !shot.file.endsWith(QLatin1String("-unreachable.png"));
    });
    for (const screens::Shot& shot : shots) {
        const QImage image = shot.take(driver, site);
        const QString path = QDir(out).filePath(shot.file);
        if (image.isNull() || !image.save(path, "PNG")) {
            std::fprintf(stderr, "pelloran-screens: %s failed\n", qPrintable(shot.file));
            ++failures;
            continue;
        }
        std::printf("%s\n", qPrintable(path));
    }
    driver.quit();
    return failures == 0 ? 0 : 1;
}
