#pragma once
// Child frames: the windows inside the main frame's MDI area. A child frame lives in a
// QMdiSubWindow, holds the views of one document (directly or in splitters), and knows which
// of them is active.

#include "src/framework/document.h"
#include "src/framework/view.h"
#include "src/framework/wnd.h"

#include <QPointer>
#include <QWidget>

class QMdiSubWindow;
class QVBoxLayout;
struct CCreateContext;

class CMDIChildWnd : public QWidget, public CWnd
{
    Q_OBJECT
public:
    explicit CMDIChildWnd(const QString& className = QStringLiteral("CMDIChildWnd"));
    ~CMDIChildWnd() override;

    // Creates the frame inside mainFrame's MDI area (hidden until ActivateFrame) and calls
    // OnCreateClient. Returns FALSE when the client could not be built; the frame is then
    // not in the MDI area.
    virtual BOOL LoadFrame(CMDIFrameWnd* mainFrame, CCreateContext* context);

    // Builds the panes. The default creates the context's first view filling the frame.
    virtual BOOL OnCreateClient(CCreateContext* context);
    // Creates a view from the context's view factory (or the given one) and joins it to the
    // context's document. The view is parented to parent (the frame when null) but not placed
    // in a layout; use SetClientWidget or a splitter for that.
    CView* CreateView(CCreateContext* context, QWidget* parent = nullptr);
    // The one widget that fills the frame (a view or a splitter); the previous one is
    // detached, not deleted, and returned.
    QWidget* SetClientWidget(QWidget* widget);
    QWidget* GetClientWidget() const { return m_client; }

    CView* GetActiveView() const { return m_activeView; }
    // Makes the view the active one; its OnActivateView is called, and the previous one's.
    // With notify unset no view is told.
    void SetActiveView(CView* view, BOOL notify = 1);
    // The active view's document; when there is no active view, the document the frame was
    // created for.
    CDocument* GetActiveDocument() const;
    // Every view in the frame, in the order they were made.
    std::vector<CView*> GetViews() const;

    // Sends every view in the frame its initial update, then shows the frame when asked.
    virtual void InitialUpdateFrame(CDocument* doc, BOOL makeVisible);
    // Shows the frame (nCmdShow: SW_SHOWMAXIMIZED maximises it, -1 or others show it
    // normally, keeping a maximised frame maximised) and makes it the active child.
    virtual void ActivateFrame(int nCmdShow = -1);
    // Makes the frame the main frame's active child window.
    void MDIActivate();
    void MDIMaximize();
    void MDIRestore();
    // A frame shown restored gets at least two thirds of the work area each way.
    void GiveRestoredFrameRoom();
    // Raises the frame above the other child windows and repaints it at once.
    void BringToTop();
    // Closing (the close button, WM_CLOSE): OnClose asks the documents (CanCloseFrame) and
    // then destroys the frame.
    virtual void OnClose();
    // Destroys the frame now: OnDestroy, the views leave their documents, a document left
    // without views is closed, and the frame is deleted. Safe to call more than once.
    void MDIDestroy();
    bool isDestroying() const { return m_destroying; }

    // The frame became (true) or stopped being (false) the active child window.
    virtual void OnMDIActivate(BOOL activate);
    // Runs before the frame's panes go; frames save their pane sizes here.
    virtual void OnDestroy() {}

    CMDIFrameWnd* GetMDIFrame() const { return m_mainFrame; }
    QMdiSubWindow* subWindow() const;
    void SetWindowText(const QString& title);
    QString GetWindowText() const;

    // The active view's route (view, document, this frame, main frame, application); without
    // an active view: the frame's document, this frame, the main frame, the application.
    std::vector<CCmdTarget*> CommandRoute() override;
    // The part of the route from this frame on: this frame, the main frame, the application.
    std::vector<CCmdTarget*> FrameRoute();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onFocusChanged(QWidget* old, QWidget* now);
    friend class CMDIFrameWnd;
    CMDIFrameWnd* m_mainFrame = nullptr;
    QPointer<QMdiSubWindow> m_subWindow;
    QVBoxLayout* m_layout = nullptr;
    QPointer<QWidget> m_client;
    QPointer<CView> m_activeView;
    QPointer<CDocument> m_initialDoc;
    QString m_windowTitle;
    bool m_destroying = false;
};
