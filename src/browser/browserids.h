#pragma once
// Numbers and names of the embedded browser pane.

#include "src/platform/wintypes.h"

// Control ids of the pane's children.
constexpr UINT IDC_BROWSER_CONTROL = 1;
constexpr UINT IDC_BROWSER_BACK = 2;
constexpr UINT IDC_BROWSER_FORWARD = 3;
constexpr UINT IDC_BROWSER_STOP = 4;
constexpr UINT IDC_BROWSER_REFRESH = 5;
constexpr UINT IDC_BROWSER_PRINT = 6;
constexpr UINT IDC_BROWSER_ADDRESS = 7;
constexpr UINT IDC_BROWSER_STATUS = 8;

// Button texts and tool tips.
constexpr UINT IDS_BROWSER_BACK = 61222;
constexpr UINT IDS_BROWSER_FORWARD = 61223;
constexpr UINT IDS_BROWSER_STOP = 61224;
constexpr UINT IDS_BROWSER_REFRESH = 61225;
constexpr UINT IDS_BROWSER_PRINT = 61226;

// Button pictures: normal, hot and pressed for each button.
struct BrowserButtonPictures {
    UINT normal;
    UINT hot;
    UINT pressed;
};
constexpr BrowserButtonPictures IDB_BACK{134, 136, 141};
constexpr BrowserButtonPictures IDB_FORWARD{135, 137, 142};
constexpr BrowserButtonPictures IDB_STOP{131, 138, 145};
constexpr BrowserButtonPictures IDB_REFRESH{132, 139, 144};
constexpr BrowserButtonPictures IDB_PRINT{133, 140, 143};

// The built-in busy animation: a strip of 12 frames of 27 x 27.
constexpr UINT IDR_BROWSER_ANIMATION = 156;
constexpr int ANIMATION_FRAME_SIZE = 27;
constexpr int ANIMATION_FRAME_MS = 80;

// Layout.
constexpr int BROWSER_MARGIN = 4;
constexpr int BROWSER_BUTTON_SIZE = 25;
constexpr int BROWSER_BUTTON_GAP = 2;
constexpr int ADDRESS_WIDTH_LESS = 172;
constexpr int ADDRESS_LIST_HEIGHT = 100;

// Files of the engine's data directory.
constexpr char BROWSER_AVI_FILE[] = "/browser.avi";
constexpr char BROWSER_START_FILE[] = "/browser.htm";
constexpr char READHALL_START_FILE[] = "/readhall.htm";
// The fallback page of a missing start page: a drive root, shown as an empty page here.
constexpr char EMPTY_START_PAGE[] = "c:\\";

// Texts of the browser panes' printing and saving.
constexpr UINT IDS_BROWSER_NO_PRINTER = 61420;    // "There is no printer set up ..."
constexpr UINT IDS_DOWNLOAD_SAVE_CAPTION = 61421; // "Save File"
constexpr UINT IDS_DOWNLOAD_FAILED = 61422;       // "The file could not be saved ... %s"
constexpr UINT IDS_DOWNLOAD_SAVED = 61423;        // "Saved %s"
constexpr UINT IDS_BROWSER_UNAVAILABLE = 61424;   // "The embedded web browser is not ..."
