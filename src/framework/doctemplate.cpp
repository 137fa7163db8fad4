#include "src/framework/doctemplate.h"

#include "src/framework/childframe.h"
#include "src/framework/document.h"
#include "src/framework/mainframe.h"
#include "src/framework/winapp.h"

#include <algorithm>

CDocTemplate::CDocTemplate(UINT nIDResource, const QString& docString, DocumentFactory document,
                           FrameFactory frame, ViewFactory firstView)
    : m_nIDResource(nIDResource), m_docString(docString), m_documentFactory(std::move(document)),
      m_frameFactory(std::move(frame)), m_viewFactory(std::move(firstView))
{
}

CDocTemplate::~CDocTemplate()
{
    for (CDocument* doc : std::vector<CDocument*>(m_docs)) {
        doc->OnCloseDocument();
        // A document that does not delete itself is no longer ours either.
        RemoveDocument(doc);
    }
}

void CDocTemplate::AddDocument(CDocument* doc)
{
    if (!doc || std::find(m_docs.begin(), m_docs.end(), doc) != m_docs.end())
        return;
    if (doc->m_pDocTemplate && doc->m_pDocTemplate != this)
        doc->m_pDocTemplate->RemoveDocument(doc);
    m_docs.push_back(doc);
    doc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* doc)
{
    auto it = std::find(m_docs.begin(), m_docs.end(), doc);
    if (it == m_docs.end())
        return;
    m_docs.erase(it);
    doc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (!m_documentFactory)
        return nullptr;
    CDocument* doc = m_documentFactory();
    if (!doc)
        return nullptr;
    AddDocument(doc);
    if (doc->GetTitle().isEmpty())
        doc->SetTitle(m_docString + QString::number(++m_untitledCount));
    return doc;
}

CMDIChildWnd* CDocTemplate::CreateNewFrame(CDocument* doc)
{
    CMDIFrameWnd* main = AfxGetMainFrame();
    if (!main || !m_frameFactory)
        return nullptr;
    CMDIChildWnd* frame = m_frameFactory();
    if (!frame)
        return nullptr;
    CCreateContext context;
    context.m_pNewViewClass = m_viewFactory;
    context.m_pCurrentDoc = doc;
    context.m_pNewDocTemplate = this;
    if (!frame->LoadFrame(main, &context)) {
        delete frame; // its views leave the document as they go
        return nullptr;
    }
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CMDIChildWnd* frame, CDocument* doc, BOOL makeVisible)
{
    if (frame)
        frame->InitialUpdateFrame(doc, makeVisible);
}

CDocument* CDocTemplate::OpenDocumentFile(const QString& path, BOOL makeVisible)
{
    // Windows of this program are not opened from files.
    if (!path.isEmpty())
        return nullptr;
    CDocument* doc = CreateNewDocument();
    if (!doc)
        return nullptr;
    CMDIChildWnd* frame = CreateNewFrame(doc);
    if (!frame) {
        RemoveDocument(doc);
        delete doc;
        return nullptr;
    }
    if (!doc->OnNewDocument()) {
        frame->MDIDestroy(); // closes the document with its last frame
        if (std::find(m_docs.begin(), m_docs.end(), doc) != m_docs.end()) {
            RemoveDocument(doc);
            doc->deleteLater();
        }
        return nullptr;
    }
    InitialUpdateFrame(frame, doc, makeVisible);
    return doc;
}
