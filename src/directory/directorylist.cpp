#include "src/directory/directorylist.h"

#include "src/directory/directoryids.h"
#include "src/directory/profilerdoc.h"
#include "src/directory/profilerview.h"
#include "src/platform/resources.h"
#include "src/shared/rowlist.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <numeric>

// ---- the model --------------------------------------------------------------------------

CDirectoryModel::CDirectoryModel(QObject* parent) : QAbstractTableModel(parent) {}

void CDirectoryModel::SetRows(const std::vector<CSiteMain*>& entries)
{
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(entries.size());
    for (CSiteMain* entry : entries)
        m_rows.push_back({entry, entry->ImageIndex()});
    endResetModel();
}

CSiteMain* CDirectoryModel::EntryAt(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[static_cast<size_t>(row)].entry : nullptr;
}

int CDirectoryModel::RowOf(const CSiteMain* entry) const
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].entry == entry)
            return static_cast<int>(i);
    }
    return -1;
}

int CDirectoryModel::ImageOf(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[static_cast<size_t>(row)].image : -1;
}

void CDirectoryModel::RecomputeImage(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    Row& r = m_rows[static_cast<size_t>(row)];
    const int image = r.entry->ImageIndex();
    if (image == r.image)
        return;
    r.image = image;
    emit dataChanged(index(row, 0), index(row, 0), {Qt::DecorationRole, ImageIndexRole});
}

void CDirectoryModel::RewriteRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    m_rows[static_cast<size_t>(row)].image = m_rows[static_cast<size_t>(row)].entry->ImageIndex();
    emit dataChanged(index(row, 0), index(row, DIRECTORY_COLUMN_COUNT - 1));
}

void CDirectoryModel::RecomputeAllImages()
{
    for (Row& r : m_rows)
        r.image = r.entry->ImageIndex();
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0),
                         {Qt::DecorationRole, ImageIndexRole});
}

void CDirectoryModel::RewriteAll()
{
    for (Row& r : m_rows)
        r.image = r.entry->ImageIndex();
    if (!m_rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, DIRECTORY_COLUMN_COUNT - 1));
}

void CDirectoryModel::Sort(const std::vector<int>& ranks, bool ascending)
{
    if (m_rows.size() < 2)
        return;
    auto rankOf = [&](const Row& r) {
        const int position = r.entry->GetPosition();
        return position >= 0 && static_cast<size_t>(position) < ranks.size()
                   ? ranks[static_cast<size_t>(position)]
                   : 0;
    };
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<int> keys(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i)
        keys[i] = rankOf(m_rows[i]);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int ka = keys[static_cast<size_t>(a)];
        const int kb = keys[static_cast<size_t>(b)];
        return ascending ? ka < kb : ka > kb;
    });
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRowOf(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(m_rows[static_cast<size_t>(order[i])]);
        newRowOf[static_cast<size_t>(order[i])] = static_cast<int>(i);
    }
    m_rows = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after << index(newRowOf[static_cast<size_t>(old.row())], old.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CDirectoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CDirectoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : DIRECTORY_COLUMN_COUNT;
}

QVariant CDirectoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const Row& r = m_rows[static_cast<size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return r.entry->GetColumnText(index.column());
    case Qt::ToolTipRole:
        // The description is often longer than its column.
        return index.column() == 1 && !r.entry->GetDescription().isEmpty()
                   ? QVariant(r.entry->GetDescription())
                   : QVariant();
    case Qt::DecorationRole:
        if (index.column() == 0 && m_images && r.image >= 0 &&
            static_cast<size_t>(r.image) < m_images->size())
            return (*m_images)[static_cast<size_t>(r.image)];
        return QVariant();
    case ImageIndexRole:
        return r.image;
    default:
        return QVariant();
    }
}

QVariant CDirectoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case 0:
        return LoadString(IDS_DIRECTORY_NAME);
    case 1:
        return LoadString(IDS_DIRECTORY_DESCRIPTION);
    case 2:
        return LoadString(IDS_DIRECTORY_CATEGORY);
    default:
        return QVariant();
    }
}

// ---- the list control -------------------------------------------------------------------

CDirectoryList::CDirectoryList(CProfilerView* owner)
    : QTreeView(owner), m_owner(owner), m_dragMouse(owner)
{
    m_columnFill = SetUpRowList(this, QStringLiteral("DirectoryList"));
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::StyledPanel);
    header()->setSectionsMovable(false);
}

bool CDirectoryList::HitsImage(const QPoint& point, int* row) const
{
    const QModelIndex index = indexAt(point);
    if (row)
        *row = index.isValid() ? index.row() : -1;
    if (!index.isValid())
        return false;
    const int left = header()->sectionViewportPosition(0);
    return point.x() >= left && point.x() < left + std::min(m_imageWidth, header()->sectionSize(0));
}

void CDirectoryList::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    const QAbstractItemModel* model = index.model();
    if (!model)
        return;
    const int row = index.row();
    const bool selected = selectionModel() && selectionModel()->isRowSelected(row, index.parent());
    const bool focused = hasFocus();
    const QPalette& palette = option.palette;
    QColor background = palette.color(QPalette::Active, QPalette::Base);
    QColor text = palette.color(QPalette::Active, QPalette::Text);
    if (selected && focused) {
        background = palette.color(QPalette::Active, QPalette::Highlight);
        text = palette.color(QPalette::Active, QPalette::HighlightedText);
    } else if (selected) {
        background = palette.color(QPalette::Inactive, QPalette::Button);
    }
    const QRect rowRect(-horizontalOffset(), option.rect.top(),
                        std::max(header()->length(), viewport()->width() + horizontalOffset()),
                        option.rect.height());
    painter->save();
    painter->fillRect(rowRect, palette.color(QPalette::Active, QPalette::Base));
    const QFontMetrics metrics(option.font);
    for (int column = 0; column < model->columnCount(); ++column) {
        int left = header()->sectionViewportPosition(column);
        int width = header()->sectionSize(column);
        if (column == 0) {
            // The state picture keeps the list's own background, as the check box reads best.
            const QPixmap picture = model->index(row, 0).data(Qt::DecorationRole).value<QPixmap>();
            if (!picture.isNull()) {
                const int top = rowRect.top() + (rowRect.height() - picture.height()) / 2;
                painter->setClipRect(QRect(left, rowRect.top(), width, rowRect.height()));
                painter->drawPixmap(left, top, picture);
                painter->setClipping(false);
            }
            left += m_imageWidth;
            width -= m_imageWidth;
        }
        if (width <= 0)
            continue;
        const QRect cell(left, rowRect.top(), width, rowRect.height());
        painter->fillRect(cell, background);
        const QString cellText = metrics.elidedText(model->index(row, column).data().toString(),
                                                    Qt::ElideRight, width - 6);
        painter->setPen(text);
        painter->drawText(cell.adjusted(3, 0, -3, 0),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, cellText);
    }
    if (currentIndex().isValid() && currentIndex().row() == row && focused) {
        const QRect focus(header()->sectionViewportPosition(0) + m_imageWidth, rowRect.top(),
                          header()->length() - m_imageWidth, rowRect.height());
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(text, 1, Qt::DotLine));
        painter->drawRect(focus.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

void CDirectoryList::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    m_dragMouse.press(this, event);
}

void CDirectoryList::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragMouse.move(event))
        QTreeView::mouseMoveEvent(event);
}

void CDirectoryList::mouseReleaseEvent(QMouseEvent* event)
{
    int pressRow = -1;
    if (m_dragMouse.release(event, &pressRow))
        return;
    QTreeView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    // The release that ends a double click is no click of its own.
    if (m_afterDoubleClick) {
        m_afterDoubleClick = false;
        return;
    }
    int row = -1;
    if (HitsImage(event->position().toPoint(), &row) && row == pressRow)
        m_owner->OnImageClick(row);
}

void CDirectoryList::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_afterDoubleClick = true;
        m_owner->OnDoubleClick();
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
}

void CDirectoryList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_owner->IsDragging()) {
        m_owner->CancelDrag();
        return;
    }
    if (event->key() == Qt::Key_Space && !(event->modifiers() & Qt::AltModifier)) {
        m_owner->OnSpaceKey();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void CDirectoryList::contextMenuEvent(QContextMenuEvent* event)
{
    m_owner->OnContextMenu(event->globalPos());
}

void CDirectoryList::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void CDirectoryList::focusOutEvent(QFocusEvent* event)
{
    // The mouse went to another window in the middle of a drag: no drop follows.
    if (m_owner->IsDragging())
        m_owner->CancelDrag();
    QTreeView::focusOutEvent(event);
    viewport()->update();
}
