#pragma once
// Dragging one thing (a channel, a category or a story) from a view onto another window of
// the program. The registered drag and drop messages are the windows' protocol: a window
// answers DRAGDROPMESSAGE_CAN_DROP with nonzero when it takes the thing, and gets the drop
// message when it is let go over it. CWindowDrag does the mechanics a dragging view shares:
// the floating picture that follows the cursor, the cursor that says whether the window under
// it takes the thing, and finding that window. The view feeds it the mouse and sends the drop.

#include "src/engine/messages.h"
#include "src/platform/wintypes.h"

#include <QCursor>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QString>

class QAbstractItemView;
class QLabel;
class QMouseEvent;

// The drag and drop messages, registered by name the first time they are asked for.
struct DragDropMessageIds {
    UINT canDrop;      // DRAGDROPMESSAGE_CAN_DROP: kind, count
    UINT dropChannel;  // DRAGDROPMESSAGE_DROP_CHANNEL: channel id, 0
    UINT dropCategory; // DRAGDROPMESSAGE_DROP_CATEGORY: 0, 0
    UINT dropStory;    // DRAGDROPMESSAGE_DROP_STORY: channel id, story number
};
const DragDropMessageIds& DragDropMessages();

class CWindowDrag
{
public:
    CWindowDrag();
    ~CWindowDrag(); // an active drag is cancelled
    CWindowDrag(const CWindowDrag&) = delete;
    CWindowDrag& operator=(const CWindowDrag&) = delete;

    // Starts dragging `count` things of the kind (DRAGKIND_*): the picture (the text when the
    // picture is null) floats half-transparent one picture height right of and below the
    // cursor, so that it never covers the window under the cursor. Over the source widget
    // (when one is given) the cursor is the plain arrow.
    void begin(WPARAM kind, const QPixmap& picture, const QString& text, const QPoint& globalPos,
               LPARAM count = 1, QWidget* source = nullptr);
    // Follows the cursor; answers the window that would take a drop there (0: none).
    HWND move(const QPoint& globalPos);
    // Ends the drag and answers the window under the point that takes the thing (0: none);
    // the caller sends it the drop message.
    HWND finish(const QPoint& globalPos);
    // Ends the drag without a drop (nothing happens when none runs).
    void cancel();

    bool isActive() const { return m_active; }
    bool isShowingDropCursor() const { return m_dropCursorShown; }

    // The window at the point, or its nearest ancestor, that takes `count` things of the kind.
    static HWND FindDropTarget(const QPoint& globalPos, WPARAM kind, LPARAM count = 1);
    // The same, starting from a given window.
    static HWND FindDropTargetFrom(HWND window, WPARAM kind, LPARAM count = 1);
    // The picture of a list's row as the list shows it, at most 400 pixels wide.
    static QPixmap RowPicture(const QAbstractItemView* list, int row);

private:
    void showCursor(const QCursor& cursor, bool canDrop);

    bool m_active = false;
    WPARAM m_kind = 0;
    LPARAM m_count = 1;
    QPointer<QWidget> m_source;
    QPointer<QLabel> m_picture;
    QCursor m_dropCursor;
    QCursor m_noDropCursor;
    bool m_cursorSet = false;
    bool m_dropCursorShown = false;
};

// A view that drags the rows of its list onto other windows.
class CRowDragOwner
{
public:
    virtual ~CRowDragOwner() = default;
    virtual bool IsDragging() const = 0;
    virtual void BeginDrag(int row, const QPoint& globalPos) = 0;
    virtual void DragMove(const QPoint& globalPos) = 0;
    virtual void DragDrop(const QPoint& globalPos) = 0;
};

// The list's side of dragging its rows: fed the list's mouse events, it starts the owner's drag
// once a left press on a row has moved the drag distance, follows the mouse and drops.
class CRowDragMouse
{
public:
    explicit CRowDragMouse(CRowDragOwner* owner) : m_owner(owner) {}
    // After the list has taken the press.
    void press(const QAbstractItemView* list, const QMouseEvent* event);
    // True when the move belonged to the drag (or to a press that may become one): the list
    // leaves it alone.
    bool move(const QMouseEvent* event);
    // True when the release dropped; the press ends either way. `pressRow` gets the row the
    // press was on (-1: none).
    bool release(const QMouseEvent* event, int* pressRow = nullptr);

private:
    CRowDragOwner* m_owner;
    QPoint m_pressPos;
    int m_pressRow = -1;
};
