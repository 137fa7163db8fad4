#include "src/framework/childframe.h"

#include "src/framework/doctemplate.h"
#include "src/framework/mainframe.h"
#include "src/framework/winapp.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>
#include <algorithm>

CMDIChildWnd::CMDIChildWnd(const QString& className) : QWidget(nullptr), CWnd(className, this)
{
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    connect(qApp, &QApplication::focusChanged, this, &CMDIChildWnd::onFocusChanged);
    onMessage(WM_CLOSE, [this](WPARAM, LPARAM) {
        if (!m_destroying)
            OnClose();
        return LRESULT(0);
    });
}

CMDIChildWnd::~CMDIChildWnd()
{
    // The views are deleted after this body, as plain child widgets; the one holding the focus
    // gives it up then, and by that time this object is no frame any more.
    disconnect(qApp, &QApplication::focusChanged, this, &CMDIChildWnd::onFocusChanged);
    if (!m_destroying) {
        // Deleted without MDIDestroy (its sub-window was deleted, say): the views leave their
        // documents now, a document left without views closes, and the main frame forgets
        // this frame.
        m_destroying = true;
        std::vector<QPointer<CDocument>> docs;
        for (CView* view : GetViews()) {
            if (CDocument* doc = view->GetDocument()) {
                if (std::find(docs.begin(), docs.end(), doc) == docs.end())
                    docs.emplace_back(doc);
                doc->RemoveView(view);
            }
        }
        if (m_mainFrame)
            m_mainFrame->childFrameDestroyed(this);
        for (const QPointer<CDocument>& doc : docs)
            if (doc && doc->GetViews().empty() && !doc->isClosing())
                doc->OnCloseDocument();
    }
}

QMdiSubWindow* CMDIChildWnd::subWindow() const
{
    return m_subWindow.data();
}

BOOL CMDIChildWnd::LoadFrame(CMDIFrameWnd* mainFrame, CCreateContext* context)
{
    if (!mainFrame || m_subWindow)
        return 0;
    m_mainFrame = mainFrame;
    if (context) {
        context->m_pCurrentFrame = this;
        m_initialDoc = context->m_pCurrentDoc;
    }
    if (!OnCreateClient(context)) {
        m_mainFrame = nullptr;
        return 0;
    }
    // Child frames have no system menu and no minimise, maximise, restore or close box: they
    // live maximised in the main window, which the navigation bar and the View menu switch.
    QMdiSubWindow* sub = mainFrame->MDIClient()->addSubWindow(
        this, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->installEventFilter(this);
    sub->hide();
    m_subWindow = sub;
    if (!m_windowTitle.isEmpty())
        sub->setWindowTitle(m_windowTitle);
    mainFrame->childFrameCreated(this);
    return 1;
}

BOOL CMDIChildWnd::OnCreateClient(CCreateContext* context)
{
    if (!context || !context->m_pNewViewClass)
        return 1; // a frame without a first view
    CView* view = CreateView(context);
    if (!view)
        return 0;
    SetClientWidget(view);
    return 1;
}

CView* CMDIChildWnd::CreateView(CCreateContext* context, QWidget* parent)
{
    if (!context || !context->m_pNewViewClass)
        return nullptr;
    CView* view = context->m_pNewViewClass();
    if (!view)
        return nullptr;
    view->setParent(parent ? parent : this);
    if (context->m_pCurrentDoc)
        context->m_pCurrentDoc->AddView(view);
    return view;
}

QWidget* CMDIChildWnd::SetClientWidget(QWidget* widget)
{
    QWidget* previous = m_client.data();
    if (previous == widget)
        return nullptr;
    if (previous) {
        m_layout->removeWidget(previous);
        previous->hide();
        previous->setParent(nullptr);
    }
    m_client = widget;
    if (widget) {
        m_layout->addWidget(widget);
        widget->show();
    }
    return previous;
}

void CMDIChildWnd::SetActiveView(CView* view, BOOL notify)
{
    CView* old = m_activeView.data();
    if (old == view)
        return;
    m_activeView = view;
    if (notify) {
        if (old)
            old->OnActivateView(0, view, old);
        if (view)
            view->OnActivateView(1, view, old);
    }
    // The keyboard follows the active view, but only in the active window: focus moved into
    // another window would activate it.
    const bool activeWindow = m_mainFrame && m_mainFrame->MDIGetActive() == this;
    if (view && activeWindow && view->isVisible() &&
        !view->isAncestorOf(QApplication::focusWidget()) && QApplication::focusWidget() != view)
        view->setFocus(Qt::OtherFocusReason);
}

CDocument* CMDIChildWnd::GetActiveDocument() const
{
    if (m_activeView && m_activeView->GetDocument())
        return m_activeView->GetDocument();
    return m_initialDoc.data();
}

std::vector<CView*> CMDIChildWnd::GetViews() const
{
    const QList<CView*> found = findChildren<CView*>();
    std::vector<CView*> views(found.begin(), found.end());
    // Creation order: the first pane made is the first view, wherever Qt keeps it.
    std::sort(views.begin(), views.end(),
              [](const CView* a, const CView* b) { return a->m_serial < b->m_serial; });
    return views;
}

void CMDIChildWnd::InitialUpdateFrame(CDocument* doc, BOOL makeVisible)
{
    if (doc && !m_initialDoc)
        m_initialDoc = doc;
    const std::vector<CView*> views = GetViews();
    if (!m_activeView && !views.empty())
        SetActiveView(views.front());
    if (m_windowTitle.isEmpty() && doc)
        SetWindowText(doc->GetTitle());
    for (CView* view : views)
        view->OnInitialUpdate();
    if (makeVisible)
        ActivateFrame(-1);
}

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    if (!m_subWindow || m_destroying)
        return;
    CMDIChildWnd* active = m_mainFrame ? m_mainFrame->MDIGetActive() : nullptr;
    const bool othersMaximized =
        active && active != this && active->m_subWindow && active->m_subWindow->isMaximized();
    if (nCmdShow == SW_SHOWMAXIMIZED || (nCmdShow == -1 && othersMaximized))
        m_subWindow->showMaximized();
    else if (nCmdShow == SW_SHOWMINIMIZED || nCmdShow == SW_MINIMIZE)
        m_subWindow->showMinimized();
    else if (nCmdShow == SW_SHOWNORMAL || nCmdShow == SW_RESTORE)
        m_subWindow->showNormal();
    else
        m_subWindow->show();
    GiveRestoredFrameRoom();
    MDIActivate();
}

void CMDIChildWnd::GiveRestoredFrameRoom()
{
    QMdiSubWindow* sub = m_subWindow.data();
    if (!sub || m_destroying || sub->isMaximized() || sub->isMinimized() || sub->isHidden())
        return;
    QMdiArea* area = sub->mdiArea();
    if (!area)
        return;
    // A restored frame keeps room to read in: at least two thirds of the work area each way,
    // and inside it.
    const QSize work = area->viewport()->size();
    if (work.width() < 3 || work.height() < 3)
        return;
    const QSize room(work.width() * 2 / 3, work.height() * 2 / 3);
    if (sub->width() >= room.width() && sub->height() >= room.height())
        return;
    QRect place(sub->pos(), sub->size().expandedTo(room));
    place.moveLeft(std::max(0, std::min(place.left(), work.width() - place.width())));
    place.moveTop(std::max(0, std::min(place.top(), work.height() - place.height())));
    sub->setGeometry(place);
}

void CMDIChildWnd::MDIActivate()
{
    if (m_mainFrame && !m_destroying)
        m_mainFrame->MDIActivate(this);
}

void CMDIChildWnd::MDIMaximize()
{
    if (m_subWindow)
        m_subWindow->showMaximized();
}

void CMDIChildWnd::MDIRestore()
{
    if (m_subWindow)
        m_subWindow->showNormal();
    GiveRestoredFrameRoom();
}

void CMDIChildWnd::BringToTop()
{
    if (!m_subWindow || m_destroying)
        return;
    if (m_subWindow->isHidden())
        m_subWindow->show();
    m_subWindow->raise();
    MDIActivate();
    m_subWindow->repaint();
}

void CMDIChildWnd::OnClose()
{
    std::vector<CDocument*> docs;
    for (CView* view : GetViews())
        if (CDocument* doc = view->GetDocument())
            if (std::find(docs.begin(), docs.end(), doc) == docs.end())
                docs.push_back(doc);
    for (CDocument* doc : docs)
        if (!doc->CanCloseFrame(this))
            return;
    MDIDestroy();
}

void CMDIChildWnd::MDIDestroy()
{
    if (m_destroying)
        return;
    m_destroying = true;
    OnDestroy();

    const std::vector<CView*> views = GetViews();
    std::vector<QPointer<CDocument>> docs;
    auto note = [&docs](CDocument* doc) {
        if (doc && std::find(docs.begin(), docs.end(), doc) == docs.end())
            docs.emplace_back(doc);
    };
    for (CView* view : views)
        note(view->GetDocument());
    note(m_initialDoc.data());

    // The handles die now, so nothing posted to the frame or its views arrives any more.
    for (CView* view : views) {
        view->destroyHandle();
        if (CDocument* doc = view->GetDocument())
            doc->RemoveView(view);
    }
    destroyHandle();
    m_activeView = nullptr;

    if (m_mainFrame)
        m_mainFrame->childFrameDestroyed(this);
    if (m_subWindow) {
        QMdiSubWindow* sub = m_subWindow.data();
        sub->removeEventFilter(this);
        sub->hide();
        if (QMdiArea* area = sub->mdiArea())
            area->removeSubWindow(sub);
        sub->deleteLater();
    } else {
        deleteLater();
    }

    // A document that lost its last view with this frame closes.
    for (const QPointer<CDocument>& doc : docs)
        if (doc && doc->GetViews().empty() && !doc->isClosing())
            doc->OnCloseDocument();
}

void CMDIChildWnd::OnMDIActivate(BOOL) {}

void CMDIChildWnd::SetWindowText(const QString& title)
{
    m_windowTitle = title;
    setWindowTitle(title);
    if (m_subWindow)
        m_subWindow->setWindowTitle(title);
}

QString CMDIChildWnd::GetWindowText() const
{
    return m_windowTitle;
}

std::vector<CCmdTarget*> CMDIChildWnd::CommandRoute()
{
    if (m_activeView && m_activeView->GetParentFrame() == this)
        return m_activeView->CommandRoute();
    std::vector<CCmdTarget*> route;
    if (CDocument* doc = GetActiveDocument())
        route.push_back(doc);
    for (CCmdTarget* target : FrameRoute())
        route.push_back(target);
    return route;
}

std::vector<CCmdTarget*> CMDIChildWnd::FrameRoute()
{
    std::vector<CCmdTarget*> route{this};
    if (m_mainFrame)
        route.push_back(m_mainFrame);
    if (CWinApp* app = AfxGetApp())
        route.push_back(app);
    return route;
}

bool CMDIChildWnd::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: the sub-window may be half destroyed while other events pass by.
    if (event->type() == QEvent::Close && !m_destroying && watched == m_subWindow.data()) {
        // The close button: the frame decides, after the event has been delivered.
        event->ignore();
        QPointer<CMDIChildWnd> self(this);
        QMetaObject::invokeMethod(
            this,
            [self] {
                if (self && !self->m_destroying)
                    self->OnClose();
            },
            Qt::QueuedConnection);
        return true;
    }
    if (event->type() == QEvent::WindowStateChange && watched == m_subWindow.data()) {
        // The sub-window puts back its old geometry after this event; the size is looked at
        // once it has.
        QPointer<CMDIChildWnd> self(this);
        QMetaObject::invokeMethod(
            this,
            [self] {
                if (self)
                    self->GiveRestoredFrameRoom();
            },
            Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void CMDIChildWnd::onFocusChanged(QWidget*, QWidget* now)
{
    if (!now || m_destroying || !isAncestorOf(now))
        return;
    for (QWidget* widget = now; widget && widget != this; widget = widget->parentWidget()) {
        if (auto* view = qobject_cast<CView*>(widget)) {
            if (view->GetParentFrame() == this)
                SetActiveView(view);
            return;
        }
    }
}
