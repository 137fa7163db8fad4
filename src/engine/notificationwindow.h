#pragma once
// The engine notification window: a hidden top-level window of class "VTNOTIFICATION_WINDOW"
// that receives numbered notifications (0..33) as registered window messages, from the engine
// and from the program itself (BroadcastNotification). A notification's text travels as a
// global atom; every receiver owns one reference and releases it.
//
// A received notification is never handled inside the sender's call: when a handler is set
// for its number, the window re-posts it to itself as the matching "posted" message, and the
// handler runs later from the user-interface thread's message loop. Handlers therefore run on
// the user-interface thread even when the sender was an engine thread.
//
// The object is reference counted: it starts at 1 and destroys itself (and its window) when
// Release brings the count to 0. Its owner (the main frame) sets its handlers, removes them
// when it goes, and releases the object.

#include "src/engine/messages.h"
#include "src/platform/wintypes.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

// The class name every notification window carries.
constexpr char VTNOTIFICATION_WINDOW_CLASS[] = "VTNOTIFICATION_WINDOW";
constexpr char VTNOTIFICATION_WINDOW_TITLE[] = "VTNotification Window";
// Name stems of the two message families; the number follows in decimal.
constexpr char VTNOTIFICATION_MESSAGE_STEM[] = "VTNOTIFICATION_MESSAGE";
constexpr char VTNOTIFICATION_POSTED_MESSAGE_STEM[] = "VTNOTIFICATION_POSTED_MESSAGE";

// A handler: (notification number, text (empty when none), value).
using VTNotificationHandler = std::function<void(int number, const QString& text, DWORD value)>;

class CVTNotificationWindowProc;

class CVTNotificationWindow
{
public:
    // Registers the message names (once per process) and creates the hidden window. When the
    // window cannot be made, GetWindow() is 0 and no notification arrives.
    CVTNotificationWindow();

    // Answers that no interface is offered (the object has none beyond its own).
    long QueryInterface(const void* interfaceId, void** object);
    // Under the lock: +1; returns the new count.
    long AddRef();
    // Under the lock: -1; at 0 the window is destroyed and the object deleted. Returns the
    // new count.
    long Release();
    void Lock();
    void Unlock();

    // Stores the handler when the slot for the number is empty and returns 1; when a handler
    // is already set (or the number is outside 0..33, or the handler is empty), keeps the old
    // one and returns 0.
    int SetHandler(int number, VTNotificationHandler handler);
    // Clears the slot; returns 1 when a handler was set, else 0.
    int RemoveHandler(int number);
    bool HasHandler(int number) const;

    // The hidden window's handle; 0 when it could not be created or after Release destroyed it.
    HWND GetWindow() const;
    long GetReferenceCount() const;

    CVTNotificationWindow(const CVTNotificationWindow&) = delete;
    CVTNotificationWindow& operator=(const CVTNotificationWindow&) = delete;

private:
    friend class CVTNotificationWindowProc;
    ~CVTNotificationWindow(); // only through Release
    bool CreateNotificationWindow();
    // Called by the window procedure for a posted notification.
    void Dispatch(int number, const QString& text, DWORD value);

    mutable std::recursive_mutex m_lock;
    bool m_lockInitialised = false;
    long m_refCount = 1;
    std::array<VTNotificationHandler, VTNOTIFICATION_COUNT> m_handlers;
    std::unique_ptr<CVTNotificationWindowProc> m_window;
};

// Sends notification `number` to every top-level window of class "VTNOTIFICATION_WINDOW",
// the program's own included. A non-empty text goes as a global atom with one reference per
// receiver; the sender's own reference is released before returning. Callable from any
// thread. Returns 0 for a number outside 0..33 (nothing is sent), else 1.
int BroadcastNotification(int number, const QString& text, DWORD value);

// The ids of the two messages of a notification number (registered on first use); 0 for a
// number outside 0..33.
UINT NotificationMessageId(int number);
UINT PostedNotificationMessageId(int number);

// Installs the sink through which the directory library delivers its change messages: each
// message name is registered and the message sent to the subscribed window. Done once at
// start-up, before ChanDir_Initialize.
void InstallDirectoryMessageSink();
// What the sink does with one message: registers the name and sends the message to the
// window when it still lives.
void DeliverDirectoryMessage(uint32_t window, const char* messageName, uintptr_t first,
                             intptr_t second);
