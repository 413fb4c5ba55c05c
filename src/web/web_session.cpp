#include "web/web_session.h"

#include "net/operation_queue.h"
#include "web/cookie_bridge.h"
#include "web/page_scheme_handler.h"

#include <QOpenGLContext>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace QtWebEngineCore {
// Qt WebEngine's own set-up for an application that loads it after start-up (what
// QtWebEngineQuick::initialize() runs when called before the application exists): it creates
// the application-wide shared OpenGL context. Exported by the library, declared in no public
// header.
Q_DECL_IMPORT void initialize();
}  // namespace QtWebEngineCore

namespace pelloran::web {

namespace {
// The engine's memory cache: enough for the site's style sheets and pictures.
constexpr int kHttpCacheBytes = 16 * 1024 * 1024;
}  // namespace

void prepareWebEngine() {
    static bool prepared = false;
    if (prepared) {
        return;
    }
    prepared = true;
    PageSchemeHandler::registerScheme();
    // The app does not set Qt::AA_ShareOpenGLContexts at start (it would load the OpenGL
    // drivers into every run), so the engine, which needs that context and crashes without
    // it, gets it here: only runs that open a web screen pay for it.
    if (!QOpenGLContext::globalShareContext()) {
        QtWebEngineCore::initialize();
    }
}

WebSession::WebSession(CookieStore& cookies, QObject* parent) : QObject(parent) {
    prepareWebEngine();
    profile_ = new QWebEngineProfile(this);  // no name: off the record
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setHttpCacheMaximumSize(kHttpCacheBytes);
    profile_->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    pages_ = new PageSchemeHandler(this);
    profile_->installUrlSchemeHandler(PageSchemeHandler::kScheme, pages_);
    bridge_ = new CookieBridge(cookies, profile_->cookieStore(), this);
}

WebSession::~WebSession() {
    retired_.clear();  // each queue waits for its operations
    // The profile goes before its scheme handler and the bridge that watches its cookies.
    delete profile_;
}

void WebSession::retireQueue(std::unique_ptr<OperationQueue> queue) {
    pruneRetired();
    if (queue && queue->operationCount() > 0) {
        retired_.push_back(std::move(queue));
    }
}

void WebSession::pruneRetired() {
    std::erase_if(retired_, [](const std::unique_ptr<OperationQueue>& queue) {
        return queue->operationCount() == 0;
    });
}

}  // namespace pelloran::web
