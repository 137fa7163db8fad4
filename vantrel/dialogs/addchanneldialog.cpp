#include "vantrel/dialogs/addchanneldialog.h"

#include "vantrel/core/feedaddress.h"
#include "vantrel/core/origin.h"
#include "vantrel/dialogs/dialogparts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vantrel::dialogs
{

namespace
{

QString linkText(const FeedProbe::Link& link)
{
    const QString title = link.title.isEmpty() ? QStringLiteral("(untitled)") : link.title;
    return QStringLiteral("%1  \u2014  %2  (%3)").arg(title, link.address, link.type);
}

} // namespace

AddChannelDialog::AddChannelDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Add Channel"));
    setObjectName(QStringLiteral("addChannelDialog"));
    m_task = new ProbeTask(this);
    connect(m_task, &ProbeTask::finished, this, &AddChannelDialog::probeFinished);
    m_ticker.setInterval(500);
    connect(&m_ticker, &QTimer::timeout, this, &AddChannelDialog::tick);
    buildUi();
    setState(State::Empty);
    // Sized to what shows at first; the list of a page's feeds grows the dialog when it shows.
    resize(640, sizeHint().height());
}

AddChannelDialog::~AddChannelDialog() = default;

void AddChannelDialog::buildUi()
{
    auto* layout = new QVBoxLayout(this);

    auto* intro = new QLabel(QStringLiteral("Type or paste the address of a feed (RSS or Atom), "
                                            "or of a web page that links to its feeds."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* addressRow = new QHBoxLayout;
    auto* addressLabel = new QLabel(QStringLiteral("&Address:"), this);
    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("addressEdit"));
    m_address->setPlaceholderText(QStringLiteral("https://example.com/feed.xml"));
    m_address->setClearButtonEnabled(true);
    addressLabel->setBuddy(m_address);
    m_fetch = new QPushButton(QStringLiteral("&Fetch"), this);
    m_fetch->setObjectName(QStringLiteral("fetchButton"));
    addressRow->addWidget(addressLabel);
    addressRow->addWidget(m_address, 1);
    addressRow->addWidget(m_fetch);
    layout->addLayout(addressRow);
    connect(m_address, &QLineEdit::textEdited, this, &AddChannelDialog::addressEdited);
    connect(m_fetch, &QPushButton::clicked, this, &AddChannelDialog::fetch);

    m_progressRow = new QWidget(this);
    auto* progressLayout = new QHBoxLayout(m_progressRow);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    m_progress = new QProgressBar(m_progressRow);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setRange(0, 0); // busy: a download's length is rarely known in advance
    m_progress->setMaximumWidth(140);
    m_progressText = new QLabel(m_progressRow);
    m_progressText->setTextFormat(Qt::PlainText);
    m_progressText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_stop = new QPushButton(QStringLiteral("S&top"), m_progressRow);
    m_stop->setObjectName(QStringLiteral("stopButton"));
    m_stop->setAutoDefault(false);
    progressLayout->addWidget(m_progress);
    progressLayout->addWidget(m_progressText, 1);
    progressLayout->addWidget(m_stop);
    layout->addWidget(m_progressRow);
    connect(m_stop, &QPushButton::clicked, this, [this] {
        m_task->cancel();
        m_ticker.stop();
        setState(m_feedList->count() > 0 ? State::Choices : State::Empty);
        showMessage(QStringLiteral("Stopped. Nothing was added."), false);
    });

    m_message = new MessageLine(this);
    layout->addWidget(m_message);

    m_feedListLabel =
        new QLabel(QStringLiteral("This page links to several feeds. &Choose one:"), this);
    m_feedList = new QListWidget(this);
    m_feedList->setObjectName(QStringLiteral("feedList"));
    m_feedList->setMinimumHeight(m_feedList->fontMetrics().height() * 4 + 8);
    m_feedList->setMaximumHeight(m_feedList->fontMetrics().height() * 6 + 8);
    m_feedListLabel->setBuddy(m_feedList);
    layout->addWidget(m_feedListLabel);
    layout->addWidget(m_feedList);
    connect(m_feedList, &QListWidget::currentRowChanged, this, [this] { linkChosen(); });

    m_group = new QGroupBox(QStringLiteral("Channel"), this);
    m_group->setObjectName(QStringLiteral("channelGroup"));
    auto* form = new QFormLayout(m_group);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_name = new QLineEdit(m_group);
    m_name->setObjectName(QStringLiteral("nameEdit"));
    form->addRow(QStringLiteral("&Name:"), m_name);
    m_category = new CategoryBox(m_group);
    m_category->setObjectName(QStringLiteral("categoryBox"));
    m_category->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    form->addRow(QStringLiteral("Cate&gory:"), m_category);
    m_description = new QLabel(m_group);
    m_description->setWordWrap(true);
    m_description->setTextFormat(Qt::PlainText);
    m_description->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_description->setMinimumWidth(200);
    form->addRow(QStringLiteral("Description:"), m_description);
    m_homePage = new QLabel(m_group);
    m_homePage->setTextFormat(Qt::RichText);
    m_homePage->setOpenExternalLinks(true);
    m_homePage->setTextInteractionFlags(Qt::TextBrowserInteraction);
    form->addRow(QStringLiteral("Home page:"), m_homePage);
    m_storyCount = new QLabel(m_group);
    form->addRow(QStringLiteral("Stories:"), m_storyCount);
    m_newest = new QTreeWidget(m_group);
    m_newest->setObjectName(QStringLiteral("newestList"));
    m_newest->setColumnCount(2);
    m_newest->setHeaderLabels({QStringLiteral("Newest stories"), QStringLiteral("Date")});
    m_newest->setRootIsDecorated(false);
    m_newest->setSelectionMode(QAbstractItemView::NoSelection);
    m_newest->setFocusPolicy(Qt::NoFocus);
    m_newest->header()->setStretchLastSection(false);
    m_newest->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_newest->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    // Room for the headlines shown and the header, without empty space below them.
    m_newest->setFixedHeight(m_newest->fontMetrics().height() * (Engine::kProbeHeadlines + 2) + 8);
    form->addRow(m_newest);
    layout->addWidget(m_group);
    layout->addStretch(1);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_subscribe = m_buttons->button(QDialogButtonBox::Ok);
    m_subscribe->setText(QStringLiteral("&Subscribe"));
    m_subscribe->setObjectName(QStringLiteral("subscribeButton"));
    m_buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &AddChannelDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &AddChannelDialog::reject);

    setTabOrder(m_address, m_fetch);
    setTabOrder(m_fetch, m_feedList);
    setTabOrder(m_feedList, m_name);
    setTabOrder(m_name, m_category);
    setMinimumWidth(560);
}

void AddChannelDialog::setState(State state)
{
    m_state = state;
    const bool fetching = state == State::Fetching;
    const bool ready = state == State::Ready;
    m_progressRow->setVisible(fetching);
    m_address->setReadOnly(fetching);
    m_fetch->setEnabled(!fetching);
    const bool listed = m_feedList->count() > 0;
    m_feedListLabel->setVisible(listed);
    m_feedList->setVisible(listed);
    m_feedList->setEnabled(!fetching);
    m_group->setEnabled(ready);
    m_subscribe->setEnabled(ready && m_preview.existingChannelId == 0);
    // Enter fetches an address that was not fetched yet, and subscribes once a feed shows.
    const bool subscribeByEnter = ready && m_subscribe->isEnabled();
    m_fetch->setDefault(!subscribeByEnter);
    m_subscribe->setDefault(subscribeByEnter);
    if (!ready) {
        m_name->clear();
        m_description->clear();
        m_homePage->clear();
        m_storyCount->clear();
        m_newest->clear();
    }
}

void AddChannelDialog::showMessage(const QString& text, bool problem)
{
    m_message->say(text, problem);
}

QString AddChannelDialog::message() const
{
    return m_message->text();
}

bool AddChannelDialog::isFetching() const
{
    return m_state == State::Fetching;
}

void AddChannelDialog::setAddress(const QString& address)
{
    m_address->setText(address);
    fetch();
}

void AddChannelDialog::fetch()
{
    const FeedAddress address = readFeedAddress(m_address->text());
    m_feedList->clear();
    m_preview = FeedProbe();
    if (!address.ok()) {
        setState(State::Problem);
        showMessage(address.error, true);
        m_address->setFocus();
        return;
    }
    startProbe(m_address->text().trimmed());
}

void AddChannelDialog::startProbe(const QString& address)
{
    showMessage(QString(), false);
    m_fetching = address;
    if (!m_task->start(address)) {
        setState(State::Problem);
        showMessage(QStringLiteral("The Vantrel engine is not running."), true);
        return;
    }
    m_elapsed.start();
    m_ticker.start();
    setState(State::Fetching);
    tick();
}

void AddChannelDialog::tick()
{
    const qint64 seconds = m_elapsed.isValid() ? m_elapsed.elapsed() / 1000 : 0;
    const QString what = QStringLiteral("Fetching %1").arg(m_fetching);
    m_progressText->setText(seconds >= 2 ? QStringLiteral("%1 (%2 s)...").arg(what).arg(seconds)
                                         : what + QStringLiteral("..."));
}

void AddChannelDialog::probeFinished(const FeedProbe& probe)
{
    m_ticker.stop();
    const bool fromList = m_feedList->count() > 0;
    switch (probe.result) {
    case FeedProbe::Result::Failed:
        m_preview = FeedProbe();
        setState(fromList ? State::Choices : State::Problem);
        showMessage(probe.error, true);
        break;
    case FeedProbe::Result::Choices:
        m_feedList->blockSignals(true);
        for (const FeedProbe::Link& link : probe.links) {
            auto* item = new QListWidgetItem(linkText(link), m_feedList);
            item->setData(Qt::UserRole, link.address);
            item->setToolTip(link.address);
        }
        m_feedList->blockSignals(false);
        m_feedListLabel->setText(
            QStringLiteral("This page links to %1 feeds. &Choose one:").arg(probe.links.size()));
        setState(State::Choices);
        // The first is shown at once; choosing another shows that one.
        m_feedList->setCurrentRow(0);
        m_feedList->setFocus();
        break;
    case FeedProbe::Result::Feed:
        showPreview(probe);
        break;
    }
}

void AddChannelDialog::showPreview(const FeedProbe& probe)
{
    m_preview = probe;
    m_name->setText(probe.title);
    m_description->setText(probe.description.isEmpty() ? QStringLiteral("(none)")
                                                       : probe.description);
    // Only a web page opens from here; a page on this computer is only named.
    const QUrl home(probe.homePage);
    if (isNetworkAddress(home))
        m_homePage->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                                .arg(home.toString(QUrl::FullyEncoded).toHtmlEscaped(),
                                     home.toDisplayString().toHtmlEscaped()));
    else
        m_homePage->setText(
            probe.homePage.isEmpty()
                ? QStringLiteral("(none)")
                : (home.isLocalFile() ? home.toLocalFile() : probe.homePage).toHtmlEscaped());
    setState(State::Ready); // clears nothing of the preview while ready
    m_storyCount->setText(probe.itemCount == 1 ? QStringLiteral("1 story")
                                               : QStringLiteral("%1 stories").arg(probe.itemCount));
    m_newest->clear();
    for (const FeedProbe::Headline& h : probe.newest) {
        auto* item = new QTreeWidgetItem(m_newest);
        item->setText(0, h.headline);
        item->setToolTip(0, h.headline);
        item->setText(1, timeText(h.published, QString()));
    }
    if (probe.existingChannelId != 0) {
        showMessage(QStringLiteral("You are already subscribed to this feed: \"%1\".")
                        .arg(probe.existingChannelName),
                    true);
    } else if (!probe.damage.isEmpty()) {
        showMessage(QStringLiteral("Only the start of this feed can be read (%1). The stories "
                                   "before the damage will be added.")
                        .arg(probe.damage),
                    true);
    } else {
        showMessage(QString(), false);
    }
    m_name->setFocus();
    m_name->selectAll();
}

void AddChannelDialog::linkChosen()
{
    QListWidgetItem* item = m_feedList->currentItem();
    if (!item || m_state == State::Fetching)
        return;
    m_preview = FeedProbe();
    startProbe(item->data(Qt::UserRole).toString());
}

void AddChannelDialog::addressEdited()
{
    // A preview belongs to the address it was fetched from.
    if (m_state == State::Ready || m_state == State::Choices || m_state == State::Problem) {
        m_feedList->clear();
        m_preview = FeedProbe();
        setState(State::Empty);
        showMessage(QString(), false);
    }
}

void AddChannelDialog::accept()
{
    if (m_state != State::Ready || m_preview.existingChannelId != 0)
        return;
    Engine* engine = usableEngine(this);
    if (!engine)
        return;
    if (m_name->text().simplified().isEmpty()) {
        showMessage(QStringLiteral("The channel needs a name."), true);
        m_name->setFocus();
        return;
    }
    NewChannel wanted;
    wanted.address = m_preview.address;
    wanted.name = m_name->text();
    wanted.categories = m_category->categories();
    wanted.homePage = isNetworkAddress(QUrl(m_preview.homePage)) ? m_preview.homePage : QString();
    wanted.description = m_preview.description;
    QString error;
    uint32_t id = 0;
    if (!engine->subscribeAddress(wanted, &id, &error)) {
        showMessage(error, true);
        return;
    }
    m_channelId = id;
    QDialog::accept();
}

void AddChannelDialog::reject()
{
    // Closing while a fetch runs stops it: nothing is left behind.
    m_task->cancel();
    m_ticker.stop();
    QDialog::reject();
}

} // namespace vantrel::dialogs
