// The library calls as the program uses them, and the small helpers.

#include "tests/vantrel/engine_fixture.h"

#include "vantrel/core/model.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <QUrl>
#include <ctime>
#include <tuple>

using namespace enginetest;

namespace
{

class ApiTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        channel = eb::addChannel("Daily News", "News/Local");
        ASSERT_NE(channel, 0u);
    }

    QString mediaFile() { return writeFile(rhtest::testRoot() + "/show.mp3", "ID3 sound"); }

    uint32_t channel = 0;
};

// The process's time zone for one test.
struct ScopedZone {
    explicit ScopedZone(const char* zone) { set(zone); }
    ~ScopedZone() { set(had ? old.constData() : nullptr); }
    static void set(const char* zone)
    {
        zone ? qputenv("TZ", zone) : qunsetenv("TZ");
        tzset();
        vantrel::forgetLocalTimeOffsets();
    }
    const QByteArray old = qgetenv("TZ");
    const bool had = qEnvironmentVariableIsSet("TZ");
};

} // namespace

TEST(StoryId, MadeIdsParseBackAndMalformedOnesAreRejected)
{
    EXPECT_EQ(CService::MakeStoryID(0xFDFFFFE1u, 42), QStringLiteral("VT1-fdffffe1-0000002a"));
    EXPECT_EQ(CService::MakeStoryID(1, 0xABCDEF01u), QStringLiteral("VT1-00000001-abcdef01"));
    uint32_t channel = 0, number = 0;
    const auto parsed = [&](const QString& id) {
        return std::tuple(CService::ParseStoryID(id, channel, number), channel, number);
    };
    const QString id = CService::MakeStoryID(0xFDFFFFE1u, 42);
    EXPECT_EQ(parsed(id), std::tuple(1, 0xFDFFFFE1u, 42u));
    EXPECT_EQ(parsed(CService::MakeStoryID(0xFFFFFFFFu, 0xFFFFFFFFu)),
              std::tuple(1, 0xFFFFFFFFu, 0xFFFFFFFFu));

    channel = number = 5;
    for (const QString& bad :
         {QString(), QString("garbage"), id + "0", id + " ", " " + id, id.left(20),
          QString(id).replace(4, 1, "g"), QString("VT1-100000000-0001"),
          QString("VT1-00000000-00000001"), QString("VT1-00000001-00000000"), QString(id).toUpper(),
          QString("VT2-00000001-00000001"), QString("VT1-00000001+00000001")}) {
        EXPECT_EQ(CService::ParseStoryID(bad, channel, number), 0) << bad.toStdString();
    }
    EXPECT_EQ(std::tuple(channel, number), std::tuple(5u, 5u));
}

TEST_F(ApiTest, CapabilitiesFollowTheStoryState)
{
    const QString page = QUrl::fromLocalFile(rhtest::testRoot() + "/page.html").toString();
    const QString media = QUrl::fromLocalFile(mediaFile()).toString();
    const struct {
        const char* headline;
        QString url, summary, footer, enclosure;
        uint32_t granted; // the VTCAPS_* bits answered 1
    } cases[] = {
        // clang-format off
        {"Plain", {}, {}, {}, {}, VTCAPS_DELETE | VTCAPS_KEEP},
        // A footer counts as a summary.
        {"Linked", "https://example.invalid/a.html", {}, "From the wires", {},
         VTCAPS_FULL_STORY | VTCAPS_SUMMARY | VTCAPS_DOWNLOAD | VTCAPS_DELETE | VTCAPS_KEEP},
        // A page on this computer is never downloaded.
        {"Page on disk", page, {}, {}, {}, VTCAPS_FULL_STORY | VTCAPS_DELETE | VTCAPS_KEEP},
        {"Show", {}, "Tonight", {}, media, VTCAPS_PLAY | VTCAPS_SUMMARY | VTCAPS_DELETE |
         VTCAPS_KEEP | VTCAPS_PROPERTIES | VTCAPS_PLACE_FILES},
        // clang-format on
    };
    const std::pair<VTStoryCapsRequest, uint32_t tagStoryCaps::*> fields[] = {
        {VTCAPS_PLAY, &tagStoryCaps::canPlay},
        {VTCAPS_FULL_STORY, &tagStoryCaps::hasFullStory},
        {VTCAPS_SUMMARY, &tagStoryCaps::hasSummary},
        {VTCAPS_DELETE, &tagStoryCaps::canDelete},
        {VTCAPS_DOWNLOAD, &tagStoryCaps::canDownload},
        {VTCAPS_KEEP, &tagStoryCaps::canKeep},
        {VTCAPS_PROPERTIES, &tagStoryCaps::hasProperties},
        {VTCAPS_PLACE_FILES, &tagStoryCaps::canPlaceFiles}};
    for (const auto& c : cases) {
        eb::StorySeed s;
        s.headline = c.headline;
        s.url = c.url;
        s.summary = c.summary;
        if (!c.footer.isEmpty())
            s.attributes["Footer"] = c.footer;
        s.enclosureUrl = c.enclosure;
        s.bundletType = c.enclosure.isEmpty() ? VTBUNDLET_NEWS : VTBUNDLET_AUDIO;
        const tagStoryCaps k = caps(channel, eb::addStory(channel, s));
        uint32_t granted = 0;
        for (const auto& [bit, field] : fields)
            granted |= k.*field ? uint32_t(bit) : 0u;
        EXPECT_EQ(granted, c.granted) << c.headline;
        EXPECT_EQ(k.kept, 0u) << c.headline;
    }
    EXPECT_EQ(attribute(channel, numberOf(channel, "Page on disk"), "Story Local"), 1u);
    EXPECT_EQ(attribute(channel, numberOf(channel, "Linked"), "Story Local"), 0u);

    // Only the fields asked for are filled.
    const uint32_t show = numberOf(channel, "Show");
    tagStoryCaps one;
    one.requestMask = VTCAPS_KEEP;
    one.canPlay = 77;
    ASSERT_EQ(VTKeepStory(channel, show, show, 1), 1);
    ASSERT_EQ(GetStoryCaps(CService::MakeStoryID(channel, show), &one), 1);
    EXPECT_EQ(std::pair(one.kept, one.canPlay), std::pair(1u, 77u));
    EXPECT_EQ(GetStoryCaps("nonsense", &one), 0);
    EXPECT_EQ(GetStoryCaps(CService::MakeStoryID(channel, 999), &one), 0);
    EXPECT_EQ(GetStoryCaps(CService::MakeStoryID(channel, show), nullptr), 0);
}

TEST_F(ApiTest, MarkingKeepingAndDeletingReportTheChangedStories)
{
    const uint32_t one = addStory(channel, "One");
    const uint32_t two = addStory(channel, "Two");
    ASSERT_TRUE(eb::waitForIdle());
    recorder().clear();

    ASSERT_EQ(VTMarkStoriesRead(channel, {one, two}, 1), 1);
    EXPECT_EQ(attribute(channel, one, "Read"), 1u);
    EXPECT_TRUE(recorder().messages().empty()); // delivered later, on the event loop
    ASSERT_TRUE(eb::waitForIdle());
    auto changed = recorder().messages("REFRESHCODE_STORIES_ATTRIBUTE_CHANGED");
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].first, channel);
    EXPECT_EQ(changed[0].stories, (std::vector<uint32_t>{one, two}));
    EXPECT_TRUE(recorder().hasMessage("REFRESHCODE_CHANNEL_COUNTER_CHANGED", channel));
    EXPECT_FALSE(recorder().callbacks(VTNOTIFY_ENGINE_EVENT).empty());

    ASSERT_EQ(VTMarkStoryRead(channel, two, STORYREAD_QUIET), 1);
    ASSERT_EQ(VTMarkStoriesRead(channel, {two}, 0), 1);
    EXPECT_EQ(attribute(channel, two, "Read"), 0u);
    ASSERT_EQ(VTMarkStoryRead(channel, two, STORYREAD_OPENED), 1);
    EXPECT_EQ(attribute(channel, two, "Read"), 1u);

    ASSERT_EQ(VTKeepStory(channel, one, one, 1), 1);
    EXPECT_EQ(attribute(channel, one, "Keep"), 1u);
    EXPECT_EQ(VTKeepStory(channel, two, one, 1), 0); // not that story's package
    ASSERT_EQ(VTKeepStory(channel, one, one, 0), 1);
    EXPECT_EQ(attribute(channel, one, "Keep"), 0u);

    ASSERT_TRUE(eb::waitForIdle());
    recorder().clear();
    ASSERT_EQ(VTDeleteStories(channel, {one, 9999}), 1);
    EXPECT_EQ(headlines(channel), QStringList{"Two"});
    ASSERT_TRUE(eb::waitForIdle());
    const auto deleted = recorder().messages("REFRESHCODE_STORIES_DELETED");
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0].stories, std::vector<uint32_t>{one});
}

TEST_F(ApiTest, AlertsAreMarkedAndDeletedAsAlerts)
{
    const uint32_t story = addStory(channel, "Storm");
    const uint32_t alert = eb::addAlert(channel, story, "Storms", "Weather");
    ASSERT_EQ(VTMarkStoryRead(VT_ALERTS_CHANNEL_ID, alert, STORYREAD_QUIET), 1);
    EXPECT_EQ(attribute(VT_ALERTS_CHANNEL_ID, alert, "Read"), 1u);
    EXPECT_EQ(attribute(channel, story, "Read"), 0u);
    EXPECT_EQ(attribute(channel, story, "Alert Name"), 0xDEADBEEFu); // real channels have none
    ASSERT_EQ(VTDeleteStories(VT_ALERTS_CHANNEL_ID, {alert}), 1);
    EXPECT_EQ(storyCount(VT_ALERTS_CHANNEL_ID), 0);
    EXPECT_EQ(storyCount(channel), 1);

    // The alerts channel is found by id but is not one of the listed channels.
    EXPECT_TRUE(hasChannel(VT_ALERTS_CHANNEL_ID));
    CServices* services = GetCServices();
    for (int i = 0; i < services->GetNoServices(); ++i) {
        uint32_t id = 0;
        services->GetService(i)->GetServiceID(id);
        EXPECT_NE(id, VT_ALERTS_CHANNEL_ID);
    }
    ReleaseCServices();
}

TEST_F(ApiTest, PlayingOpensThePackageAndRemembersItForReplay)
{
    std::vector<QUrl> opened;
    VTSetOpenUrlHook([&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    eb::StorySeed s;
    s.headline = "Evening show";
    s.enclosureUrl = QUrl::fromLocalFile(mediaFile()).toString();
    s.bundletType = VTBUNDLET_AUDIO;
    const uint32_t number = eb::addStory(channel, s);
    const uint32_t bundlet = attribute(channel, number, "BundLet Id");
    EXPECT_EQ(answer(VTCanReplayLastAnimation), 0);

    ASSERT_EQ(VTPlayBundlet(channel, bundlet), 1);
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl(s.enclosureUrl)});
    EXPECT_EQ(answer(VTIsAnimationPlaying), 1);
    uint32_t ch = 0, id = 0;
    QKBuffer name;
    ASSERT_EQ(VTGetLastAnimationInfo(ch, id, name), 1);
    EXPECT_EQ(std::tuple(ch, id, name.GetText()), std::tuple(channel, bundlet, "Evening show"));
    EXPECT_EQ(answer(VTCanReplayLastAnimation), 1);
    EXPECT_EQ(VTStopCurrentAnimation(), 1);
    EXPECT_EQ(answer(VTIsAnimationPlaying), 0);

    // Nothing to play, or the desktop could not open it: 0.
    EXPECT_EQ(VTPlayStory(channel, addStory(channel, "Text only"), nullptr), 0);
    VTSetOpenUrlHook([](const QUrl&) { return false; });
    EXPECT_EQ(VTPlayBundlet(channel, bundlet), 0);
}

TEST_F(ApiTest, PlaceFilesCopiesALocalPackageOnly)
{
    eb::StorySeed s;
    s.headline = "Show";
    s.enclosureUrl = QUrl::fromLocalFile(mediaFile()).toString();
    const uint32_t local = eb::addStory(channel, s);
    s.enclosureUrl = "http://127.0.0.1:1/remote.mp3";
    const uint32_t remote = eb::addStory(channel, s);

    const auto place = [&](uint32_t n) {
        return VTReplicateBundlet(channel, attribute(channel, n, "BundLet Id"));
    };
    ASSERT_EQ(place(local), 1);
    EXPECT_EQ(readFile(rhtest::engineDataDir() + "/files/show.mp3"), QByteArray("ID3 sound"));
    ASSERT_EQ(place(local), 1); // a second copy does not overwrite the first
    EXPECT_TRUE(QFileInfo(rhtest::engineDataDir() + "/files/show (2).mp3").isFile());

    EXPECT_EQ(place(remote), 0);
    QFile::remove(rhtest::testRoot() + "/show.mp3");
    EXPECT_EQ(place(local), 0);
}

TEST_F(ApiTest, CachedUrlAnswersForLocalFilesOnly)
{
    QKBuffer buffer;
    const QString file = mediaFile();
    ASSERT_EQ(VTGetCachedURL(QUrl::fromLocalFile(file).toString(), buffer), 1);
    EXPECT_EQ(QUrl(buffer.GetText()).toLocalFile(), file);
    ASSERT_EQ(VTGetCachedURL(file, buffer), 1);
    EXPECT_EQ(VTGetCachedURL("http://example.invalid/x.html", buffer), 0);
    EXPECT_EQ(VTGetCachedURL(QUrl::fromLocalFile(file + ".gone").toString(), buffer), 0);
    EXPECT_EQ(VTGetCachedURL("", buffer), 0);
}

TEST_F(ApiTest, OperationsOnUnknownIdsReturnZero)
{
    const uint32_t unknown = 4242;
    uint32_t id = 0, value = 0;
    QKBuffer buffer;
    // clang-format off
    const std::vector<int> results = {
        VTMarkStoriesRead(unknown, {1}, 1), VTMarkStoriesRead(channel, {77}, 1),
        VTMarkStoriesRead(channel, {}, 1), VTMarkStoryRead(unknown, 1, STORYREAD_OPENED),
        VTDeleteStories(unknown, {1}), VTDeleteStories(channel, {77}),
        VTKeepStory(channel, 77, 77, 1), VTDownloadStory(channel, 77), VTPlayBundlet(channel, 77),
        VTPlayStory(unknown, 1, nullptr), VTReplicateBundlet(unknown, 1),
        VTAccessBundLet(channel, 77, 0xFFFFFFFFu), VTEnableChannel(unknown, 1),
        VTEnableChannel(0, 1), VTForceChannelConnection(unknown),
        VTForceChannelConnection(channel), // no feed address to download
        VTGetChannelStatus(unknown, buffer), VTSubscribeToChannel(nullptr, 999),
        VTUnsubscribeToChannel(nullptr, 999), VTUnsubscribeToSubscribedChannel(nullptr, unknown),
        VTLookupSubscribedChannelID(999, id), VTGetLastAnimationInfo(id, id, buffer),
        VTStopCurrentAnimation(), VTShellURL("  ")};
    // clang-format on
    EXPECT_EQ(results, std::vector<int>(results.size(), 0));
    EXPECT_EQ(channelEnabled(unknown), -99);
    CServices* services = GetCServices();
    CService* c = services->GetServiceByID(channel);
    const std::vector<CService*> channels = {
        services->GetServiceByID(unknown), services->GetServiceByID(0),
        services->GetServiceByDirectoryEntryId(0), services->GetService(-1),
        services->GetService(services->GetNoServices())};
    EXPECT_EQ(channels, std::vector<CService*>(channels.size(), nullptr));
    EXPECT_EQ(std::tuple(c->GetStoryIndex(77), c->GetStoryID(0),
                         c->GetStoryAttribute(5, "Read", value), c->GetStoryUpdatedTime(-1, value),
                         services->GetStoryAttribute("junk", "Read", value)),
              std::tuple(-1, QString(), 0, 0, 0));
    ReleaseCServices();
}

TEST_F(ApiTest, ShutdownTellsTheCallbacks)
{
    ASSERT_EQ(VTShutdown(), 1);
    EXPECT_EQ(recorder().callbacks(VTNOTIFY_SHUTDOWN).size(), 1u);
    EXPECT_EQ(VTForceChannelConnection(channel), 0);
}

TEST(QKBufferTest, SizeRules)
{
    QKBuffer b;
    // Size, the bytes of the block and the text read from it.
    const auto state = [&] {
        return std::tuple(b.GetSize(), b.GetData() ? QByteArray(b.GetData(), b.GetSize()) : "-",
                          b.GetText());
    };
    EXPECT_EQ(state(), std::tuple(0, QByteArray("-"), QString()));
    b.SetText("hello");
    EXPECT_EQ(state(), std::tuple(5, QByteArray("hello"), QString("hello")));
    EXPECT_EQ(b.GetData()[5], '\0');
    b.SetSize(3); // keeps the first bytes; no terminator inside: read up to the block's end
    EXPECT_EQ(state(), std::tuple(3, QByteArray("hel"), QString("hel")));
    b.SetSize(6); // grows with zero bytes
    EXPECT_EQ(std::get<1>(state()), QByteArray("hel\0\0\0", 6));
    b.SetSize(0);
    EXPECT_EQ(state(), std::tuple(0, QByteArray("-"), QString()));
    b.SetText(QString::fromUtf8("Grüße")); // size in bytes, not characters
    EXPECT_EQ(state(),
              std::tuple(7, QString::fromUtf8("Grüße").toUtf8(), QString::fromUtf8("Grüße")));
    b.SetSize(-4);
    EXPECT_EQ(b.GetSize(), 0);
}

TEST(ChanDirHelpers, BucketSplittingAndSorting)
{
    CStoryBucket bucket;
    bucket.AddStory(1, 10);
    bucket.AddStory(2, 20);
    bucket.AddStory(1, 11);
    bucket.AddStory(1, 10);
    ASSERT_EQ(bucket.GetNumStoryLists(), 2);
    uint32_t channel = 0;
    DATA_LIST list;
    const auto listAt = [&](int i) {
        return std::tuple(bucket.GetStoryList(i, channel, list), channel, list);
    };
    EXPECT_EQ(listAt(0), std::tuple(1, 1u, DATA_LIST{10, 11}));
    EXPECT_EQ(listAt(1), std::tuple(1, 2u, DATA_LIST{20}));
    EXPECT_EQ(bucket.GetStoryList(2, channel, list), 0);

    QStringList parts;
    EXPECT_EQ(ParseDelimitedString("1, 22,,333", ",", parts), 3);
    EXPECT_EQ(parts, (QStringList{"1", "22", "333"}));
    EXPECT_EQ(ParseDelimitedString("", ",", parts), 0);

    QStringList names{"beta", "Alpha", "alpha", "Gamma"};
    SortStringArray(names);
    EXPECT_EQ(names, (QStringList{"Alpha", "alpha", "beta", "Gamma"}));
}

TEST(ChanDirWithoutEngine, NothingIsHandedOut)
{
    EXPECT_EQ(GetCServices(), nullptr);
    ReleaseCServices(); // harmless without a matching take
    tagStoryCaps caps;
    caps.requestMask = VTCAPS_ALL;
    EXPECT_EQ(GetStoryCaps(CService::MakeStoryID(1, 1), &caps), 0);
    EXPECT_EQ(answer(VTGetDownloadEnabled), -99);
    EXPECT_EQ(ENGCTLDeinitialize(), 0);
}

// Story times are shown in the local zone; the text must follow the zone's own rules on both
// sides of a daylight-saving change, and for moments before 1970.
TEST(LocalTimeText, FollowsTheZoneAcrossDaylightSavingChanges)
{
    const ScopedZone zone("Europe/Berlin");
    const QTimeZone berlin("Europe/Berlin");
    const auto expected = [&](qint64 secs) {
        return QDateTime::fromSecsSinceEpoch(secs, berlin).toString("yyyy-MM-dd hh:mm");
    };
    // Three hours either side of the changes of 28 March and 31 October 2021 (01:00 UTC).
    for (const qint64 change : {qint64(1616893200), qint64(1635642000)}) {
        for (qint64 t = change - 3 * 3600; t <= change + 3 * 3600; t += 7 * 60)
            EXPECT_EQ(vantrel::formatLocalTime(t), expected(t)) << t;
    }
    EXPECT_EQ(vantrel::formatLocalTime(-90), QStringLiteral("1970-01-01 00:58"));
}

// The date part of a story time across leap days, century years and the ends of four-digit
// years, checked against Qt's own calendar in UTC.
TEST(LocalTimeText, GivesTheCalendarDateOfAnyDay)
{
    const ScopedZone zone("UTC");
    const auto expected = [](qint64 secs) {
        return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC).toString("yyyy-MM-dd hh:mm");
    };
    for (const QDate day :
         {QDate(1900, 2, 28), QDate(1900, 3, 1), QDate(1969, 12, 31), QDate(1970, 1, 1),
          QDate(2000, 2, 29), QDate(2000, 3, 1), QDate(2024, 2, 29), QDate(2100, 2, 28),
          QDate(2100, 3, 1), QDate(1, 1, 1), QDate(9999, 12, 31)}) {
        const qint64 start = QDateTime(day, QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
        for (const qint64 t : {start, start + 59, start + 12 * 3600 + 34 * 60, start + 86399})
            EXPECT_EQ(vantrel::formatLocalTime(t), expected(t)) << t;
    }
    // Every day of four years, at noon.
    const qint64 from = QDateTime(QDate(2027, 1, 1), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
    for (qint64 t = from; t < from + 4 * 366 * 86400; t += 86400)
        ASSERT_EQ(vantrel::formatLocalTime(t), expected(t)) << t;
}

TEST_F(ApiTest, AttributeNamesMatchInAnyCaseAndWithSurroundingSpaces)
{
    eb::StorySeed desc;
    desc.headline = "Kept and read";
    desc.category = "World";
    desc.attributes = {{"Read", 1}, {"Keep", 1}, {"Rating", 7}};
    const uint32_t number = eb::addStory(channel, desc);
    for (const char* name : {"Read", "read", "READ", " Read ", "rEaD\t"})
        EXPECT_EQ(attribute(channel, number, name), 1u) << name;
    EXPECT_EQ(attribute(channel, number, "KEEP"), 1u);
    EXPECT_EQ(attribute(channel, number, "bundlet type"), uint32_t(VTBUNDLET_NEWS));
    EXPECT_EQ(attribute(channel, number, "rating"), 7u);
    for (const char* name : {"CATEGORY", " category"})
        EXPECT_EQ(textAttribute(channel, number, name), "World") << name;
    // Near misses are no attribute at all.
    for (const char* name : {"Reads", "Rea", "Re ad", "", "Rëad"})
        EXPECT_EQ(attribute(channel, number, QString::fromUtf8(name)), 0xDEADBEEFu) << name;
}
