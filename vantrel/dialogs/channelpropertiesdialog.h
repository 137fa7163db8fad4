#pragma once
// A channel's properties and settings: name, feed address, category, home page, logo, how
// often it updates, whether it is enabled, how many stories it keeps, and how it is doing
// (status, last and next update, last error, stories and unread stories), with Update Now.
// OK applies every change at once (a new feed address is fetched first and must be a feed);
// Cancel changes nothing.
//
// For a directory entry that is not subscribed the same dialog shows the entry, and its OK
// button subscribes with the settings chosen.
//
// Object names for tests: "nameEdit", "addressEdit", "categoryBox", "homePageEdit",
// "enabledBox", "intervalBox", "ownIntervalBox", "keepBox", "keepSpin", "statusLabel",
// "lastUpdateLabel", "nextUpdateLabel", "lastErrorLabel", "storiesLabel", "updateNowButton",
// "messageLabel", "okButton".

#include "vantrel/core/engine.h"

#include <QDialog>
#include <QTimer>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vantrel::dialogs
{

class CategoryBox;
class MessageLine;
class ProbeTask;

class ChannelPropertiesDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Target { Channel, DirectoryEntry };
    // A channel by its id, or a directory entry by its id (a subscribed entry shows its
    // channel).
    ChannelPropertiesDialog(Target target, uint32_t id, QWidget* parent = nullptr);
    ~ChannelPropertiesDialog() override;

    // False when there is no such channel or entry (the dialog then shows nothing useful).
    bool isValid() const { return m_valid; }
    // The channel shown or, for an entry, the one OK subscribed to (0 before).
    uint32_t channelId() const { return m_channelId; }
    bool isChecking() const;
    QString message() const;

    void accept() override;
    void reject() override;

private:
    void buildUi();
    void load();
    void refreshStatus();
    ChannelSettings wantedSettings() const;
    void apply(const QString& address);
    void addressChecked(const FeedProbe& probe);

    uint32_t m_channelId = 0;
    uint32_t m_entryId = 0; // an entry that is not subscribed
    bool m_valid = false;
    QString m_loadedAddress;
    QTimer m_refresh;
    ProbeTask* m_check = nullptr;

    QLabel* m_logo = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_address = nullptr;
    CategoryBox* m_category = nullptr;
    QLineEdit* m_homePage = nullptr;
    QCheckBox* m_enabled = nullptr;
    QCheckBox* m_ownInterval = nullptr;
    QComboBox* m_interval = nullptr;
    QCheckBox* m_keep = nullptr;
    QSpinBox* m_keepCount = nullptr;
    QGroupBox* m_statusGroup = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_lastUpdate = nullptr;
    QLabel* m_nextUpdate = nullptr;
    QLabel* m_lastError = nullptr;
    QLabel* m_stories = nullptr;
    QPushButton* m_updateNow = nullptr;
    MessageLine* m_message = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace vantrel::dialogs
