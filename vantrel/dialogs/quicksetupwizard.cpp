#include "vantrel/dialogs/quicksetupwizard.h"

#include "vantrel/core/engine.h"
#include "vantrel/core/feedaddress.h"
#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/textrules.h"
#include "vantrel/dialogs/dialogparts.h"
#include "vantrel/dialogs/opmltransfer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

namespace vantrel::dialogs
{

namespace
{

constexpr int kIdRole = Qt::UserRole;
constexpr int kMaxListed = 12; // changes of one kind named one by one on the last page

QLabel* wrappedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

// The folder an entry shows in: the first level of its first category.
QString folderOf(const QString& categories)
{
    const QStringList paths = tidyCategoryPaths(categories);
    if (paths.isEmpty())
        return QStringLiteral("Miscellaneous");
    return categoryLevelName(paths.first().section(QLatin1Char('/'), 0, 0));
}

QStringList namedList(const QString& lead, const QStringList& names)
{
    QStringList lines;
    for (int i = 0; i < names.size() && i < kMaxListed; ++i)
        lines << QStringLiteral("%1 %2").arg(lead, names.at(i));
    if (names.size() > kMaxListed)
        lines << QStringLiteral("... and %1 more").arg(names.size() - kMaxListed);
    return lines;
}

} // namespace

QuickSetupWizard::QuickSetupWizard(QWidget* parent) : QWizard(parent)
{
    setObjectName(QStringLiteral("quickSetupWizard"));
    setWindowTitle(QStringLiteral("Quick Setup"));
    setWizardStyle(QWizard::ModernStyle);
    setOption(QWizard::NoBackButtonOnStartPage, true);
    setOption(QWizard::NoCancelButtonOnLastPage, false);

    if (Engine* engine = Engine::instance()) {
        for (const DirEntry& e : engine->directoryEntries()) {
            Entry entry;
            entry.id = e.id;
            entry.name = e.name;
            entry.category = e.categories;
            entry.description = e.description;
            entry.subscribed = engine->isSubscribedEntry(e.id);
            entry.required = (e.flags & VTDIRENTRY_REQUIRED) != 0;
            entry.sample = engine->isDemoEntry(e.id);
            if ((e.visibility & 0x1) && !entry.subscribed)
                continue; // hidden entries are not offered
            m_entries << entry;
            m_wanted.insert(e.id, entry.subscribed);
        }
        m_interval = engine->updateIntervalSecs();
        m_background = engine->downloadEnabled();
        m_addressesAllowed = (engine->workgroupRestrictions() & VTRESTRICT_ADD_BY_ADDRESS) == 0;
    }
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });

    setPage(SamplesPage, makeSamplesPage());
    setPage(ImportPage, makeImportPage());
    setPage(DirectoryPage, makeDirectoryPage());
    setPage(UpdatesPage, makeUpdatesPage());
    setPage(ReadyPage, makeReadyPage());
    setStartId(SamplesPage);
    resize(680, 520);
}

void QuickSetupWizard::setWantsSubscribed(uint32_t entryId, bool wanted)
{
    if (!m_wanted.contains(entryId))
        return;
    for (const Entry& e : std::as_const(m_entries)) {
        if (e.id == entryId && e.required)
            return; // a required channel stays
    }
    m_wanted.insert(entryId, wanted);
}

// ---- sample channels

QWizardPage* QuickSetupWizard::makeSamplesPage()
{
    auto* page = new QWizardPage(this);
    page->setObjectName(QStringLiteral("samplesPage"));
    page->setTitle(QStringLiteral("Welcome to Readhall"));
    page->setSubTitle(QStringLiteral("A few steps to set Readhall up. You can run Quick Setup "
                                     "again at any time from the Tools menu."));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(wrappedLabel(
        QStringLiteral("Readhall comes with sample channels, so that there is something to read "
                       "at once. Keep the ones you want; the others are removed with their "
                       "stories."),
        page));
    m_samples = new QListWidget(page);
    m_samples->setObjectName(QStringLiteral("sampleList"));
    layout->addWidget(m_samples, 1);
    m_noSamples = wrappedLabel(QStringLiteral("No sample channels are subscribed. You can pick "
                                              "channels from the directory on a later page."),
                               page);
    layout->addWidget(m_noSamples);
    auto* buttons = new QHBoxLayout;
    auto* keepAll = new QPushButton(QStringLiteral("&Keep All"), page);
    auto* removeAll = new QPushButton(QStringLiteral("&Remove All"), page);
    buttons->addWidget(keepAll);
    buttons->addWidget(removeAll);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    auto setAll = [this](bool keep) {
        for (int i = 0; i < m_samples->count(); ++i) {
            QListWidgetItem* item = m_samples->item(i);
            if (item->flags() & Qt::ItemIsUserCheckable && item->flags() & Qt::ItemIsEnabled)
                item->setCheckState(keep ? Qt::Checked : Qt::Unchecked);
        }
    };
    connect(keepAll, &QPushButton::clicked, this, [setAll] { setAll(true); });
    connect(removeAll, &QPushButton::clicked, this, [setAll] { setAll(false); });
    connect(m_samples, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!m_filling)
            setWantsSubscribed(item->data(kIdRole).toUInt(), item->checkState() == Qt::Checked);
    });
    connect(this, &QWizard::currentIdChanged, this, [this](int id) {
        if (id == SamplesPage)
            fillSamples();
    });
    fillSamples();
    return page;
}

void QuickSetupWizard::fillSamples()
{
    m_filling = true;
    m_samples->clear();
    for (const Entry& e : std::as_const(m_entries)) {
        if (!e.sample || !e.subscribed)
            continue;
        auto* item = new QListWidgetItem(e.name, m_samples);
        item->setData(kIdRole, e.id);
        item->setToolTip(e.description);
        item->setFlags(Qt::ItemIsUserCheckable |
                       (e.required ? Qt::NoItemFlags : Qt::ItemIsEnabled));
        item->setCheckState(m_wanted.value(e.id) ? Qt::Checked : Qt::Unchecked);
    }
    m_filling = false;
    m_noSamples->setVisible(m_samples->count() == 0);
    m_samples->setVisible(m_samples->count() > 0);
}

// ---- import and export

QWizardPage* QuickSetupWizard::makeImportPage()
{
    auto* page = new QWizardPage(this);
    page->setObjectName(QStringLiteral("importPage"));
    page->setTitle(QStringLiteral("Your Channels from Another Reader"));
    page->setSubTitle(QStringLiteral("Feed readers save their list of channels as an OPML file. "
                                     "Readhall reads it, with its folders as categories."));
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&File to import:"), page);
    m_importPath = new QLineEdit(page);
    m_importPath->setObjectName(QStringLiteral("importPathEdit"));
    m_importPath->setPlaceholderText(QStringLiteral("None: import nothing"));
    m_importPath->setClearButtonEnabled(true);
    label->setBuddy(m_importPath);
    auto* browse = new QPushButton(QStringLiteral("B&rowse..."), page);
    browse->setObjectName(QStringLiteral("browseButton"));
    row->addWidget(label);
    row->addWidget(m_importPath, 1);
    row->addWidget(browse);
    layout->addLayout(row);
    m_importSummary = wrappedLabel(QString(), page);
    m_importSummary->setObjectName(QStringLiteral("importSummaryLabel"));
    layout->addWidget(m_importSummary);
    if (!m_addressesAllowed) {
        m_importPath->setEnabled(false);
        browse->setEnabled(false);
        m_importSummary->setText(QStringLiteral("Your administrator has turned off adding "
                                                "channels by their address, so no list can be "
                                                "imported."));
    }
    layout->addSpacing(16);
    layout->addWidget(wrappedLabel(QStringLiteral("To use your channels in another reader or on "
                                                  "another computer, save them to a file:"),
                                   page));
    auto* exportRow = new QHBoxLayout;
    auto* exportButton = new QPushButton(QStringLiteral("&Export Channels..."), page);
    exportButton->setObjectName(QStringLiteral("exportButton"));
    exportRow->addWidget(exportButton);
    exportRow->addStretch(1);
    layout->addLayout(exportRow);
    layout->addStretch(1);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString path = chooseOpmlFileToImport(this, QFileInfo(m_importPath->text()).path());
        if (!path.isEmpty())
            m_importPath->setText(path);
    });
    connect(m_importPath, &QLineEdit::textChanged, this, [this] { previewImport(); });
    connect(exportButton, &QPushButton::clicked, this, [this] { exportOpmlInteractively(this); });
    return page;
}

QString QuickSetupWizard::importPath() const
{
    return m_addressesAllowed ? m_importPath->text().trimmed() : QString();
}

void QuickSetupWizard::previewImport()
{
    m_importNew = -1;
    const QString path = importPath();
    if (path.isEmpty()) {
        m_importSummary->clear();
        return;
    }
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        m_importSummary->setText(QStringLiteral("There is no file %1.").arg(path));
        return;
    }
    const feeds::OpmlResult list =
        feeds::parseOpml(file.read(feeds::kMaxDocumentBytes), QUrl::fromLocalFile(path));
    if (!list.ok) {
        m_importSummary->setText(
            QStringLiteral("This file is not a list of channels: %1").arg(list.error));
        return;
    }
    Engine* engine = Engine::instance();
    int known = 0;
    for (const feeds::OpmlEntry& e : list.entries)
        known += engine && engine->channelForAddress(e.feedUrl) != 0 ? 1 : 0;
    m_importNew = int(list.entries.size()) - known;
    QString text = QStringLiteral("The file lists %1 channels: %2 new, %3 already subscribed")
                       .arg(list.entries.size())
                       .arg(m_importNew)
                       .arg(known);
    if (!list.refused.empty())
        text += QStringLiteral(", %1 that cannot be added").arg(list.refused.size());
    m_importSummary->setText(text + QStringLiteral(". They are added when you click Finish."));
}

// ---- the directory

QWizardPage* QuickSetupWizard::makeDirectoryPage()
{
    auto* page = new QWizardPage(this);
    page->setObjectName(QStringLiteral("directoryPage"));
    page->setTitle(QStringLiteral("Channels from the Directory"));
    page->setSubTitle(QStringLiteral("Tick the channels you want to read; untick those you no "
                                     "longer want."));
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&Find:"), page);
    m_filter = new QLineEdit(page);
    m_filter->setObjectName(QStringLiteral("directoryFilter"));
    m_filter->setPlaceholderText(QStringLiteral("Part of a name or description"));
    m_filter->setClearButtonEnabled(true);
    label->setBuddy(m_filter);
    row->addWidget(label);
    row->addWidget(m_filter, 1);
    layout->addLayout(row);
    m_directory = new QTreeWidget(page);
    m_directory->setObjectName(QStringLiteral("directoryTree"));
    m_directory->setColumnCount(2);
    m_directory->setHeaderLabels({QStringLiteral("Channel"), QStringLiteral("Description")});
    m_directory->header()->setStretchLastSection(true);
    m_directory->setColumnWidth(0, 260);
    layout->addWidget(m_directory, 1);
    m_directoryCount = new QLabel(page);
    layout->addWidget(m_directoryCount);
    connect(m_filter, &QLineEdit::textChanged, this, &QuickSetupWizard::filterDirectory);
    connect(m_directory, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
        if (m_filling || !item->parent())
            return;
        setWantsSubscribed(item->data(0, kIdRole).toUInt(), item->checkState(0) == Qt::Checked);
        int chosen = 0;
        for (auto it = m_wanted.cbegin(); it != m_wanted.cend(); ++it)
            chosen += it.value() ? 1 : 0;
        m_directoryCount->setText(QStringLiteral("%1 channels chosen").arg(chosen));
    });
    connect(this, &QWizard::currentIdChanged, this, [this](int id) {
        if (id == DirectoryPage)
            fillDirectory();
    });
    fillDirectory();
    return page;
}

void QuickSetupWizard::fillDirectory()
{
    m_filling = true;
    m_directory->clear();
    std::map<QString, QTreeWidgetItem*> folders; // by case-folded name, so sorted
    for (const Entry& e : std::as_const(m_entries)) {
        const QString folder = folderOf(e.category);
        QTreeWidgetItem*& top = folders[folder.toCaseFolded()];
        if (!top) {
            top = new QTreeWidgetItem(QStringList{folder});
            top->setFlags(Qt::ItemIsEnabled);
            QFont bold = top->font(0);
            bold.setBold(true);
            top->setFont(0, bold);
        }
        auto* item = new QTreeWidgetItem(top, QStringList{e.name, e.description});
        item->setData(0, kIdRole, e.id);
        item->setToolTip(1, e.description);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsSelectable |
                       (e.required ? Qt::NoItemFlags : Qt::ItemIsEnabled));
        if (e.required)
            item->setToolTip(0, QStringLiteral("This channel is always subscribed."));
        item->setCheckState(0, m_wanted.value(e.id) ? Qt::Checked : Qt::Unchecked);
    }
    for (const auto& [key, top] : folders)
        m_directory->addTopLevelItem(top);
    m_directory->expandAll();
    m_filling = false;
    filterDirectory(m_filter->text());
    int chosen = 0;
    for (auto it = m_wanted.cbegin(); it != m_wanted.cend(); ++it)
        chosen += it.value() ? 1 : 0;
    m_directoryCount->setText(QStringLiteral("%1 channels chosen").arg(chosen));
}

void QuickSetupWizard::filterDirectory(const QString& text)
{
    const QString wanted = text.trimmed();
    for (int i = 0; i < m_directory->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = m_directory->topLevelItem(i);
        bool any = false;
        for (int j = 0; j < top->childCount(); ++j) {
            QTreeWidgetItem* item = top->child(j);
            const bool match = wanted.isEmpty() ||
                               item->text(0).contains(wanted, Qt::CaseInsensitive) ||
                               item->text(1).contains(wanted, Qt::CaseInsensitive) ||
                               top->text(0).contains(wanted, Qt::CaseInsensitive);
            item->setHidden(!match);
            any = any || match;
        }
        top->setHidden(!any);
    }
}

// ---- updates

QWizardPage* QuickSetupWizard::makeUpdatesPage()
{
    auto* page = new QWizardPage(this);
    page->setObjectName(QStringLiteral("updatesPage"));
    page->setTitle(QStringLiteral("Updates"));
    page->setSubTitle(QStringLiteral("How often Readhall checks your channels for new stories. "
                                     "A channel can have an interval of its own in its "
                                     "properties."));
    auto* form = new QFormLayout(page);
    m_intervalBox = new QComboBox(page);
    m_intervalBox->setObjectName(QStringLiteral("intervalBox"));
    fillIntervalBox(m_intervalBox, m_interval);
    form->addRow(QStringLiteral("&Check for new stories:"), m_intervalBox);
    m_backgroundBox =
        new QCheckBox(QStringLiteral("&Download new stories in the background"), page);
    m_backgroundBox->setObjectName(QStringLiteral("backgroundBox"));
    m_backgroundBox->setChecked(m_background);
    form->addRow(m_backgroundBox);
    form->addRow(wrappedLabel(QStringLiteral("Without background downloads, channels update only "
                                             "when you ask (Update Now)."),
                              page));
    return page;
}

// ---- the last page

QWizardPage* QuickSetupWizard::makeReadyPage()
{
    auto* page = new QWizardPage(this);
    page->setObjectName(QStringLiteral("readyPage"));
    page->setTitle(QStringLiteral("Ready"));
    page->setSubTitle(QStringLiteral("Click Finish to make these changes, or Cancel to leave "
                                     "everything as it is."));
    auto* layout = new QVBoxLayout(page);
    m_summary = wrappedLabel(QString(), page);
    m_summary->setObjectName(QStringLiteral("summaryLabel"));
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(m_summary, 1);
    connect(this, &QWizard::currentIdChanged, this, [this](int id) {
        if (id == ReadyPage)
            showPlan();
    });
    return page;
}

QStringList QuickSetupWizard::plannedChanges() const
{
    QStringList removed;
    QStringList added;
    for (const Entry& e : m_entries) {
        const bool wanted = m_wanted.value(e.id);
        if (e.subscribed && !wanted)
            removed << e.name;
        else if (!e.subscribed && wanted)
            added << e.name;
    }
    QStringList lines;
    lines << namedList(QStringLiteral("Remove:"), removed);
    lines << namedList(QStringLiteral("Subscribe to:"), added);
    if (!importPath().isEmpty())
        lines << (m_importNew >= 0 ? QStringLiteral("Import %1 new channels from %2")
                                         .arg(m_importNew)
                                         .arg(importPath())
                                   : QStringLiteral("Import the channels of %1").arg(importPath()));
    if (intervalOf(m_intervalBox) != m_interval)
        lines << QStringLiteral("Check for new stories: %1")
                     .arg(m_intervalBox->currentText().toLower());
    if (m_backgroundBox->isChecked() != m_background)
        lines << (m_backgroundBox->isChecked()
                      ? QStringLiteral("Download new stories in the background")
                      : QStringLiteral("Download only when you ask"));
    return lines;
}

void QuickSetupWizard::showPlan()
{
    const QStringList lines = plannedChanges();
    m_summary->setText(lines.isEmpty()
                           ? QStringLiteral("Nothing changes: your channels and "
                                            "settings stay as they are.")
                           : QStringLiteral("\u2022 ") + lines.join(QStringLiteral("\n\u2022 ")));
}

void QuickSetupWizard::accept()
{
    Engine* engine = usableEngine(this);
    if (!engine) {
        QWizard::reject();
        return;
    }
    QStringList done;
    QStringList problems;
    int removed = 0;
    int added = 0;
    // Removals first, so that an import of the same feeds adds them back as its own.
    for (const Entry& e : std::as_const(m_entries)) {
        if (e.subscribed && !m_wanted.value(e.id)) {
            if (engine->unsubscribeEntry(e.id))
                ++removed;
            else
                problems << QStringLiteral("%1 could not be removed.").arg(e.name);
        }
    }
    OpmlImportReport report;
    const QString path = importPath();
    if (!path.isEmpty())
        report = engine->importOpml(path);
    for (const Entry& e : std::as_const(m_entries)) {
        if (!e.subscribed && m_wanted.value(e.id) && !engine->isSubscribedEntry(e.id)) {
            if (engine->subscribe(e.id))
                ++added;
            else
                problems << QStringLiteral("%1 could not be subscribed to.").arg(e.name);
        }
    }
    const int interval = intervalOf(m_intervalBox);
    if (interval != m_interval && !engine->setUpdateIntervalSecs(interval))
        problems << QStringLiteral("The update interval could not be stored.");
    if (m_backgroundBox->isChecked() != m_background &&
        !engine->setDownloadEnabled(m_backgroundBox->isChecked()))
        problems << QStringLiteral("The download switch could not be stored.");

    if (removed > 0)
        done << QStringLiteral("%1 channels removed.").arg(removed);
    if (added > 0)
        done << QStringLiteral("%1 channels subscribed to.").arg(added);
    if (!path.isEmpty())
        done << QStringLiteral("Import: %1").arg(importReportText(report));
    m_result = (done + problems).join(QLatin1Char('\n'));
    // The person hears of an import and of anything that went wrong; the rest they see.
    if (!path.isEmpty() || !problems.isEmpty())
        showMessage(this,
                    problems.isEmpty() && report.ok && report.refused.empty()
                        ? QMessageBox::Information
                        : QMessageBox::Warning,
                    QStringLiteral("Quick Setup"), m_result,
                    path.isEmpty() ? QString() : importReportDetails(report));
    QWizard::accept();
}

} // namespace vantrel::dialogs
