// Stored pages: served from the engine's data folder only, with a network page's rights.

#include "resources/readhall_resources.h"
#include "src/browser/browsercalls.h"
#include "src/browser/browserview.h"
#include "src/browser/storedpages.h"
#include "src/browser/webbrowser.h"
#include "tests/support/engine_builder.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace
{

bool writeFile(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

TEST(StoredPage, ItsScriptReadsNoLocalFileAndSendsNothingToTheComputer)
{
    readhallInitResources();
    ASSERT_TRUE(rhtest::engine::start());
    const QString secret = rhtest::testRoot() + "/secret.txt";
    ASSERT_TRUE(writeFile(secret, "SECRET-4711"));

    // A listener on the computer itself: what a WebSocket would carry arrives in its first
    // line, the script puts it there.
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost, 0));
    QByteArray received;
    QObject::connect(&listener, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* socket = listener.nextPendingConnection())
            QObject::connect(socket, &QTcpSocket::readyRead,
                             [&received, socket] { received += socket->readAll(); });
    });

    // A page from the network as Download Story keeps it, with a script after the file.
    const QByteArray fileUrl = QUrl::fromLocalFile(secret).toEncoded();
    const QByteArray page =
        "<html><head><title>loading</title></head><body><script>"
        "function send(v) {"
        "  try { new WebSocket('ws://127.0.0.1:" +
        QByteArray::number(listener.serverPort()) +
        "/?d=' + encodeURIComponent(v)); } catch (e) {}"
        "  document.title = 'done:' + (v.indexOf('SECRET') >= 0 ? 'read' : 'blocked');"
        "}"
        "function viaRequest() {"
        "  try { var x = new XMLHttpRequest(); x.open('GET', '" +
        fileUrl +
        "', false); x.send();"
        "        send(x.responseText || 'nothing'); } catch (e) { send('refused'); }"
        "}"
        "fetch('" +
        fileUrl +
        "').then(function (r) { return r.text(); }).then(send, viaRequest);"
        "</script></body></html>";
    const QString stored = rhtest::engineDataDir() + "/pages/1/1.html";
    ASSERT_TRUE(writeFile(stored, page));
    const uint32_t channel = rhtest::engine::addChannel("News", "News");
    rhtest::engine::StorySeed story;
    story.headline = "Stored";
    story.url = "https://news.example/story.html";
    story.attributes["Story Local"] = stored;
    ASSERT_NE(rhtest::engine::addStory(channel, story), 0u);

    CBrowserView view;
    view.resize(500, 400);
    view.show();
    ASSERT_EQ(view.Navigate(story.url), 1);
    ASSERT_TRUE(rhtest::waitFor(
        [&] { return view.browser()->title().startsWith(QLatin1String("done:")); }, 20000))
        << view.browser()->title().toStdString();
    EXPECT_EQ(view.browser()->url().scheme(), QLatin1String(VT_CACHE_SCHEME));
    EXPECT_EQ(view.browser()->title(), "done:blocked");
    // Whatever the page managed to send has had time to arrive.
    EXPECT_FALSE(rhtest::waitFor([&] { return received.contains("SECRET"); }, 1500));
    EXPECT_FALSE(received.contains("SECRET-4711")) << received.constData();
    rhtest::engine::stop();
}

TEST(StoredPage, OnlyRegularFilesInsideTheDataFolderAreServed)
{
    const QString data = rhtest::testRoot() + "/data";
    const QString outside = rhtest::testRoot() + "/private.txt";
    ASSERT_TRUE(writeFile(data + "/pages/1/1.html", "page"));
    ASSERT_TRUE(writeFile(outside, "private"));
    ASSERT_TRUE(QFile::link(outside, data + "/pages/1/link.html"));
    ASSERT_TRUE(QFile::link(rhtest::testRoot(), data + "/pages/up"));
    const QString page = QFileInfo(data + "/pages/1/1.html").canonicalFilePath();

    const struct {
        QString enginePath;
        QString served;
    } cases[] = {
        {data + "/pages/1/1.html", page},
        {data + "/pages/1/../1/1.html", page},
        {data + "/pages/1/link.html", QString()},       // a link out of the folder
        {data + "/pages/up/private.txt", QString()},    // a folder link out of it
        {data + "/pages/../../private.txt", QString()}, // climbing out
        {data + "/pages/1", QString()},                 // a folder
        {data + "/pages/1/2.html", QString()},          // nothing there
        {QString(), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StoredPageFile(c.enginePath, data), c.served) << c.enginePath.toStdString();
    EXPECT_TRUE(StoredPageFile(data + "/pages/1/1.html", QString()).isEmpty());
}

TEST(StoredPage, OtherSchemesAreNotLoaded)
{
    for (const char* address : {"javascript:alert(1)", "data:text/html,x", "mailto:a@b.example"})
        EXPECT_FALSE(CWebBrowser::IsNavigableUrl(CWebBrowser::LocationToUrl(address))) << address;
    for (const char* address : {"https://news.example/", "/srv/page.html", "about:blank",
                                "vantrel-cache:/pages/1/1.html"})
        EXPECT_TRUE(CWebBrowser::IsNavigableUrl(CWebBrowser::LocationToUrl(address))) << address;
}

} // namespace
