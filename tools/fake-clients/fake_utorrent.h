#pragma once
// Loopback stand-in for uTorrent's Web UI: hands out a token (and a GUID cookie it is bound to)
// at "/gui/token.html" and takes a .torrent upload at "/gui/?token=T&action=add-file" as the
// form part "torrent_file".

#include "fake_client_base.h"

#include <QStringList>
#include <map>

namespace pelloran::fake {

inline constexpr char kUtorrentWebUiTitle[] = "uTorrent Web UI";
inline constexpr char kUtorrentBuildAnswer[] = "{\"build\":25406}";
inline constexpr char kUtorrentInvalidRequest[] = "invalid request";
// Served instead of the token page by setOmitTokenElement(true). It holds no blank, so a client
// that takes the whole page as its token still produces a request line the fake can record.
inline constexpr char kUtorrentPageWithoutToken[] = "<html><body>uTorrent_Web_UI</body></html>";

// Answers:
//  GET "/gui/token.html"  200, exactly "<html><div id='token' style='display:none;'>T</div>
//                         </html>" (one line) with a fresh random token T (64 URL-safe
//                         characters), plus "Set-Cookie: GUID=G" (no attributes) with a fresh
//                         G that T is bound to
//  "/gui/?token=T&action=add-file" (POST)
//                         200 and kUtorrentBuildAnswer when T was issued, the request carries
//                         the cookie GUID=G issued with T (unless setRequireGuidCookie(false)),
//                         and the well-formed form-data body holds a part "torrent_file" with a
//                         filename parameter and non-empty content (recorded as added);
//                         400 and kUtorrentInvalidRequest otherwise (unknown or missing token,
//                         missing cookie, other action or method, malformed body, no file)
//  "/gui/?token=T"        200 and kUtorrentBuildAnswer for a valid token (and cookie)
//  GET "/gui/"            200, the web UI page (title kUtorrentWebUiTitle, a relative
//                         stylesheet link to "stylesheet.css", which is served too)
//  anything else          404
class FakeUtorrent : public FakeClientBase {
public:
    FakeUtorrent();
    ~FakeUtorrent() override;

    void setOmitTokenElement(bool on);   // serve kUtorrentPageWithoutToken (still sets GUID)
    void setRequireGuidCookie(bool on);  // on by default, as the real Web UI binds tokens
    QStringList issuedTokens() const;    // in the order handed out

protected:
    Answer route(const ReceivedRequest& request) override;

private:
    Answer tokenPage();
    Answer gui(const ReceivedRequest& request);

    mutable std::mutex stateMutex_;
    std::map<QByteArray, QByteArray> guidByToken_;
    QStringList tokens_;
    bool omitTokenElement_ = false;
    bool requireGuidCookie_ = true;
};

}  // namespace pelloran::fake
