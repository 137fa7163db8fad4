#include "src/directory/profilerview.h"

#include "src/channel/categoryview.h"
#include "src/directory/directoryids.h"
#include "src/directory/directorylist.h"
#include "src/directory/profilerdoc.h"
#include "src/engine/messages.h"
#include "src/framework/winapp.h"
#include "src/platform/messagebox.h"
#include "src/platform/messagewindow.h"
#include "src/platform/resources.h"
#include "src/shared/appservices.h"
#include "src/shared/columnfill.h"
#include "src/shared/programstate.h"
#include "src/shared/rowlist.h"
#include "src/shared/settings.h"
#include "vantrel/engctl.h"

#include <QBitmap>
#include <QEventLoop>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPointer>
#include <QResizeEvent>
#include <QSet>
#include <QTabBar>
#include <QTimer>
#include <algorithm>

namespace
{

QWidget* mainWindow()
{
    return AfxGetMainWnd();
}

// The tab of a filter, and the filter of a tab.
int tabOfFilter(DWORD filter)
{
    if (filter == DIRFILTER_SUBSCRIBED)
        return 1;
    if (filter == DIRFILTER_NEW)
        return 2;
    return 0;
}

DWORD filterOfTab(int tab)
{
    switch (tab) {
    case 1:
        return DIRFILTER_SUBSCRIBED;
    case 2:
        return DIRFILTER_NEW;
    default:
        return DIRFILTER_ALL;
    }
}

// A stored column width: its absolute value, at most the cap.
int storedWidth(int column)
{
    const qint64 stored = settings::directoryColumnWidth(column);
    return static_cast<int>(std::min<qint64>(qAbs(stored), DIRECTORY_MAX_COLUMN_WIDTH));
}

std::vector<QPixmap> loadStateImages()
{
    std::vector<QPixmap> images;
    images.reserve(DIRECTORY_IMAGE_COUNT);
    for (UINT id : kDirectoryImageIds) {
        QPixmap picture = LoadBitmapResource(id);
        if (!picture.isNull())
            picture.setMask(picture.createMaskFromColor(
                QColor::fromRgba(DIRECTORY_IMAGE_TRANSPARENT), Qt::MaskInColor));
        images.push_back(picture);
    }
    return images;
}

// Waits without blocking the window: posted work (the engine's reports) goes on meanwhile,
// the person's input waits.
void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

CProfilerView::CProfilerView(QWidget* parent)
    : CView(QStringLiteral("CProfilerView"), parent), m_images(loadStateImages())
{
    setObjectName(QStringLiteral("ProfilerView"));
    // Registered the first time a view is made; the drag sends them.
    DragDropMessages();

    m_list = new CDirectoryList(this);
    m_model = new CDirectoryModel(this);
    m_model->SetImages(&m_images);
    m_list->setModel(m_model);
    int imageWidth = 55;
    if (!m_images.empty() && !m_images.front().isNull())
        imageWidth = m_images.front().width();
    m_list->SetImageWidth(imageWidth);
    m_list->setIconSize(QSize(imageWidth, 16));

    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("DirectoryTabs"));
    m_tabs->setShape(QTabBar::RoundedSouth);
    m_tabs->setFocusPolicy(Qt::NoFocus);
    m_tabs->setDrawBase(true);
    m_tabs->setExpanding(false);
    m_tabs->addTab(LoadString(IDS_ALL));
    m_tabs->addTab(LoadString(IDS_DIRECTORY_SUBSCRIBED));
    m_tabs->addTab(LoadString(IDS_DIRECTORY_NEW));

    m_filter = settings::directoryViewFilter();
    m_sortColumn = settings::directorySortColumn();
    m_ascending = settings::directorySortAscending() > 0 ? 1 : 0;
    m_tabs->setCurrentIndex(tabOfFilter(m_filter));
    for (int column = 0; column < DIRECTORY_COLUMN_COUNT; ++column)
        m_list->header()->resizeSection(column, storedWidth(column));
    m_list->header()->setSortIndicatorShown(true);
    ShowSortIndicator();
    // Rows are a fixed 18 pixels: the state image with a pixel of room around it.
    m_list->setStyleSheet(
        QStringLiteral("QTreeView::item { height: %1px; }").arg(DIRECTORY_ROW_HEIGHT));

    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { OnColumnClick(column); });
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int tab) {
        if (tab >= 0)
            OnTabChanged(tab);
    });
    m_timer.setInterval(DIRECTORY_TIMER_MS);
    connect(&m_timer, &QTimer::timeout, this, [this] { OnTimer(); });

    setFocusProxy(m_list);
    RegisterCommands();
    Layout();
}

CProfilerView::~CProfilerView()
{
    m_timer.stop();
    m_drag.cancel();
    for (int column = 0; column < DIRECTORY_COLUMN_COUNT; ++column) {
        int width = GetColumnWidth(column);
        if (column == 0 && width == 0)
            width = DIRECTORY_FIRST_COLUMN_WIDTH;
        settings::setDirectoryColumnWidth(column, width);
    }
    settings::setDirectoryViewFilter(m_filter);
    settings::setDirectorySortColumn(m_sortColumn);
    settings::setDirectorySortAscending(m_ascending);
    // The list goes before the pictures its rows show.
    m_model->SetImages(nullptr);
    delete m_list;
    m_list = nullptr;
}

int CProfilerView::GetColumnWidth(int column) const
{
    return m_list->columnFill()->width(column);
}

CProfilerDoc* CProfilerView::GetProfilerDoc() const
{
    return qobject_cast<CProfilerDoc*>(GetDocument());
}

void CProfilerView::resizeEvent(QResizeEvent* event)
{
    CView::resizeEvent(event);
    Layout();
}

void CProfilerView::Layout()
{
    if (m_sizing)
        return;
    m_sizing = true;
    // The tabs along the bottom, the list above them.
    const int tabHeight = m_tabs->sizeHint().height();
    m_tabs->setGeometry(0, std::max(0, height() - tabHeight), width(), tabHeight);
    m_list->setGeometry(0, 0, width(), std::max(0, height() - tabHeight));
    m_sizing = false;
}

void CProfilerView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    m_timer.start();
}

void CProfilerView::OnUpdate(CView*, LPARAM hint, CObject* hintObject)
{
    switch (hint) {
    case CATHINT_RELOAD:
    case CATHINT_ALL_CHOSEN:
        Reload();
        break;
    case CATHINT_CATEGORY_CHOSEN: {
        const auto* category = dynamic_cast<const CCategoryHint*>(hintObject);
        ShowIds(category && category->m_ids ? *category->m_ids : std::vector<uint32_t>());
        break;
    }
    case DIRHINT_SELECTION_MARKS:
    case DIRHINT_SELECTION_MARKS_AGAIN:
        for (int row : SelectedRows())
            m_model->RecomputeImage(row);
        break;
    case DIRHINT_SELECTION_CONTENT:
        for (int row : SelectedRows())
            m_model->RewriteRow(row);
        break;
    case DIRHINT_SELECT_ENTRY:
        if (const auto* selection = dynamic_cast<const CSiteMainHint*>(hintObject))
            SelectEntry(selection->m_entry);
        break;
    case DIRHINT_ALL_MARKS:
        m_model->RecomputeAllImages();
        break;
    case APPHINT_DIRECTORY_CHANGED:
    case DIRHINT_ALL_CONTENT:
        m_model->RewriteAll();
        break;
    case APPHINT_DIRECTORY_REDRAW:
        if (m_filter == DIRFILTER_SUBSCRIBED)
            Reload();
        else
            m_model->RecomputeAllImages();
        break;
    default: // the filter change (20) is the category pane's to answer
        break;
    }
}

void CProfilerView::Reload()
{
    std::vector<CSiteMain*> rows;
    if (const CProfilerDoc* doc = GetProfilerDoc()) {
        rows.reserve(doc->GetEntries().size());
        for (const auto& entry : doc->GetEntries()) {
            if (entry->IsShownWith(m_filter))
                rows.push_back(entry.get());
        }
    }
    m_model->SetRows(rows);
    SortList();
}

void CProfilerView::ShowIds(const std::vector<uint32_t>& ids)
{
    std::vector<CSiteMain*> rows;
    if (const CProfilerDoc* doc = GetProfilerDoc()) {
        QSet<const CSiteMain*> listed;
        for (uint32_t id : ids) {
            CSiteMain* entry = doc->FindEntry(id);
            if (entry && entry->IsShownWith(m_filter) && !listed.contains(entry)) {
                listed.insert(entry);
                rows.push_back(entry);
            }
        }
    }
    m_model->SetRows(rows);
    SortList();
}

void CProfilerView::SortList()
{
    const CProfilerDoc* doc = GetProfilerDoc();
    if (!doc || m_sortColumn < 0 || m_sortColumn >= DIRECTORY_COLUMN_COUNT)
        return;
    m_model->Sort(doc->GetSortRanks(m_sortColumn), m_ascending != 0);
}

void CProfilerView::ShowSortIndicator()
{
    if (m_sortColumn < 0 || m_sortColumn >= DIRECTORY_COLUMN_COUNT) {
        m_list->header()->setSortIndicator(-1, Qt::AscendingOrder);
        return;
    }
    m_list->header()->setSortIndicator(m_sortColumn,
                                       m_ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CProfilerView::OnColumnClick(int column)
{
    if (column < 0 || column >= DIRECTORY_COLUMN_COUNT)
        return;
    m_sortColumn = column;
    m_ascending = m_ascending ? 0 : 1;
    SortList();
    ShowSortIndicator();
}

void CProfilerView::OnTabChanged(int tab)
{
    m_filter = filterOfTab(tab);
    m_tabs->setCurrentIndex(tabOfFilter(m_filter));
    if (CDocument* doc = GetDocument())
        doc->UpdateAllViews(this, CATHINT_REPORT_SELECTION);
}

std::vector<int> CProfilerView::SelectedRows() const
{
    return SortedSelectedRows(m_list);
}

std::vector<CSiteMain*> CProfilerView::SelectedEntries() const
{
    std::vector<CSiteMain*> entries;
    for (int row : SelectedRows()) {
        if (CSiteMain* entry = m_model->EntryAt(row))
            entries.push_back(entry);
    }
    return entries;
}

void CProfilerView::SelectEntry(CSiteMain* entry)
{
    const int row = m_model->RowOf(entry);
    if (row < 0)
        return;
    const QModelIndex index = m_model->index(row, 0);
    m_list->selectionModel()->select(index,
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    m_list->scrollTo(index);
}

// ---- subscribing ------------------------------------------------------------------------

void CProfilerView::OnImageClick(int row)
{
    CSiteMain* entry = m_model->EntryAt(row);
    if (!entry)
        return;
    CModalOperationScope busy;
    entry->SetSubscribed(entry->IsSubscribed() ? 0 : 1);
    if (!(entry->GetFlags() & VTDIRENTRY_REQUIRED))
        m_model->RecomputeImage(row);
}

void CProfilerView::SubscribeSelected(bool subscribe)
{
    CModalOperationScope busy;
    for (CSiteMain* entry : SelectedEntries()) {
        if (subscribe)
            VTSubscribeToChannel(mainWindow(), entry->GetDirectoryEntryId());
        else
            VTUnsubscribeToChannel(mainWindow(), entry->GetDirectoryEntryId());
    }
}

void CProfilerView::OnSpaceKey()
{
    const std::vector<CSiteMain*> entries = SelectedEntries();
    if (entries.empty())
        return;
    CModalOperationScope busy;
    // Each entry flips; its row changes when the engine reports the change.
    for (CSiteMain* entry : entries) {
        if (entry->IsSubscribed())
            VTUnsubscribeToChannel(mainWindow(), entry->GetDirectoryEntryId());
        else
            VTSubscribeToChannel(mainWindow(), entry->GetDirectoryEntryId());
    }
}

void CProfilerView::OnDoubleClick()
{
    const std::vector<int> rows = SelectedRows();
    if (rows.size() != 1)
        return;
    CSiteMain* entry = m_model->EntryAt(rows.front());
    if (!entry)
        return;
    if (entry->IsSubscribed()) {
        uint32_t channelId = 0;
        if (VTLookupSubscribedChannelID(entry->GetDirectoryEntryId(), channelId)) {
            if (const HWND main = WindowFromWidget(mainWindow()))
                PostMessage(main, WM_SHOW_CHANNEL, channelId, 0);
        }
        return;
    }
    if (MessageBox(this, LoadString(IDS_DIRECTORY_ASK_SUBSCRIBE), LoadString(IDS_MAINFRAME_TITLE),
                   MB_YESNO | MB_ICONQUESTION) == IDYES)
        OnImageClick(rows.front());
}

void CProfilerView::RegisterCommands()
{
    auto selectedState = [this](int& count, bool& subscribed) {
        const std::vector<CSiteMain*> entries = SelectedEntries();
        count = static_cast<int>(entries.size());
        subscribed = count == 1 && entries.front()->IsSubscribed();
    };
    onCommand(ID_CHANNEL_SUBSCRIBE, [this] { SubscribeSelected(true); });
    onUpdate(ID_CHANNEL_SUBSCRIBE, [selectedState](CCmdUI* ui) {
        int count = 0;
        bool subscribed = false;
        selectedState(count, subscribed);
        ui->Enable((count == 1 && !subscribed) || count >= 2);
    });
    onCommand(ID_CHANNEL_UNSUBSCRIBE, [this] { SubscribeSelected(false); });
    onUpdate(ID_CHANNEL_UNSUBSCRIBE, [selectedState](CCmdUI* ui) {
        int count = 0;
        bool subscribed = false;
        selectedState(count, subscribed);
        ui->Enable((count == 1 && subscribed) || count >= 2);
    });
    onCommand(ID_CHANNEL_PROPERTIES, [this] {
        const std::vector<CSiteMain*> entries = SelectedEntries();
        if (entries.size() != 1)
            return;
        const int row = m_model->RowOf(entries.front());
        if (entries.front()->ShowSettings())
            m_model->RewriteRow(row);
    });
    onUpdate(ID_CHANNEL_PROPERTIES, [selectedState](CCmdUI* ui) {
        int count = 0;
        bool subscribed = false;
        selectedState(count, subscribed);
        ui->Enable(count == 1 && subscribed);
    });
    onCommand(ID_EDIT_SELECT_ALL, [this] { m_list->selectAll(); });
    onUpdate(ID_EDIT_SELECT_ALL, [this](CCmdUI* ui) { ui->Enable(m_model->rowCount() > 0); });
}

void CProfilerView::OnContextMenu(const QPoint& globalPos)
{
    TrackContextMenu({{ID_CHANNEL_SUBSCRIBE, LoadString(IDS_DIRECTORY_MENU_SUBSCRIBE)},
                      {ID_CHANNEL_UNSUBSCRIBE, LoadString(IDS_DIRECTORY_MENU_UNSUBSCRIBE)},
                      {ID_CHANNEL_PROPERTIES, LoadString(IDS_DIRECTORY_MENU_PROPERTIES)}},
                     globalPos);
}

// ---- dragging entries to another window -------------------------------------------------

void CProfilerView::BeginDrag(int row, const QPoint& globalPos)
{
    const std::vector<int> rows = SelectedRows();
    if (rows.empty() || m_model->EntryAt(row) == nullptr)
        return;
    m_drag.begin(DRAGKIND_CHANNEL, CWindowDrag::RowPicture(m_list, row),
                 m_model->EntryAt(row)->GetName(), globalPos, static_cast<LPARAM>(rows.size()),
                 this);
}

void CProfilerView::DragMove(const QPoint& globalPos)
{
    m_drag.move(globalPos);
}

void CProfilerView::CancelDrag()
{
    m_drag.cancel();
}

void CProfilerView::DragDrop(const QPoint& globalPos)
{
    const HWND target = m_drag.finish(globalPos);
    if (!target)
        return;
    CModalOperationScope busy;
    const UINT drop = DragDropMessages().dropChannel;
    const QPointer<CProfilerView> self(this);
    // Entries by pointer: a reload while we wait (the rows go) must not leave us holding rows.
    QPointer<CProfilerDoc> doc = GetProfilerDoc();
    std::vector<uint32_t> ids;
    for (CSiteMain* entry : SelectedEntries())
        ids.push_back(entry->GetDirectoryEntryId());
    for (uint32_t id : ids) {
        uint32_t channelId = 0;
        if (!VTLookupSubscribedChannelID(id, channelId)) {
            // Subscribed first, its row redrawn as for a click; the channel may take a moment.
            CSiteMain* entry = doc ? doc->FindEntry(id) : nullptr;
            if (!entry)
                continue;
            entry->SetSubscribed(1);
            if (!(entry->GetFlags() & VTDIRENTRY_REQUIRED))
                m_model->RecomputeImage(m_model->RowOf(entry));
            bool found = false;
            for (int attempt = 0; attempt < DROP_LOOKUP_TRIES && !found; ++attempt) {
                found = VTLookupSubscribedChannelID(id, channelId) != 0;
                if (!found)
                    pause(DROP_LOOKUP_PAUSE_MS);
                if (!self)
                    return;
            }
            if (!found)
                continue; // subscribed, but not handed to the target
        }
        if (IsWindow(target))
            SendMessage(target, drop, channelId, 0);
    }
}

// ---- the timer --------------------------------------------------------------------------

void CProfilerView::OnTimer()
{
    const CProfilerDoc* doc = GetProfilerDoc();
    if (!doc || doc->IsLoading() || !CProfilerDoc::IsDirectoryChanged())
        return;
    CProfilerDoc::TakeDirectoryChanged();
    RaiseDirectoryReloadRequest();
}
