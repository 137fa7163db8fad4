#pragma once
// Numbers and names of the story lists: string and picture ids, settings names, timers and
// the content kinds of the icon rule.

#include "src/platform/wintypes.h"

#include <cstdint>

// Column titles and texts.
constexpr UINT IDS_COLUMN_CONTENT = 61240;
constexpr UINT IDS_COLUMN_RECEIVED = 61241;
constexpr UINT IDS_COLUMN_SUBCHANNEL = 61242;
constexpr UINT IDS_COLUMN_CHANNEL = 61243;
constexpr UINT IDS_COLUMN_ALERT_CATEGORY = 61300;
constexpr UINT IDS_NO_CONTENT = 61269;
constexpr UINT IDS_NO_UNREAD_CONTENT = 61298;
constexpr UINT IDS_CONFIRM_DELETE = 61237;

// Context menu texts.
constexpr UINT IDS_MENU_PLAY = 61249;
constexpr UINT IDS_MENU_FULL_STORY = 61250;
constexpr UINT IDS_MENU_SUMMARY = 61251;
constexpr UINT IDS_MENU_MARK_READ = 61252;
constexpr UINT IDS_MENU_MARK_UNREAD = 61253;
constexpr UINT IDS_MENU_DELETE = 61254;
constexpr UINT IDS_MENU_KEEP = 61255;
constexpr UINT IDS_MENU_DOWNLOAD = 61270;
constexpr UINT IDS_MENU_PROPERTIES = 61271;
constexpr UINT IDS_MENU_PLACE_FILES = 61305;

// Pictures.
constexpr UINT IDB_HEADLINE_IMAGES = 16075; // 32 cells of 24 x 16, magenta transparent
constexpr int HEADLINE_IMAGE_WIDTH = 24;
constexpr int HEADLINE_IMAGE_HEIGHT = 16;
constexpr int HEADLINE_IMAGE_COUNT = 32;

// Timers of the view.
constexpr int TIMER_CLICK = 1;
constexpr int TIMER_REDRAW = 2;
constexpr int CLICK_DELAY_MS = 100;
constexpr int REDRAW_CHECK_MS = 200;
constexpr DWORD DELETION_BURST_MS = 500;
constexpr DWORD REDRAW_QUIET_MS = 200;

// Columns.
constexpr int COLUMN_CONTENT = 0;
constexpr int COLUMN_RECEIVED = 1;
constexpr int COLUMN_CHANNEL = 2;
constexpr int COLUMN_SUBCHANNEL = 3;
constexpr int HEADLINE_COLUMN_COUNT = 4;

// "Bundlet Type" default: a plain news page.
constexpr uint32_t DEFAULT_BUNDLET_TYPE = 512;
