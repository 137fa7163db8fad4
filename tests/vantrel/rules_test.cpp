// Alert and filter rules in the merge of a download (no worker, store or network).

#include "vantrel/core/feedmerge.h"
#include "vantrel/core/rules.h"

#include <gtest/gtest.h>

using vantrel::AlertRule;
using vantrel::FilterCondition;
using vantrel::FilterRule;
using Field = FilterCondition::Field;
using Check = FilterCondition::Test;
using Action = FilterRule::Action;
namespace feeds = vantrel::feeds;

namespace
{

constexpr qint64 kNow = 1'800'000'000;
constexpr qint64 kDay = 86400;

feeds::Item item(const QString& headline, const QString& summary = {}, qint64 age = 0,
                 const QString& author = {})
{
    feeds::Item i;
    i.identity = headline;
    i.headline = headline;
    i.summary = summary;
    i.author = author;
    i.link = "https://news.example/" + QString::number(qHash(headline));
    i.published = QDateTime::fromSecsSinceEpoch(kNow - age, Qt::UTC);
    i.categories = QStringList{"Coast/North"};
    return i;
}

AlertRule alert(const QString& name, const QStringList& words)
{
    AlertRule r;
    r.id = 1;
    r.name = name;
    r.words = words;
    return r;
}

FilterRule filter(Action action, std::vector<FilterCondition> conditions, bool all = true)
{
    FilterRule r;
    r.name = "f";
    r.action = action;
    r.alertName = action == Action::Alert ? "Flagged" : QString();
    r.conditions = std::move(conditions);
    r.matchAll = all;
    return r;
}

// What the merge made, in words: "<headline>[ read][ kept]" for each new story,
// "alert <headline>: <names> in <category>" for each alert.
QStringList outcome(const vantrel::FeedMerge& m)
{
    QStringList out;
    for (const vantrel::Story& s : m.created)
        out << s.headline + (s.read ? " read" : "") + (s.keep ? " kept" : "");
    for (const vantrel::Story& a : m.alerts)
        out << "alert " + a.headline + ": " + a.alertName + " in " + a.category;
    return out;
}

} // namespace

TEST(Rules, NewStoriesAreJudgedByTheAlertAndFilterRules)
{
    AlertRule tide = alert("Tides", {"high tide"});
    AlertRule headlineOnly = alert("Headline", {"gale"});
    headlineOnly.headlinesOnly = true;
    AlertRule anyText = alert("Any", {"storm"});
    anyText.wholeWords = false;
    AlertRule cased = alert("Agency", {"NASA"});
    cased.matchCase = true;
    AlertRule elsewhere = alert("Elsewhere", {"tide"});
    elsewhere.channels = {99};
    AlertRule byCategory = alert("Coast", {"tide"});
    byCategory.categories = {"Coast"};
    byCategory.category = "Sea";
    AlertRule off = alert("Off", {"tide"});
    off.enabled = false;

    const struct {
        const char* name;
        std::vector<AlertRule> alerts;
        std::vector<FilterRule> filters;
        std::vector<feeds::Item> items;
        QStringList outcome;
    } cases[] = {
        // clang-format off
        {"a phrase, without regard to case", {tide}, {},
         {item("HIGH TIDE tonight"), item("Higher tides")},
         {"HIGH TIDE tonight", "Higher tides", "alert HIGH TIDE tonight: Tides in "}},
        {"a phrase across markup and line breaks in a summary", {tide}, {},
         {item("Notice", "<p>The <b>high</b>\n  tide &amp; wind</p>")},
         {"Notice", "alert Notice: Tides in "}},
        {"headlines only pass over summaries", {headlineOnly}, {},
         {item("Calm", "a gale warning"), item("Gale warning")},
         {"Calm", "Gale warning", "alert Gale warning: Headline in "}},
        {"any text finds a word inside another", {anyText}, {}, {item("Brainstorming")},
         {"Brainstorming", "alert Brainstorming: Any in "}},
        {"case is matched when asked", {cased}, {}, {item("nasa budget"), item("NASA launch")},
         {"nasa budget", "NASA launch", "alert NASA launch: Agency in "}},
        {"a rule watching other channels, a rule watching the channel's category, a disabled rule",
         {elsewhere, byCategory, off}, {}, {item("Tide tables")},
         {"Tide tables", "alert Tide tables: Coast in Sea"}},
        {"two rules raise one alert named by both", {tide, byCategory}, {},
         {item("High tide at noon")},
         {"High tide at noon", "alert High tide at noon: Tides, Coast in Sea"}},
        {"a filter deletes by regular expression, before alerts", {tide},
         {filter(Action::Delete, {{Field::Headline, Check::Matches, "^ad(vert)?:", 0}})},
         {item("Advert: high tide sale"), item("Ad: boats"), item("Adrift at high tide")},
         {"Adrift at high tide", "alert Adrift at high tide: Tides in "}},
        {"mark read and keep, by author and by summary", {},
         {filter(Action::MarkRead, {{Field::Author, Check::Contains, "bot", 0}}),
          filter(Action::Keep, {{Field::Summary, Check::NotContains, "rumour", 0}})},
         {item("One", "facts", 0, "Newsbot"), item("Two", "a rumour", 0, "Ann")},
         {"One read kept", "Two"}},
        {"all conditions, any condition, age and link", {},
         {filter(Action::MarkRead, {{Field::Age, Check::OlderThan, {}, 7},
                                    {Field::Link, Check::Contains, "news", 0}}),
          filter(Action::Alert, {{Field::Category, Check::Contains, "north", 0},
                                 {Field::Headline, Check::Contains, "zzz", 0}}, false)},
         {item("Old", {}, 8 * kDay), item("Recent", {}, 6 * kDay)},
         {"Old read", "Recent", "alert Old: Flagged in ", "alert Recent: Flagged in "}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vantrel::Channel channel;
        channel.id = 7;
        channel.categories = "Coast/North;Weather";
        feeds::Feed feed;
        feed.items = c.items;
        const vantrel::RuleSet rules(c.alerts, c.filters);
        const vantrel::FeedMerge m =
            vantrel::mergeFeed(channel, feed, QUrl("https://news.example/f"), rules, 1, kNow);
        QStringList got = outcome(m), want = c.outcome;
        got.sort();
        want.sort();
        EXPECT_EQ(got, want);
        for (const vantrel::Story& a : m.alerts) {
            const auto it = std::find_if(m.created.begin(), m.created.end(),
                                         [&](const auto& s) { return s.number == a.alertStoryId; });
            ASSERT_NE(it, m.created.end());
            EXPECT_EQ(it->alerted, 1u);
        }
    }
}

TEST(Rules, TheAuthorIsAStoryAttributeAndItsChangeUpdatesTheStory)
{
    vantrel::Channel channel;
    channel.id = 7;
    feeds::Feed feed;
    feed.items = {item("One", {}, 0, "Ann Lee")};
    const vantrel::FeedMerge first =
        vantrel::mergeFeed(channel, feed, QUrl("https://n.example/"), {}, 1, kNow);
    ASSERT_EQ(first.created.size(), 1u);
    EXPECT_EQ(first.created[0].extra.value("Author").toString(), "Ann Lee");
    channel.stories = first.created;
    channel.reindex();
    feed.items[0].author = "Ann Lee-Smith";
    const vantrel::FeedMerge second =
        vantrel::mergeFeed(channel, feed, QUrl("https://n.example/"), {}, 1, kNow);
    ASSERT_EQ(second.updated.size(), 1u);
    EXPECT_EQ(vantrel::storyAuthor(second.updated[0]), "Ann Lee-Smith");
}

TEST(Rules, RulesThatCannotBeUsedAreRefusedWithTheReason)
{
    FilterRule noAlertName = filter(Action::Alert, {{Field::Headline, Check::Contains, "x", 0}});
    noAlertName.alertName.clear();
    const struct {
        FilterRule rule;
        QString reason;
    } filters[] = {
        {filter(Action::Delete, {{Field::Headline, Check::Matches, "(unclosed", 0}}),
         "Condition 1: the regular expression \"(unclosed\" is not valid: missing closing "
         "parenthesis (at character 10)."},
        {filter(Action::Delete, {}), "Conditions: give at least one condition."},
        {filter(Action::Delete, {{Field::Link, Check::Contains, "a", 0},
                                 {Field::Headline, Check::Contains, "", 0}}),
         "Condition 2: give the text to look for."},
        {filter(Action::Delete, {{Field::Age, Check::Contains, "3", 0}}),
         "Condition 1: only the age can be older than a number of days."},
        {filter(Action::Delete, {{Field::Age, Check::OlderThan, {}, 0}}),
         "Condition 1: the age must be between 1 and 36500 days."},
        {noAlertName, "Alert name: give the name its alerts are raised under."},
        {filter(Action::Keep, {{Field::Headline, Check::Matches, "^a+$", 0}}), ""},
    };
    for (const auto& c : filters)
        EXPECT_EQ(vantrel::filterRuleProblem(c.rule), c.reason);
    EXPECT_EQ(vantrel::alertRuleProblem(alert("", {"x"})), "Name: give the alert a name.");
    EXPECT_EQ(vantrel::alertRuleProblem(alert("A", {" ", ""})),
              "Words or phrases: give at least one word or phrase to look for.");
    EXPECT_EQ(vantrel::splitPhrases(" storm, high  tide ,\nstorm,,"),
              (QStringList{"storm", "high tide"}));
}
