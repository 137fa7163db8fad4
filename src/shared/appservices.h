#pragma once
// What a window asks of the application object without knowing its class: the list of
// windows that receive program-wide broadcasts, the shared palette, the "Show Unread Items
// Only" switch and the window kinds' templates. The program's application object implements
// it; AppServices() finds it as the framework's current application.

#include "src/platform/wintypes.h"
#include "vantrel/chandir.h"

class CDocTemplate;

class CAppServices
{
public:
    virtual ~CAppServices() = default;

    // Windows that receive program-wide broadcasts.
    virtual void RegisterWindow(HWND window) = 0;
    virtual void UnregisterWindow(HWND window) = 0;
    virtual void BroadcastMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // The palette every picture button takes.
    virtual HPALETTE palette() const = 0;
    // Whether the story lists hide read stories.
    virtual bool showUnreadItemsOnly() const = 0;
    // The template of a window kind (ReadhallTemplate, windowkinds.h); null before start-up
    // registered it.
    virtual CDocTemplate* GetTemplate(int kind) const = 0;
    // The modal operation count: raised (+1) and lowered (-1) around engine operations that
    // may wait; while it is above 0 the main frame does not close.
    virtual void AdjustModalOperationCount(int delta) = 0;
};

// Raises the running application's modal operation count for its lifetime (nothing without
// the program's application).
class CModalOperationScope
{
public:
    CModalOperationScope();
    ~CModalOperationScope();
    CModalOperationScope(const CModalOperationScope&) = delete;
    CModalOperationScope& operator=(const CModalOperationScope&) = delete;

private:
    CAppServices* m_app;
};

// The running application's services; null when the current application is not the
// program's (a test's plain application object) or there is none.
CAppServices* AppServices();
