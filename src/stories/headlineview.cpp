#include "src/stories/headlineview.h"

#include "src/channel/categorytext.h"
#include "src/channel/channeldoc.h"
#include "src/channel/channelids.h"
#include "src/channel/imagestrip.h"
#include "src/engine/messages.h"
#include "src/framework/winapp.h"
#include "src/platform/messagewindow.h"
#include "src/platform/resources.h"
#include "src/platform/tickcount.h"
#include "src/shared/appservices.h"
#include "src/shared/columnfill.h"
#include "src/shared/rowlist.h"
#include "src/stories/headlinedelegate.h"
#include "src/stories/storycalls.h"
#include "src/stories/storyids.h"
#include "src/stories/storysummarypopup.h"
#include "vantrel/chandir.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <unordered_map>

namespace
{

bool showUnreadItemsOnly()
{
    const CAppServices* app = AppServices();
    return app && app->showUnreadItemsOnly();
}

struct StoryMarks {
    uint32_t read = 0;
    uint32_t keep = 0;
    uint32_t isSigned = 0;
    uint32_t type = DEFAULT_BUNDLET_TYPE;
    uint32_t local = 0;
    bool summary = false;
};

// The attributes that decide a row's weight and image.
StoryMarks readMarks(const CService* channel, int index)
{
    StoryMarks marks;
    channel->GetStoryAttribute(index, QStringLiteral("Read"), marks.read);
    channel->GetStoryAttribute(index, QStringLiteral("Keep"), marks.keep);
    channel->GetStoryAttribute(index, QStringLiteral("BundLet Signed"), marks.isSigned);
    if (!channel->GetStoryAttribute(index, QStringLiteral("Bundlet Type"), marks.type))
        marks.type = DEFAULT_BUNDLET_TYPE;
    channel->GetStoryAttribute(index, QStringLiteral("Story Local"), marks.local);
    marks.summary = channel->IsStorySummaryAvailable(index) != 0;
    // A header or footer counts as a summary too; no need to read them when there is one.
    if (!marks.summary) {
        QString header;
        QString footer;
        channel->GetStoryAttribute(index, QStringLiteral("Header"), header);
        channel->GetStoryAttribute(index, QStringLiteral("Footer"), footer);
        marks.summary = !header.isEmpty() || !footer.isEmpty();
    }
    return marks;
}

// Whether the text has "//" (a slash inside a category level), found without a text search.
bool containsDoubleSlash(const QString& text)
{
    for (qsizetype at = text.indexOf(QLatin1Char('/')); at >= 0 && at + 1 < text.size();
         at = text.indexOf(QLatin1Char('/'), at + 1)) {
        if (text.at(at + 1) == QLatin1Char('/'))
            return true;
    }
    return false;
}

int imageOf(const StoryMarks& marks)
{
    return HeadlineImageIndex(marks.type, marks.summary, marks.local != 0, marks.keep != 0,
                              marks.isSigned != 0);
}

} // namespace

// ---- the list control ------------------------------------------------------------------

CHeadlineList::CHeadlineList(CHeadlineView* owner)
    : QTreeView(owner), m_owner(owner), m_delegate(new CHeadlineDelegate(this)), m_dragMouse(owner)
{
    m_columnFill = SetUpRowList(this, QStringLiteral("HeadlineList"));
    setItemDelegate(m_delegate);
}

void CHeadlineList::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    QStyleOptionViewItem rowOption = option;
    // The row spans the whole client width.
    rowOption.rect.setLeft(-horizontalOffset());
    rowOption.rect.setRight(std::max(option.rect.right(), viewport()->width()));
    if (selectionModel() && selectionModel()->isRowSelected(index.row(), index.parent()))
        rowOption.state |= QStyle::State_Selected;
    if (currentIndex().isValid() && currentIndex().row() == index.row())
        rowOption.state |= QStyle::State_HasFocus;
    else
        rowOption.state &= ~QStyle::State_HasFocus;
    m_delegate->DrawListRow(painter, rowOption, index, this, header());
}

void CHeadlineList::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void CHeadlineList::focusOutEvent(QFocusEvent* event)
{
    QTreeView::focusOutEvent(event);
    viewport()->update();
}

void CHeadlineList::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    m_dragMouse.press(this, event);
    if (event->button() == Qt::LeftButton)
        m_owner->OnListClick();
}

void CHeadlineList::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragMouse.move(event))
        QTreeView::mouseMoveEvent(event);
}

void CHeadlineList::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragMouse.release(event))
        QTreeView::mouseReleaseEvent(event);
}

void CHeadlineList::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_owner->OnListDoubleClick();
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
}

void CHeadlineList::keyPressEvent(QKeyEvent* event)
{
    if (m_owner->OnListKeyDown(event->key()))
        return;
    QTreeView::keyPressEvent(event);
}

void CHeadlineList::contextMenuEvent(QContextMenuEvent* event)
{
    m_owner->OnContextMenu(event->globalPos());
}

// ---- the view --------------------------------------------------------------------------

UINT CHeadlineView::UnreadOnlyMessage()
{
    static const UINT id =
        RegisterWindowMessage(QString::fromLatin1(RH_NOTIFICATION_SHOWUNREADITEMSONLY_CHANGED));
    return id;
}

CHeadlineView::CHeadlineView(QWidget* parent) : CView(QStringLiteral("CHeadlineView"), parent)
{
    setObjectName(QStringLiteral("HeadlineView"));
    m_alertedColor = settings::alertedTextColor();
    DragDropMessages();
    onMessage(UnreadOnlyMessage(), [this](WPARAM, LPARAM) -> LRESULT {
        RefreshList();
        return 0;
    });

    m_model = new CHeadlineModel(this);
    m_list = new CHeadlineList(this);
    m_list->setModel(m_model);
    m_list->delegate()->SetAlertedColor(m_alertedColor);
    m_model->SetAlertedColor(m_alertedColor);
    m_list->setGeometry(rect());
    m_list->installEventFilter(this);
    installEventFilter(this);
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { OnColumnClick(column); });
    m_focusConnection =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            if (old != m_list || !m_popup)
                return;
            QWidget* popupWindow = m_popup->GetPopupWindow();
            if (popupWindow && now && (now == popupWindow || popupWindow->isAncestorOf(now)))
                return;
            HidePopup();
        });
    RegisterCommands();
}

CHeadlineView::~CHeadlineView()
{
    // The widget base class still moves the focus while it tears down the children; by then
    // this object is no longer a headline view, so the focus watch must end here.
    disconnect(m_focusConnection);
    Destroy();
}

CChannelDoc* CHeadlineView::GetChannelDoc() const
{
    return qobject_cast<CChannelDoc*>(GetDocument());
}

bool CHeadlineView::IsAlertMode() const
{
    const CChannelDoc* doc = GetChannelDoc();
    return doc && doc->IsAlertMode();
}

bool CHeadlineView::Create()
{
    if (m_created)
        return true;
    m_settings = settings::StoryListSettings(ListKind());
    m_alwaysShownColumns = AlwaysShownColumns();

    m_normalFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    m_boldFont = m_normalFont;
    m_boldFont.setWeight(QFont::Bold);
    m_model->SetFonts(m_normalFont, m_boldFont);

    const int width0 = m_settings.columnWidth(0);
    const int width1 = m_settings.columnWidth(1);
    m_sortColumn = m_settings.sortColumn();
    m_sortAscending = m_settings.sortAscending();
    m_list->setFont(m_normalFont);

    m_model->SetColumnTitle(COLUMN_CONTENT, LoadString(IDS_COLUMN_CONTENT));
    m_model->SetColumnTitle(COLUMN_RECEIVED, LoadString(IDS_COLUMN_RECEIVED));
    m_model->SetColumnTitle(COLUMN_CHANNEL, LoadString(IDS_COLUMN_CHANNEL));
    m_model->SetColumnTitle(COLUMN_SUBCHANNEL, LoadString(IsAlertMode() ? IDS_COLUMN_ALERT_CATEGORY
                                                                        : IDS_COLUMN_SUBCHANNEL));
    QHeaderView* header = m_list->header();
    header->resizeSection(COLUMN_CONTENT, width0);
    header->resizeSection(COLUMN_RECEIVED, width1);
    for (int column = COLUMN_CHANNEL; column < HEADLINE_COLUMN_COUNT; ++column)
        header->resizeSection(column,
                              column < m_alwaysShownColumns ? m_settings.columnWidth(column) : 0);

    const CImageStrip strip(LoadBitmapResource(IDB_HEADLINE_IMAGES), HEADLINE_IMAGE_WIDTH,
                            QColor(255, 0, 255));
    std::vector<QPixmap> images;
    for (int i = 0; i < strip.count(); ++i)
        images.push_back(strip.cell(i));
    m_model->SetImages(std::move(images));
    m_list->setIconSize(QSize(HEADLINE_IMAGE_WIDTH, HEADLINE_IMAGE_HEIGHT));

    m_popup = std::make_unique<CStorySummaryPopup>();
    if (!m_popup->Create(this, 0)) {
        m_popup.reset();
        qWarning("The headline list could not create its summary pop-up.");
        return false;
    }
    if (CAppServices* app = AppServices()) {
        m_popup->SetPalette(app->palette());
        if (TakesBroadcasts()) {
            app->RegisterWindow(GetSafeHwnd());
            m_registered = true;
        }
    }
    m_created = true;
    return true;
}

void CHeadlineView::Destroy()
{
    if (!m_created)
        return;
    m_created = false;
    if (CAppServices* app = AppServices(); app && m_registered)
        app->UnregisterWindow(GetSafeHwnd());
    m_registered = false;
    if (m_list) {
        for (int column = 0; column < HEADLINE_COLUMN_COUNT; ++column) {
            const int width = GetColumnWidth(column);
            if (column < m_alwaysShownColumns || width > 0)
                m_settings.setColumnWidth(column, width);
        }
        m_settings.setSortColumn(m_sortColumn);
        m_settings.setSortAscending(m_sortAscending);
    }
    CancelDrag();
    m_popup.reset();
}

settings::StoryList CHeadlineView::ListKind() const
{
    return IsAlertMode() ? settings::StoryList::AlertHeadlines : settings::StoryList::Headlines;
}

void CHeadlineView::OnListEmptied()
{
    AddPlaceholder();
}

int CHeadlineView::GetColumnWidth(int column) const
{
    return m_list->columnFill()->width(column);
}

void CHeadlineView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(192, 192, 192));
}

void CHeadlineView::resizeEvent(QResizeEvent* event)
{
    CView::resizeEvent(event);
    m_list->resize(size());
}

// ---- updates ---------------------------------------------------------------------------

void CHeadlineView::OnInitialUpdate()
{
    Create();
    CView::OnInitialUpdate();
}

void CHeadlineView::OnUpdate(CView*, LPARAM hint, CObject* hintObject)
{
    if (!m_created && !Create())
        return;
    const auto* update = dynamic_cast<const CUpdateHint*>(hintObject);
    switch (hint) {
    case HINT_INITIAL_UPDATE:
        m_filledOnce = true;
        RefreshList();
        break;
    case HINT_SELECTION_CHANGED:
        if (m_filledOnce)
            RefreshList();
        break;
    case HINT_CHANNEL_UPDATED:
        if (update && IsOneOf(update->m_number, m_shownChannels))
            RefreshList();
        break;
    case HINT_STORIES_DELETED:
        if (update && IsOneOf(update->m_number, m_shownChannels))
            RemoveStories(update->m_number, update->m_array);
        break;
    case HINT_STORIES_ATTRIBUTE_CHANGED:
        if (update && IsOneOf(update->m_number, m_shownChannels))
            UpdateStories(update->m_number, update->m_array);
        break;
    default:
        break;
    }
}

void CHeadlineView::RefreshList()
{
    if (!m_created && !Create())
        return;
    m_model->BeginFill();
    m_shownChannels.clear();

    QApplication::setOverrideCursor(Qt::WaitCursor);
    repaint();
    m_list->setUpdatesEnabled(false);

    const CChannelDoc* doc = GetChannelDoc();
    BOOL subChannels = 0;
    if (CServices* services = GetCServices()) {
        if (doc) {
            // Room for every story at once, instead of growing the rows channel by channel.
            size_t stories = 0;
            for (uint32_t id : doc->GetChannelIds())
                if (const CService* channel = services->GetServiceByID(id))
                    stories += static_cast<size_t>(std::max(0, channel->GetNoStories()));
            m_model->ReserveRows(stories);
            for (uint32_t id : doc->GetChannelIds()) {
                CService* channel = services->GetServiceByID(id);
                if (!channel)
                    continue;
                BOOL flag = 0;
                AddServiceStories(channel, &flag);
                if (flag)
                    subChannels = 1;
                m_shownChannels.push_back(id);
            }
        }
        ReleaseCServices();
    }

    const std::vector<uint32_t> ids = doc ? doc->GetChannelIds() : std::vector<uint32_t>();
    const bool channelColumn =
        (doc && doc->GetMode() == CChannelDoc::ModeCategory && !ids.empty()) || ids.size() > 1 ||
        (ids.size() == 1 && ids.front() == VT_ALERTS_CHANNEL_ID);
    ShowColumn(COLUMN_CHANNEL, channelColumn);
    ShowColumn(COLUMN_SUBCHANNEL, subChannels != 0);
    SortItems();
    if (m_model->rowCount() == 0)
        AddPlaceholder();
    m_model->EndFill();

    m_list->setUpdatesEnabled(!m_redrawTimer.isActive());
    repaint();
    QApplication::restoreOverrideCursor();
}

void CHeadlineView::AddServiceStories(CService* channel, BOOL* hasSubChannels)
{
    if (hasSubChannels)
        *hasSubChannels = 0;
    if (!channel)
        return;
    const int count = channel->GetNoStories();
    m_model->ReserveRows(static_cast<size_t>(std::max(0, count)));
    QString channelName;
    uint32_t channelId = 0;
    channel->GetDisplayName(channelName);
    channel->GetServiceID(channelId);
    const bool alerts = channelId == VT_ALERTS_CHANNEL_ID;
    const CChannelDoc* doc = GetChannelDoc();
    const QString path = doc ? doc->GetSubChannelPath() : QString();
    const bool unreadOnly = showUnreadItemsOnly();
    CServices* services = alerts ? GetCServices() : nullptr; // for the alerted stories' channels

    const QString slash = QStringLiteral("&slash;");
    const QString pathPrefix = path + QLatin1Char('/');
    bool seen = false;
    // Categories repeat from story to story (the engine shares one text for each): the one
    // worked out for the last story serves the next when its category is the same text.
    std::unordered_map<const QChar*, std::pair<QString, QString>> shownCategory;
    // The alerted stories' channel names, by channel id.
    uint32_t lastAlertChannel = 0;
    QString lastAlertChannelName;
    StoryListFacts facts;
    for (int i = 0; i < count; ++i) {
        if (!channel->GetStoryListFacts(i, facts))
            continue;
        QString category;
        const auto known = alerts || facts.category.isEmpty()
                               ? shownCategory.end()
                               : shownCategory.find(facts.category.constData());
        if (known != shownCategory.end() && known->second.first.size() == facts.category.size()) {
            category = known->second.second;
        } else {
            category = facts.category;
            if (containsDoubleSlash(category))
                category = ReplaceNoCase(category, QStringLiteral("//"), slash);
            if (alerts && !facts.alertName.isEmpty()) {
                if (!category.isEmpty())
                    category += QLatin1Char('/');
                category += facts.alertName;
            }
            if (!alerts && !facts.category.isEmpty())
                shownCategory[facts.category.constData()] = {facts.category, category};
        }
        if (!category.isEmpty())
            seen = true;
        if (!path.isEmpty() && category != path &&
            !category.startsWith(pathPrefix, Qt::CaseSensitive))
            continue;
        if (unreadOnly && facts.read != 0)
            continue;

        QString rowChannel = channelName;
        if (alerts) {
            if (facts.alertChannelId != lastAlertChannel || lastAlertChannel == 0) {
                lastAlertChannel = facts.alertChannelId;
                lastAlertChannelName.clear();
                if (services && facts.alertChannelId != 0) {
                    if (const CService* source = services->GetServiceByID(facts.alertChannelId))
                        source->GetDisplayName(lastAlertChannelName);
                }
            }
            rowChannel = lastAlertChannelName;
        }
        // Most categories have no "&slash;": a look for its "&" spares the case-blind search.
        const QString subChannel =
            category.contains(QLatin1Char('&')) && category.contains(slash, Qt::CaseInsensitive)
                ? ReplaceNoCase(category, slash, QStringLiteral("/"))
                : category;
        const int image = HeadlineImageIndex(facts.bundletType, facts.hasSummary, facts.local != 0,
                                             facts.keep != 0, facts.bundletSigned != 0);
        m_model->AddStoryRow(facts.headline, facts.headlineKey, rowChannel, subChannel, facts.time,
                             channelId, facts.number, facts.read == 0, facts.alerted != 0, image);
    }
    if (services)
        ReleaseCServices();
    if (seen && hasSubChannels)
        *hasSubChannels = 1;
}

void CHeadlineView::ShowColumn(int column, bool shown)
{
    const int width = GetColumnWidth(column);
    if (shown && width == 0) {
        m_list->header()->resizeSection(column, m_settings.columnWidth(column));
    } else if (!shown && width > 0) {
        m_settings.setColumnWidth(column, width);
        m_list->header()->resizeSection(column, 0);
    }
}

void CHeadlineView::AddPlaceholder()
{
    m_model->SetPlaceholder(
        LoadString(showUnreadItemsOnly() ? IDS_NO_UNREAD_CONTENT : IDS_NO_CONTENT));
    // The placeholder hides the channel columns without taking their widths.
    m_list->header()->resizeSection(COLUMN_CHANNEL, 0);
    m_list->header()->resizeSection(COLUMN_SUBCHANNEL, 0);
}

void CHeadlineView::SortItems()
{
    if (m_sortColumn < 0)
        return;
    m_model->SortRows(m_sortColumn, m_sortAscending);
    m_list->header()->setSortIndicatorShown(true);
    m_list->header()->setSortIndicator(m_sortColumn,
                                       m_sortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CHeadlineView::OnColumnClick(int column)
{
    if (column < 0 || column >= HEADLINE_COLUMN_COUNT)
        return;
    if (column == m_sortColumn)
        m_sortAscending = !m_sortAscending;
    else {
        m_sortColumn = column;
        m_sortAscending = true;
    }
    SortItems();
}

// ---- deletions and attribute changes ---------------------------------------------------

void CHeadlineView::RemoveStories(uint32_t channelId, const std::vector<uint32_t>& numbers)
{
    for (uint32_t number : numbers) {
        const int item = m_model->FindItemData(channelId, number, true);
        if (item < 0)
            continue;
        ThrottleStep();
        m_model->RemoveItemRow(item);
        if (m_model->rowCount() == 0)
            OnListEmptied();
    }
}

void CHeadlineView::ThrottleStep()
{
    const DWORD last = m_lastDeletionTick;
    const DWORD now = GetTickCount();
    m_lastDeletionTick = now;
    if (m_redrawTimer.isActive())
        return;
    if (now - last > DELETION_BURST_MS)
        m_deletionCount = 0;
    if (++m_deletionCount >= 2) {
        m_deletionCount = 0;
        m_list->setUpdatesEnabled(false);
        m_redrawTimer.start(REDRAW_CHECK_MS, this);
    }
}

void CHeadlineView::UpdateStories(uint32_t channelId, const std::vector<uint32_t>& numbers)
{
    for (uint32_t number : numbers) {
        const int item = m_model->FindItemData(channelId, number, false);
        if (item < 0)
            continue;
        CServices* services = GetCServices();
        if (!services)
            continue;
        CService* channel = services->GetServiceByID(channelId);
        const int index = channel ? channel->GetStoryIndex(number) : -1;
        if (index >= 0) {
            const StoryMarks marks = readMarks(channel, index);
            m_model->UpdateItem(item, marks.read == 0, imageOf(marks));
        }
        ReleaseCServices();
    }
}

void CHeadlineView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_clickTimer.timerId())
        OnTimer(TIMER_CLICK);
    else if (event->timerId() == m_redrawTimer.timerId())
        OnTimer(TIMER_REDRAW);
    else
        CView::timerEvent(event);
}

void CHeadlineView::OnTimer(int id)
{
    if (id == TIMER_CLICK) {
        ShowStorySummary(1);
    } else if (id == TIMER_REDRAW && m_redrawTimer.isActive()) {
        if (GetTickCount() - m_lastDeletionTick > REDRAW_QUIET_MS) {
            m_redrawTimer.stop();
            m_list->setUpdatesEnabled(true);
            m_list->viewport()->update();
        }
    }
}

// ---- input -----------------------------------------------------------------------------

void CHeadlineView::OnListClick()
{
    m_clickTimer.stop();
    m_clickTimer.start(CLICK_DELAY_MS, this);
}

void CHeadlineView::OnListDoubleClick()
{
    m_clickTimer.stop();
    OpenSelectedStory();
}

bool CHeadlineView::OnListKeyDown(int key)
{
    HidePopup();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        OpenSelectedStory();
        return true;
    }
    if (key == Qt::Key_Space) {
        ShowStorySummary(0);
        return true;
    }
    return false;
}

bool CHeadlineView::eventFilter(QObject* watched, QEvent* event)
{
    // The mouse went to another window in the middle of a drag: no drop follows.
    if (m_drag.isActive() && watched == m_list &&
        (event->type() == QEvent::FocusOut || event->type() == QEvent::WindowDeactivate))
        CancelDrag();
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            HidePopup();
            return true;
        }
        if (key->key() == Qt::Key_Delete) {
            // Posted, and without the command's enable rule: the handler asks first.
            QTimer::singleShot(0, this, [this] { OnDeleteStories(); });
            return true;
        }
    }
    return CView::eventFilter(watched, event);
}

void CHeadlineView::HidePopup()
{
    if (m_popup)
        m_popup->HidePopup();
}

void CHeadlineView::RepaintMainFrame()
{
    if (QWidget* main = AfxGetMainWnd())
        main->repaint();
}

std::vector<int> CHeadlineView::SelectedRows() const
{
    return SortedSelectedRows(m_list);
}

void CHeadlineView::SelectRows(const std::vector<int>& rows)
{
    QItemSelection selection;
    for (int row : rows)
        selection.select(m_model->index(row, 0), m_model->index(row, HEADLINE_COLUMN_COUNT - 1));
    m_list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.empty())
        m_list->selectionModel()->setCurrentIndex(m_model->index(rows.front(), 0),
                                                  QItemSelectionModel::NoUpdate);
}

QString CHeadlineView::RowStoryId(int row) const
{
    const int item = m_model->ItemDataOfRow(row);
    if (item < 0 || static_cast<size_t>(item) >= m_model->RowData().size())
        return QString();
    return m_model->StoryIdOf(item);
}

bool CHeadlineView::ParseRow(int row, uint32_t& channelId, uint32_t& storyNumber) const
{
    const QString id = RowStoryId(row);
    return !id.isEmpty() && CService::ParseStoryID(id, channelId, storyNumber);
}

void CHeadlineView::ShowStorySummary(BOOL atMouse)
{
    m_clickTimer.stop();
    const std::vector<int> rows = SelectedRows();
    if (rows.size() != 1)
        return;
    const int row = rows.front();
    const QRect visual = m_list->visualRect(m_model->index(row, 0));
    const QRect local(0, visual.top(), m_list->viewport()->width(), visual.height());
    const QRect rowRect(m_list->viewport()->mapToGlobal(local.topLeft()), local.size());
    QPoint point;
    QRect exclude;
    const QPoint cursor = QCursor::pos();
    if (atMouse) {
        point = cursor;
        exclude = rowRect;
    } else {
        exclude = QRect(cursor - QPoint(20, 20), cursor + QPoint(20, 20));
        point = QPoint(rowRect.left() + 10, rowRect.top());
    }
    const QString storyId = RowStoryId(row);
    if (!storyId.isEmpty() && m_popup) {
        tagStoryCaps caps;
        caps.requestMask = VTCAPS_SUMMARY;
        if (GetStoryCaps(storyId, &caps) && caps.hasSummary)
            m_popup->ShowStoryPopup(storyId, point, exclude);
    }
    m_list->setFocus();
}

void CHeadlineView::OpenSelectedStory()
{
    HidePopup();
    RepaintMainFrame();
    const std::vector<int> rows = SelectedRows();
    uint32_t channelId = 0;
    uint32_t number = 0;
    if (rows.size() != 1 || !ParseRow(rows.front(), channelId, number))
        return;
    StoryCalls& calls = storyCalls();
    if (calls.showStory)
        calls.showStory(channelId, number);
    if (channelId == VT_ALERTS_CHANNEL_ID && calls.broadcastNotification)
        calls.broadcastNotification(VTNOTIFICATION_ALERTS_CHANGED, QString(), 0);
}

// ---- dragging --------------------------------------------------------------------------

void CHeadlineView::BeginDrag(int row, const QPoint& globalPos)
{
    const std::vector<int> rows = SelectedRows();
    if (rows.size() != 1 || RowStoryId(rows.front()).isEmpty())
        return;
    HidePopup();
    m_clickTimer.stop();
    m_drag.begin(DRAGKIND_STORY, CWindowDrag::RowPicture(m_list, row),
                 m_model->data(m_model->index(row, 0)).toString(), globalPos);
}

void CHeadlineView::DragMove(const QPoint& globalPos)
{
    m_drag.move(globalPos);
}

void CHeadlineView::DragDrop(const QPoint& globalPos)
{
    const HWND target = m_drag.finish(globalPos);
    if (!target)
        return;
    const std::vector<int> rows = SelectedRows();
    uint32_t channelId = 0;
    uint32_t number = 0;
    if (!rows.empty() && ParseRow(rows.front(), channelId, number))
        SendMessage(target, DragDropMessages().dropStory, channelId, static_cast<LPARAM>(number));
}

void CHeadlineView::CancelDrag()
{
    m_drag.cancel();
}

HWND CHeadlineView::FindDropTarget(const QPoint& globalPos)
{
    return CWindowDrag::FindDropTarget(globalPos, DRAGKIND_STORY);
}
