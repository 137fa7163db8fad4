#include "src/engine/notificationwindow.h"

#include "src/platform/atoms.h"
#include "src/platform/messagewindow.h"
#include "vantrel/chandir.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <mutex>

namespace
{

// Longest class name and atom text a receiver reads back.
constexpr int CLASS_NAME_CHARS = 64;
constexpr int ATOM_TEXT_CHARS = 256;

struct MessageTables {
    std::array<UINT, VTNOTIFICATION_COUNT> sent{};
    std::array<UINT, VTNOTIFICATION_COUNT> posted{};
};

// The 68 message ids, registered by name once per process.
const MessageTables& messageTables()
{
    static MessageTables tables;
    static std::once_flag once;
    std::call_once(once, [] {
        for (int n = 0; n < VTNOTIFICATION_COUNT; ++n) {
            tables.sent[n] =
                RegisterWindowMessage(QString::asprintf("%s%d", VTNOTIFICATION_MESSAGE_STEM, n));
            tables.posted[n] = RegisterWindowMessage(
                QString::asprintf("%s%d", VTNOTIFICATION_POSTED_MESSAGE_STEM, n));
        }
    });
    return tables;
}

int lookUp(const std::array<UINT, VTNOTIFICATION_COUNT>& table, UINT message)
{
    if (message == 0)
        return -1;
    for (int n = 0; n < VTNOTIFICATION_COUNT; ++n) {
        if (table[n] == message)
            return n;
    }
    return -1;
}

bool validNumber(int number)
{
    return number >= 0 && number < VTNOTIFICATION_COUNT;
}

} // namespace

// The hidden messaging window. It outlives its object only while a handler that released the
// object is still running; it is then deleted once control is back in the message loop.
class CVTNotificationWindowProc : public MessageWindow
{
public:
    explicit CVTNotificationWindowProc(CVTNotificationWindow* object)
        : MessageWindow(QString::fromLatin1(VTNOTIFICATION_WINDOW_CLASS)), m_object(object)
    {
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        const MessageTables& tables = messageTables();
        const ATOM atom = static_cast<ATOM>(wParam);
        int number = lookUp(tables.sent, message);
        if (number >= 0) {
            if (!m_object) {
                if (atom)
                    GlobalDeleteAtom(atom);
                return 0;
            }
            if (m_object->HasHandler(number)) {
                // The atom's reference travels with the posted message.
                if (!PostMessage(hwnd(), tables.posted[number], wParam, lParam) && atom)
                    GlobalDeleteAtom(atom);
            } else if (atom) {
                GlobalDeleteAtom(atom);
            }
            return 0;
        }
        number = lookUp(tables.posted, message);
        if (number >= 0) {
            QString text;
            if (atom) {
                GlobalGetAtomName(atom, text, ATOM_TEXT_CHARS);
                GlobalDeleteAtom(atom);
            }
            if (m_object) {
                ++m_depth;
                // The handler may release the object; nothing of it is touched afterwards.
                m_object->Dispatch(number, text, static_cast<DWORD>(lParam));
                --m_depth;
            }
            return 0;
        }
        return MessageWindow::WindowProc(message, wParam, lParam);
    }

    CVTNotificationWindow* m_object;
    int m_depth = 0;
};

CVTNotificationWindow::CVTNotificationWindow()
{
    m_lockInitialised = true;
    messageTables();
    CreateNotificationWindow();
}

CVTNotificationWindow::~CVTNotificationWindow()
{
    if (!m_window)
        return;
    m_window->m_object = nullptr;
    m_window->destroyHandle();
    if (m_window->m_depth > 0 && QCoreApplication::instance()) {
        // Released from inside one of its own handlers: the window's procedure is still on
        // the stack, so the window object goes once the message loop has it back.
        CVTNotificationWindowProc* window = m_window.release();
        QTimer::singleShot(0, QCoreApplication::instance(), [window] { delete window; });
    }
    m_window.reset();
}

bool CVTNotificationWindow::CreateNotificationWindow()
{
    if (m_window)
        return true;
    auto window = std::make_unique<CVTNotificationWindowProc>(this);
    if (!window->hwnd())
        return false;
    m_window = std::move(window);
    return true;
}

long CVTNotificationWindow::QueryInterface(const void*, void** object)
{
    if (object)
        *object = nullptr;
    return -1; // no interface
}

long CVTNotificationWindow::AddRef()
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    return ++m_refCount;
}

long CVTNotificationWindow::Release()
{
    long count;
    {
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        if (m_refCount > 1)
            return --m_refCount;
        m_refCount = 0;
        count = 0;
    }
    delete this;
    return count;
}

void CVTNotificationWindow::Lock()
{
    if (m_lockInitialised)
        m_lock.lock();
}

void CVTNotificationWindow::Unlock()
{
    if (m_lockInitialised)
        m_lock.unlock();
}

int CVTNotificationWindow::SetHandler(int number, VTNotificationHandler handler)
{
    if (!validNumber(number) || !handler || m_handlers[number])
        return 0;
    m_handlers[number] = std::move(handler);
    return 1;
}

int CVTNotificationWindow::RemoveHandler(int number)
{
    if (!validNumber(number) || !m_handlers[number])
        return 0;
    m_handlers[number] = nullptr;
    return 1;
}

bool CVTNotificationWindow::HasHandler(int number) const
{
    return validNumber(number) && static_cast<bool>(m_handlers[number]);
}

HWND CVTNotificationWindow::GetWindow() const
{
    return m_window ? m_window->hwnd() : 0;
}

long CVTNotificationWindow::GetReferenceCount() const
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    return m_refCount;
}

void CVTNotificationWindow::Dispatch(int number, const QString& text, DWORD value)
{
    if (!validNumber(number) || !m_handlers[number])
        return;
    // A copy: the handler may remove itself or release the object while it runs.
    VTNotificationHandler handler = m_handlers[number];
    handler(number, text, value);
}

UINT NotificationMessageId(int number)
{
    return validNumber(number) ? messageTables().sent[number] : 0;
}

UINT PostedNotificationMessageId(int number)
{
    return validNumber(number) ? messageTables().posted[number] : 0;
}

namespace
{

void broadcastOnThisThread(int number, const QString& text, DWORD value)
{
    const UINT message = NotificationMessageId(number);
    const ATOM atom = text.isEmpty() ? 0 : GlobalAddAtom(text);
    const QString wanted = QString::fromLatin1(VTNOTIFICATION_WINDOW_CLASS);
    for (HWND window : EnumWindows()) {
        const QString className = GetClassName(window).left(CLASS_NAME_CHARS);
        if (className.compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        ATOM own = 0;
        if (atom) {
            // Each receiver owns one reference to the text and releases it.
            QString copy;
            if (GlobalGetAtomName(atom, copy, ATOM_TEXT_CHARS) > 0)
                own = GlobalAddAtom(copy);
        }
        if (!SendNotifyMessage(window, message, own, static_cast<LPARAM>(value)) && own)
            GlobalDeleteAtom(own); // the window went meanwhile
    }
    if (atom)
        GlobalDeleteAtom(atom);
}

} // namespace

int BroadcastNotification(int number, const QString& text, DWORD value)
{
    if (!validNumber(number))
        return 0;
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread()) {
        // The windows live on the user-interface thread: the broadcast runs there and the
        // caller does not wait for it.
        QMetaObject::invokeMethod(
            app, [number, text, value] { broadcastOnThisThread(number, text, value); },
            Qt::QueuedConnection);
        return 1;
    }
    broadcastOnThisThread(number, text, value);
    return 1;
}

void DeliverDirectoryMessage(uint32_t window, const char* messageName, uintptr_t first,
                             intptr_t second)
{
    if (!messageName || !IsWindow(window))
        return;
    const UINT message = RegisterWindowMessage(QString::fromLatin1(messageName));
    if (message)
        SendMessage(window, message, first, second);
}

void InstallDirectoryMessageSink()
{
    ChanDir_SetMessageSink(&DeliverDirectoryMessage);
}
