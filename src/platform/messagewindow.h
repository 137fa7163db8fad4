#pragma once
// Window handles and messages. A window that takes part in messaging owns a MessageWindow:
// it gets a handle (a 32-bit id, never 0, never reused in the process), a class name and a
// WindowProc. SendMessage calls the procedure at once; PostMessage queues the call on the
// user-interface thread and drops it when the window died meanwhile. Only the program's own
// messages travel this way; input and painting stay Qt events.
//
// Typical use:
//     class CMainFrame : public QMainWindow, public MessageWindow {
//     public:
//         CMainFrame() : MessageWindow("VantrelReadhallClass", this) {}
//         LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
//     };
// The handle dies with the MessageWindow, with its owner object, or earlier through
// DestroyWindow. Create and destroy windows on the user-interface thread. The parent of a
// window owned by a QWidget is the nearest messaging window among the widget's ancestors;
// a window owned by a plain QObject (hidden windows) is top-level unless given a parent.

#include "src/platform/wintypes.h"

#include <QMetaObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <vector>

class QObject;
class QWidget;

class MessageWindow
{
public:
    // owner: the QObject (usually the QWidget) this window belongs to; may be null for a
    // window that has no Qt object at all.
    explicit MessageWindow(const QString& className, QObject* owner = nullptr);
    virtual ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND GetSafeHwnd() const { return m_hwnd; } // 0 once destroyed
    HWND hwnd() const { return m_hwnd; }
    const QString& className() const { return m_className; }
    QObject* owner() const { return m_owner; }
    QWidget* ownerWidget() const; // the owner when it is a QWidget, else null

    // An explicit parent for a window whose owner is not a widget (0: top-level).
    void setParentHandle(HWND parent);
    HWND parentHandle() const { return m_explicitParent; }

    // The window procedure. The default hands the message to the function set with
    // setMessageHandler, else answers 0.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void setMessageHandler(std::function<LRESULT(UINT, WPARAM, LPARAM)> handler);

    // Ends the handle now: IsWindow turns false and queued messages are dropped. The owner
    // object is left alone.
    void destroyHandle();

private:
    HWND m_hwnd = 0;
    HWND m_explicitParent = 0;
    QString m_className;
    QObject* m_owner = nullptr;
    std::function<LRESULT(UINT, WPARAM, LPARAM)> m_handler;
    QMetaObject::Connection m_ownerGone; // ends the handle when the owner dies first
};

// True while the handle names a live window. Thread-safe.
BOOL IsWindow(HWND window);
// Calls the window's procedure and returns its answer; 0 for a dead handle. Called from
// another thread, the call runs on the user-interface thread and the caller waits for it.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues the message for the window on the user-interface thread; callable from any thread.
// Returns 1 when queued, 0 for a dead handle or when there is no application object. The
// message is dropped when the window dies before it is delivered. Messages posted to one
// window arrive in the order they were posted.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Sends when called on the user-interface thread, posts otherwise (never waits for another
// thread). Returns 1 when delivered or queued.
BOOL SendNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// One id per name for the life of the process, in 0xC000..0xFFFF; names match without regard
// to case. 0 for an empty name or when the range is used up. Thread-safe.
UINT RegisterWindowMessage(const QString& name);
// Registers the messages a table's rows name (each row's `name`) the first time it is called:
// ids[i] is then row i's.
template <typename Row, size_t N> void RegisterMessageTable(const Row (&rows)[N], UINT (&ids)[N])
{
    if (ids[0])
        return;
    for (size_t i = 0; i < N; ++i)
        ids[i] = RegisterWindowMessage(QString::fromLatin1(rows[i].name));
}

// Ends the window: its procedure gets WM_DESTROY, the handle dies, and a QObject owner is
// deleted later (deleteLater). Returns 0 for a dead handle.
BOOL DestroyWindow(HWND window);
// The nearest messaging window above this one; 0 for a top-level window or a dead handle.
HWND GetParent(HWND window);
// The class name of a live window; empty for a dead handle.
QString GetClassName(HWND window);
// The object that owns the window (null for a dead handle). Use on the user-interface thread.
MessageWindow* WindowFromHandle(HWND window);

// The live top-level windows (those without a parent), in the order they were created.
std::vector<HWND> EnumWindows();
// The first top-level window whose class name matches (without regard to case); 0 for none.
HWND FindWindow(const QString& className);
// The messaging window that owns the widget: the nearest one at or above it; 0 for none.
HWND WindowFromWidget(const QWidget* widget);
// The messaging window that owns the widget under a point of the screen; 0 for none.
HWND WindowFromPoint(const QPoint& globalPos);

// Show commands of ShowWindow.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;

// Window operations for a handle owned by a QWidget (they act on the widget's top-level
// window); each returns 0 for a dead handle or a window without a widget.
// ShowWindow answers whether the window was visible before.
BOOL ShowWindow(HWND window, int showCommand);
BOOL IsIconic(HWND window); // minimised
BOOL IsWindowVisible(HWND window);
BOOL SetForegroundWindow(HWND window); // raises and activates it
// Restores a minimised window, raises and activates it, then raises an open modal dialog of
// the program above it (what a second copy asks of the running one).
BOOL BringToForeground(HWND window);
