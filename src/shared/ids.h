#pragma once
// The command ids of the main menu, which every window's handlers and update rules share
// (commands travel from the active window to the main frame), the main frame's resource ids
// and the strings of the main frame and the application. One definition each.

#include "src/platform/wintypes.h"

// ---- menu resource, toolbar strip, status bar pictures
constexpr UINT IDR_MAINFRAME = 128;       // menu and toolbar strip (16 x 15 cells)
constexpr UINT ID_INDICATOR_SECURE = 162; // the status bar's picture pane
constexpr UINT IDB_SECURE = 163;          // secure channel picture
constexpr UINT IDB_NOT_SECURE = 25535;    // plain channel picture
constexpr UINT IDB_ABOUT_LOGO = 157;      // About box, first picture
constexpr UINT IDB_ABOUT_ENGINE = 164;    // About box, second picture
constexpr UINT IDB_ABOUT_JAVA = 405;      // About Java picture
constexpr UINT IDW_NAVIGATIONBAR = 1;     // the navigation bar's control bar id
constexpr UINT IDC_DRAG_DROP = 151;       // the cursor over a window that takes a drop
constexpr UINT IDC_DRAG_NODROP = 152;     // the cursor over one that does not

// ---- File
constexpr UINT ID_START_TICKER = 32777;
constexpr UINT ID_START_TITLESTRIP = 32778;
constexpr UINT ID_START_SCREENSAVER = 32779;
constexpr UINT ID_SHUTDOWN_ENGINE = 32823;
constexpr UINT ID_APP_EXIT_READHALL = 32839;
// ---- Edit
constexpr UINT ID_EDIT_SELECT_ALL = 57642;
// ---- View
constexpr UINT ID_VIEW_CHANNEL_CONTENT = 32780;
constexpr UINT ID_VIEW_SEARCH = 32781;
constexpr UINT ID_VIEW_ALERTS = 32782;
constexpr UINT ID_VIEW_BROWSER = 32785;
constexpr UINT ID_VIEW_CHANNEL_DIRECTORY = 32786;
constexpr UINT ID_VIEW_PUBLISHING_WIZARD = 33047;
constexpr UINT ID_VIEW_NAVIGATION_BAR = 32788;
constexpr UINT ID_VIEW_USE_EMBEDDED_BROWSER = 32771;
constexpr UINT ID_VIEW_CHANNEL_FOLDER_LIST = 32830;
constexpr UINT ID_VIEW_UNREAD_ONLY = 32843;
constexpr UINT ID_VIEW_EXPAND_BROWSER = 32844;
// ---- Channel
constexpr UINT ID_CHANNEL_UPDATE_NOW = 32795;
constexpr UINT ID_CHANNEL_PROPERTIES = 32794;
constexpr UINT ID_CHANNEL_SUBSCRIBE = 32798;
constexpr UINT ID_CHANNEL_UNSUBSCRIBE = 32799;
constexpr UINT ID_CHANNEL_ENABLE = 32835;
constexpr UINT ID_CHANNEL_DISABLE = 32836;
constexpr UINT ID_CHANNEL_MARK_ALL_READ = 33045;
constexpr UINT ID_ADD_WEB_DIRECTORY = 32803;
constexpr UINT ID_ADD_BY_ADDRESS = 32804;
// ---- Content
constexpr UINT ID_STORY_MARK_READ = 32801;
constexpr UINT ID_STORY_MARK_UNREAD = 32802;
constexpr UINT ID_STORY_DELETE = 32805;
constexpr UINT ID_STORY_FULL = 32806;
constexpr UINT ID_STORY_SUMMARY = 32807;
constexpr UINT ID_STORY_KEEP = 32820;
constexpr UINT ID_STORY_PROPERTIES = 32822;
constexpr UINT ID_STORY_PLAY = 32824;
constexpr UINT ID_STORY_DOWNLOAD = 32831;
constexpr UINT ID_STORY_PLACE_FILES = 33048;
constexpr UINT ID_ANIMATION_STOP = 32825;
constexpr UINT ID_ANIMATION_REPLAY = 32826;
constexpr UINT ID_REMOVE_WALLPAPER = 32827;
// ---- Tools
constexpr UINT ID_TOOLS_ALERTS = 32773;
constexpr UINT ID_TOOLS_FILTERS = 32774;
constexpr UINT ID_TOOLS_CHANNEL_STATUS = 32784;
constexpr UINT ID_TOOLS_DOWNLOADING = 32776;
constexpr UINT ID_TOOLS_AUTOPLAYER = 32775;
constexpr UINT ID_TOOLS_QUICK_SETUP = 32833;
constexpr UINT ID_TOOLS_OPTIONS = 32772;
// ---- Help
constexpr UINT ID_HELP_CONTENTS = 57667;
constexpr UINT ID_HELP_HOME_PAGE = 32828;
constexpr UINT ID_HELP_ABOUT_JAVA = 32809;
constexpr UINT ID_APP_ABOUT_READHALL = 57664;

// ---- strings
constexpr UINT IDS_MAINFRAME_TITLE = 57344;    // "Readhall"
constexpr UINT IDS_READY = 57345;              // "Ready"
constexpr UINT IDS_ABOUT_VERSION = 61215;      // "Vantrel Readhall 5.0        (Build %s)"
constexpr UINT IDS_STOP_AUTOPLAYER = 61272;    // "Stop &Auto-Player"
constexpr UINT IDS_START_AUTOPLAYER = 61273;   // "Start &Auto-Player"
constexpr UINT IDS_SUSPEND_DOWNLOAD = 61274;   // "Suspend &Downloading"
constexpr UINT IDS_RESUME_DOWNLOAD = 61275;    // "Resume &Downloading"
constexpr UINT IDS_REPLAY_NAMED = 61276;       // "Repla&y '%s'"
constexpr UINT IDS_REPLAY_LAST = 61277;        // "Repla&y Last"
constexpr UINT IDS_EXIT_FORMAT = 61295;        // "E&xit %s"
constexpr UINT IDS_SHUTDOWN_FORMAT = 61296;    // "Sh&ut Down %s"
constexpr UINT IDS_APPLICATION_NAME = 61297;   // "Vantrel"
constexpr UINT IDS_PUBLISHING_MISSING = 61304; // "Publishing Wizard not installed properly"
constexpr UINT IDS_ENGINE_START_ERROR = 61307; // "Error launching Vantrel.exe"
