#include "src/browser/storedpages.h"

#include "src/browser/browsercalls.h"

#include <QFile>
#include <QFileInfo>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

void RegisterBrowserSchemes()
{
    static const bool registered = [] {
        QWebEngineUrlScheme scheme{QByteArray(VT_CACHE_SCHEME)};
        // A path after the scheme, and an opaque origin for every page: stored pages share no
        // storage with each other, and none of them is a local page.
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
        scheme.setFlags(QWebEngineUrlScheme::NoAccessAllowed);
        QWebEngineUrlScheme::registerScheme(scheme);
        return true;
    }();
    (void)registered;
}

namespace
{
// The scheme is known before any application object exists in every program that has a
// browser pane.
const bool g_schemesRegistered = (RegisterBrowserSchemes(), true);
} // namespace

QString StoredPageFile(const QString& enginePath, const QString& dataDirectory)
{
    if (enginePath.isEmpty() || dataDirectory.isEmpty())
        return QString();
    const QString root = QFileInfo(dataDirectory).canonicalFilePath();
    const QFileInfo file(enginePath);
    const QString canonical = file.canonicalFilePath();
    if (root.isEmpty() || canonical.isEmpty() || !QFileInfo(canonical).isFile())
        return QString();
    return canonical.startsWith(root + QLatin1Char('/')) ? canonical : QString();
}

void CStoredPageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    if (!job->initiator().isEmpty() || job->requestMethod() != QByteArrayLiteral("GET")) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    BrowserCalls& calls = browserCalls();
    const QString enginePath =
        calls.cachedFile ? calls.cachedFile(job->requestUrl().toString(QUrl::FullyEncoded))
                         : QString();
    const QString path =
        StoredPageFile(enginePath, calls.dataDirectory ? calls.dataDirectory() : QString());
    if (path.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto* file = new QFile(path, job);
    if (!file->open(QIODevice::ReadOnly)) {
        delete file;
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    job->reply(QByteArrayLiteral("text/html"), file);
}

void InstallStoredPageHandler(QWebEngineProfile* profile)
{
    const QByteArray scheme(VT_CACHE_SCHEME);
    if (!profile || profile->urlSchemeHandler(scheme))
        return;
    // The handler lives as long as the profile.
    profile->installUrlSchemeHandler(scheme, new CStoredPageSchemeHandler(profile));
}
