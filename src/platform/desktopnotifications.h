#pragma once
// Desktop notifications through the freedesktop notification service
// (org.freedesktop.Notifications on the session bus). Every call is asynchronous: the user
// interface never waits for the service, and where no service runs (or no session bus at all)
// nothing is shown and nothing fails. Each notification replaces the one shown before it, so
// a person sees one at a time, not a pile.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <optional>

namespace platform
{

class DesktopNotifications : public QObject
{
    Q_OBJECT
public:
    // Talks to the service on the given bus (the session bus unless a test gives its own). The
    // bus is reached only when the first notification is shown, so that start-up never waits
    // for it.
    explicit DesktopNotifications(QObject* parent = nullptr);
    DesktopNotifications(const QDBusConnection& bus, QObject* parent = nullptr);
    ~DesktopNotifications() override;

    // Shows a notification with a summary, a body (plain text; markup in it is shown as text)
    // and one action, offered as a button and as the notification's default (a click on it).
    // False when there is no bus to send it on.
    bool show(const QString& summary, const QString& body, const QString& actionKey,
              const QString& actionLabel);
    // The service's number of the notification shown last; 0 before the service answered.
    uint lastId() const { return m_lastId; }

signals:
    // The person chose the action of a notification shown from here.
    void actionInvoked(const QString& actionKey);

private slots:
    void onActionInvoked(uint id, const QString& actionKey);
    void onClosed(uint id, uint reason);

private:
    // The bus, connected on first use, with the service's signals followed from then on.
    QDBusConnection& bus();
    std::optional<QDBusConnection> m_bus;
    bool m_listening = false;
    uint m_lastId = 0;
    QString m_lastAction; // the action key of the one shown last
};

} // namespace platform
