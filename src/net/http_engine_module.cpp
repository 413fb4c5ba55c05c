// The HTTP engine comes from the pelloran_transport module (see own_module.h). Without the
// module no exchange can be made: each fails as a lost connection would, and the reason is
// told once on the program's log, since nothing else would say why every page is missing.
// The cookies file is left as it is: the missing engine holds no cookies, so a save finds
// nothing of its own to write.

#include "net/http_engine.h"
#include "store/own_module.h"

#include <QDebug>
#include <mutex>

namespace pelloran {

namespace {

class MissingEngine : public HttpEngine {
public:
    QList<QByteArray> cookieLines() const override { return {}; }
    void addCookieLine(const QByteArray&) override {}
    void clearCookies() override {}
    UrlLoadResult load(const UrlLoadRequest&) override { return {}; }
};

// libcurl's thirty libraries resolve their symbols among themselves first (RTLD_DEEPBIND)
// rather than walking every library of the program before their own: loading them takes a
// third less. Nothing in them is meant to be overridden by the program. AddressSanitizer
// can't follow such a library, so its builds load it the ordinary way.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PELLORAN_ADDRESS_SANITIZER
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(PELLORAN_ADDRESS_SANITIZER)
const QLibrary::LoadHints kEngineLoadHints = {};
#else
const QLibrary::LoadHints kEngineLoadHints = QLibrary::DeepBindHint;
#endif

// A function of the transport module, loading it the first time.
QFunctionPointer transportFunction(const char* symbol, QString* why) {
    return ownModuleFunction(QStringLiteral("pelloran_transport"), symbol, why, kEngineLoadHints);
}

}  // namespace

HttpEngineLoadAhead::HttpEngineLoadAhead()
    : thread_([] {
          // libcurl's own start (its TLS library's mostly) is as costly as a page; done here too.
          using Prepare = void (*)();
          if (const auto prepare = reinterpret_cast<Prepare>(
                  transportFunction("pelloranPrepareHttpEngine", nullptr))) {
              prepare();
          }
      }) {}

HttpEngineLoadAhead::~HttpEngineLoadAhead() {
    thread_.join();
}

std::unique_ptr<HttpEngine> makeHttpEngine(QString* problem) {
    using Make = HttpEngine* (*)();
    QString why;
    if (const auto make =
            reinterpret_cast<Make>(transportFunction("pelloranMakeHttpEngine", &why))) {
        return std::unique_ptr<HttpEngine>(make());
    }
    static std::once_flag told;
    std::call_once(told, [&why] { qWarning().noquote() << "pelloran: no network:" << why; });
    if (problem) {
        *problem = why;
    }
    return std::make_unique<MissingEngine>();
}

}  // namespace pelloran
