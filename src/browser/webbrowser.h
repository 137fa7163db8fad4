#pragma once
// The hosted web browser of the browser panes: a Qt WebEngine view with the few operations
// the panes use. Pages shown here are untrusted: scripts run, but no plug-ins and no windows
// opened by scripts. A page from the network never reads local files; the engine's stored
// copy of one is shown under the engine's own scheme with the same rights (storedpages.h). A
// local page (a start page, a document the person chose) may load the files beside it but
// gets no cross-origin access to remote addresses and opens no WebSocket. Only web, local,
// stored and empty pages are loaded; no address is handed on to another program.

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWebEngineView>
#include <memory>

class QPrinter;
class QWebEngineSettings;

class CWebBrowser : public QWebEngineView
{
    Q_OBJECT
public:
    explicit CWebBrowser(QWidget* parent = nullptr);
    ~CWebBrowser() override;

    void GoBack();
    void GoForward();
    void Refresh();
    void Stop();
    // Starts loading the address or local path; false when the text names nothing that can
    // be loaded or an address the browser does not load (IsNavigableUrl).
    bool Navigate(const QString& location);
    // Prints the page on the default printer without asking; false when there is none.
    bool PrintPage();

    // The address a text stands for: a path of this system becomes a file address, a drive
    // root or an empty text the empty page, anything else is read as a web address.
    static QUrl LocationToUrl(const QString& location);
    // Whether the browser loads the address: http:, https:, file:, the engine's stored pages
    // and the empty page. A javascript: address would run in the page shown now, and other
    // schemes would go to other programs.
    static bool IsNavigableUrl(const QUrl& url);
    // Sets the content settings for a page about to load in the main frame.
    static void ApplyContentRules(QWebEngineSettings* settings, const QUrl& url);

signals:
    // The control's events: a navigation completed (its address), the status text changed
    // (the link under the pointer; empty when none), loading began and ended.
    void navigateComplete(const QUrl& url);
    void statusTextChange(const QString& text);
    void downloadBegin();
    void downloadComplete();

private:
    std::unique_ptr<QPrinter> m_printer;
};
