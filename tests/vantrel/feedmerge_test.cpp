// A downloaded feed merged into its channel, without the worker, the store or the network.

#include "vantrel/core/feedmerge.h"
#include "vantrel/core/textrules.h"

#include <gtest/gtest.h>
#include <tuple>

using vantrel::AlertRule;
using vantrel::Channel;
using vantrel::FeedMerge;
using vantrel::Story;
namespace feeds = vantrel::feeds;

namespace
{

constexpr qint64 kNow = 1'800'000'000;

const vantrel::RuleSet& storms()
{
    static const vantrel::RuleSet rules = [] {
        AlertRule r;
        r.id = 1;
        r.name = "Storms";
        r.words = {"storm"};
        r.category = "Weather";
        return vantrel::RuleSet({r}, {});
    }();
    return rules;
}
const QUrl kNetwork("https://news.example/feed.xml");

feeds::Item item(const QString& identity, const QString& headline, const QString& link = {},
                 const QString& enclosure = {})
{
    feeds::Item i;
    i.identity = identity;
    i.headline = headline;
    i.summary = "About " + headline;
    i.link = link;
    i.enclosure.url = enclosure;
    i.enclosure.mimeType = enclosure.isEmpty() ? QString() : "audio/mpeg";
    return i;
}

// A channel as a download finds it: a read and kept story, a story with a downloaded page,
// and one the person deleted.
Channel channel()
{
    const auto story = [](uint32_t number, const QString& identity, const QString& headline,
                          uint32_t marks) {
        Story s;
        s.number = number;
        s.identity = identity;
        s.headline = headline;
        s.summary = "About " + headline;
        s.read = s.keep = marks;
        s.bundletType = VTBUNDLET_NEWS;
        return s;
    };
    Channel c;
    c.id = 7;
    c.name = "Harbour";
    c.nextStory = 10;
    c.stories = {story(3, "old", "Old news", 1), story(4, "paged", "Paged", 0)};
    c.stories[1].link = "https://news.example/a";
    c.stories[1].localPath = "/data/pages/7/4.html";
    c.tombstones.insert("gone");
    c.reindex();
    return c;
}

// What a merge did, in words: "new <headline>", "changed <headline>", "alert <headline>",
// "stale <file>".
QStringList outcome(const FeedMerge& m)
{
    QStringList out;
    for (const Story& s : m.created)
        out << "new " + s.headline;
    for (const Story& s : m.updated)
        out << "changed " + s.headline;
    for (const Story& s : m.alerts)
        out << "alert " + s.headline;
    for (const QString& file : m.staleFiles)
        out << "stale " + file;
    return out;
}

} // namespace

TEST(FeedMerge, EachKindOfItemEndsWhereItBelongs)
{
    const struct {
        const char* name;
        std::vector<feeds::Item> items;
        QStringList filter;
        QStringList outcome;
    } cases[] = {
        // clang-format off
        {"new item", {item("n1", "Fresh")}, {}, {"new Fresh"}},
        {"unchanged item", {item("old", "Old news")}, {}, {}},
        {"changed item", {item("old", "Old news, corrected")}, {}, {"changed Old news, corrected"}},
        {"item gone from the feed", {}, {}, {}},
        {"deleted story", {item("gone", "Back again")}, {}, {}},
        {"item without identity", {item("", "Nameless")}, {}, {}},
        {"one identity twice", {item("n1", "Newer"), item("n1", "Older")}, {}, {"new Newer"}},
        {"page moved", {item("paged", "Paged", "https://news.example/b")}, {},
         {"changed Paged", "stale /data/pages/7/4.html"}},
        {"no alert on a change", {item("old", "Old news: storm")}, {}, {"changed Old news: storm"}},
        {"filtered channel", {item("n1", "Harbour storm"), item("n2", "Market day")}, {"storm"},
         {"new Harbour storm", "alert Harbour storm"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Channel ch = channel();
        ch.filtered = !c.filter.isEmpty();
        ch.filterWords = c.filter;
        feeds::Feed feed;
        feed.items = c.items;
        const FeedMerge m = vantrel::mergeFeed(ch, feed, kNetwork, storms(), 50, kNow);
        EXPECT_EQ(outcome(m), c.outcome);
        EXPECT_EQ(m.nextStory, 10u + uint32_t(m.created.size()));
        EXPECT_EQ(m.nextAlert, 50u + uint32_t(m.alerts.size()));
        // A changed story keeps its number and the person's marks.
        for (const Story& s : m.updated) {
            const Story* before = ch.story(s.number);
            ASSERT_NE(before, nullptr);
            EXPECT_EQ(before->identity, s.identity);
            EXPECT_EQ(std::make_pair(s.read, s.keep), std::make_pair(before->read, before->keep));
        }
    }
}

TEST(FeedMerge, NewStoriesAreNumberedNewestHighestAndKeepTheirAlertLinks)
{
    feeds::Feed feed;
    feed.items = {item("n2", "Second storm"), item("n1", "First")};
    const FeedMerge m = vantrel::mergeFeed(channel(), feed, kNetwork, storms(), 50, kNow);
    ASSERT_EQ(m.created.size(), 2u);
    // Headline, number, package id, time received and alert mark of each new story.
    const auto facts = [](const Story& s) {
        return std::tuple(s.headline, s.number, s.bundletId, s.received, s.alerted);
    };
    EXPECT_EQ(facts(m.created[0]), std::tuple(QString("First"), 10u, 10u, kNow, 0u));
    EXPECT_EQ(facts(m.created[1]), std::tuple(QString("Second storm"), 11u, 11u, kNow, 1u));
    ASSERT_EQ(m.alerts.size(), 1u);
    const Story& a = m.alerts[0];
    EXPECT_EQ(std::tuple(a.number, a.alertName, a.category, a.alertChannelId, a.alertStoryId),
              std::tuple(50u, QString("Storms"), QString("Weather"), 7u, 11u));
}

// Addresses in a feed from the network may only point at the network; a feed the person
// added as a local file may point at local files.
TEST(FeedMerge, NetworkFeedsHandOnNetworkAddressesOnly)
{
    const QString file = "file:///home/someone/.ssh/id_rsa";
    const QString web = "https://news.example/show.mp3";
    const struct {
        QUrl source;
        QString address;
        bool kept;
    } cases[] = {
        {kNetwork, web, true},
        {kNetwork, file, false},
        {kNetwork, "ftp://news.example/x", false},
        {kNetwork, "/etc/passwd", false},
        {QUrl("http://news.example/feed"), file, false},
        {QUrl::fromLocalFile("/home/someone/feed.xml"), file, true},
        {QUrl::fromLocalFile("/home/someone/feed.xml"), web, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.source.toString() + " -> " + c.address).toStdString());
        Channel ch = channel();
        ch.homePage.clear();
        feeds::Feed feed;
        feed.logoUrl = c.address;
        feed.homePage = c.address;
        feed.items = {item("n1", "Fresh", c.address, c.address)};
        const FeedMerge m = vantrel::mergeFeed(ch, feed, c.source, vantrel::RuleSet(), 1, kNow);
        ASSERT_EQ(m.created.size(), 1u);
        const QString expected = c.kept ? c.address : QString();
        EXPECT_EQ(
            QStringList({m.created[0].link, m.created[0].enclosureUrl, m.logoUrl, m.homePage}),
            QStringList({expected, expected, expected, expected}));
        EXPECT_EQ(m.created[0].bundletType, c.kept ? uint32_t(VTBUNDLET_AUDIO) : VTBUNDLET_NEWS);
    }
}

// Alert and filter words match whole words, in any case, outside markup.
TEST(FeedMerge, WordsMatchWholeWordsInAnyCaseOutsideMarkup)
{
    const struct {
        const char* text;
        QStringList words;
        bool matches;
    } cases[] = {
        // clang-format off
        {"Big STORM coming", {"storm"}, true}, {"storm", {"flood", "storm"}, true},
        {"Brainstorming", {"storm"}, false}, {"stormstorm, then storm-front", {"storm"}, true},
        {"storm_front x2storm", {"storm"}, false}, {"\u00DCBER alles", {"\u00FCber"}, true},
        {"St\xC3\xBCrme", {"st\xC3\xBCrm"}, false},
        {"\xF0\x9D\x90\x80storm", {"storm"}, false}, // after a letter outside the BMP
        {"Flood Warning issued", {"flood warning"}, true},
        {"<a href=\"storm\">calm</a>", {"storm"}, false},
        {"calm &amp; storm", {"storm"}, true}, {"storm", {"  ", ""}, false},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(vantrel::matchesAnyWord(QString::fromUtf8(c.text), c.words), c.matches) << c.text;
}
