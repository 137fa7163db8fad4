#include "vantrel/core/feedmerge.h"

#include "vantrel/core/origin.h"
#include "vantrel/core/rules.h"
#include "vantrel/core/textrules.h"

#include <QSet>

namespace vantrel
{
namespace
{

// The story facts a feed item gives; everything else about a story is the engine's or the
// person's.
void takeFeedFacts(Story& s, const feeds::Item& item, const QUrl& source)
{
    s.identity = item.identity;
    s.headline = item.headline;
    s.summary = item.summary;
    s.held |= Story::SummaryPart;
    s.link = followableAddress(source, item.link);
    s.published = item.published.isValid() ? item.published.toSecsSinceEpoch() : 0;
    s.category =
        item.categories.isEmpty() ? QString() : storyCategoryFromFeed(item.categories.first());
    s.enclosureUrl = followableAddress(source, item.enclosure.url);
    s.enclosureType = s.enclosureUrl.isEmpty() ? QString() : item.enclosure.mimeType;
    s.enclosureLength = s.enclosureUrl.isEmpty() ? 0 : item.enclosure.length;
    feeds::Enclosure kept = item.enclosure;
    kept.url = s.enclosureUrl;
    s.bundletType = feeds::bundletTypeFor(kept);
    setStoryAuthor(s, item.author.trimmed());
}

// The same facts, from a story that holds nothing else (made by the above), onto a stored
// story: the two name the same fields.
void takeFeedFacts(Story& s, const Story& facts)
{
    s.identity = facts.identity;
    s.headline = facts.headline;
    s.summary = facts.summary;
    s.held |= Story::SummaryPart;
    s.link = facts.link;
    s.published = facts.published;
    s.category = facts.category;
    s.enclosureUrl = facts.enclosureUrl;
    s.enclosureType = facts.enclosureType;
    s.enclosureLength = facts.enclosureLength;
    s.bundletType = facts.bundletType;
    setStoryAuthor(s, storyAuthor(facts));
}

// Whether the story's stored summary is that text; the stored text is read only when the
// story's summary digest is unknown (stories stored before digests were kept).
bool sameSummary(const Channel& channel, int index, const Story& before, const QString& summary)
{
    if (before.held & Story::SummaryPart)
        return before.summary == summary;
    if (before.summaryHash != 0)
        return before.summaryHash == summaryDigest(summary);
    return channel.GetStorySummary(index) == summary;
}

bool sameFeedFacts(const Story& a, const Story& b)
{
    return a.headline == b.headline && a.link == b.link && a.published == b.published &&
           a.category == b.category && a.enclosureUrl == b.enclosureUrl &&
           a.enclosureType == b.enclosureType && a.enclosureLength == b.enclosureLength &&
           a.bundletType == b.bundletType && storyAuthor(a) == storyAuthor(b);
}

// A filtered channel keeps only the stories that name one of its words in the headline, the
// summary or a category.
bool passesFilter(const Channel& channel, const Story& s, const QString& categories)
{
    if (!channel.filtered || channel.filterWords.isEmpty())
        return true;
    return matchesAnyWord(s.headline + QLatin1Char('\n') + s.summary + QLatin1Char('\n') +
                              categories,
                          channel.filterWords);
}

} // namespace

FeedFacts readFeedFacts(const feeds::Feed& feed, const QUrl& source)
{
    FeedFacts f;
    f.title = feed.title.simplified();
    f.homePage = followableAddress(source, feed.homePage);
    f.description = feed.description;
    f.contentDate = feed.updated.isValid() ? feed.updated.toSecsSinceEpoch() : 0;
    f.logoUrl = followableAddress(source, feed.logoUrl);
    // An identity listed twice counts once, as it is listed first (feeds list the newest
    // version first).
    QSet<QString> seen;
    seen.reserve(qsizetype(feed.items.size()));
    f.stories.reserve(feed.items.size());
    f.categories.reserve(feed.items.size());
    for (const feeds::Item& item : feed.items) {
        if (item.identity.isEmpty() || seen.contains(item.identity))
            continue;
        seen.insert(item.identity);
        Story s;
        takeFeedFacts(s, item, source);
        f.stories.push_back(std::move(s));
        f.categories.push_back(item.categories.join(QLatin1Char(' ')));
    }
    return f;
}

FeedMerge mergeFeed(const Channel& channel, FeedFacts facts, const RuleSet& rules,
                    uint32_t nextAlert, qint64 now)
{
    const RuleSet::ForChannel channelRules = rules.forChannel(channel);
    FeedMerge m;
    channel.ensureLoaded();
    m.nextStory = channel.nextStory;
    m.nextAlert = nextAlert;
    // A channel added without a name carries its address until its feed names it.
    const bool unnamed = channel.name.isEmpty() || channel.name == channel.url;
    m.name = unnamed && !facts.title.isEmpty() ? facts.title : channel.name;
    m.homePage = channel.homePage.isEmpty() ? facts.homePage : channel.homePage;
    m.description = channel.description.isEmpty() ? facts.description : channel.description;
    m.contentDate = facts.contentDate;
    m.logoUrl = facts.logoUrl;

    // Numbering from the end gives newer stories higher numbers; a deleted story stays
    // deleted.
    for (size_t i = facts.stories.size(); i-- > 0;) {
        Story& fed = facts.stories[i];
        if (channel.tombstones.contains(fed.identity))
            continue;
        const int existing = channel.indexOfIdentity(fed.identity);
        if (existing >= 0) {
            const Story& before = channel.stories[size_t(existing)];
            Story s = before;
            takeFeedFacts(s, fed);
            if (sameFeedFacts(before, s) && sameSummary(channel, existing, before, s.summary))
                continue;
            // A copy of a page the story no longer points at is stale.
            if (before.link != s.link && !s.localPath.isEmpty()) {
                m.staleFiles.push_back(s.localPath);
                s.localPath.clear();
            }
            m.updated.push_back(std::move(s));
            continue;
        }

        Story s = std::move(fed);
        if (!passesFilter(channel, s, facts.categories[i]))
            continue;
        s.received = now;
        const RuleVerdict verdict = channelRules.judge(s, now);
        if (verdict.remove) {
            ++m.filteredOut;
            continue;
        }
        s.number = m.nextStory++;
        s.bundletId = s.number;
        s.read = verdict.markRead ? 1 : 0;
        s.keep = verdict.keep ? 1 : 0;
        if (!verdict.alertNames.isEmpty()) {
            // One alert per story, named by every rule that raised it.
            Story a;
            a.number = m.nextAlert++;
            a.bundletId = a.number;
            a.headline = s.headline;
            a.summary = s.summary;
            a.link = s.link;
            a.published = s.published;
            a.received = now;
            a.category = verdict.alertCategory;
            a.alertName = verdict.alertNames.join(QStringLiteral(", "));
            a.alertChannelId = channel.id;
            a.alertStoryId = s.number;
            m.alerts.push_back(std::move(a));
            s.alerted = 1;
        }
        m.created.push_back(std::move(s));
    }
    return m;
}

FeedMerge mergeFeed(const Channel& channel, const feeds::Feed& feed, const QUrl& source,
                    const RuleSet& rules, uint32_t nextAlert, qint64 now)
{
    return mergeFeed(channel, readFeedFacts(feed, source), rules, nextAlert, now);
}

} // namespace vantrel
