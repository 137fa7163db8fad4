#include "src/engine/enginewindowhost.h"

#include "src/engine/notificationwindow.h"
#include "src/platform/messagewindow.h"
#include "vantrel/engctl.h"

#include <QObject>
#include <QWidget>

static_assert(VTNOTIFICATION_SHOW_CHANNEL_STATUS == VTENGINE_NOTIFICATION_SHOW_CHANNEL_STATUS,
              "the program and the engine name the same notification");
static_assert(VTNOTIFICATION_ANIMATION_STARTED == VTENGINE_NOTIFICATION_ANIMATION_STARTED &&
                  VTNOTIFICATION_ANIMATION_STOPPED == VTENGINE_NOTIFICATION_ANIMATION_STOPPED &&
                  VTNOTIFICATION_RESTRICTIONS_CHANGED ==
                      VTENGINE_NOTIFICATION_RESTRICTIONS_CHANGED &&
                  VTNOTIFICATION_STATUS_TEXT == VTENGINE_NOTIFICATION_STATUS_TEXT,
              "the engine's notifications are the ones the main frame handles");
static_assert(VTENGINE_STATUS_READY == VTSTATUS_LEVEL_CLEAR && VTENGINE_STATUS_PROGRESS >= 1 &&
                  VTENGINE_STATUS_PROGRESS <= 8,
              "the engine's status levels are ones the main frame shows");

namespace
{

// A window handle that lives and dies with an engine window.
class HostedWindow : public QObject, public MessageWindow
{
public:
    HostedWindow(const QString& className, QWidget* window)
        : QObject(window), MessageWindow(className, window)
    {
        setObjectName(QStringLiteral("engineWindowHandle"));
    }
};

CVTNotificationWindow* g_engineNotifications = nullptr;

void registerEngineWindow(QWidget* window, const QString& className)
{
    if (!window)
        return;
    // One handle per window and class, however often the host is installed.
    for (QObject* child : window->children()) {
        auto* hosted = dynamic_cast<HostedWindow*>(child);
        if (hosted && hosted->className().compare(className, Qt::CaseInsensitive) == 0)
            return;
    }
    new HostedWindow(className, window);
}

} // namespace

bool InstallEngineWindowHost()
{
    VTSetWindowRegistrar(&registerEngineWindow);
    // What the engine reports (animation, restrictions, status text) goes to every
    // notification window, as a notification from the engine's process would.
    VTSetNotificationSender([](int number, const QString& text, uint32_t value) {
        BroadcastNotification(number, text, value);
    });
    if (g_engineNotifications)
        return true;
    g_engineNotifications = new CVTNotificationWindow();
    g_engineNotifications->SetHandler(VTNOTIFICATION_SHOW_CHANNEL_STATUS,
                                      [](int number, const QString& text, DWORD value) {
                                          VTEngineNotification(number, text, value);
                                      });
    return g_engineNotifications->GetWindow() != 0;
}

void RemoveEngineWindowHost()
{
    VTSetWindowRegistrar({});
    VTSetNotificationSender({});
    if (!g_engineNotifications)
        return;
    g_engineNotifications->RemoveHandler(VTNOTIFICATION_SHOW_CHANNEL_STATUS);
    g_engineNotifications->Release();
    g_engineNotifications = nullptr;
}
