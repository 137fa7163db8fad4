#pragma once
// chandir: the engine's read-only view of channels (services) and their stories.
//
// Every reader takes the shared directory with GetCServices(), checks it for null, and gives
// it back with ReleaseCServices() before returning. While it is held, the engine's background
// work waits before changing anything, so keep the pair short and never hold a CService
// pointer beyond it. Call from the user-interface thread.

#include "vantrel/engctl.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

// The capabilities of a story. The caller sets requestMask (one VTCAPS_* bit, or 0xFFFFFFFF
// for all) and GetStoryCaps fills the fields named by it.
struct tagStoryCaps {
    uint32_t requestMask = 0;
    uint32_t canPlay = 0;       // VTCAPS_PLAY
    uint32_t hasFullStory = 0;  // VTCAPS_FULL_STORY
    uint32_t hasSummary = 0;    // VTCAPS_SUMMARY
    uint32_t canDelete = 0;     // VTCAPS_DELETE
    uint32_t canDownload = 0;   // VTCAPS_DOWNLOAD
    uint32_t canKeep = 0;       // VTCAPS_KEEP
    uint32_t hasProperties = 0; // VTCAPS_PROPERTIES
    uint32_t reserved = 0;      // VTCAPS_RESERVED
    uint32_t canPlaceFiles = 0; // VTCAPS_PLACE_FILES
    uint32_t kept = 0;          // VTCAPS_KEEP: nonzero when the story is kept
};

enum VTStoryCapsRequest : uint32_t {
    VTCAPS_PLAY = 1,
    VTCAPS_FULL_STORY = 2,
    VTCAPS_SUMMARY = 4,
    VTCAPS_DELETE = 8,
    VTCAPS_DOWNLOAD = 16,
    VTCAPS_KEEP = 32,
    VTCAPS_PROPERTIES = 64,
    VTCAPS_RESERVED = 128,
    VTCAPS_PLACE_FILES = 256,
    VTCAPS_ALL = 0xFFFFFFFFu,
};

// "Bundlet Type" bits: the kind of a story's content package.
enum VTBundletType : uint32_t {
    VTBUNDLET_AUDIO = 0x2,
    VTBUNDLET_VIDEO = 0x4,
    VTBUNDLET_PICTURE = 0x10,
    VTBUNDLET_FILE = 0x80,
    VTBUNDLET_NEWS = 0x200, // a plain story: no package to play
};

// Bit of a channel's flags word (CService::GetFlags) that the directory window reads.
constexpr uint32_t VTCHANNELFLAG_STATE = 1u << 14;

// What a story list shows of one story, read in one call (CService::GetStoryListFacts).
struct StoryListFacts {
    uint32_t number = 0;
    uint32_t time = 0; // as GetStoryUpdatedTime
    uint32_t read = 0;
    uint32_t keep = 0;
    uint32_t bundletType = 0;
    uint32_t bundletSigned = 0;
    uint32_t local = 0; // as the "Story Local" attribute
    uint32_t alerted = 0;
    uint32_t alertChannelId = 0; // the alerts channel only
    bool hasSummary = false;     // a summary with more than white space, a header or a footer
    QString headline;
    QString headlineKey; // the headline case-folded, for sorting and searching
    QString category;    // as the "Category" attribute
    QString alertName;   // the alerts channel only
};

// Stories found by CServices::FindStories: the numbers per channel, in the channel's order.
using FoundStories = std::vector<std::pair<uint32_t, std::vector<uint32_t>>>;

// One channel. Stories are addressed by index 0 .. GetNoStories() - 1, in the order the
// engine keeps them. Text results are written into the out parameters; every call returns
// nonzero on success.
class CService
{
public:
    virtual ~CService() = default;

    virtual int GetServiceID(uint32_t& id) const = 0;
    virtual int GetDirectoryEntryId(uint32_t& id) const = 0;
    virtual int GetDisplayName(QString& name) const = 0;
    // The index-th category path of the channel; 0 when there is none.
    virtual int GetCategory(QString& text, int index) const = 0;
    virtual int GetLogoBitmapFile(QString& path) const = 0;
    virtual int GetLastUpdatedDateTime(QString& text) const = 0;
    // The date the channel's content carries ("Updated 12:05"); 0 when it carries none.
    virtual int GetServiceDateData(QString& text) const = 0;
    // Key "Home Page" gives the channel's home page address.
    virtual int GetServiceInfo(const QString& key, QString& text) const = 0;
    virtual int IsEnabled() const = 0;
    virtual int IsHomeServer() const = 0;
    virtual int IsSecure() const = 0;
    virtual int IsFiltered() const = 0;
    virtual uint32_t GetFlags() const = 0;
    virtual int ContainsSubChannels() const = 0;
    // Sub-channel paths ("/" between levels, "&slash;" inside names).
    virtual int GetSubChannels(QStringList& names) const = 0;
    // Two counts per name of the list: unread stories, then all stories.
    virtual int GetSubChannelsCount(const QStringList& names, std::vector<long>& unread,
                                    std::vector<long>& total) const = 0;
    virtual int GetNumUnreadStories() const = 0;

    virtual int GetNoStories() const = 0;
    // The index of the story with that number; negative when absent.
    virtual int GetStoryIndex(uint32_t storyNumber) const = 0;
    virtual QString GetStoryID(int index) const = 0;
    virtual QString GetStoryHeadline(int index) const = 0;
    virtual QString GetStorySummary(int index) const = 0;
    virtual int IsStorySummaryAvailable(int index) const = 0;
    // Seconds since 1 January 1970, or the text form the lists show.
    virtual int GetStoryUpdatedTime(int index, uint32_t& time) const = 0;
    virtual int GetStoryUpdatedTime(int index, QString& text) const = 0;
    virtual int GetStoryAttribute(int index, const QString& name, uint32_t& value) const = 0;
    virtual int GetStoryAttribute(int index, const QString& name, QString& value) const = 0;
    // Name "URL" gives the story's address.
    virtual int GetStoryField(int index, const QString& name, QString& text) const = 0;

    // Extension: everything a story list shows of the story at the index, at once; 0 when
    // there is no such story.
    virtual int GetStoryListFacts(int index, StoryListFacts& facts) const;

    // Takes a story identifier apart; nonzero when the text is one.
    static int ParseStoryID(const QString& storyId, uint32_t& channelId, uint32_t& storyNumber);
    // Builds the identifier of a story (for the engine's own use and for tests).
    static QString MakeStoryID(uint32_t channelId, uint32_t storyNumber);
};

// The shared directory of channels.
class CServices
{
public:
    virtual ~CServices() = default;
    virtual int GetNoServices() const = 0;
    virtual CService* GetService(int index) const = 0;
    virtual CService* GetServiceByID(uint32_t channelId) const = 0;
    virtual CService* GetServiceByDirectoryEntryId(uint32_t entryId) const = 0;
    virtual int GetStoryAttribute(const QString& storyId, const QString& name,
                                  uint32_t& value) const = 0;
    virtual int GetStoryAttribute(const QString& storyId, const QString& name,
                                  QString& value) const = 0;
    // Extension: the stories of the channels whose headline (or, unless titleOnly, summary
    // that is not blank) in upper case contains the text in upper case; one entry per channel
    // that exists, in the order given. Nonzero on success; an empty text finds nothing.
    virtual int FindStories(const std::vector<uint32_t>& channelIds, const QString& text,
                            bool titleOnly, FoundStories& found) const;
};

// Start-up and exit of the library (after ENGCTLInitialize, before ENGCTLDeinitialize).
int ChanDir_Initialize();
int ChanDir_Uninitialize();

// The shared palette. Today's displays need none: the handle is a harmless token that the
// drawing calls accept.
struct VTPalette;
using HPALETTE = const VTPalette*;
HPALETTE CreateRainbowPalette();
void DeleteRainbowPalette(HPALETTE palette);

CServices* GetCServices();
void ReleaseCServices();

int GetStoryCaps(const QString& storyId, tagStoryCaps* caps);

// Extension: the text form of a story time (seconds since 1970) that GetStoryUpdatedTime gives.
QString GetStoryTimeText(uint32_t time);

// Groups (channel id, story number) pairs into one list per channel.
class CStoryBucket
{
public:
    void AddStory(uint32_t channelId, uint32_t storyNumber);
    int GetNumStoryLists() const;
    int GetStoryList(int index, uint32_t& channelId, DATA_LIST& stories) const;

private:
    std::vector<std::pair<uint32_t, DATA_LIST>> m_lists;
};

bool IsOneOf(uint32_t value, const std::vector<uint32_t>& values);
// A map from category name to the ids of its channels as decimal numbers joined by ",".
// Returns the number of categories. number and flag are reserved; pass 0 and 1.
int GetCategoryList(QMap<QString, QString>& map, int number, int flag);
int ParseDelimitedString(const QString& text, const QString& delimiters, QStringList& parts);
void SortStringArray(QStringList& strings);

// Directory change messages. A subscribed window receives the ten REFRESHCODE messages by
// name, on the user-interface thread, through the sink the program installs: first parameter
// a channel id; second a pointer to a std::vector<uint32_t> of story numbers for the two story
// messages, the directory entry id for REFRESHCODE_CHANNEL_ADDED and _DELETED, else 0.
using ChanDirMessageSink = void (*)(uint32_t window, const char* messageName, uintptr_t first,
                                    intptr_t second);
void ChanDir_SetMessageSink(ChanDirMessageSink sink);
int CServicesSubscribeNotifications(uint32_t window);
int CServicesUnsubscribeNotifications(uint32_t window);
