// Every suite runs inside a QCoreApplication so that deliveries queued to the "UI thread"
// (this main thread) can be pumped with QTest::qWaitFor or QCoreApplication::processEvents.
#include <gtest/gtest.h>
#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
