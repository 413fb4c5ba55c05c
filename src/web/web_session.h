#pragma once
// What every web screen of one window shares: one web profile, kept off the record (the core's
// cookie store is the one persistent jar, and the engine writes nothing to disk), the bridge
// that keeps the two cookie stores in step, the server of long page texts, and the queues of
// screens that were closed while a fetch of theirs still ran.
//
// Made when the first web screen opens, a child of the window: destroyed after the screens
// (their pages must go before the profile) and before the app's services. UI thread only.

#include <QObject>
#include <memory>
#include <vector>

class QWebEngineProfile;

namespace pelloran {
class CookieStore;
class OperationQueue;
}  // namespace pelloran

namespace pelloran::web {

class CookieBridge;
class PageSchemeHandler;

class WebSession : public QObject {
    Q_OBJECT
public:
    // Brings the engine up first (prepareWebEngine()).
    WebSession(CookieStore& cookies, QObject* parent = nullptr);
    // Waits for the retired queues' last operations.
    ~WebSession() override;

    QWebEngineProfile* profile() const { return profile_; }
    CookieBridge& cookieBridge() const { return *bridge_; }
    PageSchemeHandler& pages() const { return *pages_; }

    // Takes the queue of a screen that is going away. Its operations run to their end (they
    // deliver nothing to a screen that is gone); the UI thread never waits for them.
    void retireQueue(std::unique_ptr<OperationQueue> queue);
    int retiredQueueCount() const { return int(retired_.size()); }

private:
    void pruneRetired();

    QWebEngineProfile* profile_;
    PageSchemeHandler* pages_;
    CookieBridge* bridge_;
    std::vector<std::unique_ptr<OperationQueue>> retired_;
};

// Starts Qt WebEngine inside the running app: registers the page scheme and makes the shared
// OpenGL context the engine draws with. Once per process, before any web engine object.
void prepareWebEngine();

}  // namespace pelloran::web
