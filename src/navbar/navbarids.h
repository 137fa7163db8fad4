#pragma once
// Numbers and names of the navigation bar: group types, command, string and picture ids,
// and the sizes of its drawing.

#include "src/platform/wintypes.h"
#include "src/shared/ids.h"

#include <cstdint>

// Group types.
constexpr DWORD NAVGROUP_VIEWS = 1;
constexpr DWORD NAVGROUP_ALL_CHANNELS = 2;
constexpr DWORD NAVGROUP_USER = 3;

// Control ids inside the bar.
constexpr UINT IDC_NAVBAR_GROUPBAR = 1;
constexpr UINT IDC_NAVBAR_BRANDING = 2;
constexpr UINT IDC_NAVBAR_ITEMLIST = 1;
constexpr UINT IDC_NAVBAR_TITLE_EDITOR = 2;

// Commands of the bar's own context menus (the channel commands are the main menu's).
constexpr UINT ID_NAVBAR_NEW_GROUP = 32816;
constexpr UINT ID_NAVBAR_RENAME_GROUP = 32817;
constexpr UINT ID_NAVBAR_DELETE_GROUP = 32818;
constexpr UINT ID_NAVBAR_REMOVE_ITEM = 32819;

// Strings.
constexpr UINT IDS_UPDATE_NOW = 61260;
constexpr UINT IDS_DISABLE_CHANNEL = 61261;
constexpr UINT IDS_ENABLE_CHANNEL = 61262;
constexpr UINT IDS_UNSUBSCRIBE = 61263;
constexpr UINT IDS_PROPERTIES = 61264;
constexpr UINT IDS_NEW_GROUP_ITEM = 61278;
constexpr UINT IDS_RENAME_GROUP = 61279;
constexpr UINT IDS_DELETE_GROUP = 61280;
constexpr UINT IDS_NEW_GROUP_TITLE = 61281;
constexpr UINT IDS_REMOVE_FROM_BAR = 61282;
constexpr UINT IDS_TITLE_FONT = 61285;
constexpr UINT IDS_VIEW_CHANNEL_CONTENT = 61288;
constexpr UINT IDS_SUBSCRIBE_TO_CHANNELS = 61289;
constexpr UINT IDS_VIEW_ALERTS = 61290;
constexpr UINT IDS_SEARCH_CONTENT = 61291;
constexpr UINT IDS_FAVORITES = 61292;
constexpr UINT IDS_DELETE_GROUP_QUESTION = 61301;
constexpr UINT IDS_ALL_CHANNELS = 61302;
constexpr UINT IDS_PUBLISHING_WIZARD = 61303;
constexpr UINT IDS_VIEWS = 61306;
constexpr UINT IDS_GROUP_TITLE_TAKEN = 61345;
constexpr UINT IDS_GROUP_TITLE_BACKSLASH = 61346;
constexpr UINT IDS_GROUP_TITLE_EMPTY = 61347;

// Pictures.
constexpr UINT IDB_NAV_CHANNEL_CONTENT = 147;
constexpr UINT IDB_NAV_ALERTS = 149;
constexpr UINT IDB_NAV_LOGO = 154;
constexpr UINT IDB_NAV_CHANNEL = 158;
constexpr UINT IDB_NAV_ALERTS_CHANNEL = 161;
constexpr UINT IDB_NAV_SEARCH = 16076;
constexpr UINT IDB_NAV_DIRECTORY = 16077;
constexpr UINT IDB_NAV_PUBLISHING = 25534;

// The logo file looked for in the engine's data folder, then in its program folder.
constexpr char NAVBAR_LOGO_FILE[] = "logo.bmp";

// Drawing: the logo band, the group headers and the items.
constexpr int NAVBAR_LOGO_BAND = 69;    // the branding button is centred in this band
constexpr int NAVBAR_LOGO_AREA = 68;    // filled with the logo colour and framed
constexpr int NAVBAR_GROUPBAR_TOP = 71; // the group bar starts here
constexpr int NAVBAR_HEADER_HEIGHT = 18;
constexpr int NAVBAR_ITEM_EXTRA = 44; // an item is its picture's height plus this
constexpr int NAVBAR_PICTURE_TOP = 4; // the picture's distance from the item's top
constexpr int NAVBAR_CAPTION_GAP = 2; // between the picture and the caption
constexpr int NAVBAR_CAPTION_BOTTOM = 6;
constexpr int NAVBAR_SLIDE_STEP = 5; // headers slide by this many pixels a step
// The tallest picture an item shows at its own size; taller ones are scaled down.
constexpr int NAVBAR_PICTURE_MAX = 64;
// Group titles are kept to this many characters (what the stored layout reads back).
constexpr int NAVBAR_TITLE_MAX = 256;
