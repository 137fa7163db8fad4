// The engine's options: storage limits, network settings, compacting and offline copies.

#include "tests/support/feeds_httpserver.h"
#include "tests/vantrel/engine_fixture.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>
#include <tuple>

using namespace enginetest;
using vantrel::EngineOptions;

namespace
{

constexpr qint64 kDay = 24 * 3600;

class OptionsTest : public EngineTest
{
protected:
    uint32_t addStory(uint32_t channel, const QString& headline, qint64 ageDays, bool keep = false,
                      const QString& summary = {})
    {
        vantrel::Story s;
        s.headline = headline;
        s.identity = headline;
        s.summary = summary;
        s.received = QDateTime::currentSecsSinceEpoch() - ageDays * kDay;
        s.keep = keep ? 1 : 0;
        return engine()->addStory(channel, s);
    }
    bool apply(const std::function<void(EngineOptions&)>& change, QString* error = nullptr)
    {
        EngineOptions o = engine()->options();
        change(o);
        return engine()->setOptions(o, error);
    }
    QStringList alertHeadlines() { return headlines(VT_ALERTS_CHANNEL_ID); }
};

} // namespace

TEST_F(OptionsTest, StorageLimitsPruneOnTheWorkerAndKeepKeptStories)
{
    const uint32_t ch = rhtest::engine::addChannel("Old News");
    const uint32_t ancient = addStory(ch, "ancient", 40);
    addStory(ch, "ancient kept", 50, true);
    const uint32_t old = addStory(ch, "old", 20);
    for (int i = 1; i <= 4; ++i)
        addStory(ch, QStringLiteral("fresh %1").arg(i), 5 - i);
    rhtest::engine::addAlert(ch, ancient, "Weather");
    const uint32_t keptAlert = rhtest::engine::addAlert(ch, old, "Sports");
    ASSERT_TRUE(engine()->keepStory(VT_ALERTS_CHANNEL_ID, 0, keptAlert, true));
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    recorder().clear();

    // Thirty days, and three unkept stories per channel at most.
    ASSERT_TRUE(apply([](EngineOptions& o) {
        o.keepDays = 30;
        o.keepPerChannel = 3;
    }));
    ASSERT_TRUE(rhtest::engine::waitForIdle());

    EXPECT_EQ(sortedHeadlines(ch), QStringList({"ancient kept", "fresh 2", "fresh 3", "fresh 4"}));
    EXPECT_EQ(alertHeadlines().size(), 1); // the kept alert stayed with its story gone

    const auto deleted = recorder().messages("REFRESHCODE_STORIES_DELETED");
    std::set<uint32_t> reported;
    for (const Message& m : deleted) {
        EXPECT_EQ(m.thread, QThread::currentThread());
        if (m.first == ch)
            reported.insert(m.stories.begin(), m.stories.end());
    }
    EXPECT_EQ(reported.size(), 3u);
    EXPECT_TRUE(reported.count(ancient) && reported.count(old));
    EXPECT_TRUE(recorder().hasMessage("REFRESHCODE_STORIES_DELETED", VT_ALERTS_CHANNEL_ID));
    EXPECT_TRUE(recorder().hasMessage("REFRESHCODE_CHANNEL_COUNTER_CHANGED", ch));

    // The limits are kept in the store and pruned stories stay gone.
    reopen();
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    EXPECT_EQ(std::pair(engine()->options().keepDays, engine()->options().keepPerChannel),
              std::pair(30, 3));
    EXPECT_EQ(storyCount(ch), 4);
}

TEST_F(OptionsTest, PruningReachesStoriesNotYetReadFromTheStore)
{
    const uint32_t ch = rhtest::engine::addChannel("Archive");
    std::vector<uint32_t> numbers;
    for (int i = 0; i < 6; ++i)
        numbers.push_back(addStory(ch, QStringLiteral("story %1").arg(i), 10 - i, i == 0,
                                   QStringLiteral("summary %1").arg(i)));
    rhtest::engine::addAlert(ch, numbers[1], "Gone with its story");
    const auto restart = [&] {
        reopen();
        ASSERT_TRUE(rhtest::engine::waitForIdle());
        ASSERT_FALSE(loaded(ch));
    };
    restart();

    // The properties of a story not read into memory yet, long texts included.
    vantrel::StoryFacts facts;
    ASSERT_TRUE(engine()->storyFacts(ch, numbers[2], facts));
    EXPECT_EQ(QStringList({facts.story.headline, facts.story.summary}),
              QStringList({"story 2", "summary 2"}));
    restart();
    ASSERT_EQ(engine()->findStories({ch}, "story", true).at(0).second.size(), 6u);
    recorder().clear();

    // Two unkept stories stay besides the kept one, chosen from the store.
    ASSERT_TRUE(apply([](EngineOptions& o) { o.keepPerChannel = 2; }));
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    EXPECT_FALSE(loaded(ch));
    EXPECT_EQ(unreadCount(ch), 3);
    EXPECT_TRUE(recorder().hasMessage("REFRESHCODE_STORIES_DELETED", ch));
    EXPECT_TRUE(recorder().hasMessage("REFRESHCODE_STORIES_DELETED", VT_ALERTS_CHANNEL_ID));
    EXPECT_TRUE(alertHeadlines().isEmpty());
    const auto found = engine()->findStories({ch}, "story", true);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].second, (std::vector<uint32_t>{numbers[0], numbers[4], numbers[5]}));
    EXPECT_EQ(sortedHeadlines(ch), QStringList({"story 0", "story 4", "story 5"}));
}

TEST_F(OptionsTest, ProxyAndUserAgentReachTheDownloads)
{
    rhtest::LocalHttpServer proxy; // answers as a proxy for a host that does not exist
    const QString address = "http://feeds.example.invalid/news.xml";
    proxy.setRoute(address, rss({{"p1", "Through the proxy", "", "", "", "", ""}}),
                   "application/rss+xml");
    ASSERT_TRUE(apply([&](EngineOptions& o) {
        o.network.proxyMode = vantrel::feeds::NetworkSettings::ProxyMode::Manual;
        o.network.proxyHost = "127.0.0.1";
        o.network.proxyPort = proxy.port();
        o.network.userAgent = "TestReader/1.0";
    }));
    const uint32_t id = addFeedChannel("Proxied", address);
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    EXPECT_EQ(headlines(id), QStringList({"Through the proxy"})) << status(id).toStdString();
    EXPECT_GE(proxy.requestCount(address), 1);
    EXPECT_EQ(proxy.lastRequestHeaders(address).value("user-agent"), "TestReader/1.0");
}

TEST_F(OptionsTest, ChannelsDownloadAsManyAtOnceAsTheOptionSays)
{
    for (const int parallel : {1, 3}) {
        SCOPED_TRACE(parallel);
        rhtest::LocalHttpServer server;
        ASSERT_TRUE(apply([&](EngineOptions& o) {
            o.parallelDownloads = parallel;
            o.paused = true; // nothing starts before every channel is there
        }));
        std::vector<uint32_t> ids;
        for (int i = 0; i < 4; ++i) {
            rhtest::LocalHttpServer::Route route;
            route.body = rss({{QStringLiteral("g%1").arg(i), "A story", "", "", "", "", ""}});
            route.contentType = "application/rss+xml";
            route.delayMs = 300; // long enough for the others to start meanwhile
            const QString path = QStringLiteral("/slow%1.xml").arg(i);
            server.setRoute(path, route);
            ids.push_back(addFeedChannel(path, server.url(path).toString()));
        }
        ASSERT_TRUE(rhtest::engine::waitForIdle(30000));
        ASSERT_TRUE(apply([](EngineOptions& o) { o.paused = false; }));
        ASSERT_TRUE(rhtest::engine::waitForIdle(30000));
        for (uint32_t id : ids) {
            EXPECT_EQ(storyCount(id), 1);
            VTUnsubscribeToSubscribedChannel(nullptr, id);
        }
        EXPECT_EQ(server.mostAtOnce(), parallel);
    }
}

TEST_F(OptionsTest, ValuesThatCannotBeUsedAreRefusedNamingTheField)
{
    using Mode = vantrel::feeds::NetworkSettings::ProxyMode;
    const struct {
        std::function<void(EngineOptions&)> change;
        const char* field;
    } cases[] = {
        {[](EngineOptions& o) { o.updateIntervalSecs = 10; }, "Update interval"},
        {[](EngineOptions& o) { o.parallelDownloads = 0; }, "Channels downloaded at once"},
        {[](EngineOptions& o) { o.keepDays = -1; }, "Keep stories for"},
        {[](EngineOptions& o) { o.offlineFolder = "relative/folder"; }, "Offline folder"},
        {[](EngineOptions& o) { o.network.proxyMode = Mode::Manual; }, "Proxy host"},
        {[](EngineOptions& o) {
             o.network.proxyMode = Mode::Manual;
             o.network.proxyHost = "proxy.example";
         },
         "Proxy port"},
        {[](EngineOptions& o) { o.timeoutSecs = 0; }, "Download timeout"},
        {[](EngineOptions& o) { o.network.userAgent = "Two\nlines"; }, "User agent"},
    };
    const EngineOptions before = engine()->options();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        QString error;
        EXPECT_FALSE(apply(
            [&](EngineOptions& o) {
                o.keepPerChannel = 7; // a good value along with the bad one is not applied
                c.change(o);
            },
            &error));
        EXPECT_TRUE(error.startsWith(QLatin1String(c.field))) << error.toStdString();
        EXPECT_EQ(engine()->options().keepPerChannel, before.keepPerChannel);
    }
}

TEST_F(OptionsTest, CompactingKeepsTheStoriesAndFreesTheRoomOfRemovedOnes)
{
    const uint32_t ch = rhtest::engine::addChannel("Big");
    std::vector<uint32_t> numbers;
    for (int i = 0; i < 150; ++i) {
        vantrel::Story s;
        s.headline = QStringLiteral("Story %1").arg(i);
        s.summary = QString(5000, QLatin1Char('x'));
        numbers.push_back(engine()->addStory(ch, s));
    }
    numbers.resize(140);
    ASSERT_TRUE(engine()->deleteStories(ch, numbers));
    const qint64 before = engine()->storeSizeBytes();
    std::atomic<int> result{-1};
    engine()->compactStoreLater([&](bool ok, const QString&) { result = ok ? 1 : 0; });
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    EXPECT_EQ(result.load(), 1);
    EXPECT_LT(engine()->storeSizeBytes(), before);
    reopen();
    EXPECT_EQ(storyCount(ch), 10);
}

TEST_F(OptionsTest, OfflineReadingCopiesNewStoriesWithinTheSizeLimit)
{
    rhtest::LocalHttpServer server;
    server.setRoute("/page.html", "<html><head></head><body>Page</body></html>", "text/html");
    server.setRoute("/small.mp3", QByteArray(1000, 'a'), "audio/mpeg");
    server.setRoute("/big.mp3", QByteArray(2 * 1024 * 1024, 'b'), "audio/mpeg");
    QTemporaryDir folder;
    ASSERT_TRUE(apply([&](EngineOptions& o) {
        o.offlineDownload = true;
        o.offlineLimitMb = 1;
        o.offlineFolder = folder.path();
    }));
    server.setRoute(
        "/feed.xml",
        rss({{"a", "Small", "", server.url("/page.html").toString(), "",
              server.url("/small.mp3").toString(), "audio/mpeg"},
             {"b", "Big", "", "", "", server.url("/big.mp3").toString(), "audio/mpeg"}}),
        "application/rss+xml");
    const uint32_t id = addFeedChannel("Offline", server.url("/feed.xml").toString());
    ASSERT_TRUE(rhtest::engine::waitForIdle());

    vantrel::StoryFacts small, big;
    ASSERT_TRUE(engine()->storyFacts(id, numberOf(id, "Small"), small));
    ASSERT_TRUE(engine()->storyFacts(id, numberOf(id, "Big"), big));
    // The big one is over the limit.
    EXPECT_EQ(
        std::tuple(small.enclosureLocal, QFileInfo(small.enclosureFile).size(), big.enclosureLocal),
        std::tuple(true, 1000, false));
    EXPECT_LE(engine()->offlineBytes(), 1024 * 1024);

    // The page copied into the chosen folder is shown under the engine's own scheme.
    EXPECT_TRUE(small.story.localPath.startsWith(folder.path() + "/pages/"));
    QString address, file;
    ASSERT_TRUE(engine()->cachedUrl(server.url("/page.html").toString(), address));
    EXPECT_TRUE(address.startsWith(QLatin1String(VT_CACHE_SCHEME) + ":")) << address.toStdString();
    ASSERT_TRUE(engine()->storedPageFile(address, file));
    EXPECT_EQ(file, small.story.localPath);

    // The copies go with their story.
    ASSERT_TRUE(engine()->deleteStories(id, {small.story.number}));
    EXPECT_EQ(std::pair(QFileInfo::exists(file), QFileInfo::exists(small.enclosureFile)),
              std::pair(false, false));
}
