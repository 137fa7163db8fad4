#include "src/channel/category.h"

#include "src/channel/categorytext.h"
#include "src/channel/channelids.h"
#include "src/channel/treeitems.h"
#include "src/platform/resources.h"

#include <QTreeWidget>
#include <QTreeWidgetItem>

void CCategory::Clear()
{
    m_items.clear();
}

void CCategory::Build(const CCategoryEntryList* list1, const CCategoryEntryList* list2,
                      const CCategoryEntryList* list3)
{
    Clear();
    m_lists[0] = list1;
    m_lists[1] = list2;
    m_lists[2] = list3;
    for (const CCategoryEntryList* list : m_lists) {
        if (!list)
            continue;
        const int count = list->GetEntryCount();
        for (int i = 0; i < count; ++i) {
            const uint32_t id = list->GetEntryId(i);
            for (const QString& path : SplitCategoryPaths(list->GetEntryCategories(i))) {
                CCategoryItemList* level = &m_items;
                CCategoryItem* node = nullptr;
                for (const QString& name : SplitText(path, "/")) {
                    node = nullptr;
                    for (const auto& candidate : *level) {
                        if (QString::compare(candidate->m_name, name, Qt::CaseInsensitive) == 0) {
                            node = candidate.get();
                            break;
                        }
                    }
                    if (!node) {
                        level->push_back(std::make_unique<CCategoryItem>(name));
                        node = level->back().get();
                    }
                    level = &node->m_children;
                }
                if (node)
                    node->m_ids.push_back(id);
            }
        }
    }
}

void CCategory::FillTree(QTreeWidget* tree, const CCategoryItemList& nodes, QTreeWidgetItem* parent,
                         bool withEntries, const CImageStrip* strip) const
{
    if (!tree)
        return;
    const QString premier = LoadString(IDS_PREMIER);
    for (const auto& node : nodes) {
        QString label = FromPathForm(node->m_name);
        if (label.isEmpty())
            label = LoadString(IDS_MISCELLANEOUS);
        const bool isPremier =
            !premier.isEmpty() && QString::compare(label, premier, Qt::CaseInsensitive) == 0;
        QTreeWidgetItem* item = treeitems::insertItem(
            tree, parent, treeitems::sortedPosition(tree, parent, label), label);
        if (isPremier)
            treeitems::setImages(item, CATIMG_PREMIER_CLOSED, CATIMG_PREMIER_OPEN, strip);
        else
            treeitems::setImages(item, CATIMG_FOLDER_CLOSED, CATIMG_FOLDER_OPEN, strip);
        item->setData(0, ItemPointerRole,
                      QVariant::fromValue(reinterpret_cast<quintptr>(node.get())));
        FillTree(tree, node->m_children, item, withEntries, strip);
        if (withEntries) {
            for (uint32_t id : node->m_ids) {
                QString name;
                if (!FindEntryName(id, name))
                    continue;
                QTreeWidgetItem* entry = treeitems::insertItem(
                    tree, item, treeitems::sortedPosition(tree, item, name), name);
                treeitems::setImages(entry, CATIMG_ENTRY, CATIMG_ENTRY, strip);
            }
        }
    }
}

int CCategory::FindEntryName(uint32_t id, QString& name) const
{
    for (const CCategoryEntryList* list : m_lists) {
        if (!list)
            continue;
        const int count = list->GetEntryCount();
        for (int i = 0; i < count; ++i) {
            if (list->GetEntryId(i) == id) {
                name = list->GetEntryName(i);
                return 1;
            }
        }
    }
    return 0;
}

const CCategoryItem* CCategory::NodeOfItem(const QTreeWidgetItem* item)
{
    if (!item)
        return nullptr;
    return reinterpret_cast<const CCategoryItem*>(item->data(0, ItemPointerRole).value<quintptr>());
}
