#include "src/channel/channelfolderview.h"

#include "src/channel/categorytext.h"
#include "src/channel/channeldoc.h"
#include "src/channel/channelmenu.h"
#include "src/channel/treeitems.h"
#include "src/engine/messages.h"
#include "src/platform/resources.h"
#include "src/shared/programstate.h"
#include "src/shared/settings.h"
#include "vantrel/chandir.h"
#include "vantrel/engctl.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QTreeWidget>
#include <utility>

namespace
{

} // namespace

CChannelFolderView::CChannelFolderView(QWidget* parent)
    : CView(QStringLiteral("CChannelFolderView"), parent),
      m_categoryDepth(settings::DEFAULT_CATEGORY_DEPTH), m_contentFlags(CONTENT_SUBSCRIBED_CHANNELS)
{
    m_expandOnStartup = settings::expandOnStartup();
    // The view accepts no drops.
    onMessage(DragDropMessages().canDrop, [](WPARAM, LPARAM) -> LRESULT { return 0; });

    // Erasing the background fills it with light grey.
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(palette);

    Create();
    RegisterCommands();
}

CChannelFolderView::~CChannelFolderView()
{
    CancelDrag();
    if (!m_selectionSaved)
        SaveSelection();
    // The tree goes first, while this view is still whole. Its viewport stops reporting to
    // this view before: while a tree is being destroyed it is no longer a scroll area, yet
    // its viewport still gets events (hiding, removing children).
    if (QTreeWidget* tree = std::exchange(m_tree, nullptr)) {
        if (m_treeViewport)
            m_treeViewport->removeEventFilter(this);
        m_treeViewport = nullptr;
        m_folderTree.setTree(nullptr);
        tree->disconnect(this);
        tree->blockSignals(true);
        delete tree;
    }
}

void CChannelFolderView::Create()
{
    const bool hasLines = settings::treeHasLines();
    m_autoCollapse = settings::autoCollapse();

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("ChannelTree"));
    m_tree->setColumnCount(1);
    m_tree->header()->hide();
    // Long names scroll sideways instead of being cut short.
    m_tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(false);
    m_tree->setTextElideMode(Qt::ElideNone);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setRootIsDecorated(true);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setUniformRowHeights(true);
    m_tree->setExpandsOnDoubleClick(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setDragEnabled(false);
    if (!hasLines)
        m_tree->setStyleSheet(QStringLiteral("QTreeView::branch { border-image: none; }"));
    if (m_autoCollapse)
        m_tree->setMouseTracking(true);
    m_tree->setGeometry(rect());
    m_treeViewport = m_tree->viewport();
    m_treeViewport->installEventFilter(this);
    m_folderTree.setTree(m_tree);

    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnSelectionChanged(current); });
    connect(m_tree, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { OnItemExpanded(item); });
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        OnRightClick(m_tree->itemAt(pos), m_tree->viewport()->mapToGlobal(pos));
    });

    m_categoryDepth = settings::categoryDepth();
}

CChannelDoc* CChannelFolderView::GetChannelDoc() const
{
    return qobject_cast<CChannelDoc*>(GetDocument());
}

void CChannelFolderView::resizeEvent(QResizeEvent* event)
{
    CView::resizeEvent(event);
    if (m_tree)
        m_tree->setGeometry(rect());
}

QTreeWidgetItem* CChannelFolderView::SelectedItem() const
{
    if (!m_tree)
        return nullptr;
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

void CChannelFolderView::SelectItem(QTreeWidgetItem* item)
{
    if (!m_tree)
        return;
    if (!item) {
        m_tree->clearSelection();
        m_tree->setCurrentItem(nullptr);
        return;
    }
    m_tree->setCurrentItem(item);
    item->setSelected(true);
}

bool CChannelFolderView::IsRealChannel(uint32_t id) const
{
    return id != 0 && id != VT_ALERTS_CHANNEL_ID;
}

uint32_t CChannelFolderView::GetSelectedChannelId() const
{
    const uint32_t id = treeitems::data(SelectedItem());
    return IsRealChannel(id) ? id : 0;
}

void CChannelFolderView::OnInitialUpdate()
{
    if (CChannelDoc* doc = GetChannelDoc(); doc && doc->IsAlertMode())
        m_contentFlags = CONTENT_ALERTS_CHANNEL;
    CView::OnInitialUpdate();
}

void CChannelFolderView::OnUpdate(CView*, LPARAM hint, CObject* hintObject)
{
    CChannelDoc* doc = GetChannelDoc();
    if (!doc || !m_tree)
        return;
    const auto* update = dynamic_cast<const CUpdateHint*>(hintObject);
    const uint32_t id = update ? update->m_number : 0;
    const bool alertMode = doc->IsAlertMode();

    switch (hint) {
    case HINT_INITIAL_UPDATE: {
        if (alertMode)
            m_contentFlags = CONTENT_ALERTS_CHANNEL;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_tree->setUpdatesEnabled(false);
        m_folderTree.RebuildTree(m_contentFlags, m_categoryDepth, alertMode, m_expandOnStartup);
        RestoreSelection();
        if (!doc->HasChannels()) {
            QTreeWidgetItem* item = m_tree->topLevelItemCount() ? m_tree->topLevelItem(0) : nullptr;
            while (item && CFolderTree::GetItemKind(item) != FolderItemKind::Channel)
                item = item->childCount() ? item->child(0) : nullptr;
            if (item)
                SelectItem(item);
        }
        if (alertMode)
            m_folderTree.ExpandAll(nullptr, true);
        m_tree->setUpdatesEnabled(true);
        m_tree->viewport()->repaint();
        QApplication::restoreOverrideCursor();
        break;
    }
    case HINT_SELECTION_CHANGED:
        if (doc->HasChannels()) {
            if (QTreeWidgetItem* item =
                    m_folderTree.FindChannelItem(nullptr, doc->GetFirstChannelId()))
                SelectItem(item);
        }
        break;
    case HINT_CHANNEL_UPDATED:
        if (id)
            OnChannelUpdated(id);
        break;
    case HINT_STORIES_DELETED:
        if (!id)
            break;
        if (id == VT_ALERTS_CHANNEL_ID)
            m_folderTree.UpdateChannelCounts(id);
        if (QTreeWidgetItem* item = m_folderTree.FindChannelItem(nullptr, id))
            m_folderTree.FillSubChannels(item);
        break;
    case HINT_STORIES_ATTRIBUTE_CHANGED:
        if (id == VT_ALERTS_CHANNEL_ID)
            m_folderTree.UpdateChannelCounts(id);
        break;
    case HINT_CHANNEL_ATTRIBUTE_CHANGED:
        if (id)
            OnAttributeChanged(id);
        break;
    case HINT_CHANNEL_ADDED:
        if (id && (m_contentFlags & CONTENT_SUBSCRIBED_CHANNELS))
            m_folderTree.InsertChannel(id, m_categoryDepth, alertMode, m_expandOnStartup);
        break;
    case HINT_CHANNEL_DELETED:
        if (id && (m_contentFlags & CONTENT_SUBSCRIBED_CHANNELS))
            m_folderTree.RemoveChannel(id);
        break;
    case HINT_CHANNEL_COUNTER_CHANGED:
        if (id)
            m_folderTree.UpdateChannelCounts(id);
        break;
    case HINT_CHANNEL_FLAGS_CHANGED:
    case HINT_CHANNEL_ACTIVE_STATE_CHANGED:
        if (id)
            m_folderTree.UpdateChannelImage(id, false);
        break;
    default:
        break;
    }
}

void CChannelFolderView::OnChannelUpdated(uint32_t channelId)
{
    m_folderTree.UpdateChannelImage(channelId, true);
    if (channelId == VT_ALERTS_CHANNEL_ID)
        m_folderTree.UpdateChannelCounts(channelId);
    CChannelDoc* doc = GetChannelDoc();
    if (doc && doc->IsAlertMode())
        m_folderTree.ExpandAll(nullptr, true);
}

void CChannelFolderView::OnAttributeChanged(uint32_t channelId)
{
    QTreeWidgetItem* item = m_folderTree.FindChannelItem(nullptr, channelId);
    bool differs = false;
    if (item) {
        if (CServices* services = GetCServices()) {
            if (CService* channel = services->GetServiceByID(channelId)) {
                const QString category = CFolderTree::FirstCategory(*channel);
                const QString chain = CFolderTree::GetCategoryPath(item->parent());
                QString name;
                channel->GetDisplayName(name);
                differs = category != chain || name != CFolderTree::GetPlainName(item);
            }
            ReleaseCServices();
        }
    }
    if (!differs) {
        OnChannelUpdated(channelId);
        return;
    }

    bool allExpanded = item->parent() != nullptr;
    for (QTreeWidgetItem* up = item->parent(); up; up = up->parent()) {
        if (!up->isExpanded()) {
            allExpanded = false;
            break;
        }
    }
    const bool wasSelected = treeitems::data(SelectedItem()) == channelId && SelectedItem();
    if (wasSelected)
        SelectItem(nullptr);

    CChannelDoc* doc = GetChannelDoc();
    m_folderTree.RemoveChannel(channelId);
    QTreeWidgetItem* newItem = m_folderTree.InsertChannel(
        channelId, m_categoryDepth, doc && doc->IsAlertMode(), m_expandOnStartup);
    if (!newItem)
        return;
    if (wasSelected)
        SelectItem(newItem);
    if (allExpanded)
        CFolderTree::ExpandAncestors(newItem);
}

void CChannelFolderView::RestoreSelection()
{
    const DWORD lastChannel = settings::lastChannelSelected();
    if (lastChannel != 0) {
        if (QTreeWidgetItem* item = m_folderTree.FindChannelItem(nullptr, lastChannel))
            SelectItem(item);
        return;
    }
    const QString lastCategory = settings::lastCategorySelected();
    if (lastCategory.isEmpty())
        return;
    QTreeWidgetItem* current = nullptr;
    for (const QString& level : SplitPathLevels(lastCategory)) {
        if (QTreeWidgetItem* next = m_folderTree.FindChildByName(current, level))
            current = next;
    }
    if (current)
        SelectItem(current);
}

void CChannelFolderView::OnSelectionChanged(QTreeWidgetItem* item)
{
    CChannelDoc* doc = GetChannelDoc();
    if (!doc || !item)
        return;
    switch (CFolderTree::GetItemKind(item)) {
    case FolderItemKind::Category: {
        std::vector<uint32_t> ids;
        CFolderTree::CollectChannelIds(item, ids);
        doc->SetCategory(ids, CFolderTree::GetCategoryDisplayPath(item));
        doc->UpdateAllViews(this, HINT_SELECTION_CHANGED);
        break;
    }
    case FolderItemKind::Channel: {
        const uint32_t id = treeitems::data(item);
        if (doc->GetMode() == CChannelDoc::ModeChannel && doc->GetFirstChannelId() == id &&
            doc->GetSubChannelPath().isEmpty())
            return;
        doc->SetChannel(id);
        doc->UpdateAllViews(this, HINT_SELECTION_CHANGED);
        break;
    }
    case FolderItemKind::SubChannel: {
        const uint32_t id = treeitems::data(item);
        const QString path = CFolderTree::GetSubChannelPath(item);
        if (doc->GetMode() == CChannelDoc::ModeChannel && doc->GetFirstChannelId() == id &&
            doc->GetSubChannelPath() == path)
            return;
        doc->SetChannel(id, path);
        doc->UpdateAllViews(this, HINT_SELECTION_CHANGED);
        break;
    }
    default:
        break;
    }
}

void CChannelFolderView::OnItemExpanded(QTreeWidgetItem* item)
{
    if (!item)
        return;
    if (CFolderTree::GetItemKind(item) == FolderItemKind::Channel)
        m_folderTree.PrepareChannelExpand(item);
    if (m_autoCollapse) {
        QTreeWidgetItem* box = treeitems::container(m_tree, item->parent());
        for (int i = 0; i < box->childCount(); ++i) {
            if (box->child(i) != item)
                box->child(i)->setExpanded(false);
        }
    }
}

std::vector<CMenuItem> CChannelFolderView::ContextMenuItems(QTreeWidgetItem* item) const
{
    CChannelDoc* doc = GetChannelDoc();
    if (!item || (doc && doc->IsAlertMode()))
        return {};
    if (CFolderTree::GetItemKind(item) != FolderItemKind::Channel)
        return {};
    const uint32_t id = treeitems::data(item);
    if (!IsRealChannel(id))
        return {};
    return ChannelContextMenuItems(id);
}

void CChannelFolderView::OnRightClick(QTreeWidgetItem* item, const QPoint& globalPos)
{
    CChannelDoc* doc = GetChannelDoc();
    if (doc && doc->IsAlertMode())
        return;
    if (item)
        SelectItem(item);
    const std::vector<CMenuItem> items = ContextMenuItems(item);
    if (!items.empty())
        TrackContextMenu(items, globalPos);
}

void CChannelFolderView::RegisterCommands()
{
    auto withChannel = [this](const std::function<void(uint32_t)>& action) {
        return [this, action] {
            const uint32_t id = GetSelectedChannelId();
            if (id)
                action(id);
        };
    };
    // Enabled while a channel is selected, disabled for a category or the alerts channel,
    // left alone when nothing is selected.
    auto channelSelectedRule = [this](CCmdUI* ui) {
        QTreeWidgetItem* item = SelectedItem();
        if (!item)
            return;
        ui->Enable(IsRealChannel(treeitems::data(item)));
    };

    onCommand(ID_CHANNEL_UPDATE_NOW,
              withChannel([](uint32_t id) { VTForceChannelConnection(id); }));
    onUpdate(ID_CHANNEL_UPDATE_NOW, [channelSelectedRule](CCmdUI* ui) {
        if (GetWorkgroupRestrictions() & VTRESTRICT_UPDATE_NOW) {
            ui->Enable(0);
            return;
        }
        channelSelectedRule(ui);
    });

    onCommand(ID_CHANNEL_DISABLE, withChannel([](uint32_t id) { VTEnableChannel(id, 0); }));
    onUpdate(ID_CHANNEL_DISABLE, [this](CCmdUI* ui) {
        ui->Enable(0);
        const uint32_t id = GetSelectedChannelId();
        if (!id)
            return;
        if (CServices* services = GetCServices()) {
            if (CService* channel = services->GetServiceByID(id))
                ui->Enable(channel->IsEnabled() && !channel->IsHomeServer());
            ReleaseCServices();
        }
    });

    onCommand(ID_CHANNEL_ENABLE, withChannel([](uint32_t id) { VTEnableChannel(id, 1); }));
    onUpdate(ID_CHANNEL_ENABLE, [this](CCmdUI* ui) {
        ui->Enable(0);
        const uint32_t id = GetSelectedChannelId();
        int enabled = 0;
        if (id && VTIsChannelEnabled(id, enabled))
            ui->Enable(enabled == 0);
    });

    onCommand(ID_CHANNEL_UNSUBSCRIBE,
              withChannel([this](uint32_t id) { VTUnsubscribeToSubscribedChannel(this, id); }));
    onUpdate(ID_CHANNEL_UNSUBSCRIBE, channelSelectedRule);

    onCommand(ID_CHANNEL_PROPERTIES,
              withChannel([this](uint32_t id) { VTShowChannelPropertiesDialog(this, id); }));
    onUpdate(ID_CHANNEL_PROPERTIES, channelSelectedRule);
}

void CChannelFolderView::SaveSelection()
{
    m_selectionSaved = true;
    // The alerts window shows only the alerts channel: what it has selected says nothing about
    // the person's choice of channel, which it would otherwise overwrite as it closes.
    if (const CChannelDoc* doc = GetChannelDoc(); doc && doc->IsAlertMode())
        return;
    QTreeWidgetItem* item = SelectedItem();
    switch (item ? CFolderTree::GetItemKind(item) : FolderItemKind::None) {
    case FolderItemKind::Channel:
    case FolderItemKind::SubChannel:
        settings::saveFolderSelection(treeitems::data(item), QString());
        break;
    case FolderItemKind::Category:
        settings::saveFolderSelection(0, CFolderTree::GetCategoryPath(item));
        break;
    default:
        settings::saveFolderSelection(0, QString());
        break;
    }
}

// Dragging -----------------------------------------------------------------------------------

WPARAM CChannelFolderView::DragKind() const
{
    return m_dragItemData != 0 ? DRAGKIND_CHANNEL : DRAGKIND_CATEGORY;
}

HWND CChannelFolderView::FindDropTargetFrom(HWND window) const
{
    return CWindowDrag::FindDropTargetFrom(window, DragKind());
}

HWND CChannelFolderView::FindDropTarget(const QPoint& globalPos) const
{
    return CWindowDrag::FindDropTarget(globalPos, DragKind());
}

void CChannelFolderView::BeginDrag(QTreeWidgetItem* item, const QPoint& globalPos)
{
    if (!item || !m_tree)
        return;
    CancelDrag();
    m_dragItemData = treeitems::data(item);
    SelectItem(item);
    // The picture is the node's icon and label as the tree shows them.
    const QRect itemRect = m_tree->visualItemRect(item);
    const QPixmap picture = itemRect.isValid() ? m_tree->viewport()->grab(itemRect) : QPixmap();
    m_drag.begin(DragKind(), picture, item->text(0), globalPos);
    // The tree's viewport has the mouse until now; the rest of the drag comes to the view.
    if (isVisible())
        grabMouse();
}

void CChannelFolderView::DragMove(const QPoint& globalPos)
{
    m_drag.move(globalPos);
}

void CChannelFolderView::CancelDrag()
{
    if (!m_drag.isActive())
        return;
    m_drag.cancel();
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

void CChannelFolderView::DragDrop(const QPoint& globalPos)
{
    if (!m_drag.isActive())
        return;
    // The drag ends before the mouse goes back, so that giving it back cancels nothing.
    const HWND target = m_drag.finish(globalPos);
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    if (!target)
        return;
    if (m_dragItemData != 0)
        SendMessage(target, DragDropMessages().dropChannel, m_dragItemData, 0);
    else
        SendMessage(target, DragDropMessages().dropCategory, 0, 0);
}

bool CChannelFolderView::eventFilter(QObject* watched, QEvent* event)
{
    // Compared with the viewport kept at creation: the tree itself is asked nothing until the
    // event is known to come from its live viewport.
    if (m_tree && m_treeViewport && watched == m_treeViewport) {
        switch (event->type()) {
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonPress: {
            // The alerts window's tree does nothing on a right click: the tree would
            // otherwise move the selection before the click is seen.
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
                const CChannelDoc* doc = GetChannelDoc();
                if (doc && doc->IsAlertMode())
                    return true;
            }
            if (event->type() != QEvent::MouseButtonPress) {
                if (event->type() == QEvent::MouseButtonRelease)
                    m_pressed = false;
                break;
            }
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                m_pressed = true;
                m_pressPos = mouse->position().toPoint();
            }
            break;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (m_pressed && !m_drag.isActive() && (mouse->buttons() & Qt::LeftButton) &&
                (mouse->position().toPoint() - m_pressPos).manhattanLength() >=
                    QApplication::startDragDistance()) {
                m_pressed = false;
                if (QTreeWidgetItem* item = m_tree->itemAt(m_pressPos)) {
                    BeginDrag(item, mouse->globalPosition().toPoint());
                    return true;
                }
            }
            break;
        }
        default:
            break;
        }
    }
    return CView::eventFilter(watched, event);
}

// While a drag runs the view holds the mouse, so the mouse events come here.
bool CChannelFolderView::event(QEvent* event)
{
    if (m_drag.isActive()) {
        switch (event->type()) {
        case QEvent::MouseMove:
            DragMove(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                DragDrop(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
                return true;
            }
            break;
        case QEvent::UngrabMouse:
            CancelDrag();
            break;
        default:
            break;
        }
    }
    return CView::event(event);
}
