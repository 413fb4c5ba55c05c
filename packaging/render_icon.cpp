// Renders the app's SVG icon into a square PNG of the size asked for, at build time, for the
// hicolor icon theme folders of the package.
//
//   pelloran-render-icon SOURCE.svg SIZE OUTPUT.png

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[]) {
    // No display is needed to draw into an image.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    bool ok = false;
    const int size = args.size() == 4 ? args[2].toInt(&ok) : 0;
    if (!ok || size < 1 || size > 4096) {
        std::fputs("usage: pelloran-render-icon SOURCE.svg SIZE OUTPUT.png\n", stderr);
        return 2;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "pelloran-render-icon: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    if (!image.save(args[3], "PNG")) {
        std::fprintf(stderr, "pelloran-render-icon: cannot write %s\n", qPrintable(args[3]));
        return 1;
    }
    return 0;
}
