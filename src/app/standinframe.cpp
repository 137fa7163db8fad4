#include "src/app/standinframe.h"

#include "src/app/readhallapp.h"
#include "src/engine/messages.h"
#include "src/framework/childframe.h"
#include "src/framework/doctemplate.h"
#include "src/framework/winapp.h"
#include "src/platform/messagewindow.h"
#include "src/platform/resources.h"

#include <QIcon>
#include <atomic>

namespace
{

// The frame's handle for the engine callback, which may run on any thread.
std::atomic<HWND> g_frameWindow{0};

constexpr UINT STRING_APP_TITLE = 57344; // "Readhall"
constexpr UINT STRING_READY = 57345;     // "Ready"

QString textOr(UINT id, const char* fallback)
{
    const QString text = LoadString(id);
    return text.isEmpty() ? QString::fromLatin1(fallback) : text;
}

CMenuItem command(UINT id, const char* text)
{
    CMenuItem item;
    item.id = id;
    item.text = QString::fromUtf8(text);
    return item;
}

CMenuItem popup(const char* text, std::vector<CMenuItem> items)
{
    CMenuItem item;
    item.text = QString::fromUtf8(text);
    item.items = std::move(items);
    return item;
}

} // namespace

CStandInMainFrame::CStandInMainFrame()
    : CMDIFrameWnd(QString::fromLatin1(READHALL_MAIN_WINDOW_CLASS))
{
    if (CWinApp* app = AfxGetApp())
        app->m_pMainWnd = this;
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(textOr(STRING_APP_TITLE, "Readhall"));
    resize(1024, 720);

    LoadMenuBar({
        popup("&File", {command(RHCMD_EXIT, "E&xit")}),
        popup("&View",
              {command(RHCMD_VIEW_CHANNEL_CONTENT, "&Channel Content"),
               command(RHCMD_VIEW_SEARCH, "&Search"), command(RHCMD_VIEW_ALERTS, "&Alerts"),
               command(RHCMD_VIEW_CHANNEL_DIRECTORY, "Channel &Directory")}),
        popup("&Tools", {command(RHCMD_QUICK_SETUP, "&Quick Setup...")}),
    });
    CreateStatusBar({ID_SEPARATOR});
    SetMessageText(textOr(STRING_READY, "Ready"));

    onCommand(RHCMD_VIEW_CHANNEL_CONTENT, [this] { ShowWindowKind(TEMPLATE_CHANNEL); });
    onCommand(RHCMD_VIEW_SEARCH, [this] { ShowWindowKind(TEMPLATE_SEARCH); });
    onCommand(RHCMD_VIEW_ALERTS, [this] { ShowWindowKind(TEMPLATE_ALERTS); });
    onCommand(RHCMD_VIEW_CHANNEL_DIRECTORY, [this] { ShowWindowKind(TEMPLATE_DIRECTORY); });
    onCommand(RHCMD_QUICK_SETUP, [this] { VTQuickSetupOptions(this); });
    onCommand(RHCMD_EXIT, [this] { OnClose(); });

    g_frameWindow = hwnd();
    m_callbackRegistered = VTRegisterNotificationCallback(VTMASK_MAINFRAME, &EngineCallback) != 0;
}

CStandInMainFrame::~CStandInMainFrame()
{
    if (g_frameWindow == hwnd())
        g_frameWindow = 0;
    if (m_callbackRegistered)
        VTUnRegisterNotificationCallback(&EngineCallback);
}

void CStandInMainFrame::OnDestroy()
{
    if (m_callbackRegistered) {
        VTUnRegisterNotificationCallback(&EngineCallback);
        m_callbackRegistered = false;
    }
    g_frameWindow = 0;
}

void CStandInMainFrame::OnClose()
{
    if (CReadhallApp* app = CReadhallApp::instance()) {
        if (app->m_nModalOperationCount > 0)
            return;
    }
    CMDIFrameWnd::OnClose();
}

CMDIChildWnd* CStandInMainFrame::ShowWindowKind(int which)
{
    CReadhallApp* app = CReadhallApp::instance();
    CDocTemplate* kind = app ? app->GetTemplate(which) : nullptr;
    if (!kind)
        return nullptr;
    if (CDocument* open = kind->GetFirstDocument()) {
        const std::vector<CMDIChildWnd*> frames = open->GetFrames();
        if (!frames.empty()) {
            frames.front()->ActivateFrame();
            return frames.front();
        }
    }
    CDocument* doc = kind->OpenDocumentFile(QString(), 1);
    if (!doc)
        return nullptr;
    const std::vector<CMDIChildWnd*> frames = doc->GetFrames();
    return frames.empty() ? nullptr : frames.front();
}

void CStandInMainFrame::EngineCallback(uint32_t type, const char*, uint32_t, const char*, uint32_t,
                                       uint32_t, uint32_t)
{
    if (type != VTNOTIFY_SHUTDOWN)
        return;
    const HWND frame = g_frameWindow;
    if (frame && IsWindow(frame))
        PostMessage(frame, WM_COMMAND, RHCMD_EXIT, 0);
}
