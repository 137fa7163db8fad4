#include "tests/feeds/qtprinters.h"
#include "tests/support/feeds_httpserver.h"
#include "tests/support/testenv.h"
#include "vantrel/core/feeds/feeds.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>

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

} // namespace

TEST(FetcherFile, ReadsAFileAndItsFeedParses)
{
    const QString path = writeFile("feed.xml", kFeed);
    ASSERT_FALSE(path.isEmpty());
    Fetcher fetcher;
    const FetchResult result = fetcher.fetch(QUrl::fromLocalFile(path), 1 << 20, 5000);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.body, kFeed);
    EXPECT_EQ(result.httpStatus, 0);
    const ParseResult feed = parseFeed(result.body, result.finalUrl);
    ASSERT_TRUE(feed.ok);
    EXPECT_EQ(feed.feed.items[0].link, QUrl::fromLocalFile(rhtest::testRoot() + "/one").toString());
}

TEST(FetcherFile, SizeLimitMissingFileAndFolder)
{
    const QString path = writeFile("big.xml", QByteArray(5000, 'a'));
    Fetcher fetcher;
    const FetchResult big = fetcher.fetch(QUrl::fromLocalFile(path), 4999, 5000);
    EXPECT_FALSE(big.ok);
    EXPECT_TRUE(big.error.startsWith("too large")) << big.error.toStdString();
    EXPECT_TRUE(big.body.isEmpty());
    EXPECT_TRUE(fetcher.fetch(QUrl::fromLocalFile(path), 5000, 5000).ok);

    const FetchResult missing =
        fetcher.fetch(QUrl::fromLocalFile(rhtest::testRoot() + "/nothing.xml"), 1000, 5000);
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.error.startsWith("file not found")) << missing.error.toStdString();

    const FetchResult folder = fetcher.fetch(QUrl::fromLocalFile(rhtest::testRoot()), 1000, 5000);
    EXPECT_FALSE(folder.ok);
    EXPECT_TRUE(folder.error.contains("folder")) << folder.error.toStdString();
}

TEST(FetcherFile, UnsupportedSchemeAndInvalidAddress)
{
    Fetcher fetcher;
    const FetchResult ftp = fetcher.fetch(QUrl("ftp://example.org/feed.xml"), 1000, 1000);
    EXPECT_FALSE(ftp.ok);
    EXPECT_TRUE(ftp.error.contains("unsupported")) << ftp.error.toStdString();
    EXPECT_FALSE(fetcher.fetch(QUrl(), 1000, 1000).ok);
}

TEST(FetcherHttp, DownloadsFromTheLoopbackServer)
{
    LocalHttpServer server;
    ASSERT_TRUE(server.isListening());
    server.setRoute("/feed.xml", kFeed, "application/rss+xml; charset=utf-8");
    Fetcher fetcher;
    const FetchResult result = fetcher.fetch(server.url("/feed.xml"), 1 << 20, 5000);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.httpStatus, 200);
    EXPECT_EQ(result.body, kFeed);
    EXPECT_EQ(result.contentType, "application/rss+xml; charset=utf-8");
    EXPECT_EQ(result.finalUrl, server.url("/feed.xml"));
    EXPECT_EQ(server.requestCount("/feed.xml"), 1);
    EXPECT_TRUE(server.lastRequestHeaders("/feed.xml").value("user-agent").contains("Readhall"));
}

TEST(FetcherHttp, ErrorStatusesAreFailuresInWords)
{
    LocalHttpServer server;
    server.setRoute("/broken", "oops", "text/plain", 500);
    Fetcher fetcher;
    const FetchResult missing = fetcher.fetch(server.url("/absent"), 1 << 20, 5000);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.httpStatus, 404);
    EXPECT_EQ(missing.error, "HTTP 404 Not Found");
    const FetchResult broken = fetcher.fetch(server.url("/broken"), 1 << 20, 5000);
    EXPECT_FALSE(broken.ok);
    EXPECT_EQ(broken.httpStatus, 500);
    EXPECT_EQ(broken.error, "HTTP 500 Internal Server Error");
    EXPECT_TRUE(broken.body.isEmpty());
}

TEST(FetcherHttp, FollowsRedirectsAndStopsLoops)
{
    LocalHttpServer server;
    server.setRoute("/new/feed.xml", kFeed, "application/rss+xml");
    server.setRedirect("/old", "/moved");
    server.setRedirect("/moved", server.url("/new/feed.xml").toString(), 301);
    Fetcher fetcher;
    const FetchResult result = fetcher.fetch(server.url("/old"), 1 << 20, 5000);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.body, kFeed);
    EXPECT_EQ(result.finalUrl, server.url("/new/feed.xml"));
    // Qt's client sometimes sends a redirected request twice; what counts is that every hop
    // was taken.
    EXPECT_GE(server.requestCount("/old"), 1);
    EXPECT_GE(server.requestCount("/moved"), 1);

    server.setRedirect("/loop", "/loop");
    const FetchResult loop = fetcher.fetch(server.url("/loop"), 1 << 20, 5000);
    EXPECT_FALSE(loop.ok);
    EXPECT_TRUE(loop.error.contains("redirect")) << loop.error.toStdString();
}

TEST(FetcherHttp, TooLargeWithAndWithoutDeclaredLength)
{
    LocalHttpServer server;
    server.setRoute("/declared", QByteArray(200000, 'x'));
    LocalHttpServer::Route streamed;
    streamed.body = QByteArray(200000, 'y');
    streamed.noContentLength = true;
    server.setRoute("/streamed", streamed);
    Fetcher fetcher;
    for (const char* path : {"/declared", "/streamed"}) {
        const FetchResult result = fetcher.fetch(server.url(path), 100000, 5000);
        EXPECT_FALSE(result.ok) << path;
        EXPECT_TRUE(result.error.startsWith("too large")) << result.error.toStdString();
        EXPECT_TRUE(result.body.isEmpty());
    }
    // Within the limit, the close-delimited body arrives whole.
    const FetchResult whole = fetcher.fetch(server.url("/streamed"), 300000, 5000);
    ASSERT_TRUE(whole.ok) << whole.error.toStdString();
    EXPECT_EQ(whole.body.size(), 200000);
}

TEST(FetcherHttp, TimesOutOnAServerThatNeverAnswers)
{
    LocalHttpServer server;
    server.setStall("/stall");
    Fetcher fetcher;
    const FetchResult result = fetcher.fetch(server.url("/stall"), 1000, 200);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.startsWith("timed out")) << result.error.toStdString();
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

TEST(FetcherHttp, ConnectionRefusedIsReportedInWords)
{
    quint16 port = 0;
    {
        LocalHttpServer server;
        port = server.port();
    }
    Fetcher fetcher;
    const FetchResult result =
        fetcher.fetch(QUrl(QString("http://127.0.0.1:%1/feed.xml").arg(port)), 1000, 5000);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("refused")) << result.error.toStdString();
}
