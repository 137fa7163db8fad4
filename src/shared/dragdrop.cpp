#include "src/shared/dragdrop.h"

#include "src/platform/messagewindow.h"
#include "src/platform/resources.h"
#include "src/shared/ids.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <algorithm>

const DragDropMessageIds& DragDropMessages()
{
    static const DragDropMessageIds ids{
        RegisterWindowMessage(QString::fromLatin1(DRAGDROPMESSAGE_CAN_DROP)),
        RegisterWindowMessage(QString::fromLatin1(DRAGDROPMESSAGE_DROP_CHANNEL)),
        RegisterWindowMessage(QString::fromLatin1(DRAGDROPMESSAGE_DROP_CATEGORY)),
        RegisterWindowMessage(QString::fromLatin1(DRAGDROPMESSAGE_DROP_STORY)),
    };
    return ids;
}

namespace
{

// A cursor picture of the program, its hot spot at the arrow's tip; the system's cursor
// when the picture is missing.
QCursor dragCursor(UINT id, Qt::CursorShape fallback)
{
    const QPixmap picture = LoadBitmapResource(id);
    if (picture.isNull())
        return QCursor(fallback);
    return QCursor(picture, 1, 1);
}

// How far right and below the cursor the picture floats when it has no height of its own.
constexpr int kPictureOffset = 16;

} // namespace

CWindowDrag::CWindowDrag()
    : m_dropCursor(dragCursor(IDC_DRAG_DROP, Qt::DragCopyCursor)),
      m_noDropCursor(dragCursor(IDC_DRAG_NODROP, Qt::ForbiddenCursor))
{
}

CWindowDrag::~CWindowDrag()
{
    cancel();
}

HWND CWindowDrag::FindDropTargetFrom(HWND window, WPARAM kind, LPARAM count)
{
    for (HWND candidate = window; candidate; candidate = GetParent(candidate)) {
        if (SendMessage(candidate, DragDropMessages().canDrop, kind, count) != 0)
            return candidate;
    }
    return 0;
}

HWND CWindowDrag::FindDropTarget(const QPoint& globalPos, WPARAM kind, LPARAM count)
{
    return FindDropTargetFrom(WindowFromPoint(globalPos), kind, count);
}

void CWindowDrag::begin(WPARAM kind, const QPixmap& picture, const QString& text,
                        const QPoint& globalPos, LPARAM count, QWidget* source)
{
    cancel();
    m_kind = kind;
    m_count = count;
    m_source = source;
    auto* label =
        new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
    label->setAttribute(Qt::WA_DeleteOnClose);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setObjectName(QStringLiteral("DragPicture"));
    if (!picture.isNull())
        label->setPixmap(picture);
    else
        label->setText(text);
    label->setWindowOpacity(0.7);
    label->adjustSize();
    label->show();
    m_picture = label;
    m_active = true;
    move(globalPos);
}

HWND CWindowDrag::move(const QPoint& globalPos)
{
    if (!m_active)
        return 0;
    if (m_picture) {
        const int offset = m_picture->height() > 0 ? m_picture->height() : kPictureOffset;
        m_picture->move(globalPos + QPoint(offset, offset));
    }
    const HWND target = FindDropTarget(globalPos, m_kind, m_count);
    if (!target && m_source) {
        QWidget* under = QApplication::widgetAt(globalPos);
        if (under && (under == m_source || m_source->isAncestorOf(under))) {
            showCursor(QCursor(Qt::ArrowCursor), false);
            return 0;
        }
    }
    showCursor(target ? m_dropCursor : m_noDropCursor, target != 0);
    return target;
}

HWND CWindowDrag::finish(const QPoint& globalPos)
{
    if (!m_active)
        return 0;
    cancel();
    return FindDropTarget(globalPos, m_kind, m_count);
}

void CWindowDrag::cancel()
{
    if (!m_active)
        return;
    m_active = false;
    m_dropCursorShown = false;
    if (m_cursorSet) {
        m_cursorSet = false;
        QApplication::restoreOverrideCursor();
    }
    if (m_picture)
        m_picture->close();
    m_picture = nullptr;
}

void CWindowDrag::showCursor(const QCursor& cursor, bool canDrop)
{
    m_dropCursorShown = canDrop;
    if (m_cursorSet) {
        QApplication::changeOverrideCursor(cursor);
    } else {
        QApplication::setOverrideCursor(cursor);
        m_cursorSet = true;
    }
}

QPixmap CWindowDrag::RowPicture(const QAbstractItemView* list, int row)
{
    const QRect visual = list->visualRect(list->model()->index(row, 0));
    const QRect rowRect(0, visual.top(), std::min(list->viewport()->width(), 400), visual.height());
    return list->viewport()->grab(rowRect);
}

void CRowDragMouse::press(const QAbstractItemView* list, const QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressPos = event->position().toPoint();
    const QModelIndex index = list->indexAt(m_pressPos);
    m_pressRow = index.isValid() ? index.row() : -1;
}

bool CRowDragMouse::move(const QMouseEvent* event)
{
    if (m_owner->IsDragging()) {
        m_owner->DragMove(event->globalPosition().toPoint());
        return true;
    }
    if (!(event->buttons() & Qt::LeftButton) || m_pressRow < 0)
        return false;
    if ((event->position().toPoint() - m_pressPos).manhattanLength() >=
        QApplication::startDragDistance()) {
        const int row = m_pressRow;
        m_pressRow = -1;
        m_owner->BeginDrag(row, event->globalPosition().toPoint());
    }
    return true;
}

bool CRowDragMouse::release(const QMouseEvent* event, int* pressRow)
{
    if (pressRow)
        *pressRow = m_pressRow;
    m_pressRow = -1;
    if (event->button() != Qt::LeftButton || !m_owner->IsDragging())
        return false;
    m_owner->DragDrop(event->globalPosition().toPoint());
    return true;
}
