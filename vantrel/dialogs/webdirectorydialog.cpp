#include "vantrel/dialogs/webdirectorydialog.h"

#include "vantrel/core/engine.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>

namespace vantrel
{
namespace
{

// How often the list is read again while a catalogue is being read.
constexpr int kPollMs = 200;
constexpr int kAddressRole = Qt::UserRole;
constexpr int kBusyRole = Qt::UserRole + 1;

std::function<int(const QString&)>& confirmHook()
{
    static std::function<int(const QString&)> hook;
    return hook;
}

std::function<QString()>& fileChooser()
{
    static std::function<QString()> chooser;
    return chooser;
}

// Test programs (READHALL_TESTING set) never block on a question: without a hook the answer
// is No.
bool confirm(QWidget* parent, const QString& question)
{
    if (confirmHook())
        return confirmHook()(question) != 0;
    if (qEnvironmentVariableIsSet("READHALL_TESTING")) {
        std::fprintf(stderr, "vantrel: question answered No in a test: %s\n", qPrintable(question));
        return false;
    }
    return QMessageBox::question(parent, WebDirectoryDialog::tr("Web Directory"), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QString lastReadText(const Engine::CatalogueInfo& c)
{
    if (c.lastRefresh == 0)
        return WebDirectoryDialog::tr("Not read yet");
    return QLocale().toString(QDateTime::fromSecsSinceEpoch(c.lastRefresh), QLocale::ShortFormat);
}

QString channelCount(uint32_t count)
{
    return count == 1 ? WebDirectoryDialog::tr("1 channel")
                      : WebDirectoryDialog::tr("%1 channels").arg(count);
}

QString statusText(const Engine::CatalogueInfo& c)
{
    if (c.busy)
        return WebDirectoryDialog::tr("Reading...");
    if (!c.lastError.isEmpty())
        return c.lastError;
    return c.lastRefresh ? WebDirectoryDialog::tr("Up to date") : QString();
}

} // namespace

void WebDirectoryDialog::setConfirmHook(std::function<int(const QString& question)> hook)
{
    confirmHook() = std::move(hook);
}

void WebDirectoryDialog::setFileChooser(std::function<QString()> chooser)
{
    fileChooser() = std::move(chooser);
}

WebDirectoryDialog::WebDirectoryDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("WebDirectoryDialog"));
    setWindowTitle(tr("Web Directory"));
    auto* layout = new QVBoxLayout(this);

    auto* intro = new QLabel(
        tr("The channel directory lists the channels of these catalogues. Add an OPML "
           "catalogue from a file or a web address, read one again to bring its channels up to "
           "date, or remove one: its channels leave the directory, but the channels you "
           "subscribed to stay."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("CatalogueList"));
    m_list->setColumnCount(ColumnCount);
    m_list->setHeaderLabels({tr("Catalogue"), tr("Channels"), tr("Last read"), tr("Status")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(ColumnCatalogue, 320);
    m_list->setColumnWidth(ColumnChannels, 70);
    m_list->setColumnWidth(ColumnLastRead, 140);
    layout->addWidget(m_list, 1);

    auto* rowButtons = new QHBoxLayout;
    m_refresh = new QPushButton(tr("&Refresh"), this);
    m_refresh->setObjectName(QStringLiteral("RefreshButton"));
    m_remove = new QPushButton(tr("Re&move"), this);
    m_remove->setObjectName(QStringLiteral("RemoveButton"));
    m_addFile = new QPushButton(tr("Add &File..."), this);
    m_addFile->setObjectName(QStringLiteral("AddFileButton"));
    rowButtons->addWidget(m_refresh);
    rowButtons->addWidget(m_remove);
    rowButtons->addStretch(1);
    rowButtons->addWidget(m_addFile);
    layout->addLayout(rowButtons);

    auto* addRow = new QHBoxLayout;
    auto* addressLabel = new QLabel(tr("Catalogue &address:"), this);
    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("AddressBox"));
    m_address->setPlaceholderText(QStringLiteral("https://example.org/channels.opml"));
    addressLabel->setBuddy(m_address);
    m_addAddress = new QPushButton(tr("&Add"), this);
    m_addAddress->setObjectName(QStringLiteral("AddAddressButton"));
    addRow->addWidget(addressLabel);
    addRow->addWidget(m_address, 1);
    addRow->addWidget(m_addAddress);
    layout->addLayout(addRow);

    auto* progressRow = new QHBoxLayout;
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ReadingProgress"));
    m_progress->setRange(0, 0); // busy: the reading's length is not known
    m_progress->setMaximumWidth(140);
    m_progress->setTextVisible(false);
    m_progressText = new QLabel(this);
    progressRow->addWidget(m_progress);
    progressRow->addWidget(m_progressText, 1);
    layout->addLayout(progressRow);

    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("MessageLabel"));
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_message);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    m_poll = new QTimer(this);
    m_poll->setInterval(kPollMs);
    connect(m_poll, &QTimer::timeout, this, &WebDirectoryDialog::reload);

    connect(m_addAddress, &QPushButton::clicked, this, [this] { addCatalogue(); });
    connect(m_address, &QLineEdit::returnPressed, this, [this] { addCatalogue(); });
    connect(m_address, &QLineEdit::textChanged, this, [this] { updateButtons(); });
    connect(m_addFile, &QPushButton::clicked, this, &WebDirectoryDialog::chooseFile);
    connect(m_refresh, &QPushButton::clicked, this, &WebDirectoryDialog::refreshSelected);
    connect(m_remove, &QPushButton::clicked, this, &WebDirectoryDialog::removeSelected);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] { updateButtons(); });

    resize(760, 420);
    reload();
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    updateButtons();
}

WebDirectoryDialog::~WebDirectoryDialog() = default;

void WebDirectoryDialog::reload()
{
    Engine* engine = Engine::instance();
    const std::vector<Engine::CatalogueInfo> catalogues =
        engine ? engine->catalogues() : std::vector<Engine::CatalogueInfo>();
    if (!engine) {
        m_list->clear();
        m_busy = false;
        m_poll->stop();
        showMessage(tr("The engine is not running: there are no catalogues to show."), true);
        updateButtons();
        return;
    }
    const QString selected = selectedAddress();
    m_list->clear();
    QStringList finished;
    int reading = 0;
    bool failed = false;
    QSet<QString> listed;
    QTreeWidgetItem* keep = nullptr;
    for (const Engine::CatalogueInfo& c : catalogues) {
        listed.insert(c.address);
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(ColumnCatalogue,
                      c.bundled ? tr("%1 (comes with the program)").arg(c.address) : c.address);
        item->setToolTip(ColumnCatalogue, c.address);
        item->setData(ColumnCatalogue, kAddressRole, c.address);
        item->setText(ColumnChannels, QString::number(c.entryCount));
        item->setTextAlignment(ColumnChannels, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(ColumnLastRead, lastReadText(c));
        item->setText(ColumnStatus, statusText(c));
        item->setToolTip(ColumnStatus, statusText(c));
        item->setData(ColumnStatus, kBusyRole, c.busy != 0);
        if (!c.lastError.isEmpty() && !c.busy)
            item->setForeground(ColumnStatus, QColor(0xB0, 0x00, 0x00));
        if (c.busy)
            ++reading;
        if (c.address == selected)
            keep = item;
        // A reading this dialog started has ended: say how it went.
        if (!c.busy && m_watching.remove(c.address)) {
            finished << (c.lastError.isEmpty()
                             ? tr("%1: %2.").arg(c.address, channelCount(c.entryCount))
                             : c.lastError);
            if (!c.lastError.isEmpty())
                failed = true;
        }
    }
    m_watching.intersect(listed);
    if (keep)
        m_list->setCurrentItem(keep);
    m_busy = reading > 0;
    m_progress->setVisible(m_busy);
    m_progressText->setText(reading == 1  ? tr("Reading a catalogue...")
                            : reading > 1 ? tr("Reading %1 catalogues...").arg(reading)
                                          : QString());
    if (m_busy && !m_poll->isActive())
        m_poll->start();
    else if (!m_busy)
        m_poll->stop();
    if (!finished.isEmpty())
        showMessage(finished.join(QLatin1Char('\n')), failed);
    updateButtons();
}

bool WebDirectoryDialog::runCatalogueOperation(
    const std::function<bool(Engine& engine, QString* error)>& operation)
{
    Engine* engine = Engine::instance();
    QString error = tr("The engine is not running.");
    if (engine && operation(*engine, &error))
        return true;
    showMessage(error, true);
    return false;
}

bool WebDirectoryDialog::addCatalogue(const QString& address)
{
    const QString text = (address.isEmpty() ? m_address->text() : address).trimmed();
    if (text.isEmpty()) {
        showMessage(tr("Type the web address or the file path of an OPML catalogue first."), true);
        return false;
    }
    if (!runCatalogueOperation(
            [&](Engine& engine, QString* error) { return engine.addCatalogueLater(text, error); }))
        return false;
    m_changed = true;
    if (address.isEmpty() || address == m_address->text().trimmed())
        m_address->clear();
    showMessage(tr("Reading %1...").arg(text), false);
    watchNewest();
    // The new catalogue is the last of the list.
    if (const int count = m_list->topLevelItemCount())
        m_list->setCurrentItem(m_list->topLevelItem(count - 1));
    return true;
}

bool WebDirectoryDialog::refreshSelected()
{
    const QString address = selectedAddress();
    if (address.isEmpty())
        return false;
    if (!runCatalogueOperation([&](Engine& engine, QString* error) {
            return engine.refreshCatalogue(address, error);
        }))
        return false;
    m_changed = true;
    m_watching.insert(address);
    showMessage(tr("Reading %1...").arg(address), false);
    reload();
    return true;
}

void WebDirectoryDialog::watchNewest()
{
    // The new catalogue is the last of the list.
    reload();
    if (const int count = m_list->topLevelItemCount()) {
        QTreeWidgetItem* item = m_list->topLevelItem(count - 1);
        m_watching.insert(item->data(ColumnCatalogue, kAddressRole).toString());
        m_list->setCurrentItem(item);
        reload();
    }
}

bool WebDirectoryDialog::removeSelected()
{
    QTreeWidgetItem* item = m_list->currentItem();
    const QString address = selectedAddress();
    if (!item || address.isEmpty())
        return false;
    const QString question =
        tr("Remove the catalogue %1 from the channel directory? Its %2 channels leave the "
           "directory; the channels you subscribed to stay.")
            .arg(address, item->text(ColumnChannels));
    if (!confirm(this, question))
        return false;
    if (!runCatalogueOperation(
            [&](Engine& engine, QString* error) { return engine.removeCatalogue(address, error); }))
        return false;
    m_changed = true;
    showMessage(tr("Removed %1.").arg(address), false);
    reload();
    return true;
}

void WebDirectoryDialog::chooseFile()
{
    const QString path =
        fileChooser()
            ? fileChooser()()
            : QFileDialog::getOpenFileName(this, tr("Add a Catalogue"), QString(),
                                           tr("OPML catalogues (*.opml *.xml);;All files (*)"));
    if (!path.isEmpty())
        addCatalogue(path);
}

void WebDirectoryDialog::showMessage(const QString& text, bool error)
{
    m_message->setText(text);
    m_message->setProperty("error", error);
    m_message->setStyleSheet(error ? QStringLiteral("color: #b00000;") : QString());
}

void WebDirectoryDialog::updateButtons()
{
    QTreeWidgetItem* item = m_list->currentItem();
    const bool selected = item && item->isSelected();
    m_refresh->setEnabled(selected && !item->data(ColumnStatus, kBusyRole).toBool());
    m_remove->setEnabled(selected);
    m_addAddress->setEnabled(!m_address->text().trimmed().isEmpty());
}

QString WebDirectoryDialog::selectedAddress() const
{
    QTreeWidgetItem* item = m_list->currentItem();
    return item ? item->data(ColumnCatalogue, kAddressRole).toString() : QString();
}

int showWebDirectoryDialog(QWidget* window)
{
    WebDirectoryDialog dialog(window);
    dialog.exec();
    return dialog.changedSomething() ? 1 : 0;
}

} // namespace vantrel
