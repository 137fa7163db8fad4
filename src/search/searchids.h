#pragma once
// Numbers of the search window: its update hints, the controls of its form, its strings and
// pictures.

#include "src/platform/wintypes.h"

// Update hints the search window sends its views (the hint object is a CUpdateHint).
constexpr LPARAM HINT_SEARCH_INITIAL_UPDATE = 0;
constexpr LPARAM HINT_SEARCH_QUERY_CHANGED = 1;             // Find Now or New Search
constexpr LPARAM HINT_SEARCH_STORIES_DELETED = 3;           // channel id, story numbers
constexpr LPARAM HINT_SEARCH_STORIES_ATTRIBUTE_CHANGED = 4; // channel id, story numbers
constexpr LPARAM HINT_SEARCH_CHANNEL_ATTRIBUTE_CHANGED = 5;
constexpr LPARAM HINT_SEARCH_CHANNEL_ADDED = 6;
constexpr LPARAM HINT_SEARCH_CHANNEL_DELETED = 7;

// The form's controls.
constexpr UINT IDC_SEARCH_LABEL = 16106;
constexpr UINT IDC_SEARCH_TEXT = 16068;
constexpr UINT IDC_FIND_NOW = 16066;
constexpr UINT IDC_SEARCH_SCOPE = 16063;
constexpr UINT IDC_NEW_SEARCH = 16067;
constexpr UINT IDC_TITLE_ONLY = 16103;
constexpr UINT IDC_TITLE_AND_SUMMARY = 16104;

// Strings and pictures.
constexpr UINT IDS_ALL_CHANNELS = 61302;
constexpr UINT IDS_NO_ITEMS_CONTAINING = 61284; // "No items containing '%s' found."
constexpr UINT IDB_SCOPE_IMAGES = 16122;        // 14 cells of 16 x 16, magenta transparent
constexpr int SCOPE_IMAGE_SIZE = 16;
constexpr int SCOPE_IMAGE_FOLDER = 0;
constexpr int SCOPE_IMAGE_CHANNEL = 2;

// The scope entries' ids: every channel, a category, or else a channel id.
constexpr long SCOPE_ALL_CHANNELS = -1;
constexpr long SCOPE_CATEGORY = 0;

// Initial pane heights of the window.
constexpr int SEARCH_FORM_HEIGHT = 100;
constexpr int SEARCH_BROWSER_HEIGHT = 55;
