#pragma once
// The program's window kinds: their places in the application's table of document templates
// and the navigation bar's view code of each. A window that wants another kind opened asks
// the main frame (mainframelink.h); the application finds a kind's template by its place.

#include "src/engine/messages.h"
#include "src/platform/wintypes.h"

// The window kinds, in the order of the application's table (resource ids 129, 130, 131,
// 132, 133, 135, 134).
enum ReadhallTemplate : int {
    TEMPLATE_CHANNEL = 0,
    TEMPLATE_SEARCH,
    TEMPLATE_ALERTS,
    TEMPLATE_STATUS,
    TEMPLATE_BROWSER,
    TEMPLATE_DIRECTORY,
    TEMPLATE_PUBLISHING,
    TEMPLATE_COUNT
};

// The navigation bar's view code of a window kind (NAVVIEW_*); 0 for a kind the bar has no
// item for (the status window) and for a number that is no kind.
constexpr int NavigationViewOf(int kind)
{
    switch (kind) {
    case TEMPLATE_CHANNEL:
        return NAVVIEW_CHANNEL;
    case TEMPLATE_SEARCH:
        return NAVVIEW_SEARCH;
    case TEMPLATE_ALERTS:
        return NAVVIEW_ALERTS;
    case TEMPLATE_BROWSER:
        return NAVVIEW_BROWSER;
    case TEMPLATE_DIRECTORY:
        return NAVVIEW_DIRECTORY;
    case TEMPLATE_PUBLISHING:
        return NAVVIEW_PUBLISHING;
    default:
        return 0;
    }
}

// Update hints the application sends to the channel directory's views while idle.
constexpr LPARAM APPHINT_DIRECTORY_REDRAW = 17;
constexpr LPARAM APPHINT_DIRECTORY_CHANGED = 9;

// What the channel directory's document offers the application's idle work. The directory
// document implements it; the application finds it among the documents of the directory
// template.
class CDirectoryReloadTarget
{
public:
    virtual ~CDirectoryReloadTarget() = default;
    // Reads the directory again (the application passes 1).
    virtual void ReloadDirectory(int flag) = 0;
    // Checks whether the directory changed since it was read; 1 when it did.
    virtual int CheckDirectoryChanged() = 0;
};
