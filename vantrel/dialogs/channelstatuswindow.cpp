#include "vantrel/dialogs/channelstatuswindow.h"

#include "vantrel/core/engine.h"
#include "vantrel/dialogs/channelpropertiesdialog.h"
#include "vantrel/dialogs/dialogparts.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <limits>
#include <utility>

namespace vantrel::dialogs
{

namespace
{

constexpr int kTickMs = 250;
constexpr int kSortRole = Qt::UserRole;
constexpr int kIdRole = Qt::UserRole + 1;
// The mark that turns beside a channel while it updates.
const QChar kTurning[] = {QChar(0x25D0), QChar(0x25D3), QChar(0x25D1), QChar(0x25D2)};

// Rows sort by a key of their own in each column: numbers as numbers, times as times.
class StatusItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant a = data(column, kSortRole);
        const QVariant b = other.data(column, kSortRole);
        if (a.isValid() && b.isValid())
            return a.toLongLong() < b.toLongLong();
        return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
    }
};

void setCell(QTreeWidgetItem* item, int column, const QString& text, const QVariant& sortKey = {})
{
    if (item->text(column) != text)
        item->setText(column, text);
    if (sortKey.isValid())
        item->setData(column, kSortRole, sortKey);
}

} // namespace

ChannelStatusWindow::ChannelStatusWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("channelStatusWindow"));
    setWindowTitle(QStringLiteral("Channel Status - Vantrel"));
    auto* layout = new QVBoxLayout(this);

    auto* bar = new QHBoxLayout;
    m_updateNow = new QPushButton(QStringLiteral("Update &Now"), this);
    m_updateNow->setObjectName(QStringLiteral("updateNowButton"));
    m_updateNow->setToolTip(QStringLiteral("Update the selected channels now"));
    m_updateAll = new QPushButton(QStringLiteral("Update &All"), this);
    m_updateAll->setObjectName(QStringLiteral("updateAllButton"));
    m_properties = new QPushButton(QStringLiteral("&Properties..."), this);
    m_properties->setObjectName(QStringLiteral("propertiesButton"));
    m_pause = new QCheckBox(QStringLiteral("Pa&use downloads"), this);
    m_pause->setObjectName(QStringLiteral("pauseBox"));
    m_pause->setToolTip(QStringLiteral("Channels are not updated on their schedule while "
                                       "downloads are paused; Update Now still works."));
    bar->addWidget(m_updateNow);
    bar->addWidget(m_updateAll);
    bar->addWidget(m_properties);
    bar->addSpacing(12);
    bar->addWidget(m_pause);
    bar->addStretch(1);
    m_overallLabel = new QLabel(this);
    m_overallLabel->setObjectName(QStringLiteral("overallLabel"));
    m_overall = new QProgressBar(this);
    m_overall->setObjectName(QStringLiteral("overallProgress"));
    m_overall->setMaximumWidth(180);
    m_overall->setTextVisible(false);
    bar->addWidget(m_overallLabel);
    bar->addWidget(m_overall);
    layout->addLayout(bar);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("statusList"));
    m_list->setColumnCount(Count);
    m_list->setHeaderLabels({QStringLiteral("Channel"), QStringLiteral("Status"),
                             QStringLiteral("Last Updated"), QStringLiteral("Next Update"),
                             QStringLiteral("Stories"), QStringLiteral("Unread"),
                             QStringLiteral("Last Error")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSortingEnabled(true);
    m_list->sortByColumn(Channel, Qt::AscendingOrder);
    const int widths[Count] = {190, 220, 120, 105, 60, 60, 180};
    for (int c = 0; c < Count; ++c)
        m_list->setColumnWidth(c, widths[c]);
    layout->addWidget(m_list, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    connect(m_updateNow, &QPushButton::clicked, this, &ChannelStatusWindow::updateSelected);
    connect(m_updateAll, &QPushButton::clicked, this, &ChannelStatusWindow::updateAll);
    connect(m_properties, &QPushButton::clicked, this, &ChannelStatusWindow::showProperties);
    connect(m_list, &QTreeWidget::itemActivated, this, &ChannelStatusWindow::showProperties);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] {
        const bool any = !m_list->selectedItems().isEmpty();
        m_updateNow->setEnabled(any);
        m_properties->setEnabled(m_list->selectedItems().size() == 1);
    });
    connect(m_pause, &QCheckBox::toggled, this, [this](bool paused) {
        if (Engine* engine = Engine::instance())
            engine->setDownloadEnabled(!paused);
        refresh();
    });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    m_updateNow->setEnabled(false);
    m_properties->setEnabled(false);

    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        ++m_frame;
        refresh();
    });
    // Wide enough for every column, but never wider or taller than the screen it opens on.
    QSize size(960, 440);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.95);
    resize(size);
}

void ChannelStatusWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    refresh();
    m_timer.start();
}

void ChannelStatusWindow::hideEvent(QHideEvent* event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}

void ChannelStatusWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool ChannelStatusWindow::refresh()
{
    Engine* engine = Engine::instance();
    if (!engine)
        return false;
    std::vector<ChannelFacts> facts;
    if (!engine->tryAllChannelFacts(facts))
        return false;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const bool downloading = engine->downloadEnabled();

    QSet<uint32_t> present;
    QSet<uint32_t> pending;
    for (const ChannelFacts& f : facts) {
        present.insert(f.id);
        QTreeWidgetItem*& item = m_rows[f.id];
        if (!item) {
            item = new StatusItem(m_list);
            item->setData(Channel, kIdRole, f.id);
        }
        const bool due = f.scheduled && f.nextUpdate <= now;
        if (f.updating || f.queued || due)
            pending.insert(f.id);
        QString status = f.status;
        if (f.updating)
            status = QString(kTurning[m_frame % 4]) + QStringLiteral(" Updating...");
        else if (f.queued || due)
            status = QStringLiteral("Waiting to update");
        setCell(item, Channel, f.name);
        setCell(item, Status, status);
        setCell(item, LastUpdated, timeText(f.lastUpdated), f.lastUpdated);
        const QString next = f.scheduled           ? nextTimeText(f.nextUpdate, now)
                             : !f.enabled          ? QStringLiteral("Disabled")
                             : f.address.isEmpty() ? QStringLiteral("No feed")
                                                   : QStringLiteral("Paused");
        setCell(item, NextUpdate, next,
                f.scheduled ? f.nextUpdate : std::numeric_limits<qint64>::max());
        setCell(item, Stories, QString::number(f.stories), f.stories);
        setCell(item, Unread, QString::number(f.unread), f.unread);
        setCell(item, LastError,
                f.lastError.isEmpty()
                    ? QString()
                    : QStringLiteral("%1: %2").arg(timeText(f.lastErrorAt), f.lastError));
        QFont font = item->font(Status);
        if (font.bold() != f.updating) {
            font.setBold(f.updating);
            item->setFont(Status, font);
        }
        item->setForeground(LastError, f.lastError.isEmpty() ? m_list->palette().text()
                                                             : QBrush(QColor(0xb0, 0x20, 0x20)));
    }
    for (auto it = m_rows.begin(); it != m_rows.end();) {
        if (present.contains(it.key())) {
            ++it;
            continue;
        }
        delete it.value();
        it = m_rows.erase(it);
    }

    // The round of updates: it starts when something waits and ends when nothing does.
    for (uint32_t id : std::as_const(m_pending)) {
        if (!pending.contains(id))
            ++m_done;
    }
    m_pending = pending;
    if (pending.isEmpty())
        m_done = 0;
    const int total = m_done + int(pending.size());
    m_overall->setVisible(total > 0);
    m_overall->setRange(0, std::max(1, total));
    m_overall->setValue(m_done);
    if (total > 0)
        m_overallLabel->setText(QStringLiteral("Updating: %1 of %2 done").arg(m_done).arg(total));
    else if (!downloading)
        m_overallLabel->setText(QStringLiteral("Downloads are paused"));
    else
        m_overallLabel->setText(facts.empty() ? QStringLiteral("No channels")
                                              : QStringLiteral("All channels are up to date"));
    m_pause->blockSignals(true);
    m_pause->setChecked(!downloading);
    m_pause->blockSignals(false);
    m_updateAll->setEnabled(!facts.empty());
    return true;
}

QList<uint32_t> ChannelStatusWindow::selectedChannels() const
{
    QList<uint32_t> ids;
    for (QTreeWidgetItem* item : m_list->selectedItems())
        ids << item->data(Channel, kIdRole).toUInt();
    return ids;
}

void ChannelStatusWindow::updateSelected()
{
    Engine* engine = Engine::instance();
    if (!engine)
        return;
    for (uint32_t id : selectedChannels())
        engine->forceUpdate(id);
    refresh();
}

void ChannelStatusWindow::updateAll()
{
    Engine* engine = Engine::instance();
    if (!engine)
        return;
    for (uint32_t id : m_rows.keys()) {
        bool enabled = false;
        if (engine->isChannelEnabled(id, enabled) && enabled)
            engine->forceUpdate(id);
    }
    refresh();
}

void ChannelStatusWindow::showProperties()
{
    const QList<uint32_t> ids = selectedChannels();
    if (ids.size() != 1)
        return;
    ChannelPropertiesDialog dialog(ChannelPropertiesDialog::Target::Channel, ids.first(), this);
    dialog.exec();
    refresh();
}

} // namespace vantrel::dialogs
