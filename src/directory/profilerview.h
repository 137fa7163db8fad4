#pragma once
// The directory list: the right-hand pane of the channel directory window. One row per entry
// of the engine's directory, with a check box picture that shows and toggles the
// subscription; the tabs All, Subscribed and New under the list filter it, and the category
// pane restricts it to one category. Subscriptions are asked of the engine; a check-box click
// redraws its row at once, everything else waits for the engine's report to come back through
// the document.

#include "src/framework/view.h"
#include "src/shared/dragdrop.h"

#include <QPixmap>
#include <QTimer>
#include <vector>

class CDirectoryList;
class CDirectoryModel;
class CProfilerDoc;
class CSiteMain;
class QTabBar;

class CProfilerView : public CView, public CRowDragOwner
{
    Q_OBJECT
public:
    explicit CProfilerView(QWidget* parent = nullptr);
    // Writes the column widths, the filter and the sort to the settings.
    ~CProfilerView() override;

    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;

    CProfilerDoc* GetProfilerDoc() const;
    CDirectoryList* GetListCtrl() const { return m_list; }
    // A column's own width, the one that is stored (the last column is drawn to the edge).
    int GetColumnWidth(int column) const;
    CDirectoryModel* GetModel() const { return m_model; }
    QTabBar* GetTabCtrl() const { return m_tabs; }
    int GetSortColumn() const { return m_sortColumn; }
    bool IsSortAscending() const { return m_ascending != 0; }

    // A click on a column header: that column becomes the sort column and the direction
    // flips, then the list is sorted.
    void OnColumnClick(int column);
    // Tab 0, 1 or 2: the filter All, Subscribed or New; the category pane refills the list.
    void OnTabChanged(int tab);
    // The list's notifications (CDirectoryList hands them over).
    void OnImageClick(int row);
    void OnDoubleClick();
    void OnSpaceKey();
    void OnContextMenu(const QPoint& globalPos);
    void BeginDrag(int row, const QPoint& globalPos) override;
    void DragMove(const QPoint& globalPos) override;
    void DragDrop(const QPoint& globalPos) override;
    void CancelDrag();
    bool IsDragging() const override { return m_drag.isActive(); }
    // The 10-second timer: a change the engine reported becomes a reload request.
    void OnTimer();

    // The selected rows in ascending order, and their entries.
    std::vector<int> SelectedRows() const;
    std::vector<CSiteMain*> SelectedEntries() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void RegisterCommands();
    void Layout();
    void Reload();
    void ShowIds(const std::vector<uint32_t>& ids);
    void SortList();
    void ShowSortIndicator();
    void SubscribeSelected(bool subscribe);
    void SelectEntry(CSiteMain* entry);

    int m_sortColumn = 0;
    int m_ascending = 1;
    DWORD m_filter = 0;
    bool m_sizing = false;
    CWindowDrag m_drag;
    std::vector<QPixmap> m_images;
    QTabBar* m_tabs = nullptr;
    CDirectoryList* m_list = nullptr;
    CDirectoryModel* m_model = nullptr;
    QTimer m_timer;
};
