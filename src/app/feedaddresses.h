#pragma once
// Feed addresses from the command line, or handed over by a later copy: the desktop starts
// Readhall with one when a feed link or a feed file is opened with it. Each address is
// offered in Add Using Address, filled in and fetched, once the main window shows and no
// other dialog (Quick Setup on the first start) is open; the person then subscribes or
// cancels. Addresses are offered one after the other, never two dialogs at once.

#include <QList>
#include <QObject>
#include <QTimer>
#include <QUrl>

class CReadhallApp;

class CFeedAddressOffers : public QObject
{
public:
    explicit CFeedAddressOffers(CReadhallApp& app);
    // Offers the addresses after the ones waiting; also the ones the running copy is handed
    // (connected to the application's hand-over).
    void add(const QList<QUrl>& addresses);

private:
    void offerNext();

    CReadhallApp& m_app;
    QList<QUrl> m_addresses;
    QTimer m_timer;
    bool m_offering = false;
};
