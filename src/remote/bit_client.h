#pragma once
// The remote-client adapters: for one kind of BitTorrent client, how to reach its web
// interface. BitClient is the common base; Vuze, Transmission, Utorrent, QBittorrent and Deluge
// are the adapters (bit_client_registry.h chooses one by its stored name).
//
// An adapter performs no network traffic except its handshake (setSessionId) and, for clients
// spoken to by RPC (Deluge), the calls its push makes through it; the upload and the
// web-interface fetch are sent by the push and the connection test through HttpRequest, which
// asks the adapter for its multipart body (getData).
//
// Thread contract: an adapter is created for one operation, filled, used and discarded on that
// operation's thread; it is never shared between threads.

#include "net/multipart_source.h"
#include "net/net_context.h"
#include "remote/push_options.h"

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <optional>

namespace pelloran {

// The constants of one adapter type.
struct BitClientType {
    int index = -1;                   // position in the settings screen's chooser
    QLatin1StringView name;           // stored under the client settings key; "" for the base
    QLatin1StringView defaultPort;    // web-interface port the settings screen proposes
    QLatin1StringView description;    // setup help shown on the settings screen
    PushOptionSupport pushOptions{};  // what a push may ask of it beyond the file
};

// What a handshake that signs in learned about the credentials. Handshakes that don't sign in
// (Vuze, Transmission, uTorrent) leave NotChecked: the upload's answer tells.
enum class SignInState {
    NotChecked,
    Accepted,
    Refused,   // wrong credentials, or an answer that is not a sign-in
    Banned,    // the client refuses this address for a while after too many wrong passwords
    NoAnswer,  // nothing usable came back (for Deluge also: no daemon behind the web interface)
};

// Limit of every exchange with the member's client (handshake, upload, web page): it sits on
// the member's own network, so an answer that takes longer is not coming.
inline constexpr int kRemoteTimeoutSeconds = 30;

class BitClient : public MultipartSource {
public:
    static constexpr BitClientType kType{-1, QLatin1StringView(""), QLatin1StringView(""),
                                         QLatin1StringView("")};

    BitClient() = default;
    ~BitClient() override = default;
    BitClient(const BitClient&) = delete;
    BitClient& operator=(const BitClient&) = delete;

    virtual const BitClientType& type() const { return kType; }

    // The complete upload body: prefixData, the file part's header, the file bytes, postfixData.
    // Each adapter first sets name, fileContentType, prefixData and postfixData. Nothing is
    // escaped: the file name goes into the part header exactly as it is (UTF-8).
    QByteArray getData() override;
    // Where the upload goes. Address and port are inserted as they stand.
    virtual QString getUrl() const;
    // The client's own web interface; it carries the credentials when a user name is set.
    QString getWebUrl() const;
    // The same address without credentials, as a request sends it on the wire.
    QString webUrlWithoutCredentials() const;
    // The handshake: runs synchronously on the calling thread and keeps its outcome in
    // sessionId(). Does nothing for the base and for Vuze.
    virtual void setSessionId(const NetContext& net);
    // The handshake's verdict on the credentials, for the clients whose handshake signs in.
    virtual SignInState signInState() const { return SignInState::NotChecked; }
    // Whether the client takes its credentials by HTTP Basic authentication (and getWebUrl
    // carries them). False for clients that sign in by a form or RPC of their own: their
    // credentials go nowhere else, and an address would only put them on show.
    virtual bool usesHttpAuthentication() const { return true; }

    QString prefixData() const { return prefixData_; }
    void setPrefixData(const QString& text) { prefixData_ = text; }
    QString postfixData() const { return postfixData_; }
    void setPostfixData(const QString& text) { postfixData_ = text; }
    QString filename() const { return filename_; }
    void setFilename(const QString& name) { filename_ = name; }
    QString fileContentType() const { return fileContentType_; }
    void setFileContentType(const QString& type) { fileContentType_ = type; }
    QString name() const { return name_; }  // the file part's form-field name
    void setName(const QString& name) { name_ = name; }
    QString address() const { return address_; }
    void setAddress(const QString& address) { address_ = address; }
    QString port() const { return port_; }
    void setPort(const QString& port) { port_ = port; }
    // Session id (Transmission) or token (uTorrent); absent before the handshake, after one
    // that brought nothing, and always for Vuze.
    const std::optional<QString>& sessionId() const { return sessionId_; }
    void setSessionIdValue(const std::optional<QString>& id) { sessionId_ = id; }
    QString username() const { return username_; }  // "" means no authentication
    void setUsername(const QString& username) { username_ = username; }
    QString password() const { return password_; }
    void setPassword(const QString& password) { password_ = password; }
    QByteArray file() const { return file_; }
    void setFile(const QByteArray& bytes) { file_ = bytes; }
    // Where the torrent goes and how it starts; empty: the client's defaults, and the requests
    // are exactly those of a push without options.
    const PushOptions& pushOptions() const { return pushOptions_; }
    void setPushOptions(const PushOptions& options) { pushOptions_ = options; }

protected:
    // Path of the web interface on the client, "/" unless the adapter says otherwise.
    virtual QString webPath() const;

    // "http://" + address + ":" + port, the start of every URL of the client.
    QString origin() const;
    // "http://" + user + ":" + password + "@" + address + ":" + port when a user name is set,
    // otherwise origin(). Credentials are inserted verbatim, as the member typed them.
    QString originWithCredentials() const;

private:
    QString prefixData_;
    QString postfixData_;
    QString filename_;
    QString fileContentType_;
    QString name_;
    QString address_;
    QString port_;
    std::optional<QString> sessionId_;
    QString username_;
    QString password_;
    QByteArray file_;
    PushOptions pushOptions_;
};

// The multipart boundary as text, for the adapters' templates.
QString multipartBoundary();

}  // namespace pelloran
