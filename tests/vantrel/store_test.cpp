// The store: what the user did is there after the engine starts again, and a damaged store
// is moved aside instead of stopping the engine.

#include "tests/vantrel/engine_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QUrl>
#include <cstdio>

using namespace enginetest;
namespace eb = rhtest::engine;

namespace
{

class StoreTest : public EngineTest
{
protected:
    void reopen()
    {
        eb::stop();
        ASSERT_TRUE(eb::start());
    }
};

eb::StorySpec story(const QString& headline)
{
    eb::StorySpec s;
    s.headline = headline;
    s.url = "http://example.invalid/" + headline;
    return s;
}

} // namespace

TEST_F(StoreTest, MarksDeletionsAndChannelStateSurviveAReopen)
{
    const uint32_t id = eb::addChannel("Daily News", "News/Local");
    const uint32_t a = eb::addStory(id, story("a"));
    const uint32_t b = eb::addStory(id, story("b"));
    const uint32_t c = eb::addStory(id, story("c"));
    ASSERT_EQ(VTMarkStoriesRead(id, {a, c}, 1), 1);
    ASSERT_EQ(VTKeepStory(id, b, b, 1), 1);
    ASSERT_EQ(VTDeleteStories(id, {c}), 1);
    ASSERT_EQ(VTEnableChannel(id, 0), 1);

    reopen();
    EXPECT_EQ(headlines(id), (QStringList{"a", "b"}));
    EXPECT_EQ(attribute(id, a, "Read"), 1u);
    EXPECT_EQ(attribute(id, b, "Read"), 0u);
    EXPECT_EQ(attribute(id, b, "Keep"), 1u);
    int enabled = 1;
    ASSERT_EQ(VTIsChannelEnabled(id, enabled), 1);
    EXPECT_EQ(enabled, 0);
    CServices* services = GetCServices();
    QString category;
    EXPECT_EQ(services->GetServiceByID(id)->GetCategory(category, 0), 1);
    EXPECT_EQ(category, "News/Local");
    ReleaseCServices();

    // A new story after the reopen never takes a deleted story's number.
    EXPECT_GT(eb::addStory(id, story("d")), c);
}

TEST_F(StoreTest, SwitchesAlertsAndRulesSurviveAReopen)
{
    const uint32_t id = eb::addChannel("Weather");
    const uint32_t s = eb::addStory(id, story("Storm"));
    const uint32_t alert = eb::addAlert(id, s, "Storms", "Weather");
    ASSERT_NE(alert, 0u);
    ASSERT_NE(engine()->addAlertRule("Floods", {"flood", "river"}, "Water"), 0u);
    ASSERT_EQ(VTSetDownloadEnabled(0), 1);
    ASSERT_EQ(VTSetAutoplayEnabled(0), 1);
    ASSERT_TRUE(engine()->setWorkgroupRestrictions(VTRESTRICT_ALERT_SETTINGS));

    reopen();
    int value = 1;
    ASSERT_EQ(VTGetDownloadEnabled(value), 1);
    EXPECT_EQ(value, 0);
    ASSERT_EQ(VTGetAutoplayEnabled(value), 1);
    EXPECT_EQ(value, 0);
    uint32_t mask = 0;
    ASSERT_EQ(VTGetWorkgroupRestrictions(mask), 1);
    EXPECT_EQ(mask, uint32_t(VTRESTRICT_ALERT_SETTINGS));
    EXPECT_EQ(attribute(id, s, "Alerted"), 1u);
    EXPECT_EQ(textAttribute(VT_ALERTS_CHANNEL_ID, alert, "Alert Name"), "Storms");
    EXPECT_EQ(attribute(VT_ALERTS_CHANNEL_ID, alert, "Alert Story Id"), s);
    const auto rules = engine()->alertRules();
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].name, "Floods");
    EXPECT_EQ(rules[0].words, (QStringList{"flood", "river"}));
    EXPECT_EQ(rules[0].category, "Water");
}

TEST_F(StoreTest, WorkgroupRestrictionsStartAtZero)
{
    uint32_t mask = 99;
    ASSERT_EQ(VTGetWorkgroupRestrictions(mask), 1);
    EXPECT_EQ(mask, 0u);
}

TEST_F(StoreTest, DamagedStoreIsMovedAsideAndTheEngineStartsEmpty)
{
    eb::addChannel("Doomed");
    eb::stop();
    const QString path = rhtest::engineDataDir() + "/vantrel.db";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(8192, 'x'));
    }
    QFile::remove(path + "-wal");
    QFile::remove(path + "-shm");

    ASSERT_TRUE(eb::start());
    CServices* services = GetCServices();
    ASSERT_NE(services, nullptr);
    EXPECT_EQ(services->GetNoServices(), 0);
    ReleaseCServices();
    QKBuffer note;
    ASSERT_EQ(VTGetEngineStatus(note), 1);
    EXPECT_TRUE(note.GetText().contains("damaged")) << note.GetText().toStdString();
    const QStringList aside =
        QDir(rhtest::engineDataDir()).entryList({"vantrel.db.damaged-*"}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    QFile kept(rhtest::engineDataDir() + "/" + aside.first());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray(8192, 'x'));

    // The new store works.
    const uint32_t id = eb::addChannel("Fresh");
    ASSERT_NE(id, 0u);
    reopen();
    EXPECT_NE(GetCServices()->GetServiceByID(id), nullptr);
    ReleaseCServices();
}

TEST_F(StoreTest, DataDirectoryFollowsTheEnvironment)
{
    QKBuffer buffer;
    ASSERT_EQ(VTGetDirectory(1, buffer), 1);
    EXPECT_EQ(buffer.GetText(), rhtest::engineDataDir());
    ASSERT_EQ(VTGetDirectory(0, buffer), 1);
    EXPECT_EQ(buffer.GetText(), QCoreApplication::applicationDirPath());
    EXPECT_EQ(VTGetDirectory(5, buffer), 0);

    qputenv("VANTREL_DATA_DIR", QFile::encodeName(rhtest::testRoot() + "/elsewhere"));
    EXPECT_EQ(vantrel::Engine::dataDirectory(), rhtest::testRoot() + "/elsewhere");
    qunsetenv("VANTREL_DATA_DIR");
}

TEST(StoreOpen, EngineDoesNotStartWithoutAUsableDataDirectory)
{
    const QString blocker = rhtest::testRoot() + "/not-a-folder";
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("VANTREL_DATA_DIR", QFile::encodeName(blocker + "/vantrel"));
    const int started = ENGCTLInitialize(0);
    qunsetenv("VANTREL_DATA_DIR");
    EXPECT_EQ(started, 0);
    EXPECT_EQ(vantrel::Engine::instance(), nullptr);
    EXPECT_EQ(GetCServices(), nullptr);
}

TEST_F(StoreTest, RenamedAndMovedChannelStaysSoAndTheWindowsAreTold)
{
    const uint32_t id = eb::addChannel("Old name", "News");
    ASSERT_TRUE(eb::waitForIdle());
    recorder().clear();
    ASSERT_TRUE(eb::setChannelCategory(id, "Sport/Golf"));
    ASSERT_TRUE(eb::renameChannel(id, "New name"));
    EXPECT_FALSE(eb::renameChannel(id, "  "));
    EXPECT_FALSE(eb::setChannelCategory(4242, "X"));
    ASSERT_TRUE(eb::waitForIdle());
    EXPECT_TRUE(recorder().hasMessage("REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED", id));
    reopen();
    CServices* services = GetCServices();
    QString text;
    services->GetServiceByID(id)->GetDisplayName(text);
    EXPECT_EQ(text, "New name");
    services->GetServiceByID(id)->GetCategory(text, 0);
    EXPECT_EQ(text, "Sport/Golf");
    ReleaseCServices();
}

// A process killed while it writes loses at most the change in flight: every channel has
// either all of its stories or none, and the store opens without damage.
// An engine on the folder without demo content or download worker.
static vantrel::Engine::Options quietOptions(const QString& dir)
{
    vantrel::Engine::Options options;
    options.dataDir = dir;
    options.seedDemo = false;
    options.startWorker = false;
    return options;
}

TEST(StoreCrash, ChildWritesUntilKilled)
{
    const QString dir = qEnvironmentVariable("VANTREL_CRASH_CHILD_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "runs only as the child of KilledWriterLosesOnlyTheChangeInFlight";
    std::vector<Item> items;
    for (int i = 0; i < 3000; ++i)
        items.push_back(
            {QString("g%1").arg(i), QString("Story %1").arg(i), "text", "", "", "", ""});
    QFile feed(dir + "/feed.xml");
    ASSERT_TRUE(feed.open(QIODevice::WriteOnly));
    feed.write(rss(items));
    feed.close();
    vantrel::Engine engine(quietOptions(dir));
    ASSERT_TRUE(engine.isOpen());
    for (int n = 1;; ++n) {
        vantrel::ChannelSpec desc;
        desc.name = QString("Channel %1").arg(n);
        desc.url = QUrl::fromLocalFile(dir + "/feed.xml").toString();
        engine.updateChannelNow(engine.addChannel(desc));
        std::printf("committed %d\n", n);
        std::fflush(stdout);
    }
}

TEST(StoreCrash, KilledWriterLosesOnlyTheChangeInFlight)
{
    const QString dir = rhtest::testRoot() + "/crash";
    QDir().mkpath(dir);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VANTREL_CRASH_CHILD_DIR", dir);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=StoreCrash.ChildWritesUntilKilled"});
    ASSERT_TRUE(child.waitForStarted());
    QByteArray out;
    while (!out.contains("committed 2\n")) {
        ASSERT_TRUE(child.waitForReadyRead(60000)) << out.toStdString();
        out += child.readAllStandardOutput();
    }
    child.kill(); // in the middle of the next channel's download
    ASSERT_TRUE(child.waitForFinished(10000));

    vantrel::Engine engine(quietOptions(dir));
    ASSERT_TRUE(engine.isOpen());
    EXPECT_EQ(engine.engineStatus(), QString());
    engine.lock();
    CServices* services = engine.services();
    int complete = 0;
    for (int i = 0; i < services->GetNoServices(); ++i) {
        const int stories = services->GetService(i)->GetNoStories();
        EXPECT_TRUE(stories == 0 || stories == 3000) << stories;
        complete += stories == 3000 ? 1 : 0;
    }
    engine.unlock();
    EXPECT_GE(complete, 2);
}
