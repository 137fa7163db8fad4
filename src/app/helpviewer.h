#pragma once
// The program's help viewer: a window that shows the HTML help pages, with links between the
// pages followed inside it and web links handed to the desktop.

#include <QDialog>
#include <QString>
#include <QUrl>

class QTextBrowser;

class CHelpViewer : public QDialog
{
    Q_OBJECT
public:
    explicit CHelpViewer(QWidget* parent = nullptr);
    // Shows the help file (a path, or ":/..." for the program's resources). False when it
    // could not be read; the viewer then says so.
    bool OpenHelpFile(const QString& helpFile);
    QTextBrowser* browser() const { return m_browser; }
    const QUrl& homeUrl() const { return m_home; }

private:
    void onAnchorClicked(const QUrl& url);
    QTextBrowser* m_browser = nullptr;
    QUrl m_home;
};

// Opens (or brings forward) the one help viewer of the parent window with the help file.
CHelpViewer* ShowHelpViewer(QWidget* parent, const QString& helpFile);
// The address the viewer uses for a help file path.
QUrl HelpFileUrl(const QString& helpFile);
