#include "src/browser/webbrowser.h"

#include "src/browser/downloads.h"
#include "src/browser/storedpages.h"
#include "src/platform/shell.h"
#include "vantrel/engctl.h"

#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <unistd.h>

namespace
{
// Chromium refuses to start its helper processes as root with its sandbox on; the program
// turns the sandbox off then (as its start-up does), before the first browser exists.
QWidget* prepareBrowserEngine(QWidget* parent)
{
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    return parent;
}

bool isLocalOrStoredPage(const QUrl& url)
{
    return url.isLocalFile() || url.scheme() == QLatin1String(VT_CACHE_SCHEME);
}

// Local and stored pages open no WebSocket: it is the one way out that the content rules do
// not close for them.
class CWebSocketGuard : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeWebSocket &&
            (isLocalOrStoredPage(info.firstPartyUrl()) || isLocalOrStoredPage(info.initiator())))
            info.block(true);
    }
};
} // namespace

// The page of the hosted browser: before each page of the main frame loads, local pages may
// read the files beside them (their pictures and style sheets) and no other page may; the
// main frame loads only what the browser shows.
class CBrowserPage : public QWebEnginePage
{
public:
    explicit CBrowserPage(QObject* parent) : QWebEnginePage(parent)
    {
        setUrlRequestInterceptor(new CWebSocketGuard(this));
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        if (isMainFrame) {
            if (!CWebBrowser::IsNavigableUrl(url))
                return false;
            CWebBrowser::ApplyContentRules(settings(), url);
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }
};

void CWebBrowser::ApplyContentRules(QWebEngineSettings* s, const QUrl& url)
{
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, url.isLocalFile());
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
}

CWebBrowser::CWebBrowser(QWidget* parent) : QWebEngineView(prepareBrowserEngine(parent))
{
    setObjectName(QStringLiteral("Web Browser"));
    InstallStoredPageHandler(QWebEngineProfile::defaultProfile());
    setPage(new CBrowserPage(this));
    QWebEngineSettings* s = settings();
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    s->setAttribute(QWebEngineSettings::AllowGeolocationOnInsecureOrigins, false);
    s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    // A link to another program's scheme is not handed to the desktop.
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);

    connect(this, &QWebEngineView::urlChanged, this, &CWebBrowser::navigateComplete);
    connect(this, &QWebEngineView::loadStarted, this, &CWebBrowser::downloadBegin);
    connect(this, &QWebEngineView::loadFinished, this, [this](bool) { emit downloadComplete(); });
    connect(page(), &QWebEnginePage::linkHovered, this, &CWebBrowser::statusTextChange);
    // The printer must live until the page has been printed.
    connect(this, &QWebEngineView::printFinished, this, [this](bool) { m_printer.reset(); });
    browserdownloads::InstallDownloadHandler(page()->profile());
}

CWebBrowser::~CWebBrowser() = default;

void CWebBrowser::GoBack()
{
    back();
}

void CWebBrowser::GoForward()
{
    forward();
}

void CWebBrowser::Refresh()
{
    reload();
}

void CWebBrowser::Stop()
{
    stop();
}

QUrl CWebBrowser::LocationToUrl(const QString& location)
{
    const QString text = location.trimmed();
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:[\\\\/]"));
    if (text.isEmpty() || (drive.match(text).hasMatch() && text.size() <= 3))
        return QUrl(QStringLiteral("about:blank"));
    if (text.startsWith(QLatin1Char('/')))
        return QUrl::fromLocalFile(text);
    if (drive.match(text).hasMatch())
        return QUrl(); // another system's drive: nothing to load here
    const QUrl url = QUrl::fromUserInput(text);
    return url.isValid() ? url : QUrl();
}

bool CWebBrowser::IsNavigableUrl(const QUrl& url)
{
    if (IsOpenableAddress(url))
        return true;
    if (url.scheme() == QLatin1String(VT_CACHE_SCHEME))
        return true;
    return url == QUrl(QStringLiteral("about:blank"));
}

bool CWebBrowser::Navigate(const QString& location)
{
    const QUrl url = LocationToUrl(location);
    if (!url.isValid() || url.isEmpty() || !IsNavigableUrl(url))
        return false;
    ApplyContentRules(settings(), url);
    load(url);
    return true;
}

bool CWebBrowser::PrintPage()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return false;
    if (m_printer)
        return true; // still printing: the press is taken by the print under way
    m_printer = std::make_unique<QPrinter>(info);
    print(m_printer.get());
    return true;
}
