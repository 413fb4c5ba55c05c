// A large picture kept in the data folder is the very picture drawn from its source, read back
// at the next start; a damaged or foreign file is drawn again.

#include "ui/image_library.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPixmapCache>
#include <QTemporaryDir>
#include <QThreadPool>

namespace pelloran {
namespace {

TEST(ImageLibraryTest, AKeptPictureIsTheDrawnOneReadBack) {
    QTemporaryDir home;
    const QString folder = QDir(home.path()).filePath(QStringLiteral("cache/images"));
    ImageLibrary::setKeptFolder(folder);
    const QString name = QStringLiteral("loginBack.png");
    const QSize size(320, 480);
    const QImage drawn = ImageLibrary::pixmap(name, size, 1.5).toImage();
    ASSERT_FALSE(drawn.isNull());

    QPixmapCache::clear();
    EXPECT_EQ(ImageLibrary::keptPixmap(name, size, 1.5).toImage(), drawn);  // drawn, then kept
    QThreadPool::globalInstance()->waitForDone();
    const QStringList kept = QDir(folder).entryList(QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    const QString file = QDir(folder).filePath(kept.first());

    const struct {
        const char* what;
        std::function<void()> damage;
    } cases[] = {
        {"as written", [] {}},
        {"cut short", [&] { QFile(file).resize(1000); }},
        {"empty", [&] { QFile(file).resize(0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QThreadPool::globalInstance()->waitForDone();
        c.damage();
        QPixmapCache::clear();
        const QPixmap again = ImageLibrary::keptPixmap(name, size, 1.5);
        EXPECT_EQ(again.toImage(), drawn);
        EXPECT_EQ(again.devicePixelRatio(), 1.5);
    }
    // Another size is another file; the one of this size stays.
    QPixmapCache::clear();
    ImageLibrary::keptPixmap(name, QSize(200, 300), 1.5);
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);
    ImageLibrary::setKeptFolder(QString());
}

}  // namespace
}  // namespace pelloran
