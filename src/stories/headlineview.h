#pragma once
// The headline list: the story list pane of the channel window and, in alert mode, of the
// alerts window. One row per story of the channels that the window's document names, with
// an icon for the story's content kind and marks, the headline, the time received and, where
// needed, the channel and sub-channel. Unread stories are bold, stories that raised an alert
// are drawn in the alerted colour. The list sorts by any column, hides read stories while
// "Show Unread Items Only" is on, shows a story's summary on a click, opens a story on a
// double click or Enter, carries the story commands and lets one story be dragged onto a
// browser pane. It changes no story itself: every change is asked of the engine, and the
// engine's refresh comes back as update hints.

#include "src/framework/view.h"
#include "src/shared/dragdrop.h"
#include "src/shared/panes.h"
#include "src/shared/settings.h"
#include "src/stories/headlinemodel.h"

#include <QBasicTimer>
#include <QColor>
#include <QFont>
#include <QPointer>
#include <QTreeView>
#include <memory>
#include <vector>

class CChannelDoc;
class CColumnFill;
class CHeadlineDelegate;
class CHeadlineView;
class CService;
class CStorySummaryPopup;
class CStoryBucket;
struct tagStoryCaps;

// The list control of the headline view: a report list whose selection colours follow the
// keyboard focus. Input goes to its view.
class CHeadlineList : public QTreeView
{
    Q_OBJECT
public:
    explicit CHeadlineList(CHeadlineView* owner);
    CHeadlineDelegate* delegate() const { return m_delegate; }
    CColumnFill* columnFill() const { return m_columnFill; }

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CHeadlineView* m_owner;
    CHeadlineDelegate* m_delegate;
    CColumnFill* m_columnFill = nullptr;
    CRowDragMouse m_dragMouse;
};

class CHeadlineView : public CView, public CStoryListPane, public CRowDragOwner
{
    Q_OBJECT
public:
    explicit CHeadlineView(QWidget* parent = nullptr);
    ~CHeadlineView() override;

    // ---- the document's target
    CChannelDoc* GetChannelDoc() const;
    bool IsAlertMode() const;

    // ---- creation (done at the first update, when the document is known)
    bool Create();
    bool IsCreated() const { return m_created; }
    // "Software\Vantrel\Vantrel\Settings\Readhall\HeadlineView" (or AlertHeadlineView).
    const QString& SettingsKey() const { return m_settings.keyPath(); }

    // ---- updates and filling
    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;
    virtual void RefreshList();
    // Adds the channel's stories; the flag (when given) says whether any story has a
    // sub-channel.
    virtual void AddServiceStories(CService* channel, BOOL* hasSubChannels);
    virtual void SortItems();
    virtual void ShowStorySummary(BOOL atMouse);
    virtual void OpenSelectedStory();

    // ---- input
    void OnColumnClick(int column);
    void OnListClick();
    void OnListDoubleClick();
    // A key pressed in the list; true when it was used.
    bool OnListKeyDown(int key);
    void OnContextMenu(const QPoint& globalPos);
    // The view's timers (click timer 1, redraw timer 2).
    void OnTimer(int id);

    // ---- story commands (the menu commands routed to the view)
    void OnMarkRead(bool read);
    void OnDeleteStories();
    void OnKeep();
    void OnDownload();
    // Play (or place the files of) the first selected story that works.
    void OnPlay(bool placeFiles);
    void OnSelectAll();
    void OnProperties();
    // The channel window's Mark All as Read: every listed story; 1 when a list was handed
    // to the engine.
    int MarkAllListedRead() override;
    // Two or more rows, or one row that is a story.
    int HasListedStories() const override;

    // The context menu as it would show now: false when no menu shows.
    struct MenuEntry {
        UINT id = 0; // 0: a separator
        QString text;
        bool enabled = true;
        bool checked = false;
    };
    bool BuildContextMenu(std::vector<MenuEntry>& entries);

    // ---- dragging a story
    void BeginDrag(int row, const QPoint& globalPos) override;
    void DragMove(const QPoint& globalPos) override;
    void DragDrop(const QPoint& globalPos) override;
    void CancelDrag();
    bool IsDragging() const override { return m_drag.isActive(); }
    // The window under the point that accepts a story, or its nearest ancestor that does.
    static HWND FindDropTarget(const QPoint& globalPos);

    // ---- state, for the frame and tests
    CHeadlineList* list() const { return m_list; }
    CHeadlineModel* model() const { return m_model; }
    CStorySummaryPopup* popup() const { return m_popup.get(); }
    int GetColumnWidth(int column) const;
    int GetSortColumn() const { return m_sortColumn; }
    bool IsSortAscending() const { return m_sortAscending; }
    const std::vector<uint32_t>& GetShownChannels() const { return m_shownChannels; }
    bool IsRedrawSuspended() const { return m_redrawTimer.isActive(); }
    bool IsClickTimerRunning() const { return m_clickTimer.isActive(); }
    // The selected rows, top to bottom.
    std::vector<int> SelectedRows() const;
    void SelectRows(const std::vector<int>& rows);
    // The story identifier of a row (empty for the placeholder or a bad row).
    QString RowStoryId(int row) const;
    static UINT UnreadOnlyMessage();
    bool SelectUnreadStory(bool forward, bool fromEdge) override;

protected:
    // What a sister list (the search results) does differently, asked at creation: its
    // settings, the columns it always shows, and whether it takes the program's broadcasts.
    virtual settings::StoryList ListKind() const;
    virtual int AlwaysShownColumns() const { return 2; }
    virtual bool TakesBroadcasts() const { return true; }
    // After a deletion emptied the list: the placeholder row.
    virtual void OnListEmptied();
    // Delete asks and acts only when this holds (here: the list has rows).
    virtual bool DeleteHasWork() const;
    // Play and Place Files: the first selected story that works, alerts mapped to the story
    // that raised them; otherwise every selected story, as it stands.
    virtual bool PlaysFirstOnly() const { return true; }
    // Play and Place Files stay off while this holds.
    virtual bool PlayBlocked() const { return false; }
    // Select All is on (here: two or more rows, or one that is a story).
    virtual bool CanSelectAll() const;

    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    void ShowColumn(int column, bool shown);
    void RemoveStories(uint32_t channelId, const std::vector<uint32_t>& numbers);
    void UpdateStories(uint32_t channelId, const std::vector<uint32_t>& numbers);

private:
    void RegisterCommands();
    void Destroy();
    void AddPlaceholder();
    void ThrottleStep();
    void HidePopup();
    void RepaintMainFrame();
    void CollectRows(const std::vector<int>& rows, CStoryBucket& bucket) const;
    // Exactly one row selected and it is a story: its identifier.
    bool SingleSelectedStory(QString& storyId) const;
    // Exactly one story selected and its capabilities for the request bit were read.
    bool SingleStoryCaps(uint32_t request, tagStoryCaps& caps) const;
    bool AnySelectedCanDownload() const;
    bool SelectedRowUnread() const;
    bool ParseRow(int row, uint32_t& channelId, uint32_t& storyNumber) const;

    CHeadlineList* m_list = nullptr;
    CHeadlineModel* m_model = nullptr;
    std::unique_ptr<CStorySummaryPopup> m_popup;
    QFont m_normalFont;
    QFont m_boldFont;
    QColor m_alertedColor;
    std::vector<uint32_t> m_shownChannels;
    int m_sortColumn = 1;
    bool m_sortAscending = false;
    bool m_created = false;
    bool m_filledOnce = false;
    // Taken at creation: the destructor cannot ask the virtual hooks.
    int m_alwaysShownColumns = 2;
    bool m_registered = false;
    settings::StoryListSettings m_settings{settings::StoryList::Headlines};
    QBasicTimer m_clickTimer;
    QBasicTimer m_redrawTimer;
    DWORD m_lastDeletionTick = 0;
    int m_deletionCount = 0;
    CWindowDrag m_drag;
    // Hides the summary pop-up when the list loses the focus; ended first at destruction.
    QMetaObject::Connection m_focusConnection;
};
