// Stories read from the store only when needed, and finding stories by text.

#include "tests/support/feeds_httpserver.h"
#include "tests/vantrel/engine_fixture.h"

#include <tuple>

using namespace enginetest;

namespace
{

// What the channel tree shows of a channel.
struct Counts {
    int unread = 0;
    QStringList subChannels;
    std::vector<long> subUnread;
    std::vector<long> subTotal;
    auto fields() const { return std::tie(unread, subChannels, subUnread, subTotal); }
    bool operator==(const Counts& o) const { return fields() == o.fields(); }
};

class StoryLoadingTest : public EngineTest
{
protected:
    Counts counts(uint32_t id)
    {
        return withChannel(id, [](CService* channel) {
            Counts c;
            c.unread = channel->GetNumUnreadStories();
            channel->GetSubChannels(c.subChannels);
            channel->GetSubChannelsCount(c.subChannels, c.subUnread, c.subTotal);
            return c;
        });
    }
    void loadNow(uint32_t id) { storyCount(id); }
    int summaryAvailable(uint32_t id, uint32_t number)
    {
        return withChannel(
            id, [&](CService* c) { return c->IsStorySummaryAvailable(c->GetStoryIndex(number)); });
    }
    QString summary(uint32_t id, uint32_t number)
    {
        return withChannel(
            id, [&](CService* c) { return c->GetStorySummary(c->GetStoryIndex(number)); });
    }
};

} // namespace

TEST_F(StoryLoadingTest, CountsShownBeforeStoriesAreLoadedEqualTheCountsAfter)
{
    const uint32_t news = eb::addChannel("News");
    const uint32_t sport = eb::addChannel("Sport");
    std::vector<uint32_t> numbers;
    const std::pair<QString, QString> stories[] = {{"a", "World/Europe"}, {"b", "World/Europe"},
                                                   {"c", "World//Asia"},  {"d", ""},
                                                   {"e", "Markets"},      {"f", "Markets"}};
    for (const auto& [headline, category] : stories)
        numbers.push_back(addStory(news, headline, {}, category));
    addStory(sport, "g", {}, "Football");
    // Marks, a deletion and a category change reach the stored counts.
    ASSERT_EQ(VTMarkStoriesRead(news, {numbers[0], numbers[4]}, 1), 1);
    ASSERT_EQ(VTDeleteStories(news, {numbers[5]}), 1);
    ASSERT_EQ(VTMarkStoriesRead(news, {numbers[0]}, 0), 1);
    ASSERT_EQ(VTMarkStoriesRead(news, {numbers[1]}, 1), 1);

    reopen();
    ASSERT_FALSE(loaded(news));
    const Counts before = counts(news);
    const Counts sportBefore = counts(sport);
    EXPECT_FALSE(loaded(news));
    // Unread a, c and d.
    EXPECT_TRUE(before ==
                (Counts{3, {"Markets", "World&slash;Asia", "World/Europe"}, {0, 1, 1}, {1, 1, 2}}));

    loadNow(news);
    loadNow(sport);
    ASSERT_TRUE(loaded(news));
    EXPECT_TRUE(counts(news) == before);
    EXPECT_TRUE(counts(sport) == sportBefore);
    EXPECT_EQ(sportBefore.unread, 1);
}

TEST_F(StoryLoadingTest, LongTextsReadAfterTheCacheDroppedThemAreTheSameTexts)
{
    struct Case {
        QString summary, header, footer;
        uint32_t available; // IsStorySummaryAvailable
        uint32_t caps;      // tagStoryCaps::hasSummary
    };
    const std::vector<Case> cases = {
        {"<p>Plain summary</p>", "", "", 1, 1},
        {"Grüße aus Zürich — 東京 🌧", "Head", "Foot", 1, 1},
        {" \t\u00a0\n", "", "", 0, 0}, // white space only: kept as it is, not "available"
        {"", "", "", 0, 0},
        {"", "Only a header", "", 0, 1},
        {QString(20000, 'x'), "", "Only a footer", 1, 1},
    };
    const uint32_t id = eb::addChannel("Texts");
    std::vector<uint32_t> numbers;
    for (const Case& c : cases) {
        eb::StorySeed s = seed("h", c.summary);
        if (!c.header.isEmpty())
            s.attributes["Header"] = c.header;
        if (!c.footer.isEmpty())
            s.attributes["Footer"] = c.footer;
        numbers.push_back(eb::addStory(id, s));
    }
    reopen();
    // Room for about one text: every read after the first drops the one before.
    engine()->setStoryTextCacheLimit(64);
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < cases.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "pass " << pass << " case " << i);
            const uint32_t n = numbers[i];
            EXPECT_EQ(std::tuple(summary(id, n), textAttribute(id, n, "Header"),
                                 textAttribute(id, n, "Footer"), uint32_t(summaryAvailable(id, n)),
                                 caps(id, n, VTCAPS_SUMMARY).hasSummary),
                      std::tuple(cases[i].summary, cases[i].header, cases[i].footer,
                                 cases[i].available, cases[i].caps));
        }
    }
    // An alert raised on a story carries the story's summary, read from the store.
    const uint32_t alert = eb::addAlert(id, numbers[1], "Rule", "Alerts");
    ASSERT_NE(alert, 0u);
    EXPECT_EQ(summary(VT_ALERTS_CHANNEL_ID, alert), cases[1].summary);
}

TEST_F(StoryLoadingTest, StoryMarkedWhileItsChannelIsNotLoadedShowsTheMarkWhenListed)
{
    const uint32_t id = eb::addChannel("Marks");
    const uint32_t a = addStory(id, "a", "About a", "Topic");
    const uint32_t b = addStory(id, "b", "About b", "Topic");
    reopen();
    ASSERT_FALSE(loaded(id));
    ASSERT_EQ(VTMarkStoriesRead(id, {a}, 1), 1);
    ASSERT_EQ(VTKeepStory(id, b, b, 1), 1);
    EXPECT_EQ(counts(id).unread, 1);

    reopen();
    ASSERT_FALSE(loaded(id));
    EXPECT_TRUE(counts(id) == (Counts{1, {"Topic"}, {1}, {2}}));
    EXPECT_EQ(std::pair(attribute(id, a, "Read"), attribute(id, b, "Keep")), std::pair(1u, 1u));
    EXPECT_EQ(summary(id, a), "About a"); // the summary is not lost by writing the marks
}

TEST_F(StoryLoadingTest, StoryChangedByADownloadWhileItsChannelIsNotLoadedShowsTheChange)
{
    rhtest::LocalHttpServer server;
    std::vector<Item> items = {{"g1", "First", "Old summary", "", "", "", ""},
                               {"g2", "Second", "Stays", "", "", "", ""}};
    // The feed as it is now, downloaded at once (the first download starts with the channel).
    const auto download = [&](uint32_t id) {
        server.setRoute("/feed.xml", rss(items), "application/rss+xml");
        ASSERT_TRUE(id == 0 || VTForceChannelConnection(id) == 1);
        ASSERT_TRUE(eb::waitForIdle());
    };
    download(0);
    const uint32_t id = addFeedChannel("Loopback", server.url("/feed.xml").toString());
    ASSERT_TRUE(eb::waitForIdle());
    const uint32_t first = numberOf(id, "First");
    const uint32_t second = numberOf(id, "Second");
    ASSERT_EQ(summary(id, first), "Old summary");

    reopen();
    ASSERT_FALSE(loaded(id));
    items[0].description = "New summary";
    items.push_back({"g3", "Third", "Brand new", "", "", "", ""});
    download(id);

    EXPECT_EQ(headlines(id), (QStringList{"Second", "First", "Third"}));
    EXPECT_EQ(numberOf(id, "First"), first);
    EXPECT_EQ(
        QStringList({summary(id, first), summary(id, second), summary(id, numberOf(id, "Third"))}),
        QStringList({"New summary", "Stays", "Brand new"}));

    // A summary kept for the lists is not shown after the download changed it.
    items[0].description = "Newer summary";
    download(id);
    EXPECT_EQ(summary(id, first), "Newer summary");
}

TEST_F(StoryLoadingTest, StoreOfTheFormerSchemaIsBroughtUpToDateWithItsCounts)
{
    const uint32_t id = eb::addChannel("Old");
    const uint32_t a = addStory(id, "a", "About a", "Topic");
    const uint32_t b = addStory(id, "b", "   ");
    ASSERT_EQ(VTMarkStoriesRead(id, {a}, 1), 1);
    eb::stop();
    // What the store looked like before counts and text facts were kept.
    ASSERT_TRUE(
        execSql({"DROP TRIGGER stories_counted_insert", "DROP TRIGGER stories_counted_delete",
                 "DROP TRIGGER stories_counted_update", "DROP INDEX stories_local_copies",
                 "DROP TABLE story_counts", "ALTER TABLE stories DROP COLUMN text_flags",
                 "ALTER TABLE stories DROP COLUMN summary_hash", "PRAGMA user_version=1"}));
    ASSERT_TRUE(eb::start());
    const Counts before = counts(id);
    EXPECT_EQ(before.unread, 1);
    EXPECT_EQ(before.subTotal, std::vector<long>{1});
    loadNow(id);
    EXPECT_TRUE(counts(id) == before);
    EXPECT_EQ(summary(id, a), "About a");
    EXPECT_EQ(std::pair(summaryAvailable(id, a), summaryAvailable(id, b)), std::pair(1, 0));
}

// Found: the headline or the summary in upper case contains the text in upper case.
TEST_F(StoryLoadingTest, FindStoriesComparesHeadlinesAndSummariesInUpperCase)
{
    const uint32_t news = eb::addChannel("News");
    const uint32_t other = eb::addChannel("Other");
    const uint32_t storm = addStory(news, "STORM warning", "Rain and wind");
    const uint32_t zurich = addStory(news, "City news", "Grüße aus ZÜRICH");
    const uint32_t percent = addStory(news, "Rates", "Up 5% today");
    const uint32_t nuts = addStory(news, "Nuts", "Taze f\u0131nd\u0131k");
    const uint32_t lines = addStory(news, "Line one\nline two", "");
    addStory(news, "Blank", "   ");
    const uint32_t elsewhere = addStory(other, "Storm at sea", "Waves and spray");
    reopen();

    struct Case {
        QString text;
        bool titleOnly;
        std::vector<uint32_t> news;
        std::vector<uint32_t> other;
    };
    // "üs" is in "GRÜSSE"; a dotless i is an I in upper case; a blank summary is none.
    // clang-format off
    const std::vector<Case> cases = {
        {"storm", true, {storm}, {elsewhere}}, {"WIND", true, {}, {}}, {"WIND", false, {storm}, {}},
        {"zürich", false, {zurich}, {}}, {"üs", false, {zurich}, {}}, {"ss", false, {zurich}, {}},
        {"FIN", false, {nuts}, {}}, {"fin", true, {}, {}}, {"one\nline", true, {lines}, {}},
        {"one line", true, {}, {}}, {"   ", false, {}, {}}, {"5%", false, {percent}, {}},
        {"5_", false, {}, {}}, {"", false, {}, {}}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const FoundStories found = engine()->findStories({news, 999, other}, c.text, c.titleOnly);
        // The unknown channel is left out.
        EXPECT_EQ(found, (FoundStories{{news, c.news}, {other, c.other}}));
    }
    // A channel with few of the stories has its own rows read.
    const FoundStories few = engine()->findStories({other}, "SPRAY", false);
    ASSERT_EQ(few.size(), 1u);
    EXPECT_EQ(few[0].second, std::vector<uint32_t>{elsewhere});
    // The headlines searched follow the channel's changes: a removal from the index made
    // above, then an addition.
    ASSERT_EQ(VTDeleteStories(news, {storm}), 1);
    for (const auto& [text, expected] : {std::pair<QString, std::vector<uint32_t>>{"storm", {}},
                                         {"city", {zurich}},
                                         {"line two", {lines}}})
        EXPECT_EQ(engine()->findStories({news}, text, true).at(0).second, expected)
            << text.toStdString();
    const uint32_t again = addStory(news, "Storm again");
    std::vector<std::pair<uint32_t, std::vector<uint32_t>>> found;
    ASSERT_EQ(VTFindStories({news}, "storm", 1, found), 1);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].second, std::vector<uint32_t>{again});
}
