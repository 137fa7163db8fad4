#include "src/channel/treeitems.h"

#include "src/channel/imagestrip.h"

#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <algorithm>

namespace treeitems
{

QTreeWidgetItem* container(QTreeWidget* tree, QTreeWidgetItem* item)
{
    if (item)
        return item;
    return tree ? tree->invisibleRootItem() : nullptr;
}

uint32_t data(const QTreeWidgetItem* item)
{
    return item ? item->data(0, ItemDataRole).toUInt() : 0;
}

void setData(QTreeWidgetItem* item, uint32_t value)
{
    if (item)
        item->setData(0, ItemDataRole, value);
}

int image(const QTreeWidgetItem* item)
{
    if (!item)
        return -1;
    const QVariant value = item->data(0, ItemImageRole);
    return value.isValid() ? value.toInt() : -1;
}

int selectedImage(const QTreeWidgetItem* item)
{
    if (!item)
        return -1;
    const QVariant value = item->data(0, ItemSelectedImageRole);
    return value.isValid() ? value.toInt() : -1;
}

void setImages(QTreeWidgetItem* item, int normal, int selected, const CImageStrip* strip)
{
    if (!item)
        return;
    item->setData(0, ItemImageRole, normal);
    item->setData(0, ItemSelectedImageRole, selected);
    item->setIcon(0, strip ? strip->icon(normal, selected) : QIcon());
}

bool isBold(const QTreeWidgetItem* item)
{
    return item && item->font(0).bold();
}

void setBold(QTreeWidgetItem* item, bool bold)
{
    if (!item)
        return;
    QFont font = item->font(0);
    font.setBold(bold);
    item->setFont(0, font);
}

QString label(const QTreeWidgetItem* item)
{
    return item ? item->text(0) : QString();
}

int sortedPosition(QTreeWidget* tree, QTreeWidgetItem* parent, const QString& text)
{
    QTreeWidgetItem* box = container(tree, parent);
    if (!box)
        return 0;
    const int count = box->childCount();
    for (int i = 0; i < count; ++i) {
        if (QString::compare(box->child(i)->text(0), text, Qt::CaseInsensitive) > 0)
            return i;
    }
    return count;
}

QTreeWidgetItem* insertItem(QTreeWidget* tree, QTreeWidgetItem* parent, int position,
                            const QString& text)
{
    QTreeWidgetItem* box = container(tree, parent);
    if (!box)
        return nullptr;
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, ItemDataRole, 0u);
    position = std::clamp(position, 0, box->childCount());
    box->insertChild(position, item);
    return item;
}

void deleteItem(QTreeWidgetItem* item)
{
    delete item; // QTreeWidgetItem takes itself out of its parent and deletes its children
}

} // namespace treeitems
