#pragma once
// engctl: the Vantrel engine's command library. The program changes the engine only through
// these calls. Every operation returns 1 on success and 0 on failure; none reports success for
// work it did not do. Ids are unsigned 32-bit: channel id, story number, bundlet id.
//
// Threads: call from the user-interface thread. Notification callbacks may be called from
// engine threads.

#include "vantrel/qkbuffer.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QUrl;
class QWidget;

// A list of story numbers of one channel, as CStoryBucket hands it out.
using DATA_LIST = std::vector<uint32_t>;

// The alerts pseudo-channel: each of its stories stands for an alert raised on a story of a
// real channel.
constexpr uint32_t VT_ALERTS_CHANNEL_ID = 0xFDFFFFE1u;

// Engine callback types, used as bits of the registration mask.
enum VTNOTIFICATION_TYPES : uint32_t {
    VTNOTIFY_SHUTDOWN = 0x1, // the engine shuts down
    // The channel directory changed. Catalogue events carry the catalogue's address as the
    // text and the number of its entries as the value; events of one entry carry no text and
    // the entry's id as the value.
    VTNOTIFY_DIRECTORY_ENTRY_ADDED = 0x1000, // a catalogue was added (or one entry)
    VTNOTIFY_DIRECTORY_REFRESHED = 0x2000,   // a catalogue was read again
    // A catalogue was removed (or one entry), or an entry was subscribed or unsubscribed.
    VTNOTIFY_DIRECTORY_ENTRY_CHANGED = 0x4000,
    VTNOTIFY_ENGINE_EVENT = 0x4000000, // channel content or state changed
    // An update raised alerts: text the first alert's name, text2 the headline of its story,
    // value how many alerts the update raised, value2 the channel that was updated.
    VTNOTIFY_ALERTS_RAISED = 0x10,
};

// Callback arguments: type, a text, a value, a second text and three more values. The texts
// are UTF-8 and live only for the call. Called on an engine thread or the caller's thread.
using VTNotificationCallback = void (*)(uint32_t type, const char* text, uint32_t value,
                                        const char* text2, uint32_t value2, uint32_t value3,
                                        uint32_t value4);

// Sends a numbered notification: (number, text, value).
using VTNotificationSender = std::function<void(int number, const QString& text, uint32_t value)>;

// How VTMarkStoryRead marks a story.
enum EStoryReadFlags : uint32_t {
    STORYREAD_QUIET = 0, // mark read; nothing else (used for alerts the user has opened)
    STORYREAD_OPENED = 1 // the user opened the story: mark read and remember it was shown
};

// One record of the channel directory, as VTBriskBuildDirectoryEntryList returns it.
struct VTDirectoryRecord {
    virtual ~VTDirectoryRecord() = default;
    uint32_t entryId = 0; // directory entry id (not a channel id)
    QString name;         // channel name
    QString categories;   // paths separated by ";", levels by "/" ("&slash;" inside names)
    QString description;
    QString url;                  // the channel's feed address
    uint32_t subscribed = 0;      // 1 when the user is subscribed
    uint32_t entryFlags = 0;      // VTDIRENTRY_* bits
    uint32_t visibilityFlags = 0; // bit 0x1 hides the entry
    uint32_t date = 0;            // seconds since 1 January 1970
};

enum VTDirectoryEntryFlags : uint32_t {
    VTDIRENTRY_PREMIER = 0x1,
    VTDIRENTRY_SECURE = 0x4,
    VTDIRENTRY_HOME_SERVER = 0x100,
    VTDIRENTRY_REQUIRED = 0x200, // may not be unsubscribed
    VTDIRENTRY_RESTRICTED = 0x10000,
};

// Workgroup restriction bits (VTGetWorkgroupRestrictions).
enum VTWorkgroupRestrictions : uint32_t {
    VTRESTRICT_ADD_BY_ADDRESS = 0x10,
    VTRESTRICT_ALERT_SETTINGS = 0x10000,
    VTRESTRICT_FILTER_SETTINGS = 0x20000,
    VTRESTRICT_UPDATE_NOW = 0x80000,
};

// Start-up and exit. ENGCTLInitialize opens the engine's store in its data directory and
// starts its background work; it returns 0 when the engine cannot run.
int ENGCTLInitialize(int flag);
int ENGCTLDeinitialize();

int VTRegisterNotificationCallback(uint32_t typeMask, VTNotificationCallback callback);
int VTUnRegisterNotificationCallback(VTNotificationCallback callback);

// kind 0: the program directory, the folder of the program's own files (beside the program
// file in a build folder, <prefix>/share/readhall when installed); kind 1: the engine's data
// directory.
int VTGetDirectory(int kind, QKBuffer& buffer);
// The scheme of the addresses under which the engine gives out the pages it stored:
// "vantrel-cache:/<path inside the data directory>". A browser shows them with the rights of a
// page from the network (never those of a local file), reading the file VTGetCachedFile names.
constexpr char VT_CACHE_SCHEME[] = "vantrel-cache";

// Where a page is shown from, when the engine has it at hand: the address of its stored copy
// (VT_CACHE_SCHEME), or a local file's own address ("file://...").
int VTGetCachedURL(const QString& url, QKBuffer& buffer);
// The file behind an address of the engine's scheme: only the stored copy of a story page the
// engine keeps now; 0 for any other address.
int VTGetCachedFile(const QString& cachedUrl, QKBuffer& path);
// Opens the address outside the program, with the desktop's handler.
int VTShellURL(const QString& url);

// Subscriptions by directory entry id; VTUnsubscribeToSubscribedChannel takes a channel id
// and asks the user first.
int VTSubscribeToChannel(QWidget* window, uint32_t directoryEntryId);
int VTUnsubscribeToChannel(QWidget* window, uint32_t directoryEntryId);
int VTUnsubscribeToSubscribedChannel(QWidget* window, uint32_t channelId);
int VTLookupSubscribedChannelID(uint32_t directoryEntryId, uint32_t& channelId);

int VTEnableChannel(uint32_t channelId, int enable);
int VTIsChannelEnabled(uint32_t channelId, int& enabled);
int VTForceChannelConnection(uint32_t channelId);
int VTShowChannelPropertiesDialog(QWidget* window, uint32_t channelId);
int VTShowChannelSettings(QWidget* window, uint32_t directoryEntryId);
int VTGetChannelStatus(uint32_t channelId, QKBuffer& buffer);

int VTMarkStoriesRead(uint32_t channelId, const DATA_LIST& stories, int read);
int VTMarkStoryRead(uint32_t channelId, uint32_t storyNumber, EStoryReadFlags flags);
int VTDeleteStories(uint32_t channelId, const DATA_LIST& stories);
int VTKeepStory(uint32_t channelId, uint32_t bundletId, uint32_t storyNumber, int keep);
int VTDownloadStory(uint32_t channelId, uint32_t storyNumber);

int VTPlayBundlet(uint32_t channelId, uint32_t bundletId);
int VTReplicateBundlet(uint32_t channelId, uint32_t bundletId);
int VTAccessBundLet(uint32_t channelId, uint32_t bundletId, uint32_t access);
int VTPlayStory(uint32_t channelId, uint32_t storyNumber, QWidget* window);
int VTShowBundletProperties(QWidget* window, uint32_t channelId, uint32_t bundletId);

// Modal engine dialogs; each returns 1 when the user confirmed it.
int VTGlobalOptions(QWidget* window);
int VTAlertSettings(QWidget* window);
int VTFilterSettings(QWidget* window);
int VTQuickSetupOptions(QWidget* window);
int VTNewChannel(QWidget* window);
// The catalogues of the channel directory (the dialogs library, vantrel_dialogs, has it);
// returns 1 when the person changed them.
int VTShowChannelDirectory(QWidget* window);
// Add Using Address with the address filled in and fetched at once (for a feed link the
// program was asked to open). Returns 1 when a channel was added.
int VTNewChannelWithAddress(QWidget* window, const QString& address);

int VTGetAutoplayEnabled(int& enabled);
int VTSetAutoplayEnabled(int enabled);
int VTGetDownloadEnabled(int& enabled);
int VTSetDownloadEnabled(int enabled);

int VTIsAnimationPlaying(int& playing);
int VTCanReplayLastAnimation(int& canReplay);
int VTGetLastAnimationInfo(uint32_t& channelId, uint32_t& bundletId, QKBuffer& name);
int VTStopCurrentAnimation();
int VTRemoveWallpaper();
int VTShutdown();

int VTGetWorkgroupRestrictions(uint32_t& mask);
// Fills the list with one record per directory entry; the caller owns them.
int VTBriskBuildDirectoryEntryList(std::vector<std::unique_ptr<VTDirectoryRecord>>& records);

// The catalogues (OPML files and addresses) the channel directory is read from.
struct VTCatalogueInfo {
    QString address;          // a local file's path or an http(s) address
    uint32_t entryCount = 0;  // entries of the directory that came from it
    uint32_t lastRefresh = 0; // when it was last read well, seconds since 1970; 0: not yet
    QString lastError;        // why the last reading failed; empty when it went well
    uint32_t busy = 0;        // 1 while the engine reads it
    uint32_t bundled = 0;     // 1 for the catalogue that came with the program
};
int VTListCatalogues(std::vector<VTCatalogueInfo>& catalogues);
// Adds a catalogue and reads it on the engine's worker; 1 when the reading was queued. A
// missing local file, an address that is neither a local file nor http(s), and a catalogue
// already in the list give 0 and the reason in `error`.
int VTAddCatalogue(const QString& address, QKBuffer& error);
// Reads a listed catalogue again on the worker: new entries are added, changed ones
// updated, and entries it no longer lists go unless they are subscribed.
int VTRefreshCatalogue(const QString& address, QKBuffer& error);
// Removes a catalogue and those of its entries that are not subscribed; subscribed channels
// stay in the directory.
int VTRemoveCatalogue(const QString& address, QKBuffer& error);

// The engine's own state in words: empty while all is well, else what went wrong at start
// (for example a damaged store that was moved aside). Returns 1 when the engine runs; when it
// does not, returns 0 with the reason the last ENGCTLInitialize failed (for example a store
// that another program kept locked), or an empty text.
int VTGetEngineStatus(QKBuffer& buffer);

// Extension: the stories of the channels whose headline (or, unless titleOnly is nonzero,
// summary that is not blank) in upper case contains the text in upper case: story numbers
// per channel, in story order, for each channel that exists. Unlike the other calls it may run on
// any thread, so that a search thread keeps the interface free; it never holds the shared directory
// for long.
int VTFindStories(const std::vector<uint32_t>& channelIds, const QString& text, int titleOnly,
                  std::vector<std::pair<uint32_t, std::vector<uint32_t>>>& found);
// The engine's own windows beside the program's. The engine's channel status window is a
// window of class "QSENGINE_NOTIFICATIONS"; the program makes it findable among its own
// windows by installing a registrar, which the engine calls for each such window (also for one
// made before the registrar was set). An empty registrar removes it.
using VTWindowRegistrar = std::function<void(QWidget* window, const QString& className)>;
void VTSetWindowRegistrar(VTWindowRegistrar registrar);
// Numbered notifications the engine acts on; the program hands them over from its
// notification window.
constexpr int VTENGINE_NOTIFICATION_SHOW_CHANNEL_STATUS = 25; // show the channel status window
// Returns 1 when the engine acted on the notification.
int VTEngineNotification(int number, const QString& text, uint32_t value);
// Numbered notifications the engine sends: an animation started (26) or stopped (27), the
// workgroup restrictions changed (30), and its status text (31) with a level: 1 while channels
// update ("Updating 3 of 16: Meridian Wire"), 0 with no text when the work is done. The
// program installs the sender that carries them to its notification windows; the engine calls
// it from any of its threads. An empty sender stops them.
constexpr int VTENGINE_NOTIFICATION_ANIMATION_STARTED = 26;
constexpr int VTENGINE_NOTIFICATION_ANIMATION_STOPPED = 27;
constexpr int VTENGINE_NOTIFICATION_RESTRICTIONS_CHANGED = 30;
constexpr int VTENGINE_NOTIFICATION_STATUS_TEXT = 31;
constexpr uint32_t VTENGINE_STATUS_READY = 0;
constexpr uint32_t VTENGINE_STATUS_PROGRESS = 1;
void VTSetNotificationSender(VTNotificationSender sender);
// Shows the channel status window, brought to the front.
int VTShowChannelStatusWindow();

// Test hooks. The confirmation hook answers the engine's Yes/No questions in place of a person
// (nonzero for Yes); the open hook opens content packages and addresses in place of the
// desktop's handler (true when opened). An empty function restores the real behaviour.
void VTSetConfirmHook(std::function<int(const QString& text)> hook);
void VTSetOpenUrlHook(std::function<bool(const QUrl& url)> hook);
