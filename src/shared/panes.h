#pragma once
// The panes one window kind borrows from another: the story list of the channel and alerts
// windows and the browser pane. A frame asks for a pane by kind and gets a new view; the
// application puts the real factories here at start-up, tests put their own. A frame that
// needs more of its story list than a view asks through CStoryListPane.

#include "src/framework/view.h"

#include <functional>

enum class PaneKind { HeadlineList, Browser };

using PaneFactory = std::function<CView*()>;

// Sets (or with null clears) the factory of a kind.
void SetPaneFactory(PaneKind kind, PaneFactory factory);
// A new pane of the kind, not yet joined to a document; null (with a warning) when no
// factory is set.
CView* CreatePane(PaneKind kind);

// The state of the embedded browser switch (View > Use Embedded Browser) in a window whose
// browser pane is `shown`: off where no web engine can be had, fixed while locked.
void UpdateEmbeddedBrowserSwitch(CCmdUI* ui, BOOL shown);

// Registers View > Use Embedded Browser and View > Expand Embedded Browser on a frame with a
// browser pane. `shown` is the frame's own flag, which `showBrowser(on)` sets as it adds or
// removes the pane; the switch is then stored as the choice for the next window.
// `toggleExpand` expands the pane over the others or restores them, `isExpanded` says which.
void RegisterBrowserPaneCommands(CCmdTarget* frame, const BOOL& shown,
                                 std::function<void(BOOL)> showBrowser,
                                 std::function<void()> toggleExpand,
                                 std::function<bool()> isExpanded);

// The size to store for a pane the expanded browser may have shrunk to 0: the size it had
// before the expansion (`savedBeforeExpansion`, 0 when not expanded), else its current one.
inline int PaneSizeToStore(int current, int savedBeforeExpansion)
{
    return current == 0 && savedBeforeExpansion ? savedBeforeExpansion : current;
}

// What a frame asks of its story list pane.
class CStoryListPane
{
public:
    virtual ~CStoryListPane() = default;
    // Two or more rows, or one row that is a story.
    virtual int HasListedStories() const = 0;
    // Asks the engine to mark every listed story read; 1 when a list was handed over.
    virtual int MarkAllListedRead() = 0;
    // Selects the next unread story below the selection (forward) or the one above it; from
    // the top (or the bottom) when fromEdge or nothing is selected. false when there is none.
    virtual bool SelectUnreadStory(bool forward, bool fromEdge)
    {
        (void)forward;
        (void)fromEdge;
        return false;
    }
};
