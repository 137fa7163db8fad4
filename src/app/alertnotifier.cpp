#include "src/app/alertnotifier.h"

#include "src/app/readhallapp.h"
#include "src/framework/mainframe.h"
#include "src/platform/desktopnotifications.h"
#include "src/platform/messagewindow.h"
#include "src/shared/mainframelink.h"
#include "src/shared/settings.h"
#include "src/shared/windowkinds.h"
#include "vantrel/engctl.h"

#include <QCoreApplication>
#include <QPointer>
#include <mutex>

namespace
{

constexpr int kGatherMs = 1500;

// The notifier the engine's callback posts to, guarded so that it cannot go while posting.
std::mutex g_notifierMutex;
CAlertNotifier* g_notifier = nullptr;

} // namespace

CAlertNotifier::CAlertNotifier(std::unique_ptr<platform::DesktopNotifications> notifications,
                               QObject* parent)
    : QObject(parent), m_notifications(std::move(notifications))
{
    if (!m_notifications)
        m_notifications = std::make_unique<platform::DesktopNotifications>();
    connect(m_notifications.get(), &platform::DesktopNotifications::actionInvoked, this,
            &CAlertNotifier::onAction);
    m_gather.setSingleShot(true);
    m_gather.setInterval(kGatherMs);
    connect(&m_gather, &QTimer::timeout, this, &CAlertNotifier::announce);
    {
        std::lock_guard<std::mutex> lock(g_notifierMutex);
        g_notifier = this;
    }
    VTRegisterNotificationCallback(VTNOTIFY_ALERTS_RAISED, &CAlertNotifier::EngineCallback);
}

CAlertNotifier::~CAlertNotifier()
{
    VTUnRegisterNotificationCallback(&CAlertNotifier::EngineCallback);
    std::lock_guard<std::mutex> lock(g_notifierMutex);
    if (g_notifier == this)
        g_notifier = nullptr;
}

void CAlertNotifier::EngineCallback(uint32_t type, const char* text, uint32_t value,
                                    const char* text2, uint32_t, uint32_t, uint32_t)
{
    if (type != VTNOTIFY_ALERTS_RAISED || value == 0)
        return;
    const QString name = QString::fromUtf8(text ? text : "");
    const QString headline = QString::fromUtf8(text2 ? text2 : "");
    std::lock_guard<std::mutex> lock(g_notifierMutex);
    if (!g_notifier)
        return;
    QPointer<CAlertNotifier> notifier(g_notifier);
    QMetaObject::invokeMethod(
        g_notifier,
        [notifier, value, name, headline] {
            if (notifier)
                notifier->addAlerts(int(value), name, headline);
        },
        Qt::QueuedConnection);
}

void CAlertNotifier::addAlerts(int count, const QString& name, const QString& headline)
{
    if (count <= 0 || !settings::desktopNotifications())
        return;
    if (m_count == 0) {
        m_firstName = name;
        m_firstHeadline = headline;
    }
    m_count += count;
    if (!m_gather.isActive())
        m_gather.start();
}

void CAlertNotifier::announce()
{
    const int count = m_count;
    m_count = 0;
    if (count <= 0 || !settings::desktopNotifications())
        return;
    const QString name = m_firstName.simplified();
    const QString headline = m_firstHeadline.simplified();
    QString summary;
    QString body;
    if (count == 1) {
        summary = tr("Alert: %1").arg(name);
        body = headline;
    } else {
        summary = tr("%1 new alerts").arg(count);
        body = name.isEmpty() ? headline : tr("%1: %2").arg(name, headline);
        body += QLatin1Char('\n') + tr("and %n more", nullptr, count - 1);
    }
    m_notifications->show(summary, body, QString::fromLatin1(SHOW_ALERTS_ACTION),
                          tr("Show alerts"));
}

void CAlertNotifier::onAction(const QString& key)
{
    if (key != QLatin1String(SHOW_ALERTS_ACTION))
        return;
    CMainFrameLink* frame = MainFrameLink();
    if (!frame)
        return;
    frame->ShowWindowKind(TEMPLATE_ALERTS);
    if (CReadhallApp* app = CReadhallApp::instance()) {
        if (CMDIFrameWnd* main = app->GetMainFrame())
            BringToForeground(main->hwnd());
    }
}
