#include "vantrel/dialogs/globaloptionsdialog.h"

#include "vantrel/dialogs/dialogparts.h"
#include "vantrel/dialogs/opmltransfer.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vantrel::dialogs
{

namespace
{

constexpr int kDefaultKeepDays = 30;
constexpr int kDefaultKeepCount = 500;

template <class W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* note(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, p.color(QPalette::Disabled, QPalette::WindowText));
    label->setPalette(p);
    return label;
}

} // namespace

QString sizeText(qint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 bytes").arg(bytes);
    const char* units[] = {"KB", "MB", "GB", "TB"};
    double value = double(bytes) / 1024.0;
    int unit = 0;
    while (value >= 1024.0 && unit < 3) {
        value /= 1024.0;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', 1).arg(QLatin1String(units[unit]));
}

GlobalOptionsDialog::GlobalOptionsDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("globalOptionsDialog"));
    setWindowTitle(QStringLiteral("Options"));
    auto* layout = new QVBoxLayout(this);
    m_pages = named(new QTabWidget(this), "pages");
    m_pages->addTab(buildUpdates(), QStringLiteral("&Updates"));
    m_pages->addTab(buildStorage(), QStringLiteral("&Storage"));
    m_pages->addTab(buildOffline(), QStringLiteral("O&ffline"));
    m_pages->addTab(buildNetwork(), QStringLiteral("&Network"));
    m_pages->addTab(buildTransfer(), QStringLiteral("&Import and Export"));
    layout->addWidget(m_pages, 1);
    m_message = new MessageLine(this);
    layout->addWidget(m_message);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &GlobalOptionsDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &GlobalOptionsDialog::reject);
    layout->addWidget(m_buttons);

    if (Engine* engine = Engine::instance())
        load(engine->options());
    else
        load(EngineOptions());
    updateEnabling();
    refreshSizes();
    resize(sizeHint().expandedTo(QSize(560, 0)));
}

GlobalOptionsDialog::~GlobalOptionsDialog() = default;

QWidget* GlobalOptionsDialog::buildUpdates()
{
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    m_interval = named(new QComboBox(page), "intervalBox");
    form->addRow(QStringLiteral("&Update channels:"), m_interval);
    form->addRow(QString(), note(QStringLiteral("A channel with an interval of its own (in its "
                                                "properties) keeps it."),
                                 page));
    m_parallel = named(new QSpinBox(page), "parallelSpin");
    m_parallel->setRange(1, EngineOptions::kMaxParallel);
    form->addRow(QStringLiteral("&Channels downloaded at once:"), m_parallel);
    m_updateAtStart =
        named(new QCheckBox(QStringLiteral("Update &all channels when the engine starts"), page),
              "updateAtStartBox");
    form->addRow(m_updateAtStart);
    m_pause = named(new QCheckBox(QStringLiteral("&Pause all updates"), page), "pauseBox");
    form->addRow(m_pause);
    form->addRow(note(QStringLiteral("While updates are paused no channel is downloaded on its "
                                     "schedule; Update Now still works. \"Suspend Downloading\" "
                                     "in the main menu is the same switch."),
                      page));
    return page;
}

QWidget* GlobalOptionsDialog::buildStorage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);

    auto* limits = new QGroupBox(QStringLiteral("Old stories"), page);
    auto* grid = new QGridLayout(limits);
    m_keepDays =
        named(new QCheckBox(QStringLiteral("Remove stories &older than"), limits), "keepDaysBox");
    m_keepDaysSpin = named(new QSpinBox(limits), "keepDaysSpin");
    m_keepDaysSpin->setRange(1, EngineOptions::kMaxKeepDays);
    m_keepDaysSpin->setSuffix(QStringLiteral(" days"));
    grid->addWidget(m_keepDays, 0, 0);
    grid->addWidget(m_keepDaysSpin, 0, 1);
    m_keepCount = named(new QCheckBox(QStringLiteral("Keep at &most"), limits), "keepCountBox");
    m_keepCountSpin = named(new QSpinBox(limits), "keepCountSpin");
    m_keepCountSpin->setRange(1, EngineOptions::kMaxKeepPerChannel);
    m_keepCountSpin->setSuffix(QStringLiteral(" stories per channel"));
    grid->addWidget(m_keepCount, 1, 0);
    grid->addWidget(m_keepCountSpin, 1, 1);
    grid->setColumnStretch(2, 1);
    grid->addWidget(note(QStringLiteral("Stories you keep are never removed. An alert goes with "
                                        "its story, unless you kept the alert. A channel's own "
                                        "story count (in its properties) comes first."),
                         limits),
                    2, 0, 1, 3);
    layout->addWidget(limits);

    auto* store = new QGroupBox(QStringLiteral("Store"), page);
    auto* form = new QFormLayout(store);
    m_storePath = named(new QLineEdit(store), "storePathEdit");
    m_storePath->setReadOnly(true);
    form->addRow(QStringLiteral("Location:"), m_storePath);
    m_storeSize = named(new QLabel(store), "storeSizeLabel");
    form->addRow(QStringLiteral("Size:"), m_storeSize);
    auto* compactRow = new QHBoxLayout;
    m_compact = named(new QPushButton(QStringLiteral("&Compact Now"), store), "compactButton");
    m_compact->setToolTip(QStringLiteral("Rebuild the store without the room that removed "
                                         "stories left behind"));
    connect(m_compact, &QPushButton::clicked, this, &GlobalOptionsDialog::compactNow);
    m_compactProgress = named(new QProgressBar(store), "compactProgress");
    m_compactProgress->setRange(0, 0); // busy: the store gives no steps while it compacts
    m_compactProgress->setTextVisible(false);
    m_compactProgress->setVisible(false);
    compactRow->addWidget(m_compact);
    compactRow->addWidget(m_compactProgress, 1);
    compactRow->addStretch();
    form->addRow(QString(), compactRow);
    layout->addWidget(store);
    layout->addStretch();

    connect(m_keepDays, &QCheckBox::toggled, this, &GlobalOptionsDialog::updateEnabling);
    connect(m_keepCount, &QCheckBox::toggled, this, &GlobalOptionsDialog::updateEnabling);
    return page;
}

QWidget* GlobalOptionsDialog::buildOffline()
{
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_offline = named(new QCheckBox(QStringLiteral("&Download story pages and enclosures for "
                                                   "offline reading"),
                                    page),
                      "offlineBox");
    form->addRow(m_offline);
    form->addRow(note(QStringLiteral("New stories are copied as they arrive, while updates are "
                                     "not paused."),
                      page));
    m_offlineLimit = named(new QSpinBox(page), "offlineLimitSpin");
    m_offlineLimit->setRange(1, EngineOptions::kMaxOfflineMb);
    m_offlineLimit->setSuffix(QStringLiteral(" MB"));
    form->addRow(QStringLiteral("Size &limit:"), m_offlineLimit);
    auto* folderRow = new QHBoxLayout;
    m_offlineFolder = named(new QLineEdit(page), "offlineFolderEdit");
    m_offlineBrowse = new QPushButton(QStringLiteral("&Browse..."), page);
    connect(m_offlineBrowse, &QPushButton::clicked, this, [this] {
        const QString start =
            m_offlineFolder->text().isEmpty() ? QDir::homePath() : m_offlineFolder->text();
        const QString dir =
            QFileDialog::getExistingDirectory(this, QStringLiteral("Offline Folder"), start);
        if (!dir.isEmpty())
            m_offlineFolder->setText(QDir::toNativeSeparators(dir));
    });
    folderRow->addWidget(m_offlineFolder, 1);
    folderRow->addWidget(m_offlineBrowse);
    auto* folderLabel = new QLabel(QStringLiteral("&Folder:"), page);
    folderLabel->setBuddy(m_offlineFolder);
    form->addRow(folderLabel, folderRow);
    m_offlineUse = named(new QLabel(page), "offlineUseLabel");
    form->addRow(QStringLiteral("In use:"), m_offlineUse);
    connect(m_offline, &QCheckBox::toggled, this, &GlobalOptionsDialog::updateEnabling);
    return page;
}

QWidget* GlobalOptionsDialog::buildNetwork()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* proxy = new QGroupBox(QStringLiteral("Proxy"), page);
    auto* proxyLayout = new QVBoxLayout(proxy);
    m_proxySystem =
        named(new QRadioButton(QStringLiteral("Use the &system's proxy settings"), proxy),
              "proxySystemButton");
    m_proxyNone = named(new QRadioButton(QStringLiteral("&No proxy"), proxy), "proxyNoneButton");
    m_proxyManual =
        named(new QRadioButton(QStringLiteral("&Manual proxy:"), proxy), "proxyManualButton");
    auto* group = new QButtonGroup(proxy);
    group->addButton(m_proxySystem);
    group->addButton(m_proxyNone);
    group->addButton(m_proxyManual);
    proxyLayout->addWidget(m_proxySystem);
    proxyLayout->addWidget(m_proxyNone);
    proxyLayout->addWidget(m_proxyManual);
    auto* manual = new QFormLayout;
    manual->setContentsMargins(24, 0, 0, 0);
    m_proxyKind = named(new QComboBox(proxy), "proxyKindBox");
    m_proxyKind->addItem(QStringLiteral("HTTP"));
    m_proxyKind->addItem(QStringLiteral("SOCKS 5"));
    manual->addRow(QStringLiteral("&Type:"), m_proxyKind);
    auto* hostRow = new QHBoxLayout;
    m_proxyHost = named(new QLineEdit(proxy), "proxyHostEdit");
    m_proxyHost->setPlaceholderText(QStringLiteral("proxy.example.com"));
    m_proxyPort = named(new QLineEdit(proxy), "proxyPortEdit");
    m_proxyPort->setPlaceholderText(QStringLiteral("8080"));
    m_proxyPort->setMaximumWidth(80);
    hostRow->addWidget(m_proxyHost, 1);
    auto* portLabel = new QLabel(QStringLiteral("P&ort:"), proxy);
    portLabel->setBuddy(m_proxyPort);
    hostRow->addWidget(portLabel);
    hostRow->addWidget(m_proxyPort);
    auto* hostLabel = new QLabel(QStringLiteral("&Host:"), proxy);
    hostLabel->setBuddy(m_proxyHost);
    manual->addRow(hostLabel, hostRow);
    m_proxyUser = named(new QLineEdit(proxy), "proxyUserEdit");
    m_proxyUser->setPlaceholderText(QStringLiteral("only when the proxy asks for one"));
    manual->addRow(QStringLiteral("&User:"), m_proxyUser);
    m_proxyPassword = named(new QLineEdit(proxy), "proxyPasswordEdit");
    m_proxyPassword->setEchoMode(QLineEdit::Password);
    manual->addRow(QStringLiteral("&Password:"), m_proxyPassword);
    proxyLayout->addLayout(manual);
    layout->addWidget(proxy);

    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_timeout = named(new QSpinBox(page), "timeoutSpin");
    m_timeout->setRange(EngineOptions::kMinTimeout, EngineOptions::kMaxTimeout);
    m_timeout->setSuffix(QStringLiteral(" seconds"));
    form->addRow(QStringLiteral("Download &timeout:"), m_timeout);
    m_userAgent = named(new QLineEdit(page), "userAgentEdit");
    m_userAgent->setPlaceholderText(feeds::NetworkSettings::defaultUserAgent());
    form->addRow(QStringLiteral("User &agent:"), m_userAgent);
    form->addRow(QString(), note(QStringLiteral("Leave it empty for the engine's own. Some sites "
                                                "answer only browsers."),
                                 page));
    layout->addLayout(form);
    layout->addStretch();
    connect(group, &QButtonGroup::buttonToggled, this, &GlobalOptionsDialog::updateEnabling);
    return page;
}

QWidget* GlobalOptionsDialog::buildTransfer()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(note(QStringLiteral("Move your channels to or from another feed reader "
                                          "with an OPML file. These act at once, whether or not "
                                          "you press OK."),
                           page));
    auto* importButton = named(
        new QPushButton(QStringLiteral("&Import Channels from a File..."), page), "importButton");
    auto* exportButton = named(
        new QPushButton(QStringLiteral("&Export Channels to a File..."), page), "exportButton");
    connect(importButton, &QPushButton::clicked, this, [this] {
        const QString path = chooseOpmlFileToImport(this);
        if (!path.isEmpty())
            importOpmlFile(this, path);
    });
    connect(exportButton, &QPushButton::clicked, this, [this] { exportOpmlInteractively(this); });
    auto* row = new QHBoxLayout;
    row->addWidget(importButton);
    row->addWidget(exportButton);
    row->addStretch();
    layout->addLayout(row);
    layout->addStretch();
    return page;
}

void GlobalOptionsDialog::load(const EngineOptions& o)
{
    fillIntervalBox(m_interval, o.updateIntervalSecs);
    m_updateAtStart->setChecked(o.updateAllAtStart);
    m_parallel->setValue(o.parallelDownloads);
    m_pause->setChecked(o.paused);
    m_keepDays->setChecked(o.keepDays > 0);
    m_keepDaysSpin->setValue(o.keepDays > 0 ? o.keepDays : kDefaultKeepDays);
    m_keepCount->setChecked(o.keepPerChannel > 0);
    m_keepCountSpin->setValue(o.keepPerChannel > 0 ? o.keepPerChannel : kDefaultKeepCount);
    m_offline->setChecked(o.offlineDownload);
    m_offlineLimit->setValue(o.offlineLimitMb);
    Engine* engine = Engine::instance();
    const QString folder =
        o.offlineFolder.isEmpty() && engine ? engine->offlineFolder() : o.offlineFolder;
    m_offlineFolder->setText(QDir::toNativeSeparators(folder));
    switch (o.network.proxyMode) {
    case feeds::NetworkSettings::ProxyMode::System:
        m_proxySystem->setChecked(true);
        break;
    case feeds::NetworkSettings::ProxyMode::None:
        m_proxyNone->setChecked(true);
        break;
    case feeds::NetworkSettings::ProxyMode::Manual:
        m_proxyManual->setChecked(true);
        break;
    }
    m_proxyKind->setCurrentIndex(o.network.proxyKind == feeds::NetworkSettings::ProxyKind::Socks5);
    m_proxyHost->setText(o.network.proxyHost);
    m_proxyPort->setText(o.network.proxyPort ? QString::number(o.network.proxyPort) : QString());
    m_proxyUser->setText(o.network.proxyUser);
    m_proxyPassword->setText(o.network.proxyPassword);
    m_timeout->setValue(o.timeoutSecs);
    m_userAgent->setText(o.network.userAgent);
    m_storePath->setText(engine ? QDir::toNativeSeparators(engine->storePath()) : QString());
}

EngineOptions GlobalOptionsDialog::shownOptions() const
{
    EngineOptions o;
    o.updateIntervalSecs = intervalOf(m_interval);
    o.updateAllAtStart = m_updateAtStart->isChecked();
    o.parallelDownloads = m_parallel->value();
    o.paused = m_pause->isChecked();
    o.keepDays = m_keepDays->isChecked() ? m_keepDaysSpin->value() : 0;
    o.keepPerChannel = m_keepCount->isChecked() ? m_keepCountSpin->value() : 0;
    o.offlineDownload = m_offline->isChecked();
    o.offlineLimitMb = m_offlineLimit->value();
    o.offlineFolder = QDir::fromNativeSeparators(m_offlineFolder->text().trimmed());
    // The default folder is said as the empty text, so that it follows the data directory.
    if (Engine* engine = Engine::instance()) {
        if (QDir::cleanPath(o.offlineFolder) == QDir::cleanPath(engine->dataDir()))
            o.offlineFolder.clear();
    }
    o.network.proxyMode = m_proxyManual->isChecked() ? feeds::NetworkSettings::ProxyMode::Manual
                          : m_proxyNone->isChecked() ? feeds::NetworkSettings::ProxyMode::None
                                                     : feeds::NetworkSettings::ProxyMode::System;
    o.network.proxyKind = m_proxyKind->currentIndex() == 1
                              ? feeds::NetworkSettings::ProxyKind::Socks5
                              : feeds::NetworkSettings::ProxyKind::Http;
    o.network.proxyHost = m_proxyHost->text().trimmed();
    bool ok = false;
    const uint port = m_proxyPort->text().trimmed().toUInt(&ok);
    o.network.proxyPort = ok && port <= 65535 ? quint16(port) : 0;
    o.network.proxyUser = m_proxyUser->text();
    o.network.proxyPassword = m_proxyPassword->text();
    o.timeoutSecs = m_timeout->value();
    o.network.userAgent = m_userAgent->text().trimmed();
    return o;
}

QString GlobalOptionsDialog::message() const
{
    return m_message->text();
}

void GlobalOptionsDialog::updateEnabling()
{
    m_keepDaysSpin->setEnabled(m_keepDays->isChecked());
    m_keepCountSpin->setEnabled(m_keepCount->isChecked());
    const bool offline = m_offline->isChecked();
    m_offlineLimit->setEnabled(offline);
    m_offlineFolder->setEnabled(offline);
    m_offlineBrowse->setEnabled(offline);
    const bool manual = m_proxyManual->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_proxyKind, m_proxyHost, m_proxyPort,
                                                      m_proxyUser, m_proxyPassword})
        w->setEnabled(manual);
}

void GlobalOptionsDialog::refreshSizes()
{
    Engine* engine = Engine::instance();
    if (!engine)
        return;
    m_storeSize->setText(sizeText(engine->storeSizeBytes()));
    m_offlineUse->setText(QStringLiteral("%1 of downloaded pages and enclosures")
                              .arg(sizeText(engine->offlineBytes())));
}

void GlobalOptionsDialog::compactNow()
{
    Engine* engine = usableEngine(this);
    if (!engine || m_compacting)
        return;
    m_compacting = true;
    m_compact->setEnabled(false);
    m_compactProgress->setVisible(true);
    m_storeSize->setText(
        QStringLiteral("%1, compacting...").arg(sizeText(engine->storeSizeBytes())));
    QPointer<GlobalOptionsDialog> self(this);
    // The callback runs on the worker: the answer is carried to this thread by the
    // application object, which outlives the dialog, and dropped when the dialog is gone.
    engine->compactStoreLater([self](bool ok, const QString& error) {
        QMetaObject::invokeMethod(
            qApp,
            [self, ok, error] {
                if (self)
                    self->compactDone(ok, error);
            },
            Qt::QueuedConnection);
    });
}

void GlobalOptionsDialog::compactDone(bool ok, const QString& error)
{
    m_compacting = false;
    m_compact->setEnabled(true);
    m_compactProgress->setVisible(false);
    refreshSizes();
    if (ok)
        m_message->say(
            QStringLiteral("The store was compacted; it now takes %1.").arg(m_storeSize->text()),
            false);
    else
        m_message->say(QStringLiteral("The store could not be compacted: %1").arg(error), true);
}

QWidget* GlobalOptionsDialog::fieldOf(const QString& problem) const
{
    const std::pair<const char*, QWidget*> fields[] = {
        {"Update interval", m_interval},  {"Channels downloaded", m_parallel},
        {"Keep stories", m_keepDaysSpin}, {"Stories per channel", m_keepCountSpin},
        {"Offline size", m_offlineLimit}, {"Offline folder", m_offlineFolder},
        {"Proxy host", m_proxyHost},      {"Proxy port", m_proxyPort},
        {"Proxy user", m_proxyUser},      {"Download timeout", m_timeout},
        {"User agent", m_userAgent},
    };
    for (const auto& [prefix, widget] : fields) {
        if (problem.startsWith(QLatin1String(prefix)))
            return widget;
    }
    return nullptr;
}

void GlobalOptionsDialog::accept()
{
    Engine* engine = usableEngine(this);
    if (!engine)
        return;
    const EngineOptions wanted = shownOptions();
    QString error;
    if (!engine->setOptions(wanted, &error)) {
        m_message->say(error, true);
        if (QWidget* field = fieldOf(error)) {
            for (int i = 0; i < m_pages->count(); ++i) {
                if (m_pages->widget(i)->isAncestorOf(field))
                    m_pages->setCurrentIndex(i);
            }
            field->setFocus();
        }
        return;
    }
    QDialog::accept();
}

} // namespace vantrel::dialogs
