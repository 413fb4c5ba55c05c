// pelloran-bare-core: the baseline of a command-line run, a QCoreApplication linked with Qt
// Core alone that prints a version line the way pelloran-cli --version does, then exits.

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral("0.0.0"));
    std::printf("bare %s\n", qPrintable(QCoreApplication::applicationVersion()));
    return 0;
}
