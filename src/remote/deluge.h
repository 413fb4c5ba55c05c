#pragma once
// Deluge 2's web interface: JSON-RPC over POST "/json". The handshake signs in with the
// password ("auth.login") and makes sure the web interface is connected to its daemon
// ("web.connected"; when not, "web.get_hosts" and "web.connect" host by host), since "core.*"
// calls never answer while it isn't. The push itself is in deluge_push.h.
//
// Every answer is HTTP 200: success is a result without an error; a wrong password is the result
// false; error code 1 means not signed in. The Content-Type must be exactly "application/json":
// with a charset parameter 2.0.3 answers error code 5. Deluge has no user name: only the
// password is sent, to the configured address, and never by HTTP authentication.

#include "remote/bit_client.h"
#include "remote/client_session.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QLatin1StringView>
#include <optional>

namespace pelloran {

// One JSON-RPC answer.
struct DelugeAnswer {
    bool responded = false;  // any HTTP answer came back (a redirect, an error status...)
    bool answered = false;   // a JSON object came back with status 200..299
    QJsonValue result;
    std::optional<int> errorCode;  // set when "error" is an object
    QString errorMessage;

    bool ok() const { return answered && !errorCode; }
};

class Deluge : public BitClient {
public:
    static constexpr BitClientType kType{
        4, QLatin1StringView("Deluge"), QLatin1StringView("8112"),
        QLatin1StringView(
            "Pelloran can push torrent downloads to your computer if you are using Deluge "
            "BitTorrent Client with its Web UI running.\n\t\n\tSetup:\n\t- Install Deluge on "
            "your computer.  \n\t- Select \"Preferences\" then \"Plugins\" and enable the "
            "\"WebUi\" plugin (or start deluge-web).\n\t- Make sure your computer is online and "
            "running Deluge.\n\t- Fill in the fields below with the ip address and port (Default "
            "is 8112) Deluge Web UI is using, and its password. The username is not used."),
        PushOptionSupport{true, false, true, true, QLatin1StringView("label"),
                          QLatin1StringView("tags"),
                          QLatin1StringView("A label needs Deluge's Label plugin.")}};

    // Error codes of the web interface's answers.
    static constexpr int kNotAuthenticated = 1;
    static constexpr int kServerError = 4;  // the daemon refused: a duplicate among others

    const BitClientType& type() const override { return kType; }
    QString getUrl() const override;  // "http://address:port/json"
    // Signs in and connects the web interface to a daemon when it isn't (see above). Accepted
    // when both worked; Refused for a wrong password; NoAnswer when the web interface doesn't
    // answer or reaches no daemon.
    void setSessionId(const NetContext& net) override;
    SignInState signInState() const override { return signIn_; }
    bool usesHttpAuthentication() const override { return false; }

    // One call with the session; each bounded by kRemoteTimeoutSeconds and the deadline.
    DelugeAnswer call(const QString& method, const QJsonArray& params, const NetContext& net);

    // The JSON request: {"method":M,"params":P,"id":N}.
    static QByteArray requestBody(const QString& method, const QJsonArray& params, int id);
    // Reads an answer's body; not answered when it is not a JSON object.
    static DelugeAnswer readAnswer(const QByteArray& body);

private:
    bool connectToDaemon(const NetContext& net);

    ClientSession session_;
    SignInState signIn_ = SignInState::NotChecked;
    int nextId_ = 1;
};

}  // namespace pelloran
