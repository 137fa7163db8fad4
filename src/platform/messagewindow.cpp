#include "src/platform/messagewindow.h"

#include <QApplication>
#include <QHash>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <map>

namespace
{

// Every live window by handle. Handles grow from a start value and are never given twice, so
// the map's order is the order of creation.
struct WindowTable {
    QMutex mutex;
    std::map<HWND, MessageWindow*> windows;
    QHash<const QObject*, HWND> byOwner;
    HWND next = 0x00010000;
};

WindowTable& table()
{
    // Never destroyed: windows of static lifetime may die after it otherwise would.
    static WindowTable* t = new WindowTable;
    return *t;
}

struct RegisteredMessages {
    QMutex mutex;
    QHash<QString, UINT> ids; // by case-folded name
    UINT next = 0xC000;
};

RegisteredMessages& registeredMessages()
{
    static RegisteredMessages* r = new RegisteredMessages;
    return *r;
}

MessageWindow* lookup(HWND window)
{
    if (window == 0)
        return nullptr;
    WindowTable& t = table();
    QMutexLocker lock(&t.mutex);
    const auto it = t.windows.find(window);
    return it == t.windows.end() ? nullptr : it->second;
}

bool onUiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

LRESULT deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageWindow* target = lookup(window);
    return target ? target->WindowProc(message, wParam, lParam) : 0;
}

QWidget* topWidget(HWND window)
{
    MessageWindow* w = lookup(window);
    QWidget* widget = w ? w->ownerWidget() : nullptr;
    return widget ? widget->window() : nullptr;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// MessageWindow

MessageWindow::MessageWindow(const QString& className, QObject* owner)
    : m_className(className), m_owner(owner)
{
    WindowTable& t = table();
    QMutexLocker lock(&t.mutex);
    m_hwnd = t.next++;
    if (t.next == 0)
        t.next = 1;
    t.windows.emplace(m_hwnd, this);
    if (owner) {
        t.byOwner.insert(owner, m_hwnd);
        m_ownerGone = QObject::connect(owner, &QObject::destroyed, [this] {
            destroyHandle();
            m_owner = nullptr;
        });
    }
}

MessageWindow::~MessageWindow()
{
    QObject::disconnect(m_ownerGone);
    destroyHandle();
}

QWidget* MessageWindow::ownerWidget() const
{
    return m_owner && m_owner->isWidgetType() ? static_cast<QWidget*>(m_owner) : nullptr;
}

void MessageWindow::setParentHandle(HWND parent)
{
    m_explicitParent = parent;
}

LRESULT MessageWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_handler ? m_handler(message, wParam, lParam) : 0;
}

void MessageWindow::setMessageHandler(std::function<LRESULT(UINT, WPARAM, LPARAM)> handler)
{
    m_handler = std::move(handler);
}

void MessageWindow::destroyHandle()
{
    if (m_hwnd == 0)
        return;
    WindowTable& t = table();
    QMutexLocker lock(&t.mutex);
    t.windows.erase(m_hwnd);
    if (m_owner) {
        const auto it = t.byOwner.find(m_owner);
        if (it != t.byOwner.end() && it.value() == m_hwnd)
            t.byOwner.erase(it);
    }
    m_hwnd = 0;
}

// ---------------------------------------------------------------------------------------------
// Messages

BOOL IsWindow(HWND window)
{
    return lookup(window) != nullptr;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsWindow(window))
        return 0;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || onUiThread())
        return deliver(window, message, wParam, lParam);
    LRESULT result = 0;
    QMetaObject::invokeMethod(
        app, [&] { result = deliver(window, message, wParam, lParam); },
        Qt::BlockingQueuedConnection);
    return result;
}

BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || !IsWindow(window))
        return 0;
    // The window is looked up again on delivery: a message for a window that died meanwhile
    // is dropped there.
    QMetaObject::invokeMethod(
        app, [=] { deliver(window, message, wParam, lParam); }, Qt::QueuedConnection);
    return 1;
}

BOOL SendNotifyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsWindow(window))
        return 0;
    if (onUiThread() || !QCoreApplication::instance()) {
        deliver(window, message, wParam, lParam);
        return 1;
    }
    return PostMessage(window, message, wParam, lParam);
}

UINT RegisterWindowMessage(const QString& name)
{
    if (name.isEmpty())
        return 0;
    RegisteredMessages& r = registeredMessages();
    const QString key = name.toCaseFolded();
    QMutexLocker lock(&r.mutex);
    const auto it = r.ids.constFind(key);
    if (it != r.ids.constEnd())
        return it.value();
    if (r.next > 0xFFFF)
        return 0;
    const UINT id = r.next++;
    r.ids.insert(key, id);
    return id;
}

// ---------------------------------------------------------------------------------------------
// Windows

BOOL DestroyWindow(HWND window)
{
    MessageWindow* target = lookup(window);
    if (!target)
        return 0;
    target->WindowProc(WM_DESTROY, 0, 0);
    QObject* owner = target->owner();
    target->destroyHandle();
    if (owner)
        owner->deleteLater();
    return 1;
}

HWND GetParent(HWND window)
{
    MessageWindow* target = lookup(window);
    if (!target)
        return 0;
    WindowTable& t = table();
    QMutexLocker lock(&t.mutex);
    const HWND explicitParent = target->parentHandle();
    if (explicitParent != 0 && t.windows.count(explicitParent))
        return explicitParent;
    if (!target->owner())
        return 0;
    for (const QObject* o = target->owner()->parent(); o; o = o->parent()) {
        const HWND h = t.byOwner.value(o, 0);
        if (h != 0)
            return h;
    }
    return 0;
}

QString GetClassName(HWND window)
{
    MessageWindow* target = lookup(window);
    return target ? target->className() : QString();
}

MessageWindow* WindowFromHandle(HWND window)
{
    return lookup(window);
}

std::vector<HWND> EnumWindows()
{
    std::vector<HWND> all;
    {
        WindowTable& t = table();
        QMutexLocker lock(&t.mutex);
        for (const auto& entry : t.windows)
            all.push_back(entry.first);
    }
    std::vector<HWND> topLevel;
    for (const HWND h : all) {
        if (IsWindow(h) && GetParent(h) == 0)
            topLevel.push_back(h);
    }
    return topLevel;
}

HWND FindWindow(const QString& className)
{
    for (const HWND h : EnumWindows()) {
        if (GetClassName(h).compare(className, Qt::CaseInsensitive) == 0)
            return h;
    }
    return 0;
}

HWND WindowFromWidget(const QWidget* widget)
{
    WindowTable& t = table();
    QMutexLocker lock(&t.mutex);
    for (const QObject* o = widget; o; o = o->parent()) {
        const HWND h = t.byOwner.value(o, 0);
        if (h != 0)
            return h;
    }
    return 0;
}

HWND WindowFromPoint(const QPoint& globalPos)
{
    return WindowFromWidget(QApplication::widgetAt(globalPos));
}

BOOL ShowWindow(HWND window, int showCommand)
{
    QWidget* w = topWidget(window);
    if (!w)
        return 0;
    const BOOL wasVisible = w->isVisible() ? 1 : 0;
    switch (showCommand) {
    case SW_HIDE:
        w->hide();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        w->showMinimized();
        break;
    case SW_SHOWMAXIMIZED:
        w->showMaximized();
        break;
    case SW_RESTORE:
        // Back to the state before minimising (maximised stays maximised).
        if (w->isMinimized())
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        else if (w->isMaximized())
            w->setWindowState(w->windowState() & ~Qt::WindowMaximized);
        w->show();
        break;
    case SW_SHOWNORMAL:
        w->showNormal();
        break;
    default:
        w->show();
        break;
    }
    return wasVisible;
}

BOOL IsIconic(HWND window)
{
    QWidget* w = topWidget(window);
    return w && w->isMinimized() ? 1 : 0;
}

BOOL IsWindowVisible(HWND window)
{
    MessageWindow* target = lookup(window);
    QWidget* w = target ? target->ownerWidget() : nullptr;
    return w && w->isVisible() ? 1 : 0;
}

BOOL SetForegroundWindow(HWND window)
{
    QWidget* w = topWidget(window);
    if (!w)
        return 0;
    w->raise();
    w->activateWindow();
    return 1;
}

BOOL BringToForeground(HWND window)
{
    QWidget* w = topWidget(window);
    if (!w)
        return 0;
    if (w->isMinimized())
        ShowWindow(window, SW_RESTORE);
    else if (!w->isVisible())
        w->show();
    w->raise();
    w->activateWindow();
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != w) {
        modal->raise();
        modal->activateWindow();
    }
    return 1;
}
