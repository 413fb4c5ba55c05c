#pragma once
// qBittorrent's Web API (version 2, qBittorrent 4.1 to 5.x): the handshake signs in with the
// user name and password and keeps the session cookie it gets; the upload is a multipart POST
// with the torrent in the part "torrents". How its answers are judged is in qbittorrent_push.h.
//
// No HTTP authentication: the credentials go only in the sign-in form, to the configured
// address, and the web interface URL never carries them.

#include "remote/bit_client.h"
#include "remote/client_session.h"

#include <QLatin1StringView>

namespace pelloran {

class QBittorrent : public BitClient {
public:
    static constexpr BitClientType kType{
        3, QLatin1StringView("qBittorrent"), QLatin1StringView("8080"),
        QLatin1StringView(
            "Pelloran can push torrent downloads to your computer if you are using qBittorrent "
            "BitTorrent Client with Web UI enabled.\n\t\n\tSetup:\n\t- Install qBittorrent on "
            "your computer.  \n\t- Select \"Tools\" then \"Options\" and select the \"Web UI\" "
            "tab.\n\t- Check the \"Web User Interface (Remote control)\" box and choose a "
            "username and password.\n\t- Make sure your computer is online and running "
            "qBittorrent.\n\t- Fill in the fields below with the ip address and port (Default is "
            "8080) qBittorrent Web UI is using, and its username and password."),
        PushOptionSupport{true, true, true, true}};

    // The first Web API version (qBittorrent 5.0) that says "stopped" where earlier ones said
    // "paused".
    static constexpr int kStoppedSinceMajor = 2;
    static constexpr int kStoppedSinceMinor = 11;

    const BitClientType& type() const override { return kType; }
    // The multipart upload: the file in the part "torrents", then one part per push option
    // (category, tags, savepath with autoTMM off so the path holds, paused or stopped as
    // setStartField() chose). Without options the body is the file part alone.
    QByteArray getData() override;
    QString getUrl() const override;  // "http://address:port/api/v2/torrents/add"
    // Signs in: POST of the form "username=...&password=..." (UTF-8, percent-escaped) to
    // /api/v2/auth/login with a Referer of the client's own address, which it demands. Accepted
    // only on an answer "Ok." (4.x answers a wrong password with status 200 "Fails."), or from
    // 5.2 on a 204 with no body; a 403 whose text says "banned" is Banned. Never repeated here:
    // five refusals ban the address.
    void setSessionId(const NetContext& net) override;
    SignInState signInState() const override { return signIn_; }
    bool usesHttpAuthentication() const override { return false; }

    // The session the sign-in opened, for the push's later exchanges.
    const ClientSession& session() const { return session_; }
    // The headers every request after the sign-in carries: the Referer and the session.
    void prepare(HttpRequest& request) const;
    // "/api/v2/torrents/info?hashes=A%7CB": what the client holds of those info-hashes.
    QString torrentsInfoUrl(const QByteArrayList& hashes) const;
    QString apiUrl(const QString& path) const;  // "http://address:port/api/v2/" + path

    // The form field that starts a torrent paused: "paused" up to Web API 2.10, "stopped" from
    // 2.11 on. Set by the push from app/webapiVersion before an upload that asks for it.
    void setStartField(const QString& name) { startField_ = name; }

private:
    QString referer() const;

    ClientSession session_;
    SignInState signIn_ = SignInState::NotChecked;
    QString startField_ = QStringLiteral("paused");
};

}  // namespace pelloran
