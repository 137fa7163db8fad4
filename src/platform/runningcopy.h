#pragma once
// The running copy. A named mutex is a lock file held with flock; it tells whether another
// process of this user already runs. The running copy also listens on a local socket named
// after its main window's class and the user id, through which a second copy can ask it to
// post a message to its window of that class or to bring that window forward.
// Folder of lock files and sockets: $XDG_RUNTIME_DIR, else the lock files go to
// $XDG_CONFIG_HOME/Vantrel and the sockets to the temporary folder.

#include "src/platform/wintypes.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class QLocalServer;

namespace platform
{

// A named mutex between processes of one user.
class NamedMutex
{
public:
    // Creates or opens the mutex and tries to own it. alreadyExists() then tells whether
    // another process owned it (ERROR_ALREADY_EXISTS); owned() whether this object does.
    explicit NamedMutex(const QString& name);
    ~NamedMutex(); // gives it back
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    bool owned() const { return m_fd >= 0; }
    bool alreadyExists() const { return m_alreadyExists; }
    const QString& lockFilePath() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
    bool m_alreadyExists = false;
};

// A message that a second copy may hand over: the message and its first parameter (for
// WM_COMMAND the command id). The second parameter is always 0: only values cross.
struct HandOverMessage {
    UINT message;
    WPARAM wParam;
};

// The listening side, run by the first copy. Any process of the user can reach the socket, so
// a request is carried out only when its message is one of the accepted ones; everything else
// is dropped unseen. Accepted requests go to the first top-level window of the class
// (FindWindow) when they arrive; a request to come forward is always honoured.
class RunningCopyServer : public QObject
{
    Q_OBJECT
public:
    RunningCopyServer(const QString& className, std::vector<HandOverMessage> accepted,
                      QObject* parent = nullptr);
    ~RunningCopyServer() override;
    // Starts listening; takes over a socket left behind by a copy that died. False when
    // another live copy listens already or the socket cannot be made.
    bool listen();
    bool isListening() const;
    const QString& className() const { return m_className; }

signals:
    // A second copy handed over a feed address (a link the desktop opened with it). Only
    // an address of at most kMaxHandedAddressBytes, of the schemes http, https, feed, feeds
    // or file and without control characters, arrives here; the rest is dropped.
    void addressHandedOver(const QString& address);
    // After a request was read, whether it was carried out or dropped (tests wait for it).
    void requestHandled();

private:
    void onNewConnection();
    bool isAccepted(UINT message, WPARAM wParam, LPARAM lParam) const;
    QString m_className;
    std::vector<HandOverMessage> m_accepted;
    QLocalServer* m_server = nullptr;
};

// The full socket name for a window class: "<class>-<uid>", inside the runtime folder when
// there is one.
QString runningCopySocketName(const QString& className);
// Whether a copy listens for the class (its socket accepts a connection).
bool isCopyRunning(const QString& className);
// Asks the running copy to post the message to its window of the class. True when the
// request was handed over; the running copy passes it on only when it accepts that message.
bool postToRunningCopy(const QString& className, UINT message, WPARAM wParam, LPARAM lParam);
// Asks the running copy to restore and activate its window of the class.
bool bringRunningCopyForward(const QString& className);
// Hands a feed address to the running copy (RunningCopyServer::addressHandedOver). False
// when no copy took it or the address is empty or too long.
constexpr quint32 kMaxHandedAddressBytes = 8192;
bool handAddressToRunningCopy(const QString& className, const QString& address);

} // namespace platform

// The desktop's names for the running-copy lookup, across processes.
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
