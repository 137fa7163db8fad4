// The store: what the user did survives a restart; a locked or damaged store is handled.

#include "tests/vantrel/engine_fixture.h"
#include "vantrel/core/store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdio>
#include <future>
#include <thread>
#include <tuple>

using namespace enginetest;

namespace
{

class StoreTest : public EngineTest
{
protected:
    uint32_t story(uint32_t channel, const QString& headline, const QString& summary = {})
    {
        return addStory(channel, headline, summary, {}, "http://example.invalid/" + headline);
    }
};

// An engine on the folder without demo content or download worker.
vantrel::Engine::Options quietOptions(const QString& dir, int lockWaitMs = 20000)
{
    vantrel::Engine::Options options;
    options.dataDir = dir;
    options.seedDemo = false;
    options.startWorker = false;
    options.storeLockWaitMs = lockWaitMs;
    return options;
}

// A store in dir holding one channel named "Kept" with 400 stories; returns its file.
QString storeWithAChannel(const QString& dir)
{
    QDir().mkpath(dir);
    std::vector<Item> items;
    for (int i = 0; i < 400; ++i)
        items.push_back({QString("g%1").arg(i), QString("Story %1").arg(i),
                         QString("Story %1 text. ").arg(i).repeated(12), "", "", "", ""});
    writeFile(dir + "/feed.xml", rss(items));
    vantrel::Engine engine(quietOptions(dir));
    vantrel::ChannelSeed channel;
    channel.name = "Kept";
    channel.url = QUrl::fromLocalFile(dir + "/feed.xml").toString();
    engine.updateChannelNow(engine.addChannel(channel));
    return dir + "/vantrel.db";
}

QStringList channelNames(vantrel::Engine& engine)
{
    QStringList names;
    engine.lock();
    for (int i = 0; i < engine.services()->GetNoServices(); ++i) {
        QString name;
        engine.services()->GetService(i)->GetDisplayName(name);
        names << name;
    }
    engine.unlock();
    return names;
}

QStringList movedAside(const QString& dir)
{
    return QDir(dir).entryList({"vantrel.db.damaged-*"}, QDir::Files, QDir::Name);
}

// Another program's hold on the store: a connection of its own, on a thread of its own, in a
// write transaction; an exclusive hold keeps even readers out. It lets go after releaseMs, or
// when letGo() is called.
struct StoreHolder {
    StoreHolder(const QString& path, bool exclusive, int releaseMs = 60000)
        : thread([=, released = release.get_future()] {
              const QString name = QString("holder-%1").arg(quintptr(this));
              {
                  QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
                  db.setDatabaseName(path);
                  QSqlQuery q(db);
                  held.set_value(db.open() &&
                                 (!exclusive || q.exec("PRAGMA locking_mode=EXCLUSIVE")) &&
                                 q.exec("BEGIN IMMEDIATE") &&
                                 q.exec("INSERT OR REPLACE INTO meta VALUES ('holder', 'x')"));
                  released.wait_for(std::chrono::milliseconds(releaseMs));
                  q.exec("COMMIT");
              }
              QSqlDatabase::removeDatabase(name);
          })
    {
        holding = held.get_future().get();
    }
    ~StoreHolder()
    {
        letGo();
        thread.join();
    }
    void letGo()
    {
        if (!letGoCalled)
            release.set_value();
        letGoCalled = true;
    }

    std::promise<bool> held;
    std::promise<void> release;
    std::thread thread;
    bool holding = false;
    bool letGoCalled = false;
};

} // namespace

TEST_F(StoreTest, MarksDeletionsSwitchesAlertsAndChannelStateSurviveAReopen)
{
    const uint32_t id = eb::addChannel("Daily News", "News");
    const uint32_t a = story(id, "a");
    const uint32_t b = story(id, "b");
    const uint32_t c = story(id, "c");
    ASSERT_EQ(VTMarkStoriesRead(id, {a, c}, 1), 1);
    ASSERT_EQ(VTKeepStory(id, b, b, 1), 1);
    ASSERT_EQ(VTDeleteStories(id, {c}), 1);
    ASSERT_EQ(VTEnableChannel(id, 0), 1);
    const uint32_t alert = eb::addAlert(id, a, "Storms", "Weather");
    uint32_t mask = 99;
    ASSERT_EQ(VTGetWorkgroupRestrictions(mask), 1);
    EXPECT_EQ(mask, 0u);
    ASSERT_EQ(VTSetDownloadEnabled(0), 1);
    ASSERT_EQ(VTSetAutoplayEnabled(0), 1);
    ASSERT_TRUE(engine()->setWorkgroupRestrictions(VTRESTRICT_ALERT_SETTINGS));
    ASSERT_TRUE(eb::waitForIdle());
    recorder().clear();
    ASSERT_TRUE(eb::setChannelCategory(id, "News/Local"));
    ASSERT_TRUE(eb::renameChannel(id, "New name"));
    EXPECT_FALSE(eb::renameChannel(id, "  "));
    EXPECT_FALSE(eb::setChannelCategory(4242, "X"));
    ASSERT_TRUE(eb::waitForIdle());
    EXPECT_TRUE(recorder().hasMessage("REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED", id));

    reopen();
    EXPECT_EQ(headlines(id), (QStringList{"a", "b"}));
    EXPECT_EQ((std::vector<uint32_t>{attribute(id, a, "Read"), attribute(id, b, "Read"),
                                     attribute(id, b, "Keep"), attribute(id, a, "Alerted")}),
              (std::vector<uint32_t>{1, 0, 1, 1}));
    EXPECT_EQ((std::vector<int>{channelEnabled(id), answer(VTGetDownloadEnabled),
                                answer(VTGetAutoplayEnabled)}),
              (std::vector<int>{0, 0, 0}));
    ASSERT_EQ(VTGetWorkgroupRestrictions(mask), 1);
    EXPECT_EQ(mask, uint32_t(VTRESTRICT_ALERT_SETTINGS));
    EXPECT_EQ(textAttribute(VT_ALERTS_CHANNEL_ID, alert, "Alert Name"), "Storms");
    EXPECT_EQ(attribute(VT_ALERTS_CHANNEL_ID, alert, "Alert Story Id"), a);
    CServices* services = GetCServices();
    QString category, name;
    EXPECT_EQ(services->GetServiceByID(id)->GetCategory(category, 0), 1);
    services->GetServiceByID(id)->GetDisplayName(name);
    ReleaseCServices();
    EXPECT_EQ(QStringList({category, name}), QStringList({"News/Local", "New name"}));

    EXPECT_GT(story(id, "d"), c); // never a deleted story's number
}

// A store that another connection holds is waited for and opened whole, never taken for
// damage; the engine does not start on an empty store while it stays locked.
TEST(StoreLock, BusyStoreIsWaitedForAndNeverMovedAside)
{
    for (const bool exclusive : {false, true}) {
        SCOPED_TRACE(exclusive ? "held exclusively" : "held by a writer");
        const QString dir = rhtest::testRoot() + (exclusive ? "/exclusive" : "/writer");
        const QString path = storeWithAChannel(dir);
        StoreHolder holder(path, exclusive, 400);
        ASSERT_TRUE(holder.holding);
        vantrel::Engine engine(quietOptions(dir));
        ASSERT_TRUE(engine.isOpen()) << engine.engineStatus().toStdString();
        EXPECT_EQ(channelNames(engine), QStringList{"Kept"});
        EXPECT_EQ(engine.engineStatus(), QString());
        EXPECT_EQ(movedAside(dir), QStringList());
    }
}

TEST(StoreLock, StoreThatStaysLockedStopsTheStartAndSaysWhy)
{
    const QString dir = rhtest::testRoot() + "/locked";
    const QString path = storeWithAChannel(dir);
    StoreHolder holder(path, true);
    ASSERT_TRUE(holder.holding);
    EXPECT_FALSE(vantrel::Engine::start(quietOptions(dir, 300)));
    QKBuffer why;
    EXPECT_EQ(VTGetEngineStatus(why), 0); // what the program shows
    EXPECT_TRUE(why.GetText().contains("in use by another program")) << why.GetText().toStdString();
    EXPECT_EQ(movedAside(dir), QStringList());

    holder.letGo();
    vantrel::Engine engine(quietOptions(dir));
    ASSERT_TRUE(engine.isOpen());
    EXPECT_EQ(channelNames(engine), QStringList{"Kept"});
}

// Only real damage moves a store aside, and its journal files go with it.
TEST(StoreDamage, DamagedStoreIsMovedAsideWithItsJournalAndTheEngineStartsEmpty)
{
    const struct {
        const char* name;
        bool keepHeader; // a real store with malformed pages, else no database at all
    } cases[] = {{"not a database", false}, {"malformed pages", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString dir = rhtest::testRoot() + "/" + c.name;
        const QString path = storeWithAChannel(dir);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.size() > 16 * 4096);
        file.seek(c.keepHeader ? 8 * 4096 : 0);
        file.write(QByteArray(int(file.size() - file.pos()), '\xA5'));
        file.close();
        QFile::remove(path + "-wal");
        QFile::remove(path + "-shm");
        const QByteArray damaged = readFile(path);
        if (!c.keepHeader) {
            for (const char* side : {"-wal", "-shm"})
                writeFile(path + side, QByteArray("journal") + side);
        }

        vantrel::Engine engine(quietOptions(dir));
        ASSERT_TRUE(engine.isOpen());
        EXPECT_EQ(channelNames(engine), QStringList());
        const QStringList aside = movedAside(dir);
        ASSERT_FALSE(aside.isEmpty());
        EXPECT_TRUE(engine.storeNote().contains(aside.first())) << engine.storeNote().toStdString();
        EXPECT_EQ(engine.engineStatus(), engine.storeNote());
        EXPECT_EQ(readFile(dir + "/" + aside.first()), damaged);
        if (!c.keepHeader) {
            EXPECT_EQ(aside,
                      QStringList({aside.first(), aside.first() + "-shm", aside.first() + "-wal"}));
            EXPECT_EQ(readFile(dir + "/" + aside.first() + "-wal"), QByteArray("journal-wal"));
        }
        vantrel::ChannelSeed channel; // the new store keeps what is added to it
        channel.name = "Fresh";
        EXPECT_NE(engine.addChannel(channel), 0u);
    }
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
    const QString blocker = writeFile(rhtest::testRoot() + "/not-a-folder", {});
    qputenv("VANTREL_DATA_DIR", QFile::encodeName(blocker + "/vantrel"));
    const int started = ENGCTLInitialize(0);
    qunsetenv("VANTREL_DATA_DIR");
    EXPECT_EQ(started, 0);
    EXPECT_TRUE(vantrel::Engine::startError().contains("cannot be opened"))
        << vantrel::Engine::startError().toStdString();
    EXPECT_EQ(vantrel::Engine::instance(), nullptr);
    EXPECT_EQ(GetCServices(), nullptr);
}

// A process killed while it writes loses at most the change in flight: every channel has
// either all of its stories or none, and the store opens without damage.
TEST(StoreCrash, ChildWritesUntilKilled)
{
    const QString dir = qEnvironmentVariable("VANTREL_CRASH_CHILD_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "runs only as the child of KilledWriterLosesOnlyTheChangeInFlight";
    std::vector<Item> items;
    for (int i = 0; i < 3000; ++i)
        items.push_back(
            {QString("g%1").arg(i), QString("Story %1").arg(i), "text", "", "", "", ""});
    writeFile(dir + "/feed.xml", rss(items));
    vantrel::Engine engine(quietOptions(dir));
    ASSERT_TRUE(engine.isOpen());
    for (int n = 1;; ++n) {
        vantrel::ChannelSeed desc;
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

TEST_F(StoreTest, AlertRulesOfAnEarlierStoreKeepWorkingAndRulesSurviveAReopen)
{
    ASSERT_NE(engine()->addAlertRule("Floods", {"flood"}, "Water"), 0u);
    eb::stop();
    // The rule table as stores had it before rules had matching choices and filters.
    ASSERT_TRUE(execSql({"CREATE TABLE old_rules AS SELECT id, name, words, category"
                         " FROM alert_rules",
                         "DROP TABLE alert_rules", "ALTER TABLE old_rules RENAME TO alert_rules",
                         "DROP TABLE filter_rules", "PRAGMA user_version=2"}));
    ASSERT_TRUE(eb::start());
    const uint32_t id = eb::addChannel("Weather", "Coast");
    auto rules = engine()->alertRules();
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_TRUE(rules[0].enabled && rules[0].wholeWords && !rules[0].headlinesOnly);
    EXPECT_EQ(engine()->countAlertMatches(rules[0]), 0);
    story(id, "River flood");
    EXPECT_EQ(engine()->countAlertMatches(rules[0]), 1);

    rules[0].headlinesOnly = true;
    rules[0].matchCase = true;
    rules[0].categories = {"Coast"};
    rules.push_back(rules[0]);
    rules[1].id = 0;
    rules[1].name = "floods"; // names differ only in case
    QString error;
    EXPECT_FALSE(engine()->setAlertRules(rules, &error));
    EXPECT_EQ(error, "Two alerts are named \"floods\": give each its own name.");
    rules.pop_back();
    ASSERT_TRUE(engine()->setAlertRules(rules, &error)) << error.toStdString();
    vantrel::FilterRule f;
    f.name = "Old";
    f.action = vantrel::FilterRule::Action::Keep;
    f.matchAll = false;
    f.conditions = {
        {vantrel::FilterCondition::Field::Age, vantrel::FilterCondition::Test::OlderThan, {}, 3},
        {vantrel::FilterCondition::Field::Link, vantrel::FilterCondition::Test::Matches,
         "\\.invalid/", 0}};
    ASSERT_TRUE(engine()->setFilterRules({f, f}, &error)) << error.toStdString();

    reopen();
    rules = engine()->alertRules();
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(std::tuple(rules[0].headlinesOnly, rules[0].matchCase, rules[0].categories),
              std::tuple(true, true, QStringList{"Coast"}));
    const auto filters = engine()->filterRules();
    ASSERT_EQ(filters.size(), 2u);
    ASSERT_EQ(filters[1].conditions.size(), 2u);
    EXPECT_NE(filters[0].id, filters[1].id);
    EXPECT_EQ(std::tuple(filters[1].matchAll, filters[1].conditions[0].days,
                         filters[1].conditions[1].value),
              std::tuple(false, 3, QString("\\.invalid/")));
    EXPECT_EQ(engine()->countFilterMatches(filters[1]), 1);
}

TEST_F(StoreTest, RulesJudgeEveryStoredStoryEvenBeforeItsChannelIsListed)
{
    const uint32_t id = eb::addChannel("Weather", "Coast");
    ASSERT_NE(story(id, "Harbour news", "<p>A <b>storm</b> is near</p>"), 0u);
    ASSERT_NE(story(id, "Road news", "Calm roads"), 0u);
    ASSERT_NE(story(id, "Storm over"), 0u);
    using F = vantrel::FilterCondition;
    vantrel::FilterRule gone;
    gone.name = "Storms";
    gone.action = vantrel::FilterRule::Action::Delete;
    gone.conditions = {{F::Field::Summary, F::Test::Contains, "storm", 0}};
    vantrel::FilterRule roads = gone;
    roads.name = "Roads";
    roads.action = vantrel::FilterRule::Action::MarkRead;
    roads.conditions = {{F::Field::Headline, F::Test::Contains, "road", 0}};
    ASSERT_TRUE(engine()->setFilterRules({gone, roads}));

    // After a start the channel's stories are read only when it is listed, summaries never.
    reopen();
    vantrel::AlertRule alert;
    alert.name = "Storms";
    alert.words = {"storm"};
    EXPECT_EQ(engine()->countAlertMatches(alert), 2);
    alert.headlinesOnly = true;
    EXPECT_EQ(engine()->countAlertMatches(alert), 1);
    EXPECT_EQ(engine()->countFilterMatches(gone), 1);
    EXPECT_EQ(engine()->findStories({id}, "harbour", true).at(0).second.size(), 1u);

    recorder().clear();
    EXPECT_EQ(engine()->applyFiltersNow(), 2);
    EXPECT_EQ(headlines(id), (QStringList{"Road news", "Storm over"}));
    EXPECT_TRUE(engine()->findStories({id}, "harbour", true).at(0).second.empty());
    for (const char* message :
         {"REFRESHCODE_STORIES_DELETED", "REFRESHCODE_STORIES_ATTRIBUTE_CHANGED"})
        EXPECT_TRUE(rhtest::waitFor([&] { return !recorder().messages(message).empty(); }))
            << message;

    // The store's counts followed, before the channel is listed again.
    reopen();
    EXPECT_EQ(unreadCount(id), 1);
    EXPECT_EQ(engine()->applyFiltersNow(), 0);
}

// Pruning takes stories out of memory first and out of the store after; a channel read in
// between must neither show them again nor give their numbers or identities to new stories.
TEST(ChannelLoading, StoriesOnTheirWayOutOfTheStoreStayOutAndKeepTheirTombstones)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("vantrel.db");
    {
        vantrel::Store store(path);
        vantrel::StoreContents contents;
        ASSERT_TRUE(store.open(contents));
        vantrel::Channel channel;
        channel.id = 7;
        channel.name = "Seven";
        channel.nextStory = 4;
        vantrel::Store::Transaction t(store);
        store.saveChannel(t, channel);
        for (uint32_t n : {1u, 2u, 3u}) {
            vantrel::Story s;
            s.number = n;
            s.identity = QStringLiteral("item-%1").arg(n);
            s.headline = s.identity;
            store.saveStory(t, channel.id, s);
        }
        ASSERT_TRUE(t.commit());
        store.closeThreadConnection();
    }
    vantrel::Store store(path);
    vantrel::StoreContents contents;
    ASSERT_TRUE(store.open(contents));
    ASSERT_EQ(contents.channels.size(), 1u);
    vantrel::Channel& channel = *contents.channels.front();
    channel.nextStory = 1; // as if the stored channel had not said
    channel.leaving.insert(3, true);
    channel.leaving.insert(2, false);
    ASSERT_TRUE(channel.ensureLoaded());
    std::vector<uint32_t> numbers;
    for (const vantrel::Story& s : channel.stories)
        numbers.push_back(s.number);
    EXPECT_EQ(numbers, std::vector<uint32_t>{1});
    EXPECT_EQ(channel.tombstones, QSet<QString>{"item-3"});
    EXPECT_EQ(channel.nextStory, 4u);
    store.closeThreadConnection();
}
