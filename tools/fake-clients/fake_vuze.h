#pragma once
// Loopback stand-in for Vuze with the Azureus Web UI plug-in: takes a .torrent upload posted to
// "/index.tmpl?d=u&local=1" as the form part "upfile_0" and serves a small web UI page at "/".

#include "fake_client_base.h"

namespace pelloran::fake {

inline constexpr char kVuzeWebUiTitle[] = "Vuze Web UI";

// Answers:
//  GET  "/"                       200, the web UI page (title kVuzeWebUiTitle, a relative
//                                 stylesheet link to "styles/vuze.css", which is served too)
//  POST "/index.tmpl?d=u&local=1" 200 and a small page when the well-formed form-data body holds
//                                 a part "upfile_0" with a filename parameter and non-empty
//                                 content (recorded as an added torrent; other parts such as
//                                 the empty "upfile_1" are accepted and ignored); 400 and an
//                                 error page when the body is not form-data, is malformed, or
//                                 lacks that file; 400 when the query is not d=u and local=1
//  anything else                  404
class FakeVuze : public FakeClientBase {
public:
    FakeVuze();
    ~FakeVuze() override;

protected:
    Answer route(const ReceivedRequest& request) override;

private:
    Answer upload(const ReceivedRequest& request);
};

}  // namespace pelloran::fake
