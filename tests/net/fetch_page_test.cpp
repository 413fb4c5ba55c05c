// Background fetches: delivery on the UI thread, on the operation's own thread, in page order
// among parallel siblings, and not at all without a callback; the queues and the image loader.

#include "net/fetch_page.h"
#include "net/http_request.h"
#include "support/net_fixture.h"
#include "ui/image_loader.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QThread>
#include <mutex>
#include <thread>

namespace pelloran {
namespace {

using test::NetFixture;

class FetchPageTest : public NetFixture {
protected:
    void SetUp() override {
        server.server().Get(
            R"(/page/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
                const int page = std::stoi(req.matches[1]);
                // Later pages answer first: page 5 at once, page 1 last.
                std::this_thread::sleep_for(std::chrono::milliseconds((5 - page) * 60));
                res.set_content("page " + std::to_string(page), "text/plain");
            });
        server.server().Get("/picture.png", [](const httplib::Request&, httplib::Response& res) {
            QImage image(20, 10, QImage::Format_ARGB32);
            image.fill(Qt::red);
            QByteArray png;
            QBuffer buffer(&png);
            image.save(&buffer, "PNG");
            res.set_content(png.toStdString(), "image/png");
        });
        server.server().Get("/not-a-picture", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<html>no</html>", "text/html");
        });
        startServer();
    }

    std::unique_ptr<FetchPageGeneric> fetch(int page, QObject* context,
                                            FetchPageGeneric::Callback callback) {
        NetContext n = net();
        return std::make_unique<FetchPageGeneric>(
            server.url(QStringLiteral("/page/%1").arg(page)),
            [n](const QString& url) { return std::make_unique<HttpRequest>(url, n); }, context,
            std::move(callback));
    }
};

TEST_F(FetchPageTest, DeliversOnUiThreadAndNothingWithoutCallback) {
    OperationQueue queue(1);
    QObject context;
    std::vector<QString> got;
    Qt::HANDLE deliveredOn = nullptr;
    queue.addOperation(fetch(2, &context, {}));  // no callback: fetched, never delivered
    queue.addOperation(fetch(3, &context, [&](std::optional<QString> text) {
        deliveredOn = QThread::currentThreadId();
        got.push_back(text.value_or(QStringLiteral("absent")));
    }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !got.empty(); }, 5000));
    queue.waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(got, std::vector<QString>{QStringLiteral("page 3")});
    EXPECT_EQ(deliveredOn, QThread::currentThreadId());
    EXPECT_EQ(server.requestCount(), 2u);
}

TEST_F(FetchPageTest, DeliveryToVanishedContextIsDropped) {
    OperationQueue queue(1);
    int calls = 0;
    {
        QObject context;
        queue.addOperation(fetch(4, &context, [&](std::optional<QString>) { ++calls; }));
        queue.waitForDone();  // delivered to the event queue, context then destroyed
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 0);
}

TEST_F(FetchPageTest, OperationThreadDeliveryRunsOnQueueThread) {
    OperationQueue queue(1);
    std::atomic<Qt::HANDLE> deliveredOn{nullptr};
    auto op = fetch(5, nullptr,
                    [&](std::optional<QString>) { deliveredOn = QThread::currentThreadId(); });
    op->setDeliveryThread(DeliveryThread::Operation);
    queue.addOperation(std::move(op));
    queue.waitForDone();  // no event processing needed
    ASSERT_NE(deliveredOn.load(), nullptr);
    EXPECT_NE(deliveredOn.load(), QThread::currentThreadId());
}

TEST_F(FetchPageTest, ParallelPagesArriveInPageOrder) {
    for (const int count : {5, 1}) {
        OperationQueue queue(10);
        QObject context;
        std::vector<QString> got;
        auto order = std::make_shared<PageOrder>(1, count);
        for (int page = 1; page <= count; ++page) {
            auto op = fetch(page, &context, [&](std::optional<QString> text) {
                got.push_back(text.value_or(QString()));
            });
            op->setPageOrder(order, page, page == 1 ? std::nullopt : std::optional<int>(page - 1));
            queue.addOperation(std::move(op));
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return got.size() == size_t(count); }, 10000));
        std::vector<QString> expected;
        for (int page = 1; page <= count; ++page) {
            expected.push_back(QStringLiteral("page %1").arg(page));
        }
        EXPECT_EQ(got, expected);
    }
}

TEST_F(FetchPageTest, SerialQueueRunsInOrderAndCountsPending) {
    struct Record : Operation {
        Record(std::vector<int>& log, std::mutex& m, int id) : log(log), m(m), id(id) {}
        void run() override {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            std::lock_guard lock(m);
            log.push_back(id);
        }
        std::vector<int>& log;
        std::mutex& m;
        int id;
    };
    std::vector<int> log;
    std::mutex m;
    OperationQueue queue(1);
    for (int i = 0; i < 8; ++i) {
        queue.addOperation(std::make_unique<Record>(log, m, i));
    }
    EXPECT_GT(queue.operationCount(), 0);
    queue.waitForDone();
    EXPECT_EQ(queue.operationCount(), 0);
    EXPECT_EQ(log, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(FetchPageTest, ImageLoaderDeliversPicturesOnly) {
    OperationQueue queue(3);
    QObject context;
    std::vector<std::pair<QString, QSize>> got;
    auto record = [&](const QString& url, const QImage& image) {
        got.emplace_back(url, image.size());
    };
    const QString picture = server.url(QStringLiteral("/picture.png"));
    queue.addOperation(std::make_unique<ImageLoader>(picture, net(), &context, record));
    queue.addOperation(std::make_unique<ImageLoader>(server.url(QStringLiteral("/not-a-picture")),
                                                     net(), &context, record));
    queue.waitForDone();
    QCoreApplication::processEvents();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].first, picture);
    EXPECT_EQ(got[0].second, QSize(20, 10));
    // A plain GET: none of the page headers.
    for (const auto& r : server.requests()) {
        EXPECT_FALSE(r.hasHeader("Content-Type"));
    }
}

}  // namespace
}  // namespace pelloran
