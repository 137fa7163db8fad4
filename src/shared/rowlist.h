#pragma once
// The lists of rows the directory and story windows draw themselves: whole rows are chosen
// (several at once), nothing is edited in place or sorted by the view, and the columns keep
// the widths they are given.

#include <QString>
#include <vector>

class QAbstractItemView;
class QTreeView;

// Sets up a list of that kind under the name (its object and accessible name).
void SetUpRowList(QTreeView* list, const QString& name);

// The selected rows of a list, in ascending order.
std::vector<int> SortedSelectedRows(const QAbstractItemView* list);
