#pragma once
// The names and numbers by which change travels between the engine and the program's windows,
// and between the program's windows themselves. Every window that takes part uses these
// constants; none spells a name or a number of its own.

#include "src/platform/wintypes.h"
#include "vantrel/engctl.h"

#include <array>
#include <cstdint>

// Private window messages (plain numbers).
constexpr UINT WM_NAVBAR_SELECTVIEW = WM_USER + 100; // 1124: to the navigation bar, view code
constexpr UINT WM_NAVBAR_ACTIVATE = WM_USER + 101;   // 1125: the bar activates its item
constexpr UINT WM_SHOW_CHANNEL = WM_USER + 1000;     // 2024: to the main frame, channel id
constexpr UINT WM_SHOW_STATUS_TEXT = WM_USER + 1001; // 2025: to the main frame, text number or 0
constexpr UINT WM_SELECT_CHANNEL = WM_USER + 2000;   // 3024: to the channel frame, channel id
constexpr UINT WM_ENGINE_EVENT = WM_USER + 2001;     // 3025: to every open channel frame

static_assert(WM_NAVBAR_SELECTVIEW == 1124 && WM_NAVBAR_ACTIVATE == 1125);
static_assert(WM_SHOW_CHANNEL == 2024 && WM_SHOW_STATUS_TEXT == 2025);
static_assert(WM_SELECT_CHANNEL == 3024 && WM_ENGINE_EVENT == 3025);

// Directory change messages, registered by name by every window class that receives them.
// First parameter: a channel id. Second: a pointer to a std::vector<uint32_t> of story numbers
// for the two story messages, the directory entry id for CHANNEL_ADDED and CHANNEL_DELETED,
// else unused. Receivers answer 0.
constexpr char REFRESHCODE_CHANNEL_UPDATED[] = "REFRESHCODE_CHANNEL_UPDATED";
constexpr char REFRESHCODE_CHANNEL_ADDED[] = "REFRESHCODE_CHANNEL_ADDED";
constexpr char REFRESHCODE_CHANNEL_DELETED[] = "REFRESHCODE_CHANNEL_DELETED";
constexpr char REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED[] = "REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED";
constexpr char REFRESHCODE_CHANNEL_FLAGS_CHANGED[] = "REFRESHCODE_CHANNEL_FLAGS_CHANGED";
constexpr char REFRESHCODE_CHANNEL_STATUS_CHANGED[] = "REFRESHCODE_CHANNEL_STATUS_CHANGED";
constexpr char REFRESHCODE_CHANNEL_ACTIVE_STATE_CHANGED[] =
    "REFRESHCODE_CHANNEL_ACTIVE_STATE_CHANGED";
constexpr char REFRESHCODE_CHANNEL_COUNTER_CHANGED[] = "REFRESHCODE_CHANNEL_COUNTER_CHANGED";
constexpr char REFRESHCODE_STORIES_DELETED[] = "REFRESHCODE_STORIES_DELETED";
constexpr char REFRESHCODE_STORIES_ATTRIBUTE_CHANGED[] = "REFRESHCODE_STORIES_ATTRIBUTE_CHANGED";

// All ten, in the order above.
constexpr std::array<const char*, 10> REFRESHCODE_MESSAGE_NAMES = {
    REFRESHCODE_CHANNEL_UPDATED,
    REFRESHCODE_CHANNEL_ADDED,
    REFRESHCODE_CHANNEL_DELETED,
    REFRESHCODE_CHANNEL_ATTRIBUTE_CHANGED,
    REFRESHCODE_CHANNEL_FLAGS_CHANGED,
    REFRESHCODE_CHANNEL_STATUS_CHANGED,
    REFRESHCODE_CHANNEL_ACTIVE_STATE_CHANGED,
    REFRESHCODE_CHANNEL_COUNTER_CHANGED,
    REFRESHCODE_STORIES_DELETED,
    REFRESHCODE_STORIES_ATTRIBUTE_CHANGED,
};

// Drag and drop between windows; always sent, the answer used at once.
// CAN_DROP: first parameter the kind of the dragged thing, second the number of things.
constexpr char DRAGDROPMESSAGE_CAN_DROP[] = "DRAGDROPMESSAGE_CAN_DROP";
// DROP_CHANNEL: channel id, 0.
constexpr char DRAGDROPMESSAGE_DROP_CHANNEL[] = "DRAGDROPMESSAGE_DROP_CHANNEL";
// DROP_CATEGORY: 0, 0.
constexpr char DRAGDROPMESSAGE_DROP_CATEGORY[] = "DRAGDROPMESSAGE_DROP_CATEGORY";
// DROP_STORY: channel id, story number.
constexpr char DRAGDROPMESSAGE_DROP_STORY[] = "DRAGDROPMESSAGE_DROP_STORY";

// Kinds of dragged things (first parameter of DRAGDROPMESSAGE_CAN_DROP).
constexpr WPARAM DRAGKIND_CHANNEL = 0;
constexpr WPARAM DRAGKIND_STORY = 1;
constexpr WPARAM DRAGKIND_CATEGORY = 2;

// Broadcast (posted) to every registered window when "Show Unread Items Only" changes; first
// parameter the new value, second 0.
constexpr char RH_NOTIFICATION_SHOWUNREADITEMSONLY_CHANGED[] =
    "RH_NOTIFICATION_SHOWUNREADITEMSONLY_CHANGED";

// Numbered notifications through the notification windows (see notificationwindow.h).
constexpr int VTNOTIFICATION_COUNT = 34;                // numbers 0 .. 33
constexpr int VTNOTIFICATION_ALERTS_CHANGED = 6;        // sent: alerts seen or changed
constexpr int VTNOTIFICATION_SHOW_CHANNEL_STATUS = 25;  // sent: show the engine's status
constexpr int VTNOTIFICATION_ANIMATION_STARTED = 26;    // received
constexpr int VTNOTIFICATION_ANIMATION_STOPPED = 27;    // received
constexpr int VTNOTIFICATION_RESTRICTIONS_CHANGED = 30; // received
constexpr int VTNOTIFICATION_STATUS_TEXT = 31;          // received: text, level

// Levels of VTNOTIFICATION_STATUS_TEXT: 0 and 9 clear the status bar, 1..8 show the text.
constexpr uint32_t VTSTATUS_LEVEL_CLEAR = 0;
constexpr uint32_t VTSTATUS_LEVEL_CLEAR_TOO = 9;

// Engine callback registration masks of the program's registrants (bits of
// VTNOTIFICATION_TYPES).
constexpr uint32_t VTMASK_MAINFRAME = VTNOTIFY_SHUTDOWN;        // 1
constexpr uint32_t VTMASK_CHANNELFRAME = VTNOTIFY_ENGINE_EVENT; // 0x4000000
constexpr uint32_t VTMASK_DIRECTORY = VTNOTIFY_DIRECTORY_ENTRY_ADDED |
                                      VTNOTIFY_DIRECTORY_REFRESHED |
                                      VTNOTIFY_DIRECTORY_ENTRY_CHANGED; // 0x7000

static_assert(VTMASK_DIRECTORY == 0x7000);

// Navigation view codes (first parameter of WM_NAVBAR_SELECTVIEW, the views group's values).
constexpr int NAVVIEW_CHANNEL = 1;
constexpr int NAVVIEW_SEARCH = 2;
constexpr int NAVVIEW_ALERTS = 3;
constexpr int NAVVIEW_DIRECTORY = 4;
constexpr int NAVVIEW_BROWSER = 5;
constexpr int NAVVIEW_PUBLISHING = 6;
