#pragma once
// Views: widgets that show a document. A view is told about changes only through
// OnUpdate(sender, hint, hint object); painting is Qt's paintEvent.

#include "src/framework/cmdmenu.h"
#include "src/framework/wnd.h"

#include <QWidget>

class CView : public QWidget, public CWnd
{
    Q_OBJECT
public:
    explicit CView(const QString& className = QStringLiteral("CView"), QWidget* parent = nullptr);
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    // The child frame the view lives in (the nearest one among its ancestors); null when the
    // view is not in a frame.
    CMDIChildWnd* GetParentFrame() const;

    // The first update after the view was created and joined its document: by default
    // OnUpdate(nullptr, 0, nullptr).
    virtual void OnInitialUpdate();
    // A change in the document. The default repaints the view.
    virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
    // The view became (activate true) or stopped being its frame's active view.
    virtual void OnActivateView(BOOL activate, CView* activateView, CView* deactiveView);

    // Shows a context menu at a point of the screen; its commands start their route at this
    // view. Returns the command id chosen (0 when none).
    UINT TrackContextMenu(const std::vector<CMenuItem>& items, const QPoint& globalPos);

    // The view, its document, its frame, the main frame, the application.
    std::vector<CCmdTarget*> CommandRoute() override;

private:
    friend class CDocument;
    friend class CMDIChildWnd;
    CDocument* m_pDocument = nullptr;
    quint64 m_serial; // creation order, which is pane order
};
