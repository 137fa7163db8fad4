#pragma once
// What a window asks of the main frame without knowing its class: showing a story or an
// address, the status bar, opening a window kind or a channel. The main frame puts itself
// here while it exists; tests put a recorder here. Without a main frame MainFrameLink() is
// null and the asking window does without.

#include "src/platform/wintypes.h"

#include <QString>
#include <cstdint>

class CDocument;

class CMainFrameLink
{
public:
    virtual ~CMainFrameLink() = default;

    // Shows a story in the active window's browser pane, or has the engine play it.
    virtual BOOL ShowStory(uint32_t channelId, uint32_t storyNumber) = 0;
    // Shows an address in the active window's browser pane, else outside the program.
    virtual BOOL ShowURL(const QString& url) = 0;
    // The secure (1) or plain (0) picture in the status bar.
    virtual void ShowSecureIndicator(BOOL secure) = 0;
    // Shows the text in the status bar once the frame's messages are worked off, after the
    // texts asked for before it; an empty text shows "Ready".
    virtual void PostStatusText(const QString& text) = 0;
    // Opens the window of a kind (ReadhallTemplate, windowkinds.h) or brings its open window
    // forward, and tells the navigation bar. Answers the document shown (null when none).
    virtual CDocument* ShowWindowKind(int kind) = 0;
    // Brings the channel window forward (opening one when none is open) showing the channel;
    // 1 when the window knows the channel.
    virtual BOOL ShowChannel(uint32_t channelId) = 0;
};

// The main frame's services; null while there is no main frame.
CMainFrameLink* MainFrameLink();
// Sets or (with null) clears the link. The main frame sets itself when it is made.
void SetMainFrameLink(CMainFrameLink* link);

// The main frame's ShowStory and ShowURL; 0 while there is no main frame.
int ShowStoryInMainFrame(uint32_t channelId, uint32_t storyNumber);
int ShowURLInMainFrame(const QString& url);
