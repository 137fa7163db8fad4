#pragma once
// A plain main frame: the program's top-level window with the window class another copy
// looks for, a View menu that opens or activates each window kind, a status bar, and the
// engine's shutdown request turned into Exit. It serves until the full main frame replaces
// it in CreateReadhallMainFrame().

#include "src/framework/mainframe.h"
#include "vantrel/engctl.h"

class CStandInMainFrame : public CMDIFrameWnd
{
    Q_OBJECT
public:
    CStandInMainFrame();
    ~CStandInMainFrame() override;

    // Activates the first open window of the kind (ReadhallTemplate), or opens one. Returns
    // its frame; null when it could not be opened.
    CMDIChildWnd* ShowWindowKind(int which);

    // The engine callback: type 1 (the engine shuts down) posts Exit to the frame when it
    // still exists; nothing else is done on the caller's thread.
    static void EngineCallback(uint32_t type, const char* text, uint32_t value, const char* text2,
                               uint32_t value2, uint32_t value3, uint32_t value4);

    // Ignored while the application runs a modal operation; else the frame closes.
    void OnClose() override;

protected:
    void OnDestroy() override;

private:
    bool m_callbackRegistered = false;
};
