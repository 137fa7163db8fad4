#include "src/framework/winapp.h"

#include "src/framework/doctemplate.h"
#include "src/framework/mainframe.h"
#include "src/platform/settingsstore.h"

#include <QCoreApplication>
#include <QEvent>
#include <QInputEvent>
#include <QTimer>
#include <QWidget>

namespace
{
CWinApp* g_app = nullptr;

bool isInputEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return false;
    }
}

// Events after which the program may have changed state, so that the user-interface rules
// are worth asking again. Painting, layout and the like are consequences, not causes:
// leaving them out keeps an idle program idle.
bool isActivityEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
    case QEvent::Close:
    case QEvent::Timer:
    case QEvent::MetaCall:
    case QEvent::Drop:
    case QEvent::SockAct:
        return true;
    default:
        return type >= QEvent::User && type <= QEvent::MaxUser;
    }
}

QString joinPath(const QString& base, const QString& section)
{
    return section.isEmpty() ? base : base + QLatin1Char('\\') + section;
}
} // namespace

CWinApp* AfxGetApp()
{
    return g_app;
}

QWidget* AfxGetMainWnd()
{
    return g_app ? g_app->m_pMainWnd : nullptr;
}

CMDIFrameWnd* AfxGetMainFrame()
{
    return qobject_cast<CMDIFrameWnd*>(AfxGetMainWnd());
}

CWinApp::CWinApp(const QString& appName) : m_pszAppName(appName)
{
    if (m_pszAppName.isEmpty())
        m_pszAppName = QCoreApplication::applicationName();
    g_app = this;
    m_idleTimer = new QTimer(this);
    m_idleTimer->setSingleShot(true);
    m_idleTimer->setInterval(0);
    connect(m_idleTimer, &QTimer::timeout, this, &CWinApp::idleStep);
    installFilter();
}

void CWinApp::installFilter()
{
    if (m_filterInstalled)
        return;
    if (QCoreApplication* core = QCoreApplication::instance()) {
        core->installEventFilter(this);
        m_filterInstalled = true;
    }
}

CWinApp::~CWinApp()
{
    if (QCoreApplication* core = QCoreApplication::instance())
        core->removeEventFilter(this);
    for (auto it = m_templates.rbegin(); it != m_templates.rend(); ++it)
        delete *it;
    m_templates.clear();
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::Run()
{
    installFilter(); // in case the Qt application object came after this one
    if (!InitInstance())
        return ExitInstance();
    if (m_pMainWnd && QCoreApplication::instance()) {
        m_running = true;
        scheduleIdle();
        m_exitCode = QCoreApplication::exec();
        m_running = false;
    }
    return ExitInstance();
}

void CWinApp::Quit(int exitCode)
{
    if (!m_running)
        return;
    m_exitCode = exitCode;
    QCoreApplication::exit(exitCode);
}

BOOL CWinApp::OnIdle(long count)
{
    if (count == 0) {
        if (CMDIFrameWnd* frame = AfxGetMainFrame())
            frame->OnIdleUpdateCmdUI();
    }
    return 0;
}

void CWinApp::RunIdle()
{
    m_idleTimer->stop();
    m_idleCount = 0;
    m_inIdle = true;
    while (OnIdle(m_idleCount++)) {
    }
    m_inIdle = false;
    m_idleCount = 0;
}

void CWinApp::scheduleIdle()
{
    if (m_inIdle)
        return; // events that idle work itself causes do not start another pass
    m_idleCount = 0;
    if (!m_idleTimer->isActive())
        m_idleTimer->start();
}

void CWinApp::idleStep()
{
    m_inIdle = true;
    const BOOL more = OnIdle(m_idleCount++);
    m_inIdle = false;
    if (more)
        m_idleTimer->start(); // the next count once the queue has been looked at again
    else
        m_idleCount = 0;
}

BOOL CWinApp::PreTranslateMessage(QObject*, QEvent*)
{
    return 0;
}

bool CWinApp::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == m_idleTimer)
        return false;
    // Input enters the program at its window (a QWindow) before Qt hands it to the widget
    // under the pointer or with the focus, and on to that widget's parents: looking at it
    // there sees every press once.
    if (isInputEvent(type) && watched->isWindowType()) {
        if (PreTranslateMessage(watched, event))
            return true;
    }
    if (isActivityEvent(type))
        scheduleIdle();
    return false;
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate)
{
    if (docTemplate)
        m_templates.push_back(docTemplate);
}

void CWinApp::SetRegistryKey(const QString& key)
{
    m_pszRegistryKey = key;
}

QString CWinApp::GetAppRegistryKeyPath() const
{
    QString path = QStringLiteral("Software");
    if (!m_pszRegistryKey.isEmpty())
        path += QLatin1Char('\\') + m_pszRegistryKey;
    return path + QLatin1Char('\\') + m_pszAppName;
}

UINT CWinApp::GetProfileInt(const QString& section, const QString& entry, int defaultValue) const
{
    const platform::SettingsKey key =
        platform::SettingsKey::open(HKEY_CURRENT_USER, joinPath(GetAppRegistryKeyPath(), section));
    DWORD value = 0;
    if (key && key.readNumber(entry, value))
        return value;
    return static_cast<UINT>(defaultValue);
}

BOOL CWinApp::WriteProfileInt(const QString& section, const QString& entry, int value)
{
    platform::SettingsKey key = platform::SettingsKey::create(
        HKEY_CURRENT_USER, joinPath(GetAppRegistryKeyPath(), section));
    return key && key.writeNumber(entry, static_cast<DWORD>(value)) ? 1 : 0;
}

QString CWinApp::GetProfileString(const QString& section, const QString& entry,
                                  const QString& defaultValue) const
{
    const platform::SettingsKey key =
        platform::SettingsKey::open(HKEY_CURRENT_USER, joinPath(GetAppRegistryKeyPath(), section));
    QString value;
    if (key && key.readText(entry, value))
        return value;
    return defaultValue;
}

BOOL CWinApp::WriteProfileString(const QString& section, const QString& entry, const QString& value)
{
    platform::SettingsKey key = platform::SettingsKey::create(
        HKEY_CURRENT_USER, joinPath(GetAppRegistryKeyPath(), section));
    return key && key.writeText(entry, value) ? 1 : 0;
}

BOOL CWinApp::GetProfileBinary(const QString& section, const QString& entry, QByteArray& data) const
{
    const platform::SettingsKey key =
        platform::SettingsKey::open(HKEY_CURRENT_USER, joinPath(GetAppRegistryKeyPath(), section));
    return key && key.readBinary(entry, data) ? 1 : 0;
}

BOOL CWinApp::WriteProfileBinary(const QString& section, const QString& entry,
                                 const QByteArray& data)
{
    platform::SettingsKey key = platform::SettingsKey::create(
        HKEY_CURRENT_USER, joinPath(GetAppRegistryKeyPath(), section));
    return key && key.writeBinary(entry, data) ? 1 : 0;
}

std::vector<CCmdTarget*> CWinApp::CommandRoute()
{
    return {this};
}
