#include "src/framework/wnd.h"

CWnd::CWnd(const QString& className, QObject* owner) : MessageWindow(className, owner) {}

CWnd::~CWnd() = default;

void CWnd::onMessage(UINT message, MessageHandler handler)
{
    m_messages[message] = std::move(handler);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    auto it = m_messages.find(message);
    if (it != m_messages.end() && it->second) {
        MessageHandler handler = it->second; // may replace itself
        return handler(wParam, lParam);
    }
    if (message == WM_COMMAND) {
        // The low word is the command id; the high word says where it came from.
        const UINT id = static_cast<UINT>(wParam & 0xFFFF);
        return ExecuteCommand(id) ? 1 : 0;
    }
    return MessageWindow::WindowProc(message, wParam, lParam);
}
