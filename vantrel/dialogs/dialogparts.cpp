#include "vantrel/dialogs/dialogparts.h"

#include "vantrel/core/textrules.h"

#include <QCompleter>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QStyle>
#include <cstdio>

namespace vantrel::dialogs
{

namespace
{

MessageHook& messageHook()
{
    static MessageHook hook;
    return hook;
}

} // namespace

CategoryBox::CategoryBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(24);
    if (Engine* engine = Engine::instance())
        addItems(engine->knownCategories());
    completer()->setCaseSensitivity(Qt::CaseInsensitive);
    completer()->setFilterMode(Qt::MatchContains);
    lineEdit()->setPlaceholderText(QStringLiteral("None, or a path such as Technology/Linux"));
    setCurrentIndex(-1);
    setEditText(QString());
}

QString CategoryBox::categories() const
{
    return tidyCategories(currentText());
}

void CategoryBox::setCategories(const QString& categories)
{
    const int i = findText(categories, Qt::MatchFixedString);
    setCurrentIndex(i);
    setEditText(categories);
}

MessageLine::MessageLine(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_icon = new QLabel(this);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("messageLabel"));
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    layout->addWidget(m_icon, 0, Qt::AlignTop);
    layout->addWidget(m_text, 1);
    setVisible(false);
}

void MessageLine::say(const QString& text, bool problem)
{
    m_text->setText(text);
    const int size = style()->pixelMetric(QStyle::PM_SmallIconSize);
    m_icon->setPixmap(style()
                          ->standardIcon(problem ? QStyle::SP_MessageBoxWarning
                                                 : QStyle::SP_MessageBoxInformation)
                          .pixmap(size, size));
    setVisible(!text.isEmpty());
}

QString MessageLine::text() const
{
    return isHidden() ? QString() : m_text->text();
}

ProbeTask::ProbeTask(QObject* parent) : QObject(parent) {}

ProbeTask::~ProbeTask()
{
    cancel();
}

bool ProbeTask::start(const QString& address)
{
    cancel();
    Engine* engine = Engine::instance();
    if (!engine)
        return false;
    m_engine = engine;
    QPointer<ProbeTask> self(this);
    const uint64_t id = engine->probeAddress(address, [self](const FeedProbe& probe) {
        if (!self)
            return;
        self->m_probe = 0;
        emit self->finished(probe);
    });
    // A refused address is answered later as well: the id is set before any answer arrives.
    m_probe = id;
    return true;
}

void ProbeTask::cancel()
{
    if (m_probe != 0 && m_engine)
        m_engine->cancelProbe(m_probe);
    m_probe = 0;
}

const std::vector<IntervalChoice>& intervalChoices()
{
    static const std::vector<IntervalChoice> choices = {
        {15 * 60, QStringLiteral("Every 15 minutes")},
        {30 * 60, QStringLiteral("Every 30 minutes")},
        {60 * 60, QStringLiteral("Every hour")},
        {2 * 3600, QStringLiteral("Every 2 hours")},
        {4 * 3600, QStringLiteral("Every 4 hours")},
        {12 * 3600, QStringLiteral("Every 12 hours")},
        {24 * 3600, QStringLiteral("Once a day")},
    };
    return choices;
}

QString intervalText(int seconds)
{
    for (const IntervalChoice& c : intervalChoices()) {
        if (c.seconds == seconds)
            return c.text;
    }
    if (seconds % 3600 == 0)
        return QStringLiteral("Every %1 hours").arg(seconds / 3600);
    if (seconds % 60 == 0)
        return QStringLiteral("Every %1 minutes").arg(seconds / 60);
    return QStringLiteral("Every %1 seconds").arg(seconds);
}

void fillIntervalBox(QComboBox* box, int seconds)
{
    box->clear();
    for (const IntervalChoice& c : intervalChoices())
        box->addItem(c.text, c.seconds);
    int i = box->findData(seconds);
    if (i < 0 && seconds > 0) {
        box->addItem(intervalText(seconds), seconds);
        i = box->count() - 1;
    }
    box->setCurrentIndex(std::max(0, i));
}

int intervalOf(const QComboBox* box)
{
    return box->currentData().toInt();
}

QString timeText(qint64 secs, const QString& never)
{
    if (secs <= 0)
        return never;
    const QDateTime when = QDateTime::fromSecsSinceEpoch(secs).toLocalTime();
    const QDate today = QDate::currentDate();
    const QString clock = when.toString(QStringLiteral("hh:mm"));
    if (when.date() == today)
        return QStringLiteral("Today ") + clock;
    if (when.date() == today.addDays(-1))
        return QStringLiteral("Yesterday ") + clock;
    if (when.date() == today.addDays(1))
        return QStringLiteral("Tomorrow ") + clock;
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm"));
}

QString nextTimeText(qint64 secs, qint64 now)
{
    const qint64 wait = secs - now;
    if (wait <= 0)
        return QStringLiteral("Now");
    if (wait < 90)
        return QStringLiteral("In a minute");
    if (wait < 90 * 60)
        return QStringLiteral("In %1 minutes").arg((wait + 30) / 60);
    if (wait < 12 * 3600)
        return QStringLiteral("In %1 hours").arg((wait + 1800) / 3600);
    return timeText(secs);
}

void showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                 const QString& details)
{
    if (messageHook()) {
        messageHook()(icon, title, text, details);
        return;
    }
    if (qEnvironmentVariableIsSet("READHALL_TESTING")) {
        std::fprintf(stderr, "vantrel: message not shown in a test: %s %s\n", qPrintable(text),
                     qPrintable(details));
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    if (!details.isEmpty())
        box.setDetailedText(details);
    box.exec();
}

void setMessageHook(MessageHook hook)
{
    messageHook() = std::move(hook);
}

Engine* usableEngine(QWidget* parent)
{
    Engine* engine = Engine::instance();
    if (engine && engine->isOpen() && !engine->isShutDown())
        return engine;
    showMessage(parent, QMessageBox::Warning, QStringLiteral("Vantrel"),
                QStringLiteral("The Vantrel engine is not running, so channels cannot be "
                               "changed now."));
    return nullptr;
}

} // namespace vantrel::dialogs
