#pragma once
// Loopback stand-in for qBittorrent's Web API v2, for the answers Debian's qbittorrent-nox
// (4.5.2) can't give: those of 5.2 (the "QBT_SID_<port>" cookie, JSON answers, 202 for a
// torrent being added, 409 for one it holds), a session that ends between sign-in and upload,
// and "Fails." for a torrent it does not hold. Authentication is its own sign-in form, not
// HTTP Basic.
//
// Answers:
//  POST "/api/v2/auth/login"   401 "Unauthorized" without a Referer naming this fake's own
//                              address ("http://127.0.0.1:PORT", any path); after five refused
//                              sign-ins, 403 "Your IP address has been banned after too many
//                              failed authentication attempts." to every sign-in; a form
//                              (username, password, percent-escaped UTF-8) with the set
//                              credentials: 200 "Ok." and a fresh session cookie ("SID" for 4.x,
//                              "QBT_SID_<port>" for 5.2); otherwise 200 "Fails." and no cookie
//  POST "/api/v2/torrents/add" 403 "Forbidden" without a live session cookie (or once, after
//                              setEndSessionBeforeUpload(true), ending every session); 415 when
//                              the part "torrents" is missing, empty or not a bencoded
//                              dictionary; for a torrent whose bytes it holds already: 4.x 200
//                              "Fails.", 5.2 409; with setAnswerFails(true): 200 "Fails." and
//                              nothing added; otherwise added, 4.x 200 "Ok.", 5.2 202 JSON
//  GET  "/api/v2/torrents/info" 403 without a session; else 200 and a JSON array with one
//                              {"hash": H, "name": "held"} per hash set with setHeldHashes()
//                              that the "hashes" query ("|"-separated) names
//  GET  "/api/v2/app/webapiVersion" 403 without a session; else "2.8.19" for 4.x (4.5.2),
//                              "2.11.4" for 5.2, the first that says "stopped" for "paused"
//  GET  "/api/v2/torrents/categories" 403 without a session; else a JSON object with one
//                              entry per category created here
//  POST "/api/v2/torrents/createCategory" 403 without a session; the form's "category": empty
//                              400, one with a leading, trailing or double "/" or one it has
//                              409 "Category name is invalid"; otherwise created, 200
//  The form fields of an upload (category, tags, savepath, paused or stopped) are kept in the
//  recorded request (ReceivedRequest::part) and not acted on.
//  GET  "/"                    200, the web UI's sign-in page (title kQBittorrentWebUiTitle)
//  anything else               404

#include "fake_client_base.h"

#include <QByteArrayList>
#include <set>

namespace pelloran::fake {

inline constexpr char kQBittorrentWebUiTitle[] = "qBittorrent Web UI";
inline constexpr char kQBittorrentBanned[] =
    "Your IP address has been banned after too many failed authentication attempts.";

enum class QBittorrentApi { V4, V5_2 };

class FakeQBittorrent : public FakeClientBase {
public:
    FakeQBittorrent();
    ~FakeQBittorrent() override;

    void setApi(QBittorrentApi api);
    void setLogin(const QString& user, const QString& password);
    void setEndSessionBeforeUpload(bool on);  // the next upload meets an ended session
    void setAnswerFails(bool on);
    void setHeldHashes(const QByteArrayList& hashes);  // lowercase hex
    int refusedSignIns() const;
    QByteArray sessionCookieName() const;

protected:
    Answer route(const ReceivedRequest& request) override;

private:
    Answer login(const ReceivedRequest& request);
    Answer add(const ReceivedRequest& request);
    Answer info(const ReceivedRequest& request);
    Answer categories(const ReceivedRequest& request);
    Answer createCategory(const ReceivedRequest& request);
    bool hasSession(const ReceivedRequest& request) const;  // call with stateMutex_ held

    mutable std::mutex stateMutex_;
    QBittorrentApi api_ = QBittorrentApi::V5_2;
    QByteArray user_ = "admin";
    QByteArray password_ = "adminadmin";
    std::set<QByteArray> sessions_;
    std::vector<QByteArray> held_;  // torrent files it holds
    QByteArrayList heldHashes_;
    QByteArrayList categories_;
    bool endSession_ = false;
    bool answerFails_ = false;
    int refused_ = 0;
};

}  // namespace pelloran::fake
