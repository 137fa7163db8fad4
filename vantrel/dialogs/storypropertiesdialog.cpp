#include "vantrel/dialogs/storypropertiesdialog.h"

#include "vantrel/dialogs/dialogparts.h"
#include "vantrel/dialogs/globaloptionsdialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel::dialogs
{

namespace
{

QMutex g_openerMutex;
StoryPropertiesDialog::LinkOpener g_opener;

bool isWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QLabel* valueLabel(QWidget* parent, const char* objectName, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QString yesNo(bool on)
{
    return on ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace

QString storyAuthor(const Story& story)
{
    for (auto it = story.extra.cbegin(); it != story.extra.cend(); ++it) {
        if (it.key().compare(QLatin1String("Author"), Qt::CaseInsensitive) == 0)
            return it.value().toString().trimmed();
    }
    return QString();
}

void StoryPropertiesDialog::setLinkOpener(LinkOpener opener)
{
    QMutexLocker lock(&g_openerMutex);
    g_opener = std::move(opener);
}

StoryPropertiesDialog::StoryPropertiesDialog(uint32_t channelId, uint32_t bundletId,
                                             QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("storyPropertiesDialog"));
    setWindowTitle(QStringLiteral("Story Properties"));
    if (Engine* engine = Engine::instance())
        m_valid = engine->storyFacts(channelId, bundletId, m_facts);
    buildUi();
}

StoryPropertiesDialog::~StoryPropertiesDialog() = default;

void StoryPropertiesDialog::buildUi()
{
    auto* layout = new QVBoxLayout(this);
    const Story& s = m_facts.story;
    if (!m_valid) {
        layout->addWidget(new QLabel(QStringLiteral("This story is no longer stored."), this));
    } else {
        auto* headline =
            valueLabel(this, "headlineLabel",
                       s.headline.isEmpty() ? QStringLiteral("(no headline)") : s.headline);
        QFont bold = headline->font();
        bold.setBold(true);
        bold.setPointSizeF(bold.pointSizeF() * 1.15);
        headline->setFont(bold);
        layout->addWidget(headline);

        auto* form = new QFormLayout;
        form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
        form->addRow(QStringLiteral("Channel:"),
                     valueLabel(this, "channelLabel", m_facts.channelName));
        if (!m_facts.alertName.isEmpty())
            form->addRow(QStringLiteral("Alert:"),
                         valueLabel(this, "alertLabel", m_facts.alertName));

        auto* linkRow = new QHBoxLayout;
        m_link = new QLineEdit(s.link, this);
        m_link->setObjectName(QStringLiteral("linkEdit"));
        m_link->setReadOnly(true);
        m_link->setCursorPosition(0);
        m_link->setMinimumWidth(280);
        auto* copy = new QPushButton(QStringLiteral("&Copy"), this);
        copy->setObjectName(QStringLiteral("copyLinkButton"));
        copy->setEnabled(!s.link.isEmpty());
        connect(copy, &QPushButton::clicked, this,
                [this] { QApplication::clipboard()->setText(m_link->text()); });
        m_open = new QPushButton(QStringLiteral("&Open"), this);
        m_open->setObjectName(QStringLiteral("openLinkButton"));
        m_open->setEnabled(isWebAddress(QUrl(s.link)));
        m_open->setToolTip(m_open->isEnabled()
                               ? QStringLiteral("Open the story in your web browser")
                               : QStringLiteral("Only web addresses (http, https) are opened"));
        connect(m_open, &QPushButton::clicked, this, [this] { openLink(); });
        linkRow->addWidget(m_link, 1);
        linkRow->addWidget(copy);
        linkRow->addWidget(m_open);
        form->addRow(QStringLiteral("Link:"), linkRow);

        form->addRow(QStringLiteral("Published:"),
                     valueLabel(this, "publishedLabel",
                                timeText(s.published, QStringLiteral("Not given by the feed"))));
        form->addRow(QStringLiteral("Received:"),
                     valueLabel(this, "receivedLabel", timeText(s.received)));
        QString category = s.category;
        category.replace(QLatin1String("//"), QStringLiteral("\x01"));
        category.replace(QLatin1Char('/'), QStringLiteral(" / "));
        category.replace(QLatin1Char('\x01'), QLatin1Char('/'));
        form->addRow(QStringLiteral("Category:"),
                     valueLabel(this, "categoryLabel",
                                category.isEmpty() ? QStringLiteral("None") : category));
        const QString author = storyAuthor(s);
        form->addRow(QStringLiteral("Author:"),
                     valueLabel(this, "authorLabel",
                                author.isEmpty() ? QStringLiteral("Not given") : author));
        QString size = sizeText(m_facts.sizeBytes);
        if (m_facts.pageBytes > 0)
            size += QStringLiteral(" (the saved page %1)").arg(sizeText(m_facts.pageBytes));
        form->addRow(QStringLiteral("Size:"), valueLabel(this, "sizeLabel", size));

        QString enclosure = QStringLiteral("None");
        if (!s.enclosureUrl.isEmpty()) {
            QStringList parts;
            parts << (s.enclosureType.isEmpty() ? QStringLiteral("unknown type") : s.enclosureType);
            if (s.enclosureLength > 0)
                parts << sizeText(s.enclosureLength);
            enclosure = parts.join(QStringLiteral(", ")) + QLatin1Char('\n') + s.enclosureUrl;
            enclosure += m_facts.enclosureLocal
                             ? QStringLiteral("\nLocal copy: %1")
                                   .arg(QDir::toNativeSeparators(m_facts.enclosureFile))
                             : QStringLiteral("\nNo local copy");
        }
        form->addRow(QStringLiteral("Enclosure:"), valueLabel(this, "enclosureLabel", enclosure));

        const QString state =
            QStringLiteral("Read: %1    Kept: %2    Alerted: %3    Downloaded: %4")
                .arg(yesNo(s.read), yesNo(s.keep), yesNo(s.alerted || !m_facts.alertName.isEmpty()),
                     yesNo(!s.localPath.isEmpty()));
        form->addRow(QStringLiteral("State:"), valueLabel(this, "stateLabel", state));
        layout->addLayout(form);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(sizeHint().expandedTo(QSize(520, 0)));
}

bool StoryPropertiesDialog::openLink()
{
    const QUrl url(m_facts.story.link.trimmed());
    if (!m_valid || !isWebAddress(url)) {
        showMessage(this, QMessageBox::Warning, QStringLiteral("Story Properties"),
                    QStringLiteral("Only web addresses (http or https) are opened from here."));
        return false;
    }
    LinkOpener opener;
    {
        QMutexLocker lock(&g_openerMutex);
        opener = g_opener;
    }
    if (!opener || !opener(url)) {
        showMessage(
            this, QMessageBox::Warning, QStringLiteral("Story Properties"),
            QStringLiteral("The web browser could not be started for %1.").arg(url.toString()));
        return false;
    }
    return true;
}

} // namespace vantrel::dialogs
