#pragma once
// The browser window: a child window that shows only a web page, with the header strip
// "Browser" above the browser window's pane (browsermainview.h). It opens on the program's
// start page, always maximised. Story display requests are not for it: they go to the browser
// panes of the channel, alerts and search windows.

#include "src/framework/document.h"
#include "src/shared/headerframe.h"

class CBrowserMainView;

class CBrowserDoc : public CDocument
{
    Q_OBJECT
public:
    CBrowserDoc();
};

class CBrowserFrame : public CHeaderPaneFrame
{
    Q_OBJECT
public:
    CBrowserFrame();
    // Always shows itself maximised.
    void ActivateFrame(int nCmdShow = -1) override;
    CBrowserMainView* GetBrowserView() const;

protected:
    // For frames of the same shape with another pane (the publishing wizard's).
    CBrowserFrame(const QString& className, std::function<CView*()> paneFactory);
};
