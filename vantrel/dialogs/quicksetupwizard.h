#pragma once
// Quick Setup: a short wizard, run at the first start and from the Tools menu. Its pages let a
// person keep or remove the sample channels, import their channels from another reader (an
// OPML file; the page also saves one's channels to a file), pick channels from the directory,
// and choose how often channels update. Every page starts from the engine's state as it is;
// Finish applies all choices at once and says what was done, Cancel changes nothing.
//
// Object names for tests: pages "samplesPage", "importPage", "directoryPage", "updatesPage",
// "readyPage"; "sampleList", "importPathEdit", "browseButton", "importSummaryLabel",
// "exportButton", "directoryFilter", "directoryTree", "intervalBox", "backgroundBox",
// "summaryLabel".

#include <QHash>
#include <QString>
#include <QWizard>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vantrel::dialogs
{

class QuickSetupWizard : public QWizard
{
    Q_OBJECT
public:
    enum Page { SamplesPage, ImportPage, DirectoryPage, UpdatesPage, ReadyPage };

    explicit QuickSetupWizard(QWidget* parent = nullptr);

    // The choices so far, as Finish would apply them.
    bool wantsSubscribed(uint32_t entryId) const { return m_wanted.value(entryId, false); }
    void setWantsSubscribed(uint32_t entryId, bool wanted);
    QString importPath() const;
    // What Finish will do, one line per change (empty when nothing changes).
    QStringList plannedChanges() const;
    // What the last Finish did (for the person, and for tests).
    QString result() const { return m_result; }

    void accept() override;

private:
    QWizardPage* makeSamplesPage();
    QWizardPage* makeImportPage();
    QWizardPage* makeDirectoryPage();
    QWizardPage* makeUpdatesPage();
    QWizardPage* makeReadyPage();
    void fillSamples();
    void fillDirectory();
    void filterDirectory(const QString& text);
    void previewImport();
    void showPlan();

    struct Entry {
        uint32_t id = 0;
        QString name;
        QString category;
        QString description;
        bool subscribed = false; // now, in the engine
        bool required = false;
        bool sample = false;
    };
    QList<Entry> m_entries;
    QHash<uint32_t, bool> m_wanted;
    int m_interval = 0; // seconds, as the engine has it now
    bool m_background = true;
    bool m_addressesAllowed = true;
    int m_importNew = -1; // channels the chosen file would add; -1 when not read
    QString m_result;
    bool m_filling = false;

    QListWidget* m_samples = nullptr;
    QLabel* m_noSamples = nullptr;
    QLineEdit* m_importPath = nullptr;
    QLabel* m_importSummary = nullptr;
    QLineEdit* m_filter = nullptr;
    QTreeWidget* m_directory = nullptr;
    QLabel* m_directoryCount = nullptr;
    QComboBox* m_intervalBox = nullptr;
    QCheckBox* m_backgroundBox = nullptr;
    QLabel* m_summary = nullptr;
};

} // namespace vantrel::dialogs
