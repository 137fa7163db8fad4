#include "tests/feeds/qtprinters.h"
#include "tests/support/feeds_httpserver.h"
#include "tests/support/testenv.h"
#include "vantrel/core/feeds/feeds.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QThread>
#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <tuple>

using namespace vantrel::feeds;
using rhtest::LocalHttpServer;

namespace
{

const QByteArray kFeed = "<rss version=\"2.0\"><channel><title>Loopback</title>"
                         "<item><title>One</title><link>one</link></item></channel></rss>";

QString writeFile(const QString& name, const QByteArray& data)
{
    const QString path = rhtest::testRoot() + "/" + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return QString();
    return path;
}

// A gzip stream of `size` bytes of one letter: tiny on the wire, huge when unpacked.
QByteArray gzipBomb(qsizetype size)
{
    const QByteArray data(size, 'a');
    z_stream zs{};
    if (deflateInit2(&zs, 1, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return QByteArray();
    QByteArray out(int(deflateBound(&zs, uLong(data.size()))), 0);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = uInt(out.size());
    const int done = deflate(&zs, Z_FINISH);
    out.resize(int(zs.total_out));
    deflateEnd(&zs);
    return done == Z_STREAM_END ? out : QByteArray();
}

QByteArray readData(const char* name)
{
    QFile file(QStringLiteral(FEEDS_TLS_DIR "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(FetcherFile, ReadsAFileAndItsFeedParses)
{
    const QString path = writeFile("feed.xml", kFeed);
    Fetcher fetcher;
    const FetchResult result = fetcher.fetch(QUrl::fromLocalFile(path), kFeed.size(), 5000);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(std::pair(result.body, result.httpStatus), std::pair(kFeed, 0));
    const ParseResult feed = parseFeed(result.body, result.finalUrl);
    ASSERT_TRUE(feed.ok);
    EXPECT_EQ(feed.feed.items[0].link, QUrl::fromLocalFile(rhtest::testRoot() + "/one").toString());
}

TEST(FetcherHttp, DownloadsFollowingRedirectsUpToTheSizeLimit)
{
    LocalHttpServer server;
    server.setRoute("/new/feed.xml", kFeed, "application/rss+xml; charset=utf-8");
    server.setRedirect("/old", "/moved");
    server.setRedirect("/moved", server.url("/new/feed.xml").toString(), 301);
    Fetcher fetcher;
    const FetchResult result = fetcher.fetch(server.url("/old"), 1 << 20, 5000);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    // The type is the last answer's, not the redirects' (which Qt may join to it).
    EXPECT_EQ(std::tuple(result.httpStatus, result.body, result.finalUrl, result.contentType),
              std::tuple(200, kFeed, server.url("/new/feed.xml"),
                         QString("application/rss+xml; charset=utf-8")));
    // Qt's client sometimes sends a redirected request twice; what counts is every hop taken.
    EXPECT_GE(server.requestCount("/moved"), 1);
    EXPECT_TRUE(
        server.lastRequestHeaders("/new/feed.xml").value("user-agent").contains("Readhall"));

    // Within the limit, a close-delimited body arrives whole.
    LocalHttpServer::Route streamed;
    streamed.body = QByteArray(200000, 'y');
    streamed.noContentLength = true;
    server.setRoute("/streamed", streamed);
    const FetchResult whole = fetcher.fetch(server.url("/streamed"), 300000, 5000);
    ASSERT_TRUE(whole.ok) << whole.error.toStdString();
    EXPECT_EQ(whole.body.size(), 200000);
}

// Every way a download can fail ends in a failure that says why, with no body.
TEST(Fetcher, FailuresAreSaidInWordsAndGiveNoBody)
{
    LocalHttpServer server;
    quint16 refusedPort = 0;
    {
        LocalHttpServer closed;
        refusedPort = closed.port();
    }
    const QString big = writeFile("big.xml", QByteArray(5000, 'a'));
    server.setRoute("/broken", "oops", "text/plain", 500);
    server.setRedirect("/loop", "/loop");
    server.setRoute("/declared", QByteArray(200000, 'x'));
    LocalHttpServer::Route streamed;
    streamed.body = QByteArray(200000, 'y');
    streamed.noContentLength = true;
    server.setRoute("/streamed", streamed);
    server.setStall("/stall");
    server.setRedirect("/to-file", "file:///etc/passwd");
    const QByteArray bomb = gzipBomb(64 * 1024 * 1024);
    ASSERT_FALSE(bomb.isEmpty());
    QByteArray manyHeaders = "HTTP/1.1 200 OK\r\n";
    for (int i = 0; i < 20000; ++i)
        manyHeaders += "X-H" + QByteArray::number(i) + ": v\r\n";
    const std::pair<const char*, QByteArray> raw[] = {
        {"/bomb", "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nContent-Encoding: gzip\r\n"
                  "Content-Length: " +
                      QByteArray::number(bomb.size()) + "\r\n\r\n" + bomb},
        {"/long-line", "HTTP/1.1 200 OK\r\nX-Long: " + QByteArray(1024 * 1024, 'x') +
                           "\r\nContent-Length: 5\r\n\r\nhello"},
        {"/many-lines", manyHeaders + "Content-Length: 5\r\n\r\nhello"},
        {"/bad-chunks",
         "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nTransfer-Encoding: chunked\r\n"
         "\r\nzz\r\n<rss>\r\n0\r\n\r\n"},
    };
    for (const auto& [path, answer] : raw) {
        LocalHttpServer::Route route;
        route.raw = answer;
        server.setRoute(path, route);
    }
    const auto at = [&](const char* path) { return server.url(path); };
    const struct {
        QUrl url;
        qint64 limit;
        const char* says;
    } cases[] = {
        // clang-format off
        {QUrl::fromLocalFile(big), 4999, "too large"},
        {QUrl::fromLocalFile(rhtest::testRoot() + "/nothing.xml"), 1000, "file not found"},
        {QUrl::fromLocalFile(rhtest::testRoot()), 1000, "folder"},
        {QUrl("ftp://example.org/feed.xml"), 1000, "unsupported"}, {QUrl(), 1000, ""},
        {at("/absent"), 1 << 20, "HTTP 404 Not Found"}, {at("/loop"), 1 << 20, "redirect"},
        {at("/broken"), 1 << 20, "HTTP 500 Internal Server Error"},
        {at("/declared"), 100000, "too large"}, {at("/streamed"), 100000, "too large"},
        {at("/stall"), 1000, "timed out"},
        {QUrl(QString("http://127.0.0.1:%1/feed.xml").arg(refusedPort)), 1000, "refused"},
        {at("/to-file"), 1 << 20, "redirect to a local file refused"},
        {at("/bomb"), 1 << 20, "the compressed answer unpacks beyond the size limit"},
        {at("/long-line"), 1 << 20, "has a header too large to read"},
        {at("/many-lines"), 1 << 20, "has a header too large to read"},
        {at("/bad-chunks"), 1 << 20, "holds no document (its chunked encoding is broken"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url.toString().toStdString());
        Fetcher fetcher;
        const int timeoutMs = c.url == at("/stall") ? 300 : 30000;
        const FetchResult result = fetcher.fetch(c.url, c.limit, timeoutMs);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.body.isEmpty());
        EXPECT_TRUE(result.error.contains(QLatin1String(c.says))) << result.error.toStdString();
    }
    EXPECT_EQ(server.requestCount("/stall"), 1);
}

TEST(FetcherHttp, CancelFromAnotherThreadAbortsTheFetch)
{
    LocalHttpServer server;
    server.setStall("/stall");
    Fetcher fetcher;
    FetchResult result;
    std::atomic<bool> done{false};
    // The fetch runs on a worker, as in the engine; the test thread cancels it.
    QThread* worker = QThread::create([&] {
        result = fetcher.fetch(server.url("/stall"), 1000, 60000);
        done = true;
    });
    worker->start();
    ASSERT_TRUE(rhtest::waitFor([&] { return server.requestCount("/stall") == 1; }));
    EXPECT_FALSE(done.load());
    fetcher.cancel();
    ASSERT_TRUE(rhtest::waitFor([&] { return done.load(); }));
    worker->wait();
    delete worker;
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "cancelled");

    // It stays cancelled until reset.
    server.setRoute("/feed.xml", kFeed);
    EXPECT_EQ(fetcher.fetch(server.url("/feed.xml"), 1000, 5000).error, "cancelled");
    EXPECT_EQ(server.requestCount("/feed.xml"), 0);
    fetcher.reset();
    EXPECT_TRUE(fetcher.fetch(server.url("/feed.xml"), 1000, 5000).ok);
}

TEST(FetcherHttps, UntrustedCertificateIsRefusedInWords)
{
    if (!QSslSocket::supportsSsl())
        GTEST_SKIP() << "no TLS backend";
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificate(QSslCertificate(readData("selfsigned-cert.pem")));
    config.setPrivateKey(QSslKey(readData("selfsigned-key.pem"), QSsl::Rsa));
    ASSERT_FALSE(config.localCertificate().isNull() || config.privateKey().isNull());
    QSslServer server;
    server.setSslConfiguration(config);
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    int handshakes = 0;
    QObject::connect(&server, &QSslServer::startedEncryptionHandshake, [&] { ++handshakes; });

    // The server answers on this thread's event loop; the fetch runs on a worker.
    Fetcher fetcher;
    FetchResult result;
    std::atomic<bool> done{false};
    QThread* worker = QThread::create([&] {
        result = fetcher.fetch(
            QUrl(QString("https://127.0.0.1:%1/feed.xml").arg(server.serverPort())), 1000, 10000);
        done = true;
    });
    worker->start();
    ASSERT_TRUE(rhtest::waitFor([&] { return done.load(); }, 15000));
    worker->wait();
    delete worker;
    EXPECT_GE(handshakes, 1);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.startsWith("secure connection to 127.0.0.1 failed"))
        << result.error.toStdString();
    EXPECT_TRUE(result.body.isEmpty());
}
