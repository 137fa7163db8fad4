#include "src/shared/columnfill.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeView>

#include <algorithm>

namespace
{
// The narrowest the filled column's own width becomes (0 would hide it).
constexpr int kNarrowest = 16;
} // namespace

CColumnFill::CColumnFill(QTreeView* list) : QObject(list), m_list(list)
{
    list->viewport()->installEventFilter(this);
    connect(list->header(), &QHeaderView::sectionResized, this, &CColumnFill::onSectionResized);
}

int CColumnFill::width(int column) const
{
    return column == m_filled ? m_ownWidth : m_list->header()->sectionSize(column);
}

void CColumnFill::refit()
{
    QHeaderView* header = m_list->header();
    m_fitting = true;
    if (m_filled >= 0 && m_filled < header->count())
        header->resizeSection(m_filled, m_ownWidth);
    m_filled = -1;
    int last = -1;
    for (int visual = header->count() - 1; visual >= 0 && last < 0; --visual) {
        const int column = header->logicalIndex(visual);
        if (!header->isSectionHidden(column) && header->sectionSize(column) > 0)
            last = column;
    }
    const int spare = m_list->viewport()->width() - header->length();
    if (last >= 0 && spare > 0) {
        m_filled = last;
        m_ownWidth = header->sectionSize(last);
        header->resizeSection(last, m_ownWidth + spare);
    }
    m_fitting = false;
}

bool CColumnFill::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::Resize)
        refit();
    return QObject::eventFilter(watched, event);
}

void CColumnFill::onSectionResized(int column, int, int newSize)
{
    if (m_fitting)
        return;
    // A width given to the filled column (a drag on its edge, the list setting it) is its own
    // width from now on; 0 hides it (the list read its own width before).
    if (column == m_filled) {
        m_filled = -1;
        if (newSize > 0 && newSize < kNarrowest) {
            m_fitting = true;
            m_list->header()->resizeSection(column, kNarrowest);
            m_fitting = false;
        }
    }
    refit();
}
