#pragma once
// The left pane of the channel window: the tree of categories, subscribed channels and their
// sub-channels. Choosing a node points the document at that channel, sub-channel or
// category; update hints keep the tree current; the channel commands act on the selected
// node's channel; a node can be dragged to another window; the last choice is remembered.
// In the alerts window it shows only the alerts channel.

#include "src/channel/foldertree.h"
#include "src/framework/view.h"
#include "src/shared/dragdrop.h"

#include <QCursor>
#include <QPoint>
#include <QPointer>
#include <vector>

class CChannelDoc;
class QTreeWidget;
class QTreeWidgetItem;

class CChannelFolderView : public CView
{
    Q_OBJECT
public:
    explicit CChannelFolderView(QWidget* parent = nullptr);
    ~CChannelFolderView() override;

    // The child window id and name of the tree control.
    static constexpr UINT TREE_CONTROL_ID = 1;

    CChannelDoc* GetChannelDoc() const;
    QTreeWidget* GetTreeCtrl() const { return m_tree; }
    CFolderTree& GetFolderTree() { return m_folderTree; }
    DWORD GetContentFlags() const { return m_contentFlags; }

    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;

    // The channel id of the selected node for the commands: 0 when nothing is selected or the
    // node carries 0 or the alerts channel.
    uint32_t GetSelectedChannelId() const;
    // Selects the item (null clears the selection); the selection handler follows.
    void SelectItem(QTreeWidgetItem* item);

    // The context menu for a node: empty when the node gets none.
    std::vector<CMenuItem> ContextMenuItems(QTreeWidgetItem* item) const;
    // What a right click on the item does (selects it and shows the menu at the point).
    void OnRightClick(QTreeWidgetItem* item, const QPoint& globalPos);

    // Dragging a node to another window.
    void BeginDrag(QTreeWidgetItem* item, const QPoint& globalPos);
    void DragMove(const QPoint& globalPos);
    void DragDrop(const QPoint& globalPos);
    void CancelDrag();
    bool IsDragging() const { return m_drag.isActive(); }
    // The window at the point, or its nearest ancestor, that accepts the dragged item.
    HWND FindDropTarget(const QPoint& globalPos) const;
    // The same, starting from a given window.
    HWND FindDropTargetFrom(HWND window) const;
    bool IsShowingDropCursor() const { return m_drag.isShowingDropCursor(); }

    // Saves the selected node as the remembered choice. The frame does it as it closes, while
    // the tree is whole; a view that goes without that saves it as it is deleted.
    void SaveSelection();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Create();
    void OnSelectionChanged(QTreeWidgetItem* item);
    void OnItemExpanded(QTreeWidgetItem* item);
    void OnAttributeChanged(uint32_t channelId);
    void OnChannelUpdated(uint32_t channelId);
    void RestoreSelection();
    void RegisterCommands();
    bool IsRealChannel(uint32_t id) const;
    QTreeWidgetItem* SelectedItem() const;
    WPARAM DragKind() const;

    QTreeWidget* m_tree = nullptr;
    QPointer<QWidget> m_treeViewport; // the tree's viewport, whose mouse events come here
    CFolderTree m_folderTree;
    CWindowDrag m_drag;
    bool m_selectionSaved = false;
    uint32_t m_dragItemData = 0; // the dragged node's channel id (0: a category)
    DWORD m_categoryDepth;
    bool m_expandOnStartup = true;
    DWORD m_contentFlags;
    bool m_autoCollapse = false;
    bool m_pressed = false;
    QPoint m_pressPos;
};
