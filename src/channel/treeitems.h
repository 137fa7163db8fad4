#pragma once
// What the program's tree controls keep in each item besides its label: a 32-bit item data
// word, a normal and a selected image index, and a bold state. The null item stands for the
// tree's root (its top level).

#include <QString>
#include <Qt>
#include <cstdint>

class CImageStrip;
class QTreeWidget;
class QTreeWidgetItem;

constexpr int ItemDataRole = Qt::UserRole;
constexpr int ItemImageRole = Qt::UserRole + 1;
constexpr int ItemSelectedImageRole = Qt::UserRole + 2;
constexpr int ItemPointerRole = Qt::UserRole + 3;

namespace treeitems
{
// The parent to walk: the item itself, or the tree's invisible root for the null item.
QTreeWidgetItem* container(QTreeWidget* tree, QTreeWidgetItem* item);

uint32_t data(const QTreeWidgetItem* item);
void setData(QTreeWidgetItem* item, uint32_t value);
int image(const QTreeWidgetItem* item);         // -1 for none
int selectedImage(const QTreeWidgetItem* item); // -1 for none
// Sets both indexes and the icon drawn from the strip (none when the strip is null).
void setImages(QTreeWidgetItem* item, int normal, int selected, const CImageStrip* strip);
bool isBold(const QTreeWidgetItem* item);
void setBold(QTreeWidgetItem* item, bool bold);
QString label(const QTreeWidgetItem* item);

// The position among the parent's children where an item with the label goes in the tree's
// sorted insertion: before the first child whose label is greater without regard to case.
int sortedPosition(QTreeWidget* tree, QTreeWidgetItem* parent, const QString& label);
// A new item with the label, inserted at the position under the parent (null: top level).
QTreeWidgetItem* insertItem(QTreeWidget* tree, QTreeWidgetItem* parent, int position,
                            const QString& label);
// Deletes the item with its subtree.
void deleteItem(QTreeWidgetItem* item);
} // namespace treeitems
