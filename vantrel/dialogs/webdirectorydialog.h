#pragma once
// The web directory dialog (VTShowChannelDirectory, the "Add Using Web Directory" command):
// the catalogues the channel directory is read from, with adding one by file or address,
// reading one again and removing one. Reading runs on the engine's worker; the dialog shows
// which catalogues are being read and what went wrong, and the directory's own change
// notifications tell the directory windows.

#include <QDialog>
#include <QSet>
#include <QString>
#include <functional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace vantrel
{

class Engine;

class WebDirectoryDialog : public QDialog
{
    Q_OBJECT
public:
    enum Column { ColumnCatalogue, ColumnChannels, ColumnLastRead, ColumnStatus, ColumnCount };

    explicit WebDirectoryDialog(QWidget* parent = nullptr);
    ~WebDirectoryDialog() override;

    // Reads the list of catalogues from the engine again.
    void reload();
    // Adds the catalogue a local path or an http(s) address names (the address box's text
    // when empty); false, with the reason shown, when the engine refuses it.
    bool addCatalogue(const QString& address = QString());
    // Reads the selected catalogue again, or removes it (after asking).
    bool refreshSelected();
    bool removeSelected();

    // Whether the person changed anything (added, refreshed or removed a catalogue).
    bool changedSomething() const { return m_changed; }
    // Whether a catalogue is being read.
    bool isBusy() const { return m_busy; }

    QTreeWidget* list() const { return m_list; }
    QLineEdit* addressBox() const { return m_address; }
    QLabel* messageLabel() const { return m_message; }
    QProgressBar* progressBar() const { return m_progress; }

    // Answers the removal question in place of a person (nonzero for Yes); an empty function
    // asks the person again. Test programs without a hook answer No.
    static void setConfirmHook(std::function<int(const QString& question)> hook);
    // Chooses the file for "Add File..." in place of the file dialog (empty: cancelled).
    static void setFileChooser(std::function<QString()> chooser);

private:
    // Runs a catalogue operation of the engine; false, with the reason shown, when it fails
    // or the engine does not run.
    bool
    runCatalogueOperation(const std::function<bool(Engine& engine, QString* error)>& operation);
    void chooseFile();
    // Follows the reading of the catalogue just added, the last of the list.
    void watchNewest();
    void showMessage(const QString& text, bool error);
    void updateButtons();
    QString selectedAddress() const;

    QTreeWidget* m_list = nullptr;
    QLineEdit* m_address = nullptr;
    QPushButton* m_addAddress = nullptr;
    QPushButton* m_addFile = nullptr;
    QPushButton* m_refresh = nullptr;
    QPushButton* m_remove = nullptr;
    QLabel* m_message = nullptr;
    QLabel* m_progressText = nullptr;
    QProgressBar* m_progress = nullptr;
    QTimer* m_poll = nullptr;
    QSet<QString> m_watching; // catalogues whose reading this dialog started
    bool m_busy = false;
    bool m_changed = false;
};

// Shows the dialog modally; 1 when the person changed the catalogues.
int showWebDirectoryDialog(QWidget* window);

} // namespace vantrel
