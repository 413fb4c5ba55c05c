// pelloran-screens OUTPUT_DIR [--scale F]: renders every screen of the app into OUTPUT_DIR.

#include "screens.h"

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

// A picture of nothing: a window that never drew (black, or one background colour all over).
bool isFlat(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRgb first = rgb.pixel(0, 0);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (line[x] != first) {
                return false;
            }
        }
    }
    return true;
}

// Why a picture is not one of a working screen, or "" when it is.
QString whatIsWrong(const screens::Shot& shot, const QImage& image, test::AppDriver& driver) {
    if (image.isNull()) {
        return QStringLiteral("no picture");
    }
    if (isFlat(image)) {
        return QStringLiteral("one flat colour");
    }
    return shot.lacks ? shot.lacks(driver) : QString();
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
#ifdef PELLORAN_WEB_PLUGIN_DIR
    options.webPluginDirs = {QStringLiteral(PELLORAN_WEB_PLUGIN_DIR)};
#endif
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
        const QString wrong = whatIsWrong(shot, image, driver);
        if (!wrong.isEmpty() || !image.save(path, "PNG")) {
            std::fprintf(stderr, "pelloran-screens: %s failed: %s\n", qPrintable(shot.file),
                         qPrintable(wrong.isEmpty() ? QStringLiteral("not saved") : wrong));
            ++failures;
            continue;
        }
        std::printf("%s\n", qPrintable(path));
    }
    driver.quit();
    return failures == 0 ? 0 : 1;
}
