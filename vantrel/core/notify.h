#pragma once
// The two ways the engine reports change, independent of the engine object's life:
// - directory change messages (the REFRESHCODE names) for the windows that subscribed, handed
//   to the sink the program installs, always on the user-interface thread;
// - engine callbacks registered with a type mask, called on the thread that made the change;
// - numbered notifications (animation, restrictions, status text), handed to the sender the
//   program installs, which carries them to its notification windows; from any thread.

#include "vantrel/engctl.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace vantrel
{

// The ten directory change messages.
namespace refresh
{
constexpr const char* kChannelUpdated = "REFRESHCODE_CHANNEL_UPDATED";
constexpr const char* kChannelAdded = "REFRESHCODE_CHANNEL_ADDED";
constexpr const char* kChannelDeleted = "REFRESHCODE_CHANNEL_DELETED";
constexpr const char* kChannelAttributeChanged = "REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED";
constexpr const char* kChannelFlagsChanged = "REFRESHCODE_CHANNEL_FLAGS_CHANGED";
constexpr const char* kChannelStatusChanged = "REFRESHCODE_CHANNEL_STATUS_CHANGED";
constexpr const char* kChannelActiveStateChanged = "REFRESHCODE_CHANNEL_ACTIVE_STATE_CHANGED";
constexpr const char* kChannelCounterChanged = "REFRESHCODE_CHANNEL_COUNTER_CHANGED";
constexpr const char* kStoriesDeleted = "REFRESHCODE_STORIES_DELETED";
constexpr const char* kStoriesAttributeChanged = "REFRESHCODE_STORIES_ATTRIBUTE_CHANGED";
} // namespace refresh

struct RefreshEvent {
    const char* name = nullptr;
    uint32_t channelId = 0;
    uintptr_t second = 0;          // the directory entry id for added/deleted, else 0
    bool hasStories = false;       // the second parameter points at `stories`
    std::vector<uint32_t> stories; // story numbers of the two story messages
};

using MessageSink = void (*)(uint32_t window, const char* messageName, uintptr_t first,
                             intptr_t second);

// Directory change message delivery (user-interface thread only).
void setMessageSink(MessageSink sink);
bool subscribeWindow(uint32_t window);
bool unsubscribeWindow(uint32_t window);
// Hands one message to every subscribed window through the sink (nothing without a sink).
void deliverRefresh(const RefreshEvent& event);

// Engine callbacks (any thread).
bool registerCallback(uint32_t mask, VTNotificationCallback callback);
// After it returns, the callback is not running and will not be called again.
bool unregisterCallback(VTNotificationCallback callback);
void fireCallbacks(uint32_t type, const QByteArray& text, uint32_t value, uint32_t value2 = 0,
                   const QByteArray& text2 = QByteArray());

// Numbered notifications (any thread). Nothing is sent while no sender is installed.
void setNotificationSender(VTNotificationSender sender);
void sendNotification(int number, const QString& text, uint32_t value);

} // namespace vantrel
