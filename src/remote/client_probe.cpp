#include "remote/client_probe.h"

#include "net/http_request.h"
#include "remote/client_setup.h"

namespace pelloran {

namespace {

constexpr int kUnauthorized = 401;

}  // namespace

bool ClientProbe::reached() const {
    // A client that signs in on its own page serves that page to anyone: the credentials are
    // tested by the handshake's sign-in.
    return valid && (signIn == SignInState::NotChecked || signIn == SignInState::Accepted);
}

std::optional<PushOutcome> ClientProbe::stopper() const {
    if (!clientChosen) {
        return std::nullopt;
    }
    switch (signIn) {
        case SignInState::Banned:
            return PushOutcome::Banned;
        case SignInState::Refused:
            return PushOutcome::SignInRefused;
        case SignInState::NoAnswer:
            return PushOutcome::Unreachable;
        case SignInState::NotChecked:
        case SignInState::Accepted:
            break;
    }
    if (!answered) {
        return PushOutcome::Unreachable;
    }
    if (status == kUnauthorized) {
        return PushOutcome::SignInRefused;
    }
    return std::nullopt;
}

ClientProbe probeClient(const ServerInfo::Values& settings, const NetContext& net) {
    ClientProbe probe;
    const std::unique_ptr<BitClient> client = clientFromSettings(settings);
    if (!client) {
        return probe;
    }
    probe.clientChosen = true;
    client->setSessionId(net);
    probe.signIn = client->signInState();
    // The credentials travel in the Authorization header (for the clients that take them so).
    // The address on the wire is the same with or without them in the URL, and a user name or
    // password holding "/", "@" or "%" can't break the address apart.
    HttpRequest request(client->webUrlWithoutCredentials(), net);
    request.setExtraHeaders({{QStringLiteral("Keep-Alive"), QStringLiteral("115")}});
    if (client->usesHttpAuthentication()) {
        request.setUsername(client->username());
        request.setPassword(client->password());
    }
    request.setTimeout(kRemoteTimeoutSeconds);
    request.request();
    probe.answered = request.urlResponse().has_value();
    if (probe.answered) {
        probe.valid = request.isResponseValid();
        probe.status = request.statusCode();
        probe.page = request.result();
    }
    return probe;
}

}  // namespace pelloran
