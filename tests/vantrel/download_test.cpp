// Downloads over the loopback HTTP server, and the change messages they send.

#include "tests/support/feeds_httpserver.h"
#include "tests/vantrel/engine_fixture.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <mutex>

using namespace enginetest;

namespace
{

std::vector<Item> threeItems()
{
    return {
        {"g1", "First story", "About the weather", "", "News/Local", "", ""},
        {"g2", "Second story", "Sports results", "", "", "", ""},
        {"g3", "Third story", "A podcast", "", "", "http://127.0.0.1:1/show.mp3", "audio/mpeg"},
    };
}

class DownloadTest : public EngineTest
{
protected:
    rhtest::LocalHttpServer server;

    void serve(const QByteArray& feed, const char* path = "/feed.xml")
    {
        server.setRoute(path, feed, "application/rss+xml");
    }
    // A channel on the feed at path; waits for its first download unless told not to.
    uint32_t subscribe(const QString& name, const char* path = "/feed.xml", bool wait = true)
    {
        const uint32_t id = addFeedChannel(name, server.url(path).toString());
        EXPECT_NE(id, 0u);
        EXPECT_TRUE(!wait || rhtest::engine::waitForIdle());
        return id;
    }
    uint32_t subscribeToFeed(const std::vector<Item>& items)
    {
        serve(rss(items));
        return subscribe("Loopback");
    }

    // The stories of the last change of story attributes reported.
    std::vector<uint32_t> lastChanged()
    {
        const auto changed = recorder().messages("REFRESHCODE_STORIES_ATTRIBUTE_CHANGED");
        return changed.empty() ? std::vector<uint32_t>{} : changed.back().stories;
    }
    void updateNow(uint32_t id)
    {
        ASSERT_EQ(VTForceChannelConnection(id), 1);
        ASSERT_TRUE(rhtest::engine::waitForIdle());
    }
};

std::atomic<bool> g_unregistered{false};
std::atomic<int> g_lateCalls{0};
std::atomic<int> g_calls{0};
void slowCallback(uint32_t, const char*, uint32_t, const char*, uint32_t, uint32_t, uint32_t)
{
    ++g_calls;
    QThread::msleep(20); // stay in flight for a while
    if (g_unregistered)
        ++g_lateCalls;
}

std::mutex g_seenMutex;
QStringList g_seen;
uint32_t g_watched = 0;
void recordStatus(uint32_t, const char*, uint32_t value, const char*, uint32_t, uint32_t, uint32_t)
{
    if (value != g_watched)
        return;
    QKBuffer buffer;
    const QString text = VTGetChannelStatus(value, buffer) ? buffer.GetText() : QString();
    std::lock_guard<std::mutex> lock(g_seenMutex);
    if (g_seen.isEmpty() || g_seen.last() != text)
        g_seen << text;
}

} // namespace

TEST_F(DownloadTest, NewChannelIsDownloadedWithItsStoriesStatusAndMessagesOnTheRightThreads)
{
    const uint32_t id = subscribeToFeed(threeItems());
    EXPECT_GE(server.requestCount("/feed.xml"), 1);
    EXPECT_EQ(sortedHeadlines(id), QStringList({"First story", "Second story", "Third story"}));
    EXPECT_TRUE(
        QRegularExpression("^Updated \\d\\d:\\d\\d, 3 new stories$").match(status(id)).hasMatch())
        << status(id).toStdString();

    const uint32_t first = numberOf(id, "First story");
    EXPECT_EQ(textAttribute(id, first, "Category"), "News/Local");
    EXPECT_EQ(attribute(id, first, "Bundlet Type"), uint32_t(VTBUNDLET_NEWS));
    EXPECT_EQ(attribute(id, first, "Read"), 0u);
    EXPECT_EQ(unreadCount(id), 3);
    for (const char* message :
         {"REFRESHCODE_CHANNEL_UPDATED", "REFRESHCODE_CHANNEL_COUNTER_CHANGED",
          "REFRESHCODE_CHANNEL_STATUS_CHANGED"})
        EXPECT_TRUE(recorder().hasMessage(message, id)) << message;

    // Worker callbacks arrive off the user interface thread, window messages on it.
    QThread* ui = QCoreApplication::instance()->thread();
    const auto events = recorder().callbacks(VTNOTIFY_ENGINE_EVENT);
    EXPECT_TRUE(std::any_of(events.begin(), events.end(),
                            [&](const Callback& e) { return e.value == id && e.thread != ui; }));
    for (const auto& m : recorder().messages()) {
        EXPECT_EQ(m.thread, ui) << m.name.toStdString();
        EXPECT_EQ(m.window, 7u);
    }
}

TEST_F(DownloadTest, ChangedItemUpdatesItsStoryAndKeepsTheMarks)
{
    const uint32_t id = subscribeToFeed(threeItems());
    const uint32_t second = numberOf(id, "Second story");
    ASSERT_EQ(VTMarkStoriesRead(id, {second}, 1), 1);
    auto items = threeItems();
    items[1].title = "Second story, corrected";
    serve(rss(items));
    recorder().clear();
    updateNow(id);

    EXPECT_EQ(storyCount(id), 3);
    EXPECT_EQ(numberOf(id, "Second story, corrected"), second);
    EXPECT_EQ(attribute(id, second, "Read"), 1u);
    EXPECT_EQ(lastChanged(), std::vector<uint32_t>{second});
}

// A failed update changes no stored story, in the model or on disk, and says what failed.
TEST_F(DownloadTest, FailedUpdateLeavesTheStoriesAndSaysWhy)
{
    const struct {
        QByteArray body;
        int status;
        const char* says;
    } cases[] = {
        {"<rss version=\"2.0\"><channel><item><title>Cut", 200, "the feed cannot be read"},
        {"oops", 500, "HTTP 500"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const uint32_t id = subscribeToFeed(threeItems());
        const QStringList before = headlines(id);
        server.setRoute("/feed.xml", c.body, "application/rss+xml", c.status);
        updateNow(id);
        EXPECT_EQ(headlines(id), before);
        EXPECT_TRUE(status(id).startsWith(QString("Update failed: ") + c.says))
            << status(id).toStdString();
        reopen();
        EXPECT_EQ(headlines(id), before);
    }
}

// A feed cut off in the middle keeps the stories before the break, and the status says so.
TEST_F(DownloadTest, DamagedFeedKeepsTheStoriesBeforeTheDamage)
{
    const QByteArray feed = rss(threeItems());
    serve(feed.left(feed.indexOf("<title>Third story")));
    const uint32_t id = subscribe("Cut");
    EXPECT_EQ(storyCount(id), 2);
    EXPECT_TRUE(status(id).contains("the feed is damaged")) << status(id).toStdString();
}

TEST_F(DownloadTest, DeletedStoryDoesNotComeBack)
{
    const uint32_t id = subscribeToFeed(threeItems());
    ASSERT_EQ(VTDeleteStories(id, {numberOf(id, "Second story")}), 1);
    const QStringList left{"First story", "Third story"};
    ASSERT_EQ(sortedHeadlines(id), left);
    updateNow(id);
    EXPECT_EQ(sortedHeadlines(id), left);
    EXPECT_TRUE(status(id).endsWith(", no new stories")) << status(id).toStdString();
    reopen(); // nor after the engine starts again
    updateNow(id);
    EXPECT_EQ(sortedHeadlines(id), left);
}

TEST_F(DownloadTest, DownloadedStoryIsReadFromItsLocalCopy)
{
    server.setRoute("/story.html",
                    "<html><head><title>x</title></head><body>Full text</body></html>",
                    "text/html");
    const QString link = server.url("/story.html").toString();
    const uint32_t id = subscribeToFeed({{"s", "Story with page", "", link, "", "", ""}});
    const uint32_t number = numberOf(id, "Story with page");
    QKBuffer buffer;
    EXPECT_EQ(VTGetCachedURL(link, buffer), 0);

    recorder().clear();
    ASSERT_EQ(VTDownloadStory(id, number), 1);
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    EXPECT_EQ(attribute(id, number, "Story Local"), 1u);
    EXPECT_EQ(lastChanged(), std::vector<uint32_t>{number});

    // The copy is given out under the engine's scheme, never as a local file, and that address
    // leads back to the stored file and to nothing else of the data folder.
    ASSERT_EQ(VTGetCachedURL(link, buffer), 1);
    const QString stored = buffer.GetText();
    EXPECT_TRUE(stored.startsWith("vantrel-cache:/pages/")) << stored.toStdString();
    ASSERT_EQ(VTGetCachedFile(stored, buffer), 1);
    const QUrl local = QUrl::fromLocalFile(buffer.GetText());
    EXPECT_TRUE(local.toLocalFile().startsWith(rhtest::engineDataDir() + "/pages/"));
    EXPECT_TRUE(readFile(local.toLocalFile()).contains("Full text"));
    ASSERT_EQ(VTGetCachedURL(local.toString(), buffer), 1); // the file itself: the same address
    EXPECT_EQ(buffer.GetText(), stored);
    for (const QString& other : {QStringLiteral("vantrel-cache:/vantrel.db"),
                                 QString(stored).replace("/pages/", "/pages/../"),
                                 QStringLiteral("vantrel-cache:/pages/"), local.toString(), link})
        EXPECT_EQ(VTGetCachedFile(other, buffer), 0) << other.toStdString();

    EXPECT_EQ(caps(id, number, VTCAPS_DOWNLOAD).canDownload, 0u);
    EXPECT_EQ(VTDownloadStory(id, number), 0); // nothing left to download

    // The story moves to another page: the old copy is dropped and it can be downloaded again.
    serve(rss({{"s", "Story with page", "", link + "?v=2", "", "", ""}}));
    updateNow(id);
    EXPECT_EQ(attribute(id, number, "Story Local"), 0u);
    EXPECT_FALSE(QFileInfo::exists(local.toLocalFile()));
    EXPECT_EQ(VTGetCachedURL(link, buffer), 0);
    EXPECT_EQ(VTDownloadStory(id, number), 1);
}

// A feed from the network may only point at the network: its logo is stored, but a local
// file it names is never read, nor offered as its stories' package or page.
TEST_F(DownloadTest, NetworkFeedGetsItsLogoButNeverReadsLocalFiles)
{
    const QByteArray png("\x89PNG\r\n\x1a\nlogo", 12);
    const QString secret = writeFile(rhtest::testRoot() + "/secret.png", png);
    const QString local = QUrl::fromLocalFile(secret).toString();
    server.setRoute("/logo.png", png, "image/png");
    for (const QString& logo : {server.url("/logo.png").toString(), local}) {
        SCOPED_TRACE(logo.toStdString());
        const QByteArray path = "/" + QByteArray::number(qHash(logo)) + ".xml";
        serve(rss({{"s", "Story", "", local, "", local, "image/png"}}, "Feed", logo), path);
        const uint32_t id = subscribe("Logo", path);
        QString stored;
        const bool hasLogo =
            withChannel(id, [&](CService* c) { return c->GetLogoBitmapFile(stored) == 1; });
        EXPECT_EQ(hasLogo, logo != local);
        if (hasLogo) {
            EXPECT_EQ(QFileInfo(stored).absolutePath(), rhtest::engineDataDir() + "/logos");
            EXPECT_TRUE(QFileInfo(stored).isFile());
        }
        const uint32_t number = numberOf(id, "Story");
        EXPECT_EQ(attribute(id, number, "Bundlet Type"), uint32_t(VTBUNDLET_NEWS));
        EXPECT_EQ(VTPlayStory(id, number, nullptr), 0);
        EXPECT_EQ(VTDownloadStory(id, number), 0);
    }
}

TEST_F(DownloadTest, SuspendedDownloadsStopScheduledUpdatesButNotForcedOnes)
{
    ASSERT_EQ(VTSetDownloadEnabled(0), 1);
    EXPECT_EQ(answer(VTGetDownloadEnabled), 0);
    const uint32_t id = subscribeToFeed(threeItems());
    EXPECT_EQ(server.requestCount("/feed.xml"), 0);
    EXPECT_EQ(storyCount(id), 0);
    updateNow(id);
    EXPECT_EQ(storyCount(id), 3);
}

TEST_F(DownloadTest, DisabledChannelIsNotDownloaded)
{
    serve(rss(threeItems()));
    vantrel::ChannelSeed desc;
    desc.name = "Off";
    desc.url = server.url("/feed.xml").toString();
    desc.enabled = false;
    const uint32_t id = engine()->addChannel(desc);
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    EXPECT_EQ(server.requestCount("/feed.xml"), 0);
    EXPECT_EQ(channelEnabled(id), 0);
    EXPECT_EQ(status(id), "Disabled");
    ASSERT_EQ(VTEnableChannel(id, 1), 1);
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    EXPECT_EQ(storyCount(id), 3);
    EXPECT_TRUE(status(id).startsWith("Updated ")) << status(id).toStdString();
    for (const char* message :
         {"REFRESHCODE_CHANNEL_STATUS_CHANGED", "REFRESHCODE_CHANNEL_ACTIVE_STATE_CHANGED"})
        EXPECT_TRUE(recorder().hasMessage(message, id)) << message;
}

TEST_F(DownloadTest, NoCallbackRunsAfterUnregisterReturns)
{
    g_unregistered = false;
    g_lateCalls = 0;
    g_calls = 0;
    ASSERT_EQ(VTRegisterNotificationCallback(VTNOTIFY_ENGINE_EVENT, &slowCallback), 1);
    serve(rss(threeItems()));
    subscribe("Busy", "/feed.xml", false);
    // Let the worker start calling, then unregister while it may be inside the callback.
    ASSERT_TRUE(rhtest::waitFor([] { return g_calls.load() > 0; }));
    ASSERT_EQ(VTUnRegisterNotificationCallback(&slowCallback), 1);
    g_unregistered = true;
    EXPECT_EQ(VTUnRegisterNotificationCallback(&slowCallback), 0);
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    EXPECT_EQ(g_lateCalls.load(), 0);
}

TEST_F(DownloadTest, TheStatusSaysReadingOnceTheDownloadIsOver)
{
    const uint32_t id = subscribeToFeed(threeItems());
    g_watched = id;
    g_seen.clear();
    ASSERT_EQ(VTRegisterNotificationCallback(VTNOTIFY_ENGINE_EVENT, &recordStatus), 1);
    updateNow(id);
    ASSERT_EQ(VTUnRegisterNotificationCallback(&recordStatus), 1);
    std::lock_guard<std::mutex> lock(g_seenMutex);
    EXPECT_EQ(g_seen.mid(0, 2), QStringList({"Connecting...", "Reading..."}))
        << g_seen.join('|').toStdString();
}

TEST_F(DownloadTest, StoppingTheEngineCancelsAHangingDownload)
{
    server.setStall("/feed.xml");
    const uint32_t id = addFeedChannel("Hanging", server.url("/feed.xml").toString());
    ASSERT_TRUE(rhtest::waitFor([&] { return status(id) == "Connecting..."; }));
    EXPECT_TRUE(withChannel(id, [](CService* c) { return c->GetFlags() & VTCHANNELFLAG_STATE; }));
    rhtest::engine::stop(); // returns although the server never answers
    // The next start may try the channel again at once; that try is refused quickly, so what
    // is left to see is whether the hanging download was ended.
    server.setRoute("/feed.xml", "gone", "text/plain", 404);
    ASSERT_TRUE(rhtest::engine::start());
    EXPECT_EQ(storyCount(id), 0);
    EXPECT_TRUE(rhtest::waitFor([&] { return status(id) != "Connecting..."; }));
}

TEST_F(DownloadTest, ReadersSeeAConsistentModelWhileTheWorkerWrites)
{
    std::vector<Item> items;
    for (int i = 0; i < 300; ++i)
        items.push_back(
            {QString("g%1").arg(i), QString("Story %1").arg(i), "text", "", "A/B", "", ""});
    serve(rss(items));
    const uint32_t id = subscribe("Large", "/feed.xml", false);
    // Read everything over and over while the first download lands.
    bool consistent = true;
    rhtest::waitFor([&] {
        return withChannel(id, [&](CService* c) {
            const int n = c ? c->GetNoStories() : 0;
            for (int i = 0; i < n; ++i) {
                uint32_t ch = 0, number = 0;
                consistent = consistent && CService::ParseStoryID(c->GetStoryID(i), ch, number) &&
                             ch == id && c->GetStoryIndex(number) == i;
            }
            return n == 300;
        });
    });
    EXPECT_TRUE(consistent);
    EXPECT_EQ(storyCount(id), 300);
}

TEST_F(DownloadTest, RulesActOnTheNextDownloadAndOnStoredStoriesOnRequest)
{
    const uint32_t id = subscribeToFeed(threeItems());
    vantrel::AlertRule phrase;
    phrase.name = "Tides";
    phrase.words = {"high tide"};
    vantrel::FilterRule ads;
    ads.name = "Adverts";
    ads.action = vantrel::FilterRule::Action::Delete;
    ads.conditions = {{vantrel::FilterCondition::Field::Headline,
                       vantrel::FilterCondition::Test::Matches, "^(ad|sponsored):", 0}};
    ASSERT_TRUE(engine()->setAlertRules({phrase}));
    ASSERT_TRUE(engine()->setFilterRules({ads}));
    EXPECT_EQ(storyCount(VT_ALERTS_CHANNEL_ID), 0); // nothing is raised before a download

    std::vector<Item> items = threeItems();
    items.insert(items.end(), {{"g4", "Ad: boats for sale", "high tide prices", "", "", "", ""},
                               {"g5", "Sponsored: high tide tours", "", "", "", "", ""},
                               {"g6", "Bad news", "The high tide came", "", "", "", ""},
                               {"g7", "Advice: a high tidewater", "", "", "", "", ""}});
    serve(rss(items));
    updateNow(id);
    EXPECT_EQ(sortedHeadlines(id), QStringList({"Advice: a high tidewater", "Bad news",
                                                "First story", "Second story", "Third story"}));
    ASSERT_EQ(storyCount(VT_ALERTS_CHANNEL_ID), 1);
    const uint32_t alert = numberOf(VT_ALERTS_CHANNEL_ID, "Bad news");
    const uint32_t hit = numberOf(id, "Bad news");
    EXPECT_EQ(textAttribute(VT_ALERTS_CHANNEL_ID, alert, "Alert Name"), "Tides");
    EXPECT_EQ(attribute(VT_ALERTS_CHANNEL_ID, alert, "Alert Channel Id"), id);
    EXPECT_EQ(attribute(VT_ALERTS_CHANNEL_ID, alert, "Alert Story Id"), hit);
    EXPECT_EQ(attribute(id, hit, "Alerted"), 1u);
    EXPECT_TRUE(recorder().hasMessage("REFRESHCODE_CHANNEL_UPDATED", VT_ALERTS_CHANNEL_ID));
    updateNow(id); // the same story downloaded again raises no second alert
    EXPECT_EQ(storyCount(VT_ALERTS_CHANNEL_ID), 1);

    // Applied to the stored stories: the second story is deleted, a kept one is spared.
    ads.conditions[0].value = "story$";
    ASSERT_TRUE(engine()->setFilterRules({ads}));
    ASSERT_EQ(VTKeepStory(id, numberOf(id, "First story"), numberOf(id, "First story"), 1), 1);
    recorder().clear();
    int changed = -1;
    engine()->applyFiltersToStored([&](int n) { changed = n; });
    ASSERT_TRUE(rhtest::waitFor([&] { return changed >= 0; }));
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(sortedHeadlines(id),
              QStringList({"Advice: a high tidewater", "Bad news", "First story"}));
    EXPECT_FALSE(recorder().messages("REFRESHCODE_STORIES_DELETED").empty());
}

// A large first download is stored in parts: every story and every alert arrives, alerts
// point at their own stories whichever part they are in, and the status counts them all.
TEST_F(DownloadTest, ALargeFirstDownloadArrivesWholeWithItsAlerts)
{
    vantrel::AlertRule storms;
    storms.name = "Storms";
    storms.words = {"storm"};
    ASSERT_TRUE(engine()->setAlertRules({storms}));
    const std::vector<int> stormy = {10, 700, 1150};
    std::vector<Item> items;
    for (int i = 0; i < 1200; ++i) {
        const bool storm = std::count(stormy.begin(), stormy.end(), i) > 0;
        items.push_back({QString("g%1").arg(i), QString("Story %1").arg(i),
                         storm ? "a storm" : "calm", "", "", "", ""});
    }
    serve(rss(items));
    const uint32_t id = subscribe("Large");
    QKBuffer status;
    ASSERT_EQ(VTGetChannelStatus(id, status), 1);
    EXPECT_TRUE(status.GetText().endsWith("1200 new stories")) << status.GetText().toStdString();
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(storyCount(id), 1200);
        ASSERT_EQ(storyCount(VT_ALERTS_CHANNEL_ID), 3);
        for (int i : stormy) {
            const QString headline = QString("Story %1").arg(i);
            EXPECT_EQ(attribute(VT_ALERTS_CHANNEL_ID, numberOf(VT_ALERTS_CHANNEL_ID, headline),
                                "Alert Story Id"),
                      numberOf(id, headline));
        }
        reopen();
    }
}
