#pragma once
// The child frame of a window that is a header strip above one pane: a static splitter of two
// rows by one column, the window kind's first view (its header strip) in the top row and the
// frame's own pane below it. The top row keeps its height when the window is resized; the
// pane takes the rest. The browser, publishing wizard and status windows are built this way.

#include "src/framework/childframe.h"
#include "src/framework/splitter.h"

#include <QPointer>
#include <functional>

class CHeaderPaneFrame : public CMDIChildWnd
{
    Q_OBJECT
public:
    // paneFactory makes the pane of the lower row; the rows start at the given heights.
    CHeaderPaneFrame(const QString& className, std::function<CView*()> paneFactory,
                     int headerHeight, int paneHeight);
    ~CHeaderPaneFrame() override;

    // Creates the splitter with the template's first view (the header strip) and the pane;
    // 0 when any of them cannot be made. The frame's caption is the document's title.
    BOOL OnCreateClient(CCreateContext* context) override;

    CView* GetHeaderView() const;
    CView* GetPaneView() const;

private:
    std::function<CView*()> m_paneFactory;
    int m_headerHeight;
    int m_paneHeight;
    QPointer<CSplitterWnd> m_splitter;
};
