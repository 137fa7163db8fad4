#pragma once
// The engine's stored story pages in the browser. A stored page is a copy of a page from the
// network and keeps that page's rights: it is served under the engine's own scheme
// (VT_CACHE_SCHEME), never as a local file, so its scripts cannot read the person's files.
// Only the browser itself opens such an address (a pane navigating, going back or forward,
// reloading); a page that asks for one is refused, and only the stored copies the engine
// keeps, inside its data directory, are ever read.

#include <QString>
#include <QWebEngineUrlSchemeHandler>

class QWebEngineProfile;

// Registers the browser's own schemes. Must run before the application object exists; the
// browser library does it while the program loads, and calling it again does nothing.
void RegisterBrowserSchemes();

// Serves the engine's stored pages.
class CStoredPageSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override;
};

// Installs the handler on the profile unless it has one.
void InstallStoredPageHandler(QWebEngineProfile* profile);

// The file that may be served for a stored page the engine named: its canonical path when it
// is a regular file inside the data directory (also after following links), else empty.
QString StoredPageFile(const QString& enginePath, const QString& dataDirectory);
