#pragma once
// The engine's Options, on five pages:
// - Updates: how often channels update, all of them at start, how many download at once, and
//   pausing every scheduled update (the main menu's download switch is the same setting);
// - Storage: how long stories stay and how many per channel (kept stories always stay), where
//   the store is and its size, and compacting it now (on the engine's worker);
// - Offline: copies of new stories' pages and enclosures, their size limit and folder;
// - Network: the proxy (the system's, none, or one given: HTTP or SOCKS 5, with a user and
//   password), the download timeout and the user-agent text;
// - Import and Export: one's channels from and to an OPML file (done at once).
// OK checks every value (a message names the field that cannot be used) and applies them all
// in one change; Cancel changes nothing.
//
// Object names for tests: "pages", "intervalBox", "updateAtStartBox", "parallelSpin",
// "pauseBox", "keepDaysBox", "keepDaysSpin", "keepCountBox", "keepCountSpin",
// "storePathEdit", "storeSizeLabel", "compactButton", "compactProgress", "offlineBox",
// "offlineLimitSpin", "offlineFolderEdit", "offlineUseLabel", "proxySystemButton",
// "proxyNoneButton", "proxyManualButton", "proxyKindBox", "proxyHostEdit", "proxyPortEdit",
// "proxyUserEdit", "proxyPasswordEdit", "timeoutSpin", "userAgentEdit", "importButton",
// "exportButton", "messageLabel", "okButton".

#include "vantrel/core/engine.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace vantrel::dialogs
{

class MessageLine;

class GlobalOptionsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit GlobalOptionsDialog(QWidget* parent = nullptr);
    ~GlobalOptionsDialog() override;

    // The options as the pages show them now (with the port as typed, 0 when unreadable).
    EngineOptions shownOptions() const;
    QString message() const;
    bool isCompacting() const { return m_compacting; }

    void accept() override;

private:
    QWidget* buildUpdates();
    QWidget* buildStorage();
    QWidget* buildOffline();
    QWidget* buildNetwork();
    QWidget* buildTransfer();
    void load(const EngineOptions& o);
    void updateEnabling();
    void refreshSizes();
    void compactNow();
    void compactDone(bool ok, const QString& error);
    // The field a problem names, to put the focus there.
    QWidget* fieldOf(const QString& problem) const;

    bool m_compacting = false;
    QTabWidget* m_pages = nullptr;
    // Updates.
    QComboBox* m_interval = nullptr;
    QCheckBox* m_updateAtStart = nullptr;
    QSpinBox* m_parallel = nullptr;
    QCheckBox* m_pause = nullptr;
    // Storage.
    QCheckBox* m_keepDays = nullptr;
    QSpinBox* m_keepDaysSpin = nullptr;
    QCheckBox* m_keepCount = nullptr;
    QSpinBox* m_keepCountSpin = nullptr;
    QLineEdit* m_storePath = nullptr;
    QLabel* m_storeSize = nullptr;
    QPushButton* m_compact = nullptr;
    QProgressBar* m_compactProgress = nullptr;
    // Offline.
    QCheckBox* m_offline = nullptr;
    QSpinBox* m_offlineLimit = nullptr;
    QLineEdit* m_offlineFolder = nullptr;
    QPushButton* m_offlineBrowse = nullptr;
    QLabel* m_offlineUse = nullptr;
    // Network.
    QRadioButton* m_proxySystem = nullptr;
    QRadioButton* m_proxyNone = nullptr;
    QRadioButton* m_proxyManual = nullptr;
    QComboBox* m_proxyKind = nullptr;
    QLineEdit* m_proxyHost = nullptr;
    QLineEdit* m_proxyPort = nullptr;
    QLineEdit* m_proxyUser = nullptr;
    QLineEdit* m_proxyPassword = nullptr;
    QSpinBox* m_timeout = nullptr;
    QLineEdit* m_userAgent = nullptr;

    MessageLine* m_message = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

// A size for a person: "812 bytes", "14.2 KB", "3.5 MB", "1.2 GB".
QString sizeText(qint64 bytes);

} // namespace vantrel::dialogs
