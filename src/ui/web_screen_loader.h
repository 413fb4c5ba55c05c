#pragma once
// Finds and loads the web screens' plugin on first use, and only then: until a web screen is
// opened, no Qt WebEngine library is in the process. The plugin stays loaded for the rest of
// the run (a web engine cannot be unloaded safely). UI thread only.

#include <QPluginLoader>
#include <QString>
#include <QStringList>

namespace pelloran {

class WebScreenFactory;

class WebScreenLoader {
public:
    static constexpr char kPluginBaseName[] = "pelloran_web";

    // Looks for the plugin in `searchDirs`, in order.
    explicit WebScreenLoader(const QStringList& searchDirs = defaultSearchDirs());

    // Loads the plugin the first time; null when there is none or it could not be loaded
    // (errorString() says why).
    WebScreenFactory* factory();
    bool isLoaded() const { return factory_ != nullptr; }
    // Uses `factory` instead of looking for the plugin (the web screens linked into a test
    // program). Before the first factory() call.
    void useFactory(WebScreenFactory* factory);
    QString errorString() const { return error_; }

    // The executable's folder, the installed plugin folder (../lib/pelloran from it), then the
    // build tree's.
    static QStringList defaultSearchDirs();

private:
    QStringList searchDirs_;
    QPluginLoader loader_;
    bool tried_ = false;
    WebScreenFactory* factory_ = nullptr;
    QString error_;
};

}  // namespace pelloran
