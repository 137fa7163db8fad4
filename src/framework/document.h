#pragma once
// Documents: what a window shows, apart from how it is shown. A document keeps the list of
// its views and tells them about changes through update hints.

#include "src/framework/cmdtarget.h"

#include <QObject>
#include <QString>
#include <vector>

class CDocument : public QObject, public CCmdTarget
{
    Q_OBJECT
public:
    CDocument();
    ~CDocument() override;

    const QString& GetTitle() const { return m_strTitle; }
    // Sets the title and the caption of every frame that shows the document.
    virtual void SetTitle(const QString& title);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    // Views, in the order they were added.
    const std::vector<CView*>& GetViews() const { return m_views; }
    CView* GetFirstView() const { return m_views.empty() ? nullptr : m_views.front(); }
    void AddView(CView* view);
    void RemoveView(CView* view);
    // The child frames showing the document (each once, in view order).
    std::vector<CMDIChildWnd*> GetFrames() const;

    // Calls OnUpdate(sender, hint, hintObject) of every view but the sender. Views added or
    // removed by an update are handled safely: a removed view gets no further call.
    void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);

    // A new, empty document. The default clears the contents and answers TRUE.
    virtual BOOL OnNewDocument();
    virtual void DeleteContents() {}
    // Whether a frame showing the document may close; the default always agrees.
    virtual BOOL CanCloseFrame(CMDIChildWnd* frame);
    // Closes every frame showing the document, takes it out of its template and deletes it
    // (when m_bAutoDelete is set).
    virtual void OnCloseDocument();
    bool isClosing() const { return m_closing; }

    // A command starting at a document visits the document and the application; views put
    // their document into their own route.
    std::vector<CCmdTarget*> CommandRoute() override;

    bool m_bAutoDelete = true;

private:
    friend class CDocTemplate;
    QString m_strTitle;
    CDocTemplate* m_pDocTemplate = nullptr;
    std::vector<CView*> m_views;
    bool m_closing = false;
};
