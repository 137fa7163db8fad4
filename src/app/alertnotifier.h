#pragma once
// New alerts announced on the desktop. When an update of the engine raises alerts, one
// desktop notification names the alert and the story ("Alert: Storms" over "Storm warning
// for the coast"); alerts that arrive close together, from one update or from several in a
// row, make one notification ("3 new alerts"), not a storm of them. Its action "Show alerts"
// opens the alerts window and brings the main window forward. Nothing is announced while the
// "Desktop Notifications" setting is off, and nothing fails where the desktop runs no
// notification service.

#include "src/platform/desktopnotifications.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>

class CAlertNotifier : public QObject
{
    Q_OBJECT
public:
    // Listens to the engine's alerts and announces them through the given notifications
    // (the session bus's service when none is given).
    explicit CAlertNotifier(std::unique_ptr<platform::DesktopNotifications> notifications = {},
                            QObject* parent = nullptr);
    ~CAlertNotifier() override;

    // Alerts that arrive within this time of the first one are announced together.
    void setGatherMs(int ms) { m_gather.setInterval(ms); }
    // An update raised `count` alerts, the first one named `name` on the story `headline`.
    void addAlerts(int count, const QString& name, const QString& headline);

    platform::DesktopNotifications& notifications() { return *m_notifications; }

    // The action's key and label.
    static constexpr const char* SHOW_ALERTS_ACTION = "show-alerts";

private:
    // The engine's callback; runs on the engine's thread and only posts to the notifier.
    static void EngineCallback(uint32_t type, const char* text, uint32_t value, const char* text2,
                               uint32_t value2, uint32_t value3, uint32_t value4);
    void announce();
    void onAction(const QString& key);

    std::unique_ptr<platform::DesktopNotifications> m_notifications;
    QTimer m_gather;
    int m_count = 0;
    QString m_firstName;
    QString m_firstHeadline;
};
