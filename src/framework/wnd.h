#pragma once
// The messaging side of the framework's windows: a handle from the platform layer, a message
// map and the command route. Views, child frames and the main frame derive from it.
//
//     onMessage(WM_SELECT_CHANNEL, [this](WPARAM id, LPARAM) { return selectChannel(id); });
//
// WM_COMMAND (first parameter the command id) runs the command along the window's route.

#include "src/framework/cmdtarget.h"
#include "src/platform/messagewindow.h"

#include <functional>
#include <map>

class CWnd : public CCmdTarget, public MessageWindow
{
public:
    using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;

    CWnd(const QString& className, QObject* owner);
    ~CWnd() override;

    // A handler for one message number (private or registered); replaces an earlier one.
    void onMessage(UINT message, MessageHandler handler);

    // The message map first; then WM_COMMAND runs the command (answers 1 when a handler ran,
    // else 0); anything else answers 0.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::map<UINT, MessageHandler> m_messages;
};
