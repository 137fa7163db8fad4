#pragma once
// The browser pane's part of the main frame's ShowStory and ShowURL: the main frame decides
// what to show and hands the address to the active window's document, whose browser pane
// navigates on the show-URL hint.

#include <QString>

class CDocument;

// Sends the document's views the show-URL hint (100) with the address.
void SendShowURLHint(CDocument* document, const QString& url);
// Makes the main frame's ShowStory and ShowURL reach the browser panes through
// SendShowURLHint. Every pane does this when it is made.
void InstallBrowserNavigator();
