#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests that download. It runs on its own thread, so
// a test may fetch synchronously on its own thread (or let an engine worker fetch) while the
// server answers. Only loopback; requests are bounded (64 KiB of headers); every answer closes
// it asks to (connections are kept alive otherwise).
//
//   rhtest::LocalHttpServer server;          // listening once constructed
//   server.setRoute("/feed.xml", rss, "application/rss+xml");
//   fetcher.fetch(server.url("/feed.xml"), ...);
//   EXPECT_EQ(server.requestCount("/feed.xml"), 1);
//
// It also serves as an HTTP proxy: a request a client sends through a proxy names the whole
// address ("GET http://feeds.example/news.xml"), and a route set for that whole address
// answers it (its request count and headers are kept under the whole address too).
//
// Unknown paths answer 404. Routes may be changed at any time from any thread. Qt's HTTP client
// now and then sends a redirected request twice, so after redirects compare counts with >= 1.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QUrl>

#include <memory>

namespace rhtest
{

class LocalHttpServer
{
public:
    struct Route {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "text/plain";
        QMap<QByteArray, QByteArray> headers; // extra response headers ("Location", ...)
        // Send no Content-Length and end the body by closing the connection.
        bool noContentLength = false;
        // Never answer: the connection stays open until the client gives up or the server
        // stops (for timeout and cancel tests).
        bool stall = false;
        // Sent as it stands in place of a made answer (for damaged answers); the connection
        // then stays open, as a hostile server would keep it.
        QByteArray raw;
        // Answer only when release() is called for the path (for tests that look at what
        // shows while a download is under way).
        bool held = false;
        // Answer only after this long (for tests that count requests in flight at once).
        int delayMs = 0;
    };

    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool isListening() const;
    quint16 port() const;
    // http://127.0.0.1:<port><path>
    QUrl url(const QString& path) const;

    void setRoute(const QString& path, const QByteArray& body,
                  const QByteArray& contentType = "text/plain", int status = 200);
    void setRoute(const QString& path, const Route& route);
    // A redirect (302 unless told otherwise) to target, absolute or relative.
    void setRedirect(const QString& path, const QString& target, int status = 302);
    void setStall(const QString& path);
    // Answers the requests held for the path (each then closes its connection) and lets
    // later ones through at once.
    void release(const QString& path);

    // Requests received for the path (query ignored) since the server started.
    int requestCount(const QString& path) const;
    // Request headers of the last request to the path, names in lower case.
    QMap<QByteArray, QByteArray> lastRequestHeaders(const QString& path) const;
    // The most requests that waited for their answer at the same time.
    int mostAtOnce() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace rhtest
