#include "src/channel/categoryview.h"

#include "src/channel/category.h"
#include "src/channel/channelids.h"
#include "src/channel/treeitems.h"
#include "src/framework/document.h"
#include "src/platform/resources.h"
#include "src/shared/settings.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QTreeWidget>

namespace
{
// Swallows right clicks: the category pane has no context menu and a right click does not
// move the selection.
class RightClickFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
        }
    }
};
} // namespace

CCategoryView::CCategoryView(QWidget* parent)
    : CView(QStringLiteral("CCategoryView"), parent), m_images(LoadCategoryImages())
{
    const bool hasLines = settings::treeHasLines();

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("CategoryTree"));
    m_tree->setColumnCount(1);
    m_tree->header()->hide();
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setRootIsDecorated(true);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setContextMenuPolicy(Qt::NoContextMenu);
    if (!hasLines)
        m_tree->setStyleSheet(QStringLiteral("QTreeView::branch { border-image: none; }"));
    m_tree->viewport()->installEventFilter(new RightClickFilter(m_tree));
    m_tree->setGeometry(rect());

    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
                // Only a change the user made is reported; a rebuild selects by itself.
                if (!m_rebuilding && current)
                    ReportSelection();
            });
}

CCategoryView::~CCategoryView()
{
    if (m_tree) {
        m_tree->disconnect(this);
        m_tree->blockSignals(true);
    }
}

CImageStrip CCategoryView::LoadCategoryImages()
{
    return CImageStrip(LoadBitmapResource(IDB_CATEGORY_TREE), 16, QColor(255, 0, 0));
}

void CCategoryView::resizeEvent(QResizeEvent* event)
{
    CView::resizeEvent(event);
    if (m_tree)
        m_tree->setGeometry(rect());
}

void CCategoryView::OnUpdate(CView*, LPARAM hint, CObject*)
{
    switch (hint) {
    case CATHINT_RELOAD:
    case CATHINT_REBUILD_1:
    case CATHINT_CATEGORY_CHOSEN:
        Rebuild();
        break;
    case CATHINT_REPORT_SELECTION:
        ReportSelection();
        break;
    default:
        break;
    }
}

void CCategoryView::Rebuild()
{
    m_rebuilding = true;
    m_tree->clear();
    QTreeWidgetItem* all =
        treeitems::insertItem(m_tree, nullptr, m_tree->topLevelItemCount(), LoadString(IDS_ALL));
    treeitems::setImages(all, CATIMG_FOLDER_CLOSED, CATIMG_FOLDER_OPEN, &m_images);
    const auto* provider = dynamic_cast<const CCategoryProvider*>(GetDocument());
    if (const CCategory* category = provider ? provider->GetFirstCategory() : nullptr)
        category->FillTree(m_tree, category->GetItems(), all, false, &m_images);
    all->setExpanded(true);
    m_tree->setCurrentItem(all);
    m_rebuilding = false;
}

void CCategoryView::ReportSelection()
{
    CDocument* doc = GetDocument();
    QTreeWidgetItem* item = m_tree->currentItem();
    if (!doc || !item)
        return;
    if (!item->parent()) {
        // "All": its item data is 0, so the hint carries no list.
        doc->UpdateAllViews(this, CATHINT_ALL_CHOSEN, nullptr);
        return;
    }
    if (const CCategoryItem* node = CCategory::NodeOfItem(item)) {
        CCategoryHint hint(&node->m_ids);
        doc->UpdateAllViews(this, CATHINT_CATEGORY_CHOSEN, &hint);
    } else {
        doc->UpdateAllViews(this, CATHINT_NO_CATEGORY, nullptr);
    }
}
