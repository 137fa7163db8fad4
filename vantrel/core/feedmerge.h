#pragma once
// One download of a channel's feed merged into the channel. This is the one place where
// incoming stories are made: new items become stories, changed items update their stories
// (the person's marks stay), deleted stories stay deleted, a filtered channel keeps only the
// stories that name its words, filter rules act on new stories and alert rules raise alerts on
// them, and addresses a network feed may not hand on are dropped (see origin.h).
//
// The merge is pure: it reads the channel and returns what should change. The engine stores
// the result in one transaction and applies it to the model only when that committed.

#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/model.h"
#include "vantrel/core/rules.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <vector>

namespace vantrel
{

struct FeedMerge {
    // New stories, oldest first, numbered from the channel's next story number.
    std::vector<Story> created;
    // Stories whose feed facts changed, in full as they are to be stored.
    std::vector<Story> updated;
    // New stories of the alerts channel, numbered from the alerts channel's next number.
    std::vector<Story> alerts;
    // Downloaded copies of pages that their story no longer points at.
    QStringList staleFiles;
    int filteredOut = 0;    // new items a filter deleted
    uint32_t nextStory = 1; // the channel's next story number afterwards
    uint32_t nextAlert = 1; // the alerts channel's next story number afterwards

    // The channel's facts afterwards: what the channel already has wins over the feed.
    QString name;
    QString homePage;
    QString description;
    qint64 contentDate = 0; // the feed's own date; 0 when it gives none
    QString logoUrl;        // the feed's logo, when the engine may fetch it; else empty
};

// What a feed says, read without its channel (so without the model lock): one story per
// identity, as the feed lists it first (feeds list the newest version first), holding only
// the facts the feed gives, in the feed's order; and the feed's own facts. Addresses are
// resolved against source, the address the feed was downloaded from.
struct FeedFacts {
    std::vector<Story> stories;
    std::vector<QString> categories; // each story's categories, all of them, for filtering
    QString title;                   // simplified
    QString homePage;
    QString description;
    qint64 contentDate = 0;
    QString logoUrl;
};
FeedFacts readFeedFacts(const feeds::Feed& feed, const QUrl& source);

// Merges the feed, read from source (the address it was downloaded from), into the channel.
// New stories go through the filter rules in their order (deleted, marked read, kept,
// alerted) and the alert rules; a story that one or more rules alert raises one alert named
// by all of them. nextAlert is the alerts channel's next story number; now is the time the
// new stories are received.
FeedMerge mergeFeed(const Channel& channel, const feeds::Feed& feed, const QUrl& source,
                    const RuleSet& rules, uint32_t nextAlert, qint64 now);
// The same with the feed read before, so that a caller holding a lock for the channel reads
// the feed without it.
FeedMerge mergeFeed(const Channel& channel, FeedFacts facts, const RuleSet& rules,
                    uint32_t nextAlert, qint64 now);

} // namespace vantrel
