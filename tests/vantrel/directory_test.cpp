// The channel directory: catalogues, subscribing and unsubscribing.

#include "tests/support/feeds_httpserver.h"
#include "tests/vantrel/engine_fixture.h"

#include <QUrl>
#include <algorithm>
#include <optional>
#include <tuple>

using namespace enginetest;

namespace
{

class DirectoryTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ASSERT_EQ(VTSetDownloadEnabled(0), 1); // no network here
    }

    std::vector<std::unique_ptr<VTDirectoryRecord>> records()
    {
        std::vector<std::unique_ptr<VTDirectoryRecord>> out;
        EXPECT_EQ(VTBriskBuildDirectoryEntryList(out), 1);
        return out;
    }

    const VTDirectoryRecord* record(const std::vector<std::unique_ptr<VTDirectoryRecord>>& list,
                                    const QString& name)
    {
        const auto it =
            std::find_if(list.begin(), list.end(), [&](const auto& r) { return r->name == name; });
        return it == list.end() ? nullptr : it->get();
    }
};

// Writes a catalogue of feeds (name and description) to a file of the test's folder.
QString writeCatalogue(const QString& name, const std::vector<std::pair<QString, QString>>& feeds)
{
    QByteArray body = "<opml version=\"2.0\"><body>";
    for (const auto& [feed, description] : feeds)
        body += QStringLiteral("<outline text=\"%1\" type=\"rss\" xmlUrl=\"feeds/%1.xml\""
                               " description=\"%2\"/>")
                    .arg(feed, description)
                    .toUtf8();
    return writeFile(rhtest::testRoot() + "/" + name, body + "</body></opml>");
}

using vantrel::Engine;

class CatalogueTest : public DirectoryTest
{
protected:
    std::optional<Engine::CatalogueInfo> catalogue(const QString& address)
    {
        for (const auto& c : engine()->catalogues()) {
            if (c.address == address)
                return c;
        }
        return std::nullopt;
    }
    QStringList names()
    {
        QStringList out;
        for (const auto& r : records())
            out << r->name + ":" + r->description;
        out.sort();
        return out;
    }
    std::vector<uint32_t> callbackValues(uint32_t type)
    {
        std::vector<uint32_t> out;
        for (const Callback& c : recorder().callbacks(type))
            out.push_back(c.value);
        return out;
    }
    uint32_t entryId(const QString& name)
    {
        const auto list = records();
        const VTDirectoryRecord* r = record(list, name);
        return r ? r->entryId : 0;
    }
};

} // namespace

TEST_F(DirectoryTest, CatalogueEntriesCarryCategoriesDatesAndFlags)
{
    const QString opml =
        writeFile(rhtest::testRoot() + "/catalogue.opml",
                  "<?xml version=\"1.0\"?>\n<opml version=\"2.0\" xmlns:vantrel=\"urn:vantrel\">"
                  "<head><title>C</title></head><body>"
                  "<outline text=\"News\"><outline text=\"Local\">"
                  "<outline text=\"Town Crier\" type=\"rss\" xmlUrl=\"feeds/town.xml\""
                  " description=\"The town\" created=\"Mon, 02 Nov 2026 10:00:00 GMT\"/>"
                  "</outline></outline>"
                  "<outline text=\"Vault\" type=\"rss\" xmlUrl=\"https://vault.example/feed\""
                  " vantrel:premier=\"1\"/>"
                  "</body></opml>");
    QString error;
    ASSERT_TRUE(engine()->addCatalogue(opml, &error)) << error.toStdString();

    const auto list = records();
    const VTDirectoryRecord* town = record(list, "Town Crier");
    ASSERT_NE(town, nullptr);
    EXPECT_EQ(
        std::tuple(town->categories, town->description, town->subscribed, town->date),
        std::tuple(
            QString("News/Local"), QString("The town"), 0u,
            uint32_t(QDateTime(QDate(2026, 11, 2), QTime(10, 0), Qt::UTC).toSecsSinceEpoch())));
    EXPECT_EQ(QUrl(town->url), QUrl::fromLocalFile(rhtest::testRoot() + "/feeds/town.xml"));
    const VTDirectoryRecord* vault = record(list, "Vault");
    ASSERT_NE(vault, nullptr);
    EXPECT_EQ(vault->entryFlags & (VTDIRENTRY_PREMIER | VTDIRENTRY_SECURE),
              uint32_t(VTDIRENTRY_PREMIER | VTDIRENTRY_SECURE));
    EXPECT_FALSE(recorder().callbacks(VTNOTIFY_DIRECTORY_ENTRY_ADDED).empty());
}

// A catalogue from the network lists only feeds on the network.
TEST_F(DirectoryTest, NetworkCatalogueListsNetworkFeedsOnly)
{
    rhtest::LocalHttpServer server;
    server.setRoute("/c.opml",
                    "<opml version=\"2.0\"><body>"
                    "<outline text=\"Web\" type=\"rss\" xmlUrl=\"feeds/web.xml\"/>"
                    "<outline text=\"Local\" type=\"rss\" xmlUrl=\"file:///etc/passwd\"/>"
                    "</body></opml>",
                    "text/x-opml");
    QString error;
    ASSERT_TRUE(engine()->addCatalogue(server.url("/c.opml").toString(), &error))
        << error.toStdString();
    ASSERT_TRUE(eb::waitForIdle());
    const auto list = records();
    ASSERT_NE(record(list, "Web"), nullptr);
    EXPECT_EQ(QUrl(record(list, "Web")->url), server.url("/feeds/web.xml"));
    EXPECT_EQ(record(list, "Local"), nullptr);
}

TEST_F(DirectoryTest, SubscribeAndUnsubscribeSendTheirMessagesAndAgreeOnIds)
{
    const uint32_t entry = eb::addDirectoryEntry("Sports Desk", "Sport", "Scores", 0, QDateTime(),
                                                 "http://127.0.0.1:1/feed");
    ASSERT_NE(entry, 0u);
    uint32_t channel = 0;
    EXPECT_EQ(VTLookupSubscribedChannelID(entry, channel), 0);
    EXPECT_EQ(record(records(), "Sports Desk")->subscribed, 0u);

    ASSERT_EQ(VTSubscribeToChannel(nullptr, entry), 1);
    ASSERT_EQ(VTLookupSubscribedChannelID(entry, channel), 1);
    EXPECT_NE(channel, 0u);
    EXPECT_NE(channel, VT_ALERTS_CHANNEL_ID);
    CService* byEntry = GetCServices()->GetServiceByDirectoryEntryId(entry);
    ASSERT_NE(byEntry, nullptr);
    uint32_t id = 0, entryBack = 0;
    byEntry->GetServiceID(id);
    EXPECT_EQ(std::tuple(byEntry->GetDirectoryEntryId(entryBack), id, entryBack),
              std::tuple(1, channel, entry));
    ReleaseCServices();
    EXPECT_EQ(record(records(), "Sports Desk")->subscribed, 1u);

    ASSERT_TRUE(eb::waitForIdle());
    // The channel and its entry, as each message carries them.
    const auto sent = [&](const char* name) {
        std::vector<std::pair<uintptr_t, intptr_t>> out;
        for (const Message& m : recorder().messages(name))
            out.emplace_back(m.first, m.second);
        return out;
    };
    using Sent = std::vector<std::pair<uintptr_t, intptr_t>>;
    EXPECT_EQ(sent("REFRESHCODE_CHANNEL_ADDED"), (Sent{{channel, entry}}));
    const auto changed = recorder().callbacks(VTNOTIFY_DIRECTORY_ENTRY_CHANGED);
    EXPECT_TRUE(std::any_of(changed.begin(), changed.end(),
                            [&](const Callback& c) { return c.value == entry; }));

    recorder().clear();
    ASSERT_EQ(VTUnsubscribeToChannel(nullptr, entry), 1);
    EXPECT_EQ(VTLookupSubscribedChannelID(entry, channel), 0);
    EXPECT_EQ(GetCServices()->GetServiceByDirectoryEntryId(entry), nullptr);
    ReleaseCServices();
    ASSERT_TRUE(eb::waitForIdle());
    EXPECT_EQ(sent("REFRESHCODE_CHANNEL_DELETED"), (Sent{{id, entry}}));
    EXPECT_EQ(VTUnsubscribeToChannel(nullptr, entry), 0); // not subscribed any more
}

TEST_F(DirectoryTest, UnsubscribeFromAChannelAsksFirstAndNoChangesNothing)
{
    const uint32_t channel = eb::addChannel("Daily News", "News");
    QStringList asked;
    int answer = 0;
    VTSetConfirmHook([&](const QString& text) {
        asked << text;
        return answer;
    });
    EXPECT_EQ(VTUnsubscribeToSubscribedChannel(nullptr, channel), 0);
    EXPECT_EQ(asked, QStringList{"Unsubscribe from Daily News?"});
    EXPECT_TRUE(hasChannel(channel));
    ASSERT_TRUE(eb::waitForIdle());
    EXPECT_TRUE(recorder().messages("REFRESHCODE_CHANNEL_DELETED").empty());

    answer = 1;
    EXPECT_EQ(VTUnsubscribeToSubscribedChannel(nullptr, channel), 1);
    EXPECT_FALSE(hasChannel(channel));
    EXPECT_EQ(VTUnsubscribeToSubscribedChannel(nullptr, channel), 0);
    EXPECT_EQ(asked.size(), 2); // an unknown channel is not asked about
}

TEST_F(DirectoryTest, RequiredChannelCannotBeUnsubscribed)
{
    const uint32_t entry =
        eb::addDirectoryEntry("Home", "", "", VTDIRENTRY_REQUIRED, QDateTime(), "");
    ASSERT_EQ(VTSubscribeToChannel(nullptr, entry), 1);
    EXPECT_EQ(VTUnsubscribeToChannel(nullptr, entry), 0);
    uint32_t channel = 0;
    EXPECT_EQ(VTLookupSubscribedChannelID(entry, channel), 1);
}

TEST_F(DirectoryTest, AlertsOutliveTheirUnsubscribedChannel)
{
    const uint32_t channel = eb::addChannel("Weather");
    eb::StorySeed s;
    s.headline = "Storm";
    s.enclosureUrl = "https://example.org/storm.mp3";
    const uint32_t alert = eb::addAlert(channel, eb::addStory(channel, s), "Storms");
    ASSERT_EQ(VTPlayStory(VT_ALERTS_CHANNEL_ID, alert, nullptr), 1);
    const QStringList opened = eb::openedUrls();
    ASSERT_FALSE(opened.isEmpty());
    recorder().clear();
    ASSERT_EQ(VTUnsubscribeToChannel(nullptr, eb::directoryEntryOf(channel)), 1);
    ASSERT_TRUE(eb::waitForIdle());
    EXPECT_TRUE(recorder().messages("REFRESHCODE_STORIES_DELETED").empty());
    // Kept across a restart, still naming the channel that is gone; playing passes over it.
    reopen();
    EXPECT_EQ(storyCount(VT_ALERTS_CHANNEL_ID), 1);
    EXPECT_EQ(attribute(VT_ALERTS_CHANNEL_ID, alert, "Alert Channel Id"), channel);
    EXPECT_EQ(VTPlayStory(VT_ALERTS_CHANNEL_ID, alert, nullptr), 0);
    EXPECT_EQ(eb::openedUrls(), opened);
    // A channel subscribed later never takes the old id.
    EXPECT_NE(eb::addChannel("Weather again"), channel);
}

TEST_F(DirectoryTest, OnlyAnUnsubscribedEntryCanBeRemoved)
{
    const uint32_t entry = eb::addDirectoryEntry("Gone Soon", "Misc");
    const uint32_t kept = eb::addDirectoryEntry("Kept", "Misc");
    ASSERT_EQ(VTSubscribeToChannel(nullptr, kept), 1);
    EXPECT_FALSE(engine()->removeDirectoryEntry(kept));
    ASSERT_TRUE(engine()->removeDirectoryEntry(entry));
    EXPECT_FALSE(engine()->removeDirectoryEntry(entry));
    EXPECT_EQ(record(records(), "Gone Soon"), nullptr);
    EXPECT_NE(record(records(), "Kept"), nullptr);
    const auto changes = recorder().callbacks(VTNOTIFY_DIRECTORY_ENTRY_CHANGED);
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back().value, entry);
    EXPECT_EQ(VTSubscribeToChannel(nullptr, entry), 0);
}

TEST_F(CatalogueTest, ReadingACatalogueAgainAddsUpdatesAndDropsEntries)
{
    const QString path = writeCatalogue("c.opml", {{"A", "a"}, {"B", "b"}, {"C", "c"}});
    QKBuffer error;
    ASSERT_EQ(VTAddCatalogue(path, error), 1) << error.GetText().toStdString();
    ASSERT_TRUE(eb::waitForIdle());
    ASSERT_TRUE(catalogue(path));
    EXPECT_EQ(catalogue(path)->entryCount, 3);
    EXPECT_GT(catalogue(path)->lastRefresh, 0);
    EXPECT_EQ(callbackValues(VTNOTIFY_DIRECTORY_ENTRY_ADDED), std::vector<uint32_t>{3}); // once
    const uint32_t b = entryId("B");
    ASSERT_EQ(VTSubscribeToChannel(nullptr, b), 1);
    uint32_t channel = 0;
    ASSERT_EQ(VTLookupSubscribedChannelID(b, channel), 1);
    recorder().clear();

    writeCatalogue("c.opml", {{"A", "a"}, {"B", "b2"}, {"D", "d"}});
    ASSERT_EQ(VTRefreshCatalogue(path, error), 1);
    ASSERT_TRUE(eb::waitForIdle());
    EXPECT_EQ(names(), (QStringList{"A:a", "B:b2", "D:d"}));
    EXPECT_EQ(entryId("B"), b);
    EXPECT_EQ(recorder().callbacks(VTNOTIFY_DIRECTORY_REFRESHED).size(), 1u);
    EXPECT_TRUE(recorder().hasMessage("REFRESHCODE_CHANNEL_FLAGS_CHANGED", channel));

    // What it no longer lists goes, but a subscribed channel stays.
    writeCatalogue("c.opml", {{"A", "a"}});
    ASSERT_EQ(VTRefreshCatalogue(path, error), 1);
    ASSERT_TRUE(eb::waitForIdle());
    EXPECT_EQ(names(), (QStringList{"A:a", "B:b2"}));
    EXPECT_EQ(catalogue(path)->entryCount, 1);
}

TEST_F(CatalogueTest, RemovingACatalogueKeepsSubscribedChannelsAndTheListSurvivesARestart)
{
    const QString first = writeCatalogue("one.opml", {{"Shared", ""}, {"Own", ""}});
    const QString second = writeCatalogue("two.opml", {{"Shared", ""}, {"Other", ""}});
    QString why;
    ASSERT_TRUE(engine()->addCatalogue(first, &why)) << why.toStdString();
    ASSERT_TRUE(engine()->addCatalogue(second, &why)) << why.toStdString();
    // An entry belongs to the catalogue that listed it first.
    EXPECT_EQ(catalogue(first)->entryCount, 2);
    EXPECT_EQ(catalogue(second)->entryCount, 1);
    ASSERT_EQ(VTSubscribeToChannel(nullptr, entryId("Own")), 1);
    recorder().clear();

    QKBuffer error;
    ASSERT_EQ(VTRemoveCatalogue(first, error), 1);
    EXPECT_FALSE(catalogue(first));
    EXPECT_EQ(names(), (QStringList{"Other:", "Own:"}));
    EXPECT_EQ(callbackValues(VTNOTIFY_DIRECTORY_ENTRY_CHANGED), std::vector<uint32_t>{1});
    EXPECT_EQ(VTRemoveCatalogue(first, error), 0);

    ASSERT_TRUE(engine()->waitForIdle());
    reopen();
    ASSERT_TRUE(catalogue(second));
    EXPECT_EQ(engine()->catalogues().size(), 1u);
    EXPECT_GT(catalogue(second)->lastRefresh, 0);
}

TEST_F(CatalogueTest, RefusedRequestsSayWhy)
{
    const QString path = writeCatalogue("c.opml", {{"A", ""}});
    QKBuffer error;
    ASSERT_EQ(VTAddCatalogue(path, error), 1);
    ASSERT_TRUE(eb::waitForIdle());
    const QString bad = writeFile(rhtest::testRoot() + "/bad.opml", "<opml><body><outline");
    // Reading a catalogue at once rather than on the worker.
    const auto readNow = [](const QString& address, QKBuffer& reason) {
        QString why;
        const bool ok = Engine::instance()->addCatalogue(address, &why);
        reason.SetText(why);
        return int(ok);
    };
    const struct {
        int (*call)(const QString&, QKBuffer&);
        QString address;
        const char* reason;
    } cases[] = {
        {VTAddCatalogue, path, "listed already"},
        {VTAddCatalogue, rhtest::testRoot() + "/none.opml", "no such file"},
        {readNow, bad, "cannot be read"},
        {VTAddCatalogue, "ftp://example.org/c.opml", "Not a catalogue address"},
        {VTAddCatalogue, "javascript:alert(1)", "Not a catalogue address"},
        {VTRefreshCatalogue, rhtest::testRoot() + "/other.opml", "not listed"},
        {VTRemoveCatalogue, "http://example.org/x.opml", "not listed"},
    };
    for (const auto& c : cases) {
        QKBuffer reason;
        EXPECT_EQ(c.call(c.address, reason), 0) << c.reason;
        EXPECT_TRUE(reason.GetText().contains(c.reason)) << reason.GetText().toStdString();
    }
    EXPECT_EQ(engine()->catalogues().size(), 1u);
}
