#pragma once
// Page texts too long for setHtml() (its data: URL may not pass 2 MB), served to the web views
// from memory under "pelloran-page:" addresses. Each screen has at most one page here at a time;
// it goes when the screen puts another or is destroyed. UI thread only.

#include <QByteArray>
#include <QHash>
#include <QPointer>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

namespace pelloran::web {

class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    static constexpr char kScheme[] = "pelloran-page";

    // Makes the scheme known to the engine; once, before the first profile exists.
    static void registerScheme();
    static bool isPageUrl(const QUrl& url);

    explicit PageSchemeHandler(QObject* parent = nullptr);

    // Serves `html` (UTF-8) at the returned address for as long as `owner` keeps it.
    QUrl put(QObject* owner, const QByteArray& html);
    // Pages held now (one per owner at most).
    int pageCount() const { return int(pages_.size()); }

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    void forget(QObject* owner);

    struct Page {
        QString path;
        QByteArray html;
    };
    QHash<QObject*, Page> pages_;
    quint64 nextId_ = 1;
};

}  // namespace pelloran::web
