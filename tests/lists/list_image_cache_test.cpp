// The list's cell images: our images by name with "cat_unknown.png" for a name we have none
// for, and pictures by address, each asked for once, three at a time, scaled when they arrive.

#include "lists/list_image_cache.h"
#include "net/cookie_store.h"
#include "support/test_server.h"
#include "ui/image_library.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <chrono>
#include <thread>

namespace pelloran {
namespace {

std::string pngOf(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

TEST(ListImageCache, ANameWithoutImageShowsTheUnknownCategoryImage) {
    CookieStore cookies;
    OperationQueue queue(3);
    ListImageCache cache({&cookies, nullptr}, queue);
    const QSize points(33, 33);
    EXPECT_TRUE(cache.image(std::nullopt, points, 1.5, 1).isNull());
    ASSERT_TRUE(ImageLibrary::has(QStringLiteral("hd.png")));
    ASSERT_FALSE(ImageLibrary::has(QStringLiteral("holo.png")));
    const QImage unknown = cache.image(QStringLiteral("holo.png"), points, 1.5, 1).toImage();
    const QImage expected =
        ImageLibrary::pixmap(QStringLiteral("cat_unknown.png"), QSize(50, 50), 1).toImage();
    ASSERT_FALSE(unknown.isNull());
    EXPECT_EQ(unknown.convertToFormat(QImage::Format_ARGB32),
              expected.convertToFormat(QImage::Format_ARGB32));
    EXPECT_NE(cache.image(QStringLiteral("hd.png"), points, 1.5, 1).toImage(), unknown);
    EXPECT_EQ(cache.pictureCount(), 0);  // our images never touch the network
}

TEST(ListImageCache, PicturesAreAskedOnceThreeAtATimeAndScaledOnArrival) {
    test::TestServer server;
    std::atomic<int> running{0};
    std::atomic<int> mostRunning{0};
    const std::string png = pngOf(QSize(200, 100));
    server.server().Get(R"(/pics/(\d+)\.png)", [&](const httplib::Request&,
                                                   httplib::Response& res) {
        const int now = ++running;
        for (int seen = mostRunning; now > seen && !mostRunning.compare_exchange_weak(seen, now);) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        --running;
        res.set_content(png, "image/png");
    });
    ASSERT_TRUE(server.start());

    CookieStore cookies;
    OperationQueue queue(3);
    ListImageCache cache({&cookies, nullptr}, queue);
    QSignalSpy arrived(&cache, &ListImageCache::imageArrived);
    const QSize points(33, 33);
    QStringList urls;
    for (int i = 0; i < 6; ++i) {
        urls.append(server.url(QStringLiteral("/pics/%1.png").arg(i)));
    }
    for (const QString& url : urls) {
        EXPECT_TRUE(cache.image(url, points, 2, 1).isNull());  // the placeholder, for now
        EXPECT_TRUE(cache.image(url, points, 2, 1).isNull());  // asked again: no second load
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived.count() == 6; }, 20000));
    EXPECT_EQ(server.requestCount(), 6u);
    EXPECT_EQ(mostRunning.load(), 3);
    EXPECT_EQ(cache.pictureCount(), 6);
    for (const QString& url : urls) {
        const QPixmap pm = cache.image(url, points, 2, 1);
        ASSERT_FALSE(pm.isNull()) << url.toStdString();
        EXPECT_EQ(pm.size(), QSize(96, 72));  // 48 by 36 points at 2 pixels a point
    }
    EXPECT_EQ(server.requestCount(), 6u);
}

}  // namespace
}  // namespace pelloran
