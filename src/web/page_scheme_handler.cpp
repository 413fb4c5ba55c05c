#include "web/page_scheme_handler.h"

#include <QBuffer>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace pelloran::web {

void PageSchemeHandler::registerScheme() {
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // Not a secure scheme: the pages it serves load the site's http style sheets and pictures.
    scheme.setFlags(QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

bool PageSchemeHandler::isPageUrl(const QUrl& url) {
    return url.scheme() == QLatin1String(kScheme);
}

PageSchemeHandler::PageSchemeHandler(QObject* parent) : QWebEngineUrlSchemeHandler(parent) {}

QUrl PageSchemeHandler::put(QObject* owner, const QByteArray& html) {
    if (!pages_.contains(owner)) {
        connect(owner, &QObject::destroyed, this, [this, owner] { forget(owner); });
    }
    // A new address for every page: the engine's history must not show a newer page for an
    // older entry.
    const QString path = QStringLiteral("/%1").arg(nextId_++);
    pages_.insert(owner, Page{path, html});
    QUrl url;
    url.setScheme(QString::fromLatin1(kScheme));
    url.setPath(path);
    return url;
}

void PageSchemeHandler::forget(QObject* owner) {
    pages_.remove(owner);
}

void PageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const QString path = job->requestUrl().path();
    for (const Page& page : std::as_const(pages_)) {
        if (page.path == path) {
            auto* body = new QBuffer(job);
            body->setData(page.html);
            job->reply(QByteArrayLiteral("text/html;charset=utf-8"), body);
            return;
        }
    }
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
}

}  // namespace pelloran::web
