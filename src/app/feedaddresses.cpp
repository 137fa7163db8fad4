#include "src/app/feedaddresses.h"

#include "src/app/readhallapp.h"
#include "src/framework/mainframe.h"
#include "vantrel/engctl.h"

#include <QApplication>

CFeedAddressOffers::CFeedAddressOffers(CReadhallApp& app) : m_app(app)
{
    m_timer.setInterval(200);
    connect(&m_timer, &QTimer::timeout, this, [this] { offerNext(); });
    connect(&app, &CReadhallApp::feedAddressHandedOver, this,
            [this](const QUrl& address) { add({address}); });
}

void CFeedAddressOffers::add(const QList<QUrl>& addresses)
{
    m_addresses << addresses;
    if (!m_addresses.isEmpty() && !m_offering)
        m_timer.start();
}

void CFeedAddressOffers::offerNext()
{
    CMDIFrameWnd* frame = m_app.GetMainFrame();
    if (!frame || !frame->isVisible() || QApplication::activeModalWidget() ||
        QApplication::activePopupWidget())
        return;
    m_timer.stop(); // the dialog runs its own loop, in which this must not fire again
    const QUrl address = m_addresses.takeFirst();
    m_offering = true;
    VTNewChannelWithAddress(frame,
                            address.isLocalFile() ? address.toLocalFile() : address.toString());
    m_offering = false;
    if (!m_addresses.isEmpty())
        m_timer.start();
}
