#include "src/platform/runningcopy.h"

#include "src/platform/messagewindow.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform
{

namespace
{

enum RequestKind : quint8 { PostRequest = 1, ForwardRequest = 2, AddressRequest = 3 };
constexpr int kConnectTimeoutMs = 1000;

// A handed-over address: its length in bytes travels in the message field, its UTF-8 text
// after the request.
bool addressSchemeAccepted(const QString& address)
{
    static const char* const schemes[] = {"http", "https", "feed", "feeds", "file"};
    const int colon = address.indexOf(QLatin1Char(':'));
    if (colon < 2)
        return false;
    const QString scheme = address.left(colon).toLower();
    for (const char* accepted : schemes) {
        if (scheme == QLatin1String(accepted))
            return true;
    }
    return false;
}

QString acceptedAddress(const QByteArray& bytes)
{
    QString address = QString::fromUtf8(bytes);
    if (address.toUtf8() != bytes) // not UTF-8
        return QString();
    address = address.trimmed();
    for (const QChar c : address) {
        if (c.category() == QChar::Other_Control)
            return QString();
    }
    return addressSchemeAccepted(address) ? address : QString();
}

QString runtimeDir()
{
    const QString dir = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    return !dir.isEmpty() && QDir(dir).exists() ? dir : QString();
}

// Names become file names: no folder separators.
QString safeName(const QString& name)
{
    QString out = name;
    out.replace(QLatin1Char('/'), QLatin1Char('_'));
    out.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return out;
}

QString lockFolder()
{
    const QString runtime = runtimeDir();
    if (!runtime.isEmpty())
        return runtime;
    QString config = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/Vantrel");
}

bool sendRequest(const QString& className, quint8 kind, UINT message, WPARAM wParam, LPARAM lParam,
                 const QByteArray& text = QByteArray())
{
    QLocalSocket socket;
    socket.connectToServer(runningCopySocketName(className));
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    QByteArray frame;
    QDataStream out(&frame, QIODevice::WriteOnly);
    out << kind << quint32(message) << quint64(wParam) << qint64(lParam);
    frame += text;
    socket.write(frame);
    const bool ok = socket.waitForBytesWritten(kConnectTimeoutMs) || socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    return ok;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// NamedMutex

NamedMutex::NamedMutex(const QString& name)
{
    const QString folder = lockFolder();
    QDir().mkpath(folder);
    m_path = folder + QLatin1Char('/') + safeName(name) + QStringLiteral(".lock");
    const int fd =
        ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        m_fd = fd;
        return;
    }
    m_alreadyExists = errno == EWOULDBLOCK;
    ::close(fd);
}

NamedMutex::~NamedMutex()
{
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
}

// ---------------------------------------------------------------------------------------------
// RunningCopyServer

RunningCopyServer::RunningCopyServer(const QString& className,
                                     std::vector<HandOverMessage> accepted, QObject* parent)
    : QObject(parent), m_className(className), m_accepted(std::move(accepted))
{
}

bool RunningCopyServer::isAccepted(UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (lParam != 0)
        return false;
    return std::any_of(m_accepted.begin(), m_accepted.end(), [&](const HandOverMessage& m) {
        return m.message == message && m.wParam == wParam;
    });
}

RunningCopyServer::~RunningCopyServer() = default;

bool RunningCopyServer::listen()
{
    if (m_server && m_server->isListening())
        return true;
    const QString name = runningCopySocketName(m_className);
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &RunningCopyServer::onNewConnection);
    }
    // Listening with access options replaces an existing socket file, so a live copy must
    // be asked first. A socket file left by a copy that died answers no connection and is
    // taken over.
    if (isCopyRunning(m_className))
        return false;
    if (m_server->listen(name))
        return true;
    QLocalServer::removeServer(name);
    return m_server->listen(name);
}

bool RunningCopyServer::isListening() const
{
    return m_server && m_server->isListening();
}

void RunningCopyServer::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto handle = [this, socket] {
            QDataStream in(socket);
            for (;;) {
                quint8 kind = 0;
                quint32 message = 0;
                quint64 wParam = 0;
                qint64 lParam = 0;
                QByteArray text;
                in.startTransaction();
                in >> kind >> message >> wParam >> lParam;
                if (kind == AddressRequest && in.status() == QDataStream::Ok) {
                    if (message > kMaxHandedAddressBytes) {
                        socket->abort();
                        return;
                    }
                    text.resize(int(message));
                    if (in.readRawData(text.data(), int(message)) != int(message))
                        in.setStatus(QDataStream::ReadPastEnd);
                }
                if (!in.commitTransaction())
                    return;
                const HWND target = FindWindow(m_className);
                if (kind == PostRequest) {
                    if (target != 0 && isAccepted(message, WPARAM(wParam), LPARAM(lParam)))
                        PostMessage(target, message, WPARAM(wParam), 0);
                } else if (kind == ForwardRequest) {
                    if (target != 0)
                        BringToForeground(target);
                } else if (kind == AddressRequest) {
                    const QString address = acceptedAddress(text);
                    if (!address.isEmpty())
                        emit addressHandedOver(address);
                } else {
                    socket->abort();
                    return;
                }
                emit requestHandled();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        if (socket->bytesAvailable() > 0)
            handle();
    }
}

// ---------------------------------------------------------------------------------------------
// Clients

QString runningCopySocketName(const QString& className)
{
    const QString name = safeName(className) + QLatin1Char('-') + QString::number(::getuid());
    const QString runtime = runtimeDir();
    return runtime.isEmpty() ? name : runtime + QLatin1Char('/') + name;
}

bool isCopyRunning(const QString& className)
{
    QLocalSocket socket;
    socket.connectToServer(runningCopySocketName(className));
    const bool connected = socket.waitForConnected(kConnectTimeoutMs);
    socket.abort();
    return connected;
}

bool postToRunningCopy(const QString& className, UINT message, WPARAM wParam, LPARAM lParam)
{
    return sendRequest(className, PostRequest, message, wParam, lParam);
}

bool bringRunningCopyForward(const QString& className)
{
    return sendRequest(className, ForwardRequest, 0, 0, 0);
}

bool handAddressToRunningCopy(const QString& className, const QString& address)
{
    const QByteArray text = address.trimmed().toUtf8();
    if (text.isEmpty() || text.size() > int(kMaxHandedAddressBytes))
        return false;
    return sendRequest(className, AddressRequest, UINT(text.size()), 0, 0, text);
}

} // namespace platform
