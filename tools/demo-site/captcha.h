#pragma once
// The fake CAPTCHA service: challenge tokens, their answer words, the challenge script and the
// picture showing the words. Each token can be checked once.
//
// Thread contract: every method locks; callable from any server thread.

#include <QByteArray>
#include <QHash>
#include <QRandomGenerator>
#include <QString>
#include <mutex>
#include <optional>

namespace pelloran::demo {

class CaptchaService {
public:
    explicit CaptchaService(quint32 seed);

    QString newChallenge();  // a fresh token with two answer words
    std::optional<QString> answerFor(const QString& token) const;
    QString lastToken() const;
    // True when the token is known and the response matches its words (letter case and extra
    // white space ignored). The token is used up either way.
    bool verify(const QString& token, const QString& response);
    // PNG of the token's words; empty for an unknown token.
    QByteArray picture(const QString& token) const;
    // The script the login page includes; "challenge : 'TOKEN'," is what clients read from it.
    static QString challengeScript(const QString& token, const QString& siteKey,
                                   const QString& server);

private:
    mutable std::mutex mutex_;
    QRandomGenerator rng_;
    quint64 counter_ = 0;
    QHash<QString, QString> answers_;
    QString lastToken_;
};

}  // namespace pelloran::demo
