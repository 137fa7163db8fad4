#pragma once
// The lists of rows the directory and story windows draw themselves: whole rows are chosen
// (several at once), nothing is edited in place or sorted by the view, and the columns keep
// the widths they are given, except that the last column shown reaches the list's right edge
// (see CColumnFill; its own width is the one to store).

#include <QString>
#include <vector>

class CColumnFill;
class QAbstractItemView;
class QTreeView;

// Sets up a list of that kind under the name (its object and accessible name); the list owns
// the returned column fill.
CColumnFill* SetUpRowList(QTreeView* list, const QString& name);

// The selected rows of a list, in ascending order.
std::vector<int> SortedSelectedRows(const QAbstractItemView* list);
