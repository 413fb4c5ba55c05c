// The torrent details page: fetched on its own queue, cut down, its toolbar, the torrent
// script, pages of any size, and the way back to the details page.

#include "net/operation_queue.h"
#include "page_server.h"
#include "ui/colors.h"
#include "ui/loading_indicator.h"
#include "web/bar_buttons.h"
#include "web/page_scheme_handler.h"
#include "web/torrent_web_view_controller.h"
#include "web_fixture.h"

#include <QChildEvent>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEngineView>

namespace pelloran::test {
namespace {

using web::TorrentWebViewController;

// The colour a web view's first frame is cleared with (the view draws through a Qt Quick
// widget made with the page's first load).
class FirstFrameColour : public QObject {
public:
    explicit FirstFrameColour(QWidget* view) { view->installEventFilter(this); }
    QColor colour;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ChildPolished) {
            if (auto* quick =
                    qobject_cast<QQuickWidget*>(static_cast<QChildEvent*>(event)->child())) {
                connect(
                    quick->quickWindow(), &QQuickWindow::beforeRendering, this,
                    [this, window = quick->quickWindow()] {
                        if (!colour.isValid()) {
                            colour = window->color();
                        }
                    },
                    Qt::DirectConnection);
            }
        }
        return false;
    }
};

class DetailsScreenTest : public WebFixture {
protected:
    TorrentWebViewController* open(const QString& url, int tag = 7) {
        return show(
            std::make_unique<TorrentWebViewController>(webSession(), context(), url, tag, &list));
    }
    const demo::DemoTorrent& torrent(bool withImdb) const {
        for (const demo::DemoTorrent& t : site.torrents()) {
            if (t.imdbId.isEmpty() != withImdb && t.comments > 0) {
                return t;
            }
        }
        return site.torrents().front();
    }
};

TEST_F(DetailsScreenTest, ShowsTheTorrentBlockWithItsToolbarAndSendsItsRowThroughTheList) {
    ASSERT_NO_FATAL_FAILURE(signIn());
    for (const bool withImdb : {true, false}) {
        SCOPED_TRACE(withImdb ? "with an IMDb link" : "without an IMDb link");
        const demo::DemoTorrent& t = torrent(withImdb);
        list = FakeListTarget();
        TorrentWebViewController* details = open(site.siteUrl(t.detailsHref), 7);
        FirstFrameColour first(details->webView());
        ASSERT_TRUE(waitForLoads(details));
        // The view's first frame, drawn before the page has drawn, is the dark page colour.
        ASSERT_TRUE(waitFor([&] { return first.colour.isValid(); }));
        EXPECT_EQ(first.colour, colors::listBackground());
        QWebEnginePage* page = details->webPage();

        // Cut to the torrent block, with the site's style sheet taken from the site.
        EXPECT_TRUE(
            js(page, QStringLiteral("document.getElementById('torrent') !== null")).toBool());
        EXPECT_TRUE(
            js(page, QStringLiteral("document.getElementById('memberBar') === null")).toBool());
        EXPECT_TRUE(js(page, QStringLiteral("document.getElementById('downloadButton') === null"))
                        .toBool());
        EXPECT_TRUE(waitFor([&] {
            return requestCount(QStringLiteral("site"), QStringLiteral("/css/site.css")) > 0;
        }));

        if (withImdb) {
            EXPECT_EQ(details->imdb(),
                      QStringLiteral("http://www.imdb.com/title/") + t.imdbId + QLatin1Char('/'));
            ASSERT_NE(details->imdbButton(), nullptr);
        } else {
            EXPECT_FALSE(details->imdb().has_value());
            EXPECT_EQ(details->imdbButton(), nullptr);  // forward and download only
        }
        EXPECT_TRUE(details->forwardButton()->isVisibleTo(details->rightBarWidget()));
        EXPECT_EQ(details->stackCounter(), 1);
        EXPECT_FALSE(LoadingIndicator::sharedInstance().isShown());
        EXPECT_GE(list.loaded, 1) << "the list gets its rows and tabs back";

        QTest::mouseClick(details->downloadButton(), Qt::LeftButton);
        EXPECT_EQ(list.taps, std::vector<int>{7});
    }
}

TEST_F(DetailsScreenTest, TheTorrentScriptTreatsEveryLinkAndTorrentLinksStayInert) {
    PageServer pages;
    ASSERT_TRUE(pages.start());
    useSiteHost(pages.hostPort());
    TorrentWebViewController* details = open(pages.url(QStringLiteral("/torrent/1/Links")));
    ASSERT_TRUE(waitForLoads(details));
    QWebEnginePage* page = details->webPage();

    // The anchor without an address comes first; the links after it are treated all the same.
    EXPECT_EQ(js(page, QStringLiteral("document.querySelectorAll('a[target=\"_blank\"]').length"))
                  .toInt(),
              0);
    EXPECT_EQ(js(page, QStringLiteral("document.querySelectorAll('a[href$=\"torrent\"]').length"))
                  .toInt(),
              0);
    EXPECT_EQ(
        js(page, QStringLiteral("document.getElementById('next').getAttribute('href')")).toString(),
        QStringLiteral("/torrent/2/Next"));

    // Neither a tap on the inert link nor a script sent there reaches the .torrent; the page
    // stays, and a link elsewhere still works.
    QSignalSpy refused(details->webPage(), &web::WebPage::navigationRefused);
    js(page, QStringLiteral("document.getElementById('file').click()"));
    js(page, QStringLiteral("location.href = '/download/1/Links.torrent'"));
    ASSERT_TRUE(waitFor([&] { return refused.count() == 1; }));
    js(page, QStringLiteral("document.getElementById('next').click()"));
    ASSERT_TRUE(waitFor([&] {
        return js(page, QStringLiteral("document.getElementById('next-page') !== null")).toBool();
    }));
    for (const RecordedRequest& r : pages.requests()) {
        EXPECT_EQ(r.path.rfind("/download/", 0), std::string::npos) << r.path;
    }
    EXPECT_TRUE(list.taps.empty());
}

TEST_F(DetailsScreenTest, AThreeMegabytePageShowsWithTheSitesAddressAsItsBase) {
    PageServer pages;
    ASSERT_TRUE(pages.start());
    useSiteHost(pages.hostPort());
    TorrentWebViewController* details = open(pages.url(QStringLiteral("/torrent/3/Big")));
    ASSERT_TRUE(waitForLoads(details));
    ASSERT_TRUE(details->result().has_value());
    EXPECT_GT(details->result()->size(), 3 * 1024 * 1024);
    QWebEnginePage* page = details->webPage();

    EXPECT_EQ(page->url().scheme(), QLatin1String(web::PageSchemeHandler::kScheme));
    EXPECT_TRUE(js(page, QStringLiteral("document.getElementById('end') !== null")).toBool());
    EXPECT_TRUE(js(page, QStringLiteral("document.body.innerText.indexOf('Caf\u00e9 notes') >= 0"))
                    .toBool());
    EXPECT_EQ(js(page, QStringLiteral("document.getElementById('rel').href")).toString(),
              pages.url(QStringLiteral("/torrent/2/Next")));
    EXPECT_EQ(
        js(page, QStringLiteral("getComputedStyle(document.querySelector('#torrent h2')).color"))
            .toString(),
        QString::fromLatin1(PageServer::kHeadingColour));
    EXPECT_EQ(details->stackCounter(), 1);

    // The page is held while the screen shows it, and no longer.
    EXPECT_EQ(web->pages().pageCount(), 1);
    screens.clear();
    EXPECT_EQ(web->pages().pageCount(), 0);
}

TEST_F(DetailsScreenTest, ThePreviousPageButtonAlwaysLeadsBackToTheDetailsPage) {
    ASSERT_NO_FATAL_FAILURE(signIn());
    const demo::DemoTorrent& t = torrent(false);
    TorrentWebViewController* details = open(site.siteUrl(t.detailsHref));
    ASSERT_TRUE(waitForLoads(details));
    QWebEnginePage* page = details->webPage();
    const auto onDetails = [&] {
        return js(page, QStringLiteral("document.getElementById('torrent') !== null")).toBool();
    };
    const auto followUploaderLink = [&](int loads) {
        js(page, QStringLiteral("document.querySelector('a[href^=\"/profile/\"]').click()"));
        return waitForLoads(details, loads) && !onDetails();
    };

    // The uploader's profile, fetched by the engine with the app's session: a signed-in page.
    ASSERT_TRUE(followUploaderLink(2));
    EXPECT_TRUE(page->title().startsWith(QStringLiteral("Profile of")))
        << page->title().toStdString();
    EXPECT_TRUE(details->previousButton()->isEnabled());
    EXPECT_FALSE(details->forwardButton()->isEnabled());

    // A second page, from the profile's own links: the site's browse list.
    js(page, QStringLiteral("document.querySelector('#nav a[href=\"/torrents/browse\"]').click()"));
    ASSERT_TRUE(waitForLoads(details, 3));
    ASSERT_EQ(page->url().path(), QStringLiteral("/torrents/browse"));

    // Back through the view's history to the profile, then to the details page.
    QTest::mouseClick(details->previousButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForLoads(details, 4));
    EXPECT_TRUE(page->title().startsWith(QStringLiteral("Profile of")));
    EXPECT_TRUE(details->forwardButton()->isEnabled());
    QTest::mouseClick(details->previousButton(), Qt::LeftButton);
    ASSERT_TRUE(waitForLoads(details, 5));
    EXPECT_TRUE(onDetails());

    // With no history to go back to, the details page is shown again all the same.
    ASSERT_TRUE(followUploaderLink(6));
    page->history()->clear();
    ASSERT_FALSE(page->history()->canGoBack());
    EXPECT_TRUE(details->previousButton()->isEnabled());  // the page after the first one
    QTest::mouseClick(details->previousButton(), Qt::LeftButton);
    EXPECT_EQ(details->stackCounter(), 0);
    ASSERT_TRUE(waitForLoads(details, 7));
    EXPECT_TRUE(onDetails());
    EXPECT_EQ(details->stackCounter(), 1);
}

TEST_F(DetailsScreenTest, ALostSessionNeverHoldsTheWindowNorTheWayOut) {
    // No sign-in: the site answers with its login page, and every re-login fails.
    int relogins = 0;
    session.setShowLogin(true);
    session.setReloginHandler([&] {
        ++relogins;
        session.reloginFailed();
    });
    TorrentWebViewController* details = open(site.siteUrl(torrent(false).detailsHref));

    // The window goes on working while the fetch waits for a sign-in, the overlay up.
    bool ticked = false;
    QTimer::singleShot(0, [&] { ticked = true; });
    ASSERT_TRUE(waitFor([&] { return ticked && relogins > 0; }));
    EXPECT_EQ(details->operationQueue().operationCount(), 1);
    EXPECT_TRUE(LoadingIndicator::sharedInstance().isShown());

    // Leaving does not wait for the fetch: the session keeps its queue until it ends.
    details->cancel();
    screens.clear();
    EXPECT_EQ(web->retiredQueueCount(), 1);
    EXPECT_FALSE(LoadingIndicator::sharedInstance().isShown());
    session.abandonWaits();  // as the app does when nobody can sign in any more
}

TEST_F(DetailsScreenTest, AServerAskingForCredentialsGetsNone) {
    TestServer locked;
    locked.server().Get(R"(/.*)", [](const httplib::Request&, httplib::Response& res) {
        res.status = 401;
        res.set_header("WWW-Authenticate", "Basic realm=\"elsewhere\"");
        res.set_content("locked", "text/plain");
    });
    ASSERT_TRUE(locked.start());
    PageServer pages;
    const std::string frame = locked.url(QStringLiteral("/frame")).toStdString();
    const std::string image = locked.url(QStringLiteral("/image.png")).toStdString();
    pages.server().Get("/torrent/4/Locked", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(PageServer::detailsPage(
                            QStringLiteral("<h2>Locked</h2><iframe src=\"%1\">"
                                           "</iframe><img src=\"%2\">")
                                .arg(QString::fromStdString(frame), QString::fromStdString(image)))
                            .toStdString(),
                        "text/html; charset=utf-8");
    });
    ASSERT_TRUE(pages.start());
    useSiteHost(pages.hostPort());
    TorrentWebViewController* details = open(pages.url(QStringLiteral("/torrent/4/Locked")));
    ASSERT_TRUE(waitForLoads(details));
    ASSERT_TRUE(waitFor([&] { return locked.requestCount() >= 1; }));
    QTest::qWait(500);  // room for the answers the engine would send
    for (const RecordedRequest& r : locked.requests()) {
        EXPECT_FALSE(r.hasHeader("Authorization")) << r.path;
    }
    EXPECT_LE(locked.requestCount(), 2u);  // the frame and the image, each asked once
}

}  // namespace
}  // namespace pelloran::test
