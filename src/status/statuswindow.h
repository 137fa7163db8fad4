#pragma once
// The channel status window: the header strip "Status" above a report list with the columns
// Channel, Status, Last Updated and Next Update. Nothing fills the list: each channel's status
// is shown by the channel window's header, and the empty list says so. The window is opened
// only through its window kind; the Channel Status command goes to the engine's own window.

#include "src/framework/document.h"
#include "src/framework/view.h"
#include "src/shared/headerframe.h"

#include <QTreeWidget>

// Ids of the window.
constexpr UINT IDC_STATUS_LIST = 1;
constexpr UINT IDS_STATUS_LIST_EMPTY = 61430; // "Each channel's download status is shown ..."

class CStatusDoc : public CDocument
{
    Q_OBJECT
public:
    CStatusDoc();
};

class CStatusFrame : public CHeaderPaneFrame
{
    Q_OBJECT
public:
    CStatusFrame();
};

// The report list: four left-aligned columns and, while it has no rows, a line saying where
// channel status is shown.
class CStatusList : public QTreeWidget
{
    Q_OBJECT
public:
    explicit CStatusList(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

class CStatusListView : public CView
{
    Q_OBJECT
public:
    explicit CStatusListView(QWidget* parent = nullptr);
    CStatusList* list() const { return m_list; }
    // Room for the four columns: the size the window opens with when it is not maximised.
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CStatusList* m_list;
};
