#pragma once
// The hosted web browser of the browser panes: a Qt WebEngine view with the few operations
// the panes use. Pages shown here are untrusted: scripts run, but no plug-ins and no windows
// opened by scripts; a remote page never reads local files, and a local page (a start page,
// the engine's copy of a story) may load the files beside it but gets no cross-origin access
// to remote addresses.

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
    // be loaded.
    bool Navigate(const QString& location);
    // Prints the page on the default printer without asking; false when there is none.
    bool PrintPage();

    // The address a text stands for: a path of this system becomes a file address, a drive
    // root or an empty text the empty page, anything else is read as a web address.
    static QUrl LocationToUrl(const QString& location);
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
