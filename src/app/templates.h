#pragma once
// The composition of the program's windows: the table of window kinds (document templates),
// the panes window kinds borrow from each other and the main frame's factory. Each window
// kind's document, frame and first view come from here.

#include "src/framework/doctemplate.h"
#include "src/framework/document.h"
#include "src/framework/view.h"

#include <QString>
#include <vector>

class CMDIFrameWnd;

struct ReadhallTemplateInfo {
    int slot;          // ReadhallTemplate: the place in the application's table
    UINT resourceId;   // 129 .. 135
    QString docString; // the document string (its file-new name), e.g. "ChannelDoc"
    CDocTemplate::DocumentFactory document;
    CDocTemplate::FrameFactory frame;
    CDocTemplate::ViewFactory firstView;
};

// The seven window kinds in the order they are registered: channel (129), search (130),
// alerts (131), status (132), browser (133), publishing wizard (135), directory (134).
std::vector<ReadhallTemplateInfo> ReadhallTemplateTable();

// Gives the window kinds the panes they borrow from each other (panes.h): the headline list
// and the browser pane. Start-up calls it before the first window can open.
void InstallWindowPanes();

// Gives the main frame its navigation bar: the frame makes the bar through this factory when
// it is created. Start-up calls it before the main frame is made.
void InstallNavigationBar();

// Creates the program's main frame; null on failure.
CMDIFrameWnd* CreateReadhallMainFrame();
