#include "src/framework/document.h"

#include "src/framework/childframe.h"
#include "src/framework/doctemplate.h"
#include "src/framework/view.h"
#include "src/framework/winapp.h"

#include <QPointer>
#include <algorithm>

CDocument::CDocument() = default;

CDocument::~CDocument()
{
    for (CView* view : m_views)
        view->m_pDocument = nullptr;
    m_views.clear();
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const QString& title)
{
    m_strTitle = title;
    for (CMDIChildWnd* frame : GetFrames())
        frame->SetWindowText(title);
}

void CDocument::AddView(CView* view)
{
    if (!view || view->m_pDocument == this)
        return;
    if (view->m_pDocument)
        view->m_pDocument->RemoveView(view);
    m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view)
{
    auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end())
        return;
    m_views.erase(it);
    view->m_pDocument = nullptr;
}

std::vector<CMDIChildWnd*> CDocument::GetFrames() const
{
    std::vector<CMDIChildWnd*> frames;
    for (CView* view : m_views) {
        CMDIChildWnd* frame = view->GetParentFrame();
        if (frame && std::find(frames.begin(), frames.end(), frame) == frames.end())
            frames.push_back(frame);
    }
    return frames;
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject)
{
    // A view may add or remove views while it updates (a frame rebuilding its panes): walk a
    // copy and skip any view that left meanwhile. Views are QObjects, so a deleted one is
    // noticed too.
    std::vector<QPointer<CView>> views;
    views.reserve(m_views.size());
    for (CView* view : m_views)
        views.emplace_back(view);
    for (const QPointer<CView>& view : views) {
        if (!view || view == sender)
            continue;
        if (std::find(m_views.begin(), m_views.end(), view.data()) == m_views.end())
            continue;
        view->OnUpdate(sender, hint, hintObject);
    }
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    return 1;
}

BOOL CDocument::CanCloseFrame(CMDIChildWnd*)
{
    return 1;
}

void CDocument::OnCloseDocument()
{
    if (m_closing)
        return;
    m_closing = true;
    for (CMDIChildWnd* frame : GetFrames())
        frame->MDIDestroy();
    // Views outside any frame stay alive but leave the document.
    for (CView* view : std::vector<CView*>(m_views))
        RemoveView(view);
    DeleteContents();
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
    if (m_bAutoDelete)
        deleteLater();
}

std::vector<CCmdTarget*> CDocument::CommandRoute()
{
    std::vector<CCmdTarget*> route{this};
    if (CWinApp* app = AfxGetApp())
        route.push_back(app);
    return route;
}
