#pragma once
// The engine's channel status window: every subscribed channel with its status, last and
// next update, stories, unread stories and last error, kept up to date while downloads run
// (a turning mark on the channel being updated, and a bar for the round of updates), with
// Update Now, Update All and a switch that pauses the engine's scheduled downloads.
//
// It is not modal and never waits for the engine: it reads the engine on a timer only while it
// shows, and skips a turn while a download holds the engine.
//
// Object names for tests: "statusList", "updateNowButton", "updateAllButton", "pauseBox",
// "overallProgress", "overallLabel", "propertiesButton".

#include <QHash>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <cstdint>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vantrel::dialogs
{

class ChannelStatusWindow : public QWidget
{
    Q_OBJECT
public:
    enum Column { Channel, Status, LastUpdated, NextUpdate, Stories, Unread, LastError, Count };

    explicit ChannelStatusWindow(QWidget* parent = nullptr);

    // Reads the engine again now; false when the engine was busy and nothing changed.
    bool refresh();
    QTreeWidget* list() const { return m_list; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateSelected();
    void updateAll();
    void showProperties();
    QList<uint32_t> selectedChannels() const;

    QTreeWidget* m_list = nullptr;
    QPushButton* m_updateNow = nullptr;
    QPushButton* m_updateAll = nullptr;
    QPushButton* m_properties = nullptr;
    QCheckBox* m_pause = nullptr;
    QProgressBar* m_overall = nullptr;
    QLabel* m_overallLabel = nullptr;
    QTimer m_timer;
    int m_frame = 0;
    QHash<uint32_t, QTreeWidgetItem*> m_rows;
    // The round of updates in progress: channels still waiting or updating, and how many of
    // the round are done.
    QSet<uint32_t> m_pending;
    int m_done = 0;
};

} // namespace vantrel::dialogs
