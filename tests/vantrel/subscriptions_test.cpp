// Channels of one's own: addresses, subscribing, own settings, OPML, older stores.

#include "tests/support/feeds_httpserver.h"
#include "tests/vantrel/engine_fixture.h"
#include "vantrel/core/feedaddress.h"

#include <QDir>

using namespace enginetest;
using vantrel::ChannelFacts;
using vantrel::ChannelSettings;

namespace
{

struct AddressCase {
    const char* typed;
    const char* expected; // the address read, or "" when refused
};

class FeedAddressTest : public ::testing::TestWithParam<AddressCase>
{
};

TEST_P(FeedAddressTest, ReadsWhatPeopleTypeAndRefusesTheRest)
{
    const vantrel::FeedAddress a = vantrel::readFeedAddress(QString::fromUtf8(GetParam().typed));
    if (*GetParam().expected) {
        EXPECT_EQ(a.url.toString(), QString::fromUtf8(GetParam().expected))
            << a.error.toStdString();
    } else {
        EXPECT_FALSE(a.ok()) << a.url.toString().toStdString();
        EXPECT_FALSE(a.error.isEmpty());
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Forms, FeedAddressTest, ::testing::ValuesIn(std::vector<AddressCase>{
    {"https://example.com/feed.xml", "https://example.com/feed.xml"},
    {"  http://example.com/rss#top ", "http://example.com/rss"},
    {"feed://example.com/rss", "http://example.com/rss"},
    {"feeds://example.com/rss", "https://example.com/rss"},
    {"feed:https://example.com/a", "https://example.com/a"},
    {"feed://https://example.com/a", "https://example.com/a"},
    {"example.com/feed", "http://example.com/feed"},
    {"localhost:8080/rss", "http://localhost:8080/rss"},
    {"/tmp/feed.xml", "file:///tmp/feed.xml"},
    {"file:///tmp/../tmp/feed.xml", "file:///tmp/feed.xml"},
    {"", ""}, {"javascript:alert(1)", ""}, {"data:text/xml,<rss/>", ""}, {"ftp://example.com/f", ""},
    {"feed://file:///etc/passwd", ""}, {"http://", ""}, {"http://exa mple.com/", ""},
    {"relative/path", ""}, {"http://user:pw@example.com/", ""}}));
// clang-format on

TEST(FeedAddressKey, SameFeedInOtherFormsIsOneKey)
{
    const QString key = vantrel::feedAddressKey("http://Example.com/feed/");
    for (const char* other :
         {"https://example.com/feed", "http://example.com:80/feed#x", "HTTP://EXAMPLE.COM/feed"})
        EXPECT_EQ(vantrel::feedAddressKey(other), key) << other;
    for (const char* other : {"http://example.com/feed?x=1", "http://example.com:8080/feed",
                              "http://example.org/feed", "http://example.com/Feed"})
        EXPECT_NE(vantrel::feedAddressKey(other), key) << other;
}

class SubscriptionsTest : public EngineTest
{
protected:
    rhtest::LocalHttpServer server;

    QString serve(const QString& path, const std::vector<Item>& items, const QString& title)
    {
        server.setRoute(path, rss(items, title), "application/rss+xml");
        return server.url(path).toString();
    }

    // A channel on the address, once its first download is over.
    uint32_t subscribe(const QString& address, const QString& name, const QString& categories,
                       QString* error = nullptr)
    {
        vantrel::NewChannel c;
        c.address = address;
        c.name = name;
        c.categories = categories;
        uint32_t id = 0;
        const bool added = engine()->subscribeAddress(c, &id, error);
        EXPECT_TRUE(rhtest::engine::waitForIdle());
        return added ? id : 0;
    }

    ChannelFacts facts(uint32_t id)
    {
        ChannelFacts f;
        EXPECT_TRUE(engine()->channelFacts(id, f));
        return f;
    }
};

TEST_F(SubscriptionsTest, AddressSubscribesDownloadsAtOnceAndRefusesItsOtherForms)
{
    engine()->setDownloadEnabled(false); // an added channel downloads all the same
    const QString url = serve("/news.xml", {{"a", "One", "", "", "", "", ""}}, "News");
    const uint32_t id = subscribe(url, "My News", "World / Europe;;");
    ASSERT_NE(id, 0u);
    EXPECT_EQ(storyCount(id), 1);
    EXPECT_TRUE(recorder().hasMessage("REFRESHCODE_CHANNEL_ADDED", id));
    // The person's name stays after the download.
    EXPECT_EQ(QStringList({facts(id).name, facts(id).categories}),
              QStringList({"My News", "World/Europe"}));

    QString error;
    const QString other =
        QString(url).replace("http://", "feed://").replace("news.xml", "news.xml/");
    EXPECT_EQ(subscribe(other, "Again", "", &error), 0u);
    EXPECT_TRUE(error.contains("My News")) << error.toStdString();
    EXPECT_EQ(engine()->allChannelFacts().size(), 1u);

    // Without a name the channel shows its address until its feed names it.
    const uint32_t unnamed = subscribe(serve("/other.xml", {}, "  Other\n News "), "", "");
    ASSERT_NE(unnamed, 0u);
    EXPECT_EQ(facts(unnamed).name, "Other News");
}

TEST_F(SubscriptionsTest, OwnIntervalAndKeepCountAreUsedAndStored)
{
    QByteArray feed = "<rss version=\"2.0\"><channel><title>F</title>";
    for (const char* item : {"<title>Newest</title><pubDate>Wed, 03 Jan 2024 10:00:00 GMT",
                             "<title>Middle</title><pubDate>Tue, 02 Jan 2024 10:00:00 GMT",
                             "<title>Oldest</title><pubDate>Mon, 01 Jan 2024 10:00:00 GMT"})
        feed += QByteArray("<item>") + item + "</pubDate></item>";
    server.setRoute("/f.xml", feed + "</channel></rss>", "application/rss+xml");
    const uint32_t id = subscribe(server.url("/f.xml").toString(), "F", "");
    ASSERT_EQ(storyCount(id), 3);
    ASSERT_EQ(VTKeepStory(id, 0, numberOf(id, "Oldest"), 1), 1);

    ChannelSettings s = facts(id);
    s.updateIntervalSecs = 4 * 3600;
    s.keepStories = 1;
    ASSERT_TRUE(engine()->setChannelSettings(id, s));
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    EXPECT_EQ(sortedHeadlines(id), QStringList({"Newest", "Oldest"})); // kept, and the newest other
    EXPECT_TRUE(recorder().hasMessage("REFRESHCODE_STORIES_DELETED", id));
    EXPECT_NEAR(double(facts(id).nextUpdate - QDateTime::currentSecsSinceEpoch()), 4 * 3600.0, 5.0);

    // A download does not bring the removed story back, and the settings outlive a restart.
    ASSERT_EQ(VTForceChannelConnection(id), 1);
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    EXPECT_EQ(storyCount(id), 2);
    ASSERT_TRUE(engine()->setUpdateIntervalSecs(2 * 3600));
    reopen();
    EXPECT_EQ(std::tuple(facts(id).keepStories, facts(id).updateIntervalSecs,
                         engine()->updateIntervalSecs()),
              std::tuple(1, 4 * 3600, 2 * 3600));
}

TEST_F(SubscriptionsTest, ChangedSettingsAreCheckedAndReported)
{
    const uint32_t a = subscribe(serve("/a.xml", {}, "A"), "A", "News");
    const uint32_t b = subscribe(serve("/b.xml", {}, "B"), "B", "News");
    recorder().clear();
    ChannelSettings s = facts(b);
    QString error;
    s.address = facts(a).address;
    EXPECT_FALSE(engine()->setChannelSettings(b, s, &error));
    EXPECT_TRUE(error.contains("\"A\"")) << error.toStdString();
    s.address = "javascript:alert(1)";
    EXPECT_FALSE(engine()->setChannelSettings(b, s, &error));
    s.address = facts(b).address;
    s.name = " ";
    EXPECT_FALSE(engine()->setChannelSettings(b, s, &error));
    EXPECT_TRUE(recorder().messages().empty());

    s.name = "B";
    s.categories = "Sport/Tennis";
    ASSERT_TRUE(engine()->setChannelSettings(b, s, &error)) << error.toStdString();
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    EXPECT_TRUE(recorder().hasMessage("REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED", b));
    EXPECT_TRUE(engine()->knownCategories().contains("Sport"));
}

TEST_F(SubscriptionsTest, OpmlExportImportsIntoAFreshEngineAsTheSameChannels)
{
    subscribe(serve("/1.xml", {}, "1"), "Kernel News", "Technology/Linux;Reading");
    subscribe(serve("/2.xml", {}, "2"), "Weather & More", "");
    subscribe(serve("/3.xml", {}, "3"), "AC/DC fans", "Music/Rock &slash; Roll");
    rhtest::engine::addChannel("No feed", "Local"); // nothing another reader can use
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    auto shape = [this] {
        QStringList out;
        for (const ChannelFacts& f : engine()->allChannelFacts())
            if (!f.address.isEmpty()) {
                QStringList paths = f.categories.split(';');
                paths.sort();
                out << f.name + "|" + f.address + "|" + paths.join(';');
            }
        out.sort();
        return out;
    };
    const QStringList before = shape();
    const QString file = rhtest::testRoot() + "/channels.opml";
    ASSERT_TRUE(engine()->exportOpml(file));

    rhtest::engine::stop();
    QDir(rhtest::engineDataDir()).removeRecursively();
    ASSERT_TRUE(rhtest::engine::start());
    const vantrel::OpmlImportReport report = engine()->importOpml(file);
    ASSERT_TRUE(report.ok) << report.error.toStdString();
    EXPECT_EQ(report.added, 3);
    EXPECT_EQ(shape(), before);
    // Importing again adds nothing.
    EXPECT_EQ(engine()->importOpml(file).skipped.size(), 3);
    EXPECT_EQ(engine()->allChannelFacts().size(), 3u);
}

TEST_F(SubscriptionsTest, OpmlImportSaysWhatItRefusedAndWhy)
{
    const QByteArray opml = R"opml(<opml version="2.0"><body>
        <outline text="Good" xmlUrl="http://127.0.0.1:1/good.xml"/>
        <outline text="Script" xmlUrl="javascript:alert(1)"/>
        <outline text="Local" xmlUrl="file:///etc/passwd"/>
        </body></opml>)opml";
    const vantrel::OpmlImportReport report =
        engine()->importOpml(opml, QUrl("http://example.com/list.opml"));
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(report.added, 1);
    ASSERT_EQ(report.refused.size(), 2u);
    EXPECT_EQ(report.refused[0].name, "Script");
    EXPECT_TRUE(report.refused[1].reason.contains("files"))
        << report.refused[1].reason.toStdString();
    EXPECT_EQ(report.summary(), "1 channel added, 2 refused.");
    EXPECT_FALSE(engine()->importOpml(QByteArray("<html/>"), QUrl()).ok);
}

TEST_F(SubscriptionsTest, CancelledProbeStopsItsDownloadAndNeverAnswers)
{
    server.setStall("/slow.xml");
    bool answered = false;
    const uint64_t probe = engine()->probeAddress(
        server.url("/slow.xml").toString(), [&](const vantrel::FeedProbe&) { answered = true; });
    ASSERT_TRUE(rhtest::waitFor([&] { return server.requestCount("/slow.xml") == 1; }));
    engine()->cancelProbe(probe);
    // The stalled download was aborted: idle well before the 60 s download timeout, with room
    // for a loaded machine.
    EXPECT_TRUE(rhtest::engine::waitForIdle(15000));
    QCoreApplication::processEvents();
    EXPECT_FALSE(answered);
    EXPECT_TRUE(engine()->allChannelFacts().empty());
    EXPECT_TRUE(engine()->directoryEntries().empty());
}

TEST(StoreMigration, AFirstVersionStoreGainsTheNewColumnsAndKeepsItsChannels)
{
    ASSERT_TRUE(execSql(
        {"CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT)",
         "CREATE TABLE channels (id INTEGER PRIMARY KEY, entry_id INTEGER, name TEXT, url TEXT,"
         " categories TEXT, home_page TEXT, description TEXT, enabled INTEGER, secure INTEGER,"
         " filtered INTEGER, home_server INTEGER, filter_words TEXT, logo_file TEXT,"
         " logo_url TEXT, last_updated INTEGER, last_attempt INTEGER, content_date INTEGER,"
         " status TEXT, next_story INTEGER)",
         "INSERT INTO channels (id, entry_id, name, url, categories, enabled, next_story)"
         " VALUES (5, 0, 'Old One', '', 'News', 1, 1)",
         "PRAGMA user_version=1"}));
    ASSERT_TRUE(rhtest::engine::start());
    ChannelFacts f;
    ASSERT_TRUE(vantrel::Engine::instance()->channelFacts(5, f));
    EXPECT_EQ(std::pair(f.name, f.keepStories), std::pair(QString("Old One"), 0));
    f.keepStories = 7;
    ASSERT_TRUE(vantrel::Engine::instance()->setChannelSettings(5, f));
    rhtest::engine::stop();
    ASSERT_TRUE(rhtest::engine::start());
    ASSERT_TRUE(vantrel::Engine::instance()->channelFacts(5, f));
    EXPECT_EQ(f.keepStories, 7);
}

} // namespace
