#pragma once
// The HTTP engine under the cookie store and every exchange: libcurl, with its cookie engine
// and kept-alive connections. It lives in the pelloran_transport module, loaded the first time
// a run needs cookies or the network: libcurl brings some thirty libraries (TLS, Kerberos, LDAP,
// SSH) whose loading costs more than all the rest of a command that makes no exchange.
//
// The module uses only this header and the header-only parts of url_loader.h and
// cancellation.h; it links nothing of the core. One engine per CookieStore. Thread-safe.

#include "net/url_loader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <thread>

namespace pelloran {

class HttpEngine {
public:
    virtual ~HttpEngine() = default;

    // The cookie engine's cookies as Netscape cookie file lines, expired ones left out.
    virtual QList<QByteArray> cookieLines() const = 0;
    // Sets the cookie of one Netscape line; an expired one deletes the cookie it names.
    virtual void addCookieLine(const QByteArray& line) = 0;
    virtual void clearCookies() = 0;

    // One exchange as url_loader.h describes it, with this engine's cookies unless the request
    // keeps its own. Blocks the calling thread; any thread.
    virtual UrlLoadResult load(const UrlLoadRequest& request) = 0;
};

// Loads the module on a thread of its own from construction on, so that a program about to
// make its first exchange doesn't wait for libcurl's libraries after reading its settings and
// cookies: the first makeHttpEngine() then finds it loaded (or waits for the rest). The
// destructor waits for the load to end; keep the object for the run.
class HttpEngineLoadAhead {
public:
    HttpEngineLoadAhead();
    ~HttpEngineLoadAhead();
    HttpEngineLoadAhead(const HttpEngineLoadAhead&) = delete;
    HttpEngineLoadAhead& operator=(const HttpEngineLoadAhead&) = delete;

private:
    std::thread thread_;
};

// A new engine from the module. When the module can't be loaded, an engine whose exchanges
// all fail and that holds no cookies: `problem` then says why, for the member.
std::unique_ptr<HttpEngine> makeHttpEngine(QString* problem);

}  // namespace pelloran
