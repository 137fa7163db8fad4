// Seeding the data directory from demo content.

#include "tests/vantrel/engine_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace enginetest;

namespace
{

class SeedTest : public EngineTest
{
protected:
    // A small demo folder: two feeds in a catalogue, one subscribed and one disabled.
    QString makeDemo()
    {
        const QString demo = rhtest::testRoot() + "/demo-source";
        writeFile(demo + "/directory.opml",
                  "<?xml version=\"1.0\"?><opml version=\"2.0\"><head><title>Demo</title></head>"
                  "<body><outline text=\"News\">"
                  "<outline text=\"Harbour\" type=\"rss\" xmlUrl=\"feeds/a.xml\"/>"
                  "<outline text=\"Weather\" type=\"rss\" xmlUrl=\"feeds/b.xml\"/>"
                  "</outline><outline text=\"Unsubscribed\" type=\"rss\" xmlUrl=\"feeds/c.xml\"/>"
                  "</body></opml>");
        writeFile(demo + "/feeds/a.xml", rss({{"a1", "Storm over the harbour", "", "", "", "", ""},
                                              {"a2", "Fish market opens", "", "", "", "", ""}}));
        writeFile(demo + "/feeds/b.xml", rss({{"b1", "Sunny", "", "", "", "", ""}}));
        writeFile(demo + "/feeds/c.xml", rss({}));
        writeFile(demo + "/datadir/readhall.htm", "<html>start</html>");
        writeFile(demo + "/seed.json",
                  "{\"subscribe\": [\"feeds/a.xml\", \"feeds/b.xml\"],"
                  " \"disabled\": [\"feeds/b.xml\"],"
                  " \"alertRules\": [{\"name\": \"Storms\", \"words\": [\"storm\"],"
                  " \"category\": \"Weather\"}]}");
        return demo;
    }

    uint32_t channelNamed(const QString& name)
    {
        uint32_t id = 0;
        CServices* services = GetCServices();
        for (int i = 0; services && i < services->GetNoServices(); ++i) {
            QString n;
            services->GetService(i)->GetDisplayName(n);
            if (n == name)
                services->GetService(i)->GetServiceID(id);
        }
        ReleaseCServices();
        return id;
    }
};

} // namespace

TEST_F(SeedTest, DemoContentIsCopiedSubscribedAndDownloaded)
{
    const QString demo = makeDemo();
    QString error;
    ASSERT_TRUE(engine()->seedDemo(demo, &error)) << error.toStdString();
    ASSERT_TRUE(eb::waitForIdle());

    EXPECT_TRUE(QFileInfo(rhtest::engineDataDir() + "/demo/feeds/a.xml").isFile());
    EXPECT_TRUE(QFileInfo(rhtest::engineDataDir() + "/readhall.htm").isFile());
    const uint32_t harbour = channelNamed("Harbour");
    const uint32_t weather = channelNamed("Weather");
    ASSERT_TRUE(harbour && weather);
    EXPECT_EQ(channelNamed("Unsubscribed"), 0u);
    EXPECT_EQ(channelEnabled(weather), 0);
    // The subscribed feed is read from the copy in the data directory.
    EXPECT_EQ(std::pair(storyCount(harbour), storyCount(weather)), std::pair(2, 0));
    QString url;
    withChannel(harbour, [&](CService* c) { return c->GetServiceInfo("URL", url); });
    EXPECT_TRUE(QUrl(url).toLocalFile().startsWith(rhtest::engineDataDir() + "/demo/"));

    // The demo alert rule fired on the first download.
    EXPECT_EQ(headlines(VT_ALERTS_CHANNEL_ID), QStringList{"Storm over the harbour"});
}

// Starts the engine with demo seeding switched on, from the given demo folder.
static bool startWithDemo(const QString& demo)
{
    qputenv("VANTREL_DEMO_DIR", QFile::encodeName(demo));
    qputenv("VANTREL_NO_DEMO", "0");
    const bool started = eb::start();
    qunsetenv("VANTREL_DEMO_DIR");
    qputenv("VANTREL_NO_DEMO", "1");
    return started;
}

TEST_F(SeedTest, FirstStartSeedsUnlessDemoIsSwitchedOff)
{
    const QString demo = makeDemo();
    eb::stop();
    QDir(rhtest::engineDataDir()).removeRecursively();
    ASSERT_TRUE(startWithDemo(demo));
    const uint32_t harbour = channelNamed("Harbour");
    EXPECT_NE(harbour, 0u);
    // A second start of the same data directory does not seed again.
    ASSERT_EQ(VTUnsubscribeToChannel(nullptr, eb::directoryEntryOf(harbour)), 1);
    eb::stop();
    ASSERT_TRUE(startWithDemo(demo));
    EXPECT_EQ(channelNamed("Harbour"), 0u);
}

TEST_F(SeedTest, BundledDemoSeedsEveryListedChannel)
{
    const QString demo = vantrel::Engine::demoDirectory();
    if (demo.isEmpty() || !QFileInfo::exists(demo + "/seed.json"))
        GTEST_SKIP() << "no bundled demo content";
    QString error;
    ASSERT_TRUE(engine()->seedDemo(demo, &error)) << error.toStdString();
    ASSERT_TRUE(eb::waitForIdle(30000));
    CServices* services = GetCServices();
    EXPECT_GT(services->GetNoServices(), 0);
    for (int i = 0; i < services->GetNoServices(); ++i) {
        CService* c = services->GetService(i);
        QString name;
        c->GetDisplayName(name);
        EXPECT_TRUE(!c->IsEnabled() || c->GetNoStories() > 0) << name.toStdString();
    }
    ReleaseCServices();
}
