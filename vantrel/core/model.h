#pragma once
// The engine's live model: channels with their stories, the alerts channel, directory entries
// and alert rules. Everything here is read and changed under the engine's model lock.

#include "vantrel/chandir.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

namespace vantrel
{

// One story. Numbers are unique inside their channel and never reused.
struct Story {
    uint32_t number = 0;
    QString identity; // the feed item's identity; empty for stories not from a feed
    QString headline;
    // The headline case-folded, for sorting and searching; made when the channel takes the
    // story (Channel::appendStory, loading), the headline itself when folding changes nothing.
    QString headlineKey;
    QString summary;
    QString link;
    qint64 published = 0; // seconds since 1970; 0 when the feed gave none
    qint64 received = 0;  // when the engine first stored the story
    QString category;     // "/" between levels, "//" for a slash inside a level
    uint32_t read = 0;
    uint32_t keep = 0;
    uint32_t bundletId = 0;
    uint32_t bundletType = VTBUNDLET_NEWS;
    uint32_t bundletSigned = 0;
    uint32_t alerted = 0;
    uint32_t accessed = 0;
    QString localPath; // the downloaded copy of the story page
    QString header;
    QString footer;
    QString enclosureUrl;
    QString enclosureType;
    qint64 enclosureLength = 0;
    // Alerts channel only.
    QString alertName; // the names of the rules that raised it, ", " between them
    uint32_t alertChannelId = 0;
    uint32_t alertStoryId = 0;
    // Any other named attribute (numbers or texts), kept as given.
    QVariantMap extra;

    // The files the engine made for the story, which go when it goes: its downloaded page
    // and its enclosure.
    QStringList madeFiles() const;

    // The long texts (summary, header, footer) are not kept in the memory of a channel that
    // the store backs: they are read from the store when asked for. `held` says which of them
    // this record carries (a story made by a feed merge or by a caller carries them all);
    // `textFacts` says what is known of all three whether carried or not.
    enum TextPart : uint8_t { SummaryPart = 1, HeaderPart = 2, FooterPart = 4, AllParts = 7 };
    enum TextFact : uint8_t {
        SummaryNotBlank = 1, // the summary has more than white space
        HeaderPresent = 2,
        FooterPresent = 4,
        SummaryPresent = 8, // the summary is not empty (it may be blank)
    };
    uint8_t held = AllParts;
    uint8_t textFacts = 0;
    // A digest of the summary (0: unknown), so that a download can tell a changed summary
    // without reading the stored one.
    quint64 summaryHash = 0;

    // textFacts and summaryHash as they are with the texts this record carries.
    std::pair<uint8_t, quint64> currentTextFacts() const;
    // Brings textFacts and summaryHash up to date with the texts this record carries.
    void noteTexts() { std::tie(textFacts, summaryHash) = currentTextFacts(); }
    // Notes the texts, then drops them from the record.
    void dropTexts();

    // The time the lists show: the published time, else the time it was received.
    qint64 shownTime() const { return published > 0 ? published : received; }
};

// The digest kept in Story::summaryHash: 64-bit FNV-1a over the UTF-16 text, never 0.
quint64 summaryDigest(QStringView text);

// A directory entry: a channel the engine offers, subscribed or not.
struct DirEntry {
    uint32_t id = 0;
    QString name;
    QString url;
    QString categories; // ";" between paths, "/" between levels, "&slash;" inside names
    QString description;
    QString homePage;
    uint32_t flags = 0;      // VTDIRENTRY_* bits
    uint32_t visibility = 0; // bit 0x1 hides the entry
    uint32_t date = 0;       // seconds since 1970
    QString catalogue;       // where the entry came from
    QMap<QString, QString> attributes;
};

// An alert rule: a new story that names one of its words or phrases raises an alert under
// the rule's name. Rules stored before the matching choices existed match headlines and
// summaries, whole words, without regard to case, in every channel.
struct AlertRule {
    uint32_t id = 0;
    QString name;
    QStringList words; // words or phrases
    QString category;  // the sub-channel path of its alerts; may be empty
    bool enabled = true;
    bool headlinesOnly = false; // else headlines and summaries
    bool wholeWords = true;     // else anywhere in the text
    bool matchCase = false;
    // What it watches: these channels and the channels in these category paths (a path takes
    // its sub-paths). Both empty: every channel.
    std::vector<uint32_t> channels;
    QStringList categories;
};

// One condition of a filter rule.
struct FilterCondition {
    enum class Field { Headline, Summary, Category, Author, Link, Age };
    enum class Test { Contains, NotContains, Matches, OlderThan };
    Field field = Field::Headline;
    Test test = Test::Contains;
    QString value; // the text, or the regular expression for Matches
    int days = 0;  // OlderThan: the age in days (the published time, else the received time)
};

// A filter rule acts on the stories whose conditions hold (all of them, or any one).
struct FilterRule {
    enum class Action { MarkRead, Keep, Delete, Alert };
    uint32_t id = 0;
    QString name;
    bool enabled = true;
    bool matchAll = true;
    std::vector<FilterCondition> conditions;
    Action action = Action::MarkRead;
    QString alertName; // Alert: the name its alerts are raised under
};

class Engine;
class Store;

// How many stories a channel has per story category ("" for none), as the store counts them.
struct StoryCount {
    long total = 0;
    long unread = 0;
};
using StoryCounts = QHash<QString, StoryCount>;

// A subscribed channel (or the alerts channel) as the directory library shows it.
class Channel final : public CService
{
public:
    uint32_t id = 0;
    uint32_t entryId = 0;
    QString name;
    QString url;
    QString categories; // as the directory entry gives them
    QString homePage;
    QString description;
    bool enabled = true;
    bool secure = false;
    bool filtered = false;
    bool homeServer = false;
    QStringList filterWords;
    QString logoFile;
    QString logoUrl;
    qint64 lastUpdated = 0; // last successful update
    qint64 lastAttempt = 0; // last update attempt, successful or not
    qint64 contentDate = 0; // the date the feed itself carries
    QString status;
    QString lastError; // why the last update failed; empty once one succeeded
    qint64 lastErrorAt = 0;
    int updateIntervalSecs = 0; // 0: the engine's interval
    int keepStories = 0;        // 0: all
    uint32_t nextStory = 1;
    bool updating = false;
    std::vector<Story> stories;
    QSet<QString> tombstones; // identities of deleted stories
    // Stories already gone from memory whose removal from the store is under way (number →
    // whether its identity stays as a tombstone). A channel that loads meanwhile leaves them
    // out, keeps their tombstones and never gives their numbers again.
    QHash<uint32_t, bool> leaving;

    // A channel whose stories the store keeps reads them from there when they are first
    // needed (ensureLoaded()): until then `stories` and `tombstones` are empty and the counts
    // are those the store gave. Every accessor below loads them first; code that reads
    // `stories` or `tombstones` directly calls ensureLoaded() itself.
    void attachStore(Store* store, StoryCounts counts);
    // False when the stories could not be read (the store's last error says why); nothing
    // that depends on them may then change the channel.
    bool ensureLoaded() const;
    bool isLoaded() const { return m_loaded; }
    // The store's counts again, after stories were removed from the store alone (nothing for a
    // loaded channel, which counts its stories itself).
    void refreshStoredCounts(StoryCounts counts)
    {
        if (!m_loaded)
            m_counts = std::move(counts);
    }
    // The store the stories come from (null for a channel in memory only).
    Store* store() const { return m_store; }

    // Index helpers; kept in step with `stories` by reindex().
    void reindex();
    int indexOf(uint32_t number) const;
    int indexOfIdentity(const QString& identity) const;
    const Story* story(uint32_t number) const
    {
        const int i = indexOf(number);
        return i < 0 ? nullptr : &stories[size_t(i)];
    }
    Story* story(uint32_t number)
    {
        const int i = indexOf(number);
        return i < 0 ? nullptr : &stories[size_t(i)];
    }
    // Adds a story, or puts a story in the place of the one with its number. A channel that the
    // store backs keeps the story without its long texts.
    void appendStory(Story s);
    void replaceStory(Story s);
    int unreadCount() const;
    int storyCount() const;
    // The long texts of the story at an index: the record's own, or read from the store.
    QString storyText(int index, Story::TextPart part) const;

    // CService
    int GetServiceID(uint32_t& id) const override;
    int GetDirectoryEntryId(uint32_t& id) const override;
    int GetDisplayName(QString& name) const override;
    int GetCategory(QString& text, int index) const override;
    int GetLogoBitmapFile(QString& path) const override;
    int GetLastUpdatedDateTime(QString& text) const override;
    int GetServiceDateData(QString& text) const override;
    int GetServiceInfo(const QString& key, QString& text) const override;
    int IsEnabled() const override { return enabled ? 1 : 0; }
    int IsHomeServer() const override { return homeServer ? 1 : 0; }
    int IsSecure() const override { return secure ? 1 : 0; }
    int IsFiltered() const override { return filtered ? 1 : 0; }
    uint32_t GetFlags() const override;
    int ContainsSubChannels() const override;
    int GetSubChannels(QStringList& names) const override;
    int GetSubChannelsCount(const QStringList& names, std::vector<long>& unread,
                            std::vector<long>& total) const override;
    int GetNumUnreadStories() const override { return unreadCount(); }
    int GetNoStories() const override
    {
        ensureLoaded();
        return int(stories.size());
    }
    int GetStoryIndex(uint32_t storyNumber) const override { return indexOf(storyNumber); }
    QString GetStoryID(int index) const override;
    QString GetStoryHeadline(int index) const override;
    QString GetStorySummary(int index) const override;
    int IsStorySummaryAvailable(int index) const override;
    int GetStoryUpdatedTime(int index, uint32_t& time) const override;
    int GetStoryUpdatedTime(int index, QString& text) const override;
    int GetStoryAttribute(int index, const QString& name, uint32_t& value) const override;
    int GetStoryAttribute(int index, const QString& name, QString& value) const override;
    int GetStoryField(int index, const QString& name, QString& text) const override;
    int GetStoryListFacts(int index, StoryListFacts& facts) const override;

private:
    const Story* at(int index) const
    {
        ensureLoaded();
        return index < 0 || size_t(index) >= stories.size() ? nullptr : &stories[size_t(index)];
    }
    // Keeps the story's long texts out of memory when the store backs the channel, and shares
    // the texts it has in common with other stories.
    void settle(Story& s);
    // Stories are kept in number order as a rule (they are read in it, and new ones get
    // higher numbers): then a number is found by halving, and the hash is left empty.
    bool m_inNumberOrder = true;
    QHash<uint32_t, int> m_byNumber; // only when not in number order
    // Identities are looked up by downloads only: made on the first look-up.
    mutable bool m_identitiesIndexed = false;
    mutable QHash<QString, int> m_byIdentity;
    Store* m_store = nullptr;
    mutable bool m_loaded = true;
    StoryCounts m_counts;   // while not loaded
    QSet<QString> m_shared; // category texts, one copy each
};

// Time texts shared by the channel and story answers.
QString formatLocalTime(qint64 secs);
// Makes formatLocalTime ask for the zone's offsets again (after the local zone changed); it
// does so by itself a minute after it last asked.
void forgetLocalTimeOffsets();

} // namespace vantrel
