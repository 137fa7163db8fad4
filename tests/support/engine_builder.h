#pragma once
// Builds engine content for tests: starts the real engine on the current test's data
// directory and adds channels, stories, directory entries and alerts directly (no network), so
// that a test reads them back through chandir exactly as the program does.
//
//   rhtest::engine::start();
//   const uint32_t news = rhtest::engine::addChannel("Daily News", "News/Local");
//   rhtest::engine::StorySeed s;
//   s.headline = "Rain tomorrow";
//   s.attributes["Read"] = 1;
//   const uint32_t number = rhtest::engine::addStory(news, s);
//   rhtest::engine::waitForIdle(); // change messages delivered, worker idle
//
// The engine is stopped, and the engine's test hooks are cleared, at the end of each test;
// callback registrations and the message sink are left as the program set them.
// Link the static library readhall_enginebuilder.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <cstdint>

namespace rhtest::engine
{

enum ChannelFlags : uint32_t {
    Enabled = 0x1,
    Secure = 0x2,
    Filtered = 0x4,
    HomeServer = 0x8,
};

// Starts the engine (ENGCTLInitialize and ChanDir_Initialize) unless it runs; true when it
// runs. Content added by the builder is never downloaded (its channels have no feed address).
bool start();
// Stops it (ChanDir_Uninitialize and ENGCTLDeinitialize); the store stays on disk, so start()
// afterwards shows the same content again.
void stop();

// A subscribed channel with its own directory entry; returns the channel id (0 on failure).
uint32_t addChannel(const QString& name, const QString& category = QString(),
                    uint32_t flags = Enabled, const QString& homePage = QString());
// Moves a channel to another category, or renames it (stored, and reported to the windows as
// "REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED"); false for an unknown channel.
bool setChannelCategory(uint32_t channelId, const QString& category);
bool renameChannel(uint32_t channelId, const QString& name);
// The directory entry id of a channel (0 when unknown).
uint32_t directoryEntryOf(uint32_t channelId);

struct StorySeed {
    QString headline;
    QString summary;
    QString url;
    QString category; // "/" between levels, "//" for a slash inside a level
    QDateTime published;
    QString enclosureUrl; // makes the story playable; "Bundlet Type" from `bundletType`
    uint32_t bundletType = 0x200;
    // Any other attribute by name: "Read", "Keep", "BundLet Signed", "Story Local" (a path
    // or 1), "Header", "Footer", "Alerted", or a name of your own.
    QVariantMap attributes;
};
// Returns the story number (0 on failure).
uint32_t addStory(uint32_t channelId, const StorySeed& story);

// A directory entry that is not subscribed; returns its id.
uint32_t addDirectoryEntry(const QString& name, const QString& categories,
                           const QString& description = QString(), uint32_t entryFlags = 0,
                           const QDateTime& date = QDateTime(), const QString& url = QString());

// An alert raised on a story; returns the alert's story number in the alerts channel.
uint32_t addAlert(uint32_t channelId, uint32_t storyNumber, const QString& alertName,
                  const QString& category = QString());

// Addresses the engine was asked to open with the desktop's handler (playing a package,
// VTShellURL) since the test began; the builder answers them as opened.
QStringList openedUrls();

// Runs the event loop until the engine's worker is idle and every change message was
// delivered; false on timeout.
bool waitForIdle(int timeoutMs = 10000);

} // namespace rhtest::engine
