#pragma once
// The application object: document templates, the main window, idle processing, an early
// look at key and mouse presses, and profile values under the application's settings key.
// One exists at a time (AfxGetApp); it works beside QApplication, which the program normally
// creates first (otherwise Run installs what it needs).
//
// Idle processing: after the event loop has delivered events (other than painting, layout
// and timers of idle processing itself), a zero-time timer runs OnIdle(0), OnIdle(1), ...
// until OnIdle answers FALSE; then nothing runs until the next event, so an idle program
// uses no CPU.

#include "src/framework/cmdtarget.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

class QEvent;
class QTimer;
class QWidget;

class CWinApp : public QObject, public CCmdTarget
{
    Q_OBJECT
public:
    // appName: the application's name; also the last component of the profile key.
    explicit CWinApp(const QString& appName = QString());
    ~CWinApp() override; // deletes the templates (closing their documents)

    // Start-up and exit. Run calls InitInstance, runs the event loop when it succeeded and
    // the main window exists, then calls ExitInstance and answers its result.
    virtual BOOL InitInstance() { return 1; }
    virtual int ExitInstance() { return m_exitCode; }
    virtual int Run();
    // Ends the event loop of Run with an exit code (nothing happens outside Run).
    void Quit(int exitCode = 0);
    bool isRunning() const { return m_running; }

    // Idle work; answer TRUE to be called again with the next count before waiting. The
    // default brings the main frame's toolbar and indicator panes up to date at count 0.
    virtual BOOL OnIdle(long count);
    // Runs one idle pass now (OnIdle with counts 0, 1, ... until it answers FALSE).
    void RunIdle();

    // Every key press and release and mouse press, release and double click of the program,
    // before it reaches its widget. Answer TRUE to swallow it. The default answers FALSE.
    virtual BOOL PreTranslateMessage(QObject* target, QEvent* event);

    // Templates, in the order they were added; the application owns them.
    void AddDocTemplate(CDocTemplate* docTemplate);
    const std::vector<CDocTemplate*>& GetDocTemplates() const { return m_templates; }

    // Profile values. SetRegistryKey("Vantrel\\Vantrel\\Settings") roots them at
    // "Software\Vantrel\Vantrel\Settings\<appName>" in the current user's settings store;
    // without it they live at "Software\<appName>". A value with an empty section lives in
    // the application's key itself, else in the sub-key of that name.
    void SetRegistryKey(const QString& key);
    QString GetAppRegistryKeyPath() const;
    UINT GetProfileInt(const QString& section, const QString& entry, int defaultValue) const;
    BOOL WriteProfileInt(const QString& section, const QString& entry, int value);
    QString GetProfileString(const QString& section, const QString& entry,
                             const QString& defaultValue = QString()) const;
    BOOL WriteProfileString(const QString& section, const QString& entry, const QString& value);
    // FALSE when the value is absent or not binary (data left untouched).
    BOOL GetProfileBinary(const QString& section, const QString& entry, QByteArray& data) const;
    BOOL WriteProfileBinary(const QString& section, const QString& entry, const QByteArray& data);

    // The main window (the main frame sets it at the start of its creation).
    QWidget* m_pMainWnd = nullptr;
    QString m_pszAppName;
    QString m_pszRegistryKey;
    QString m_lpCmdLine;
    int m_nCmdShow = 10; // SW_SHOWDEFAULT
    QString m_pszHelpFilePath;

    // The application alone (the end of every route).
    std::vector<CCmdTarget*> CommandRoute() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void installFilter();
    void scheduleIdle();
    void idleStep();
    std::vector<CDocTemplate*> m_templates;
    QTimer* m_idleTimer = nullptr;
    long m_idleCount = 0;
    bool m_inIdle = false;
    bool m_running = false;
    bool m_filterInstalled = false;
    int m_exitCode = 0;
    const QEvent* m_lastInput = nullptr;
    int m_lastInputType = 0;
    quint64 m_lastInputTime = 0;
};

CWinApp* AfxGetApp();
QWidget* AfxGetMainWnd();
// The application's main window when it is a main frame; null otherwise.
CMDIFrameWnd* AfxGetMainFrame();
