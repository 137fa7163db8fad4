#include "vantrel/dialogs/windowhost.h"

#include "vantrel/dialogs/channelstatuswindow.h"

#include <QPointer>

namespace vantrel::dialogs
{

namespace
{

WindowRegistrar& registrar()
{
    static WindowRegistrar r;
    return r;
}

QPointer<ChannelStatusWindow>& statusWindow()
{
    static QPointer<ChannelStatusWindow> window;
    return window;
}

} // namespace

void setWindowRegistrar(WindowRegistrar r)
{
    registrar() = std::move(r);
    if (registrar() && statusWindow())
        registrar()(statusWindow(), QString::fromLatin1(kChannelStatusWindowClass));
}

ChannelStatusWindow* channelStatusWindow(bool create)
{
    if (!statusWindow() && create) {
        // A window of its own, not a child of a program window: it is the engine's.
        statusWindow() = new ChannelStatusWindow(nullptr);
        statusWindow()->setAttribute(Qt::WA_QuitOnClose, false);
        if (registrar())
            registrar()(statusWindow(), QString::fromLatin1(kChannelStatusWindowClass));
    }
    return statusWindow();
}

void showChannelStatusWindow()
{
    ChannelStatusWindow* window = channelStatusWindow(true);
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

void closeEngineWindows()
{
    delete statusWindow().data();
}

} // namespace vantrel::dialogs
