#pragma once
// Numbers and names of the channel and alerts windows: update hint codes, command ids,
// string and picture ids, settings names, and the kinds and images of the folder tree.

#include "src/platform/wintypes.h"
#include "src/shared/ids.h"
#include "vantrel/engctl.h"

#include <cstdint>

// Update hint codes sent to the views of a channel or alerts window (UpdateAllViews); the
// show-address hint that browser panes take is the shared one (updatehint.h).
constexpr int HINT_INITIAL_UPDATE = 0;
constexpr int HINT_SELECTION_CHANGED = 1;
// Code 3 is not sent in these windows; the header treats it as a full update all the same.
constexpr int HINT_FULL_UPDATE = 3;
constexpr int HINT_CHANNEL_UPDATED = 4;
constexpr int HINT_STORIES_DELETED = 5;
constexpr int HINT_STORIES_ATTRIBUTE_CHANGED = 6;
constexpr int HINT_CHANNEL_ATTRIBUTE_CHANGED = 7;
constexpr int HINT_CHANNEL_ADDED = 8;
constexpr int HINT_CHANNEL_DELETED = 9;
constexpr int HINT_CHANNEL_STATUS_CHANGED = 10;
constexpr int HINT_CHANNEL_COUNTER_CHANGED = 11;
constexpr int HINT_CHANNEL_FLAGS_CHANGED = 12;
constexpr int HINT_CHANNEL_ACTIVE_STATE_CHANGED = 13;
constexpr int HINT_ENGINE_EVENT = 101;

// Hint codes of the directory window's category pane (CCategoryView).
constexpr int CATHINT_RELOAD = 0;
constexpr int CATHINT_REBUILD_1 = 1;
constexpr int CATHINT_CATEGORY_CHOSEN = 2;
constexpr int CATHINT_NO_CATEGORY = 0; // sent with no hint object when a node has no ids
constexpr int CATHINT_ALL_CHOSEN = 16;
constexpr int CATHINT_REPORT_SELECTION = 20;

// Command ids: the channel commands and the frame's View commands are the main menu's
// (src/shared/ids.h).

// The workgroup restriction bit that forbids Update Now is the engine's
// (VTRESTRICT_UPDATE_NOW, vantrel/engctl.h).

// Strings.
constexpr UINT IDS_MISCELLANEOUS = 25560;
constexpr UINT IDS_ALL = 61206;
constexpr UINT IDS_PREMIER = 61220;
constexpr UINT IDS_ALERTS_TITLE = 61234;
constexpr UINT IDS_ALERTS_LINE1 = 61235;
constexpr UINT IDS_ALERTS_LINE2 = 61236;
constexpr UINT IDS_ALL_SUBSCRIBED_CHANNELS = 61294;

// Pictures.
constexpr UINT IDB_CHANNEL_BITMAP = 147;  // header picture before a channel is chosen
constexpr UINT IDB_ALERT_BITMAP = 149;    // the alerts window's header picture
constexpr UINT IDB_FOLDER_TREE = 16122;   // the folder tree's 14-cell strip
constexpr UINT IDB_CATEGORY_TREE = 16120; // the directory's 8-cell category strip

// The label of the placeholder child that gives a channel its expand button.
constexpr char PLACEHOLDER_LABEL[] = "Dummy subchannel";

// Content flags of the folder tree.
constexpr DWORD CONTENT_SUBSCRIBED_CHANNELS = 1;
constexpr DWORD CONTENT_ALERTS_CHANNEL = 2;

// Image indexes of the folder tree's 14-cell strip.
constexpr int IMG_FOLDER_CLOSED = 0;
constexpr int IMG_FOLDER_OPEN = 1;
constexpr int IMG_CHANNEL = 2; // + 1 disabled, + 2 filtered, + 4 secure (up to 9)
constexpr int IMG_CHANNEL_LAST = 9;
constexpr int IMG_SUBCHANNEL = 10;
constexpr int IMG_DOT = 11;
constexpr int IMG_PLACEHOLDER = 12;
constexpr int IMG_FLAG = 13;
constexpr int FOLDER_STRIP_CELLS = 14;

// Image indexes of the directory's 8-cell category strip.
constexpr int CATIMG_FOLDER_CLOSED = 0;
constexpr int CATIMG_FOLDER_OPEN = 1;
constexpr int CATIMG_ENTRY = 2;
constexpr int CATIMG_PREMIER_CLOSED = 6;
constexpr int CATIMG_PREMIER_OPEN = 7;
constexpr int CATEGORY_STRIP_CELLS = 8;

// The header strip's first height, before the window lays it out.
constexpr int HEADER_HEIGHT = 64;
