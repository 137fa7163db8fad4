#pragma once
// The last column a list shows reaches the list's right edge, so the header ends where the
// list does. The column's own width (the one the person gave it, the one that is stored) is
// kept apart from the width it is drawn at: when the list narrows, or another column grows,
// the filled column goes back towards its own width, and the list scrolls as before once the
// columns no longer fit. A column of width 0 counts as hidden and is never filled.

#include <QObject>

class QTreeView;

class CColumnFill : public QObject
{
public:
    // For a list whose header does not stretch its last section itself.
    explicit CColumnFill(QTreeView* list);

    // The column's own width: its drawn width, except for the filled column.
    int width(int column) const;
    // Lays the columns out again; the list calls it after it resized columns itself.
    void refit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onSectionResized(int column, int oldSize, int newSize);

    QTreeView* m_list;
    int m_filled = -1;  // the column drawn wider than its own width, or -1
    int m_ownWidth = 0; // that column's own width
    bool m_fitting = false;
};
