#pragma once
// Ids and small shared types of the document/view/frame framework.

#include "src/platform/wintypes.h"

// Control bar and pane ids.
constexpr UINT ID_SEPARATOR = 0;              // a separator in toolbar and status bar lists
constexpr UINT AFX_IDW_TOOLBAR = 0xE800;      // 59392, the main toolbar
constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;   // 59393, the status bar
constexpr UINT AFX_IDW_DOCKBAR_LEFT = 0xE81C; // 59420
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;   // 59648, the first pane of a frame

// Commands the framework handles itself (show/hide of the two standard bars).
constexpr UINT ID_VIEW_TOOLBAR = 0xE800;    // 59392
constexpr UINT ID_VIEW_STATUS_BAR = 0xE801; // 59393

// Key-state indicator panes of the status bar.
constexpr UINT ID_INDICATOR_CAPS = 0xE701; // 59137 "CAP"
constexpr UINT ID_INDICATOR_NUM = 0xE702;  // 59138 "NUM"
constexpr UINT ID_INDICATOR_SCRL = 0xE703; // 59139 "SCRL"

// The base of hint objects handed to UpdateAllViews; receivers dynamic_cast to what they
// expect.
class CObject
{
public:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
    virtual ~CObject() = default;
};

class CCmdTarget;
class CCmdUI;
class CDocument;
class CDocTemplate;
class CView;
class CMDIChildWnd;
class CMDIFrameWnd;
class CWinApp;
class CSplitterWnd;
class CStatusBar;
