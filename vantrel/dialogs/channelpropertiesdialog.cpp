#include "vantrel/dialogs/channelpropertiesdialog.h"

#include "vantrel/core/feedaddress.h"
#include "vantrel/dialogs/dialogparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace vantrel::dialogs
{

namespace
{

constexpr int kLogoSize = 48;
constexpr int kDefaultKeep = 200;

QLabel* valueLabel(QWidget* parent, const char* objectName)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    label->setMinimumWidth(200);
    return label;
}

} // namespace

ChannelPropertiesDialog::ChannelPropertiesDialog(Target target, uint32_t id, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("channelPropertiesDialog"));
    m_check = new ProbeTask(this);
    connect(m_check, &ProbeTask::finished, this, &ChannelPropertiesDialog::addressChecked);
    if (Engine* engine = Engine::instance()) {
        if (target == Target::Channel) {
            m_channelId = id;
        } else if (!engine->lookupSubscribedChannel(id, m_channelId)) {
            m_channelId = 0;
            m_entryId = id;
        }
    }
    buildUi();
    load();
    m_refresh.setInterval(1000);
    connect(&m_refresh, &QTimer::timeout, this, &ChannelPropertiesDialog::refreshStatus);
    if (m_valid && m_channelId != 0)
        m_refresh.start();
}

ChannelPropertiesDialog::~ChannelPropertiesDialog() = default;

void ChannelPropertiesDialog::buildUi()
{
    auto* layout = new QVBoxLayout(this);

    auto* channelGroup = new QGroupBox(QStringLiteral("Channel"), this);
    auto* channelRow = new QHBoxLayout(channelGroup);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_name = new QLineEdit(channelGroup);
    m_name->setObjectName(QStringLiteral("nameEdit"));
    form->addRow(QStringLiteral("&Name:"), m_name);
    m_address = new QLineEdit(channelGroup);
    m_address->setObjectName(QStringLiteral("addressEdit"));
    form->addRow(QStringLiteral("Feed &address:"), m_address);
    m_category = new CategoryBox(channelGroup);
    m_category->setObjectName(QStringLiteral("categoryBox"));
    m_category->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    form->addRow(QStringLiteral("&Category:"), m_category);
    m_homePage = new QLineEdit(channelGroup);
    m_homePage->setObjectName(QStringLiteral("homePageEdit"));
    m_homePage->setPlaceholderText(QStringLiteral("https://"));
    form->addRow(QStringLiteral("&Home page:"), m_homePage);
    channelRow->addLayout(form, 1);
    m_logo = new QLabel(channelGroup);
    m_logo->setFixedSize(kLogoSize + 8, kLogoSize + 8);
    m_logo->setAlignment(Qt::AlignCenter);
    m_logo->setFrameShape(QFrame::StyledPanel);
    channelRow->addWidget(m_logo, 0, Qt::AlignTop);
    layout->addWidget(channelGroup);

    auto* updateGroup = new QGroupBox(QStringLiteral("Updates"), this);
    auto* updateForm = new QFormLayout(updateGroup);
    m_enabled =
        new QCheckBox(QStringLiteral("&Enabled: check this channel for new stories"), updateGroup);
    m_enabled->setObjectName(QStringLiteral("enabledBox"));
    updateForm->addRow(m_enabled);
    m_interval = new QComboBox(updateGroup);
    m_interval->setObjectName(QStringLiteral("intervalBox"));
    updateForm->addRow(QStringLiteral("Check &for new stories:"), m_interval);
    auto* keepRow = new QHBoxLayout;
    m_keep = new QCheckBox(QStringLiteral("&Keep only the newest"), updateGroup);
    m_keep->setObjectName(QStringLiteral("keepBox"));
    m_keepCount = new QSpinBox(updateGroup);
    m_keepCount->setObjectName(QStringLiteral("keepSpin"));
    m_keepCount->setRange(1, 100000);
    m_keepCount->setSuffix(QStringLiteral(" stories"));
    keepRow->addWidget(m_keep);
    keepRow->addWidget(m_keepCount);
    keepRow->addStretch(1);
    updateForm->addRow(keepRow);
    auto* keepNote = new QLabel(QStringLiteral("Stories you keep are never removed."), updateGroup);
    keepNote->setEnabled(false);
    updateForm->addRow(keepNote);
    connect(m_keep, &QCheckBox::toggled, m_keepCount, &QWidget::setEnabled);
    layout->addWidget(updateGroup);

    m_statusGroup = new QGroupBox(QStringLiteral("Status"), this);
    auto* statusForm = new QFormLayout(m_statusGroup);
    m_status = valueLabel(m_statusGroup, "statusLabel");
    statusForm->addRow(QStringLiteral("Status:"), m_status);
    m_lastUpdate = valueLabel(m_statusGroup, "lastUpdateLabel");
    statusForm->addRow(QStringLiteral("Last update:"), m_lastUpdate);
    m_nextUpdate = valueLabel(m_statusGroup, "nextUpdateLabel");
    statusForm->addRow(QStringLiteral("Next update:"), m_nextUpdate);
    m_lastError = valueLabel(m_statusGroup, "lastErrorLabel");
    statusForm->addRow(QStringLiteral("Last error:"), m_lastError);
    m_stories = valueLabel(m_statusGroup, "storiesLabel");
    statusForm->addRow(QStringLiteral("Stories:"), m_stories);
    m_updateNow = new QPushButton(QStringLiteral("&Update Now"), m_statusGroup);
    m_updateNow->setObjectName(QStringLiteral("updateNowButton"));
    m_updateNow->setAutoDefault(false);
    auto* updateRow = new QHBoxLayout;
    updateRow->addWidget(m_updateNow);
    updateRow->addStretch(1);
    statusForm->addRow(QString(), updateRow);
    connect(m_updateNow, &QPushButton::clicked, this, [this] {
        Engine* engine = Engine::instance();
        if (engine && engine->forceUpdate(m_channelId)) {
            m_message->say(QStringLiteral("Updating now."), false);
        } else {
            m_message->say(QStringLiteral("This channel cannot be updated: it has no feed "
                                          "address or the engine is not downloading."),
                           true);
        }
        refreshStatus();
    });
    layout->addWidget(m_statusGroup);

    m_message = new MessageLine(this);
    layout->addWidget(m_message);
    layout->addStretch(1);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    m_buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &ChannelPropertiesDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &ChannelPropertiesDialog::reject);
    setMinimumWidth(520);
}

void ChannelPropertiesDialog::load()
{
    Engine* engine = Engine::instance();
    ChannelFacts facts;
    if (engine && m_channelId != 0 && engine->channelFacts(m_channelId, facts)) {
        m_valid = true;
    } else if (engine && m_entryId != 0) {
        for (const DirEntry& e : engine->directoryEntries()) {
            if (e.id != m_entryId)
                continue;
            m_valid = true;
            facts.name = e.name;
            facts.address = e.url;
            facts.categories = e.categories;
            facts.homePage = e.homePage;
            facts.description = e.description;
        }
    }
    m_name->setText(facts.name);
    m_address->setText(facts.address);
    m_loadedAddress = facts.address;
    m_category->setCategories(facts.categories);
    m_homePage->setText(facts.homePage);
    m_enabled->setChecked(facts.enabled);
    const int everyChannel = engine ? engine->updateIntervalSecs() : 30 * 60;
    fillIntervalBox(m_interval, facts.updateIntervalSecs > 0 ? facts.updateIntervalSecs : -1);
    m_interval->insertItem(
        0, QStringLiteral("As all channels (%1)").arg(intervalText(everyChannel).toLower()), 0);
    if (facts.updateIntervalSecs <= 0)
        m_interval->setCurrentIndex(0);
    m_keep->setChecked(facts.keepStories > 0);
    m_keepCount->setValue(facts.keepStories > 0 ? facts.keepStories : kDefaultKeep);
    m_keepCount->setEnabled(facts.keepStories > 0);

    const QPixmap logo(facts.logoFile);
    if (logo.isNull())
        m_logo->setText(QStringLiteral("No logo"));
    else
        m_logo->setPixmap(
            logo.scaled(kLogoSize, kLogoSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_logo->setToolTip(facts.logoFile);

    const bool entry = m_channelId == 0;
    m_statusGroup->setVisible(!entry);
    // An entry is the catalogue's: its address stays as the catalogue gives it.
    m_address->setReadOnly(entry);
    if (entry) {
        setWindowTitle(QStringLiteral("Subscribe to %1").arg(facts.name));
        m_buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Subscribe"));
        m_message->say(QStringLiteral("You are not subscribed to this channel. Subscribe adds it "
                                      "with these settings."),
                       false);
    } else {
        setWindowTitle(QStringLiteral("%1 Properties").arg(facts.name));
    }
    if (!m_valid) {
        setWindowTitle(QStringLiteral("Channel Properties"));
        m_message->say(QStringLiteral("There is no such channel."), true);
        m_buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    }
    refreshStatus();
}

void ChannelPropertiesDialog::refreshStatus()
{
    Engine* engine = Engine::instance();
    if (!engine || m_channelId == 0)
        return;
    // Never wait for a download that holds the engine: the next tick tries again.
    std::vector<ChannelFacts> all;
    if (!engine->tryAllChannelFacts(all))
        return;
    const auto it = std::find_if(all.begin(), all.end(),
                                 [&](const ChannelFacts& f) { return f.id == m_channelId; });
    if (it == all.end()) {
        m_refresh.stop();
        m_message->say(QStringLiteral("This channel was removed."), true);
        m_buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
        return;
    }
    const ChannelFacts& f = *it;
    m_status->setText(f.updating ? QStringLiteral("Updating...")
                      : f.queued ? QStringLiteral("Waiting to update")
                                 : f.status);
    m_lastUpdate->setText(timeText(f.lastUpdated));
    m_nextUpdate->setText(!f.scheduled
                              ? (f.enabled ? QStringLiteral("Not scheduled: downloads are "
                                                            "suspended or it has no "
                                                            "address")
                                           : QStringLiteral("Not scheduled: disabled"))
                              : nextTimeText(f.nextUpdate, QDateTime::currentSecsSinceEpoch()));
    m_lastError->setText(f.lastError.isEmpty()
                             ? QStringLiteral("None")
                             : QStringLiteral("%1: %2").arg(timeText(f.lastErrorAt), f.lastError));
    m_stories->setText(QStringLiteral("%1 (%2 unread)").arg(f.stories).arg(f.unread));
    m_updateNow->setEnabled(!f.address.isEmpty() && !f.updating);
}

ChannelSettings ChannelPropertiesDialog::wantedSettings() const
{
    ChannelSettings s;
    s.name = m_name->text();
    s.address = m_address->text().trimmed();
    s.categories = m_category->categories();
    s.homePage = m_homePage->text().trimmed();
    s.enabled = m_enabled->isChecked();
    s.updateIntervalSecs = intervalOf(m_interval);
    s.keepStories = m_keep->isChecked() ? m_keepCount->value() : 0;
    return s;
}

bool ChannelPropertiesDialog::isChecking() const
{
    return m_check->isRunning();
}

QString ChannelPropertiesDialog::message() const
{
    return m_message->text();
}

void ChannelPropertiesDialog::accept()
{
    if (!m_valid || isChecking())
        return;
    if (m_name->text().simplified().isEmpty()) {
        m_message->say(QStringLiteral("A channel needs a name."), true);
        m_name->setFocus();
        return;
    }
    const QString address = m_address->text().trimmed();
    if (address == m_loadedAddress) {
        apply(address);
        return;
    }
    // A new address must lead to a feed, as when a channel is added.
    const FeedAddress read = readFeedAddress(address);
    if (!read.ok()) {
        m_message->say(read.error, true);
        m_address->setFocus();
        return;
    }
    if (!m_check->start(address))
        return;
    m_message->say(QStringLiteral("Checking the new address..."), false);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
}

void ChannelPropertiesDialog::addressChecked(const FeedProbe& probe)
{
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(true);
    if (probe.result == FeedProbe::Result::Failed) {
        m_message->say(probe.error, true);
        m_address->setFocus();
        return;
    }
    if (probe.result == FeedProbe::Result::Choices) {
        QStringList addresses;
        for (const FeedProbe::Link& l : probe.links)
            addresses << l.address;
        m_message->say(QStringLiteral("That is a web page with several feeds; give the address "
                                      "of one of them: %1")
                           .arg(addresses.join(QStringLiteral(", "))),
                       true);
        return;
    }
    if (probe.existingChannelId != 0 && probe.existingChannelId != m_channelId) {
        m_message->say(QStringLiteral("You are already subscribed to this feed: \"%1\".")
                           .arg(probe.existingChannelName),
                       true);
        return;
    }
    apply(probe.address);
}

void ChannelPropertiesDialog::apply(const QString& address)
{
    Engine* engine = usableEngine(this);
    if (!engine)
        return;
    ChannelSettings s = wantedSettings();
    s.address = address;
    QString error;
    if (m_channelId == 0) {
        uint32_t channel = 0;
        if (!engine->subscribe(m_entryId, &channel)) {
            m_message->say(QStringLiteral("The channel cannot be subscribed to."), true);
            return;
        }
        m_channelId = channel;
        ChannelFacts facts;
        engine->channelFacts(channel, facts);
        s.address = facts.address; // the catalogue's address, read as the channel took it
    }
    if (!engine->setChannelSettings(m_channelId, s, &error)) {
        if (m_entryId != 0) {
            // Subscribing and its settings are one step for the person: both or neither.
            engine->unsubscribeEntry(m_entryId);
            m_channelId = 0;
        }
        m_message->say(error, true);
        return;
    }
    QDialog::accept();
}

void ChannelPropertiesDialog::reject()
{
    m_check->cancel();
    m_refresh.stop();
    QDialog::reject();
}

} // namespace vantrel::dialogs
