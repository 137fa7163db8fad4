#pragma once
// The engine's own windows that live on beside the program's (today the channel status
// window), and how the program finds them. The engine knows nothing of the program's window
// layer: the program gives it a registrar, which makes such a window known under its class
// name ("QSENGINE_NOTIFICATIONS" for the channel status window), so that the program's
// FindWindow finds it and can bring it forward.

#include <QString>
#include <functional>

class QWidget;

namespace vantrel::dialogs
{

class ChannelStatusWindow;

// The class name under which the channel status window is registered.
constexpr char kChannelStatusWindowClass[] = "QSENGINE_NOTIFICATIONS";

using WindowRegistrar = std::function<void(QWidget* window, const QString& className)>;
// Set by the program (empty: none). Windows made before it was set are registered with it now.
void setWindowRegistrar(WindowRegistrar registrar);

// The channel status window, made on first use; null when `create` is false and there is none.
ChannelStatusWindow* channelStatusWindow(bool create);
// Shows it, brought to the front.
void showChannelStatusWindow();
// Closes and deletes the engine's windows (the engine stops).
void closeEngineWindows();

} // namespace vantrel::dialogs
