#include "src/platform/desktopnotifications.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QStringList>
#include <QVariantMap>

namespace platform
{

namespace
{

constexpr char SERVICE[] = "org.freedesktop.Notifications";
constexpr char PATH[] = "/org/freedesktop/Notifications";
constexpr char INTERFACE[] = "org.freedesktop.Notifications";
constexpr int kShowForMs = -1; // the service's own choice
// Bounds on what one notification carries; a feed's text can be of any length.
constexpr int kMaxSummary = 200;
constexpr int kMaxBody = 1000;

QString bounded(const QString& text, int limit)
{
    return text.size() <= limit ? text : text.left(limit - 1) + QChar(0x2026);
}

} // namespace

DesktopNotifications::DesktopNotifications(QObject* parent) : QObject(parent) {}

DesktopNotifications::DesktopNotifications(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_bus(bus)
{
}

DesktopNotifications::~DesktopNotifications() = default;

QDBusConnection& DesktopNotifications::bus()
{
    if (!m_bus)
        m_bus = QDBusConnection::sessionBus();
    if (!m_listening && m_bus->isConnected()) {
        m_listening = true;
        // clang-format off
        m_bus->connect(QString::fromLatin1(SERVICE), QString::fromLatin1(PATH),
                       QString::fromLatin1(INTERFACE), QStringLiteral("ActionInvoked"), this,
                       SLOT(onActionInvoked(uint,QString)));
        m_bus->connect(QString::fromLatin1(SERVICE), QString::fromLatin1(PATH),
                       QString::fromLatin1(INTERFACE), QStringLiteral("NotificationClosed"), this,
                       SLOT(onClosed(uint,uint)));
        // clang-format on
    }
    return *m_bus;
}

bool DesktopNotifications::show(const QString& summary, const QString& body,
                                const QString& actionKey, const QString& actionLabel)
{
    if (!bus().isConnected())
        return false;
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(SERVICE), QString::fromLatin1(PATH),
                                       QString::fromLatin1(INTERFACE), QStringLiteral("Notify"));
    QStringList actions;
    if (!actionKey.isEmpty())
        actions << QStringLiteral("default") << actionLabel << actionKey << actionLabel;
    QVariantMap hints;
    const QString desktopEntry = QGuiApplication::desktopFileName();
    if (!desktopEntry.isEmpty())
        hints.insert(QStringLiteral("desktop-entry"), desktopEntry);
    hints.insert(QStringLiteral("category"), QStringLiteral("im.received"));
    // Services that understand markup in the body would read a headline's "<" as markup.
    const QString plainBody = bounded(body, kMaxBody).toHtmlEscaped();
    call << QCoreApplication::applicationName() << m_lastId << QString() // icon: the entry's
         << bounded(summary, kMaxSummary) << plainBody << actions << hints << kShowForMs;
    m_lastAction = actionKey;
    auto* watcher = new QDBusPendingCallWatcher(m_bus->asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                const QDBusPendingReply<uint> reply = *finished;
                // No service: nothing was shown; the next one starts afresh.
                m_lastId = reply.isError() ? 0 : reply.value();
                finished->deleteLater();
            });
    return true;
}

void DesktopNotifications::onActionInvoked(uint id, const QString& actionKey)
{
    if (id == 0 || id != m_lastId)
        return; // another program's notification, or an older one of ours
    emit actionInvoked(actionKey == QLatin1String("default") ? m_lastAction : actionKey);
}

void DesktopNotifications::onClosed(uint id, uint)
{
    if (id == m_lastId)
        m_lastId = 0; // gone: the next one is a new notification, not a replacement
}

} // namespace platform
