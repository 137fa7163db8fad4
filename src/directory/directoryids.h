#pragma once
// Numbers and names of the channel directory window: update hint codes, filters, the bits of a
// row's state image, string and picture ids, and the ids of its controls and timer. The hint
// codes the category pane sends (CATHINT_*) and the application's idle hints (APPHINT_*) are
// defined where they belong; this adds the directory list's own.

#include "src/channel/channelids.h"
#include "src/platform/wintypes.h"
#include "src/shared/ids.h"
#include "src/shared/windowkinds.h"

#include <QRgb>
#include <cstdint>

// Update hint codes of the directory document besides CATHINT_* and APPHINT_*.
constexpr LPARAM DIRHINT_SELECTION_MARKS = 3;       // recompute the selected rows' images
constexpr LPARAM DIRHINT_SELECTION_MARKS_AGAIN = 4; // the same
constexpr LPARAM DIRHINT_SELECTION_CONTENT = 5;     // rewrite the selected rows
constexpr LPARAM DIRHINT_SELECT_ENTRY = 6;          // select the entry (a CSiteMainHint)
constexpr LPARAM DIRHINT_ALL_MARKS = 7;             // recompute every row's image
constexpr LPARAM DIRHINT_ALL_CONTENT = 18; // rewrite every row (as APPHINT_DIRECTORY_CHANGED)

// The list's filters (the tabs All, Subscribed, New).
constexpr DWORD DIRFILTER_ALL = 65535;
constexpr DWORD DIRFILTER_SUBSCRIBED = 1;
constexpr DWORD DIRFILTER_NEW = 4;

// A row's state image index: the sum of these.
constexpr int DIRIMG_HOME_SERVER =
    1; // a clock: the entry's home-server flag without the restricted one
constexpr int DIRIMG_SUBSCRIBED = 2; // a ticked box (an empty box otherwise)
constexpr int DIRIMG_NEW = 4;        // the word NEW
constexpr int DIRIMG_STATE = 8;      // a blue down arrow: the channel is being brought up to date
constexpr int DIRIMG_PREMIER = 16;   // a gold frame
constexpr int DIRECTORY_IMAGE_COUNT = 32;

// The state pictures by image index.
constexpr UINT kDirectoryImageIds[DIRECTORY_IMAGE_COUNT] = {
    25028, 25032, 25035, 25040, 25030, 25034, 25038, 25041, 25502, 25504, 25506,
    25508, 25503, 25505, 25507, 25509, 25510, 25514, 25518, 25522, 25512, 25516,
    25520, 25524, 25511, 25515, 25519, 25523, 25513, 25517, 25521, 25525};
constexpr QRgb DIRECTORY_IMAGE_TRANSPARENT = 0xFFFF00FFu; // magenta

// An entry dated less than this many seconds ago is new (7 days).
constexpr uint32_t NEW_ENTRY_SECONDS = 604800;

// Strings.
constexpr UINT IDS_DIRECTORY_SUBSCRIBED = 61207; // the tabs: All (IDS_ALL), Subscribed, New
constexpr UINT IDS_DIRECTORY_NEW = 61208;
constexpr UINT IDS_DIRECTORY_NAME = 61209; // the columns
constexpr UINT IDS_DIRECTORY_DESCRIPTION = 61210;
constexpr UINT IDS_DIRECTORY_CATEGORY = 25561;
constexpr UINT IDS_DIRECTORY_ASK_SUBSCRIBE = 61219;
constexpr UINT IDS_DIRECTORY_MENU_SUBSCRIBE = 25147; // the context menu
constexpr UINT IDS_DIRECTORY_MENU_UNSUBSCRIBE = 25148;
constexpr UINT IDS_DIRECTORY_MENU_PROPERTIES = 25143;

// Controls and the timer of the directory list.
constexpr UINT IDC_DIRECTORY_TABS = 25158;
constexpr UINT IDC_DIRECTORY_LIST = 25159;
constexpr int DIRECTORY_TIMER_ID = 689;
constexpr int DIRECTORY_TIMER_MS = 10000;
constexpr int DIRECTORY_ROW_HEIGHT = 18;
constexpr int DIRECTORY_COLUMN_COUNT = 3;
// A first column stored as 0 pixels wide is written back with this width.
constexpr int DIRECTORY_FIRST_COLUMN_WIDTH = 200;
// Stored column widths are taken as their absolute value, at most this.
constexpr int DIRECTORY_MAX_COLUMN_WIDTH = 2000;
// A dropped entry's channel id is looked for this many times, this far apart.
constexpr int DROP_LOOKUP_TRIES = 10;
constexpr int DROP_LOOKUP_PAUSE_MS = 50;
