#pragma once
// Add Using Address: a person types or pastes the address of a feed, or of a web page that
// links to its feeds. The address is fetched on the engine's worker (with progress, and Stop);
// a feed is previewed (title, description, how many stories, the newest ones), the feeds of a
// page are listed to choose from. The person names the channel and picks its category;
// Subscribe adds it. Nothing is added until then, and a problem is said in the dialog.
//
// Tests find the controls by object name: "addressEdit", "fetchButton", "stopButton",
// "progressBar", "messageLabel", "feedList", "channelGroup", "nameEdit", "categoryBox",
// "newestList", "subscribeButton".

#include "vantrel/core/engine.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace vantrel::dialogs
{

class CategoryBox;
class MessageLine;
class ProbeTask;

class AddChannelDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AddChannelDialog(QWidget* parent = nullptr);
    ~AddChannelDialog() override;

    // Puts the address in the field and fetches it at once.
    void setAddress(const QString& address);
    // Fetches the address in the field.
    void fetch();
    bool isFetching() const;
    // The channel that Subscribe added; 0 before.
    uint32_t channelId() const { return m_channelId; }
    // The message the dialog shows now (empty when none).
    QString message() const;

    void accept() override;
    void reject() override;

private:
    enum class State { Empty, Fetching, Choices, Ready, Problem };

    void buildUi();
    void setState(State state);
    void showMessage(const QString& text, bool problem);
    void probeFinished(const FeedProbe& probe);
    void startProbe(const QString& address);
    void showPreview(const FeedProbe& probe);
    void linkChosen();
    void addressEdited();
    void tick();

    State m_state = State::Empty;
    ProbeTask* m_task = nullptr;
    FeedProbe m_preview; // the feed shown, when State::Ready
    QString m_fetching;  // the address being fetched now
    uint32_t m_channelId = 0;
    QElapsedTimer m_elapsed;
    QTimer m_ticker;

    QLineEdit* m_address = nullptr;
    QPushButton* m_fetch = nullptr;
    QWidget* m_progressRow = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_progressText = nullptr;
    QPushButton* m_stop = nullptr;
    MessageLine* m_message = nullptr;
    QLabel* m_feedListLabel = nullptr;
    QListWidget* m_feedList = nullptr;
    QGroupBox* m_group = nullptr;
    QLineEdit* m_name = nullptr;
    CategoryBox* m_category = nullptr;
    QLabel* m_description = nullptr;
    QLabel* m_homePage = nullptr;
    QLabel* m_storyCount = nullptr;
    QTreeWidget* m_newest = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QPushButton* m_subscribe = nullptr;
};

} // namespace vantrel::dialogs
