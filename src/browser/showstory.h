#pragma once
// Bringing a story or an address into the active window's browser pane: what the main
// frame's ShowStory and ShowURL do. The browser document is the active window's document
// when one of its views is a browser pane (null when there is none).

#include "src/platform/wintypes.h"

#include <QString>
#include <cstdint>

class CDocument;
class QWidget;

// Opens the story's content package, then shows the story's address in the pane and marks
// it read, or has the engine play a local document that is not a page. Without a pane (or
// when the story cannot be read) the engine plays the story. Returns the success flag.
BOOL ShowStoryInBrowser(CDocument* browserDocument, QWidget* window, uint32_t channelId,
                        uint32_t storyNumber);
// Shows the address in the pane; without one, hands it to the desktop. A null address
// returns 0.
BOOL ShowURLInBrowser(CDocument* browserDocument, const QString& url);
// Sends the document's views the show-URL hint (100) with the address.
void SendShowURLHint(CDocument* document, const QString& url);
// Makes the main frame's ShowStory and ShowURL reach the browser panes through
// SendShowURLHint. Done once, when the first pane is made.
void InstallBrowserNavigator();
