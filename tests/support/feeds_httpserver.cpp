#include "tests/support/feeds_httpserver.h"

#include <QHostAddress>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>

#include <memory>
#include <vector>

namespace rhtest
{

namespace
{

constexpr int kMaxRequestHeaderBytes = 64 * 1024;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

} // namespace

struct LocalHttpServer::Private {
    QThread thread;
    QObject* anchor = nullptr; // lives in the server thread; parent of the QTcpServer
    QTcpServer* server = nullptr;
    quint16 port = 0;

    mutable QMutex mutex;
    QMap<QString, Route> routes;
    QMap<QString, int> counts;
    QMap<QString, QMap<QByteArray, QByteArray>> lastHeaders;
    int inFlight = 0;
    int mostAtOnce = 0;

    // Requests waiting for release() (server thread only).
    struct HeldRequest {
        QPointer<QTcpSocket> socket;
        QString path;
        QByteArray method;
    };
    std::vector<HeldRequest> held;

    void accept();
    // Answers one request; false when the route stalls or holds the connection.
    bool handle(QTcpSocket* socket, const QByteArray& head);
    void answer(QTcpSocket* socket, const Route& route, const QByteArray& method, bool close);
};

void LocalHttpServer::Private::accept()
{
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        auto stalled = std::make_shared<bool>(false);
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer, stalled] {
            *buffer += socket->readAll();
            // Connections are kept alive: answer every complete request in the buffer.
            while (!*stalled && socket->state() == QAbstractSocket::ConnectedState) {
                const int end = buffer->indexOf("\r\n\r\n");
                if (end < 0) {
                    if (buffer->size() > kMaxRequestHeaderBytes)
                        socket->abort();
                    return;
                }
                const QByteArray head = buffer->left(end);
                buffer->remove(0, end + 4);
                *stalled = !handle(socket, head);
            }
            if (*stalled)
                buffer->clear();
        });
    }
}

bool LocalHttpServer::Private::handle(QTcpSocket* socket, const QByteArray& head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    QByteArray target = requestLine.value(1);
    const int query = target.indexOf('?');
    if (query >= 0)
        target.truncate(query);
    const QString path = QString::fromUtf8(target);

    QMap<QByteArray, QByteArray> headers;
    for (int i = 1; i < lines.size(); ++i) {
        const int colon = lines[i].indexOf(':');
        if (colon > 0)
            headers.insert(lines[i].left(colon).trimmed().toLower(),
                           lines[i].mid(colon + 1).trimmed());
    }

    Route route;
    {
        QMutexLocker lock(&mutex);
        counts[path] += 1;
        lastHeaders[path] = headers;
        const auto it = routes.constFind(path);
        if (it != routes.constEnd()) {
            route = it.value();
        } else {
            route.status = 404;
            route.body = "not found";
        }
    }
    if (route.stall)
        return false;
    if (!route.raw.isEmpty()) {
        socket->write(route.raw);
        return false;
    }
    if (route.held) {
        held.push_back({socket, path, requestLine.value(0)});
        return false;
    }
    answer(socket, route, requestLine.value(0), false);
    return true;
}

void LocalHttpServer::Private::answer(QTcpSocket* socket, const Route& route,
                                      const QByteArray& method, bool close)
{
    close = close || route.noContentLength;
    QByteArray response =
        "HTTP/1.1 " + QByteArray::number(route.status) + ' ' + reasonPhrase(route.status) + "\r\n";
    response += "Content-Type: " + route.contentType + "\r\n";
    if (!route.noContentLength)
        response += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
    for (auto it = route.headers.constBegin(); it != route.headers.constEnd(); ++it)
        response += it.key() + ": " + it.value() + "\r\n";
    if (close)
        response += "Connection: close\r\n";
    response += "\r\n";
    if (method != "HEAD")
        response += route.body;
    if (route.delayMs > 0) {
        {
            QMutexLocker lock(&mutex);
            mostAtOnce = std::max(mostAtOnce, ++inFlight);
        }
        QTimer::singleShot(route.delayMs, socket, [this, socket, response, close] {
            {
                QMutexLocker lock(&mutex);
                --inFlight;
            }
            socket->write(response);
            if (close)
                socket->disconnectFromHost();
        });
        return;
    }
    socket->write(response);
    if (close)
        socket->disconnectFromHost(); // the close ends the body, or the held connection
}

LocalHttpServer::LocalHttpServer() : d(std::make_unique<Private>())
{
    d->anchor = new QObject;
    d->anchor->moveToThread(&d->thread);
    d->thread.setObjectName(QStringLiteral("LocalHttpServer"));
    d->thread.start();
    Private* p = d.get();
    QMetaObject::invokeMethod(
        d->anchor,
        [p] {
            p->server = new QTcpServer(p->anchor);
            QObject::connect(p->server, &QTcpServer::newConnection, p->server,
                             [p] { p->accept(); });
            if (p->server->listen(QHostAddress::LocalHost, 0))
                p->port = p->server->serverPort();
        },
        Qt::BlockingQueuedConnection);
}

LocalHttpServer::~LocalHttpServer()
{
    QObject* anchor = d->anchor;
    // The server and its open connections belong to the server thread: end them there.
    QMetaObject::invokeMethod(
        anchor, [anchor] { delete anchor; }, Qt::BlockingQueuedConnection);
    d->thread.quit();
    d->thread.wait();
}

bool LocalHttpServer::isListening() const
{
    return d->port != 0;
}

quint16 LocalHttpServer::port() const
{
    return d->port;
}

QUrl LocalHttpServer::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(d->port).arg(path));
}

void LocalHttpServer::setRoute(const QString& path, const QByteArray& body,
                               const QByteArray& contentType, int status)
{
    Route route;
    route.status = status;
    route.body = body;
    route.contentType = contentType;
    setRoute(path, route);
}

void LocalHttpServer::setRoute(const QString& path, const Route& route)
{
    QMutexLocker lock(&d->mutex);
    d->routes.insert(path, route);
}

void LocalHttpServer::setRedirect(const QString& path, const QString& target, int status)
{
    Route route;
    route.status = status;
    route.body = "moved";
    route.headers.insert("Location", target.toUtf8());
    setRoute(path, route);
}

void LocalHttpServer::setStall(const QString& path)
{
    Route route;
    route.stall = true;
    setRoute(path, route);
}

void LocalHttpServer::release(const QString& path)
{
    Private* p = d.get();
    QMetaObject::invokeMethod(
        d->anchor,
        [p, path] {
            Route route;
            {
                QMutexLocker lock(&p->mutex);
                route = p->routes.value(path);
                route.held = false;
                p->routes.insert(path, route);
            }
            std::vector<Private::HeldRequest> waiting;
            for (auto it = p->held.begin(); it != p->held.end();) {
                if (it->path == path) {
                    waiting.push_back(*it);
                    it = p->held.erase(it);
                } else {
                    ++it;
                }
            }
            for (const Private::HeldRequest& request : waiting) {
                if (request.socket)
                    p->answer(request.socket, route, request.method, true);
            }
        },
        Qt::BlockingQueuedConnection);
}

int LocalHttpServer::requestCount(const QString& path) const
{
    QMutexLocker lock(&d->mutex);
    return d->counts.value(path);
}

QMap<QByteArray, QByteArray> LocalHttpServer::lastRequestHeaders(const QString& path) const
{
    QMutexLocker lock(&d->mutex);
    return d->lastHeaders.value(path);
}

int LocalHttpServer::mostAtOnce() const
{
    QMutexLocker lock(&d->mutex);
    return d->mostAtOnce;
}

} // namespace rhtest
