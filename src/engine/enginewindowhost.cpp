#include "src/engine/enginewindowhost.h"

#include "src/engine/notificationwindow.h"
#include "src/platform/messagewindow.h"
#include "vantrel/engctl.h"

#include <QObject>
#include <QWidget>

static_assert(VTNOTIFICATION_SHOW_CHANNEL_STATUS == VTENGINE_NOTIFICATION_SHOW_CHANNEL_STATUS,
              "the program and the engine name the same notification");

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
    if (!g_engineNotifications)
        return;
    g_engineNotifications->RemoveHandler(VTNOTIFICATION_SHOW_CHANNEL_STATUS);
    g_engineNotifications->Release();
    g_engineNotifications = nullptr;
}
