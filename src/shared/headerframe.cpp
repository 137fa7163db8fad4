#include "src/shared/headerframe.h"

#include "src/framework/doctemplate.h"
#include "src/framework/document.h"
#include "src/framework/splitter.h"

CHeaderPaneFrame::CHeaderPaneFrame(const QString& className, std::function<CView*()> paneFactory,
                                   int headerHeight, int paneHeight)
    : CMDIChildWnd(className), m_paneFactory(std::move(paneFactory)), m_headerHeight(headerHeight),
      m_paneHeight(paneHeight)
{
}

CHeaderPaneFrame::~CHeaderPaneFrame() = default; // the splitter is a child widget

BOOL CHeaderPaneFrame::OnCreateClient(CCreateContext* context)
{
    if (!context || !context->m_pNewViewClass || !m_paneFactory)
        return 0;
    if (context->m_pCurrentDoc)
        SetWindowText(context->m_pCurrentDoc->GetTitle());

    auto* splitter = new CSplitterWnd;
    if (!splitter->CreateStatic(this, 2, 1)) {
        delete splitter;
        return 0;
    }
    m_splitter = splitter;
    if (!splitter->CreateView(0, 0, context->m_pNewViewClass, QSize(0, m_headerHeight), context))
        return 0;
    if (!splitter->CreateView(1, 0, m_paneFactory, QSize(0, m_paneHeight), context))
        return 0;
    // The header keeps its height; the pane grows and shrinks with the window.
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    SetActiveView(GetPaneView(), 0);
    return 1;
}

CView* CHeaderPaneFrame::GetHeaderView() const
{
    return m_splitter ? qobject_cast<CView*>(m_splitter->GetPane(0, 0)) : nullptr;
}

CView* CHeaderPaneFrame::GetPaneView() const
{
    return m_splitter ? qobject_cast<CView*>(m_splitter->GetPane(1, 0)) : nullptr;
}
