#pragma once
// The category pane of the channel directory window: "All" at the top and the directory's
// category tree below it. Choosing a node tells the other views which entries to list.

#include "src/channel/imagestrip.h"
#include "src/framework/view.h"

class CCategory;
class QTreeWidget;
class QTreeWidgetItem;

// What the view needs of its document: the directory document implements it beside
// CDocument and hands out its first category tree.
class CCategoryProvider
{
public:
    virtual ~CCategoryProvider() = default;
    virtual const CCategory* GetFirstCategory() const = 0;
};

class CCategoryView : public CView
{
    Q_OBJECT
public:
    explicit CCategoryView(QWidget* parent = nullptr);
    ~CCategoryView() override;

    // The strip of the directory tree: 8 cells, pure red transparent.
    static CImageStrip LoadCategoryImages();

    QTreeWidget* GetTreeCtrl() const { return m_tree; }

    // Codes 0, 1 and 2 rebuild the tree; 20 reports the current selection again.
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;

    // Tells the other views about the selected node (see CCategoryHint).
    void ReportSelection();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Rebuild();

    QTreeWidget* m_tree = nullptr;
    CImageStrip m_images;
    bool m_rebuilding = false;
};

// The hint object of the category pane's reports: the ids filed under the chosen node.
class CCategoryHint : public CObject
{
public:
    explicit CCategoryHint(const std::vector<uint32_t>* ids) : m_ids(ids) {}
    const std::vector<uint32_t>* m_ids; // not owned; lives as long as the category tree
};
