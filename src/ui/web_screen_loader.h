#pragma once
// Finds and loads the web screens' plugin on first use, and only then: until a web screen is
// opened, no Qt WebEngine library is in the process. The plugin stays loaded for the rest of
// the run (a web engine cannot be unloaded safely). UI thread only.

#include <QPluginLoader>
#include <QString>
#include <QStringList>

namespace pelloran {

class WebScreenFactory;

// The web engine makes an OpenGL context when it starts, and Mesa then keeps a shader cache
// under the user's cache folder (~/.cache/mesa_shader_cache). This points it into
// `dataDirectory` + "/cache/mesa" instead, unless the environment already chose a place or
// switched the cache off. Call before the engine loads; child processes inherit it.
void keepDriverCachesIn(const QString& dataDirectory);

// Chromium won't run its sandbox as root: for root (and only then, unless the environment
// already decided) the web engine is told to go without it, once on stderr. Call before the
// engine loads.
void allowEngineAsRoot();

// Both of the above. The environment is set here, at start-up before any thread runs: other
// threads read it (libcurl its proxy variables), and changing it while they do is a race.
void prepareWebEngineEnvironment(const QString& dataDirectory);

class WebScreenLoader {
public:
    static constexpr char kPluginBaseName[] = "pelloran_web";

    // Looks for the plugin in `searchDirs`, in order.
    explicit WebScreenLoader(const QStringList& searchDirs = defaultSearchDirs());

    // Loads the plugin the first time; null when there is none or it could not be loaded
    // (errorString() says why).
    WebScreenFactory* factory();
    bool isLoaded() const { return factory_ != nullptr; }
    // factory() has been asked before (so asking again is quick, whatever it answered).
    bool wasTried() const { return tried_; }
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
