#pragma once
// A document template ties one kind of window together: its document class, its child frame
// class and the first view that the frame creates. It keeps its open documents in the order
// they were opened.

#include "src/framework/fwdefs.h"

#include <QString>
#include <functional>
#include <vector>

// What a frame needs while it creates its panes.
struct CCreateContext {
    std::function<CView*()> m_pNewViewClass; // the first view's factory
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CMDIChildWnd* m_pCurrentFrame = nullptr;
};

class CDocTemplate
{
public:
    using DocumentFactory = std::function<CDocument*()>;
    using FrameFactory = std::function<CMDIChildWnd*()>;
    using ViewFactory = std::function<CView*()>;

    // nIDResource: the window kind's resource id; docString: the document string (its
    // file-new name).
    CDocTemplate(UINT nIDResource, const QString& docString, DocumentFactory document,
                 FrameFactory frame, ViewFactory firstView);
    virtual ~CDocTemplate(); // closes the documents still open

    CDocTemplate(const CDocTemplate&) = delete;
    CDocTemplate& operator=(const CDocTemplate&) = delete;

    UINT GetResourceId() const { return m_nIDResource; }
    const QString& GetDocString() const { return m_docString; }

    // Open documents in the order they were opened.
    const std::vector<CDocument*>& GetDocuments() const { return m_docs; }
    size_t GetDocumentCount() const { return m_docs.size(); }
    CDocument* GetFirstDocument() const { return m_docs.empty() ? nullptr : m_docs.front(); }

    // Opens a new, empty document (path must be empty: windows here are not file-based) with
    // its frame and first view in the main frame's MDI area, shown when makeVisible is set.
    // Returns null when any step fails; nothing half-made is left behind.
    virtual CDocument* OpenDocumentFile(const QString& path = QString(), BOOL makeVisible = 1);

    // The steps of opening, for frames and templates that build windows their own way.
    virtual CDocument* CreateNewDocument();
    virtual CMDIChildWnd* CreateNewFrame(CDocument* doc);
    virtual void InitialUpdateFrame(CMDIChildWnd* frame, CDocument* doc, BOOL makeVisible = 1);

    void AddDocument(CDocument* doc);
    void RemoveDocument(CDocument* doc);

    const ViewFactory& viewFactory() const { return m_viewFactory; }

private:
    UINT m_nIDResource;
    QString m_docString;
    DocumentFactory m_documentFactory;
    FrameFactory m_frameFactory;
    ViewFactory m_viewFactory;
    std::vector<CDocument*> m_docs;
    int m_untitledCount = 0;
};
